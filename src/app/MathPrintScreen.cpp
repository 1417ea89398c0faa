#include "app/MathPrintScreen.h"

#include "app/AppShell.h"
#include "app/EntryModel.h"
#include "app/EntrySplit.h"
#include "app/HelpPromptView.h"
#include "app/HistoryModel.h"
#include "app/LcdView.h"
#include "app/PrettyHistoryScrollView.h"
#include "app/PrettyHistoryView.h"
#include "app/PrettyScrollView.h"
#include "app/PrettyView.h"
#include "app/UserKeysView.h"
#include "core/Calculator.h"
#include "core/NotificationNames.h"

#include <algorithm>

namespace orvenda {

namespace {

// Left and Right scroll a selected item by this many base font sizes; Home and End by more
// than any item is wide.
constexpr double kToTheEdge = 50000;
// Text keeps this far from the display's edges: the LCD's frame is 4 wide, and a root's
// hook, a fraction bar and the last glyph of an answer keep a gap from it as the classic
// screen's text does, and the cursor leaves the corner.
constexpr double kInset = 8;

} // namespace

MathPrintScreen::MathPrintScreen(Calculator& calc, AppShell& shell, QWidget* parent)
    : ScreenController(calc, parent), shell_(shell), lcdView_(new LcdView(calc, this)),
      historyScrollView_(new PrettyHistoryScrollView(calc, this)), historyView_(new PrettyHistoryView(calc)),
      prettyScrollView_(new PrettyScrollView(this)), prettyView_(new PrettyView(calc, shell)),
      userKeyView_(new UserKeysView(calc, shell, this)), helpPromptView_(new HelpPromptView(calc, this)),
      currentBaseFontSize_(calc.baseFontSize)
{
    if (const auto* history = dynamic_cast<const HistoryModel*>(calc.historyManager.get()))
        seenItems_ = history->added();
    split_ = std::make_unique<EntrySplit>(calc, *this, [this] {
        const auto* history = dynamic_cast<const HistoryModel*>(this->calc().historyManager.get());
        return history ? history->prettySize().height : 0.0;
    });
    if (auto* history = dynamic_cast<HistoryModel*>(calc.historyManager.get()))
        history->recomputeDepth();
    prettyView_->setDelegate(this);
    historyScrollView_->setHistoryView(historyView_);
    prettyScrollView_->setContentView(prettyView_);
    prettyScrollView_->setPanDelegate(this);
    userKeyView_->hide();
    updateDisplay();
}

MathPrintScreen::~MathPrintScreen() = default;

void MathPrintScreen::subscribe()
{
    observe(VQBlinkCursor, [this](const Notification&) { blink(); });
    observe(VQEnter, [this](const Notification&) { enter(); });
    observe(VQCursorUp, [this](const Notification&) { cursorUp(); });
    observe(VQCursorDown, [this](const Notification&) { cursorDown(); });
    observe(VQCursorLeft, [this](const Notification&) { cursorLeft(); });
    observe(VQCursorRight, [this](const Notification&) { cursorRight(); });
    observe(VQCursorHome, [this](const Notification&) { cursorHome(); });
    observe(VQCursorEnd, [this](const Notification&) { cursorEnd(); });
    observe(VQCursorMoved, [this](const Notification&) { cursorMoved(); });
    observe(VQClearScreen, [this](const Notification&) { clearScreen(); });
    observe(VQEntryTextChanged, [this](const Notification&) { updateDisplay(); });
    observe(VQHistorySelectionChanged, [this](const Notification&) { updateHistorySelection(); });
}

void MathPrintScreen::resizeEvent(QResizeEvent*)
{
    prettyScrollView_->setContentOffset(QPointF());
    updateDisplay();
    helpPromptView_->setVisible(calc().bubbleHelp);
    makeCursorVisible();
}

double MathPrintScreen::layoutHeight() const
{
    return std::max(0.0, height() - kInset - (calc().userKeys ? kUserKeysHeight : 0));
}

bool MathPrintScreen::historySelected() const
{
    const auto* history = dynamic_cast<const HistoryModel*>(calc().historyManager.get());
    return history && history->selectedEntry() >= 0;
}

double MathPrintScreen::entryHeight() const
{
    const auto* entry = dynamic_cast<const EntryModel*>(calc().entryManager.get());
    const QRectF print = prettyView_->setOps(entry ? entry->entryOps() : PrettyPrint::Ops());
    return std::max(print.height(), calc().baseFontSize);
}

void MathPrintScreen::updateDisplay()
{
    Calculator& c = calc();
    const double w = std::max(0.0, width() - 2 * kInset);
    const double h = layoutHeight();
    userKeyView_->setVisible(c.userKeys);
    if (c.userKeys) {
        userKeyView_->setGeometry(QRectF(0, kInset + h, width(), kUserKeysHeight).toRect());
        userKeyView_->redrawKeys();
    }
    auto* history = dynamic_cast<HistoryModel*>(c.historyManager.get());
    if (c.baseFontSize != currentBaseFontSize_ || (history && history->hasUnmeasuredItem())) {
        if (history)
            history->recomputeDepth();
        currentBaseFontSize_ = c.baseFontSize;
    }

    const auto* entry = dynamic_cast<const EntryModel*>(c.entryManager.get());
    prettyView_->adjustCursorMode();
    const QRectF print = prettyView_->setOps(entry ? entry->entryOps() : PrettyPrint::Ops());
    const double slack = 0.1 * c.baseFontSize;
    prettyScrollView_->setContentSize(QSizeF(print.width(), print.height() + slack));

    const double historyHeight = (history ? history->prettySize().height : 0) + 4;
    const double e = std::min(print.height() + slack, h);
    const double top = entryTop_ = split_->top(w, h, e);
    const double entryArea = h - top;
    prettyScrollView_->setGeometry(QRectF(kInset, kInset + top, w, entryArea).toRect());
    historyScrollView_->setGeometry(QRectF(kInset, kInset, w, std::max(0.0, top)).toRect());
    lcdView_->setGeometry(rect());
    helpPromptView_->setGeometry(rect());
    helpPromptView_->setEntryTop(kInset + top);
    helpPromptView_->setOriginOffset(prettyScrollView_->contentOffset());

    const QRectF s = historyView_->selectedItemBounds();
    historyScrollView_->setContentSize(QSizeF(s.width(), historyHeight));
    const QSizeF visible = historyScrollView_->visibleSize();
    const bool selected = historySelected();
    const double x0 = selected ? historyScrollView_->contentOffset().x() : 0;
    // A selected item shows from its top; the newest answer, with nothing selected, ends
    // just above the entry line, however tall it is.
    const double shown = std::min(s.height(), visible.height());
    historyScrollView_->scrollRectToVisible(
        QRectF(x0, selected ? s.y() : s.bottom() - shown, std::min(s.width(), visible.width()), shown));

    lcdView_->update();
    prettyView_->update();
    historyView_->update();
    helpPromptView_->update();
    makeCursorVisible();
}

void MathPrintScreen::makeCursorVisible()
{
    const auto* entry = dynamic_cast<const EntryModel*>(calc().entryManager.get());
    const QRectF cursor = prettyView_->hitRectForIndex(entry ? entry->entryCursor() : 0);
    if (cursor.width() > 0 && cursor.height() > 0) {
        const double contentWidth = prettyScrollView_->contentSize().width();
        const double x = cursor.right() > contentWidth ? contentWidth - cursor.width() : cursor.x();
        prettyScrollView_->scrollRectToVisible(QRectF(x, cursor.y(), cursor.width(), cursor.height()));
        shell_.blink().resetBlink();
    }
    helpPromptView_->setOriginOffset(prettyScrollView_->contentOffset());
}

void MathPrintScreen::enter()
{
    Calculator& c = calc();
    const auto* history = dynamic_cast<const HistoryModel*>(c.historyManager.get());
    if (history) {
        const auto& items = history->history();
        const std::size_t unseen = std::min<std::uint64_t>(history->added() - seenItems_, items.size());
        seenItems_ = history->added();
        for (std::size_t k = items.size() - unseen; k < items.size(); ++k)
            c.entrySplit += items[k].inputHeight() + items[k].answerHeight();
    }
    const double h = layoutHeight();
    double p = entryHeight();
    if (p > h - c.baseFontSize)
        p = h - c.baseFontSize;
    if (c.entrySplit > h - p)
        c.entrySplit = h - p;
    updateDisplay();
}

void MathPrintScreen::focus(bool gained)
{
    ScreenController::focus(gained);
    const auto* history = dynamic_cast<const HistoryModel*>(calc().historyManager.get());
    if (gained && history && history->added() != seenItems_)
        enter();
}

void MathPrintScreen::clearScreen()
{
    calc().entrySplit = 0;
    updateDisplay();
}

double MathPrintScreen::moveSplit(double d)
{
    const double t = entryTop_;
    const double applied = splitMoveWithin(t, d, layoutHeight() - entryHeight());
    calc().entrySplit = t + applied;
    updateDisplay();
    return applied;
}

void MathPrintScreen::blink()
{
    prettyView_->update();
    historyView_->update();
    helpPromptView_->setOriginOffset(prettyScrollView_->contentOffset());
}

void MathPrintScreen::cursorMoved()
{
    prettyView_->update();
    makeCursorVisible();
}

void MathPrintScreen::updateHistorySelection() { updateDisplay(); }

void MathPrintScreen::cursorUp()
{
    const QPointF offset = historyScrollView_->contentOffset();
    if (offset.x() != 0)
        historyScrollView_->setContentOffset(QPointF(0, offset.y()));
    prettyView_->update();
}

void MathPrintScreen::cursorDown()
{
    cursorUp();
    historyView_->update();
}

void MathPrintScreen::cursorSideways(double distance)
{
    if (historySelected()) {
        historyScrollView_->cursorAmount(distance);
        return;
    }
    makeCursorVisible();
    prettyView_->update();
    helpPromptView_->update();
}

void MathPrintScreen::cursorLeft() { cursorSideways(-calc().baseFontSize); }

void MathPrintScreen::cursorRight() { cursorSideways(calc().baseFontSize); }

void MathPrintScreen::cursorHome()
{
    if (historySelected())
        historyScrollView_->cursorAmount(-kToTheEdge);
}

void MathPrintScreen::cursorEnd()
{
    if (historySelected())
        historyScrollView_->cursorAmount(kToTheEdge);
}

} // namespace orvenda
