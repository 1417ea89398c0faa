#include "pretty/PrettyPrint.h"

#include "PrettyTestSupport.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace orvenda {
namespace {

using test::Ops;
using test::T;

constexpr int kNone = PrettyPrint::kNoCursor;

// With the fixed metrics at 20 points: the display font has ascent 16, descent 4, cap
// height 14 and 12-wide characters; a fraction part's font (17) ascent 13.6, descent 3.4;
// a superscript's (13) ascent 10.4, descent 2.6. Bars are 1 thick with a gap of 5
// (2 on each side), exponents rise 1 above the base's cap height.
class PrettyLayoutTest : public ::testing::Test {
protected:
    void SetUp() override { pp.setMetrics(&metrics); }

    test::FixedMetrics metrics;
    PrettyPrint pp;
};

TEST_F(PrettyLayoutTest, AFractionStacksItsPartsAroundTheBar)
{
    struct Case {
        const char* name;
        Ops ops;
        double height, depth;
    };
    const Case cases[] = {
        // 17 + 17 + 5: each part is one line of the fraction font.
        {"1/2", {T(0x10), 0x31, T(0x11), T(0xEF38), T(0x10), 0x32, T(0x11)}, 17 + 2.5, 17 + 2.5},
        // A fraction in the denominator: its own 17 + 17 + 5 there.
        {"1/(2/3)",
         {T(0x10), 0x31, T(0x11), T(0xEF38), T(0x10), T(0x10, 2), 0x32, T(0x11, 2), T(0xEF38, 2), T(0x10, 2), 0x33,
          T(0x11, 2), T(0x11)},
         17 + 2.5, 39 + 2.5},
    };
    for (const Case& c : cases) {
        const QRectF print = pp.setOps(c.ops, kNone, 0, 20);
        EXPECT_DOUBLE_EQ(pp.height(), c.height) << c.name;
        EXPECT_DOUBLE_EQ(pp.depth(), c.depth) << c.name;
        EXPECT_DOUBLE_EQ(print.height(), c.height + c.depth) << c.name;
        // The bar's gap straddles the baseline.
        EXPECT_DOUBLE_EQ(pp.hitRectForIndex(0).center().y(), 0) << c.name;
        EXPECT_DOUBLE_EQ(pp.hitRectForIndex(1).bottom(), -2.5) << c.name;
    }
}

TEST_F(PrettyLayoutTest, AnExponentSitsAboveTheBasesCapHeight)
{
    pp.setOps({0x32, T(0xF0), T(0x10), 0x33, T(0x11)}, kNone, 0, 20);
    const PrettyLayout::Stop& exponent = pp.layout().stop(3);
    EXPECT_DOUBLE_EQ(exponent.baseline, -15);
    EXPECT_DOUBLE_EQ(pp.hitRectForIndex(3).left(), 12);
    EXPECT_DOUBLE_EQ(pp.height(), 15 + 10.4);
    EXPECT_DOUBLE_EQ(pp.depth(), 4);
}

TEST_F(PrettyLayoutTest, TheCursorGetsACellOrFillsAnEmptyBox)
{
    // An empty numerator: a box at the fraction font's cap height, 7 wide; with the cursor
    // in it, the cursor's size (one character of the part's font).
    const Ops empty = {T(0x10), T(0x11), T(0xEF38), T(0x10), 0x32, T(0x11)};
    pp.setOps(empty, kNone, 0, 20);
    EXPECT_DOUBLE_EQ(pp.hitRectForIndex(1).width(), 7);
    EXPECT_DOUBLE_EQ(pp.hitRectForIndex(1).height(), 11.9);
    pp.setOps(empty, 1, 0, 20);
    EXPECT_DOUBLE_EQ(pp.hitRectForIndex(1).width(), 10.2);
    EXPECT_DOUBLE_EQ(pp.hitRectForIndex(1).height(), 17);
    // At the end of a line the cursor adds a cell; on an op it covers the op.
    const Ops digits = {0x31, 0x32};
    EXPECT_DOUBLE_EQ(pp.setOps(digits, 2, 0, 20).width(), 36);
    EXPECT_DOUBLE_EQ(pp.setOps(digits, 1, 0, 20).width(), 24);
}

// √(2^(1/(X+3))): a fraction inside an exponent inside a root.
TEST_F(PrettyLayoutTest, TappingTheCentreOfAnOpFindsIt)
{
    const Ops nested = {T(0xBC, 1), 0x32, T(0xF0, 2), T(0x10, 2), T(0x10, 3), 0x31, T(0x11, 3), T(0xEF38, 3),
                        T(0x10, 3), 0x58, 0x70, 0x33, T(0x11, 3), T(0x11, 2), T(0x11, 1)};
    // The root sign, 2, the fraction's bar, 1, X, + and 3.
    const int visible[] = {0, 1, 4, 5, 9, 10, 11};
    test::FixedMetrics fixed;
    for (const PrettyMetrics* m : {static_cast<const PrettyMetrics*>(&fixed), static_cast<const PrettyMetrics*>(nullptr)}) {
        pp.setMetrics(m);
        for (double size : {16.0, 24.0}) {
            pp.setOps(nested, kNone, 0, size);
            for (int i : visible)
                EXPECT_EQ(pp.tapAtPoint(pp.hitRectForIndex(i).center()), i) << "op " << i << " at " << size;
            EXPECT_EQ(pp.offsetHitRectForIndex(5), pp.hitRectForIndex(5).translated(0, pp.height()));
            // Past the end the cursor goes to the end; far off nothing is near.
            EXPECT_EQ(pp.tapAtPoint(QPointF(pp.printRect().width() + 2, 0)), static_cast<int>(nested.size()));
            EXPECT_LT(pp.tapAtPoint(QPointF(-50, 0)), 0);
            EXPECT_LT(pp.tapAtPoint(QPointF(0, pp.depth() + 50)), 0);
        }
    }
}

// A power or postfix whose base is raised itself draws that base in brackets, as a typed
// bracket pair is drawn: the parser takes the base first ((2^3)^2 and 2^(3)² are 64, drawn
// (2³)²), where the stacked 2³² would read as 2^(3^2). The cursor walks it in drawn order:
// the base's stops inside the brackets, the outer ^ past ")".
TEST_F(PrettyLayoutTest, ARaisedBaseThatIsRaisedIsDrawnInBrackets)
{
    auto brackets = [&](std::string_view glyph) {
        std::vector<QRectF> found;
        for (const PrettyLayout::Item& item : pp.layout().items())
            if (item.kind == PrettyLayout::Item::Kind::Bracket && item.text == glyph)
                found.push_back(item.rect);
        return found;
    };
    const Ops powers = {0x32, T(0xF0), T(0x10), 0x33, T(0x11), T(0xF0, 2), T(0x10, 2), 0x32, T(0x11, 2)};
    const Ops typed = {0x10, 0x32, T(0xF0), T(0x10), 0x33, T(0x11), 0x11, T(0xF0, 2), T(0x10, 2), 0x32, T(0x11, 2)};
    const struct {
        const char* name;
        Ops ops;
        std::size_t pairs;
    } cases[] = {
        {"2^3^2", powers, 1},
        {"2^3^2^2",
         {0x32, T(0xF0), T(0x10), 0x33, T(0x11), T(0xF0, 2), T(0x10, 2), 0x32, T(0x11, 2), T(0xF0, 3), T(0x10, 3), 0x32,
          T(0x11, 3)},
         2},
        {"2^3²", {0x32, T(0xF0), T(0x10), 0x33, T(0x11), 0x0D}, 1},
        {"2²³", {0x32, 0x0D, 0x0F}, 1},
        {"e^(1)^2", {T(0xBF), 0x31, T(0x11), T(0xF0, 2), T(0x10, 2), 0x32, T(0x11, 2)}, 1},
        {"2^(3^2)", {0x32, T(0xF0), T(0x10), 0x33, T(0xF0, 2), T(0x10, 2), 0x32, T(0x11, 2), T(0x11)}, 0},
        {"(2³)² typed", typed, 1},
    };
    for (const auto& c : cases) {
        pp.setOps(c.ops, kNone, 0, 20);
        EXPECT_EQ(brackets("(").size(), c.pairs) << c.name;
        EXPECT_EQ(brackets(")").size(), c.pairs) << c.name;
    }
    const QRectF withTyped = pp.setOps(typed, kNone, 0, 20);
    const PrettyLayout::Stop exponent = pp.layout().stop(9);
    EXPECT_EQ(pp.setOps(powers, kNone, 0, 20), withTyped);
    EXPECT_DOUBLE_EQ(pp.layout().stop(7).x, exponent.x);
    EXPECT_DOUBLE_EQ(pp.layout().stop(7).baseline, exponent.baseline);

    for (int i : {0, 1, 3, 4, 5, 7, 8, 9}) {
        pp.setOps(powers, i, 0, 20);
        const QRectF cell = pp.layout().cursorRect(i);
        EXPECT_EQ(pp.tapAtPoint(cell.center()), i) << i;
        EXPECT_GE(cell.left(), brackets("(").front().right()) << i;
        if (i <= 4)
            EXPECT_LE(cell.right(), brackets(")").front().left() + 0.01) << i;
        else
            EXPECT_GE(cell.left(), brackets(")").front().right()) << i;
    }
}

} // namespace
} // namespace orvenda
