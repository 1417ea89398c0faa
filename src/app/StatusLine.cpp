#include "app/StatusLine.h"

#include "app/ScreenController.h"
#include "app/ScreenRegistry.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "pretty/FontMap.h"

#include <QFontMetricsF>
#include <QPainter>

namespace orvenda {

StatusLine::StatusLine(Calculator& calc, QWidget* parent)
    : QWidget(parent), calc_(calc)
{
    observeOnOwnerThread(calc_.notificationCenter(), this, VQModeChanged, [this](const Notification&) { update(); });
}

StatusLine::~StatusLine() { calc_.notificationCenter().removeObserver(this); }

QString StatusLine::leftText(const Calculator& calc)
{
    const QString angle = calc.angleFormat() == 0 ? QStringLiteral("∠°") : QStringLiteral("∠r");
    const int complex = calc.realCplxMode();
    const QString mode = complex == 1 ? QStringLiteral("a+bi") : complex == 2 ? QStringLiteral("re^θi") : QStringLiteral("Real");
    const QString fraction = calc.locked()->fractionFormat == 4 ? QStringLiteral("Un/d") : QStringLiteral("n/d");
    return QStringLiteral("%1   %2   %3").arg(angle, mode, fraction);
}

QString StatusLine::rightText(const Calculator& calc)
{
    QString answer = QStringLiteral("AUTO");
    if (calc.locked()->answerFormat == 1)
        answer = QStringLiteral("DEC");
    else if (calc.locked()->answerFormat == 2)
        answer = QStringLiteral("FRAC");
    else if (calc.locked()->answerFormat == 3)
        answer = QStringLiteral("SigFig");
    QString number;
    if (calc.locked()->numBase == 1)
        number = QStringLiteral("BINARY");
    else if (calc.locked()->numBase == 2)
        number = QStringLiteral("HEX");
    else if (calc.locked()->numDigits >= 0)
        number = QStringLiteral("fix%1").arg(calc.locked()->numDigits);
    else
        number = QStringLiteral("float");
    return QStringLiteral("%1  %2  ").arg(answer, number);
}

QColor StatusLine::background() const
{
    return calc_.currentScreen() == screens::Graph ? QColor(Qt::black) : QColor::fromRgbF(0.28f, 0.28f, 0.28f);
}

void StatusLine::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), background());
    const QFont font = FontMap::shared().font("Helvetica", 14);
    painter.setFont(font);
    painter.setPen(QColor::fromRgbF(0.6f, 0.6f, 0.6f));
    const QFontMetricsF metrics(font);
    // Wider margins in a landscape window.
    const double margin = width() > window()->height() ? 40 : 10;
    const QString left = leftText(calc_);
    const QString right = rightText(calc_);
    painter.drawText(QPointF(margin, 4 + metrics.ascent()), left);
    painter.drawText(QPointF(width() - metrics.horizontalAdvance(right) - margin, 4 + metrics.ascent()), right);
}

} // namespace orvenda
