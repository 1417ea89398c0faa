#include "pretty/PrettyPrint.h"

#include "PrettyTestSupport.h"

#include <gtest/gtest.h>

// The editing of a MathPrint line as a user does it (keys on the entry line) is tested on
// the entry line itself, in tests/app/EntryModelTest.cpp; here the printer's cursor stops.

namespace orvenda {
namespace {

using test::Ops;
using test::T;

constexpr std::uint32_t kFraction = 0xEF38, kRoot = 0xBC, kPlus = 0x70, kPower = 0xF0, kXRoot = 0xF1, kLogBase = 0xEF34,
                        kDerivative = 0x25;
constexpr std::uint32_t kOpen = 0x10, kClose = 0x11, kComma = 0x2B;

// Left and Right stop once at each box boundary, in op order.
TEST(PrettyEditingTest, LeftAndRightSkipTheTemplateOps)
{
    PrettyPrint pp;
    // √(1/2)+3 with its ops: √ ( 1 ) ／ ( 2 ) ) + 3.
    const Ops ops = {T(kRoot, 1), T(0x10, 2), 0x31, T(0x11, 2), T(kFraction, 2), T(0x10, 2), 0x32, T(0x11, 2),
                     T(0x11, 1), kPlus, 0x33};
    pp.setOps(ops, PrettyPrint::kNoCursor, 0, 20);
    std::vector<int> stops = {0};
    for (int c = 0; pp.cursorRightAt(c) != c;)
        stops.push_back(c = pp.cursorRightAt(c));
    EXPECT_EQ(stops, (std::vector<int>{0, 1, 2, 3, 6, 7, 8, 9, 10, 11}));
    std::vector<int> back = {11};
    for (int c = 11; pp.cursorLeftAt(c) != c;)
        back.push_back(c = pp.cursorLeftAt(c));
    EXPECT_EQ(back, (std::vector<int>{11, 10, 9, 8, 7, 6, 3, 2, 1, 0}));
    EXPECT_EQ(pp.cursorHome(), 0);
    EXPECT_EQ(pp.cursorEnd(), 11);
    // An error inside the template ops is shown at the next stop.
    EXPECT_EQ(pp.setErrorLoc(4), 6);
    EXPECT_EQ(pp.setErrorLoc(2), 2);
}

// A vertical move from a stop of a line and the stop it lands on.
struct VerticalMove {
    const char* name;
    Ops ops;
    int from;
    bool up;
    int to;
};

void expectMoves(const std::vector<VerticalMove>& moves, double size)
{
    PrettyPrint pp;
    for (const VerticalMove& c : moves) {
        pp.setOps(c.ops, c.from, 0, size);
        EXPECT_EQ(c.up ? pp.cursorUpFrom(c.from) : pp.cursorDownFrom(c.from), c.to) << c.name << " at " << size;
    }
}

// DOWN out of an exponent goes on after its power, however short the exponent (never into
// the base below it); UP out of a lowered part goes to the side of its template it stands
// on: before a log from its base, before a derivative from its variable under the d, after
// the derivative from its point at its right end.
TEST(PrettyEditingTest, DownLeavesAnExponentAfterItsPowerAndUpALoweredPartAtItsSide)
{
    // 2^(3)+1; (2^(3))／(5); logBASE(8,2).
    const Ops power = {0x32, T(kPower), T(kOpen), 0x33, T(kClose), kPlus, 0x31};
    const Ops inNumerator = {T(kOpen, 1), 0x32, T(kPower, 2), T(kOpen, 2), 0x33, T(kClose, 2), T(kClose, 1),
                             T(kFraction, 1), T(kOpen, 1), 0x35, T(kClose, 1)};
    const Ops log = {T(kLogBase), 0x38, T(kComma), 0x32, T(kClose)};
    // nDeriv(X²,X,3)+1.
    const Ops derivative = {T(kDerivative), 0x58, 0x0D, T(kComma), 0x58, T(kComma), 0x33, T(kClose), kPlus, 0x31};
    expectMoves({
        {"a one-digit exponent", power, 4, false, 5},
        {"its start", power, 3, false, 5},
        {"in a numerator: after the power, still in the numerator", inNumerator, 5, false, 6},
        {"a log's base up", log, 3, true, 0},
        {"a log's base end up", log, 4, true, 0},
        {"a derivative's variable up", derivative, 5, true, 0},
        {"a derivative's point up", derivative, 7, true, 8},
        {"a derivative's point start up", derivative, 6, true, 8},
    }, 20);
}

// Up and Down between a fraction's parts, in the app's own font: from the end of a part to
// the end of the other as wide (after its last digit, where the cursor is drawn, not on
// it), and elsewhere to the stop nearest in x; a mixed number's parts alike.
TEST(PrettyEditingTest, UpAndDownBetweenAFractionsPartsLandWhereTheCursorIsDrawn)
{
    // (123)／(456), (12345)／(678) and 2␣(123)／(456).
    const Ops fraction = {T(kOpen, 1), 0x31, 0x32, 0x33, T(kClose, 1), T(kFraction, 1), T(kOpen, 1), 0x34, 0x35, 0x36,
                          T(kClose, 1)};
    const Ops wider = {T(kOpen, 1), 0x31, 0x32, 0x33, 0x34, 0x35, T(kClose, 1), T(kFraction, 1), T(kOpen, 1), 0x36,
                       0x37, 0x38, T(kClose, 1)};
    const Ops mixed = {0x32, T(0xEF39, 1), T(kOpen, 1), 0x31, 0x32, 0x33, T(kClose, 1), T(kFraction, 1), T(kOpen, 1),
                       0x34, 0x35, 0x36, T(kClose, 1)};
    for (const double size : {20.0, 32.0})
        expectMoves({
            {"the denominator's end up", fraction, 10, true, 4},
            {"the numerator's end down", fraction, 4, false, 10},
            {"on the 5 up", fraction, 8, true, 2},
            {"on the 2 down", fraction, 2, false, 8},
            {"a shorter denominator's end up", wider, 12, true, 5},
            {"the mixed number's denominator's end up", mixed, 12, true, 6},
            {"the mixed number's numerator's end down", mixed, 6, false, 12},
        }, size);
}

// What a key adds at the cursor: a ")" or "," at the end of a template's part goes past the
// template's own closer or separator (adding nothing), leaves a power, fraction or ˣ√ to
// act after it, and is typed where a bracket of the part's own is open or the part is not
// the one it ends; n/d and ˣ√ take the operand before them as the one-line form reads it.
TEST(PrettyEditingTest, ClosingKeysAndTheOperandBeforeAFractionOrRoot)
{
    struct Case {
        const char* name;
        Ops ops;
        int at;
        std::uint32_t key;
        Ops added;
        int atAfter;
        int taken;
        int adjust;
    };
    const int none = PrettyPrint::kNoAdjustment;
    const Ops root = {T(kRoot), 0x39, T(kClose)};
    const Ops log = {T(kLogBase), 0x38, T(kComma), T(kClose)};
    const Ops power = {0x32, T(kPower), T(kOpen), 0x33, T(kClose)};
    const Ops nested = {T(kRoot, 1), 0x32, T(kPower, 2), T(kOpen, 2), 0x33, T(kClose, 2), T(kClose, 1)};
    const Case cases[] = {
        {"√(9) closed", root, 2, kClose, {}, 3, 0, none},
        {"logBASE(8, on to the base", log, 2, kComma, {}, 3, 0, none},
        {"logBASE(8) too early: typed", log, 2, kClose, {kClose}, 2, 0, 0},
        {"√( ( 9 : the part's own bracket", {T(kRoot), kOpen, 0x39, T(kClose)}, 3, kClose, {kClose}, 3, 0, 0},
        {"2^(3) left, the ) typed after it", power, 4, kClose, {kClose}, 5, 0, 0},
        {"√(2^(3) left, then √ closed", nested, 5, kClose, {}, 7, 0, none},
        {"in a string", {0x2A, T(kRoot), 0x39, T(kClose)}, 3, kClose, {kClose}, 3, 0, 0},
        {"2␣1 n/d: on to the mixed number's denominator",
         {0x32, T(0xEF39), T(kOpen), 0x31, T(kClose), T(kFraction), T(kOpen), T(kClose)}, 4, kFraction, {}, 7, 0, none},
        {"12 n/d", {0x31, 0x32}, 2, kFraction, {T(kOpen), 0x31, 0x32, T(kClose), T(kFraction), T(kOpen), T(kClose)}, 0, 2, 6},
        {"(1+2) n/d", {kOpen, 0x31, kPlus, 0x32, kClose}, 5, kFraction,
         {T(kOpen), 0x31, kPlus, 0x32, T(kClose), T(kFraction), T(kOpen), T(kClose)}, 0, 5, 7},
        {"3 ˣ√", {0x33}, 1, kXRoot, {T(kOpen), 0x33, T(kClose), T(kXRoot), T(kOpen), T(kClose)}, 0, 1, 5},
        {"+ n/d: an empty fraction", {0x31, kPlus}, 2, kFraction, {T(kOpen), T(kClose), T(kFraction), T(kOpen), T(kClose)}, 2, 0, 1},
        {"5 nCr 2 n/d: plain", {0x35, 0x95, 0x32}, 3, kFraction, {kFraction}, 3, 0, 0},
        {"Ans 12 ˣ√: plain", {0x72, 0x31, 0x32}, 3, kXRoot, {kXRoot}, 3, 0, 0},
        {"^ on an empty line: no Ans", {}, 0, kPower, {T(kPower), T(kOpen), T(kClose)}, 0, 0, 2},
    };
    for (const Case& c : cases) {
        int at = c.at, adjust = -1, insert = 0, taken = -1;
        const Ops added = PrettyPrint::enterOp(c.key, at, c.ops, adjust, insert, taken);
        EXPECT_EQ(added, c.added) << c.name;
        EXPECT_EQ(at, c.atAfter) << c.name;
        EXPECT_EQ(taken, c.taken) << c.name;
        EXPECT_EQ(adjust, c.adjust) << c.name;
    }
}

} // namespace
} // namespace orvenda
