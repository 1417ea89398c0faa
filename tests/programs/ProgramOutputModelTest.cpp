// The program output screen's text: results, Output(, prompts and the answer typed after
// them, menus, break lines and the screen's text captures.

#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/VQMenu.h"
#include "eval/MenuObject.h"
#include "language/Utf8.h"
#include "eval/ProgramTokens.h"
#include "programs/ProgramOutputModel.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

class ProgramOutputModelTest : public ::testing::Test {
protected:
    ProgramOutputModelTest() : calc(kUS), model(calc)
    {
        calc.notificationCenter().addObserver(this, VQUpdatePgmOutput, [this](const Notification&) { ++updates; });
        calc.programRunning = true;
        // The program's question is answered on its output, in front.
        calc.setCurrentScreen(11);
    }
    ~ProgramOutputModelTest() override { calc.notificationCenter().removeObserver(this); }

    static std::string right(const std::string& text)
    {
        return std::string(32 - Utf8::codePointCount(text), ' ') + text;
    }
    Operand real(double x)
    {
        Operand op;
        op.kind = KindReal;
        op.value = x;
        op.displayMod = 3;
        return op;
    }
    Operand string(const std::string& text)
    {
        Operand op;
        op.kind = KindString;
        VQString ops;
        for (std::size_t i = 0; i < text.size();)
            ops.push_back(calc.opCodeForChar(Utf8::next(text, i)));
        op.string = ops;
        return op;
    }
    // Output(row, column, value) with alignment 0 (left), 1 (centre) or 2 (right).
    Operand placed(Operand value, int column, int row, int align = 0)
    {
        Operand op = value;
        op.ints[2] = value.kind;
        op.kind = KindOutput;
        op.ints[0] = column;
        op.ints[1] = row;
        op.ints[3] = align;
        return op;
    }
    std::vector<std::string> lines() const
    {
        std::vector<std::string> out;
        for (int n = 0; n < ProgramOutputModel::kLines; ++n)
            out.push_back(model.line(n));
        return out;
    }

    Calculator calc;
    ProgramOutputModel model;
    int updates = 0;
};

TEST_F(ProgramOutputModelTest, ResultsScrollAtTheLastLineKeepingTheLastTen)
{
    for (int k = 1; k <= 11; ++k)
        model.displayOp(real(k));
    EXPECT_EQ(model.line(0), right("2"));
    EXPECT_EQ(model.line(9), right("11"));
    EXPECT_EQ(updates, 11);
    // The next line scrolls only once something is written on it.
    model.displayResult("Done", 0);
    EXPECT_EQ(model.line(0), right("3"));
    EXPECT_EQ(model.line(9), right("Done"));
    // Strings are left-aligned; a many-line text takes one line each.
    model.displayOp(string("HI"));
    EXPECT_EQ(model.line(9), "HI");
    model.clearHome();
    EXPECT_EQ(model.done(), "");
    EXPECT_EQ(model.cursorPosition().row, 0);
}

// The dot over the imaginary unit and the significant-figure underline are drawn over the
// letter before them: a right-aligned value holding them still ends in the last column.
TEST_F(ProgramOutputModelTest, CombiningMarksTakeNoColumnOfTheirOwn)
{
    const std::string complex = "2+3\u0269\u0307";
    model.displayResult(complex, 0);
    EXPECT_EQ(model.line(0), std::string(28, ' ') + complex);
    const std::string marked = "1.5\u0332";
    model.displayResult(marked, 0);
    EXPECT_EQ(model.line(1), std::string(29, ' ') + marked);
    model.displayResult(complex, 2);
    EXPECT_EQ(model.line(2), std::string(28, ' ') + complex);
}

TEST_F(ProgramOutputModelTest, OutputWritesInPlaceAndIgnoresPlacesOffTheScreen)
{
    model.output("HELLO WORLD", 1, 1);
    model.output("XY", 33, 1);
    model.output("XY", 1, 0);
    model.output("XY", 1, 11);
    EXPECT_EQ(model.line(0), "HELLO WORLD");
    // Column 1 starts the text at the line's first character; the rest of the line goes.
    model.output("AB", 1, 1);
    EXPECT_EQ(model.line(0), "AB");
    // A later column pads with blanks; a text too long is cut at column 32.
    model.output("LONGER TEXT", 28, 2);
    EXPECT_EQ(model.line(1), std::string(27, ' ') + "LONGE");
    // Output( of a value: centred and right-aligned on the column, cut on the left.
    model.displayOp(placed(real(12345), 5, 3, 1));
    EXPECT_EQ(model.line(2), "  12345");
    model.displayOp(placed(real(12345), 3, 4, 2));
    EXPECT_EQ(model.line(3), "45");
    model.displayOp(placed(real(7), 33, 5));
    EXPECT_EQ(model.line(4), "");
    // The cursor does not move for Output(.
    EXPECT_EQ(model.cursorPosition().row, 0);
}

// A program's Output( writes over the line and keeps the rest of it; a text that reaches
// past column 31 goes on at the start of the next line, and nothing is written below the
// last line.
TEST_F(ProgramOutputModelTest, AProgramsOutputWritesOverTheLineAndWrapsAfterColumnThirtyOne)
{
    model.displayOp(placed(string("HELLO WORLD"), 1, 1));
    model.displayOp(placed(string("AB"), 1, 1));
    EXPECT_EQ(model.line(0), "ABLLO WORLD");
    model.displayOp(placed(string("XY"), 20, 1));
    EXPECT_EQ(model.line(0), "ABLLO WORLD        XY");
    model.displayOp(placed(string("12345"), 29, 2));
    EXPECT_EQ(model.line(1), std::string(28, ' ') + "123");
    EXPECT_EQ(model.line(2), "45");
    // The wrapped part writes over the next line's start and keeps the rest of it.
    model.displayOp(placed(string("ABCDEFGHIJ"), 29, 3));
    EXPECT_EQ(model.line(2), "45" + std::string(26, ' ') + "ABC");
    EXPECT_EQ(model.line(3), "DEFGHIJ");
    model.displayOp(placed(string("QRSTUV"), 28, 10));
    EXPECT_EQ(model.line(9), std::string(27, ' ') + "QRST");
    // Column 32 is written when the text starts there.
    model.displayOp(placed(string("Z"), 32, 5));
    EXPECT_EQ(model.line(4), std::string(31, ' ') + "Z");
    EXPECT_EQ(model.cursorPosition().row, 0);
}

// What wraps below the last line is lost, never written past the screen's lines: the
// program's name and the prompt kept beside them stay as they were.
TEST_F(ProgramOutputModelTest, AnOutputWrappingBelowTheLastLineWritesNothingPastIt)
{
    model.startProgram("WRAPPING");
    model.displayOp(placed(string("12345678901234567890"), 20, 10));
    model.displayOp(placed(string("ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQRSTUVWXYZ"), 1, 10));
    model.displayOp(placed(string("12"), 31, 10));
    EXPECT_EQ(model.line(9), "ABCDEFGHIJKLMNOPQRSTUVWXYZABCD1");
    EXPECT_EQ(model.programName(), "WRAPPING");
    for (int n = 0; n < ProgramOutputModel::kLines - 1; ++n)
        EXPECT_EQ(model.line(n), "") << n;
    EXPECT_FALSE(model.promptString());
    // A long name, kept outside the string itself, too.
    model.startProgram(std::string(40, 'N'));
    model.displayOp(placed(string(std::string(200, 'Q')), 1, 9));
    EXPECT_EQ(model.programName(), std::string(40, 'N'));
    EXPECT_EQ(model.line(8), std::string(31, 'Q'));
    EXPECT_EQ(model.line(9), std::string(31, 'Q'));
}

TEST_F(ProgramOutputModelTest, APromptAndALongAnswerWrapAtThirtyTwoColumns)
{
    model.displayOp(real(1));
    Operand request;
    request.string = VQString{'A', ProgramTokens::kEqual, ProgramTokens::kQuestionMark};
    model.inputPrompt(request);
    EXPECT_EQ(model.line(1), "A=?");
    EXPECT_EQ(model.promptString(), "A=?");
    model.updateEntryText("", {0, 0});
    EXPECT_EQ(model.cursorPosition().column, 3);
    const std::string answer(40, '7');
    model.updateEntryText(answer, {40, 0});
    EXPECT_EQ(model.line(1), "A=?" + std::string(29, '7'));
    EXPECT_EQ(model.line(2), std::string(11, '7'));
    EXPECT_EQ(model.cursorPosition().row, 2);
    EXPECT_EQ(model.cursorPosition().column, 11);
    // DEL back to a short answer clears the second line.
    model.updateEntryText("42", {2, 0});
    EXPECT_EQ(model.line(1), "A=?42");
    EXPECT_EQ(model.line(2), "");
    // The answer stays on the screen; the next result goes below it.
    model.newLine();
    model.displayOp(real(84));
    EXPECT_EQ(model.line(2), right("84"));
    EXPECT_EQ(model.promptString(), std::nullopt);
}

// While no program runs the entry line is the home screen's, and while another screen is in
// front (the graph's value form, a field) that screen's: the output keeps its text.
TEST_F(ProgramOutputModelTest, TheHomeScreensTypingDoesNotReachTheOutput)
{
    model.displayOp(real(5));
    Operand request;
    request.string = VQString{'A', ProgramTokens::kEqual, ProgramTokens::kQuestionMark};
    model.inputPrompt(request);
    calc.setCurrentScreen(8);
    model.updateEntryText("7", {1, 0});
    model.setEntryCursor({1, 0}, true);
    EXPECT_EQ(model.shownLines(), (std::vector<std::string>{"5", "A=?"}));
    calc.setCurrentScreen(11);
    calc.programRunning = false;
    model.updateEntryText("prgmA", {5, 0});
    model.setEntryCursor({5, 0}, true);
    EXPECT_EQ(model.shownLines(), (std::vector<std::string>{"5", "A=?"}));
}

TEST_F(ProgramOutputModelTest, ACursorPushedPastTheLastLineScrollsAndStaysOnIt)
{
    for (int k = 0; k < 9; ++k)
        model.displayOp(real(k));
    Operand request;
    request.string = VQString{'B', ProgramTokens::kEqual, ProgramTokens::kQuestionMark};
    model.inputPrompt(request);
    ASSERT_EQ(model.entryPosition().row, 9);
    model.setEntryCursor({40, 0}, true);
    EXPECT_EQ(model.cursorPosition().row, 9);
    EXPECT_EQ(model.cursorPosition().column, 11);
    EXPECT_EQ(model.line(8), "B=?");
    // Far past the screen, and an answer longer than the screen: no crash, the last lines kept.
    model.setEntryCursor({5000, 3}, true);
    EXPECT_EQ(model.cursorPosition().row, 9);
    model.updateEntryText(std::string(1000, 'X'), {1000, 0});
    EXPECT_EQ(model.line(9), std::string(1003 % 32, 'X'));
    EXPECT_EQ(model.line(8), std::string(32, 'X'));
    model.displayOp(string(std::string(5000, 'Y')));
    EXPECT_EQ(model.shownLines().back().size(), 5000u);
}

TEST_F(ProgramOutputModelTest, BreakAndErrorLinesStartOnAFreshLine)
{
    model.doBreakError(0);
    EXPECT_EQ(model.line(0), right("Break"));
    model.output("X", 1, 2);
    model.setCursorPosition({0, 1});
    model.doBreakError(43);
    EXPECT_EQ(model.line(1), "X");
    EXPECT_EQ(model.line(2), right(calc.formatError(43)));
}

TEST_F(ProgramOutputModelTest, AMenuCoversTheScreenAndClearingItRestoresItExactly)
{
    model.displayOp(real(1));
    model.displayOp(string("KEEP"));
    const auto before = lines();
    const auto cursor = model.cursorPosition();
    auto menu = std::make_shared<VQMenu>();
    menu->title = "CHOOSE";
    menu->prompts = {"ONE", "TWO"};
    menu->labels = {'A', 'B'};
    Operand record;
    record.kind = KindMenu;
    record.object = std::make_shared<MenuObject>(menu);
    model.showMenu(record);
    EXPECT_TRUE(calc.menuRunning);
    EXPECT_EQ(model.shownLines(), (std::vector<std::string>{"CHOOSE", "1:ONE", "2:TWO"}));
    EXPECT_TRUE(model.snapshot().menuShown);
    EXPECT_EQ(model.cursorPosition().row, 1);
    model.setCursorPosition({0, 2});
    EXPECT_EQ(model.cursorPosition().row, 2);
    model.clearMenu();
    EXPECT_EQ(lines(), before);
    EXPECT_EQ(model.cursorPosition().row, cursor.row);
    EXPECT_FALSE(model.snapshot().menuShown);
}

TEST_F(ProgramOutputModelTest, TextCapturesPadEveryLine)
{
    EXPECT_EQ(model.done(), "");
    model.displayOp(real(4));
    model.displayOp(string("AB"));
    EXPECT_EQ(model.done(), right("4") + "\n" + "AB" + std::string(30, ' '));
    const std::string shot = model.screenShot();
    EXPECT_EQ(shot.substr(0, 13), "<screenShot>\n");
    EXPECT_EQ(shot.substr(shot.size() - 14), "</screenShot>\n");
    EXPECT_EQ(shot.size(), 13u + 10u * 33u + 14u);
}

// The display form of a real follows the answer and fraction settings: fraction format 4
// is a mixed number, any other n/d.
TEST_F(ProgramOutputModelTest, FractionsFollowTheFractionFormat)
{
    Operand third = real(4.0 / 3.0);
    third.displayMod = 0;
    {
        auto state = calc.locked();
        state->answerFormat = 2;
        state->fractionFormat = 4;
    }
    model.displayOp(third);
    calc.locked()->fractionFormat = 3;
    model.displayOp(third);
    EXPECT_EQ(model.line(0), right(calc.formatReal(4.0 / 3.0, 2)));
    EXPECT_EQ(model.line(1), right(calc.formatReal(4.0 / 3.0, 1)));
    EXPECT_NE(model.line(0), model.line(1));
}

} // namespace
} // namespace orvenda::test
