#pragma once

#include <QRectF>
#include <QWidget>

#include <array>

namespace orvenda {

// The printed face of the alpha keyboard in one case: each key with the name of the code
// it types, and the case key's arrow (filled in upper case, outlined in lower case). Takes
// no mouse input.
class AlphaKeySheet : public QWidget {
public:
    AlphaKeySheet(bool lowercase, QWidget* parent);

    void setKeyRects(const std::array<QRectF, 43>& rects, double k);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool lowercase_;
    std::array<QRectF, 43> rects_{};
    double k_ = 1;
};

} // namespace orvenda
