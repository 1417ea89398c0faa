#pragma once

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <array>
#include <optional>

class QWidget;

namespace orvenda {

// The desktop's stand-in for the phone's photo library: the user's picture files, picked
// in a file dialog that opens on the pictures folder. A driven app opens no dialog: the
// choice is set beforehand (or the pick is cancelled). Main thread.
class PhotoLibrary {
public:
    // The picture file picked; "" when the user cancelled.
    QString choosePicture(QWidget* parent);
    // The next pick answers this file without a dialog ("" cancels it).
    void setNextChoice(const QString& file) { next_ = file; }
    // With no choice set, picks are cancelled instead of asking.
    void setDialogsShown(bool shown) { dialogs_ = shown; }
    // The raster formats a picture may have (names as the image readers know them). No
    // vector format: an SVG loads the files it names, and may name itself.
    static constexpr std::array<const char*, 14> kFormats = {
        "bmp", "gif", "heic", "heif", "ico", "jpeg", "jpg", "pbm", "pgm", "png", "ppm", "tif", "tiff", "webp"};
    static bool isPictureFormat(const QByteArray& format)
    {
        return std::find(kFormats.begin(), kFormats.end(), format) != kFormats.end();
    }
    // The file name filter of the picture formats this build reads.
    static QString pictureFilter();

private:
    std::optional<QString> next_;
    bool dialogs_ = true;
};

} // namespace orvenda
