#include "core/MemoryArchive.h"

#include "core/Calculator.h"

#include "AllocationHooks.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace orvenda;
using namespace orvenda::test;
using json = nlohmann::json;

namespace {

using Bytes = std::vector<std::uint8_t>;

json archiveOf(const Calculator& calc)
{
    return *MemoryArchive::parse(MemoryArchive::save(calc));
}

// Every archived field away from its factory value.
void changeEverything(Calculator& c)
{
    c.firstTime = false;
    c.locked()->numFormat = 2;
    c.locked()->fractionFormat = 1;
    c.locked()->answerFormat = 3;
    c.locked()->numDigits = 4;
    c.locked()->timeFormat = 1;
    c.locked()->dateFormat = 2;
    c.locked()->numBase = 1;
    c.locked()->thousandSeperator = u'\u2009';
    c.setAngleFormat(2);
    c.setGraphMode(3);
    c.locked()->graphXAxisLabelMode = 1;
    c.setRealCplxMode(2);
    c.locked()->regressionDiagnostic = true;
    c.locked()->tableMode = 1;
    c.locked()->screenSplit = 1;
    c.locked()->whiteBackground = true;
    c.locked()->backgroundColor = VQColor::colorR(0.25, 0.5, 0.75, 1);
    c.locked()->gridColor = VQColor::colorR(0.125, 0.25, 0.375, 1);
    c.locked()->axesColor = VQColor::colorR(0.5, 0.5, 0.0625, 1);
    c.locked()->textColor = 12;
    c.ans = VQValue::valWithString({0x41, 0x42});
    c.locked()->vars[0] = {1.5, -2};
    c.locked()->vars[217] = {std::nan(""), 3};
    c.locked()->varsSigFig[7] = 3;
    c.locked()->varsSigDec[7] = -2;
    c.locked()->tableList = reals({1, 2, 3});
    c.locked()->lists["L₁"] = figures({{1.25, 3, -2}});
    c.locked()->lists["ABC"] = complexes({{1, 2}});
    c.locked()->statEditList = {"ABC", "L₁"};
    c.locked()->solverEq = {0x41, 0x6A, 0x42};
    c.locked()->matrices[0] = matrixOf({{1, 2}, {3, 4}});
    c.locked()->matrices[9] = matrixOf({{5}});
    c.locked()->strings[0] = {0x2A, 0x41};
    c.locked()->strings[9] = {0x42};
    c.locked()->graphCoordFormat = 1;
    c.locked()->graphSequenceFormat = 4;
    c.locked()->drawGrid = c.locked()->drawAxes = c.locked()->drawLabel = c.locked()->drawExpr = c.locked()->drawCoord = false;
    c.locked()->drawDyDx = true;
    c.pdfPageSize = 2;
    c.entrySplit = 0.4;
    c.keyboardColorSet = 3;
    c.lcdColorSet = 2;
    c.bubbleHelp = false;
    c.lastPrgmName = "PRIME";
    c.sessions = 5'000'000'000;
    c.clickPref = false;
    c.locked()->mathPrint = false;
    c.baseFontSize = 33;
    c.testMode = 2;
    c.testStart = Calculator::TimePoint(std::chrono::seconds(1'700'000'000));
    c.polyState = 3;
    c.simulEqState = 2;
    c.simulMatrix = matrixOf({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
    c.userOps2 = {{0x31, 0x70, 0x32}};
    c.userNames2 = {"sum"};
    c.toFrom[0] = {1, 2};
    c.toFrom[11] = {3, 4};
    c.m_convClass = 5;
    c.m_lastTo = 6;
    UserKeySet extra("Mine", 1);
    extra.setOps({0xC2}, 3);
    c.uKeys.push_back(extra);
    c.userKeySetName = "Mine";
    c.userKeys = true;
    c.statWiz = false;
    c.detachedArchive["entry"] = {{"text", "1+2"}};
}

} // namespace

TEST(MemoryArchive, WholeStateSurvivesSaveAndRestore)
{
    Calculator before(kUS);
    changeEverything(before);
    const Bytes saved = MemoryArchive::save(before);

    Calculator after(kUS);
    ASSERT_TRUE(MemoryArchive::restore(after, saved));
    // Saved again, the restored state writes the same bytes: nothing was lost or changed.
    EXPECT_EQ(MemoryArchive::save(after), saved);
    EXPECT_EQ(after.angleFormat(), 2);
    EXPECT_EQ(after.graphMode(), 3);
    EXPECT_EQ(after.locked()->vars[0], (std::complex<double>(1.5, -2)));
    EXPECT_TRUE(std::isnan(after.locked()->vars[217].real()));
    EXPECT_EQ(after.getVar(7).sigFig, 3);
    EXPECT_EQ(after.locked()->lists.at("ABC").complexAtIndex(0), (std::complex<double>(1, 2)));
    EXPECT_EQ(after.locked()->matrices[0].row(1, 0), 3);
    EXPECT_EQ(after.locked()->strings[9], (Ops{0x42}));
    EXPECT_EQ(*after.ans.string(), (Ops{0x41, 0x42}));
    EXPECT_EQ(after.uKeys.back(), before.uKeys.back());
    EXPECT_EQ(after.toFrom[11], (std::array<unsigned, 2>{3, 4}));
    EXPECT_EQ(after.testStart, before.testStart);
    EXPECT_FLOAT_EQ(after.entrySplit, 0.4);
}

TEST(MemoryArchive, SavingTwiceGivesTheSameBytesWhateverTheFlag)
{
    Calculator calc(kUS);
    FakePrograms* programs = new FakePrograms;
    calc.prgmManager.reset(programs);
    std::vector<Calculator::Archive> memory;
    calc.saveMemory(memory, true);
    calc.saveMemory(memory, false);
    ASSERT_EQ(memory.size(), 2u);
    EXPECT_EQ(memory[0], memory[1]);
    // The program open in the editor goes to its own file first.
    EXPECT_EQ(programs->saves, 2);
}

TEST(MemoryArchive, KeysInTheirFixedOrder)
{
    Calculator calc(kUS);
    calc.testStart = Calculator::TimePoint(std::chrono::seconds(1));
    const auto archive = nlohmann::ordered_json::from_cbor(MemoryArchive::save(calc));
    const std::vector<std::string> expected{"ver", "ft", "nfmt", "ffmt", "awfmt", "ndgt", "tfmt", "dfmt",
        "nbase", "cfmt", "afmt", "gmode", "gxaxis", "rcplx", "regDiag", "tMode", "screenSplit", "whtBck",
        "rBck", "gBck", "bBck", "rGrid", "gGrid", "bGrid", "rAxes", "gAxes", "bAxes", "txtClr", "ans", "vars",
        "varsSF", "varsSD", "tblLst", "lists", "slvEq", "matrices", "strings", "entry", "history", "yEq",
        "statMgr", "drwC", "drwS", "drwG", "drwA", "drwL", "drwE", "drwCo", "drwDy", "pdfSz", "split", "kbdCo",
        "lcdCo", "bbh", "lstPrgm", "statEd", "sessions", "clk", "mathPrt", "baseFont", "testMode", "testStart",
        "polyState", "simulEqState", "simulMatrix", "uops1", "uops2", "uops3", "uops4", "uname1", "uname2",
        "uname3", "uname4", "toFrom", "uKeys", "uKeySet", "uKeyShow", "statWiz"};
    std::vector<std::string> keys;
    for (const auto& [key, value] : archive.items())
        keys.push_back(key);
    EXPECT_EQ(keys, expected);
    EXPECT_EQ(archive["ver"], 39);
    EXPECT_EQ(archive["vars"].size(), 436u);
    EXPECT_EQ(archive["varsSD"].size(), 218u);

    calc.testStart.reset();
    EXPECT_FALSE(archiveOf(calc).contains("testStart"));
}

TEST(MemoryArchive, UnitConversionMemoryLayout)
{
    Calculator calc(kUS);
    calc.toFrom[3] = {5, 7};
    calc.toFrom[11] = {8, 9};
    calc.m_convClass = 2;
    calc.m_lastTo = 6;
    const json toFrom = archiveOf(calc)["toFrom"];
    ASSERT_EQ(toFrom.size(), 30u);
    // Column 0 of rows 0..10, column 1 of rows 0..10, the two conversions, then the
    // twelfth class.
    EXPECT_EQ(toFrom[3], 5);
    EXPECT_EQ(toFrom[14], 7);
    EXPECT_EQ(toFrom[22], 2);
    EXPECT_EQ(toFrom[27], 6);
    EXPECT_EQ(toFrom[28], 8);
    EXPECT_EQ(toFrom[29], 9);
}

TEST(MemoryArchive, VersionDecidesTheUpdateNotice)
{
    const struct {
        std::optional<int> version;
        bool newVersion;
        int programUpdates;
    } cases[] = {{39, false, 0}, {38, true, 0}, {25, true, 0}, {24, true, 1}, {3, true, 1}, {std::nullopt, true, 1}};
    for (const auto& c : cases) {
        Calculator calc(kUS);
        FakePrograms* programs = new FakePrograms;
        calc.prgmManager.reset(programs);
        json archive = archiveOf(calc);
        if (c.version)
            archive["ver"] = *c.version;
        else
            archive.erase("ver");
        MemoryArchive::apply(calc, archive);
        EXPECT_EQ(calc.newVersion, c.newVersion) << c.version.value_or(-1);
        EXPECT_EQ(programs->updates, c.programUpdates) << c.version.value_or(-1);
    }
}

TEST(MemoryArchive, MissingKeys)
{
    Calculator calc(kUS);
    calc.bubbleHelp = false;
    calc.locked()->graphXAxisLabelMode = 1;
    calc.locked()->mathPrint = false;
    calc.entrySplit = 0.5;
    calc.locked()->whiteBackground = true;
    calc.locked()->numDigits = 3;
    calc.locked()->gridColor = VQColor::colorR(0.25, 0.25, 0.25, 1);
    json archive = archiveOf(calc);
    for (const char* key : {"bbh", "gxaxis", "mathPrt", "whtBck", "ndgt", "ft", "bGrid"})
        archive.erase(key);
    archive["rGrid"] = 1.0;
    calc.locked()->whiteBackground = false;

    MemoryArchive::apply(calc, archive);
    EXPECT_TRUE(calc.bubbleHelp);
    EXPECT_EQ(calc.locked()->graphXAxisLabelMode, 0);
    EXPECT_EQ(calc.entrySplit, 0);
    EXPECT_FALSE(calc.locked()->mathPrint);
    // Read only when present: kept.
    EXPECT_FALSE(calc.locked()->whiteBackground);
    EXPECT_EQ(calc.locked()->gridColor.r(), 0.25);
    // Always read: a missing key is 0.
    EXPECT_EQ(calc.locked()->numDigits, 0);
    EXPECT_FALSE(calc.firstTime);
}

TEST(MemoryArchive, OldFractionNumberFormatBecomesAnAnswerFormat)
{
    Calculator calc(kUS);
    json archive = archiveOf(calc);
    archive["nfmt"] = 3;
    archive["ffmt"] = 0;
    archive["awfmt"] = 1;
    MemoryArchive::apply(calc, archive);
    EXPECT_EQ(calc.locked()->numFormat, 0);
    EXPECT_EQ(calc.locked()->fractionFormat, 4);
    EXPECT_EQ(calc.locked()->answerFormat, 2);
}

TEST(MemoryArchive, GraphColoursComeBackOpaque)
{
    Calculator calc(kUS);
    calc.locked()->axesColor = VQColor::colorR(0.5, 0.25, 1, 0.5);
    const Bytes saved = MemoryArchive::save(calc);
    Calculator restored(kUS);
    MemoryArchive::restore(restored, saved);
    EXPECT_EQ(restored.locked()->axesColor.r(), 0.5);
    EXPECT_EQ(restored.locked()->axesColor.g(), 0.25);
    EXPECT_EQ(restored.locked()->axesColor.a(), 1);
}

TEST(MemoryArchive, DamagedStoresAndObjectsKeepTheStoreWhole)
{
    Calculator calc(kUS);
    json archive = archiveOf(calc);
    // An odd count and far too many numbers: whole pairs only, 218 slots at most.
    archive["vars"] = json::array();
    for (int k = 0; k < 1001; ++k)
        archive["vars"].push_back(k);
    archive["varsSF"] = json(std::vector<int>(500, 4));
    archive["varsSD"] = json::array({-1, "x", 300});
    archive["matrices"] = json::array({json{{"row", 1}, {"col", 1}}, "nonsense"});
    archive["strings"] = json::array({json::array({0x41, -5, "y", 0x42})});
    archive["ans"] = "not a value";
    archive["lists"] = json::array();
    archive["statEd"] = 7;
    archive["uKeys"] = json::array({3, json::object()});
    archive["nbase"] = 9;
    archive["afmt"] = "Radian";
    archive["toFrom"] = json::array({1, -1});

    MemoryArchive::apply(calc, archive);
    EXPECT_EQ(calc.locked()->vars[0], (std::complex<double>(0, 1)));
    EXPECT_EQ(calc.locked()->vars[217], (std::complex<double>(434, 435)));
    EXPECT_EQ(calc.locked()->varsSigFig[217], 4);
    EXPECT_EQ(calc.locked()->varsSigDec[0], -1);
    EXPECT_EQ(calc.locked()->varsSigDec[1], -15);
    EXPECT_EQ(calc.locked()->varsSigDec[2], 44); // 300 as a signed byte
    EXPECT_EQ(calc.locked()->matrices[0].dimRow(), 1u);
    for (int k = 1; k < Calculator::kMatrixCount; ++k)
        EXPECT_EQ(calc.locked()->matrices[k].dimRow(), 0u) << k;
    EXPECT_EQ(calc.locked()->strings[0], (Ops{0x41, 0x42}));
    for (int k = 1; k < Calculator::kStringCount; ++k)
        EXPECT_TRUE(calc.locked()->strings[k].empty()) << k;
    EXPECT_EQ(calc.getAns(), "0");
    EXPECT_EQ(calc.locked()->lists.size(), 6u);
    EXPECT_EQ(calc.locked()->statEditList.size(), 6u);
    ASSERT_EQ(calc.uKeys.size(), 1u);
    EXPECT_EQ(calc.locked()->numBase, 0);
    EXPECT_EQ(calc.angleFormat(), 0);
    EXPECT_EQ(calc.toFrom[0][0], 1u);
    EXPECT_EQ(calc.toFrom[1][0], 0u);
}

TEST(MemoryArchive, ManagersReadTheirMembersOrTheyAreCarried)
{
    Calculator calc(kUS);
    auto history = std::make_shared<FakeHistory>();
    history->state = {{"items", {1, 2}}};
    calc.historyManager = history;
    calc.detachedArchive["yEq"] = {{"Y1", "X²"}};
    const Bytes saved = MemoryArchive::save(calc);

    Calculator restored(kUS);
    auto restoredHistory = std::make_shared<FakeHistory>();
    restored.historyManager = restoredHistory;
    MemoryArchive::restore(restored, saved);
    EXPECT_EQ(restoredHistory->state, history->state);
    // No Y= manager on either side: its member passes through unchanged.
    EXPECT_EQ(restored.detachedArchive["yEq"], calc.detachedArchive["yEq"]);
    EXPECT_FALSE(restored.detachedArchive.contains("entry"));

    // A missing member leaves the manager as it is.
    json archive = archiveOf(restored);
    archive.erase("history");
    restoredHistory->state = {{"kept", true}};
    MemoryArchive::apply(restored, archive);
    EXPECT_EQ(restoredHistory->state, (json{{"kept", true}}));
}

TEST(MemoryArchive, BytesThatHoldNoArchiveChangeNothing)
{
    Calculator calc(kUS);
    calc.locked()->numDigits = 5;
    const Bytes good = MemoryArchive::save(calc);
    Bytes deep(100000, 0x81); // arrays nested a hundred thousand deep
    deep.push_back(0x01);
    const Bytes cases[] = {
        {},
        {0x01},
        {0xFF, 0x00, 0x13},
        Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2)),
        deep,
        // A map that declares 2⁶⁴−1 entries.
        {0xBB, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
    };
    Calculator target(kUS);
    target.locked()->numDigits = 7;
    for (const Bytes& bytes : cases)
        EXPECT_FALSE(MemoryArchive::restore(target, bytes)) << bytes.size();
    EXPECT_EQ(target.locked()->numDigits, 7);

    target.initMemory({});
    EXPECT_EQ(target.locked()->numDigits, 7);
    target.initMemory({good});
    EXPECT_EQ(target.locked()->numDigits, 5);
}

// An archive of {"ver": 39, "zz": ...} whose member is a list of these bytes, each one value,
// or a text of them.
Bytes archiveOfValues(std::uint8_t value, std::size_t count, bool text = false)
{
    Bytes bytes{0xA2, 0x63, 'v', 'e', 'r', 0x18, 39, 0x62, 'z', 'z', std::uint8_t(text ? 0x7A : 0x9A)};
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.push_back(static_cast<std::uint8_t>(count >> shift));
    bytes.insert(bytes.end(), count, value);
    return bytes;
}

// Valid archives beyond what any state holds (a million empty lists took 85 bytes of memory
// for each byte of file), and one whose reading runs out of memory, are no archive; a state
// of the fullest size is read.
TEST(MemoryArchive, ReadingStopsPastWhatAnyStateHolds)
{
    constexpr std::uint8_t kEmptyList = 0x80, kOne = 0x01;
    EXPECT_FALSE(MemoryArchive::parse(archiveOfValues(kEmptyList, MemoryArchive::kMaxContainers)));
    EXPECT_FALSE(MemoryArchive::parse(archiveOfValues(kOne, MemoryArchive::kMaxBytes)));
    const Bytes text = archiveOfValues('a', 1 << 20, true);
    EXPECT_TRUE(MemoryArchive::parse(text));
    FailLargeAllocations noRoom(1 << 19);
    EXPECT_FALSE(MemoryArchive::parse(text));
}

// Numbers that size, place or index things: each one out of its range (or past what a float
// holds) leaves that setting at its factory value, and the settings beside it are still read.
TEST(MemoryArchive, NumbersOutOfTheirRangeKeepTheFactoryValue)
{
    Calculator source(kUS);
    source.entrySplit = 120;
    source.keyboardColorSet = 2;
    json good = archiveOf(source);
    const Calculator factory(kUS);
    struct Case {
        const char* key;
        json value;
    };
    const Case cases[] = {
        {"split", -1e300}, {"split", 1e300}, {"split", -1}, {"split", 1e39},
        {"baseFont", 1e300}, {"baseFont", 0.001}, {"baseFont", -20},
        {"kbdCo", 6}, {"kbdCo", -1}, {"lcdCo", 1000000},
        {"txtClr", 99}, {"tMode", 7}, {"polyState", 9}, {"simulEqState", -3},
        {"rBck", 1e300}, {"gGrid", -2}, {"bAxes", 255},
        {"sessions", std::numeric_limits<std::int64_t>::max()}, {"sessions", -4},
    };
    for (const Case& c : cases) {
        json archive = good;
        archive[c.key] = c.value;
        Calculator calc(kUS);
        MemoryArchive::apply(calc, archive);
        SCOPED_TRACE(std::string(c.key) + " = " + c.value.dump());
        if (std::string_view(c.key) != "split")
            EXPECT_EQ(calc.entrySplit, 120);
        else
            EXPECT_EQ(calc.entrySplit, factory.entrySplit);
        if (std::string_view(c.key) != "kbdCo")
            EXPECT_EQ(calc.keyboardColorSet, 2);
        else
            EXPECT_EQ(calc.keyboardColorSet, factory.keyboardColorSet);
        EXPECT_EQ(calc.baseFontSize, factory.baseFontSize);
        EXPECT_EQ(calc.lcdColorSet, factory.lcdColorSet);
        EXPECT_EQ(calc.locked()->textColor, factory.locked()->textColor);
        EXPECT_EQ(calc.locked()->tableMode, factory.locked()->tableMode);
        EXPECT_EQ(calc.polyState, factory.polyState);
        EXPECT_EQ(calc.simulEqState, factory.simulEqState);
        EXPECT_EQ(calc.locked()->backgroundColor.r(), factory.locked()->backgroundColor.r());
        EXPECT_EQ(calc.locked()->gridColor.g(), factory.locked()->gridColor.g());
        EXPECT_EQ(calc.locked()->axesColor.b(), factory.locked()->axesColor.b());
        EXPECT_GE(calc.sessions, 0);
        EXPECT_LT(calc.sessions, std::numeric_limits<std::int64_t>::max());
    }
}

// Every value of an archive, its lists and maps among them, as reading counts them.
std::size_t valuesIn(const json& v)
{
    std::size_t n = 1;
    if (v.is_structured())
        for (const json& child : v)
            n += valuesIn(child);
    return n;
}

// Writing keeps to the bounds reading holds it to, so what is saved is read back, A and B
// with it: at the bounds nothing goes; past them the line's undo goes first, then the
// oldest earlier entries (never the line typed), then the oldest history items, the indices
// into them following; past what those free nothing is saved. An archive one value past
// the bounds is not read.
TEST(MemoryArchive, WhatIsSavedIsReadBackAtTheBoundsAndPastThem)
{
    Calculator calc(kUS);
    calc.locked()->vars[0] = {5, 0};
    calc.locked()->vars[1] = {7, 0};
    const json line = json::array({0x31, 0x70, 0x31, 0x70, 0x31, 0x70, 0x31, 0x70, 0x31});
    calc.detachedArchive["entry"] = {{"pEntry", 1}, {"eCursor", 0}, {"sw", 32}, {"en", {line, line, line, {0x32}}},
        {"text", "2"}, {"un", {line, 9, 0, line, 9, 0}}, {"rdo", json::array()}};
    calc.detachedArchive["history"] = {{"nl", 6}, {"hi", {{{"in", line}}, {{"in", line}}, {{"in", line}}}}, {"se", 1}};
    const Bytes whole = MemoryArchive::save(calc);
    const json full = *MemoryArchive::parse(whole);
    const std::size_t all = valuesIn(full);
    const std::size_t undo = valuesIn(full["entry"]["un"]) - 1, entry = valuesIn(line), item = valuesIn(full["history"]["hi"][0]);

    struct Case {
        std::size_t values;
        std::size_t undo, entries, items;
        int pEntry, selected;
    };
    const Case cases[] = {
        {all, 6, 4, 3, 1, 1},
        {all - 1, 0, 4, 3, 1, 1},
        {all - undo - 1, 0, 3, 3, 0, 1},
        {all - undo - 2 * entry, 0, 2, 3, 0, 1},
        {all - undo - 3 * entry, 0, 1, 3, -1, 1},
        {all - undo - 3 * entry - 1, 0, 1, 2, -1, 0},
        {all - undo - 3 * entry - 2 * item, 0, 1, 1, -1, -1},
        {all - undo - 3 * entry - 3 * item, 0, 1, 0, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("bound of " + std::to_string(c.values) + " values, " + std::to_string(all) + " in the whole");
        MemoryArchive::Bounds bounds;
        bounds.values = c.values;
        const Bytes saved = MemoryArchive::save(calc, bounds);
        const auto read = MemoryArchive::parse(saved, bounds);
        ASSERT_TRUE(read);
        EXPECT_EQ(c.values == all, saved == whole);
        const json& entries = (*read)["entry"];
        EXPECT_EQ(entries["un"].size(), c.undo);
        ASSERT_EQ(entries["en"].size(), c.entries);
        EXPECT_EQ(entries["en"].back(), json::array({0x32}));
        EXPECT_EQ(entries["pEntry"], c.pEntry);
        EXPECT_EQ((*read)["history"]["hi"].size(), c.items);
        EXPECT_EQ((*read)["history"]["se"], c.selected);
        Calculator after(kUS);
        MemoryArchive::apply(after, *read);
        EXPECT_EQ(after.locked()->vars[0], (std::complex<double>(5, 0)));
        EXPECT_EQ(after.locked()->vars[1], (std::complex<double>(7, 0)));
        // One value fewer than the archive written holds: reading refuses it.
        MemoryArchive::Bounds tighter = bounds;
        tighter.values = valuesIn(*read) - 1;
        EXPECT_FALSE(MemoryArchive::parse(saved, tighter));
    }
    MemoryArchive::Bounds bounds;
    bounds.values = all - undo - 3 * entry - 3 * item - 1;
    EXPECT_TRUE(MemoryArchive::save(calc, bounds).empty());
    // The bytes are bounded alike.
    bounds = {};
    bounds.bytes = whole.size() - 1;
    const Bytes smaller = MemoryArchive::save(calc, bounds);
    ASSERT_FALSE(smaller.empty());
    EXPECT_LE(smaller.size(), bounds.bytes);
    EXPECT_TRUE(MemoryArchive::parse(smaller, bounds));
    EXPECT_FALSE(MemoryArchive::parse(whole, bounds));
}

namespace {

VQList countingList(int n)
{
    VQList list;
    for (int k = 0; k < n; ++k)
        list.addReal(k + 0.5, 15, -15);
    return list;
}

} // namespace

// Past what the history frees, Ans goes when it is no number, then the stored lists,
// strings and matrices, the largest first, each kept empty: A, Y= and the home line always
// come back, and what went is told in the order it went.
TEST(MemoryArchive, PastTheHistoryAnsThenTheLargestStoredValuesAreLeftOut)
{
    Calculator calc(kUS);
    {
        auto s = calc.locked();
        s->vars[0] = {5, 0};
        s->strings[0] = Ops(3000, 0x41);
        s->lists["L₁"] = countingList(999);
        s->lists["ABC"] = countingList(10);
        s->matrices[0] = *VQMatrix::matrixWithRow(3, 3);
    }
    calc.ans = VQValue::valWithString(Ops(2000, 0x42));
    const json item = {{"in", json::array({0x31, 0x70, 0x31})}, {"ro", json(Ops(100, 0x31))}};
    calc.detachedArchive["history"] = {{"hi", {item, item}}, {"se", -1}};
    calc.detachedArchive["yEq"] = {{"eq", json::array({0x58})}};
    calc.detachedArchive["entry"] = {{"en", {json::array({0x32})}}};
    const json full = archiveOf(calc);
    const std::size_t all = valuesIn(full), h = valuesIn(item);
    const std::size_t ans = valuesIn(full["ans"]) - valuesIn(json(VQValue(0.0).encode()));
    const std::size_t l1 = 5 * 999, str1 = 3000, abc = 5 * 10, a = 2;

    struct Case {
        std::size_t values;
        int items;
        bool ans;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {all, 0, false, {}},
        {all - 1, 1, false, {}},
        {all - 2 * h, 2, false, {}},
        {all - 2 * h - 1, 2, true, {}},
        {all - 2 * h - ans - 1, 2, true, {"L₁"}},
        {all - 2 * h - ans - l1 - 1, 2, true, {"L₁", "Str1"}},
        {all - 2 * h - ans - l1 - str1 - 1, 2, true, {"L₁", "Str1", "ʟABC"}},
        {all - 2 * h - ans - l1 - str1 - abc - 1, 2, true, {"L₁", "Str1", "ʟABC", "[A]"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("bound of " + std::to_string(c.values) + " values, " + std::to_string(all) + " in the whole");
        MemoryArchive::Bounds bounds;
        bounds.values = c.values;
        MemoryArchive::LeftOut leftOut;
        const Bytes saved = MemoryArchive::save(calc, bounds, &leftOut);
        const auto read = MemoryArchive::parse(saved, bounds);
        ASSERT_TRUE(read);
        EXPECT_EQ(leftOut.historyItems, c.items);
        EXPECT_EQ(leftOut.ans, c.ans);
        EXPECT_EQ(leftOut.values, c.names);
        EXPECT_FALSE(leftOut.everything);
        Calculator after(kUS);
        MemoryArchive::apply(after, *read);
        EXPECT_EQ(after.locked()->vars[0], (std::complex<double>(5, 0)));
        EXPECT_EQ((*read)["yEq"], calc.detachedArchive["yEq"]);
        EXPECT_EQ((*read)["entry"]["en"], calc.detachedArchive["entry"]["en"]);
        EXPECT_EQ(after.locked()->lists.at("L₁").count(), c.names.empty() ? 999 : 0);
        EXPECT_EQ(after.locked()->lists.contains("ABC"), true);
        EXPECT_EQ(after.ans.type(), c.ans ? VQValue::TypeReal : VQValue::TypeString);
    }
    MemoryArchive::Bounds bounds;
    bounds.values = all - 2 * h - ans - l1 - str1 - abc - a - 1;
    MemoryArchive::LeftOut leftOut;
    EXPECT_TRUE(MemoryArchive::save(calc, bounds, &leftOut).empty());
    EXPECT_TRUE(leftOut.everything);
}
