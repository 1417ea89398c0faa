#include "graphui/TableScreen.h"

#include "app/AppShell.h"
#include "app/EntryModel.h"
#include "app/EntryView.h"
#include "app/LcdView.h"
#include "app/VQTableScrollView.h"
#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/Operand.h"
#include "core/services/YEqManager.h"
#include "eval/ScalarOperators.h"
#include "input/KeyCommands.h"
#include "input/KeyTables.h"

#include <QKeyEvent>

namespace orvenda {

namespace {

constexpr int kTblStart = 54, kDeltaTbl = 61;

EntryModel* entryOf(Calculator& calc) { return dynamic_cast<EntryModel*>(calc.entryManager.get()); }

const char* stepName(int mode)
{
    static constexpr std::array<const char*, 4> kNames{"ΔX=", "ΔT=", "Δθ=", "Δη="};
    return mode >= 0 && mode < 4 ? kNames[static_cast<std::size_t>(mode)] : "";
}

} // namespace

TableScreen::TableScreen(Calculator& calc, AppShell& shell, QWidget* parent)
    : ScreenController(calc, parent), shell_(shell), lcd_(new LcdView(calc, this)), scroller_(new VQTableScrollView(this)),
      table_(new TableView(calc, shell.keys())), entryView_(new EntryView(calc, shell, this))
{
    scroller_->setContentView(table_);
    table_->setDelegate(this);
    scroller_->setSnapScroll(true);
    scroller_->setColWidth(table_->colWidth());
    scroller_->setContentSize(table_->size());
    scroller_->setContentOffset(QPointF(0, calc.locked()->tableMode == 1 ? TableView::kOrigin : 0));
}

void TableScreen::setDelegate(Delegate* delegate)
{
    delegate_ = delegate;
    // The table itself takes the keys a tap gives it, not its scroller.
    setFocusPolicy(delegate ? Qt::ClickFocus : Qt::NoFocus);
    scroller_->setFocusPolicy(Qt::NoFocus);
}

void TableScreen::subscribe()
{
    observe(VQBlinkCursor, [this](const Notification&) { entryView_->update(); });
    // What is typed stands in for the value the cell shows.
    observe(VQEntryTextChanged, [this](const Notification&) {
        if (entryHoldsText() && entryView_->overlayStr()) {
            entryView_->setOverlayStr(std::nullopt);
            entryView_->update();
        }
    });
    observe(VQCursorUp, [this](const Notification&) { cursorUp(); });
    observe(VQCursorDown, [this](const Notification&) { cursorDown(); });
    observe(VQCursorLeft, [this](const Notification&) { cursorLeft(); });
    observe(VQCursorRight, [this](const Notification&) { cursorRight(); });
    // Only a result of the table's own line comes (the evaluator keeps a run's end from it).
    observe(VQEnter, [this](const Notification&) { enter(); });
    observe(VQDoEnter, [this](const Notification&) { doEnter(); });
    observe(VQIns, [this](const Notification&) { insert(); });
    observe(VQDel, [this](const Notification&) { remove(); });
}

void TableScreen::resizeEvent(QResizeEvent*)
{
    updateDisplay();
    // The cell in use stays in view at the new size.
    makeCursorVisible();
}

QRect TableScreen::cursorRect() const
{
    if (table_->headerSelected)
        return {};
    return scroller_->shownRect(VQTableScrollView::cellOf(table_->rectForCol(table_->cursorCol, table_->cursorRow),
                                                          {table_->colWidth(), table_->rowHeight()}),
                                *this);
}

void TableScreen::focusInEvent(QFocusEvent* event)
{
    if (delegate_)
        ScreenController::focus(true);
    ScreenController::focusInEvent(event);
}

void TableScreen::focusOutEvent(QFocusEvent* event)
{
    if (delegate_)
        ScreenController::focus(false);
    ScreenController::focusOutEvent(event);
}

void TableScreen::takeKeys()
{
    if (delegate_)
        setFocus(Qt::OtherFocusReason);
}

void TableScreen::keyPressEvent(QKeyEvent* event)
{
    static const KeyCommands commands;
    // While a program owns the keys the graph screen around hands them to it.
    const bool own = delegate_ && !shell_.keys().programOwnsKeys();
    const KeyCommands::Command* command = own ? commands.commandFor(*event) : nullptr;
    const bool typed = command && command->handler == QStringLiteral("kChar:");
    const std::optional<std::uint32_t> op = command ? commands.op(*command) : std::nullopt;
    // What the line cannot take (Escape, the screen keys, the letters that open the
    // catalogue) goes on to the graph screen.
    const bool letter = op && KeyCommands::isCatalogueLetter(*op);
    if (!op || (!typed && *op != KeyTables::kIns) || letter || *op == KeyTables::kSpace) {
        ScreenController::keyPressEvent(event);
        return;
    }
    if (*op == KeyTables::kEnter) {
        enterTyped();
    } else if (*op == KeyTables::kDel) {
        shell_.keys().backspace([this](std::uint32_t key) { typeOp(key); });
    } else if (*op == KeyTables::kIns) {
        // INS on an empty line inserts a row, as on the TABLE screen: the graph, the
        // current screen, has no rows of its own to take it.
        const bool empty = !entryHoldsText();
        typeOp(*op);
        if (empty)
            insert();
    } else {
        typeOp(*op);
    }
}

void TableScreen::typeOp(std::uint32_t op)
{
    calc().processKeyOp(static_cast<int>(op));
    updateDisplay();
}

void TableScreen::renewContent()
{
    scroller_->setContentSize(table_->size());
    scroller_->setRowSnap(calc().locked()->tableMode == 1 ? TableView::kOrigin : 0, table_->rowHeight());
}

void TableScreen::updateDisplay()
{
    lcd_->setGeometry(rect());
    entryView_->layoutForWidth(width());
    const int entryHeight = static_cast<int>(std::ceil(entryView_->height()));
    entryView_->setGeometry(0, height() - entryHeight, width(), entryHeight);
    scroller_->setGeometry(0, 0, width(), height() - entryHeight);
    renewContent();
    if (entryHoldsText() && table_->cursorCol == 0)
        entryView_->setOverlayStr(std::nullopt);
    entryView_->update();
    table_->update();
}

void TableScreen::focus(bool gained)
{
    if (!gained) {
        ScreenController::focus(false);
        // The table reopens at the row the user left.
        const auto state = calc().locked();
        if (state->tableMode == 1) {
            state->vars[kTblStart] += state->vars[kDeltaTbl] * static_cast<double>(table_->cursorRow);
            table_->cursorRow = 0;
        }
        return;
    }
    ScreenController::focus(true);
    // A faulty equation's column shows no values: its error says why, with the way to it.
    if (YEqModel* equations = YEqModel::of(calc()))
        equations->reportFaultySelected();
    lcd_->update();
    table_->cursorRow = 0;
    renewContent();
    // The automatic table opens with TblStart on its first row, whatever showed before.
    if (calc().locked()->tableMode == 1)
        scroller_->setContentOffset(QPointF(scroller_->contentOffset().x(), TableView::kOrigin));
    describeCursorCell();
}

void TableScreen::describeCursorCell()
{
    syncViews(true);
    if (entryHoldsText())
        entryView_->setOverlayStr(std::nullopt);
}

nlohmann::json TableScreen::typedPlace() const
{
    return {{"row", table_->cursorRow}, {"col", table_->cursorCol}, {"header", table_->headerSelected ? 1 : 0}};
}

void TableScreen::restoreTypedPlace(const nlohmann::json& place)
{
    table_->size();
    const bool automatic = calc().locked()->tableMode == 1;
    const int last = automatic ? std::min(kMaxRow, table_->maxAutoRow()) : calc().locked()->tableList.count();
    table_->cursorRow = placeNumber(place, "row", automatic ? -last : 0, last).value_or(0);
    table_->cursorCol = placeNumber(place, "col", 0, table_->numColumns() - 1).value_or(0);
    table_->headerSelected = placeNumber(place, "header", 1, 1).has_value();
    syncViews();
}

bool TableScreen::typingBesideGraph() const
{
    // The table draws the shared line on its own: what is typed shows there.
    return delegate_ && !isHidden() && entryHoldsText();
}

void TableScreen::enterBesideGraph()
{
    enterTyped();
    if (EntryModel* entry = entryOf(calc()); entry && !entry->entryOps().empty())
        entry->clear();
}

bool TableScreen::entryHoldsText() const
{
    const EntryModel* entry = entryOf(calc());
    return entry && !entry->entryOps().empty();
}

double TableScreen::selectedX() const
{
    const auto state = calc().locked();
    if (state->tableMode == 1)
        return table_->autoValue(table_->cursorRow);
    const int row = table_->cursorRow;
    return row >= 0 && row < state->tableList.count() ? state->tableList.realAtIndex(row) : 0;
}

int TableScreen::selectedEquation() const
{
    const std::vector<int> columns = table_->columnEquations();
    const int col = table_->cursorCol;
    return col >= 1 && col <= static_cast<int>(columns.size()) ? columns[static_cast<std::size_t>(col - 1)] : -1;
}

void TableScreen::makeCursorVisible()
{
    scroller_->scrollRectToVisible(table_->rectForCol(table_->cursorCol, table_->cursorRow));
}

void TableScreen::syncViews(bool keepTyped)
{
    makeCursorVisible();
    const double x = selectedX();
    const int mode = calc().graphMode();
    EntryModel* entry = keepTyped && entryHoldsText() ? nullptr : entryOf(calc());
    const int eq = selectedEquation();
    const std::string eqName = eq >= 0 ? calc().nameForOpcode(static_cast<std::uint32_t>(eq)) + "=" : std::string();
    if (!table_->headerSelected) {
        if (table_->cursorCol == 0) {
            entryView_->setPrefixStr(TableView::independentName(mode).toStdString() + "=");
            entryView_->setOverlayStr(calc().formatTable(x));
        } else if (eq >= 0) {
            entryView_->setPrefixStr(eqName);
            GraphSampler sampler(calc());
            entryView_->setOverlayStr(calc().formatTable(sampler.dfunction(eq, x)));
        }
        if (entry)
            entry->clear();
    } else if (table_->cursorCol == 0 && calc().locked()->tableMode == 1) {
        entryView_->setPrefixStr(stepName(mode));
        entryView_->setOverlayStr(std::nullopt);
        if (entry)
            entry->forceOps(ScalarOperators::numToOps(calc(), calc().locked()->vars[kDeltaTbl].real()));
    } else {
        if (table_->cursorCol == 0) {
            entryView_->setPrefixStr(std::string());
            entryView_->setOverlayStr(std::nullopt);
        } else if (eq >= 0 && calc().yEqManager) {
            entryView_->setPrefixStr(eqName);
            entryView_->setOverlayStr(calc().yEqManager->eqString(eq));
        }
        if (entry)
            entry->clear();
    }
    entryView_->update();
    table_->update();
}

void TableScreen::tellDelegate()
{
    const int eq = selectedEquation();
    if (delegate_ && eq != -1)
        delegate_->selectEq(eq, selectedX());
}

// ---- Cursor ----

void TableScreen::cursorUp()
{
    if (entryHoldsText() || table_->headerSelected)
        return;
    if (calc().locked()->tableMode == 1) {
        // Never past the rows the content holds.
        const int limit = std::min(kMaxRow, table_->maxAutoRow());
        table_->cursorRow = std::max(table_->cursorRow - 1, -limit);
    } else {
        table_->cursorRow = std::clamp(table_->cursorRow - 1, 0, calc().locked()->tableList.count());
    }
    syncViews();
    tellDelegate();
}

void TableScreen::cursorDown()
{
    if (entryHoldsText() || table_->headerSelected)
        return;
    if (calc().locked()->tableMode == 1) {
        const int limit = std::min(kMaxRow, table_->maxAutoRow());
        table_->cursorRow = std::min(table_->cursorRow + 1, limit);
    } else {
        table_->cursorRow = std::clamp(table_->cursorRow + 1, 0, calc().locked()->tableList.count());
    }
    syncViews();
    tellDelegate();
}

void TableScreen::cursorLeft()
{
    if (entryHoldsText())
        return;
    table_->size();
    table_->cursorCol = std::clamp(table_->cursorCol - 1, 0, table_->numColumns() - 1);
    syncViews();
    tellDelegate();
}

void TableScreen::cursorRight()
{
    if (entryHoldsText())
        return;
    table_->size();
    table_->cursorCol = std::clamp(table_->cursorCol + 1, 0, table_->numColumns() - 1);
    syncViews();
    tellDelegate();
}

// ---- Taps ----

void TableScreen::selectRow(int row, int col)
{
    takeKeys();
    table_->size();
    table_->cursorRow = row;
    table_->cursorCol = std::clamp(col, 0, table_->numColumns() - 1);
    table_->headerSelected = false;
    syncViews();
    tellDelegate();
}

void TableScreen::selectHeader(int col)
{
    takeKeys();
    table_->size();
    table_->cursorCol = std::clamp(col, 0, table_->numColumns() - 1);
    table_->headerSelected = true;
    syncViews();
}

void TableScreen::selectDelRow()
{
    takeKeys();
    table_->cursorCol = 0;
    table_->headerSelected = true;
    syncViews();
}

void TableScreen::tableModeChanged()
{
    takeKeys();
    renewContent();
    scroller_->setContentOffset(QPointF(0, calc().locked()->tableMode == 1 ? TableView::kOrigin : 0));
    table_->cursorRow = 0;
    syncViews();
    updateDisplay();
}

// ---- Entry ----

void TableScreen::doEnter()
{
    const int eq = selectedEquation();
    EntryModel* entry = entryOf(calc());
    if (!table_->headerSelected || eq < 0 || !entry || !calc().yEqManager)
        return;
    // An equation naming itself would never end: refused, the equation kept.
    if (const int error = calc().yEqManager->setYEqFunc(eq, entry->entryOps()); error != 0)
        calc().showError({{"errorNum", error}});
    else if (delegate_)
        delegate_->equationChanged();
}

void TableScreen::enter()
{
    const bool real = calc().ans.type() == 0;
    enterValue(real ? std::optional(calc().ans.r()) : std::nullopt, calc().ans.sigFigures(), calc().ans.sigDecPlace());
}

void TableScreen::enterTyped()
{
    if (table_->headerSelected && table_->cursorCol >= 1) {
        doEnter();
        syncViews();
        return;
    }
    EntryEvaluator& evaluator = shell_.evaluator();
    // A line that fails keeps its text (and error mark) for mending.
    if (!evaluator.finalizeEntry() || !evaluator.fieldValue()) {
        updateDisplay();
        return;
    }
    const Operand& value = *evaluator.fieldValue();
    enterValue(value.kind == KindReal ? std::optional(value.re()) : std::nullopt, value.sigFig, value.sigDec);
    updateDisplay();
}

void TableScreen::enterValue(std::optional<double> value, int sigFig, int sigDec)
{
    if (table_->headerSelected && table_->cursorCol >= 1) {
        syncViews();
        return;
    }
    if (!value)
        return;
    const double v = *value;
    if (table_->headerSelected) {
        calc().locked()->vars[kDeltaTbl] = {v, 0};
        table_->headerSelected = false;
    } else if (table_->cursorCol >= 1) {
        syncViews();
        return;
    } else if (calc().locked()->tableMode == 1) {
        calc().locked()->vars[kTblStart] = {v, 0};
        table_->cursorRow = 0;
    } else {
        const int row = table_->cursorRow;
        {
            const auto state = calc().locked();
            VQList& list = state->tableList;
            if (row >= 0 && row < list.count())
                list.setReal(v, sigFig, sigDec, row);
            else
                list.addReal(v, sigFig, sigDec);
        }
        renewContent();
        table_->cursorRow = row + 1;
    }
    makeCursorVisible();
    syncViews();
}

void TableScreen::insert()
{
    const int row = table_->cursorRow;
    {
        const auto state = calc().locked();
        if (table_->headerSelected || state->tableMode == 1 || row < 0 || row >= state->tableList.count())
            return;
        state->tableList.insertReal(0, 15, -15, row);
    }
    renewContent();
    syncViews();
}

void TableScreen::remove()
{
    const int row = table_->cursorRow;
    {
        const auto state = calc().locked();
        if (state->tableMode == 1 || row < 0 || row >= state->tableList.count())
            return;
        state->tableList.removeValueAtIndex(row);
    }
    renewContent();
    makeCursorVisible();
    syncViews();
}

} // namespace orvenda
