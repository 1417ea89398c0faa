#pragma once

#include "app/ScreenController.h"

#include <functional>

class QLabel;
class QPushButton;

namespace orvenda {

class SupportActions;

// The help menu's contact page: the product's name, "version …", and two buttons, the
// support mail (with the diagnostics report) and the product's web page (only online:
// error 37 otherwise). Escape closes it. Main thread.
class ContactScreen : public ScreenController {
public:
    ContactScreen(Calculator& calc, bool tablet, QWidget* parent = nullptr);

    // The actions the buttons run; the buttons do nothing without them.
    void setSupport(SupportActions* support) { support_ = support; }

    // The page's title, which the phone's bar carries in place of the page's own.
    static QString title();
    const QLabel& titleLabel() const { return *title_; }
    const QLabel& versionLabel() const { return *version_; }
    QPushButton& mailButton() const { return *mail_; }
    QPushButton& webButton() const { return *web_; }

    std::function<void()> closed;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    SupportActions* support_ = nullptr;
    QLabel* title_;
    QLabel* version_;
    QPushButton* mail_;
    QPushButton* web_;
};

} // namespace orvenda
