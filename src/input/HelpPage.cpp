#include "input/HelpPage.h"

#include "platform/ExportFolder.h"

#include "app/HelpView.h"
#include "core/Calculator.h"
#include "pretty/FontMap.h"

#include <QDir>
#include <QLabel>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QVBoxLayout>


namespace orvenda {

HelpPage::HelpPage(Calculator& calc, QWidget* parent)
    : QWidget(parent), calc_(calc), title_(new QLabel(this)), body_(new QLabel(this)), view_(HelpView::make(calc, this))
{
    auto* layout = new QVBoxLayout(this);
    if (view_) {
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(view_);
        title_->hide();
        body_->hide();
        return;
    }
    title_->setFont(FontMap::shared().font("CourierNewPS-BoldMT", 20));
    body_->setFont(FontMap::shared().font("Helvetica-Oblique", 14));
    body_->setWordWrap(true);
    layout->addWidget(title_);
    layout->addWidget(body_);
    layout->addStretch();
    setAutoFillBackground(true);
}

void HelpPage::showFunction(const QString& name, const QString& text)
{
    name_ = name;
    text_ = text;
    if (view_) {
        view_->showFunctionName(name);
        return;
    }
    title_->setText(name);
    body_->setText(text);
    update();
}

QString HelpPage::fileName(const QString& function)
{
    QString safe;
    for (const QChar c : function) {
        const bool bad = c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c);
        safe += bad ? QLatin1Char('_') : c;
    }
    safe = safe.trimmed();
    // A leading dot would hide the file.
    while (safe.startsWith(QLatin1Char('.')))
        safe.remove(0, 1);
    return safe.isEmpty() ? QStringLiteral("help") : safe;
}

QString HelpPage::writePdf(const QString& folder, QString& error) const
{
    if (!QDir().mkpath(folder)) {
        error = QStringLiteral("The folder %1 could not be made.").arg(folder);
        return {};
    }
    const QString path = QDir(folder).filePath(fileName(name_) + QStringLiteral(".pdf"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = QStringLiteral("%1 could not be written: %2").arg(path, file.errorString());
        return {};
    }
    const Calculator::Rect page = calc_.pdfPageRect();
    if (view_) {
        // The help page on paper, in the light appearance whatever the screen's.
        const QByteArray pdf = view_->pdfPageSize(QSizeF(page.width, page.height), false);
        if (pdf.isEmpty() || file.write(pdf) != pdf.size()) {
            error = QStringLiteral("%1 could not be written: %2").arg(path, file.errorString());
            file.cancelWriting();
            return {};
        }
    } else {
        QPdfWriter pdf(&file);
        pdf.setPageSize(QPageSize(QSizeF(page.width, page.height), QPageSize::Point));
        pdf.setResolution(72);
        pdf.setTitle(name_);
        QPainter painter(&pdf);
        painter.setFont(FontMap::shared().font("CourierNewPS-BoldMT", 20));
        painter.drawText(QRectF(36, 36, page.width - 72, 30), name_);
        painter.setFont(FontMap::shared().font("Helvetica-Oblique", 12));
        painter.drawText(QRectF(36, 76, page.width - 72, page.height - 112), Qt::TextWordWrap, text_);
    }
    if (!file.commit()) {
        error = QStringLiteral("%1 could not be written: %2").arg(path, file.errorString());
        return {};
    }
    return path;
}

void HelpPage::share(const QString& folder)
{
    // The folder is the app's own: emptied first, it holds only this share's file.
    QString error = ExportFolder(folder).clear();
    const QString path = error.isEmpty() ? writePdf(folder, error) : QString();
    if (path.isEmpty()) {
        if (failed)
            failed(error);
    } else if (shared) {
        shared(path);
    }
}

} // namespace orvenda
