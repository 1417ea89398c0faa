#include "apps/MatrixEditView.h"

#include "app/AppShell.h"
#include "app/ScreenController.h"
#include "app/EntryEvaluator.h"
#include "app/EntryModel.h"
#include "app/EntryView.h"
#include "app/VQTableScrollView.h"
#include "core/Calculator.h"
#include "core/NotificationNames.h"
#include "core/VQMatrix.h"
#include "language/ErrorNumbers.h"
#include "core/VQValue.h"

#include <QResizeEvent>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

constexpr int kMaxDimension = 99;
constexpr int kSigFigFormat = 3;

std::int8_t byte(int v) { return static_cast<std::int8_t>(std::clamp(v, -128, 127)); }

} // namespace

MatrixEditView::MatrixEditView(Calculator& calc, AppShell& shell, QWidget* parent)
    : QWidget(parent), calc_(calc), shell_(shell), banner_(new MatrixBanner(calc, shell.keys(), this)),
      scroller_(new VQTableScrollView(this)), grid_(new MatrixView(calc, shell.keys())), entryView_(new EntryView(calc, shell, this))
{
    scroller_->setContentView(grid_);
    grid_->setDelegate(this);
    banner_->setDelegate(this);
}

EntryModel* MatrixEditView::entry() const { return dynamic_cast<EntryModel*>(calc_.entryManager.get()); }

bool MatrixEditView::typed() const
{
    const EntryModel* e = entry();
    return e && !e->entryOps().empty();
}

int MatrixEditView::rows() const { return static_cast<int>(grid_->shownMatrix().dimRow()); }

int MatrixEditView::cols() const { return style_ == MatrixView::Solution ? 0 : static_cast<int>(grid_->shownMatrix().dimCol()); }

void MatrixEditView::change(const std::function<void(VQMatrix&)>& edit)
{
    switch (style_) {
    case MatrixView::Coefficients: edit(calc_.simulMatrix); break;
    case MatrixView::RRef:
        if (calc_.simulRRefMatrix)
            edit(*calc_.simulRRefMatrix);
        break;
    case MatrixView::Matrix: {
        const int n = std::clamp(calc_.editMatrix, 0, Calculator::kMatrixCount - 1);
        edit(calc_.locked()->matrices[static_cast<std::size_t>(n)]);
        break;
    }
    default: break;
    }
}

// ---- Type and matrix ----

void MatrixEditView::displayType(int type)
{
    style_ = type;
    grid_->setStyle(type);
    banner_->setStyle(type);
    editMatrix(calc_.editMatrix);
    if (type == MatrixView::Solution) {
        canSelect_ = canResize_ = false;
        selectRow(-1, -1);
        entryView_->setPrefixStr(std::string());
        entryView_->setOverlayStr(std::nullopt);
        return;
    }
    canSelect_ = true;
    canResize_ = type != MatrixView::RRef;
    selectRow(0, 0);
}

void MatrixEditView::editMatrix(int n)
{
    cursorField_ = RowsField;
    row_ = col_ = 0;
    grid_->cursorRow = -1;
    grid_->cursorCol = 0;
    banner_->setEditField(1);
    if (style_ == MatrixView::Solution) {
        cursorField_ = Cells;
        row_ = col_ = grid_->cursorRow = grid_->cursorCol = -1;
    } else if (style_ == MatrixView::RRef) {
        cursorField_ = Cells;
        grid_->cursorRow = grid_->cursorCol = 0;
    } else if (style_ == MatrixView::Matrix) {
        calc_.editMatrix = std::clamp(n, 0, Calculator::kMatrixCount - 1);
        canSelect_ = canResize_ = true;
    }
    updateDisplay();
}

// ---- Display ----

void MatrixEditView::resizeEvent(QResizeEvent*)
{
    // The cell in use stays in view at the new size.
    updateDisplay();
    makeCursorVisible();
}

QRect MatrixEditView::cellRect(const QWidget& in) const
{
    if (cursorField_ != Cells || row_ < 0 || col_ < 0 || style_ == MatrixView::Solution)
        return {};
    return scroller_->shownRect(VQTableScrollView::cellOf(grid_->rectForCol(col_, row_), {grid_->columnWidth(), grid_->rowHeight()}), in);
}

void MatrixEditView::updateDisplay()
{
    banner_->layoutForWidth(width());
    const int bannerHeight = static_cast<int>(std::ceil(banner_->fontSize() + (calc_.device == 1 ? 3 : 2)));
    banner_->setGeometry(0, 0, width(), bannerHeight);
    entryView_->layoutForWidth(width());
    // Measured without the shown value, which the typed text replaces.
    const std::optional<std::string> overlay = entryView_->overlayStr();
    entryView_->setOverlayStr(std::nullopt);
    const int entryHeight = static_cast<int>(std::ceil(entryView_->height()));
    entryView_->setOverlayStr(overlay);
    entryView_->setGeometry(0, height() - entryHeight, width(), entryHeight);
    scroller_->setGeometry(0, bannerHeight, width(), std::max(0, height() - entryHeight - bannerHeight));
    grid_->layoutForWidth(width());
    scroller_->setContentSize(grid_->size());
    banner_->update();
    entryView_->update();
    grid_->update();
}

void MatrixEditView::makeCursorVisible()
{
    if (cursorField_ != Cells)
        return;
    scroller_->scrollRectToVisible(row_ < 0 || col_ < 0 ? QRectF(0, 0, 10, 10) : grid_->rectForCol(col_, row_));
}

void MatrixEditView::syncViews()
{
    if (EntryModel* e = entry(); e && typed())
        e->clear();
    showField();
}

void MatrixEditView::showField()
{
    if (EntryModel* e = entry())
        e->setFilter(EntryModel::AnyOp);
    std::string prefix;
    std::optional<std::string> overlay;
    const bool system = style_ == MatrixView::Coefficients;
    switch (cursorField_) {
    case RowsField:
        banner_->setEditField(1);
        grid_->cursorRow = grid_->cursorCol = -1;
        prefix = system ? "#eq = " : "#rows = ";
        overlay = std::to_string(rows());
        break;
    case ColsField:
        banner_->setEditField(0);
        grid_->cursorRow = grid_->cursorCol = -1;
        prefix = system ? "#unknown = " : "#col = ";
        overlay = std::to_string(system ? std::max(0, cols() - 1) : cols());
        break;
    default: {
        banner_->setEditField(-1);
        if (row_ >= 0 && col_ >= 0) {
            row_ = std::min(row_, rows() - 1);
            col_ = std::min(col_, cols() - 1);
        }
        grid_->cursorRow = row_;
        grid_->cursorCol = col_;
        if (row_ >= 0 && col_ >= 0) {
            prefix = std::to_string(row_ + 1) + "," + std::to_string(col_ + 1) + "=";
            const SNum cell = grid_->shownMatrix().snumAtRow(static_cast<std::size_t>(row_), static_cast<std::size_t>(col_));
            overlay = calc_.settings().answerFormat == kSigFigFormat ? calc_.formatSigFig(cell.value, cell.sigFig) : calc_.formatReal(cell.value);
        }
        break;
    }
    }
    entryView_->setPrefixStr(prefix);
    // What is typed stands in for the field's value.
    entryView_->setOverlayStr(typed() ? std::nullopt : overlay);
    scroller_->setContentSize(grid_->size());
    makeCursorVisible();
    banner_->update();
    entryView_->update();
    grid_->update();
}

// ---- Values ----

bool MatrixEditView::getEntry()
{
    if (!typed())
        return true;
    shell_.evaluator().finalizeEntry();
    if (typed())
        return false; // it failed and its error was shown
    // Only real numbers go into a matrix; anything else is dropped without a word.
    if (shell_.evaluator().fieldValue() && calc_.ans.type() == VQValue::TypeReal)
        setFieldTo(calc_.ans.r(), calc_.ans.sigFigures(), calc_.ans.sigDecPlace());
    return true;
}

void MatrixEditView::setFieldTo(double value, int sigFig, int sigDec)
{
    if (!std::isfinite(value) && cursorField_ != Cells)
        return;
    const bool system = style_ == MatrixView::Coefficients;
    if (cursorField_ == RowsField || cursorField_ == ColsField) {
        // Above 99 is ignored; anything below the minimum (0 here) is raised to it.
        if (!canResize_ || value >= kMaxDimension + 1)
            return;
        const int k = value < 0 ? 0 : static_cast<int>(std::trunc(value));
        int r = rows(), c = cols();
        if (cursorField_ == RowsField) {
            const int wanted = std::max(k, system ? 2 : 1);
            if (wanted == r)
                return;
            r = wanted;
            c = c == 0 ? 1 : c;
        } else {
            const int wanted = std::max(system ? k + 1 : k, system ? 3 : 1);
            if (wanted == c)
                return;
            c = wanted;
            r = r == 0 ? 1 : r;
        }
        if (style_ == MatrixView::Matrix) {
            // A stored matrix grows as a store makes it: refused past what a save keeps.
            bool stored = false;
            {
                const auto hold = calc_.lockState();
                const auto n = static_cast<std::size_t>(std::clamp(calc_.editMatrix, 0, Calculator::kMatrixCount - 1));
                VQMatrix resized = calc_.state().matrices[n];
                resized.resizeRow(static_cast<std::size_t>(r), static_cast<std::size_t>(c));
                stored = calc_.storeMatrix(n, std::move(resized));
            }
            if (!stored)
                return calc_.showError({{"errorNum", int{ErrMemory}}});
        } else {
            change([&](VQMatrix& m) { m.resizeRow(static_cast<std::size_t>(r), static_cast<std::size_t>(c)); });
        }
        scroller_->setContentSize(grid_->size());
        return;
    }
    // A value with no cell selected is dropped.
    if (row_ < 0 || col_ < 0 || row_ >= rows() || col_ >= cols())
        return;
    change([&](VQMatrix& m) { m.setSNum(SNum{byte(sigFig), byte(sigDec), value}, static_cast<std::size_t>(row_), static_cast<std::size_t>(col_)); });
}

// ---- Keys ----

void MatrixEditView::enter()
{
    if (!getEntry())
        return;
    switch (cursorField_) {
    case RowsField: cursorField_ = ColsField; break;
    case ColsField:
        cursorField_ = Cells;
        row_ = col_ = 0;
        break;
    default:
        if (!canSelect_ || row_ < 0 || col_ < 0)
            break;
        // The next cell in row order; the last one stays.
        if (col_ + 1 < cols()) {
            ++col_;
        } else if (row_ + 1 < rows()) {
            ++row_;
            col_ = 0;
        }
        break;
    }
    syncViews();
}

bool MatrixEditView::moveAllowed(bool needsEmptyEntry) const { return canSelect_ && !(needsEmptyEntry && typed()); }

void MatrixEditView::cursorUp()
{
    if (!moveAllowed(false) || !getEntry())
        return;
    if (cursorField_ != Cells) {
        row_ = col_ = 0;
    } else if (row_ > 0) {
        --row_;
    } else {
        row_ = 0;
        if (canResize_)
            cursorField_ = ColsField;
    }
    syncViews();
}

void MatrixEditView::cursorDown()
{
    if (!moveAllowed(false) || !getEntry())
        return;
    if (cursorField_ == RowsField) {
        cursorField_ = ColsField;
    } else if (cursorField_ == ColsField) {
        if (hasCells()) {
            cursorField_ = Cells;
            row_ = col_ = 0;
        }
    } else {
        row_ = std::min(row_ + 1, rows() - 1);
    }
    syncViews();
}

void MatrixEditView::cursorLeft()
{
    if (!moveAllowed(true) || !getEntry())
        return;
    if (cursorField_ != Cells) {
        cursorField_ = RowsField;
    } else if (col_ > 0) {
        --col_;
    } else if (row_ > 0) {
        --row_;
        col_ = cols() - 1;
    } else if (canResize_) {
        cursorField_ = ColsField;
    }
    syncViews();
}

void MatrixEditView::cursorRight()
{
    if (!moveAllowed(true) || !getEntry())
        return;
    if (cursorField_ == RowsField) {
        cursorField_ = ColsField;
    } else if (cursorField_ == ColsField) {
        if (hasCells()) {
            cursorField_ = Cells;
            row_ = col_ = 0;
        }
    } else if (col_ + 1 < cols()) {
        ++col_;
    } else if (row_ + 1 < rows()) {
        ++row_;
        col_ = 0;
    }
    syncViews();
}

void MatrixEditView::cursorHome()
{
    if (!moveAllowed(true) || !getEntry())
        return;
    if (cursorField_ != Cells)
        cursorField_ = RowsField;
    else
        col_ = 0;
    syncViews();
}

void MatrixEditView::cursorEnd()
{
    if (!moveAllowed(true) || !getEntry())
        return;
    if (cursorField_ == RowsField)
        cursorField_ = ColsField;
    else if (cursorField_ == Cells)
        col_ = cols() - 1;
    syncViews();
}

void MatrixEditView::cursorTop()
{
    if (!moveAllowed(true) || !getEntry())
        return;
    if (cursorField_ == Cells)
        row_ = 0;
    syncViews();
}

void MatrixEditView::cursorBottom()
{
    if (!moveAllowed(true) || !getEntry())
        return;
    if (cursorField_ == Cells)
        row_ = rows() - 1;
    syncViews();
}

void MatrixEditView::entryTextChanged()
{
    if (typed())
        entryView_->setOverlayStr(std::nullopt);
    entryView_->update();
    banner_->update();
}

std::vector<std::pair<std::string_view, std::function<void()>>> MatrixEditView::keyActions()
{
    return {
        {VQBlinkCursor, [this] { entryView_->update(); }},
        {VQCursorUp, [this] { cursorUp(); }},
        {VQCursorDown, [this] { cursorDown(); }},
        {VQCursorLeft, [this] { cursorLeft(); }},
        {VQCursorRight, [this] { cursorRight(); }},
        {VQCursorHome, [this] { cursorHome(); }},
        {VQCursorEnd, [this] { cursorEnd(); }},
        {VQCursorTop, [this] { cursorTop(); }},
        {VQCursorBottom, [this] { cursorBottom(); }},
        {VQEnter, [this] { enter(); }},
        {VQEntryTextChanged, [this] { entryTextChanged(); }},
    };
}

void MatrixEditView::selectRow(int row, int col)
{
    cursorField_ = Cells;
    row_ = col_ = -1;
    if (canSelect_ && hasCells() && row >= 0 && col >= 0) {
        row_ = std::min(row, rows() - 1);
        col_ = std::min(col, cols() - 1);
    }
    syncViews();
}

void MatrixEditView::restorePlace(const nlohmann::json& place)
{
    const auto field = ScreenController::placeNumber(place, "field", RowsField, Cells);
    if (field == Cells) {
        const auto row = ScreenController::placeNumber(place, "row", 0, std::max(0, rows() - 1));
        const auto col = ScreenController::placeNumber(place, "col", 0, std::max(0, cols() - 1));
        selectRow(row.value_or(0), col.value_or(0));
    } else if (field && canResize_) {
        cursorField_ = *field;
        row_ = col_ = 0;
        syncViews();
    }
}

void MatrixEditView::selectField(int field)
{
    row_ = col_ = 0;
    cursorField_ = field == 0 ? ColsField : RowsField;
    syncViews();
}

} // namespace orvenda
