#include "platform/PhotoLibrary.h"

#include <QFileDialog>
#include <QImageReader>
#include <QStandardPaths>
#include <QStringList>

namespace orvenda {

QString PhotoLibrary::choosePicture(QWidget* parent)
{
    if (next_) {
        const QString file = *next_;
        next_.reset();
        return file;
    }
    if (!dialogs_)
        return {};
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Photo"), folder, pictureFilter());
}

QString PhotoLibrary::pictureFilter()
{
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        if (isPictureFormat(format))
            patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    return QStringLiteral("Pictures (%1);;All files (*)").arg(patterns.join(QLatin1Char(' ')));
}

} // namespace orvenda
