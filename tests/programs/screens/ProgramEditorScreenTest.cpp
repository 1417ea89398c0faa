// The program editor and the debugger drawn offscreen: numbered, indented lines, the
// bracket pair at the cursor and its help bubble, taps left of the margin, long-press
// selection with its magnifier, cut, copy and paste, Step and its repeat, and the variables panel.

#include "app/ImageButton.h"
#include "core/Calculator.h"
#include "eval/Parser.h"
#include "language/EntryText.h"
#include "eval/ProgramTokens.h"
#include "language/VariableSlots.h"
#include "programs/ProgramDebuggerScreen.h"
#include "programs/ProgramEditMagnifier.h"
#include "programs/ProgramEditView.h"
#include "programs/ProgramEditorScreen.h"
#include "programs/ProgramFiles.h"
#include "programs/ProgramModel.h"
#include "programs/ProgramOutputModel.h"
#include "programs/VarsView.h"

#include "PictureChecks.h"
#include "TestSupport.h"
#include "cases/ProgramSupport.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

Ops programOps(const std::string& text)
{
    static const EntryText entry;
    std::string bad;
    const auto ops = entry.toOps(text, bad);
    EXPECT_TRUE(ops) << "no token for " << bad;
    return ops.value_or(Ops{});
}

class ProgramEditorScreenTest : public ::testing::TestWithParam<int> {
protected:
    ProgramEditorScreenTest()
        : calc(kUS), files(std::make_shared<ProgramFiles>(folder.path() + QStringLiteral("/programs"))),
          model(std::make_shared<ProgramModel>(calc, files)), output(calc)
    {
        calc.device = GetParam();
        // The worker's reports wait for the test to take them, as on the app's main thread.
        calc.parser().programQueue().setMainQueue(&main);
        calc.prgmManager = model;
        calc.viewDelegate = fakeView;
        screen = std::make_unique<ProgramEditorScreen>(calc, *model, output);
        screen->resize(GetParam() == 1 ? QSize(768, 420) : QSize(390, 300));
        screen->show();
    }
    ~ProgramEditorScreenTest() override
    {
        calc.parser().stopProgramThread();
        settle();
        screen.reset();
        calc.viewDelegate = nullptr;
        calc.prgmManager = nullptr;
    }

    void open(const std::string& text) { open(programOps(text)); }
    void open(const Ops& ops)
    {
        ASSERT_TRUE(model->storeProgram("P", ops));
        model->loadProgram("P");
        screen->focus(true);
    }
    ProgramEditView& view() const { return screen->editView(); }
    // The middle of screen line n's cell at column c (0 is the ":"), in the view.
    QPointF cell(int n, int c) const
    {
        const double w = view().charWidth();
        return {view().leftMargin() + (model->indentForLine(n) + c + 0.5) * w, (n + 0.5) * view().leading()};
    }
    QImage picture() const { return view().grab().toImage(); }
    // The debugger at the device's size, shown and focused.
    void showDebugger(ProgramDebuggerScreen& debugger) const
    {
        debugger.resize(GetParam() == 1 ? QSize(768, 900) : QSize(390, 824));
        debugger.show();
        debugger.focus(true);
    }
    // Runs the worker's queued reports until no run is left and nothing waits.
    bool settle()
    {
        return main.pumpUntil([this] { return calc.parser().programQueueCount() == 0 && main.idle(); });
    }

    QTemporaryDir folder;
    testing::ManualMainQueue main;
    Calculator calc;
    std::shared_ptr<FakeView> fakeView = std::make_shared<FakeView>();
    std::shared_ptr<ProgramFiles> files;
    std::shared_ptr<ProgramModel> model;
    ProgramOutputModel output;
    std::unique_ptr<ProgramEditorScreen> screen;
};

// "If A" / "Disp A": two numbered lines, the second indented with its band lighter than
// the display behind the text.
TEST_P(ProgramEditorScreenTest, LinesAreNumberedAndIndented)
{
    open("If A\nDisp A");
    ASSERT_EQ(model->numLines(), 2);
    ASSERT_EQ(model->indentForLine(1), 1);
    calc.cursorVisible = false;
    const QImage image = picture();
    const double leading = view().leading();
    // The line number of line 2 sits in its indentation band, in white.
    const auto whiteIn = [&](QRectF area) {
        int white = 0;
        for (int y = static_cast<int>(area.top()); y < static_cast<int>(area.bottom()); ++y)
            for (int x = static_cast<int>(area.left()); x < static_cast<int>(area.right()); ++x) {
                const QColor c = image.pixelColor(x, y);
                white += c.red() > 235 && c.green() > 235 && c.blue() > 235;
            }
        return white;
    };
    const double textX = view().leftMargin() + view().charWidth();
    EXPECT_GT(whiteIn(QRectF(0, leading, textX, leading)), 3);
    // The band is lighter than the same line's background after the text.
    const QColor band = image.pixelColor(1, static_cast<int>(1.2 * leading));
    const QColor back = image.pixelColor(view().width() - 3, static_cast<int>(1.2 * leading));
    EXPECT_GT(band.lightness(), back.lightness());
    EXPECT_EQ(screen->nameLabel().text(), "Program:P");
    EXPECT_TRUE(screen->quitButton().isVisible());
    EXPECT_TRUE(screen->debugButton().isVisible());
}

TEST_P(ProgramEditorScreenTest, TheBracketPairAtTheCursorIsHighlighted)
{
    open("Disp (1+(2))");
    const auto blue = [&] {
        const QImage image = picture();
        int n = 0;
        for (int y = 0; y < static_cast<int>(view().leading()); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                n += std::abs(c.red() - 148) < 6 && std::abs(c.green() - 204) < 6 && std::abs(c.blue() - 252) < 6;
            }
        return n;
    };
    model->setPrgmEditCursor(1);
    EXPECT_GT(blue(), 20);
    // On the closing token of the inner pair too; not inside a pair.
    model->setPrgmEditCursor(6);
    EXPECT_GT(blue(), 20);
    model->setPrgmEditCursor(3);
    EXPECT_EQ(blue(), 0);
}

// The index of the first opcode named name at or after from.
int indexOfName(const Calculator& calc, const ProgramModel& model, const std::string& name, int from = 0)
{
    const auto& ops = model.program().array();
    for (int k = from; k < static_cast<int>(ops.size()); ++k)
        if (calc.nameForOpcode(ops[static_cast<std::size_t>(k)]) == name)
            return k;
    return -1;
}

int countColor(const QImage& image, const QRectF& area, const QColor& color)
{
    int n = 0;
    const QRect r = area.toAlignedRect().intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += std::abs(c.red() - color.red()) < 4 && std::abs(c.green() - color.green()) < 4
                && std::abs(c.blue() - color.blue()) < 4;
        }
    return n;
}

// The cursor on sin('s opening: its description in a grey bubble above the line (below it
// on the first line, where there is no room above); none on a plain bracket or with the
// setting off.
TEST_P(ProgramEditorScreenTest, TheFunctionAtTheCursorIsExplainedInABubble)
{
    open("Disp sin(1)\nDisp 2\nDisp 3\nDisp 4\nDisp cos((2))");
    calc.cursorVisible = false;
    const int cos = indexOfName(calc, *model, "cos(");
    ASSERT_GE(cos, 0);
    model->setPrgmEditCursor(cos);
    QImage image = picture();
    const std::string cosText = calc.descriptionForOpcode(model->program().array()[static_cast<std::size_t>(cos)]);
    ASSERT_FALSE(cosText.empty());
    EXPECT_EQ(view().bubbleText().toStdString(), cosText);
    const QRectF above = view().bubbleRect();
    const double lineTop = (model->textLine() - view().firstLine()) * view().leading();
    EXPECT_LE(above.bottom(), lineTop);
    EXPECT_GE(above.left(), 0);
    EXPECT_LE(above.right(), view().width());
    EXPECT_GT(countColor(image, above, QColor(204, 204, 204)), above.width() * above.height() / 4);
    // The first line: below.
    model->setPrgmEditCursor(indexOfName(calc, *model, "sin("));
    picture();
    EXPECT_FALSE(view().bubbleText().isEmpty());
    EXPECT_GE(view().bubbleRect().top(), view().leading());
    // On a plain bracket, and with bubble help off: no bubble, no grey box.
    model->setPrgmEditCursor(cos + 1);
    image = picture();
    EXPECT_TRUE(view().bubbleText().isEmpty());
    EXPECT_LT(countColor(image, above, QColor(204, 204, 204)), above.width() * above.height() / 10);
    calc.bubbleHelp = false;
    model->setPrgmEditCursor(cos);
    picture();
    EXPECT_TRUE(view().bubbleText().isEmpty());
}

// A long press shows the magnifier: the pressed line enlarged in a strip off the line, the
// selection yellow at the large size; the press's end hides it.
TEST_P(ProgramEditorScreenTest, ALongPressShowsTheSelectionMagnified)
{
    open("Disp 1\nDisp 12345\nDisp 3");
    using Press = ProgramEditView::Press;
    ProgramEditMagnifier& loupe = screen->magnifier();
    EXPECT_FALSE(loupe.isVisible());
    view().longPress(Press::Began, cell(1, 5));
    view().longPress(Press::Changed, cell(1, 7));
    ASSERT_GT(model->prgmSelection().length, 1);
    ASSERT_TRUE(loupe.isVisible());
    EXPECT_NEAR(loupe.focusPoint().x(), cell(1, 7).x(), 0.01);
    const QImage image = loupe.grab().toImage();
    const QRectF strip = loupe.stripRect();
    ASSERT_FALSE(strip.isEmpty());
    // Off the pressed line.
    const double lineTop = view().leading();
    EXPECT_TRUE(strip.bottom() <= lineTop || strip.top() >= lineTop + view().leading());
    // The selection is yellow over the strip's whole height (the editor's lines are lower),
    // ending where the press is.
    EXPECT_GT(countColor(image, strip, QColor(255, 255, 0)), 100);
    int right = -1;
    for (int x = 0; x < image.width(); ++x)
        if (image.pixelColor(x, static_cast<int>(strip.center().y())) == QColor(255, 255, 0))
            right = x;
    EXPECT_NEAR(right, loupe.focusPoint().x(), 3);
    int column = 0;
    for (int y = static_cast<int>(strip.top()); y < static_cast<int>(strip.bottom()); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == QColor(255, 255, 0)) {
                ++column;
                break;
            }
    EXPECT_GE(column, static_cast<int>(ProgramEditMagnifier::kFontSize) - 3);
    view().longPress(Press::Ended, cell(1, 7));
    EXPECT_FALSE(loupe.isVisible());
    // Without a selection it draws nothing.
    model->clearSelection();
    loupe.grab();
    EXPECT_TRUE(loupe.stripRect().isEmpty());
}

TEST_P(ProgramEditorScreenTest, ATapLeftOfTheMarginMovesToColumnZeroOrTogglesABreakpoint)
{
    open("Disp 1\nDisp 2\nDisp 3");
    model->setPrgmEditCursor(0);
    view().tap(QPointF(0.5, 1.5 * view().leading()));
    EXPECT_EQ(model->textLine(), 1);
    EXPECT_EQ(model->prgmEditCursor(), model->firstOpOnLine(1));
    // A tap on the text puts the cursor on the token there.
    view().tap(cell(2, 1));
    EXPECT_EQ(model->textLine(), 2);
    // In debug mode a tap left of the margin toggles the line's breakpoint, and a tap on
    // the text leaves the cursor where it is.
    model->setDebug(true);
    view().setDebug(true);
    view().tap(QPointF(1, 1.5 * view().leading()));
    EXPECT_TRUE(model->breakForLine(1));
    const int cursor = model->prgmEditCursor();
    view().tap(cell(0, 2));
    EXPECT_EQ(model->prgmEditCursor(), cursor);
    view().tap(QPointF(1, 1.5 * view().leading()));
    EXPECT_FALSE(model->breakForLine(1));
}

TEST_P(ProgramEditorScreenTest, ALongPressSelectsAndTheSelectionIsCutCopiedAndPasted)
{
    open("Disp 12345");
    using Press = ProgramEditView::Press;
    using Action = ProgramEditView::Action;
    view().longPress(Press::Began, cell(0, 5));
    view().longPress(Press::Changed, cell(0, 8));
    view().longPress(Press::Ended, cell(0, 8));
    const ProgramModel::Range selected = model->prgmSelection();
    ASSERT_GT(selected.length, 0);
    // The selection is yellow in the picture.
    const QImage image = picture();
    EXPECT_EQ(image.pixelColor(static_cast<int>(cell(0, 6).x()), 1), QColor(255, 255, 0));
    const auto actions = view().actions();
    EXPECT_NE(std::find(actions.begin(), actions.end(), Action::Cut), actions.end());
    EXPECT_EQ(std::find(actions.begin(), actions.end(), Action::Select), actions.end());
    const std::size_t before = model->program().array().size();
    view().perform(Action::Copy);
    view().perform(Action::Cut);
    EXPECT_EQ(model->program().array().size(), before - static_cast<std::size_t>(selected.length));
    view().perform(Action::Paste);
    EXPECT_EQ(model->program().array().size(), before);
}

TEST_P(ProgramEditorScreenTest, ASampleProgramOffersOnlyCopyAndSelecting)
{
    const std::vector<std::string> samples = model->programListOf(2);
    ASSERT_FALSE(samples.empty());
    model->loadProgram(samples.front());
    screen->focus(true);
    view().longPress(ProgramEditView::Press::Began, cell(0, 2));
    view().longPress(ProgramEditView::Press::Ended, cell(0, 4));
    using Action = ProgramEditView::Action;
    for (const Action action : view().actions())
        EXPECT_TRUE(action == Action::Copy || action == Action::SelectAll || action == Action::Select);
}

// Runs of inked pixel columns between two x positions, on the rows given: separate marks.
int inkRuns(const QImage& image, double from, double to, int top, int bottom)
{
    int runs = 0;
    bool inked = false;
    for (int x = static_cast<int>(from); x < static_cast<int>(to); ++x) {
        bool dark = false;
        for (int y = top; y <= bottom && !dark; ++y)
            dark = qGray(image.pixel(x, y)) < 110;
        runs += dark && !inked;
        inked = dark;
    }
    return runs;
}

// A program of 2 000 lines redraws only what shows, its last lines drawn where they show;
// no crash at zero size.
TEST_P(ProgramEditorScreenTest, ALongProgramAndAZeroSizeViewDraw)
{
    std::string text;
    for (int k = 0; k < 2000; ++k)
        text += "Disp " + std::to_string(k) + "\n";
    open(text);
    model->setPrgmEditCursor(static_cast<int>(model->program().array().size()));
    view().makeCursorVisible();
    EXPECT_GT(view().firstLine(), 1900);
    const QImage image = picture();
    ASSERT_FALSE(image.isNull());
    // The last statement, "Disp 1999", is drawn on its line: five letters and digits
    // after "Disp" and the colon.
    const int shownLine = model->numLines() - 2 - view().firstLine();
    ASSERT_GE(shownLine, 0);
    const QPointF from = cell(model->numLines() - 2, 1);
    const QPointF to = cell(model->numLines() - 2, 9);
    const int top = static_cast<int>(shownLine * view().leading() + view().leading() * 0.2);
    const int bottom = static_cast<int>(shownLine * view().leading() + view().leading() * 0.8);
    EXPECT_EQ(inkRuns(image, from.x() - view().charWidth() / 2, to.x() + view().charWidth() / 2, top, bottom), 8);
    view().resize(0, 0);
    EXPECT_NO_FATAL_FAILURE(view().grab());
}

// The debugger: its panel starts with "ANS ", s steps, a held Step repeats after 0.5 s
// then every 0.05 s, and a step that fails stops the repeat.
TEST_P(ProgramEditorScreenTest, TheDebuggerStepsAndRepeatsAHeldStep)
{
    open("1->A\n2->A\n3->A");
    model->setDebug(true);
    ProgramDebuggerScreen debugger(calc, *model);
    showDebugger(debugger);
    const std::vector<std::string> vars = debugger.varsView().lines();
    ASSERT_FALSE(vars.empty());
    EXPECT_EQ(vars.front().substr(0, 4), "ANS ");
    EXPECT_EQ(debugger.nameLabel().text(), "Debug:P");
    EXPECT_GT(debugger.displayHeight(), 0);
    EXPECT_TRUE(debugger.stepButton().isVisible());
    EXPECT_GE(debugger.stepButton().y(), debugger.displayHeight());
    // A step at the end of the program fails: nothing repeats.
    const int end = static_cast<int>(model->program().array().size());
    model->setPrgmEditCursor(end);
    debugger.stepPressed();
    EXPECT_FALSE(debugger.repeatTimer().isActive());
    model->setPrgmEditCursor(0);
    debugger.stepPressed();
    // Each step's report moves the cursor: it is taken before the test moves it.
    ASSERT_TRUE(settle());
    EXPECT_EQ(calc.getVar(0).value.real(), 1);
    EXPECT_TRUE(debugger.repeatTimer().isActive());
    EXPECT_EQ(debugger.repeatTimer().interval(), ProgramDebuggerScreen::kFirstRepeatMs);
    debugger.autoKey();
    ASSERT_TRUE(settle());
    EXPECT_EQ(calc.getVar(0).value.real(), 2);
    EXPECT_EQ(debugger.repeatTimer().interval(), ProgramDebuggerScreen::kRepeatMs);
    model->setPrgmEditCursor(end);
    debugger.autoKey();
    ASSERT_TRUE(settle());
    // A step at the end ends the run still going; the step after it fails and stops the
    // repeat.
    EXPECT_EQ(model->runStartedIn(), "");
    debugger.autoKey();
    ASSERT_TRUE(settle());
    EXPECT_FALSE(debugger.repeatTimer().isActive());
    EXPECT_EQ(model->prgmEditCursor(), end);
    debugger.stepReleased();
    // Quit leaves debug mode.
    debugger.done();
    EXPECT_FALSE(model->debug());
}

// The store arrow keeps off the letters beside it: "2", "→" and "A" are three marks.
TEST_P(ProgramEditorScreenTest, TheStoreArrowsHeadKeepsOffTheNextLetter)
{
    open("2->A");
    const QImage image = picture();
    const double w = view().charWidth();
    const int top = static_cast<int>(view().leading() * 0.2);
    const int bottom = static_cast<int>(view().leading() * 0.8);
    EXPECT_EQ(inkRuns(image, view().leftMargin() + 1 * w, view().leftMargin() + 4 * w, top, bottom), 3);
}

// In the debugger the line numbers stand out from the band they are drawn on.
TEST_P(ProgramEditorScreenTest, TheDebuggersLineNumbersAreReadable)
{
    open("1->A\nIf A\nDisp A");
    model->setDebug(true);
    ProgramDebuggerScreen debugger(calc, *model);
    showDebugger(debugger);
    ProgramEditView& edit = debugger.editView();
    const QImage image = edit.grab().toImage();
    for (int n = 0; n < 3; ++n) {
        const double right = edit.leftMargin() + model->indentForLine(n) * edit.charWidth();
        const QRect number(static_cast<int>(right - 2 * edit.charWidth()), static_cast<int>(n * edit.leading() + 2),
                           static_cast<int>(2 * edit.charWidth() - 2), static_cast<int>(edit.leading() - 4));
        EXPECT_GT(textContrast(image, number), 3.0) << "line " << n;
    }
}

// s and S are the debugger's only letter keys: R neither runs nor D leaves.
TEST_P(ProgramEditorScreenTest, OnlySAndCapitalSAreTheDebuggersKeys)
{
    open("1->A\n2->A\n3->A");
    model->setDebug(true);
    ProgramDebuggerScreen debugger(calc, *model);
    showDebugger(debugger);
    const auto press = [&](const QString& text) {
        QKeyEvent key(QEvent::KeyPress, text.isEmpty() ? 0 : text.at(0).toUpper().unicode(), Qt::NoModifier, text);
        QCoreApplication::sendEvent(&debugger, &key);
        return settle();
    };
    model->setPrgmEditCursor(0);
    ASSERT_TRUE(press(QStringLiteral("R")));
    ASSERT_TRUE(press(QStringLiteral("D")));
    EXPECT_EQ(calc.getVar(0).value.real(), 0);
    EXPECT_TRUE(model->debug());
    EXPECT_TRUE(debugger.isVisible());
    ASSERT_TRUE(press(QStringLiteral("s")));
    EXPECT_EQ(calc.getVar(0).value.real(), 1);
    ASSERT_TRUE(press(QStringLiteral("S")));
    EXPECT_EQ(calc.getVar(0).value.real(), 2);
    EXPECT_TRUE(model->debug());
}

// Each s, S or press of Step is one step, however quick: those that come while a step still
// runs are taken as the steps come back.
TEST_P(ProgramEditorScreenTest, QuickStepsAreEachOneStep)
{
    open("1->A\n2->A\n3->A\n4->A\n5->A");
    model->setDebug(true);
    ProgramDebuggerScreen debugger(calc, *model);
    showDebugger(debugger);
    model->setPrgmEditCursor(0);
    for (const char* text : {"s", "s", "S"}) {
        QKeyEvent key(QEvent::KeyPress, QChar(text[0]).toUpper().unicode(), Qt::NoModifier, QString::fromLatin1(text));
        QCoreApplication::sendEvent(&debugger, &key);
    }
    debugger.stepPressed();
    debugger.stepReleased();
    ASSERT_TRUE(settle());
    EXPECT_EQ(calc.getVar(0).value.real(), 4);
    EXPECT_TRUE(model->debug());
}

// The variables panel formats values 8 wide, with the significance pair in significant-
// figure mode, and leaves the home screen's width as it was; the built-in lists the program
// uses show with their values among the variables, the named lists after them.
TEST_P(ProgramEditorScreenTest, TheVariablesPanelFormatsNarrowWithTheSignificancePair)
{
    open("1/3->B\nA+B->C\n{1,2}->L₁\n{3,4}->ʟAB\nL₆");
    model->setDebug(true);
    calc.setVar(0, {1.5, 3, -2});
    calc.setVar(1, {1.0 / 3, 15, -15});
    {
        auto state = calc.locked();
        state->lists.insert_or_assign("L₁", test::reals({1, 2.5}));
        state->lists.insert_or_assign("AB", test::reals({3, 4}));
        state->lists.erase("L₆");
    }
    ProgramDebuggerScreen debugger(calc, *model);
    showDebugger(debugger);
    const std::vector<std::string> plain = debugger.varsView().lines();
    EXPECT_EQ(plain, (std::vector<std::string>{plain.at(0), "A 1.5", "B 0.333333", "C 0", "L₁ {1 2.5}", "L₆ ", "ʟAB {3 4}"}));
    {
        auto state = calc.locked();
        state->answerFormat = 3;
    }
    const std::vector<std::string> marked = debugger.varsView().lines();
    ASSERT_EQ(marked.size(), 7u);
    EXPECT_EQ(marked[1], "A 1.5 [3:-2]");
    EXPECT_EQ(marked[3], "C 0 [15:-15]");
    EXPECT_EQ(marked[4], "L₁ {1 2.5}");
    // The shared formatter keeps its width.
    EXPECT_EQ(calc.numberFormatter().settings.maxWidth, 15);
    EXPECT_EQ(calc.formatReal(1.0 / 3), ".3333333333");
}

// What is no number in its slot (a list, an equation, a word) reads as the variables menu
// lists it, not as a 0.
TEST_P(ProgramEditorScreenTest, TheVariablesPanelListsTheVariablesThatAreNoNumberAsTheMenuDoes)
{
    open(Ops{0x632A, ProgramTokens::kNewLine, 0x6201, ProgramTokens::kNewLine, 0x633A});
    model->setDebug(true);
    {
        auto state = calc.locked();
        state->tableList.addReal(4, 15, -15);
    }
    ProgramDebuggerScreen debugger(calc, *model);
    showDebugger(debugger);
    const std::vector<std::string> lines = debugger.varsView().lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "RegEq ");
    EXPECT_EQ(lines[2], "TblInput {4}");
    EXPECT_EQ(lines[3], "begin/end end");
    calc.setVar(VariableSlots::varNumFromOpcode(0x633A), {0.0, 15, -15});
    EXPECT_EQ(debugger.varsView().lines()[3], "begin/end begin");
}

INSTANTIATE_TEST_SUITE_P(Devices, ProgramEditorScreenTest, ::testing::Values(0, 1),
    [](const ::testing::TestParamInfo<int>& info) { return std::string(info.param == 1 ? "tablet" : "phone"); });

} // namespace
} // namespace orvenda::test
