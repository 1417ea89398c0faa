#pragma once

#include <QObject>

class QDialog;
class QMessageBox;
class QWidget;

namespace orvenda {

// Keeps a dialog (an alert, a form) inside the window it belongs to: no wider or taller
// than the window less a margin, centred over it, when it shows and again whenever the
// window is resized or turned. An alert whose message would make it too wide or too tall
// shows the message in a scroll area, its title and buttons in sight. Owned by the dialog.
// Main thread.
class WindowFit : public QObject {
public:
    // The window is the dialog's parent's window unless given.
    static void keep(QDialog& dialog);
    static void keep(QDialog& dialog, QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WindowFit(QDialog& dialog, QWidget& window);
    // Fits it now (nothing while either is hidden).
    void fit();
    static void fitAlert(QMessageBox& box, const QWidget& window);

    QDialog& dialog_;
    QWidget& window_;
    // A form's own size, as it first showed: it takes that again where the window has room.
    QSize wanted_;
};

} // namespace orvenda
