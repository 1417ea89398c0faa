#include "docs/ContactScreen.h"

#include "core/Calculator.h"
#include "docs/SupportActions.h"
#include "pretty/FontMap.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvenda {

ContactScreen::ContactScreen(Calculator& calc, bool tablet, QWidget* parent)
    : ScreenController(calc, parent), title_(new QLabel(title(), this)),
      version_(new QLabel(QStringLiteral("version %1").arg(QString::fromStdString(calc.versionString())), this)),
      mail_(new QPushButton(QStringLiteral("Mail Support"), this)), web_(new QPushButton(QStringLiteral("Web Page"), this))
{
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    // A light page as the help pages are, whatever the window around it shows.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    const double scale = tablet ? 1.5 : 1;
    title_->setFont(FontMap::shared().font("Helvetica-Bold", 28 * scale));
    version_->setFont(FontMap::shared().font("Helvetica", 16 * scale));
    for (QLabel* label : {title_, version_})
        label->setAlignment(Qt::AlignCenter);
    // A phone's bar names the page already.
    title_->setVisible(tablet);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(24, 24, 24, 24);
    column->setSpacing(static_cast<int>(14 * scale));
    column->addWidget(title_);
    column->addWidget(version_);
    column->addSpacing(static_cast<int>(12 * scale));
    for (QPushButton* button : {mail_, web_}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setFont(FontMap::shared().font("Helvetica", 16 * scale));
        button->setMinimumSize(static_cast<int>(200 * scale), static_cast<int>(36 * scale));
        column->addWidget(button, 0, Qt::AlignCenter);
    }
    column->addStretch();
    connect(mail_, &QPushButton::clicked, this, [this] {
        if (support_)
            support_->mailTechSupport();
    });
    connect(web_, &QPushButton::clicked, this, [this] {
        if (support_)
            support_->showWebPage();
    });
}

QString ContactScreen::title() { return QStringLiteral("Orvenda"); }

void ContactScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && closed) {
        closed();
        return;
    }
    ScreenController::keyPressEvent(event);
}

} // namespace orvenda
