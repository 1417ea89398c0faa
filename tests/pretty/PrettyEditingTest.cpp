#include "pretty/PrettyPrint.h"

#include "PrettyTestSupport.h"

#include <gtest/gtest.h>

// The editing of a MathPrint line as a user does it (keys on the entry line) is tested on
// the entry line itself, in tests/app/EntryModelTest.cpp; here the printer's cursor stops.

namespace orvenda {
namespace {

using test::Ops;
using test::T;

constexpr std::uint32_t kFraction = 0xEF38, kRoot = 0xBC, kPlus = 0x70;

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

} // namespace
} // namespace orvenda
