#include "apps/UserNotesInfoView.h"

#include "pretty/FontMap.h"
#include "programs/ProgramFiles.h"

#include <QFileInfo>
#include <QLocale>
#include <QPainter>

namespace orvenda {

UserNotesInfoView::UserNotesInfoView(const ProgramFiles& files, QWidget* parent) : QWidget(parent), files_(files) {}

void UserNotesInfoView::setProgramName(const std::string& name)
{
    programName_ = name;
    update();
}

QStringList UserNotesInfoView::lines() const
{
    if (!ProgramFiles::isProgramName(programName_))
        return {};
    const QFileInfo file(files_.folder() + QLatin1Char('/') + QString::fromStdString(programName_));
    if (!file.exists())
        return {};
    const QLocale locale;
    const auto when = [&locale](const QDateTime& time) {
        return locale.toString(time.date(), QLocale::ShortFormat) + QLatin1Char(' ')
            + locale.toString(time.time(), QLocale::ShortFormat);
    };
    // When the program was made, which its saves keep; the file's own creation time is
    // that of its last save.
    const QDateTime created = files_.createdFor(programName_).value_or(file.lastModified()).toLocalTime();
    return {QStringLiteral("Created: ") + when(created), QStringLiteral("Modifed: ") + when(file.lastModified())};
}

void UserNotesInfoView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(FontMap::shared().font("Helvetica", 14));
    painter.setPen(palette().color(foregroundRole()));
    const QStringList text = lines();
    for (int i = 0; i < text.size(); ++i)
        painter.drawText(QRectF(0, i * 16, width(), 16), Qt::AlignLeft | Qt::AlignVCenter, text[i]);
}

} // namespace orvenda
