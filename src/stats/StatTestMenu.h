#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>

class QPushButton;

namespace orvenda {

class Calculator;
class HelpPage;
class OverlaySlide;

// The list of the eighteen statistics procedures laid over the test screen (a popover at
// the Tests button on a tablet): each row its name and description; a tap picks the
// procedure and closes the list, Cancel (on a phone) closes it.
// The (i) button at a row's right end slides the procedure's help page in over the list;
// Back slides it out, and the list shows again whenever the menu is opened anew.
// Shown, it takes the computer's keys from the screen it covers: Escape closes it (with a
// help page shown), the other keys act on nothing. Main thread.
class StatTestMenu : public QWidget {
public:
    static constexpr int kBarHeight = 44;
    // The width of the (i) button at each row's right end.
    static constexpr int kDetailWidth = 44;

    StatTestMenu(Calculator& calc, QWidget* parent = nullptr);

    // A tablet's menu: a popover window of its own, closed by a pick or a tap outside it,
    // without Cancel.
    void setPopover(bool popover);
    bool popover() const { return popover_; }

    std::function<void(std::uint32_t op)> onSelect;
    // A key click for each touch that does something.
    std::function<void()> onClick;
    // The menu closed, however: the screen takes its keys back.
    std::function<void()> onHidden;

    double rowHeight() const;
    // The rows stand in as many columns as it takes to keep them 24 points high or more
    // (two on a phone on its side), filled top to bottom.
    int columns() const;
    // Row r's rectangle, its (i) button at the right end, in the menu's coordinates.
    QRectF rowRect(int r) const;
    // The centre of row r, in the menu's coordinates.
    QPointF rowCenter(int r) const;
    // The centre of row r's (i) button.
    QPointF detailCenter(int r) const;
    void pickRow(int r);
    // Row r's help page, slid in over the list; popHelp() slides it out.
    void openHelp(int r);
    void popHelp();
    bool helpShown() const { return helpShown_; }
    // As the menu opens: the list, not a help page left from before.
    void updateView();
    const HelpPage& help() const { return *help_; }
    QPushButton& cancelButton() const { return *cancel_; }
    QPushButton& backButton() const { return *back_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QRect pageArea() const;
    void click() const;

    Calculator& calc_;
    QPushButton* cancel_;
    QPushButton* back_;
    HelpPage* help_;
    // The help page's slide in over the list and out.
    OverlaySlide* slide_;
    QString helpTitle_;
    bool helpShown_ = false;
    bool popover_ = false;
};

} // namespace orvenda
