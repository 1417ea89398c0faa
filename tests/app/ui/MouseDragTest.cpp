// A mouse drag read as a pan, on a clock the test steps: the drag distance, the velocity of
// the last move, and a rest before the release that throws nothing.

#include "app/MouseDrag.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace orvenda {
namespace {

SteadyClock::time_point gNow{};
SteadyClock::time_point steppedNow() { return gNow; }

class MouseDragTest : public ::testing::Test {
protected:
    MouseDragTest() { SteadyClock::setSource(&steppedNow); }
    ~MouseDragTest() override { SteadyClock::setSource(nullptr); }
    static void after(int ms) { gNow += std::chrono::milliseconds(ms); }
};

TEST_F(MouseDragTest, APanBeginsPastTheDragDistanceAndIsThrownAtItsLastSpeed)
{
    const double slop = QApplication::startDragDistance();
    MouseDrag drag;
    drag.press({100, 100});
    EXPECT_TRUE(drag.pressed());
    after(10);
    EXPECT_EQ(drag.move({100 + slop / 2, 100}), MouseDrag::Step::None);
    EXPECT_FALSE(drag.panning());
    after(10);
    EXPECT_EQ(drag.move({100 + slop + 20, 100}), MouseDrag::Step::Began);
    after(20);
    EXPECT_EQ(drag.move({100 + slop + 30, 110}), MouseDrag::Step::Moved);
    EXPECT_EQ(drag.translation({100 + slop + 30, 110}), QPointF(slop + 30, 10));
    // 10 points across and 10 down in 20 ms: 500 points a second each way.
    EXPECT_EQ(drag.velocity(), QPointF(500, 500));
    after(50);
    EXPECT_EQ(drag.release(), QPointF(500, 500));
    EXPECT_FALSE(drag.pressed());
    EXPECT_FALSE(drag.panning());
}

TEST_F(MouseDragTest, ARestBeforeTheReleaseOrNoPanThrowsNothing)
{
    MouseDrag drag;
    drag.press({0, 0});
    after(10);
    ASSERT_EQ(drag.move({80, 0}), MouseDrag::Step::Began);
    after(101);
    EXPECT_EQ(drag.release(), QPointF());
    drag.press({0, 0});
    after(5);
    EXPECT_EQ(drag.release(), QPointF()) << "a click is no throw";
    drag.hold();
    EXPECT_TRUE(drag.pressed()) << "a double click's second press holds the drag again";
}

} // namespace
} // namespace orvenda
