#include "app/ClassicHomeScreen.h"

#include "app/AppShell.h"
#include "app/EntryModel.h"
#include "app/EntrySplit.h"
#include "app/EntryView.h"
#include "app/HelpPromptView.h"
#include "app/HistoryModel.h"
#include "app/HistoryView.h"
#include "app/LcdView.h"
#include "app/VQTableScrollView.h"
#include "core/Calculator.h"
#include "core/NotificationNames.h"

#include <algorithm>

namespace orvenda {

namespace {

// The space under the newest history line.
constexpr double kHistoryMargin = 5;

} // namespace

ClassicHomeScreen::ClassicHomeScreen(Calculator& calc, AppShell& shell, QWidget* parent)
    : ScreenController(calc, parent), shell_(shell), lcdView_(new LcdView(calc, this)),
      historyScroller_(new VQTableScrollView(this)), historyView_(new HistoryView(calc)),
      entryView_(new EntryView(calc, shell, this)), helpPromptView_(new HelpPromptView(calc, this)),
      fontSize_(calc.device == 1 ? 24 : 16), leading_(calc.device == 1 ? 22 : 15)
{
    if (const auto* history = dynamic_cast<const HistoryModel*>(calc.historyManager.get()))
        seenItems_ = history->added();
    split_ = std::make_unique<EntrySplit>(calc, *this, [this] {
        const auto* history = dynamic_cast<const HistoryModel*>(this->calc().historyManager.get());
        return (history ? history->numLines() : 0) * leading_ + kHistoryMargin;
    });
    historyScroller_->setContentView(historyView_);
    entryView_->setDelegate(this);
    updateDisplay();
}

ClassicHomeScreen::~ClassicHomeScreen() = default;

void ClassicHomeScreen::subscribe()
{
    observe(VQBlinkCursor, [this](const Notification&) { blink(); });
    observe(VQEnter, [this](const Notification&) { enter(); });
    observe(VQCursorUp, [this](const Notification&) { cursorUp(); });
    observe(VQCursorDown, [this](const Notification&) { cursorDown(); });
    observe(VQCursorLeft, [this](const Notification&) { cursorLeft(); });
    observe(VQCursorRight, [this](const Notification&) { cursorRight(); });
    observe(VQClearScreen, [this](const Notification&) { clearScreen(); });
    observe(VQEntryTextChanged, [this](const Notification&) { updateDisplay(); });
}

void ClassicHomeScreen::resizeEvent(QResizeEvent*)
{
    Calculator::standardFontSize(fontSize_, leading_, {0, 0, static_cast<double>(width()), static_cast<double>(height())});
    historyView_->setMetricsForWidth(width());
    entryView_->layoutForWidth(width());
    helpPromptView_->setMetricsForWidth(width());
    updateDisplay();
    helpPromptView_->setVisible(calc().bubbleHelp);
    makeEntryVisible();
}

bool ClassicHomeScreen::entryEmpty() const
{
    const auto* entry = dynamic_cast<const EntryModel*>(calc().entryManager.get());
    return !entry || entry->text().empty();
}

void ClassicHomeScreen::updateDisplay()
{
    Calculator& c = calc();
    lcdView_->setGeometry(rect());
    lcdView_->update();
    const double w = width();
    double h = height();
    if (c.userKeys)
        h -= kUserKeysHeight;
    const auto* history = dynamic_cast<const HistoryModel*>(c.historyManager.get());
    const int lines = history ? history->numLines() : 0;
    // The field wraps at the screen's width.
    entryView_->resize(static_cast<int>(w), entryView_->QWidget::height());
    const double e = entryView_->height();
    const double top = entryTop_ = split_->top(w, h, e);
    const double area = h - top;
    entryView_->setGeometry(QRectF(0, top, w, area).toRect());
    historyScroller_->setGeometry(QRectF(0, 0, w, std::max(0.0, top)).toRect());
    historyScroller_->setContentSize(QSizeF(w, lines * leading_ + kHistoryMargin));
    helpPromptView_->setGeometry(rect());
    helpPromptView_->setEntryTop(top);
    if (!entryEmpty())
        historyView_->setResultOffset(QPointF());
    makeEntryVisible();
    historyView_->updateLabel();
    historyView_->update();
    entryView_->update();
    helpPromptView_->update();
}

void ClassicHomeScreen::makeEntryVisible()
{
    if (!entryEmpty())
        historyView_->setResultOffset(QPointF());
    const auto* history = dynamic_cast<const HistoryModel*>(calc().historyManager.get());
    const double w = historyScroller_->visibleSize().width();
    const double contentHeight = (history ? history->numLines() : 0) * leading_ + kHistoryMargin;
    historyScroller_->setContentSize(QSizeF(w, contentHeight));
    historyScroller_->scrollRectToVisible(QRectF(0, contentHeight - leading_ - kHistoryMargin, w, leading_ + kHistoryMargin));
}

void ClassicHomeScreen::blink()
{
    if (!entryEmpty())
        historyView_->setResultOffset(QPointF());
    redrawEntry();
}

void ClassicHomeScreen::redrawEntry()
{
    entryView_->update();
    helpPromptView_->update();
}

void ClassicHomeScreen::clearScreen()
{
    calc().entrySplit = 0;
    updateDisplay();
    makeEntryVisible();
}

void ClassicHomeScreen::enter()
{
    Calculator& c = calc();
    historyView_->setResultOffset(QPointF());
    if (c.entrySplit == 0)
        c.entrySplit = kHistoryMargin;
    if (const auto* history = dynamic_cast<const HistoryModel*>(c.historyManager.get())) {
        const auto& items = history->history();
        const std::size_t unseen = std::min<std::uint64_t>(history->added() - seenItems_, items.size());
        seenItems_ = history->added();
        for (std::size_t k = items.size() - unseen; k < items.size(); ++k)
            c.entrySplit += items[k].numLines * leading_;
    }
    const double limit = height() - entryView_->height();
    if (c.entrySplit > limit)
        c.entrySplit = limit;
    updateDisplay();
    makeEntryVisible();
}

void ClassicHomeScreen::focus(bool gained)
{
    ScreenController::focus(gained);
    const auto* history = dynamic_cast<const HistoryModel*>(calc().historyManager.get());
    if (gained && history && history->added() != seenItems_)
        enter();
}

void ClassicHomeScreen::moveResult(double dx, double dy)
{
    const auto* history = dynamic_cast<const HistoryModel*>(calc().historyManager.get());
    if (!history || history->history().empty())
        return;
    const HistoryEntry& newest = history->history().back();
    const QPointF o = historyView_->resultOffset();
    const double x = std::clamp(o.x() + dx, 0.0, std::max(0.0, newest.width - double(HistoryView::kScrollColumns)));
    const double y = std::clamp(o.y() + dy, 0.0, std::max(0.0, newest.height - double(HistoryView::kMaxLines - 1)));
    historyView_->setResultOffset(QPointF(x, y));
    historyView_->update();
}

void ClassicHomeScreen::cursorUp()
{
    redrawEntry();
    if (entryEmpty())
        moveResult(0, -1);
}

void ClassicHomeScreen::cursorDown()
{
    redrawEntry();
    if (entryEmpty())
        moveResult(0, 1);
}

void ClassicHomeScreen::cursorLeft()
{
    redrawEntry();
    if (entryEmpty())
        moveResult(-1, 0);
}

void ClassicHomeScreen::cursorRight()
{
    redrawEntry();
    if (entryEmpty())
        moveResult(1, 0);
}

double ClassicHomeScreen::scrollEntryView(double d)
{
    const double t = entryTop_;
    const double applied = splitMoveWithin(t, d, height() - entryView_->height());
    calc().entrySplit = t + applied;
    updateDisplay();
    return applied;
}

} // namespace orvenda
