#include "stats/StatEditScreen.h"

#include "app/AppShell.h"
#include "app/EntryEvaluator.h"
#include "app/EntryModel.h"
#include "app/EntryView.h"
#include "app/LcdView.h"
#include "app/VQTableScrollView.h"
#include "core/Calculator.h"
#include "core/NotificationNames.h"
#include "core/VQValue.h"
#include "eval/StoreHandler.h"
#include "language/ErrorNumbers.h"

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

constexpr int kSigFigFormat = 3;
constexpr int kSigFigDisplay = 9;

} // namespace

StatEditScreen::StatEditScreen(Calculator& calc, AppShell& shell, QWidget* parent)
    : ScreenController(calc, parent), shell_(shell), lcd_(new LcdView(calc, this)), scroller_(new VQTableScrollView(this)),
      grid_(new StatEditView(calc, shell.keys())), entryView_(new EntryView(calc, shell, this))
{
    scroller_->setContentView(grid_);
    grid_->setDelegate(this);
    scroller_->setContentSize(grid_->size());
    clearEntry();
}

void StatEditScreen::subscribe()
{
    observe(VQBlinkCursor, [this](const Notification&) { entryView_->update(); });
    observe(VQCursorUp, [this](const Notification&) { cursorUp(); });
    observe(VQCursorDown, [this](const Notification&) { cursorDown(); });
    observe(VQCursorLeft, [this](const Notification&) { cursorLeft(); });
    observe(VQCursorRight, [this](const Notification&) { cursorRight(); });
    observe(VQEnter, [this](const Notification&) { enter(); });
    observe(VQDel, [this](const Notification&) { del(); });
    observe(VQIns, [this](const Notification&) { ins(); });
    observe(VQClearList, [this](const Notification&) { clearList(); });
    // Any change of the line, CLEAR's too, takes the shown value away: ENTER on a header
    // emptied so then empties its list.
    observe(VQEntryTextChanged, [this](const Notification&) {
        entryView_->setOverlayStr(std::nullopt);
        entryView_->update();
    });
}

void StatEditScreen::focus(bool gained)
{
    ScreenController::focus(gained);
    if (!gained) {
        // The name prompt's filter is this screen's: the next screen types freely.
        if (EntryModel* e = entry(); e && e->filter() == EntryModel::ListName)
            e->setFilter(EntryModel::AnyOp);
        return;
    }
    lcd_->update();
    updateCursor();
    updateDisplay();
}

void StatEditScreen::restoreTypedPlace(const nlohmann::json& place)
{
    grid_->cursorCol = placeNumber(place, "col", 0, columnCount()).value_or(0);
    const int rows = numRowsInColumn(grid_->cursorCol);
    grid_->cursorRow = placeNumber(place, "row", -1, rows).value_or(std::min(0, rows));
    updateCursor();
}

void StatEditScreen::resizeEvent(QResizeEvent*)
{
    if (calc().device == 1)
        grid_->adjustSize(width() / 480.0);
    updateDisplay();
    // The cell in use stays in view at the new size.
    scroller_->scrollRectToVisible(grid_->rectForCursor());
}

QRect StatEditScreen::cursorRect() const
{
    if (grid_->cursorRow < 0)
        return {};
    return scroller_->shownRect(VQTableScrollView::cellOf(grid_->rectForCursor(), {grid_->colWidth(), grid_->rowHeight()}), *this);
}

EntryModel* StatEditScreen::entry() const { return dynamic_cast<EntryModel*>(calc().entryManager.get()); }

bool StatEditScreen::entryHoldsText() const
{
    const EntryModel* e = entry();
    return e && !e->entryOps().empty();
}

// ---- Columns ----

int StatEditScreen::columnCount() const { return static_cast<int>(calc().locked()->statEditList.size()); }

std::string StatEditScreen::columnName(int col) const
{
    const auto state = calc().locked();
    return col >= 0 && col < static_cast<int>(state->statEditList.size()) ? state->statEditList[static_cast<std::size_t>(col)]
                                                                         : std::string();
}

std::vector<std::string> StatEditScreen::columnNames() const
{
    std::vector<std::string> names = calc().locked()->statEditList;
    for (std::string& name : names)
        if (name == StatEditView::kPlaceholder)
            name.clear();
    return names;
}

int StatEditScreen::numRowsInColumn(int col) const
{
    const auto state = calc().locked();
    const int columns = static_cast<int>(state->statEditList.size());
    if (col > columns || col < 0)
        return 0;
    if (col == columns)
        return -1;
    const auto found = state->lists.find(state->statEditList[static_cast<std::size_t>(col)]);
    return found == state->lists.end() ? -1 : found->second.count();
}

// ---- Display ----

void StatEditScreen::reboundScroller() { scroller_->setContentSize(grid_->size()); }

void StatEditScreen::updateDisplay()
{
    lcd_->setGeometry(rect());
    entryView_->layoutForWidth(width());
    // Measured without the shown value, which the typed text replaces.
    const std::optional<std::string> overlay = entryView_->overlayStr();
    entryView_->setOverlayStr(std::nullopt);
    const int entryHeight = static_cast<int>(std::ceil(entryView_->height()));
    entryView_->setOverlayStr(overlay);
    entryView_->setGeometry(0, height() - entryHeight, width(), entryHeight);
    scroller_->setGeometry(0, 0, width(), height() - entryHeight);
    reboundScroller();
    entryView_->update();
    grid_->update();
}

void StatEditScreen::updateCursor()
{
    reboundScroller();
    scroller_->scrollRectToVisible(grid_->rectForCursor());
    const int col = grid_->cursorCol;
    const int row = grid_->cursorRow;
    const std::string name = columnName(col);
    std::string prefix;
    std::optional<std::string> overlay;
    if (col >= columnCount() || name == StatEditView::kPlaceholder) {
        if (EntryModel* e = entry())
            e->setFilter(EntryModel::ListName);
        prefix = "Name=";
    } else {
        const auto state = calc().locked();
        const auto found = state->lists.find(name);
        const VQList* list = found == state->lists.end() ? nullptr : &found->second;
        const bool sigFigs = state->answerFormat == kSigFigFormat;
        if (row < 0) {
            prefix = name + "=";
            if (list)
                overlay = sigFigs ? calc().formatList(list, kSigFigDisplay) : calc().formatList(list);
        } else if (list && row <= list->count()) {
            prefix = name + "(" + std::to_string(row + 1) + ")=";
            if (const VQNumber* number = list->numberAtIndex(row)) {
                if (number->i() == 0)
                    overlay = sigFigs ? calc().formatSigFig(number->r(), number->sigFig()) : calc().formatReal(number->r());
                else
                    overlay = calc().formatComplex(number->r(), number->i(), calc().realCplxMode() == 2);
            }
        }
    }
    entryView_->setPrefixStr(prefix);
    entryView_->setOverlayStr(overlay);
    entryView_->update();
    grid_->update();
}

void StatEditScreen::clearEntry()
{
    if (EntryModel* e = entry()) {
        e->clear();
        e->setFilter(EntryModel::AnyOp);
    }
    updateCursor();
}

// ---- Storing ----

bool StatEditScreen::getEntry()
{
    if (!shell_.evaluator().finalizeEntry())
        return true;
    // A failed evaluation leaves its text (and the error's mark) on the line: the Ans of
    // before is no value for this cell.
    if (entryHoldsText())
        return false;
    store(false);
    return true;
}

void StatEditScreen::nameColumn(const std::string& name)
{
    const int col = grid_->cursorCol;
    int shownAt = -1;
    {
        const auto state = calc().locked();
        std::vector<std::string>& columns = state->statEditList;
        const auto shown = std::find(columns.begin(), columns.end(), name);
        if (shown != columns.end()) {
            shownAt = static_cast<int>(shown - columns.begin());
        } else if (col == static_cast<int>(columns.size())) {
            columns.push_back(name);
        } else if (col >= 0 && col < static_cast<int>(columns.size())) {
            columns[static_cast<std::size_t>(col)] = name;
        }
    }
    // A name another column already shows is not shown twice: the cursor goes to that
    // column, as if the name had been given there.
    if (shownAt >= 0)
        grid_->cursorCol = shownAt;
    reboundScroller();
}

bool StatEditScreen::store(bool byEnter)
{
    const int col = grid_->cursorCol;
    const int row = grid_->cursorRow;
    const int columns = columnCount();
    if (col < 0 || col > columns)
        return false;
    const int kind = calc().ans.type();
    const std::string name = columnName(col);
    if (col == columns || name == StatEditView::kPlaceholder) {
        if (kind != VQValue::TypeString || row >= 0)
            return false;
        const std::optional<VQString> text = calc().ans.string();
        if (!text)
            return false;
        nameColumn(calc().stringFromOps(text->span()));
        return true;
    }
    if (row < 0) {
        std::optional<VQList> list;
        if (kind == VQValue::TypeList)
            if (const auto ans = calc().ans.list())
                list = *ans;
        if (!list && byEnter && kind == VQValue::TypeReal && calc().ans.r() == 0 && calc().ans.i() == 0)
            list = VQList();
        int error = ErrArgument;
        if (list) {
            const auto hold = calc().lockState();
            if (calc().storeList(name, std::move(*list)))
                return true;
            error = ErrMemory;
        }
        calc().showError({{"errorNum", error}});
        return false;
    }
    int refused = 0;
    {
        const auto state = calc().locked();
        const auto found = state->lists.find(name);
        if (found == state->lists.end() || row > found->second.count())
            return false;
        const bool append = row == found->second.count();
        // Refused as a store past the longest list, or past what a save keeps, is: the
        // value left typed.
        VQList* list = &found->second;
        if (append && found->second.count() >= StoreHandler::kMaxListLength)
            refused = ErrInvalidDim;
        else if (append && (kind == VQValue::TypeReal || kind == VQValue::TypeComplex) && !(list = calc().listToGrow(name, 1)))
            refused = ErrMemory;
        else if (kind == VQValue::TypeReal) {
            const double x = calc().ans.r();
            const int sigFig = calc().ans.sigFigures(), sigDec = calc().ans.sigDecPlace();
            append ? list->addReal(x, sigFig, sigDec) : list->setReal(x, sigFig, sigDec, row);
            return true;
        } else if (kind == VQValue::TypeComplex) {
            const std::complex<double> z = calc().ans.c();
            append ? list->addComplex(z) : list->setComplex(z, row);
            return true;
        }
    }
    if (refused)
        calc().showError({{"errorNum", refused}});
    grid_->update();
    return false;
}

void StatEditScreen::enter()
{
    if (!store(true)) {
        updateDisplay();
        return;
    }
    updateDisplay();
    cDown();
    clearEntry();
}

void StatEditScreen::clearList()
{
    const int col = grid_->cursorCol;
    const std::string name = columnName(col);
    if (grid_->cursorRow >= 0 || col >= columnCount() || name == StatEditView::kPlaceholder || entryView_->overlayStr())
        return;
    if (const auto hold = calc().lockState(); !calc().storeList(name, VQList()))
        return;
    grid_->cursorRow = 0;
    reboundScroller();
    updateCursor();
}

// ---- Editing ----

void StatEditScreen::del()
{
    const int col = grid_->cursorCol;
    if (col < 0 || col >= columnCount())
        return;
    const int row = grid_->cursorRow;
    {
        const auto state = calc().locked();
        std::vector<std::string>& columns = state->statEditList;
        if (row < 0) {
            // The list itself stays: naming a column with it later shows it again.
            columns.erase(columns.begin() + col);
            grid_->cursorCol = std::min(col, static_cast<int>(columns.size()));
        } else if (const auto found = state->lists.find(columns[static_cast<std::size_t>(col)]);
                   found != state->lists.end() && row < found->second.count()) {
            found->second.removeValueAtIndex(row);
        }
    }
    reboundScroller();
    clearEntry();
}

void StatEditScreen::ins()
{
    const int col = grid_->cursorCol;
    if (col < 0 || col >= columnCount())
        return;
    const int row = grid_->cursorRow;
    bool full = false;
    {
        const auto state = calc().locked();
        std::vector<std::string>& columns = state->statEditList;
        if (row < 0) {
            columns.insert(columns.begin() + col, StatEditView::kPlaceholder);
        } else if (const auto found = state->lists.find(columns[static_cast<std::size_t>(col)]);
                   found != state->lists.end() && row <= found->second.count()) {
            full = found->second.count() >= StoreHandler::kMaxListLength;
            if (!full)
                found->second.insertReal(0, 15, -15, row);
        }
    }
    if (full) {
        calc().showError({{"errorNum", int{ErrInvalidDim}}});
        return;
    }
    reboundScroller();
    clearEntry();
}

// ---- Cursor ----

void StatEditScreen::cDown() { grid_->cursorRow = std::min(grid_->cursorRow + 1, numRowsInColumn(grid_->cursorCol)); }

void StatEditScreen::cursorUp()
{
    if (!getEntry())
        return;
    grid_->cursorRow = std::max(grid_->cursorRow - 1, -1);
    clearEntry();
}

void StatEditScreen::cursorDown()
{
    if (!getEntry())
        return;
    cDown();
    clearEntry();
}

void StatEditScreen::cursorLeft()
{
    // An emptied header (no value shown) waits for ENTER or a move up or down to empty its
    // list; an unnamed column's prompt may be left while nothing is typed.
    const bool namePrompt = grid_->cursorCol >= columnCount() || columnName(grid_->cursorCol) == StatEditView::kPlaceholder;
    if (entryHoldsText() || (grid_->cursorRow < 0 && !entryView_->overlayStr() && !namePrompt))
        return;
    grid_->cursorCol = std::max(grid_->cursorCol - 1, 0);
    grid_->cursorRow = std::min(grid_->cursorRow, numRowsInColumn(grid_->cursorCol));
    clearEntry();
}

void StatEditScreen::cursorRight()
{
    const bool namePrompt = grid_->cursorCol >= columnCount() || columnName(grid_->cursorCol) == StatEditView::kPlaceholder;
    if (entryHoldsText() || (grid_->cursorRow < 0 && !entryView_->overlayStr() && !namePrompt))
        return;
    grid_->cursorCol = std::min(grid_->cursorCol + 1, columnCount());
    grid_->cursorRow = std::min(grid_->cursorRow, numRowsInColumn(grid_->cursorCol));
    clearEntry();
}

void StatEditScreen::selectRow(int row, int col)
{
    if (!getEntry())
        return;
    grid_->cursorCol = std::min(col, columnCount());
    grid_->cursorRow = std::min(row, numRowsInColumn(grid_->cursorCol));
    clearEntry();
}

} // namespace orvenda
