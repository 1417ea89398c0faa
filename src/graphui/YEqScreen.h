#pragma once

#include "app/ScreenController.h"
#include "graphui/YEqView.h"

#include <array>
#include <memory>

class QAbstractButton;
class QButtonGroup;

namespace orvenda {

class AppShell;
class LcdView;
class ScreenRouter;
class YEqModel;
class YEqScrollView;

// The Y= screen: the equation rows in their scroller over the display background and, in
// function and implicit mode (not in test mode), a bar along the bottom that sets the
// current equation's relation: =, <, ≤, >, ≥. It follows the model through the equation,
// cursor, blink and graph-mode notifications while it has the focus, keeps the current
// equation in view, and opens the colour and style picker for a touched style icon. Keys
// do not pass through it: the key routing edits the model directly. Main thread.
class YEqScreen : public ScreenController, public YEqView::Delegate {
public:
    // The bar's segments and the styles they set.
    static constexpr std::array<int, 5> kSegmentStyles{2, 16, 18, 8, 10};
    static constexpr int kBarHeight = 34;

    YEqScreen(Calculator& calc, AppShell& shell, ScreenRouter& router, QWidget* parent = nullptr);
    ~YEqScreen() override;

    void updateDisplay() override;
    void focus(bool gained) override;
    // The current equation's row, where it is drawn.
    QRect cursorRect() const override;

    // The bar's segment for a style: 8 → 3, 10 → 4, 16 → 1, 18 → 2, any other → 0.
    static int segmentForStyle(int style);
    // The bar's action: the segment's style for the current equation.
    void setInEquality(int segment);
    void updateInEqualityBar();
    // Scrolls the current equation (in MathPrint its cursor) into view.
    void makeCursorVisible();
    void pickColorForEqNum(int token) override;

    YEqView& view() const { return *view_; }
    YEqScrollView& scroller() const { return *scroller_; }
    bool barShown() const;
    // The bar's selected segment; -1 for none.
    int selectedSegment() const;

protected:
    void subscribe() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutView();
    // The current equation's row among the graph mode's rows.
    int currentRow() const;
    void update();
    void modeChange();

    ScreenRouter& router_;
    std::shared_ptr<YEqModel> model_;
    LcdView* lcd_;
    YEqScrollView* scroller_;
    YEqView* view_;
    QWidget* bar_;
    QButtonGroup* segments_;
};

} // namespace orvenda
