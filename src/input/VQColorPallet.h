#pragma once

#include "core/VQColor.h"

#include <QWidget>

#include <functional>
#include <optional>

namespace orvenda {

// The palette of the colour picker: the 48 standard colours in 6 columns of 8 on a white
// card, in a view of 8 × 10 cells. A touch or drag selects the cell under it and reports
// its colour; lifting the finger also clicks. Touches outside the 48 cells select
// nothing. Main thread.
class VQColorPallet : public QWidget {
public:
    static constexpr int kColumns = 6;
    static constexpr int kRows = 8;

    class Delegate {
    public:
        virtual ~Delegate() = default;
        virtual void selectColor(const VQColor& color) = 0;
    };

    explicit VQColorPallet(QWidget* parent = nullptr);

    void setDelegate(Delegate* delegate) { delegate_ = delegate; }
    // Plays the key click when a touch ends.
    std::function<void()> keyClick;

    // The standard colour of a cell (column 0..5, row 0..7); nothing outside the grid.
    static std::optional<VQColor> colorAt(int column, int row);
    // The cell's rectangle in a view of that size.
    static QRectF cellRect(QSizeF size, int column, int row);
    int selectCol() const { return selectCol_; }
    int selectRow() const { return selectRow_; }

    // A touch at point; began, moved or ended.
    enum class Touch { Began, Moved, Ended };
    void doTouch(QPointF point, Touch phase);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Delegate* delegate_ = nullptr;
    int selectCol_ = -1;
    int selectRow_ = -1;
};

} // namespace orvenda
