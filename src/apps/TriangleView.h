#pragma once

#include <QWidget>

namespace orvenda {

// The small sketch of a triangle on the geometry screen: vertices A, B, C and the sides
// a, b, c facing them, each in green when known, else black, so the user sees which
// solving case applies. Main thread.
class TriangleView : public QWidget {
public:
    using QWidget::QWidget;

    // Bits a 1, b 2, c 4, A 8, B 16, C 32.
    void setKnowns(int mask);
    int knowns() const { return mask_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int mask_ = 0;
};

} // namespace orvenda
