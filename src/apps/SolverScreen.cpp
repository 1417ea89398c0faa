#include "apps/SolverScreen.h"

#include "apps/LcdOverlay.h"

#include "app/AppShell.h"
#include "app/CursorBlink.h"
#include "app/EntryEvaluator.h"
#include "app/EntryModel.h"
#include "app/KeyRouter.h"
#include "app/LcdView.h"
#include "app/NamedColors.h"
#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/VQColor.h"
#include "eval/Parser.h"
#include "eval/GraphSampler.h"
#include "pretty/FontMap.h"
#include "pretty/PrettyDrawInfo.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

// The phone's sizes; a tablet scales them (textScale()).
constexpr double kBannerHeight = 30;
constexpr double kLineHeight = 30;
constexpr double kButtonHeight = 36;
constexpr double kLeastButtonHeight = 26;
constexpr double kFontSize = 18;
constexpr double kButtonFontSize = 14;
// The bounds' tokens, named as the display names them.
constexpr std::uint32_t kLowerToken = 0x6338, kUpperToken = 0x6339;

EntryModel* entryOf(Calculator& calc) { return dynamic_cast<EntryModel*>(calc.entryManager.get()); }

} // namespace

SolverScreen::SolverScreen(Calculator& calc, AppShell& shell, QWidget* parent)
    : ScreenController(calc, parent), shell_(shell), model_(calc), lcd_(new LcdView(calc, this)),
      done_(new QPushButton(QStringLiteral("Done"), this)), solve_(new QPushButton(QStringLiteral("SOLVE"), this)),
      plot_(new QPushButton(QStringLiteral("PLOT"), this))
{
    lcd_->installEventFilter(this);
    for (QPushButton* button : {done_, solve_, plot_}) {
        button->setFocusPolicy(Qt::NoFocus);
    }
    // A button acts as a key does: after the answer of an ENTER typed before it (the value
    // it stores), never before it.
    const auto asKey = [this](void (SolverScreen::*action)()) {
        return [this, action] { shell_.keys().press([this, action] { (this->*action)(); }, 0); };
    };
    connect(done_, &QPushButton::clicked, this, asKey(&SolverScreen::leave));
    connect(solve_, &QPushButton::clicked, this, asKey(&SolverScreen::solve));
    connect(plot_, &QPushButton::clicked, this, asKey(&SolverScreen::plot));
}

QWidget* SolverScreen::leaveControl() const { return done_; }

bool SolverScreen::typed() const
{
    const EntryModel* entry = entryOf(calc());
    return entry && !entry->entryOps().empty();
}

QString SolverScreen::label(int line) const
{
    if (line == 0)
        return QStringLiteral("eqn:0=");
    const int slot = model_.slotOf(line);
    std::uint32_t token = slot == SolverModel::kLowerSlot ? kLowerToken : slot == SolverModel::kUpperSlot ? kUpperToken : 0;
    if (token == 0) {
        const auto vars = model_.variables();
        if (line - 1 < static_cast<int>(vars.size()))
            token = vars[static_cast<std::size_t>(line - 1)];
    }
    return QString::fromStdString(calc().nameForOpcode(token)) + QLatin1Char('=');
}

QString SolverScreen::lineText(int line) const
{
    QString value;
    if (line == line_ && typed())
        value = QString::fromStdString(calc().stringFromOps(entryOf(calc())->entryOps()));
    else if (line == 0)
        value = QString::fromStdString(calc().stringFromOps(calc().locked()->solverEq));
    else
        value = QString::fromStdString(calc().formatReal(model_.value(model_.slotOf(line))));
    return label(line) + value;
}

QString SolverScreen::leftRtText() const
{
    return resultLine_ >= 0 ? QStringLiteral("left-rt=") + QString::fromStdString(calc().formatReal(residual_)) : QString();
}

void SolverScreen::loadEntry()
{
    EntryModel* entry = entryOf(calc());
    if (!entry)
        return;
    if (line_ == 0) {
        // Only a change: setting the line shows the cursor at once.
        const auto equation = calc().locked()->solverEq;
        if (entry->entryOps() != equation)
            entry->setOps(equation);
    } else if (typed())
        entry->clear();
}

bool SolverScreen::getEntry()
{
    EntryModel* entry = entryOf(calc());
    if (!entry || !typed())
        return true;
    if (line_ == 0) {
        calc().locked()->solverEq = entry->entryOps();
        resultLine_ = -1;
        return true;
    }
    shell_.evaluator().finalizeEntry();
    if (typed())
        return false;
    // A value that is not real is ignored.
    if (calc().ans.type() == 0) {
        model_.setValue(model_.slotOf(line_), calc().ans.r());
        resultLine_ = -1;
    }
    return true;
}

bool SolverScreen::validEquation()
{
    int at = 0;
    const int error = model_.check(at);
    if (error == 0)
        return true;
    calc().showError({{"errorNum", error}});
    line_ = 0;
    loadEntry();
    if (EntryModel* entry = entryOf(calc()))
        entry->setErrorLocation(at);
    update();
    return false;
}

void SolverScreen::solve()
{
    if (!getEntry() || !validEquation())
        return;
    const int slot = model_.slotOf(line_);
    if (slot < 0 || slot == SolverModel::kLowerSlot || slot == SolverModel::kUpperSlot)
        return;
    solving_ = true;
    solveLine_ = line_;
    double residual = 0;
    const int error = model_.solve(line_, residual);
    if (error > 0) {
        calc().showError({{"errorNum", error}});
    } else {
        residual_ = residual;
        // Only a root is marked with its left-rt: after a failure the lines show what
        // they showed, never a residual of values that do not exist.
        resultLine_ = solveLine_;
    }
    if (EntryModel* entry = entryOf(calc()); entry && typed())
        entry->clear();
    update();
}

void SolverScreen::plot()
{
    if (!getEntry() || !validEquation())
        return;
    int slot = model_.slotOf(line_);
    if (slot < 0 || slot == SolverModel::kLowerSlot || slot == SolverModel::kUpperSlot) {
        if (model_.variables().empty())
            return;
        moveTo(1);
        slot = model_.slotOf(line_);
    }
    if (calc().yEqManager) {
        calc().yEqManager->setYEqFunc(SolverModel::kSolverFunction, calc().locked()->solverEq);
        calc().yEqManager->setFunction(SolverModel::kSolverFunction, true);
        calc().yEqManager->setColor(VQColor::colorR(0, 1, 0, 1), SolverModel::kSolverFunction);
        if (auto* equations = dynamic_cast<YEqModel*>(calc().yEqManager.get()))
            equations->setSolverVar(slot);
    }
    const double x0 = model_.value(slot);
    GraphSampler sampler(calc());
    const double y0 = sampler.function(SolverModel::kSolverFunction, slot, x0);
    const double y1 = sampler.function(SolverModel::kSolverFunction, slot, x0 + 1e-5);
    resultLine_ = -1;
    const SolverModel::Window w = SolverModel::plotWindow(x0, y0, y1);
    calc().showSolverPlot({{"L", w.left}, {"R", w.right}, {"B", w.bottom}, {"T", w.top}});
}

void SolverScreen::enter()
{
    // The entry line was evaluated; its answer is the line's value.
    if (line_ > 0 && calc().ans.type() == 0)
        model_.setValue(model_.slotOf(line_), calc().ans.r());
    if (solving_ && line_ == solveLine_ && line_ > 0) {
        // The value stays on the line: clearing it would take the mark away again, and
        // the next ENTER evaluates it once more and moves down.
        resultLine_ = line_;
        if (const double value = model_.evaluate(); !std::isnan(value))
            residual_ = value;
    } else {
        resultLine_ = -1;
        if (line_ > 0 && typed())
            entryOf(calc())->clear();
        moveTo(std::min(line_ + 1, lineCount() - 1));
    }
    solving_ = false;
    update();
}

void SolverScreen::moveTo(int line)
{
    line_ = std::clamp(line, 0, lineCount() - 1);
    loadEntry();
    update();
}

void SolverScreen::selectLine(int line)
{
    if (!getEntry())
        return;
    resultLine_ = -1;
    moveTo(line);
}

void SolverScreen::updateDisplay() { update(); }

void SolverScreen::restoreTypedPlace(const nlohmann::json& place)
{
    // The line shows that field's value (a variable's or bound's line none: what was typed
    // for it comes back there).
    line_ = placeNumber(place, "line", 0, lineCount() - 1).value_or(line_);
    loadEntry();
    update();
}

void SolverScreen::focus(bool gained)
{
    // A menu over the screen keeps the line for its pick; leaving the screen enters it.
    ScreenController::focus(gained);
    if (gained) {
        model_.ensureBounds();
        line_ = std::clamp(line_, 0, lineCount() - 1);
        if (!typed())
            loadEntry();
        update();
    }
}

void SolverScreen::subscribe()
{
    observe(VQDoEnter, [this](const Notification&) {
        if (line_ == 0 && typed())
            calc().locked()->solverEq = entryOf(calc())->entryOps();
        resultLine_ = -1;
        update();
    });
    observe(VQEnter, [this](const Notification&) { enter(); });
    observe(VQSolve, [this](const Notification&) { solve(); });
    observe(VQCursorUp, [this](const Notification&) { selectLine(line_ - 1); });
    observe(VQCursorDown, [this](const Notification&) { selectLine(line_ + 1); });
    observe(VQBlinkCursor, [this](const Notification&) { update(); });
    observe(VQEntryTextChanged, [this](const Notification&) {
        // The equation follows what is typed at once (an evaluated, emptied line keeps it).
        if (line_ == 0 && typed())
            calc().locked()->solverEq = entryOf(calc())->entryOps();
        resultLine_ = -1;
        update();
    });
    observe(VQClearScreen, [this](const Notification&) {
        if (line_ == 0)
            calc().locked()->solverEq.clear();
        resultLine_ = -1;
        update();
    });
}

double SolverScreen::fontSize() const { return kFontSize * textScale(); }

void SolverScreen::resizeEvent(QResizeEvent*)
{
    const double k = textScale();
    lcd_->setGeometry(rect());
    lcd_->lower();
    for (QPushButton* button : {done_, solve_, plot_})
        button->setFont(FontMap::shared().font("Helvetica-Bold", kButtonFontSize * k));
    const int button = static_cast<int>(buttonHeight());
    done_->setGeometry(4, 2, static_cast<int>(64 * k), static_cast<int>((kBannerHeight - 4) * k));
    const int w = (width() - 12) / 2;
    solve_->setGeometry(4, height() - button - 2, w, button);
    plot_->setGeometry(8 + w, height() - button - 2, w, button);
}

void SolverScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        leave();
        return;
    }
    ScreenController::keyPressEvent(event);
}

double SolverScreen::buttonHeight() const
{
    const double k = textScale();
    const double twoLines = height() - 4 - (kBannerHeight + 4) * k - 2 * kLineHeight * k;
    return std::clamp(std::floor(twoLines), kLeastButtonHeight * k, kButtonHeight * k);
}

bool SolverScreen::pretty() const { return calc().locked()->mathPrint; }

double SolverScreen::linesTop() const { return (kBannerHeight + 4) * textScale(); }

void SolverScreen::layoutFields() const
{
    const double size = calc().baseFontSize;
    const PrettyDrawInfo& info = PrettyDrawInfo::PrettyDrawInfoSize(size);
    const EntryModel* entry = entryOf(calc());
    std::vector<PrettyFields::Field> fields(static_cast<std::size_t>(lineCount()));
    for (int line = 0; line < lineCount(); ++line) {
        PrettyFields::Field& field = fields[static_cast<std::size_t>(line)];
        field.label = label(line);
        // Room left of a variable for the solved line's mark.
        field.indent = line == 0 ? 4 : info.superCapHeight() + 4;
        if (line == line_ && typed())
            field.ops = entry->entryOps();
        else if (line == 0)
            field.ops = calc().locked()->solverEq;
        else
            field.ops = calc().parser().numToOps(model_.value(model_.slotOf(line)));
    }
    PrettyFields::Cursor cursor;
    cursor.line = line_;
    cursor.at = entry ? entry->entryCursor() : PrettyPrint::kNoCursor;
    cursor.mode = calc().insert;
    cursor.glyph = shell_.keys().cursorChar();
    fields_.layout(std::move(fields), cursor, size);
}

SolverScreen::Rows SolverScreen::rows() const
{
    Rows r;
    r.room = height() - buttonHeight() - 4 - linesTop();
    double leftRt = kLineHeight * textScale();
    if (pretty()) {
        layoutFields();
        r.heights = fields_.heights();
        const PrettyDrawInfo& info = PrettyDrawInfo::PrettyDrawInfoSize(calc().baseFontSize);
        leftRt = info.ascent() - info.descent();
    } else {
        r.heights.assign(static_cast<std::size_t>(lineCount()), kLineHeight * textScale());
    }
    if (resultLine_ >= 0) {
        double below = leftRt;
        for (int line = resultLine_; line < lineCount(); ++line)
            below += r.heights[static_cast<std::size_t>(line)];
        r.leftRt = below <= r.room + 1e-6 ? lineCount() : resultLine_ + 1;
        r.heights.insert(r.heights.begin() + std::min(r.leftRt, lineCount()), leftRt);
    }
    const int current = rowOf(r, line_);
    r.first = scroll_.follow(current, r.heights, r.room);
    // The result's left-rt too, when it fits with the line in use.
    if (r.leftRt >= r.first + LineScroll::fitting(r.heights, r.first, r.room)) {
        double span = 0;
        for (int row = current; row <= r.leftRt; ++row)
            span += r.heights[static_cast<std::size_t>(row)];
        if (span <= r.room + 1e-6)
            r.first = scroll_.follow(r.leftRt, r.heights, r.room);
    }
    return r;
}

int SolverScreen::rowOf(const Rows& rows, int line) const
{
    return rows.leftRt >= 0 && line >= rows.leftRt ? line + 1 : line;
}

int SolverScreen::lineAtRow(const Rows& rows, int row) const
{
    if (rows.leftRt < 0 || row < rows.leftRt)
        return row;
    return row == rows.leftRt ? -1 : row - 1;
}

double SolverScreen::rowTop(const Rows& rows, int row) const
{
    double top = linesTop();
    for (int r = rows.first; r < row && r < static_cast<int>(rows.heights.size()); ++r)
        top += rows.heights[static_cast<std::size_t>(r)];
    return top;
}

bool SolverScreen::leftRtShown() const
{
    const Rows r = rows();
    return r.leftRt >= r.first && r.leftRt < r.first + LineScroll::fitting(r.heights, r.first, r.room);
}

QRect SolverScreen::cursorRect() const
{
    const Rows r = rows();
    const int row = rowOf(r, line_);
    const double h = row < static_cast<int>(r.heights.size()) ? r.heights[static_cast<std::size_t>(row)] : kLineHeight * textScale();
    return QRectF(0, rowTop(r, row), width(), h).toAlignedRect();
}

void SolverScreen::mousePressEvent(QMouseEvent* event)
{
    const Rows r = rows();
    const QPointF at = event->position();
    const int count = static_cast<int>(r.heights.size());
    int row = r.first;
    if (pretty()) {
        // The row whose rectangle holds the tap; above the first shown, the ones scrolled
        // out above it.
        double top = linesTop();
        if (at.y() < top) {
            while (row > 0 && at.y() < top)
                top -= r.heights[static_cast<std::size_t>(--row)];
            if (at.y() < top)
                row = -1;
        } else {
            while (row < count && at.y() >= top + r.heights[static_cast<std::size_t>(row)])
                top += r.heights[static_cast<std::size_t>(row++)];
        }
        const int line = row >= 0 && row < count ? lineAtRow(r, row) : -2;
        // A tap on the formula being typed puts the cursor there.
        if (line == line_ && typed()) {
            const int position = fields_.tap(line, at - QPointF(0, top));
            if (position >= 0) {
                entryOf(calc())->cursorSetIndex(position);
                shell_.blink().resetBlink();
                update();
                return;
            }
        }
    } else {
        row += static_cast<int>(std::floor((at.y() - linesTop()) / (kLineHeight * textScale())));
    }
    // Below the last line: the last line; on left-rt, the line above it.
    const int line = row < 0 || row >= count ? lineCount() - 1 : lineAtRow(r, row);
    selectLine(line >= 0 ? line : lineAtRow(r, row - 1));
}

bool SolverScreen::eventFilter(QObject* watched, QEvent* event)
{
    return LcdOverlay::paint(lcd_, watched, event, [this](QPainter& painter) { paintLines(painter); })
        || ScreenController::eventFilter(watched, event);
}

void SolverScreen::paintLines(QPainter& painter)
{
    const double k = textScale(), bannerHeight = kBannerHeight * k, lineHeight = kLineHeight * k;
    const QFont font = FontMap::shared().font("CourierNewPS-BoldMT", kFontSize * k);
    const QFontMetricsF metrics(font);
    painter.fillRect(QRectF(0, 0, width(), bannerHeight), namedColor("bannerColor"));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0, 0, width(), bannerHeight), Qt::AlignCenter, QStringLiteral("EQUATION SOLVER"));
    const QColor text = namedColor("fontColor");
    const Rows r = rows();
    const bool mathPrint = pretty();
    const PrettyDrawInfo& info = PrettyDrawInfo::PrettyDrawInfoSize(calc().baseFontSize);
    const double bottom = height() - buttonHeight() - 4;
    double top = linesTop();
    for (int row = r.first; row < static_cast<int>(r.heights.size()); ++row) {
        const double h = r.heights[static_cast<std::size_t>(row)];
        // The first row shows from its top even when it is taller than the room: a formula
        // taller than a short window is still the line being typed.
        if (row > r.first && top + h > bottom + 1e-6)
            break;
        const int line = lineAtRow(r, row);
        if (mathPrint) {
            if (line < 0) {
                painter.setFont(info.font());
                painter.setPen(text);
                painter.drawText(QPointF(4, top + info.ascent()), leftRtText());
            } else {
                fields_.draw(painter, line, QPointF(0, top), QRectF(rect()));
                if (line == resultLine_) {
                    // The solved line's mark, standing on the formula's baseline.
                    const double side = info.superCapHeight() - 1;
                    const double baseline = top + fields_.lines()[static_cast<std::size_t>(line)].baseline;
                    painter.fillRect(QRectF(4, baseline - info.superCapHeight(), side, side), text);
                }
            }
            top += h;
            continue;
        }
        const double lineTop = top;
        const double baseline = lineTop + lineHeight - 8 * k;
        top += h;
        if (line < 0) {
            painter.setPen(text);
            painter.setFont(font);
            painter.drawText(QPointF(14 * k, baseline), leftRtText());
            continue;
        }
        const QString shown = lineText(line);
        const double x = (line == 0 ? 4 : 14) * k;
        if (line == line_) {
            const double labelWidth = metrics.horizontalAdvance(label(line));
            painter.fillRect(QRectF(x + labelWidth, lineTop + 2 * k, std::max(10 * k, metrics.horizontalAdvance(shown) - labelWidth) + 4 * k,
                                    lineHeight - 4 * k), namedColor("yellowHilightColor"));
        }
        if (line == resultLine_)
            painter.fillRect(QRectF(3 * k, lineTop + lineHeight / 2 - 4 * k, 7 * k, 7 * k), text);
        painter.setPen(text);
        painter.setFont(font);
        painter.drawText(QPointF(x, baseline), shown);
    }
}

} // namespace orvenda
