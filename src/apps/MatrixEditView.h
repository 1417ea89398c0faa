#pragma once

#include "apps/MatrixBanner.h"
#include "apps/MatrixView.h"

#include <QWidget>

#include <nlohmann/json.hpp>

#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace orvenda {

class AppShell;
class Calculator;
class EntryModel;
class EntryView;
class VQMatrix;
class VQTableScrollView;

// The matrix editor: the banner with the name and the two dimension boxes, the grid in its
// scroller and the one-line entry field under it, in which every value is typed after a
// prefix ("#rows = ", "2,3=") with the current value shown until the user types. The
// cursor is on the rows box (0), the columns box (1) or a cell (2); ENTER commits and moves
// on (rows, columns, then the cells in row order), the arrows, HOME, END and the page keys
// move as the keypad's table says. Dimensions run from 1 to 99 (a system from 2 equations
// and 2 unknowns); larger ones are ignored, smaller ones raised; anything but a real
// number is ignored. The display type picks the matrix: 0 one of [A]…[J], 1 the
// simultaneous equations' system, 2 its solution (nothing to select), 3 its reduced form
// (cells only). Main thread.
class MatrixEditView : public QWidget, public MatrixView::Delegate, public MatrixBanner::Delegate {
public:
    enum Field { RowsField = 0, ColsField = 1, Cells = 2 };

    MatrixEditView(Calculator& calc, AppShell& shell, QWidget* parent = nullptr);

    MatrixView& grid() const { return *grid_; }
    MatrixBanner& banner() const { return *banner_; }
    EntryView& entryView() const { return *entryView_; }
    VQTableScrollView& scroller() const { return *scroller_; }

    int style() const { return style_; }
    int cursorField() const { return cursorField_; }
    int cursorRow() const { return row_; }
    int cursorCol() const { return col_; }
    bool canSelect() const { return canSelect_; }
    bool canResize() const { return canResize_; }
    // The cell in use, where it is drawn in that widget; empty off the cells.
    QRect cellRect(const QWidget& in) const;

    // Switches the display type; the cursor goes to the first cell (none in type 2).
    void displayType(int type);
    // Shows matrix n (type 0) with the cursor on the rows box.
    void editMatrix(int n);
    void updateDisplay();
    // After every move: the prefix and value shown for the cursor, the entry line cleared.
    void syncViews();
    // The prefix and value shown for the cursor, keeping what the entry line holds (back
    // from under a menu, whose pick goes onto that line).
    void showField();
    // Commits what was typed to the cursor's field; false when it failed to evaluate (its
    // error was shown and the text stays).
    bool getEntry();
    // A value for the cursor's field: a dimension or a cell.
    void setFieldTo(double value, int sigFig, int sigDec);
    // Where the cursor is, for a save that keeps the line typed there; and the cursor put
    // back there (within the matrix shown now).
    nlohmann::json place() const { return {{"field", cursorField_}, {"row", row_}, {"col", col_}}; }
    void restorePlace(const nlohmann::json& place);

    void enter();
    void cursorUp();
    void cursorDown();
    void cursorLeft();
    void cursorRight();
    void cursorHome();
    void cursorEnd();
    void cursorTop();
    void cursorBottom();
    void entryTextChanged();

    // The notifications the editor answers and what it does for each, for the screen that
    // holds it to observe while it has the focus.
    std::vector<std::pair<std::string_view, std::function<void()>>> keyActions();

    void selectRow(int row, int col) override;
    void selectField(int field) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    EntryModel* entry() const;
    bool typed() const;
    int rows() const;
    int cols() const;
    // Changes the shown matrix in place (under the state lock for [A]…[J]).
    void change(const std::function<void(VQMatrix&)>& edit);
    bool hasCells() const { return rows() > 0 && cols() > 0; }
    void makeCursorVisible();
    // The cursor keys' common start: false when the key does nothing now.
    bool moveAllowed(bool needsEmptyEntry) const;

    Calculator& calc_;
    AppShell& shell_;
    MatrixBanner* banner_;
    VQTableScrollView* scroller_;
    MatrixView* grid_;
    EntryView* entryView_;
    int style_ = 0;
    int cursorField_ = RowsField;
    int row_ = 0;
    int col_ = 0;
    bool canSelect_ = true;
    bool canResize_ = true;
};

} // namespace orvenda
