// The classic and MathPrint home screens, their history views, the help bubble and the
// scroll views, at fixed sizes: what is drawn where, how the split between history and
// entry moves, and what keys and taps do.

#include "ScreenTestSupport.h"

#include "app/ClassicHomeScreen.h"
#include "app/EntryView.h"
#include "app/HelpPromptView.h"
#include "app/HistoryView.h"
#include "app/MathPrintScreen.h"
#include "app/PrettyHistoryScrollView.h"
#include "app/PrettyHistoryView.h"
#include "app/PrettyScrollView.h"
#include "app/PrettyView.h"
#include "app/VQTableScrollView.h"
#include "core/Operand.h"
#include "pretty/FontMap.h"
#include "programs/ProgramOutputModel.h"

#include <QFontMetricsF>

#include <QImage>
#include <QWheelEvent>

#include <cmath>
#include <optional>

namespace orvenda::test {
namespace {

using Ops = EntryModel::Ops;

// Ink: pixels clearly darker than the white the view is drawn on.
bool ink(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 200; }

// The leftmost and rightmost columns within the band whose pixels are darker than `gray`;
// none without.
std::optional<std::pair<int, int>> darkColumns(const QImage& image, const QRect& band, int gray)
{
    std::optional<std::pair<int, int>> span;
    const QRect within = band.intersected(image.rect());
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x)
            if (qGray(image.pixel(x, y)) < gray) {
                if (!span)
                    span = std::make_pair(x, x);
                span->first = std::min(span->first, x);
                span->second = std::max(span->second, x);
            }
    return span;
}

// The leftmost and rightmost inked columns within rows [top, bottom); none without ink.
std::optional<std::pair<int, int>> inkColumns(const QImage& image, int top, int bottom)
{
    return darkColumns(image, QRect(0, top, image.width(), bottom - top), 200);
}

// The widget drawn on white.
QImage onWhite(QWidget& view)
{
    QImage image(view.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

class HomeScreensTest : public ScreensTest {
protected:
    // Typed key by key as the case files write a line.
    void keys(const std::string& text)
    {
        std::string bad;
        const auto ops = EntryText().toOps(text, bad);
        ASSERT_TRUE(ops) << "no token for " << bad;
        for (std::uint32_t op : *ops)
            shell.keys().processKeyOp(op);
    }
    void press(std::uint32_t key, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            shell.keys().processKeyOp(key);
    }
    void enter(const std::string& text)
    {
        keys(text);
        press(KeyRouter::kEnter);
        ASSERT_TRUE(shell.settle(std::chrono::seconds(30)));
    }
    // A history item as result handling adds it.
    void addItem(const std::string& input, const std::string& result, int kind, int type = HistoryEntry::kValue)
    {
        std::string bad;
        Operand record;
        record.kind = kind;
        history->addEntry(*EntryText().toOps(input, bad), result, type, record);
    }
    // A help bubble w × h over an entry line at y = top.
    HelpPromptView& bubbleOver(int w, int h, double top)
    {
        bubble_ = std::make_unique<HelpPromptView>(calc);
        bubble_->resize(w, h);
        bubble_->setMetricsForWidth(w);
        bubble_->setEntryTop(top);
        return *bubble_;
    }
    template <class Screen>
    std::unique_ptr<Screen> screen(int width, int height)
    {
        auto made = std::make_unique<Screen>(calc, shell);
        made->resize(width, height);
        made->focus(true);
        made->show();
        return made;
    }

private:
    std::unique_ptr<HelpPromptView> bubble_;
};

// ---- Scroll views ----

TEST(TableScrollView, SnapsToTheNearestColumnOnlyWithColumns)
{
    struct Case {
        double x, width, expected;
    };
    for (const Case& c : {Case{130, 80, 160}, Case{110, 80, 80}, Case{40, 80, 80}, Case{39, 80, 0},
                          Case{130, 0, 130}, Case{130, -5, 130}, Case{130, NAN, 130}})
        EXPECT_EQ(VQTableScrollView::snapToColumn(c.x, c.width), c.expected) << c.x << " / " << c.width;
}

TEST(HistoryViewLabel, ResultsAreSpokenWithWords)
{
    EXPECT_EQ(HistoryView::spokenResult("-1.5ᴱ3"), " minus 1 point 5 e 3");
    EXPECT_EQ(HistoryView::spokenResult("{1.2 -3}"), "{1 point 2  minus 3}");
}

// ---- Classic home screen ----

TEST_F(HomeScreensTest, ClassicHistoryShowsInputFromTheLeftAndAnswerRightAligned)
{
    auto home = screen<ClassicHomeScreen>(320, 300);
    enter("1+1");
    const double leading = home->leading();
    const QImage image = onWhite(home->historyView());
    const double cw = QFontMetricsF(FontMap::shared().font("CourierNewPS-BoldMT", home->historyView().fontSize()))
                          .horizontalAdvance(QLatin1Char('0'));
    const auto input = inkColumns(image, 2, static_cast<int>(leading));
    const auto answer = inkColumns(image, static_cast<int>(leading) + 1, static_cast<int>(2 * leading));
    ASSERT_TRUE(input && answer);
    EXPECT_GE(input->first, 4);
    EXPECT_LE(input->first, 4 + cw / 2);
    EXPECT_LE(answer->second, 320 - 4);
    EXPECT_GE(answer->second, 320 - 4 - cw / 2);
    // Only the one answer is inked on its line: "2", a single character.
    EXPECT_GE(answer->first, 320 - 4 - cw);

    // The scroller renders a part of its content into an image of that part's size.
    const QImage line = home->historyScroller().getImage(QRectF(160, leading, 160, leading));
    ASSERT_EQ(line.size(), QSize(160, qRound(leading)));
    int drawnRight = -1;
    for (int y = 0; y < line.height(); ++y)
        for (int x = 0; x < line.width(); ++x)
            if (qAlpha(line.pixel(x, y)) > 128)
                drawnRight = std::max(drawnRight, x);
    EXPECT_NEAR(drawnRight, answer->second - 160, 1);
}

TEST_F(HomeScreensTest, ClassicSplitMovesDownWithAnswersUntilTheEntryRestsOnTheBottom)
{
    auto home = screen<ClassicHomeScreen>(320, 300);
    calc.entrySplit = 0;
    enter("1+1");
    // One input line and one answer line under the first margin.
    EXPECT_DOUBLE_EQ(calc.entrySplit, 5 + 2 * home->leading());
    EXPECT_EQ(home->entryView().y(), static_cast<int>(calc.entrySplit));
    for (int i = 0; i < 12; ++i)
        enter("2");
    EXPECT_EQ(home->entryView().geometry().bottom() + 1, 300);
    EXPECT_DOUBLE_EQ(calc.entrySplit, 300 - home->entryView().height());
    // The history scroller ends where the entry starts and shows the newest line.
    EXPECT_EQ(home->historyScroller().geometry().bottom() + 1, home->entryView().y());
    const VQTableScrollView& scroller = home->historyScroller();
    EXPECT_DOUBLE_EQ(scroller.contentOffset().y() + scroller.visibleSize().height(),
                     std::ceil(scroller.contentSize().height()));

    // Dragging the entry moves the split, never past the top or the bottom.
    const double bottom = calc.entrySplit;
    EXPECT_DOUBLE_EQ(home->scrollEntryView(-100), -100);
    EXPECT_DOUBLE_EQ(calc.entrySplit, bottom - 100);
    EXPECT_DOUBLE_EQ(home->scrollEntryView(500), 100);
    EXPECT_DOUBLE_EQ(home->scrollEntryView(-1000), -bottom);
    EXPECT_EQ(home->entryView().y(), 0);

    press(KeyRouter::kClear);
    calc.entrySplit = 120;
    press(KeyRouter::kClear);
    EXPECT_EQ(calc.entrySplit, 0);
    EXPECT_EQ(home->entryView().y(), 0);
}

TEST_F(HomeScreensTest, ClassicArrowsScrollTheNewestResultWithinItsLimits)
{
    auto home = screen<ClassicHomeScreen>(320, 300);
    addItem("1", std::string(40, '7'), KindReal);
    press(KeyRouter::kRight, 12);
    EXPECT_EQ(home->historyView().resultOffset(), QPointF(8, 0));
    press(KeyRouter::kLeft, 3);
    EXPECT_EQ(home->historyView().resultOffset(), QPointF(5, 0));
    // Typing resets it.
    keys("3");
    EXPECT_EQ(home->historyView().resultOffset(), QPointF(0, 0));
    press(KeyRouter::kClear);

    addItem("2", "1\n2\n3\n4\n5", KindReal);
    press(KeyRouter::kDown);
    EXPECT_EQ(home->historyView().resultOffset(), QPointF(0, 0));
    std::string twelve = "[[1]";
    for (int row = 2; row <= 12; ++row)
        twelve += "\n [" + std::to_string(row) + "]";
    addItem("[A]", twelve + "]", KindMatrix);
    press(KeyRouter::kDown, 10);
    EXPECT_EQ(home->historyView().resultOffset(), QPointF(0, 5));
    press(KeyRouter::kUp, 7);
    EXPECT_EQ(home->historyView().resultOffset(), QPointF(0, 0));
}

TEST_F(HomeScreensTest, ClassicHistoryDrawsEightResultLinesAndScrollMarkers)
{
    HistoryView view(calc);
    view.resize(320, 400);
    view.setMetricsForWidth(320);
    std::string twelve = "[[1]";
    for (int row = 2; row <= 12; ++row)
        twelve += "\n [" + std::to_string(row) + "]";
    addItem("[A]", twelve + "]", KindMatrix);
    const double leading = view.leading();
    const QImage matrix = onWhite(view);
    // Input on line 0, result lines 1 to 8, nothing where a ninth line's digits would be
    // (the eighth line's brackets reach a little below its line).
    EXPECT_TRUE(inkColumns(matrix, static_cast<int>(8.5 * leading), static_cast<int>(9 * leading)));
    EXPECT_FALSE(inkColumns(matrix, static_cast<int>(9.5 * leading), static_cast<int>(11 * leading)));

    history->clearAll();
    addItem("1", std::string(40, '7'), KindReal);
    const double cw = QFontMetricsF(FontMap::shared().font("CourierNewPS-BoldMT", view.fontSize())).horizontalAdvance(QLatin1Char('0'));
    const int lineY = static_cast<int>(1.5 * leading);
    auto marker = [&](const QImage& image, double x) { return qGray(image.pixel(static_cast<int>(x), lineY)) < 250; };
    // The marker cells are faint fills; a drawn digit never reaches their middle rows.
    const QImage start = onWhite(view);
    EXPECT_TRUE(marker(start, 320 - cw / 2));
    EXPECT_FALSE(marker(start, cw / 2));
    view.setResultOffset(QPointF(1, 0));
    EXPECT_TRUE(marker(onWhite(view), cw / 2));
    view.setResultOffset(QPointF(8, 0));
    const QImage end = onWhite(view);
    EXPECT_FALSE(marker(end, 320 - cw / 2));
    EXPECT_TRUE(marker(end, cw / 2));
}

TEST_F(HomeScreensTest, ClassicTapsPasteTheInputOnTheLeftHalfAndTheAnswerOnTheRight)
{
    HistoryView view(calc);
    view.resize(320, 200);
    view.setMetricsForWidth(320);
    addItem("2+3", "5", KindReal);
    const double rowMiddle = view.leading();
    view.tap(QPointF(160, rowMiddle));
    EXPECT_EQ(entry->entryOps(), (Ops{0x32, 0x70, 0x33}));
    entry->clearAll();
    view.tap(QPointF(161, rowMiddle));
    EXPECT_EQ(entry->entryOps(), (Ops{0x35}));
    entry->clearAll();
    // Below every row: nothing.
    view.tap(QPointF(10, 150));
    EXPECT_TRUE(entry->entryOps().empty());
}

TEST_F(HomeScreensTest, ClassicOverlayBecomesOpsOnTheFirstTap)
{
    EntryView field(calc, shell);
    field.resize(320, 40);
    field.setOverlayStr("12");
    field.singleTap(QPointF(2, 8));
    EXPECT_EQ(entry->entryOps(), (Ops{0x31, 0x32}));
    EXPECT_FALSE(field.overlayStr());
    EXPECT_EQ(entry->entryCursor(), 0);
}

// ---- A long line on the Classic home ----

class LongLineTest : public HomeScreensTest {
protected:
    LongLineTest() { registerScreens(*root); }
    // The home screens made again as themselves: the window made its own on opening.
    void registerScreens(RootController& window) override
    {
        window.screens().set(screens::Home, [this](QWidget* p) { return new MathPrintScreen(calc, shell, p); });
        window.screens().set(screens::ClassicHome, [this](QWidget* p) { return new ClassicHomeScreen(calc, shell, p); });
        window.router().remake(screens::Home);
        window.router().remake(screens::ClassicHome);
    }
    // The leftmost and rightmost columns of text in the band, the faint input's included
    // (darker than the display, not only than white); none without.
    static std::optional<std::pair<int, int>> text(const QImage& picture, const QRect& band)
    {
        return darkColumns(picture, band, 115);
    }
    // Rows [top, bottom) inside the display's frame, 4 wide.
    static QRect band(const QRect& display, int top, int bottom)
    {
        return QRect(display.left() + 4, top, display.width() - 8, bottom - top);
    }
};

// "1+1+…+1" of 1,000 to 32,000 terms entered on the Classic home, in the window of the
// phone and of the tablet, then 2 typed: the entry line rests on the display's bottom
// showing the 2 and the cursor, the answer ends the history right above it, and the
// history scrolled back shows the entry's lines, each full to the last, the answer under.
TEST_F(LongLineTest, TheAnswerAndTheNewLineShowAfterALongLine)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        calc.locked()->mathPrint = false;
        router().showHome();
        auto* home = dynamic_cast<ClassicHomeScreen*>(router().controller(screens::ClassicHome));
        ASSERT_TRUE(home && home->isVisible());
        const QRect display(home->mapTo(root.get(), QPoint()), home->size());
        const double cw = QFontMetricsF(FontMap::shared().font("CourierNewPS-BoldMT", home->historyView().fontSize()))
                              .horizontalAdvance(QLatin1Char('0'));
        for (const int terms : {1000, 5000, 10000, 32000}) {
            SCOPED_TRACE((tablet ? "tablet, " : "phone, ") + std::to_string(terms) + " terms");
            // The line, then the screen.
            press(KeyRouter::kClear, 2);
            history->clearAll();
            Ops line{0x31};
            for (int k = 1; k < terms; ++k)
                line.insert(line.end(), {0x70, 0x31});
            entry->forceOps(line);
            entry->cursorEnd();
            // Drawn before ENTER, as the user sees it.
            root->grab();
            enter("");
            keys("2");
            shell.blink().cursorBlink(false);
            calc.cursorVisible = true;
            QCoreApplication::processEvents();

            // The entry line resting on the display's bottom: the 2 and the cursor after it
            // on the display's last line.
            const QRect field(home->entryView().mapTo(root.get(), QPoint()), home->entryView().size());
            const int bottom = display.bottom() + 1;
            EXPECT_EQ(field.bottom() + 1, bottom);
            EXPECT_NEAR(field.top(), bottom - home->entryView().height(), 1);
            const QImage picture = root->grab().toImage();
            const auto typed = text(picture, band(display, bottom - static_cast<int>(home->entryView().leading()) + 1, bottom - 1));
            ASSERT_TRUE(typed);
            EXPECT_LE(typed->first, display.left() + 4 + cw / 2);
            EXPECT_NEAR(typed->second, display.left() + 4 + 2 * cw, 2);

            // The answer on the history's last line, right-aligned, the input's end above it.
            const double leading = home->leading();
            const int answerTop = field.top() - 5 - static_cast<int>(leading);
            const auto answer = text(picture, band(display, answerTop + 3, field.top() - 7));
            ASSERT_TRUE(answer);
            const double digits = static_cast<double>(std::to_string(terms).size());
            EXPECT_GE(answer->first, display.right() - 4 - (digits + 0.5) * cw);
            EXPECT_LE(answer->second, display.right() - 3);
            const auto inputEnd = text(picture, band(display, answerTop - static_cast<int>(leading) + 3, answerTop - 2));
            ASSERT_TRUE(inputEnd);
            EXPECT_LE(inputEnd->first, display.left() + 4 + cw / 2);

            // Scrolled back to the first page, one in the middle and the last: each line of
            // the input is there and full (to the last, which ends the text), the answer
            // alone on the line after them.
            const HistoryEntry& item = history->history().back();
            const int inputLines = item.numLines - 1;
            const int length = 2 * terms - 1;
            VQTableScrollView& scroller = home->historyScroller();
            const QRect shown(scroller.viewport()->mapTo(root.get(), QPoint()), scroller.viewport()->size());
            const int perPage = std::max(1, static_cast<int>(shown.height() / leading) - 1);
            for (const int first : {0, inputLines / 2, std::max(0, inputLines + 1 - perPage)}) {
                scroller.setContentOffset(QPointF(0, first * leading));
                QCoreApplication::processEvents();
                const QImage page = root->grab(shown).toImage();
                const double offset = scroller.contentOffset().y();
                for (int k = first; k <= std::min(first + perPage - 1, inputLines); ++k) {
                    const int top = static_cast<int>(std::ceil(k * leading - offset)) + 3;
                    const auto drawn = text(page, band(page.rect(), top, top + static_cast<int>(leading) - 6));
                    ASSERT_TRUE(drawn) << "line " << k;
                    if (k == inputLines) {
                        EXPECT_GE(drawn->first, page.width() - 4 - (digits + 0.5) * cw) << "the answer";
                        continue;
                    }
                    const int columns = std::min(HistoryEntry::kInputLineWidth, length - k * HistoryEntry::kInputLineWidth);
                    EXPECT_LE(drawn->first, 4 + cw / 2) << "line " << k;
                    EXPECT_NEAR(drawn->second, 4 + columns * cw, cw) << "line " << k;
                }
                if (HasFailure())
                    return;
            }
        }
    }
}

// ---- Help bubble ----

TEST_F(HomeScreensTest, HelpBubbleDescribesTheFunctionAroundTheCursor)
{
    HelpPromptView& bubble = bubbleOver(320, 300, 150);
    keys("sin(");
    auto shown = bubble.bubble();
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->text.toStdString(), "sin(value)");
    EXPECT_TRUE(shown->above);
    EXPECT_LT(shown->box.bottom(), 150);
    keys("1)+2");
    EXPECT_FALSE(bubble.bubble());
    entry->clearAll();
    keys("(1+2");
    EXPECT_FALSE(bubble.bubble());
    // The unclosed group reaches the end of the line.
    EXPECT_EQ(HelpPromptView::contextEnd(calc, entry->entryOps(), 0), 4);

    // No room above the entry: below it.
    entry->clearAll();
    keys("sin(");
    bubble.setEntryTop(0);
    shown = bubble.bubble();
    ASSERT_TRUE(shown);
    EXPECT_FALSE(shown->above);
    EXPECT_GT(shown->box.top(), 0);
}

TEST_F(HomeScreensTest, HelpBubbleIsPulledInAtTheEdgesWithItsArrowOnTheFunction)
{
    HelpPromptView& bubble = bubbleOver(320, 300, 150);
    keys("1111111111111111111111111111sin(");
    auto shown = bubble.bubble();
    ASSERT_TRUE(shown);
    const double cw = QFontMetricsF(FontMap::shared().font("CourierNewPS-BoldMT", 320 / 316.8 * 16)).horizontalAdvance(QLatin1Char('0'));
    // Ends one point inside the right edge; the arrow stays on "sin(" (4 cells after 28).
    EXPECT_DOUBLE_EQ(shown->box.right(), 320 - 1);
    EXPECT_NEAR(shown->arrowX, 4 + 30 * cw, 0.01);

    calc.locked()->mathPrint = true;
    entry->clearAll();
    keys("sin(");
    shown = bubble.bubble();
    ASSERT_TRUE(shown);
    EXPECT_GE(shown->box.left(), 1);
    EXPECT_GT(shown->arrowX, shown->box.left());
}

// ---- MathPrint home screen ----

class MathPrintTest : public HomeScreensTest {
protected:
    MathPrintTest() { calc.locked()->mathPrint = true; }
};

TEST_F(MathPrintTest, EnterMovesTheSplitByTheNewItemUntilTheBottom)
{
    auto home = screen<MathPrintScreen>(320, 300);
    // The text keeps 8 points from the display's edges (its 4-point frame and a gap): the
    // split counts from there.
    constexpr double inset = 8;
    calc.entrySplit = 0;
    enter("1+1");
    const double first = history->prettySizeOfLastEntry().height;
    EXPECT_GT(first, 0);
    EXPECT_DOUBLE_EQ(calc.entrySplit, first);
    enter("2");
    EXPECT_DOUBLE_EQ(calc.entrySplit, first + history->prettySizeOfLastEntry().height);
    for (int i = 0; i < 10; ++i)
        enter("3");
    // Resting on the bottom: the entry's line with its slack of a tenth of the font size.
    EXPECT_DOUBLE_EQ(calc.entrySplit, 300 - inset - (home->prettyView().printRect().height() + 0.1 * calc.baseFontSize));
    EXPECT_EQ(home->prettyScrollView().geometry().bottom() + 1, 300);
    // A drag stops with the entry's line on the bottom, or at the top.
    const double resting = calc.entrySplit;
    EXPECT_DOUBLE_EQ(home->panView(-50), -50);
    EXPECT_DOUBLE_EQ(home->panView(400),
        300 - inset - std::max(home->prettyView().printRect().height(), calc.baseFontSize) - (resting - 50));
    const double top = calc.entrySplit;
    EXPECT_DOUBLE_EQ(home->panView(-1000), -top);
    EXPECT_EQ(home->prettyScrollView().y(), inset);
    EXPECT_EQ(home->historyScrollView().geometry().bottom() + 1, home->prettyScrollView().y());
}

// Items a run adds while another screen is in front (a graph control's label, the debugger's
// run) get their room above the entry line when the home screen comes back, as an item
// entered on the line does, and only once: the history shows them, not the older items cut
// off at the top. In both home screens.
TEST_F(MathPrintTest, ItemsAddedWhileTheHomeScreenWasAwayShowWhenItComesBack)
{
    for (const bool mathPrint : {true, false}) {
        calc.locked()->mathPrint = mathPrint;
        calc.entrySplit = 0;
        std::unique_ptr<ScreenController> home;
        if (mathPrint)
            home = screen<MathPrintScreen>(320, 300);
        else
            home = screen<ClassicHomeScreen>(320, 300);
        enter("1+1");
        const double before = calc.entrySplit;
        const double line = mathPrint ? 0 : dynamic_cast<ClassicHomeScreen&>(*home).leading();
        home->focus(false);
        addItem("2+3", "5", KindReal);
        addItem("4", "1\n2", KindReal);
        double room = 0;
        for (std::size_t k = history->history().size() - 2; k < history->history().size(); ++k) {
            const HistoryEntry& item = history->history()[k];
            room += mathPrint ? item.inputHeight() + item.answerHeight() : item.numLines * line;
        }
        ASSERT_GT(room, 0);
        home->focus(true);
        EXPECT_DOUBLE_EQ(calc.entrySplit, before + room) << mathPrint;
        if (mathPrint)
            dynamic_cast<MathPrintScreen&>(*home).enter();
        else
            dynamic_cast<ClassicHomeScreen&>(*home).enter();
        EXPECT_DOUBLE_EQ(calc.entrySplit, before + room) << mathPrint << ": counted once";
    }
}

// The bands of ink across the rows of an image between columns x0 and x1: [top, bottom).
std::vector<std::pair<int, int>> inkBands(const QImage& image, int x0, int x1)
{
    std::vector<std::pair<int, int>> bands;
    bool inBand = false;
    for (int y = 0; y < image.height(); ++y) {
        bool any = false;
        for (int x = std::max(0, x0); x < std::min(x1, image.width()) && !any; ++x)
            any = ink(image, x, y);
        if (any && !inBand)
            bands.emplace_back(y, y + 1);
        if (any)
            bands.back().second = y + 1;
        inBand = any;
    }
    return bands;
}

// A tall matrix answer is laid out at its full height: its last row ends just above the
// entry line, the rows that fit show with the input above them, and one taller than the
// view scrolls through (the wheel) and shows from its top when UP selects it.
TEST_F(MathPrintTest, ATallAnswerShowsWholeAboveTheEntryLine)
{
    auto home = screen<MathPrintScreen>(390, 310);
    for (int n : {6, 9, 12}) {
        SCOPED_TRACE(n);
        history->clearAll();
        calc.entrySplit = 0;
        enter("identity(" + std::to_string(n) + ")");
        const HistoryEntry& item = history->history().back();
        const PrettyHistoryView& view = home->historyView();
        const QImage picture = onWhite(const_cast<PrettyHistoryView&>(view));
        // Between the brackets: one band a matrix row, and the input's above them.
        const int right = view.width() - 12;
        const int left = right - static_cast<int>(item.pAnswerSize.width * 0.7);
        const auto bands = inkBands(picture, left, right);
        ASSERT_FALSE(bands.empty());
        const int entryTop = home->prettyScrollView().y() - home->historyScrollView().y();
        EXPECT_EQ(view.height(), entryTop);
        EXPECT_LE(bands.back().second, entryTop);
        EXPECT_GT(bands.back().second, entryTop - calc.baseFontSize) << "the last row just above the entry line";
        const int rowPitch = static_cast<int>(item.answerHeight() / n);
        const auto inputShown = [&](const QImage& image) {
            const auto input = inkBands(image, 0, static_cast<int>(item.prettySize.width));
            return !input.empty() && input.front().first < item.inputHeight();
        };
        if (item.inputHeight() + item.answerHeight() <= view.height()) {
            EXPECT_EQ(static_cast<int>(bands.size()), n) << "every row";
            EXPECT_TRUE(inputShown(picture));
        } else {
            EXPECT_GE(static_cast<int>(bands.size()), view.height() / rowPitch - 1);
            // A notch of the wheel moves about a line.
            const double bottom = home->historyScrollView().contentOffset().y();
            QWheelEvent notch(QPointF(50, 50), home->historyScrollView().mapToGlobal(QPointF(50, 50)), QPoint(),
                QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(home->historyScrollView().viewport(), &notch);
            EXPECT_NEAR(bottom - home->historyScrollView().contentOffset().y(), 40, 1);
            // Scrolled through to its top, the input and the first rows show.
            QWheelEvent wheel(QPointF(50, 50), home->historyScrollView().mapToGlobal(QPointF(50, 50)), QPoint(),
                QPoint(0, 120 * 100), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(home->historyScrollView().viewport(), &wheel);
            EXPECT_EQ(home->historyScrollView().contentOffset().y(), 0);
            EXPECT_TRUE(inputShown(onWhite(const_cast<PrettyHistoryView&>(view))));
            // UP selects the answer and shows it from its first row; DOWN goes back to the
            // entry line and the answer's end.
            const double end = home->historyScrollView().contentSize().height() - view.height();
            press(KeyRouter::kUp);
            ASSERT_EQ(history->selectedKind(), HistoryModel::kAnswer);
            EXPECT_NEAR(home->historyScrollView().contentOffset().y(), item.inputHeight(), 1);
            press(KeyRouter::kDown);
            EXPECT_EQ(history->selectedEntry(), -1);
            EXPECT_NEAR(home->historyScrollView().contentOffset().y(), end - 4, 1);
        }
    }
}

TEST_F(MathPrintTest, UpSelectsAnItemAndDrawsItsBand)
{
    auto home = screen<MathPrintScreen>(320, 300);
    enter("1+1");
    const QImage before = onWhite(home->historyView());
    press(KeyRouter::kUp);
    EXPECT_EQ(history->selectedEntry(), 0);
    EXPECT_EQ(history->selectedKind(), HistoryModel::kAnswer);
    const QRectF answer = home->historyView().boundsForEntryNum(0, HistoryModel::kAnswer);
    // The band behind the answer, at its left end (the answer is drawn at the right).
    const QImage after = onWhite(home->historyView());
    const int y = static_cast<int>(answer.center().y());
    EXPECT_EQ(before.pixel(10, y), after.pixel(10, y));
    press(KeyRouter::kUp);
    EXPECT_EQ(history->selectedKind(), HistoryModel::kInput);
    // The input's faint band goes while it is selected.
    const QImage input = onWhite(home->historyView());
    EXPECT_NE(qGray(before.pixel(300, 4)), qGray(input.pixel(300, 4)));
}

TEST_F(MathPrintTest, TapsOnARowBoundarySelectTheUpperRow)
{
    auto home = screen<MathPrintScreen>(320, 300);
    enter("1+1");
    enter("2");
    const PrettyHistoryView& view = home->historyView();
    const double inputHeight = history->history()[0].inputHeight();
    const PrettyHistoryView::Hit boundary = view.hitEntryAt(QPointF(5, inputHeight));
    EXPECT_EQ(boundary.index, 0);
    EXPECT_EQ(boundary.kind, HistoryModel::kInput);
    const double itemHeight = inputHeight + history->history()[0].answerHeight();
    const PrettyHistoryView::Hit next = view.hitEntryAt(QPointF(5, itemHeight));
    EXPECT_EQ(next.index, 0);
    EXPECT_EQ(next.kind, HistoryModel::kAnswer);
    EXPECT_EQ(view.hitEntryAt(QPointF(5, history->prettySize().height + 1)).index, -1);
    EXPECT_EQ(view.boundsForEntryNum(7, HistoryModel::kInput), view.boundsForEntryNum(1, HistoryModel::kAnswer));
}

TEST_F(MathPrintTest, HomeAndEndScrollOnlyASelectedWideItem)
{
    auto home = screen<MathPrintScreen>(320, 300);
    enter("1+2+3+4+5+6+7+8+9+10+11+12+13+14+15+16+17+18+19+20+21+22+23+24+25");
    const PrettyHistoryScrollView& scroller = home->historyScrollView();
    press(KeyRouter::kEnd);
    EXPECT_EQ(scroller.contentOffset().x(), 0);
    press(KeyRouter::kUp, 2);
    ASSERT_EQ(history->selectedKind(), HistoryModel::kInput);
    const double wide = history->history()[0].prettySize.width;
    ASSERT_GT(wide, 320);
    press(KeyRouter::kEnd);
    EXPECT_NEAR(scroller.contentOffset().x(), wide - scroller.visibleSize().width(), 1);
    press(KeyRouter::kLeft);
    EXPECT_NEAR(scroller.contentOffset().x(), wide - scroller.visibleSize().width() - calc.baseFontSize, 1);
    press(KeyRouter::kHome);
    EXPECT_EQ(scroller.contentOffset().x(), 0);
}

TEST_F(MathPrintTest, WideRowsShowGreenTriangles)
{
    auto home = screen<MathPrintScreen>(320, 300);
    enter("1+2+3+4+5+6+7+8+9+10+11+12+13+14+15+16+17+18+19+20+21+22+23+24+25");
    auto green = [](const QImage& image, int x0, int x1, int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.green() > c.red() + 40 && c.green() > c.blue() + 40)
                    return true;
            }
        return false;
    };
    const double h = history->history()[0].inputHeight();
    const QImage image = onWhite(home->historyView());
    EXPECT_TRUE(green(image, 300, 320, 0, static_cast<int>(h)));
    EXPECT_FALSE(green(image, 0, 24, 0, static_cast<int>(h)));
    // Selected and scrolled: a left triangle too.
    press(KeyRouter::kUp, 2);
    press(KeyRouter::kRight);
    EXPECT_TRUE(green(onWhite(home->historyView()), 0, 24, 0, static_cast<int>(h)));
}

TEST_F(MathPrintTest, TextAnswerOfKind45SetsAllButItsLastLineLeft)
{
    PrettyHistoryView view(calc);
    view.resize(320, 300);
    addItem("1", "AB\nCD\nEF", 45);
    const QImage image = onWhite(view);
    const double top = history->history()[0].inputHeight();
    const double line = calc.baseFontSize;
    for (int k = 0; k < 2; ++k) {
        const auto span = inkColumns(image, static_cast<int>(top + k * line) + 1, static_cast<int>(top + (k + 1) * line));
        ASSERT_TRUE(span);
        EXPECT_LT(span->first, 10) << "line " << k;
    }
    const auto last = inkColumns(image, static_cast<int>(top + 2 * line) + 1, static_cast<int>(top + 3 * line));
    ASSERT_TRUE(last);
    EXPECT_GT(last->first, 200);
    EXPECT_GE(last->second, 310);
}

TEST_F(MathPrintTest, FontSizeChangeRemeasuresTheHistory)
{
    auto home = screen<MathPrintScreen>(320, 300);
    enter("1+1");
    const double before = history->history()[0].inputHeight();
    calc.baseFontSize = 30;
    home->updateDisplay();
    EXPECT_EQ(home->currentBaseFontSize(), 30);
    EXPECT_GT(history->history()[0].inputHeight(), before);
}

// An item entered while the classic home was in front has a band of its own once the
// MathPrint home shows again, which the history scrolls over (the next item goes below it).
TEST_F(MathPrintTest, AnItemEnteredOnTheClassicHomeIsMeasuredForMathPrint)
{
    auto home = screen<MathPrintScreen>(320, 300);
    enter("2+3");
    calc.locked()->mathPrint = false;
    enter("1/3+1/7");
    calc.locked()->mathPrint = true;
    home->updateDisplay();
    const HistoryEntry& classic = history->history()[1];
    EXPECT_GT(classic.inputHeight(), 0);
    EXPECT_GE(home->historyScrollView().contentSize().height(),
        history->history()[0].inputHeight() + history->history()[0].answerHeight() + classic.inputHeight() + classic.answerHeight());
}

// ---- Screen 0 ----

TEST_F(HomeScreensTest, TogglingMathPrintSwapsTheHomeScreen)
{
    root->screens().set(screens::Home, [this](QWidget* p) { return new MathPrintScreen(calc, shell, p); });
    root->screens().set(screens::ClassicHome, [this](QWidget* p) { return new ClassicHomeScreen(calc, shell, p); });
    calc.locked()->mathPrint = true;
    router().showHome();
    EXPECT_TRUE(dynamic_cast<MathPrintScreen*>(router().controller(screens::Home))->isVisible());
    enter("Classic");
    EXPECT_FALSE(calc.locked()->mathPrint);
    ASSERT_TRUE(router().controller(screens::ClassicHome));
    EXPECT_TRUE(router().controller(screens::ClassicHome)->isVisible());
    EXPECT_FALSE(router().controller(screens::Home)->isVisible());
    EXPECT_TRUE(router().controller(screens::ClassicHome)->listening());
}

// ---- A program's screen in the history ----

class ProgramHistoryTest : public HomeScreensTest {
protected:
    ProgramHistoryTest()
    {
        calc.prgmOutputMgr = outputScreen;
        registerScreens(*root);
    }
    void registerScreens(RootController& window) override
    {
        window.screens().set(screens::Home, [this](QWidget* p) { return new MathPrintScreen(calc, shell, p); });
    }

    std::shared_ptr<ProgramOutputModel> outputScreen = std::make_shared<ProgramOutputModel>(calc);
};

// What a program left on its output screen is copied into the history as the screen
// showed it: each line with its blanks, so that in both home screens, on the phone and the
// tablet, upright and turned, text starts in the first column at the view's left, numbers
// and "Done" end in the 32nd (whole, inside the view) by the view's right edge, where answers
// end, and what Output( wrote at column 28 stands at column 28 from the left.
TEST_F(ProgramHistoryTest, TheHistoryShowsTheOutputScreenColumnForColumn)
{
    std::string bad;
    const auto program = EntryText().toOps("Disp 5\nDisp \"HELLO\"\nDisp \"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345\"\n"
                                           "Output(6,28,\"X\")",
        bad);
    ASSERT_TRUE(program) << bad;
    programs->store("T", *program);
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        for (int shape = 0; shape < 4; ++shape) {
            const bool turned = shape >= 2, mathPrint = shape % 2 == 0;
            // A turned phone's MathPrint history is too short for the item: it shows its end,
            // scrolled, where the rows below are not measured from the top.
            if (!tablet && turned && mathPrint)
                continue;
            const QSize upright = tablet ? QSize(768, 1024) : QSize(390, 844);
            root->resize(turned ? upright.transposed() : upright);
            QCoreApplication::processEvents();
            SCOPED_TRACE(std::string(tablet ? "tablet " : "phone ") + (turned ? "turned " : "") + (mathPrint ? "MathPrint" : "classic"));
            calc.locked()->mathPrint = mathPrint;
            history->clearAll();
            router().showHome();
            // The classic screen, made by the window before these tests registered it, stands
            // beside the window at the display's size.
            auto* display = dynamic_cast<MathPrintScreen*>(router().controller(screens::Home));
            ASSERT_TRUE(display);
            std::unique_ptr<ClassicHomeScreen> classic;
            if (!mathPrint)
                classic = screen<ClassicHomeScreen>(display->width(), display->height());
            enter("prgmT");
            ASSERT_EQ(outputScreen->shownLines(),
                (std::vector<std::string>{"5", "HELLO", "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", "Done", "", "X"}));
            // The text, column for column.
            ASSERT_EQ(history->history().size(), 1u);
            EXPECT_EQ(history->lastResult(), outputScreen->done());
            EXPECT_FALSE(history->history()[0].resultOps()) << "a screen, not a value to paste";

            // The picture: the answer's lines, their tops and the width of a column.
            QWidget* view = nullptr;
            double x0 = 0, cw = 0, lineHeight = 0, firstTop = 0, ascent = 0;
            QFont font;
            if (mathPrint) {
                ASSERT_TRUE(display->isVisible());
                view = &display->historyView();
                lineHeight = calc.baseFontSize;
                firstTop = history->history()[0].inputHeight();
                // Each line on the baseline the history's own font gives its row.
                ascent = QFontMetricsF(FontMap::shared().font("CourierNewPS-BoldMT", calc.baseFontSize)).ascent();
                // The widest columns that fit the view, no wider than the history's font.
                for (int size = static_cast<int>(calc.baseFontSize); size > 0 && cw == 0; --size) {
                    font = FontMap::shared().font("CourierNewPS-BoldMT", size);
                    const double advance = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
                    if (32 * advance <= view->width())
                        cw = advance;
                }
            } else {
                view = &classic->historyView();
                x0 = 4;
                lineHeight = classic->historyView().leading();
                firstTop = lineHeight - 1;
                font = FontMap::shared().font("CourierNewPS-BoldMT", classic->historyView().fontSize());
                cw = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
                ascent = QFontMetricsF(font).ascent();
            }
            ASSERT_GT(cw, 0);
            // Where the 32 columns start when the last ends by the right edge.
            const double xRight = std::max(x0, view->width() - x0 - 32 * cw);
            const QImage image = onWhite(*view);
            // A line's capitals and digits, between its baseline and their height: lines may
            // be closer than the font is tall.
            const QFontMetricsF metrics(font);
            const auto line = [&](int k) {
                const double baseline = firstTop + k * lineHeight + ascent;
                return inkColumns(image, static_cast<int>(baseline - metrics.capHeight() + 1), static_cast<int>(baseline - 1));
            };
            // The ink of a line lies in columns [first, last] (1-based) counted from the left,
            // or for a line ending at the right edge from there, a pixel of slack.
            const auto inColumns = [&](int k, int first, int last, bool fromRight = false) {
                const auto span = line(k);
                if (!span)
                    return ::testing::AssertionFailure() << "line " << k << " has no ink";
                const double start = fromRight ? xRight : x0;
                const double left = start + (first - 1) * cw - 1, right = start + last * cw + 1;
                if (span->first < left || span->second > right)
                    return ::testing::AssertionFailure() << "line " << k << " inked from " << span->first << " to "
                                                         << span->second << ", not within " << left << " to " << right;
                return ::testing::AssertionSuccess();
            };
            EXPECT_TRUE(inColumns(0, 32, 32, true));
            EXPECT_TRUE(inColumns(1, 1, 5));
            EXPECT_LT(line(1)->first, x0 + cw / 2) << "HELLO from the first column";
            EXPECT_TRUE(inColumns(2, 1, 32));
            EXPECT_TRUE(inColumns(3, 29, 32, true));
            EXPECT_FALSE(line(4));
            EXPECT_TRUE(inColumns(5, 28, 28));
            // "Done" whole: its "e" ends inside the view, clear of the edge, where the
            // answers end.
            ASSERT_TRUE(line(3));
            EXPECT_GT(line(3)->second, xRight + 31.5 * cw);
            EXPECT_LT(line(3)->second, view->width() - 1);
            EXPECT_GT(line(3)->second, view->width() - x0 - cw) << "Done by the right edge";
        }
    }
}

} // namespace
} // namespace orvenda::test
