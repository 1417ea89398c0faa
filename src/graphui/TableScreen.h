#pragma once

#include "app/ScreenController.h"
#include "graphui/TableView.h"

#include <cstdint>
#include <optional>

namespace orvenda {

class AppShell;
class EntryView;
class LcdView;
class VQTableScrollView;

// The TABLE screen: the table view in its scroller over a one-line entry field that
// describes the cell under the cursor ("X=" and its value, an equation and its value, the
// step "ΔX=" on the automatic column's header, the equation itself on its header). Arrows
// move the cursor (not while the entry holds text); ENTER stores a typed independent
// value (ask mode: replaces or appends), table start or step (automatic mode), or a new
// equation on an equation's header (refused with the Y= editor's error when it names
// itself). Beside the graph, every cursor move tells the delegate the equation and value
// under the cursor, and a tap on the table gives it the computer's keys (the graph covers
// the calculator's): they edit its line as on the TABLE screen, Return enters it there and
// then. Main thread.
class TableScreen : public ScreenController, public TableView::Delegate {
public:
    class Delegate {
    public:
        virtual ~Delegate() = default;
        virtual void selectEq(int token, double value) = 0;
        // An equation typed on its header replaced the one drawn.
        virtual void equationChanged() {}
    };

    // The furthest automatic row the cursor goes to.
    static constexpr int kMaxRow = 1600;

    TableScreen(Calculator& calc, AppShell& shell, QWidget* parent = nullptr);

    // Beside the graph: the graph screen is told the cursor's moves.
    void setDelegate(Delegate* delegate);
    TableView& tableView() const { return *table_; }
    VQTableScrollView& scroller() const { return *scroller_; }
    EntryView& entryView() const { return *entryView_; }

    void updateDisplay() override;
    void focus(bool gained) override;
    nlohmann::json typedPlace() const override;
    void restoreTypedPlace(const nlohmann::json& place) override;
    // The cell in use, where it is drawn (none on the header row, which stays in view).
    QRect cursorRect() const override;

    void cursorUp();
    void cursorDown();
    void cursorLeft();
    void cursorRight();
    // ENTER before and after the evaluation of the entry line.
    void doEnter();
    void enter();
    void insert();
    void remove();
    // The cursor's cell brought into view and described on the line; the line's typed text
    // is cleared unless keepTyped (the table coming back to a line typed for it).
    void syncViews(bool keepTyped = false);
    void makeCursorVisible();
    double selectedX() const;
    // -1 on the independent column or beyond the last equation.
    int selectedEquation() const;
    // Beside the graph: whether a line typed on the table waits on the shared entry line.
    bool typingBesideGraph() const;
    // That line entered where it was typed, as Return enters it; one that fails (its error
    // told) is not left for the home line.
    void enterBesideGraph();
    // The line describes the cell the cursor stands on now (the table come back to, its
    // values maybe changed meanwhile); a line typed for the table stays and shows.
    void describeCursorCell();

    void selectRow(int row, int col) override;
    void selectHeader(int col) override;
    void selectDelRow() override;
    void tableModeChanged() override;

protected:
    void subscribe() override;
    void resizeEvent(QResizeEvent* event) override;
    // Beside the graph, the table listens while it has the keys.
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // A tap beside the graph: the keys come to the table.
    void takeKeys();
    // A key of the computer's keyboard as the calculator's op, on the table's line.
    void typeOp(std::uint32_t op);
    // Return beside the graph: the line is evaluated now and its value entered.
    void enterTyped();
    // The value ENTER gives the cell under the cursor: a real number, its significance.
    void enterValue(std::optional<double> value, int sigFig, int sigDec);
    bool entryHoldsText() const;
    void tellDelegate();
    void renewContent();

    AppShell& shell_;
    LcdView* lcd_;
    VQTableScrollView* scroller_;
    TableView* table_;
    EntryView* entryView_;
    Delegate* delegate_ = nullptr;
};

} // namespace orvenda
