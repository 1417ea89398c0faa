#pragma once

#include <QWidget>

namespace orvenda {

// A blue framed panel with a 25-point title strip, behind the variables panels.
class VarsFrameView : public QWidget {
public:
    static constexpr int kTitleHeight = 25;

    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace orvenda
