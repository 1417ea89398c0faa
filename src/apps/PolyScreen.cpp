#include "apps/PolyScreen.h"

#include "apps/LcdOverlay.h"

#include "app/AppShell.h"
#include "app/CursorBlink.h"
#include "app/EntryEvaluator.h"
#include "app/EntryModel.h"
#include "app/KeyRouter.h"
#include "app/LcdView.h"
#include "app/NamedColors.h"
#include "apps/MarkUpText.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/VQList.h"
#include "core/VQValue.h"
#include "eval/Parser.h"
#include "input/SegmentedControl.h"
#include "language/ErrorNumbers.h"
#include "pretty/FontMap.h"

#include <QApplication>
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
constexpr double kMenuHeight = 36;
constexpr double kFontSize = 18;

EntryModel* entryOf(Calculator& calc) { return dynamic_cast<EntryModel*>(calc.entryManager.get()); }

const QStringList& titlesOf(int state)
{
    static const QStringList kTitles[] = {
        {"DEGR", "COEF", "", "", ""},
        {"DEGR", "COEF", "CLR", "LOAD", "SOLVE"},
        {"DEGR", "COEF", "GRAPH", "STO", "SOLVE"},
        {"CANCEL", "", "", "STO", "SAVE"},
    };
    return kTitles[std::clamp(state, 0, 3)];
}

constexpr int kHighlighted[] = {0, 1, 4, 3};

// Mark-up drawn from x on a baseline; where it ends.
double drawMarkUp(QPainter& painter, const QString& markUp, double x, double baseline, double size)
{
    return x + MarkUpText::draw(painter, MarkUpText::parse(markUp), x, baseline, "CourierNewPS-BoldMT", size);
}

} // namespace

PolyScreen::PolyScreen(Calculator& calc, AppShell& shell, QWidget* parent)
    : ScreenController(calc, parent), shell_(shell), model_(calc), lcd_(new LcdView(calc, this)),
      done_(new QPushButton(QStringLiteral("Done"), this)), menu_(new SegmentedControl(titlesOf(0), this))
{
    lcd_->installEventFilter(this);
    done_->setFocusPolicy(Qt::NoFocus);
    connect(done_, &QPushButton::clicked, this, [this] { leave(); });
    menu_->setFocusPolicy(Qt::NoFocus);
    menu_->changed = [this](int segment) { menuChange(segment); };
    model_.ensureLists();
    changeState(0);
}

QWidget* PolyScreen::leaveControl() const { return done_; }

int PolyScreen::state() const { return calc().polyState; }

int PolyScreen::lineCount() const
{
    switch (state()) {
    case 1: return model_.degree() + 1;
    case 2: return static_cast<int>(model_.zeros().size());
    case 3: return 3;
    default: return 1;
    }
}

QString PolyScreen::banner() const
{
    static const char* kBanners[] = {"POLY:DEGR  ", "POLY:COEF  ", "POLY:SOLN  ", "POLY:STO  "};
    return QString::fromLatin1(kBanners[std::clamp(state(), 0, 3)]);
}

QString PolyScreen::equationOfDegree(int degree)
{
    if (degree < 0)
        return {};
    const auto term = [](int k) {
        if (k == 0)
            return QStringLiteral("a<s0>");
        if (k == 1)
            return QStringLiteral("a<s1>x");
        return QStringLiteral("a<s%1>x<S%1>").arg(k);
    };
    QStringList terms;
    for (int k = degree; k >= 0; --k) {
        if (degree >= 8 && k < degree - 2 && k > 2) {
            // Only the three highest and the three lowest terms.
            if (terms.isEmpty() || terms.back() != QStringLiteral("\u2026"))
                terms.push_back(QStringLiteral("\u2026"));
            continue;
        }
        terms.push_back(term(k));
    }
    return terms.join(u'+');
}

QString PolyScreen::equation() const { return equationOfDegree(model_.degree()); }

QString PolyScreen::label(int line) const
{
    switch (state()) {
    case 1: return QStringLiteral("a<s%1>=").arg(model_.degree() - line);
    case 2: return QStringLiteral("x<s%1>=").arg(line + 1);
    case 3: return QStringList{"COEF List:", "ZERO List:", "YEqu(0…9):"}.value(line);
    default: return QStringLiteral("Polynomial Degree =");
    }
}

QString PolyScreen::value(int line) const
{
    if (line == line_ && typed())
        return QString::fromStdString(calc().stringFromOps(entryOf(calc())->entryOps()));
    switch (state()) {
    case 1: {
        const auto a = model_.coefficients();
        return line < static_cast<int>(a.size()) ? QString::fromStdString(calc().formatReal(a[static_cast<std::size_t>(line)])) : QString();
    }
    case 2: {
        const auto z = model_.zeros();
        if (line >= static_cast<int>(z.size()))
            return {};
        const auto [re, im] = z[static_cast<std::size_t>(line)];
        if (im == 0)
            return calc().settings().answerFormat == 2 ? MarkUpText::fraction(calc(), re) : QString::fromStdString(calc().formatReal(re));
        if (calc().realCplxMode() == 0)
            return QStringLiteral("Nonreal");
        return QString::fromStdString(calc().formatComplex(re, im, 0));
    }
    case 3:
        if (line == 0)
            return QString::fromStdString(coefName_);
        if (line == 1)
            return QString::fromStdString(zeroName_);
        return QString::fromStdString(calc().formatReal(equation_));
    default: return QString::number(model_.degree());
    }
}

void PolyScreen::changeState(int state)
{
    calc().polyState = state;
    const QStringList& titles = titlesOf(state);
    for (int i = 0; i < menu_->count(); ++i)
        menu_->setTitle(i, titles[i]);
    menu_->setSelected(kHighlighted[std::clamp(state, 0, 3)]);
    line_ = std::clamp(line_, 0, std::max(0, lineCount() - 1));
    update();
}

bool PolyScreen::typed() const
{
    const EntryModel* entry = entryOf(calc());
    return entry && !entry->entryOps().empty();
}

void PolyScreen::clearEntry()
{
    // Only typed text: clearing an empty line would tell the new line it was emptied.
    if (EntryModel* entry = entryOf(calc()); entry && typed())
        entry->clear();
}

void PolyScreen::showError(int error)
{
    if (error != 0)
        calc().showError({{"errorNum", error}});
}

int PolyScreen::getEntry()
{
    if (!typed())
        return 0;
    EntryModel* entry = entryOf(calc());
    const int s = state();
    if (s == 3 && line_ < 2) {
        // A list name is kept as typed; SAVE checks it.
        (line_ == 0 ? coefName_ : zeroName_) = calc().stringFromOps(entry->entryOps());
        entry->clear();
        return 0;
    }
    shell_.evaluator().finalizeEntry();
    if (typed())
        return -1; // it failed and its error was shown
    if (calc().ans.type() != 0)
        return ErrArgument;
    const double v = calc().ans.r();
    switch (s) {
    case 0: return model_.setDegree(v);
    case 1: model_.setCoefficient(line_, v); return 0;
    case 3: equation_ = v; return 0;
    default: return 0;
    }
}

void PolyScreen::enter()
{
    // ENTER commits the field here, as DOWN does; on the degree it moves on to the
    // coefficients.
    if (state() != 0) {
        cursorDown();
        return;
    }
    const int error = getEntry();
    if (error < 0)
        return;
    line_ = 0;
    if (error > 0) {
        showError(error);
        update();
        return;
    }
    changeState(1);
}

void PolyScreen::cursorUp()
{
    if (getEntry() < 0)
        return;
    line_ = std::max(0, line_ - 1);
    clearEntry();
    update();
}

void PolyScreen::cursorDown()
{
    if (getEntry() < 0)
        return;
    line_ = std::clamp(line_ + 1, 0, std::max(0, lineCount() - 1));
    clearEntry();
    update();
}

void PolyScreen::menuChange(int segment)
{
    getEntry();
    const int s = state();
    switch (segment) {
    case 0:
        changeState(s == 3 ? 2 : 0);
        break;
    case 1:
        if (s != 3)
            changeState(1);
        break;
    case 2:
        if (s == 1) {
            model_.clearCoefficients();
            menu_->setSelected(1);
        } else if (s == 2) {
            drawn_ = model_.graph(drawn_);
            menu_->setSelected(4);
        }
        break;
    case 3:
        if (s == 2) {
            line_ = 0;
            changeState(3);
        } else if (s == 1) {
            // The list picked comes back on the entry line when this screen is in front again.
            loadingList_ = true;
            menu_->setSelected(1);
            calc().notificationCenter().post(VQGetList, this);
        } else {
            menu_->setSelected(kHighlighted[s]);
        }
        break;
    case 4:
        if (s == 3) {
            const PolyModel::SaveResult saved = model_.save(coefName_, zeroName_, equation_);
            line_ = saved.line;
            if (saved.error != 0) {
                showError(saved.error);
                menu_->setSelected(3);
            } else {
                changeState(2);
            }
        } else if (s != 0) {
            line_ = 0;
            if (const int error = model_.solve()) {
                showError(error);
                menu_->setSelected(kHighlighted[s]);
            } else {
                changeState(2);
            }
        }
        break;
    default: break;
    }
    update();
}

void PolyScreen::updateDisplay() { update(); }

void PolyScreen::restoreTypedPlace(const nlohmann::json& place)
{
    // A new screen opens on the degree: the coefficients or the store form come back first.
    changeState(placeNumber(place, "state", 0, 3).value_or(state()));
    line_ = placeNumber(place, "line", 0, std::max(0, lineCount() - 1)).value_or(line_);
    update();
}

void PolyScreen::focus(bool gained)
{
    // A menu over the screen keeps the line for its pick; leaving the screen enters it.
    ScreenController::focus(gained);
    if (gained) {
        model_.ensureLists();
        finishLoad();
        changeState(state());
    }
}

void PolyScreen::finishLoad()
{
    if (!loadingList_)
        return;
    // Still loading while the pick is evaluated: the entry line emptied by it is no
    // coefficient cleared.
    const bool evaluated = typed() && shell_.evaluator().finalizeEntry() && !typed() && shell_.evaluator().fieldValue();
    loadingList_ = false;
    if (!evaluated)
        return; // nothing picked, or its error was shown
    const std::shared_ptr<VQList> list = calc().ans.type() == VQValue::TypeList ? calc().ans.list() : nullptr;
    showError(list ? model_.load(*list) : int{ErrArgument});
}

void PolyScreen::cursorRight()
{
    EntryModel* entry = entryOf(calc());
    if (!entry || typed())
        return;
    const std::vector<std::uint32_t> ops = valueOps(line_);
    if (ops.empty())
        return;
    entry->clearUndo();
    entry->forceOps(ops);
    // The one-line entry steps right after this notice; the MathPrint one stepped before it.
    if (calc().locked()->mathPrint)
        entry->cursorSetIndex(1);
    update();
}

std::vector<std::uint32_t> PolyScreen::valueOps(int line) const
{
    std::vector<std::uint32_t> ops;
    switch (state()) {
    case 0: return calc().parser().numToOps(model_.degree());
    case 1: {
        const auto a = model_.coefficients();
        if (line >= 0 && line < static_cast<int>(a.size()))
            ops = calc().parser().numToOps(a[static_cast<std::size_t>(line)]);
        return ops;
    }
    case 3:
        if (line < 2) {
            // The name as typed, back as tokens.
            for (const char32_t c : QString::fromStdString(line == 0 ? coefName_ : zeroName_).toStdU32String())
                if (const std::uint32_t op = calc().opCodeForChar(c))
                    ops.push_back(op);
            return ops;
        }
        return calc().parser().numToOps(equation_);
    default: return ops;
    }
}

void PolyScreen::subscribe()
{
    observe(VQEnter, [this](const Notification&) { enter(); });
    observe(VQCursorUp, [this](const Notification&) { cursorUp(); });
    observe(VQCursorDown, [this](const Notification&) { cursorDown(); });
    observe(VQCursorRight, [this](const Notification&) { cursorRight(); });
    observe(VQBlinkCursor, [this](const Notification&) { update(); });
    observe(VQEntryTextChanged, [this](const Notification&) {
        // An emptied coefficient line is 0 at once (not the line emptied by a list pick).
        if (state() == 1 && !typed() && !loadingList_)
            model_.setCoefficient(line_, 0);
        update();
    });
    observe(VQClearScreen, [this](const Notification&) {
        if (state() == 1)
            model_.setCoefficient(line_, 0);
        update();
    });
}

double PolyScreen::fontSize() const { return kFontSize * textScale(); }

void PolyScreen::resizeEvent(QResizeEvent*)
{
    const double k = textScale();
    lcd_->setGeometry(rect());
    done_->setFont(FontMap::shared().font("Helvetica-Bold", 14 * k));
    done_->setGeometry(4, 2, static_cast<int>(64 * k), static_cast<int>((kBannerHeight - 4) * k));
    QFont menuFont = QApplication::font();
    menuFont.setPointSizeF(menuFont.pointSizeF() * k);
    menu_->setFont(menuFont);
    const int menu = static_cast<int>(kMenuHeight * k);
    menu_->setGeometry(4, height() - menu - 2, width() - 8, menu);
    lcd_->lower();
}

void PolyScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        leave();
        return;
    }
    ScreenController::keyPressEvent(event);
}

double PolyScreen::linesTop() const { return (kBannerHeight + 4) * textScale(); }

double PolyScreen::linesRoom() const { return height() - kMenuHeight * textScale() - 4 - linesTop(); }

int PolyScreen::linesShown() const
{
    const double k = textScale();
    return static_cast<int>(std::floor((height() - kMenuHeight * k - 4 - linesTop()) / (kLineHeight * k)));
}

bool PolyScreen::pretty() const { return calc().locked()->mathPrint; }

int PolyScreen::firstShown() const
{
    if (!pretty())
        return scroll_.follow(line_, lineCount(), linesShown());
    layoutFields();
    return scroll_.follow(line_, fields_.heights(), linesRoom());
}

void PolyScreen::layoutFields() const
{
    const EntryModel* entry = entryOf(calc());
    const int s = state();
    std::vector<PrettyFields::Field> fields(static_cast<std::size_t>(std::max(0, lineCount())));
    for (int line = 0; line < lineCount(); ++line) {
        PrettyFields::Field& field = fields[static_cast<std::size_t>(line)];
        field.markUp = true;
        if (s == 2) {
            // The zeros are results, written as text.
            field.textOnly = true;
            field.label = label(line) + value(line);
            continue;
        }
        field.label = label(line);
        field.gap = 4;
        field.ops = line == line_ && typed() ? entry->entryOps() : valueOps(line);
    }
    PrettyFields::Cursor cursor;
    cursor.line = line_;
    cursor.at = entry ? entry->entryCursor() : PrettyPrint::kNoCursor;
    cursor.mode = calc().insert;
    cursor.glyph = shell_.keys().cursorChar();
    fields_.layout(std::move(fields), cursor, calc().baseFontSize);
}

QRect PolyScreen::cursorRect() const
{
    if (pretty()) {
        const int first = firstShown();
        const auto& lines = fields_.lines();
        if (line_ < 0 || line_ >= static_cast<int>(lines.size()))
            return {};
        const double top = linesTop() + lines[static_cast<std::size_t>(line_)].top - lines[static_cast<std::size_t>(first)].top;
        return QRectF(0, top, width(), lines[static_cast<std::size_t>(line_)].height).toAlignedRect();
    }
    const double h = kLineHeight * textScale();
    return QRectF(0, linesTop() + (line_ - firstShown()) * h, width(), h).toAlignedRect();
}

int PolyScreen::lineAt(double y) const
{
    if (pretty()) {
        // The line whose rectangle holds the tap.
        const int first = firstShown();
        const auto& lines = fields_.lines();
        const double origin = linesTop() - (lines.empty() ? 0 : lines[static_cast<std::size_t>(first)].top);
        for (int line = 0; line < static_cast<int>(lines.size()); ++line) {
            const double top = origin + lines[static_cast<std::size_t>(line)].top;
            if (y >= top && y < top + lines[static_cast<std::size_t>(line)].height)
                return line;
        }
        return lineCount() - 1;
    }
    const double k = textScale();
    const int line = firstShown() + static_cast<int>(std::floor((y - kBannerHeight * k) / (kLineHeight * k)));
    // A tap below the last line takes the last line.
    return line < 0 || line >= lineCount() ? lineCount() - 1 : line;
}

void PolyScreen::mousePressEvent(QMouseEvent* event)
{
    const QPointF at = event->position();
    if (pretty() && typed()) {
        // A tap on the formula being typed puts the cursor there.
        const int line = lineAt(at.y());
        if (line == line_) {
            const auto& lines = fields_.lines();
            const double top = linesTop() + lines[static_cast<std::size_t>(line)].top - lines[static_cast<std::size_t>(firstShown())].top;
            const int position = fields_.tap(line, at - QPointF(0, top));
            if (position >= 0) {
                entryOf(calc())->cursorSetIndex(position);
                shell_.blink().resetBlink();
                update();
                return;
            }
        }
    }
    if (getEntry() < 0)
        return;
    line_ = std::max(0, lineAt(at.y()));
    clearEntry();
    update();
}

bool PolyScreen::eventFilter(QObject* watched, QEvent* event)
{
    return LcdOverlay::paint(lcd_, watched, event, [this](QPainter& painter) { paintLines(painter); })
        || ScreenController::eventFilter(watched, event);
}

void PolyScreen::paintLines(QPainter& painter)
{
    const double k = textScale(), bannerHeight = kBannerHeight * k, lineHeight = kLineHeight * k, size = kFontSize * k;
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor text = namedColor("fontColor");
    painter.fillRect(QRectF(0, 0, width(), bannerHeight), namedColor("bannerColor"));
    painter.setPen(Qt::white);
    const QFont bannerFont = FontMap::shared().font("CourierNewPS-BoldMT", size);
    painter.setFont(bannerFont);
    const double titleX = 72 * k;
    painter.drawText(QRectF(titleX, 0, width() - titleX - 4, bannerHeight), Qt::AlignVCenter | Qt::AlignLeft, banner());
    const double titleEnd = titleX + QFontMetricsF(bannerFont).horizontalAdvance(banner());
    const double bannerBaseline = (bannerHeight + QFontMetricsF(bannerFont).ascent() - QFontMetricsF(bannerFont).descent()) / 2;
    drawMarkUp(painter, equation(), titleEnd, bannerBaseline, size);
    // The current line in view: the lines scroll under the banner.
    const int lines = lineCount();
    if (pretty()) {
        const int first = firstShown();
        const double bottom = linesTop() + linesRoom();
        const auto& laid = fields_.lines();
        const double origin = linesTop() - (laid.empty() ? 0 : laid[static_cast<std::size_t>(first)].top);
        for (int line = first; line < lines; ++line) {
            const PrettyFields::Line& l = laid[static_cast<std::size_t>(line)];
            // The first line shows from its top even when it is taller than the room.
            if (line > first && origin + l.top + l.height > bottom + 1e-6)
                break;
            fields_.draw(painter, line, QPointF(0, origin + l.top), QRectF(rect()));
        }
        return;
    }
    const int shown = linesShown();
    const int first = firstShown();
    for (int line = first; line < lines && line < first + shown; ++line) {
        const double top = linesTop() + (line - first) * lineHeight;
        const double baseline = top + lineHeight - 8 * k;
        painter.setPen(text);
        const double x = drawMarkUp(painter, label(line), 4 * k, baseline, size) + 4 * k;
        const QString shown = value(line);
        if (line == line_) {
            const QFontMetricsF metrics(bannerFont);
            painter.fillRect(QRectF(x - 2 * k, top + 2 * k, std::max(10 * k, metrics.horizontalAdvance(MarkUpText::plain(MarkUpText::parse(shown)))) + 4 * k,
                                    lineHeight - 4 * k), namedColor("yellowHilightColor"));
            painter.setPen(Qt::black);
        }
        drawMarkUp(painter, shown, x, baseline, size);
    }
}

} // namespace orvenda
