#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>

class QPushButton;

namespace orvenda {

class Calculator;

// The list of the eighteen statistics procedures laid over the test screen: each row its
// name and description; a tap picks the procedure and closes the list, Cancel closes it.
// (The procedures' help pages come with the help screens; until then no help button.)
// Main thread.
class StatTestMenu : public QWidget {
public:
    static constexpr int kBarHeight = 44;

    StatTestMenu(Calculator& calc, QWidget* parent = nullptr);

    std::function<void(std::uint32_t op)> onSelect;

    double rowHeight() const;
    // The centre of row r, in the menu's coordinates.
    QPointF rowCenter(int r) const;
    void pickRow(int r);
    QPushButton& cancelButton() const { return *cancel_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Calculator& calc_;
    QPushButton* cancel_;
};

} // namespace orvenda
