#pragma once

#include "app/ScreenController.h"
#include "stats/StatEqView.h"

namespace orvenda {

class AppShell;
class LcdView;
class ScreenRouter;
class VQTableScrollView;

// The stat plot list (2nd STAT PLOT): the six plots' rows in a scroller. A tap on a
// plot's switch turns it on or off; a tap on the rest of its row opens the plot's set-up
// sheet. Takes no keys of its own. Main thread.
class StatEqScreen : public ScreenController, public StatEqView::Delegate {
public:
    StatEqScreen(Calculator& calc, AppShell& shell, ScreenRouter& router, QWidget* parent = nullptr);

    StatEqView& list() const { return *list_; }
    VQTableScrollView& scroller() const { return *scroller_; }

    void updateDisplay() override;
    void focus(bool gained) override;
    // The plot's row the cursor is on, where it is drawn.
    QRect cursorRect() const override;
    // Switches the plot on or off, with the cursor on it.
    void selectRow(int row);
    void selectStyle(int plot) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void syncViews();

    ScreenRouter& router_;
    LcdView* lcd_;
    VQTableScrollView* scroller_;
    StatEqView* list_;
};

} // namespace orvenda
