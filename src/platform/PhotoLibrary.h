#pragma once

#include <QString>

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
    // The file name filter of the readable picture formats.
    static QString pictureFilter();

private:
    std::optional<QString> next_;
    bool dialogs_ = true;
};

} // namespace orvenda
