#pragma once

#include "app/ScreenController.h"

#include <cstdint>
#include <functional>

class QLabel;
class QPushButton;

namespace orvenda {

class FunctionHelpPDFView;

// The help screen of one function or token: a bar with Done and the page's name over the
// page in a help view that scrolls and follows the screen's width. Opened by the
// keyboard's help mode, the keypad guide and the help menu; Done, Escape or QUIT close it.
// Ctrl+S is kept for sharing the page. Main thread.
class FunctionHelpScreen : public ScreenController {
public:
    explicit FunctionHelpScreen(Calculator& calc, QWidget* parent = nullptr);

    // The page of a token or key code (under its vocabulary name).
    void showOp(std::uint32_t op);
    void showFunction(const QString& name);
    const QString& functionName() const { return functionName_; }
    // A request's text names the page; without one its number is the token.
    void shown(const ScreenRequest& request) override;
    void focus(bool gained) override;
    QWidget* leaveControl() const override;

    // Whether the bar shows (not where an embedding screen has a bar of its own).
    void setBarShown(bool shown);
    // Done, Escape: closed runs when set (the opener hides the screen), else the screen hides.
    void done();
    std::function<void()> closed;

    FunctionHelpPDFView& helpView() const { return *view_; }
    QPushButton& doneButton() const { return *done_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString functionName_;
    QWidget* bar_;
    QPushButton* done_;
    QLabel* title_;
    FunctionHelpPDFView* view_;
};

} // namespace orvenda
