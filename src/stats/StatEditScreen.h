#pragma once

#include "app/ScreenController.h"
#include "stats/StatEditView.h"

#include <optional>
#include <string>

namespace orvenda {

class AppShell;
class EntryModel;
class EntryView;
class LcdView;
class VQTableScrollView;

// The list editor (STAT ▸ EDIT): the grid in its scroller over the one-line entry field,
// which prompts for the cell under the cursor ("L₁(3)=" with the element shown until the
// user types, "L₁=" with the whole list on a header, "Name=" on an unnamed column). The
// arrows move the cursor (up and down, and taps, first store what was typed; a typed
// value that fails to evaluate stays typed and the cursor stays); ENTER stores into the
// cell, appends on the slot after the last element, names a column or stores a whole
// list on a header, 0 or an emptied header empties the list; INS inserts an element or
// an unnamed column, DEL removes an element or takes the column off the editor (its list
// stays). Main thread.
class StatEditScreen : public ScreenController, public StatEditView::Delegate {
public:
    StatEditScreen(Calculator& calc, AppShell& shell, QWidget* parent = nullptr);

    StatEditView& grid() const { return *grid_; }
    VQTableScrollView& scroller() const { return *scroller_; }
    EntryView& entryView() const { return *entryView_; }

    void updateDisplay() override;
    void focus(bool gained) override;
    nlohmann::json typedPlace() const override { return {{"row", grid_->cursorRow}, {"col", grid_->cursorCol}}; }
    void restoreTypedPlace(const nlohmann::json& place) override;
    // The cell in use, where it is drawn (none on a header, which stays in view).
    QRect cursorRect() const override;

    // The column names as the editor shows them (the unnamed placeholder as "").
    std::vector<std::string> columnNames() const;
    // The largest row the cursor may take in a column: the append slot of a list, -1 (the
    // header only) on the empty column and on a column without a list, 0 beyond.
    int numRowsInColumn(int col) const;

    void cursorUp();
    void cursorDown();
    void cursorLeft();
    void cursorRight();
    // ENTER: the entry line's answer is in Ans (a typed name as a string).
    void enter();
    void del();
    void ins();
    void clearList();
    void selectRow(int row, int col) override;

protected:
    void subscribe() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    EntryModel* entry() const;
    bool entryHoldsText() const;
    // The prompt and value for the cursor cell.
    void updateCursor();
    void clearEntry();
    // Stores what was typed into the cursor cell; false when it failed to evaluate (the
    // text stays for mending).
    bool getEntry();
    // Stores Ans into the cursor cell; true when something was stored.
    bool store(bool byEnter);
    // Names the empty or an unnamed column; true when the cursor was placed on it.
    void nameColumn(const std::string& name);
    void cDown();
    void reboundScroller();
    std::string columnName(int col) const;
    int columnCount() const;

    AppShell& shell_;
    LcdView* lcd_;
    VQTableScrollView* scroller_;
    StatEditView* grid_;
    EntryView* entryView_;
};

} // namespace orvenda
