#pragma once

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>

class QPushButton;

namespace orvenda {

class Calculator;
class HelpPage;

// The list the geometry figure is picked from, laid over the geometry screen: each row the
// figure's name and description; a tap picks it and closes the list, the row's ⓘ slides
// in the figure's help page (Back returns to the list, Done closes), Cancel closes. Opened
// again it starts at the list. Main thread.
class GeometryMenu : public QWidget {
public:
    static constexpr int kBarHeight = 44;
    static constexpr std::array<std::uint32_t, 10> kItems = {0x5C59, 0x5C5A, 0x5C5B, 0x5C5C, 0x5C5D,
                                                             0x5C21, 0x5C22, 0x5C23, 0x5C24, 0x5C25};

    GeometryMenu(Calculator& calc, QWidget* parent = nullptr);

    std::function<void(std::uint32_t token)> onSelect;
    std::function<void()> onClick;

    // Back to the list without animation.
    void showMenu();
    double rowHeight() const;
    QPointF rowCenter(int r) const;
    // The ⓘ button of row r, in the menu's coordinates.
    QRectF helpButtonRect(int r) const;
    void pickRow(int r);
    void showHelp(int r);
    // Back from the help page to the list.
    void back();
    bool helpShown() const { return helpRow_ >= 0; }
    int helpRow() const { return helpRow_; }
    const HelpPage& helpPage() const { return *help_; }
    QPushButton& cancelButton() const { return *cancel_; }
    QPushButton& doneButton() const { return *done_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void click();
    QRect listArea() const;

    Calculator& calc_;
    QPushButton* cancel_;
    QPushButton* done_;
    HelpPage* help_;
    int helpRow_ = -1;
};

} // namespace orvenda
