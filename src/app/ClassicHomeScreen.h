#pragma once

#include <cstdint>
#include <memory>

#include "app/PrettyViewDelegate.h"
#include "app/ScreenController.h"

namespace orvenda {

class AppShell;
class EntrySplit;
class EntryView;
class HelpPromptView;
class HistoryView;
class LcdView;
class VQTableScrollView;

// The home screen when MathPrint is off: the one-line history scrolling above the entry
// field, the help bubble over both, on the LCD background. The split between history and
// entry (the calculator's entrySplit) moves down with each answer until the entry rests on
// the bottom, and back to the top when the screen is cleared; dragging the entry field
// moves it too. With the entry line empty, the arrow keys scroll the newest result by line
// and column. Main thread.
class ClassicHomeScreen : public ScreenController, public PrettyViewDelegate {
public:
    // The strip the user key row takes at the bottom when shown.
    static constexpr double kUserKeysHeight = 40;

    ClassicHomeScreen(Calculator& calc, AppShell& shell, QWidget* parent = nullptr);
    ~ClassicHomeScreen() override;

    void updateDisplay() override;
    double scrollEntryView(double distance) override;

    void makeEntryVisible();
    void blink();
    void clearScreen();
    // Makes room above the entry line for the items added since the last look: the one
    // just entered, or those a run added while another screen was in front.
    void enter();
    void focus(bool gained) override;
    void cursorUp();
    void cursorDown();
    void cursorLeft();
    void cursorRight();

    double fontSize() const { return fontSize_; }
    double leading() const { return leading_; }
    HistoryView& historyView() const { return *historyView_; }
    VQTableScrollView& historyScroller() const { return *historyScroller_; }
    EntryView& entryView() const { return *entryView_; }
    HelpPromptView& helpPromptView() const { return *helpPromptView_; }

protected:
    void subscribe() override;
    // The history's count of items added that the split between history and entry line
    // has made room for.
    std::uint64_t seenItems_ = 0;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool entryEmpty() const;
    // The newest result scrolled by a line or column, within its limits.
    void moveResult(double dx, double dy);
    void redrawEntry();

    AppShell& shell_;
    LcdView* lcdView_;
    VQTableScrollView* historyScroller_;
    HistoryView* historyView_;
    EntryView* entryView_;
    HelpPromptView* helpPromptView_;
    double fontSize_;
    double leading_;
    // Where the entry area starts (its frame's y, before rounding to whole points).
    double entryTop_ = 0;
    std::unique_ptr<EntrySplit> split_;
};

} // namespace orvenda
