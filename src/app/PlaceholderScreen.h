#pragma once

#include "app/ScreenController.h"

class QLabel;
class QPushButton;

namespace orvenda {

class LcdView;

// A screen that is not built yet: the empty display with the screen's title and a Done
// button that leaves it, as Escape does. It notes the last show request, so what the
// router asked of it can be seen.
class PlaceholderScreen : public ScreenController {
public:
    PlaceholderScreen(Calculator& calc, const QString& title, QWidget* parent = nullptr);

    QString title() const;
    const ScreenRequest& lastRequest() const { return request_; }

    void shown(const ScreenRequest& request) override { request_ = request; }
    QWidget* leaveControl() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    LcdView* background_;
    QLabel* title_;
    QPushButton* done_;
    ScreenRequest request_;
};

} // namespace orvenda
