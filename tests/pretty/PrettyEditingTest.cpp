#include "pretty/PrettyPrint.h"

#include "EntryLineDouble.h"
#include "PrettyTestSupport.h"

#include "core/Calculator.h"
#include "core/Operand.h"
#include "eval/Parser.h"
#include "language/Vocabulary.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace orvenda {
namespace {

using test::Ops;
using test::T;
using Kind = PrettyNode::Kind;

constexpr std::uint32_t kFraction = 0xEF38, kMixed = 0xEF39, kPower = 0xF0, kRoot = 0xBC, kPlus = 0x70;
constexpr std::uint32_t kBox = 0xEF1E, kAns = 0x72;

std::string text(const Ops& line)
{
    std::string out;
    for (std::uint32_t op : line)
        out += Vocabulary::shared().nameForOpcode(op & 0xFFFF) + (op > 0xFFFF ? std::to_string(op >> 16) : "") + " ";
    return out;
}

class PrettyEditingTest : public ::testing::Test {
protected:
    Operand evaluate(Ops line)
    {
        calc.parser().setError(0);
        return calc.parser().eval(line, false);
    }
    // The parser's error and where it arose.
    std::pair<int, int> parse(Ops line)
    {
        calc.parser().setError(0);
        calc.parser().infixToRPN(&line, 0, false);
        const std::pair<int, int> result{calc.parser().error(), calc.parser().errorToken()};
        calc.parser().setError(0);
        return result;
    }

    Calculator calc;
    PrettyPrint pp;
    test::EntryLineDouble line{pp};
    test::FixedMetrics metrics;
};

TEST_F(PrettyEditingTest, TypingThroughAFraction)
{
    line.key(kFraction);
    EXPECT_EQ(line.cursor, 1);
    line.key(0x31);
    line.right();
    EXPECT_EQ(line.cursor, 5) << "the end of the numerator goes on to the start of the denominator";
    line.key(0x32);
    line.right();
    line.key(kPlus);
    line.key(0x33);
    EXPECT_EQ(line.ops, (Ops{T(0x10), 0x31, T(0x11), T(kFraction), T(0x10), 0x32, T(0x11), kPlus, 0x33}));
    const Operand r = evaluate(line.ops);
    EXPECT_EQ(r.error, 0);
    EXPECT_DOUBLE_EQ(r.re(), 3.5);
}

TEST_F(PrettyEditingTest, TemplateKeysPutTheCursorInTheFirstBox)
{
    // A power on an empty line takes Ans as its base.
    line.key(kPower);
    EXPECT_EQ(line.ops, (Ops{kAns, T(kPower), T(0x10), T(0x11)}));
    EXPECT_EQ(line.cursor, 3);

    // Un/d after a number makes it the whole; without one a box op holds the whole's place
    // and the cursor stays on it, so that typing replaces it.
    line.clear();
    line.key(0x33);
    line.key(kMixed);
    EXPECT_EQ(line.ops, (Ops{0x33, T(kMixed), T(0x10), T(0x11), T(kFraction), T(0x10), T(0x11)}));
    EXPECT_EQ(line.cursor, 3);
    line.clear();
    line.key(kMixed);
    EXPECT_EQ(line.ops, (Ops{kBox, T(kMixed), T(0x10), T(0x11), T(kFraction), T(0x10), T(0x11)}));
    EXPECT_EQ(line.cursor, 0);
    line.key(0x32);
    EXPECT_EQ(line.ops.front(), 0x32u);
    EXPECT_EQ(line.ops.size(), 7u);

    // A second template gets the next free ID.
    line.clear();
    line.key(kRoot);
    line.key(kRoot);
    EXPECT_EQ(line.ops, (Ops{T(kRoot, 1), T(kRoot, 2), T(0x11, 2), T(0x11, 1)}));
}

TEST_F(PrettyEditingTest, OverwritingAStructuralOpInserts)
{
    line.ops = {T(0x10), 0x31, T(0x11), T(kFraction), T(0x10), 0x32, T(0x11)};
    line.cursor = 2;
    line.insert = 0;
    line.key(0x35);
    EXPECT_EQ(line.ops, (Ops{T(0x10), 0x31, 0x35, T(0x11), T(kFraction), T(0x10), 0x32, T(0x11)}));
    EXPECT_EQ(line.insert, 1);
    // On an ordinary op it overwrites.
    line.insert = 0;
    line.cursor = 1;
    line.key(0x37);
    EXPECT_EQ(line.ops[1], 0x37u);
    EXPECT_EQ(line.ops.size(), 8u);
}

TEST_F(PrettyEditingTest, DeleteKeepsTemplatesWhole)
{
    struct Case {
        const char* name;
        Ops before;
        int cursor;
        Ops after;
        int cursorAfter;
    };
    const Ops fraction = {T(0x10), 0x31, T(0x11), T(kFraction), T(0x10), 0x32, T(0x11), kPlus};
    const Case cases[] = {
        {"an empty template", {T(0x10), T(0x11), T(kFraction), T(0x10), T(0x11)}, 0, {}, 0},
        {"a root's start unwraps it", {0x32, kPlus, T(kRoot), 0x33, 0x34, T(0x11)}, 2, {0x32, kPlus, 0x33, 0x34}, 2},
        {"a power's start unwraps it", {0x32, T(kPower), T(0x10), 0x33, T(0x11)}, 1, {0x32, 0x33}, 1},
        {"a fraction goes with its content", fraction, 0, {kPlus}, 0},
        {"a mixed number keeps its whole",
         {0x32, T(kMixed), T(0x10), 0x31, T(0x11), T(kFraction), T(0x10), 0x34, T(0x11)}, 1, {0x32}, 1},
        {"a later op removes nothing", fraction, 2, fraction, 5},
        {"a matrix row's bracket removes nothing",
         {T(0x06), T(0x06), 0x31, T(0x2B), 0x32, T(0x07), T(0x07)}, 1,
         {T(0x06), T(0x06), 0x31, T(0x2B), 0x32, T(0x07), T(0x07)}, 2},
        {"an ordinary op", {0x31, 0x32}, 0, {0x32}, 0},
    };
    for (const Case& c : cases) {
        line.ops = c.before;
        line.cursor = c.cursor;
        line.del();
        EXPECT_EQ(line.ops, c.after) << c.name;
        EXPECT_EQ(line.cursor, c.cursorAfter) << c.name;
    }
    // Typed: n/d, Left onto its start, DEL.
    line.clear();
    line.key(kFraction);
    line.left();
    line.del();
    EXPECT_TRUE(line.ops.empty());
}

// Up and Down keep the nearest x; with the fixed metrics at 20 points a character is 12
// wide (10.2 in a fraction, 7.8 in a superscript or limit).
TEST_F(PrettyEditingTest, UpAndDownKeepTheNearestX)
{
    pp.setMetrics(&metrics);
    struct Case {
        const char* name;
        Ops ops;
        int from;
        bool up;
        int to;
    };
    // Numerator 12 (x 11.2 to 31.6) over denominator 3456 (x 1 to 41.8).
    const Ops fraction = {T(0x10), 0x31, 0x32, T(0x11), T(kFraction), T(0x10), 0x33, 0x34, 0x35, 0x36, T(0x11)};
    const Ops power = {0x32, T(kPower), T(0x10), 0x33, 0x34, 0x35, T(0x11), kPlus, 0x35};
    const Ops matrix = {T(0x06), T(0x06), 0x31, T(0x2B), 0x32, T(0x07), T(0x06), 0x33, T(0x2B), 0x34, T(0x07), T(0x07)};
    const Ops sum = {T(0xEF33), 0x58, T(0x2B), 0x58, T(0x2B), 0x31, T(0x2B), 0x34, T(0x11)};
    const Case cases[] = {
        {"numerator to denominator", fraction, 2, false, 8},
        {"denominator to numerator", fraction, 8, true, 2},
        {"nothing above the numerator", fraction, 2, true, -1},
        {"nothing below the denominator", fraction, 8, false, -1},
        // The cursor on the ^ has a cell of its own: the exponent starts at 24.
        {"base into the exponent", power, 1, true, 3},
        {"after a power into its exponent", power, 7, true, 6},
        {"exponent down to the base line", power, 5, false, 7},
        {"matrix row down", matrix, 2, false, 7},
        {"matrix row up", matrix, 9, true, 4},
        {"sum body up to the upper limit", sum, 1, true, 8},
        {"upper limit down to the lower line", sum, 7, false, 4},
        {"lower limit up", sum, 5, true, 8},
    };
    for (const Case& c : cases) {
        line.ops = c.ops;
        line.cursor = c.from;
        const int to = c.up ? line.up() : line.down();
        EXPECT_EQ(to, c.to) << c.name;
        EXPECT_EQ(line.cursor, to < 0 ? c.from : to) << c.name;
    }
}

// Left and Right stop once at each box boundary, in op order.
TEST_F(PrettyEditingTest, LeftAndRightSkipTheTemplateOps)
{
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

// Every ID'd op belongs to a template node: a glyph or a bare bracket pair carrying one is
// a template torn apart (e^( and ₁₀^( are the glyphs of their own bases).
bool templatesWhole(const PrettyTree& tree, int n)
{
    const PrettyNode& node = tree.node(n);
    const bool base = node.parent >= 0 && tree.node(node.parent).kind == Kind::Script;
    if (node.kind == Kind::Glyph && (tree.ops()[static_cast<std::size_t>(node.begin)] >> 16) != 0 && !base)
        return false;
    if (node.kind == Kind::Brackets && node.id != 0)
        return false;
    for (int c : tree.children(n))
        if (!templatesWhole(tree, c))
            return false;
    return true;
}

bool emptyBoxAt(const PrettyTree& tree, int at)
{
    for (int n = 0; n < tree.size(); ++n)
        if (tree.node(n).kind == Kind::EmptyBox && tree.node(n).begin == at)
            return true;
    return false;
}

// Random typing, deleting and moving never tears a template apart, leaves a line that
// beautifying keeps as it is, and that parses unless a box is empty where the parse
// fails. The keys are those that keep a line well formed when every box is filled:
// operands and templates (nDeriv( is left out: its third nesting is an error of its own).
TEST_F(PrettyEditingTest, RandomKeysKeepTheLineWellFormed)
{
    const std::uint32_t keys[] = {
        0x30, 0x31, 0x32, 0x35, 0x39, 0x58, 0xAC, 0x0D, kFraction, kMixed, kPower, 0xF1, kRoot, 0xBD, 0xB2, 0xBF,
        0xC1, 0xEF34, 0xEF33, 0x24,
    };
    enum Action { Key, Delete, Left, Right, Up, Down, Home, End, Insert, Clear };
    const Action actions[] = {Key, Key, Key, Key, Delete, Delete, Left, Left, Right, Right, Up, Down, Home, End, Insert};
    std::mt19937 random(15);
    PrettyTree tree;
    for (int step = 0; step < 10000; ++step) {
        const Action action = line.ops.size() > 60 ? Clear : actions[random() % std::size(actions)];
        switch (action) {
        case Key: line.key(keys[random() % std::size(keys)]); break;
        case Delete: line.del(); break;
        case Left: line.left(); break;
        case Right: line.right(); break;
        case Up: line.up(); break;
        case Down: line.down(); break;
        case Home: line.home(); break;
        case End: line.end(); break;
        case Insert: line.insert = !line.insert; break;
        case Clear: line.clear(); break;
        }
        ASSERT_GE(line.cursor, 0);
        ASSERT_LE(line.cursor, static_cast<int>(line.ops.size()));
        tree.build(line.ops);
        ASSERT_TRUE(templatesWhole(tree, tree.root())) << step << ": " << text(line.ops);
        ASSERT_EQ(PrettyPrint::beautifyOps(line.ops), line.ops) << step << ": " << text(line.ops);
        const auto [error, at] = parse(line.ops);
        if (error != 0) {
            ASSERT_TRUE(emptyBoxAt(tree, at)) << step << ": error " << error << " at " << at << " in " << text(line.ops);
        }
    }
}

} // namespace
} // namespace orvenda
