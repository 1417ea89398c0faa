#pragma once

#include "app/ScreenController.h"
#include "platform/ShareRequest.h"

#include <cstdint>
#include <functional>

class QLabel;
class QPushButton;

namespace orvenda {

class FunctionHelpPDFView;
class SupportActions;

// The help screen of one function or token: a bar with Done and the page's name over the
// page in a help view that scrolls and follows the screen's width. Opened by the
// keyboard's help mode, the keypad guide and the help menu; Done, Escape or QUIT close it.
// Share (and Ctrl+S) shares the page as a PDF on the calculator's paper, light whatever the
// screen's appearance; the page's links to support mail and the review page go to the
// support actions. Main thread.
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

    // Share, Ctrl+S: the page on paper written into the export folder (emptied first) and
    // handed to the share sheet with the page's name as subject.
    void print();
    std::function<void(const ShareRequest& request)> presentShare;
    QString exportFolder;
    // Messages for the user (a page that could not be written).
    std::function<void(const QString& message)> tell;
    // Where the page's mail and review links go; the desktop opens links without them.
    void setSupport(SupportActions* support);
    QPushButton& shareButton() const { return *share_; }

    FunctionHelpPDFView& helpView() const { return *view_; }
    QPushButton& doneButton() const { return *done_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString functionName_;
    QWidget* bar_;
    QPushButton* done_;
    QPushButton* share_;
    SupportActions* support_ = nullptr;
    QLabel* title_;
    FunctionHelpPDFView* view_;
};

} // namespace orvenda
