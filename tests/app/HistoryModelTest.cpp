#include "AppTestSupport.h"

#include "core/Operand.h"

namespace orvenda::test {
namespace {

using History = HomeTest;

Operand real() { return operandOf(KindReal); }

// Classic lines an item takes: its input's text over 32 columns, at most 8 result lines.
int expectedLines(int inputChars, int resultLines)
{
    return (inputChars == 0 ? 0 : inputChars / 32 + 1) + std::min(resultLines, 8);
}

TEST_F(History, KeepsTheNewest100WithTotalsThatAreTheirSums)
{
    int expected = 0;
    for (int k = 0; k < 101; ++k) {
        const Ops input(static_cast<std::size_t>(k % 40), 0x31);
        std::string result = "1";
        for (int line = 0; line < k % 11; ++line)
            result += "\n2";
        Operand record = real();
        history->addEntry(input, result, 0, record);
        if (k > 0)
            expected += expectedLines(k % 40, k % 11 + 1);
    }
    ASSERT_EQ(history->history().size(), 100u);
    EXPECT_EQ(history->history().front().entry, Ops(1, 0x31));
    EXPECT_EQ(history->numLines(), expected);
}

TEST_F(History, OverflowAndUndefinedResults)
{
    Operand record = real();
    history->addEntry({0x31}, "INF", 0, record);
    EXPECT_EQ(history->lastResult(), "Overflow");
    EXPECT_EQ(history->history().back().resultType, 44);
    EXPECT_EQ(record.kind, KindError);
    EXPECT_FALSE(history->history().back().resultIsNum);

    record = real();
    history->addEntry({0x31}, "NAN", 0, record);
    EXPECT_EQ(history->lastResult(), "NAN");
    EXPECT_EQ(history->history().back().resultType, 44);

    record = operandOf(KindWidgetAdded);
    history->addEntry({0x31}, "1", 0, record);
    EXPECT_EQ(history->history().size(), 2u);
}

TEST_F(History, ALongResultCountsEightLines)
{
    Operand record = operandOf(KindOneVarStats);
    std::string text = "a";
    for (int k = 1; k < 12; ++k)
        text += "\nline";
    history->addEntry({0x31, 0x70, 0x32}, text, 1, record);
    EXPECT_EQ(history->numLines(), 1 + 8);
    EXPECT_EQ(history->history().back().height, 12);
    EXPECT_EQ(history->history().back().width, 4);
}

TEST_F(History, SelectionWalksInputsAndAnswers)
{
    Posted posted(bus, {VQHistorySelectionChanged});
    history->cursorUp();
    EXPECT_EQ(posted.count(VQHistorySelectionChanged), 0) << "an empty history has nothing to select";
    for (int k = 0; k < 2; ++k) {
        Operand record = real();
        history->addEntry({0x31}, "1", 0, record);
    }
    using Sel = std::pair<int, int>;
    auto selection = [&] { return Sel{history->selectedEntry(), history->selectedKind()}; };
    const std::vector<Sel> up = {{1, 1}, {1, 0}, {0, 1}, {0, 0}, {0, 0}};
    for (const Sel& expected : up) {
        history->cursorUp();
        EXPECT_EQ(selection(), expected);
    }
    const std::vector<Sel> down = {{0, 1}, {1, 0}, {1, 1}, {-1, 1}, {-1, 1}};
    for (const Sel& expected : down) {
        history->cursorDown();
        EXPECT_EQ(selection(), expected);
    }
    EXPECT_EQ(posted.count(VQHistorySelectionChanged), 10);
}

TEST_F(History, SelectedOpsAreTheInputOrTheAnswer)
{
    Operand record = operandOf(KindRealList);
    history->addEntry({0x31, 0x70, 0x32}, "{3 -4}", 0, record);
    history->cursorUp();
    EXPECT_EQ(history->selectedOps(), (Ops{0x08, 0x33, 0x2B, 0xB0, 0x34, 0x09}));
    history->cursorUp();
    EXPECT_EQ(history->selectedOps(), (Ops{0x31, 0x70, 0x32}));
    history->cursorDown();
    history->cursorDown();
    EXPECT_EQ(history->selectedOps(), std::nullopt);
}

TEST_F(History, DeletingKeepsTheTotalsAndAValidSelection)
{
    for (const char* result : {"1", "2\n3", "4"}) {
        Operand record = real();
        history->addEntry({0x31}, result, 0, record);
    }
    history->setSelectedEntry(2);
    history->deleteEntry();
    EXPECT_EQ(history->selectedEntry(), 1);
    EXPECT_EQ(history->numLines(), 2 + 3);
    history->deleteEntry();
    history->deleteEntry();
    EXPECT_EQ(history->selectedEntry(), -1);
    EXPECT_EQ(history->numLines(), 0);
    EXPECT_EQ(history->lastResult(), "");

    Operand record = real();
    history->addEntry({0x31}, "1", 0, record);
    history->setSelectedEntry(0);
    history->clearAll();
    EXPECT_EQ(history->selectedEntry(), -1);
}

TEST_F(History, TemplateIdsOfAMerge)
{
    EXPECT_EQ(HistoryModel::nextTemplateID({0x10010, 0x31, 0x30011}), 2u);
    EXPECT_EQ(HistoryModel::nextTemplateID({0x31}), 1u);

    Ops ops{0x10010, 0x20010, 0x31, 0x20011, 0x10011};
    HistoryModel::renumberOpsForMergeWith(ops, {0x100F0, 0x32});
    EXPECT_EQ(ops, (Ops{0x20010, 0x30010, 0x31, 0x30011, 0x20011}));
    Ops plain{0x10010, 0x31};
    HistoryModel::renumberOpsForMergeWith(plain, {0x32});
    EXPECT_EQ(plain, (Ops{0x10010, 0x31}));
}

TEST_F(History, ArchiveRoundTrip)
{
    for (const char* result : {"1", "{1 2}"}) {
        Operand record = operandOf(result[0] == '{' ? KindRealList : KindReal);
        history->addEntry({0x31, 0x70, 0x32}, result, 0, record);
    }
    history->setSelectedEntry(1);
    history->setSelectedKind(HistoryModel::kInput);
    HistoryModel restored(calc);
    restored.decode(history->encode());
    EXPECT_EQ(restored.encode(), history->encode());
}

TEST_F(History, DamagedArchivesDecodeToAValidHistory)
{
    nlohmann::json items = nlohmann::json::array();
    for (int k = 0; k < 150; ++k)
        items.push_back({{"en", {0x31}}, {"re", "1"}, {"nl", 2}});
    items.push_back("junk");
    const nlohmann::json archives[] = {
        {{"nl", 99}, {"hi", items}, {"se", 400}, {"sk", 7}},
        {{"nl", "x"}, {"hi", {{{"nl", -5}, {"psz", {-1, std::numeric_limits<double>::infinity()}}}}}, {"se", 0}},
        nlohmann::json::array(),
    };
    for (const nlohmann::json& archive : archives) {
        HistoryModel model(calc);
        model.decode(archive);
        int sum = 0;
        for (const HistoryEntry& item : model.history())
            sum += item.numLines;
        EXPECT_LE(model.history().size(), 100u);
        EXPECT_EQ(model.numLines(), sum);
        EXPECT_GE(model.selectedEntry(), -1);
        EXPECT_LT(model.selectedEntry(), static_cast<int>(model.history().size()));
        EXPECT_TRUE(model.selectedKind() == 0 || model.selectedKind() == 1);
        model.cursorUp();
        model.deleteEntry();
    }
}

} // namespace
} // namespace orvenda::test

namespace orvenda::test {
namespace {

TEST_F(History, MathPrintSizesAddUpToTheHistorysSize)
{
    calc.locked()->mathPrint = true;
    Operand record = operandOf(KindReal);
    history->addEntry({0x31, 0xEF38, 0x32}, "1/2", 0, record);
    record = operandOf(KindDone);
    history->addEntry({0x31}, "Done", 0, record);
    const HistoryEntry& fraction = history->history()[0];
    const HistoryEntry& done = history->history()[1];
    EXPECT_EQ(fraction.entry, PrettyPrint::beautifyOps({0x31, 0xEF38, 0x32}));
    EXPECT_GT(fraction.prettySize.height, 0);
    EXPECT_GT(fraction.pAnswerSize.height, 0);
    // A text answer is a line of the base font, at least 320 wide.
    EXPECT_EQ(done.pAnswerSize, (HistoryEntry::Size{320, calc.baseFontSize}));
    const double height = fraction.prettySize.height + fraction.pAnswerSize.height + done.prettySize.height + 20;
    EXPECT_DOUBLE_EQ(history->prettySize().height, height);
    history->recomputeDepth();
    EXPECT_DOUBLE_EQ(history->prettySize().height, height);
}

// A program's screen is text whatever value the program ended with: nothing to paste back
// as a number, and in MathPrint no wider than the narrowest answer (it is drawn to fit).
TEST_F(History, AProgramsScreenIsTextWhateverItsLastValue)
{
    calc.locked()->mathPrint = true;
    const std::string screen = std::string(31, ' ') + "1\n" + std::string(31, ' ') + "4";
    Operand record = operandOf(KindReal);
    history->addEntry({0x5F, 0x53, 0x51}, screen, HistoryEntry::kProgramScreen, record);
    const HistoryEntry& item = history->history().back();
    EXPECT_EQ(item.result, screen);
    EXPECT_FALSE(item.resultIsNum);
    EXPECT_FALSE(item.answerOps);
    EXPECT_FALSE(item.resultOps());
    EXPECT_TRUE(item.startsAtLeft());
    EXPECT_EQ(item.width, 32);
    EXPECT_EQ(item.pAnswerSize, (HistoryEntry::Size{HistoryEntry::kMinAnswerWidth, 2 * calc.baseFontSize}));
    // Kept as a screen across launches.
    const HistoryEntry back = HistoryEntry::decode(calc, item.encode());
    EXPECT_EQ(back.resultType, HistoryEntry::kProgramScreen);
    EXPECT_EQ(back.result, screen);
}

// A polar answer keeps the angle unit it was shown in, across launches too; other answers
// store none.
TEST_F(History, APolarAnswerKeepsItsAngleUnit)
{
    calc.setAngleFormat(0);
    Operand record = operandOf(KindComplex);
    history->addEntry({0x31}, "2e^(45ɩ̇)", HistoryEntry::kValue, record);
    record = operandOf(KindReal);
    history->addEntry({0x31}, "5", HistoryEntry::kValue, record);
    const HistoryEntry& polar = history->history()[0];
    EXPECT_EQ(polar.angleFormat, 0);
    calc.setAngleFormat(1);
    EXPECT_EQ(HistoryEntry::decode(calc, polar.encode()).angleFormat, 0);
    EXPECT_FALSE(history->history()[1].encode().contains("au"));
    nlohmann::json archive = polar.encode();
    for (const nlohmann::json& bad : {nlohmann::json(3), nlohmann::json(-1), nlohmann::json("0")}) {
        archive["au"] = bad;
        EXPECT_EQ(HistoryEntry::decode(calc, archive).angleFormat, -1) << bad;
    }
}

} // namespace
} // namespace orvenda::test
