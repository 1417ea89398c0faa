#pragma once

#include <cstdint>
#include <memory>

#include "app/PrettyScrollPanDelegate.h"
#include "app/PrettyViewDelegate.h"
#include "app/ScreenController.h"

namespace orvenda {

class AppShell;
class EntrySplit;
class HelpPromptView;
class UserKeysView;
class LcdView;
class PrettyHistoryScrollView;
class PrettyHistoryView;
class PrettyScrollView;
class PrettyView;

// The home screen when MathPrint is on: the two-dimensional history scrolling above the
// two-dimensional entry line, the strip of user keys at the bottom when shown, and the help
// bubble over the entry, on the LCD background. The split between history and entry (the
// calculator's entrySplit) moves down by each new item's height until the entry rests on
// the bottom, back to the top on a clear, and with a vertical drag of the entry. The
// history's selection (moved by the key routing, or by a tap) is shown and scrolled into
// view; Left, Right, Home and End scroll a selected wide item. Main thread.
class MathPrintScreen : public ScreenController, public PrettyViewDelegate, public PrettyScrollPanDelegate {
public:
    static constexpr double kUserKeysHeight = 40;

    MathPrintScreen(Calculator& calc, AppShell& shell, QWidget* parent = nullptr);
    ~MathPrintScreen() override;

    void updateDisplay() override;
    double scrollEntryView(double distance) override { return moveSplit(distance); }
    double panView(double distance) override { return moveSplit(distance); }
    QWidget* panReferenceView() override { return this; }

    void makeCursorVisible();
    void blink();
    void clearScreen();
    // Makes room above the entry line for the items added since the last look: the one
    // just entered, or those a run added while another screen was in front.
    void enter();
    void focus(bool gained) override;
    void cursorMoved();
    void cursorUp();
    void cursorDown();
    void cursorLeft();
    void cursorRight();
    void cursorHome();
    void cursorEnd();
    void updateHistorySelection();

    // The base font size the history's sizes were last computed for.
    double currentBaseFontSize() const { return currentBaseFontSize_; }
    PrettyView& prettyView() const { return *prettyView_; }
    PrettyScrollView& prettyScrollView() const { return *prettyScrollView_; }
    PrettyHistoryView& historyView() const { return *historyView_; }
    PrettyHistoryScrollView& historyScrollView() const { return *historyScrollView_; }
    HelpPromptView& helpPromptView() const { return *helpPromptView_; }
    UserKeysView& userKeyView() const { return *userKeyView_; }

protected:
    void subscribe() override;
    // The history's count of items added that the split between history and entry line
    // has made room for.
    std::uint64_t seenItems_ = 0;
    void resizeEvent(QResizeEvent* event) override;

private:
    double moveSplit(double distance);
    // Scrolls the selected item by the distance, or shows the entry's cursor.
    void cursorSideways(double distance);
    // The entry's print height, never less than one base font size. The entry is laid out
    // again first: measuring an answer shares its engine and leaves the answer's layout.
    double entryHeight() const;
    bool historySelected() const;
    // Height of the area above the user key strip.
    double layoutHeight() const;

    AppShell& shell_;
    LcdView* lcdView_;
    PrettyHistoryScrollView* historyScrollView_;
    PrettyHistoryView* historyView_;
    PrettyScrollView* prettyScrollView_;
    PrettyView* prettyView_;
    UserKeysView* userKeyView_;
    HelpPromptView* helpPromptView_;
    double currentBaseFontSize_;
    // Where the entry area starts (its frame's y, before rounding to whole points).
    double entryTop_ = 0;
    std::unique_ptr<EntrySplit> split_;
};

} // namespace orvenda
