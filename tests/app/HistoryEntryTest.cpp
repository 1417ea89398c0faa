#include "AppTestSupport.h"

#include "core/Operand.h"
#include "eval/Parser.h"

namespace orvenda::test {
namespace {

using Answer = HomeTest;

HistoryEntry numeric(const Calculator& calc, const std::string& result)
{
    HistoryEntry item(calc);
    item.result = result;
    item.resultIsNum = true;
    return item;
}

TEST(HistoryEntryText, NumberTextBecomesTwoDimensionalOps)
{
    struct Case {
        const char* text;
        int formatting;
        Ops ops;
    };
    const Case cases[] = {
        {"3/4", 1, {0x10010, 0x33, 0x10011, 0x1EF38, 0x10010, 0x34, 0x10011}},
        {"-12/5", 1, {0xB0, 0x10010, 0x31, 0x32, 0x10011, 0x1EF38, 0x10010, 0x35, 0x10011}},
        {"2³/₄", 1, {0x32, 0x1EF39, 0x10010, 0x33, 0x10011, 0x1EF38, 0x10010, 0x34, 0x10011}},
        {"2␣3/4", 1, {0x32, 0x1EF39, 0x10010, 0x33, 0x10011, 0x1EF38, 0x10010, 0x34, 0x10011}},
        {"1/2+3/4", 1,
         {0x10010, 0x31, 0x10011, 0x1EF38, 0x10010, 0x32, 0x10011, 0x70,
          0x10010, 0x33, 0x10011, 0x1EF38, 0x10010, 0x34, 0x10011}},
        {"1.5ᴱ-7", 1, {0x31, 0x3A, 0x35, 0x3B, 0xB0, 0x37}},
        {"2e^(-3ɩ̇)", 1, {0x32, 0xBB31, 0x200F0, 0x20010, 0xB0, 0x33, 0x2C, 0x20011}},
        {"1-2ɩ̇", 1, {0x31, 0x71, 0x32, 0x2C}},
        {"1,000 2", 0, {0x31, 0x2B, 0x30, 0x30, 0x30, 0x29, 0x32}},
        {"1,000 2", 1, {0x31, 0x30, 0x30, 0x30, 0x32}},
        {"1101b", 1, {0x31, 0x31, 0x30, 0x31, 0xBBF8}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HistoryEntry::numStrToPrettyOps(c.text, c.formatting), c.ops) << c.text;
}

// A program's value placed at the right of its screen is told by its columns: the dot
// over the imaginary unit is drawn over its letter and takes none.
TEST(HistoryEntryText, AScreenLineEndsRightByItsColumnsNotItsCharacters)
{
    const auto after = [](std::size_t blanks, std::u32string_view text) {
        std::u32string line(blanks, U' ');
        return line.append(text);
    };
    EXPECT_TRUE(HistoryEntry::screenLineEndsRight(after(27, U"12345")));
    EXPECT_TRUE(HistoryEntry::screenLineEndsRight(after(28, U"2+3\u0269\u0307")));
    EXPECT_FALSE(HistoryEntry::screenLineEndsRight(after(27, U"2+3\u0269\u0307")));
    EXPECT_FALSE(HistoryEntry::screenLineEndsRight(std::u32string(U"HELLO").append(27, U' ')));
}

TEST_F(Answer, ListsAndMatricesBecomeTheirOps)
{
    EXPECT_EQ(numeric(calc, "{1 -2}").answerAsOps(1), (Ops{0x08, 0x31, 0x2B, 0xB0, 0x32, 0x09}));
    EXPECT_EQ(numeric(calc, "{1 -2}").answerAsOps(0), (Ops{0x08, 0x31, 0x29, 0xB0, 0x32, 0x09}));
    EXPECT_EQ(numeric(calc, "[[1 2]\n [3 4]]").answerAsOps(1),
        (Ops{0x10006, 0x10006, 0x31, 0x1002B, 0x32, 0x10007, 0x10006, 0x33, 0x1002B, 0x34, 0x10007, 0x10007}));
    HistoryEntry text(calc);
    text.result = "Done";
    EXPECT_EQ(text.answerAsOps(1), std::nullopt);
}

TEST_F(Answer, PlainResultTextHasNoSuperscriptsOrSubscripts)
{
    EXPECT_EQ(numeric(calc, "2³/₄").result84(), "2␣3／4");
    EXPECT_EQ(numeric(calc, "¹²/₃₅").result84(), "12／35");
    EXPECT_EQ(numeric(calc, "5").result84(), "5");
}

// A pasted answer evaluates back to the answer it came from.
TEST_F(Answer, OneLineAnswerOpsEvaluateToTheAnswer)
{
    const std::pair<const char*, int> cases[] = {
        {"{-1 2.5 1ᴱ-20}", KindRealList},
        {"[[-1 22.5] \n [3  4   ]]", KindMatrix},
        {"1-2ɩ̇", KindComplex},
        {"-4", KindReal},
    };
    calc.setRealCplxMode(1);
    for (auto [text, kind] : cases) {
        HistoryEntry item = numeric(calc, text);
        auto ops = item.resultOps();
        ASSERT_TRUE(ops) << text;
        Operand value = calc.parser().eval(*ops, false);
        EXPECT_EQ(calc.parser().error(), 0) << text;
        EXPECT_EQ(value.kind, kind) << text;
        EXPECT_EQ(calc.formatOperand(value), text);
        calc.parser().setError(0);
    }
}

TEST_F(Answer, ScreenCaptureHoldsInputAndResult)
{
    HistoryEntry item = numeric(calc, "5");
    item.entry = {0x32, 0x70, 0x33};
    EXPECT_EQ(item.screenCapture(), "<screenShot>2+3\n5</screenShot>");
}

} // namespace
} // namespace orvenda::test
