#include "core/DrawObject.h"

#include <gtest/gtest.h>
#include <vector>

using namespace orvenda;

TEST(DrawObject, RecordsStartGreyWithNoWidth)
{
    std::vector<std::shared_ptr<DrawObject>> drawing{std::make_shared<DrawLine>(),
        std::make_shared<DrawText>(), std::make_shared<DrawSlider>()};
    for (const auto& record : drawing) {
        EXPECT_EQ(record->r, 0.5f);
        EXPECT_EQ(record->g, 0.5f);
        EXPECT_EQ(record->b, 0.5f);
        EXPECT_EQ(record->lineWidth, 0);
        EXPECT_EQ(record->style, 0);
    }
    // The graph view tells the kinds apart from the list.
    EXPECT_NE(std::dynamic_pointer_cast<DrawText>(drawing[1]), nullptr);
    EXPECT_EQ(std::dynamic_pointer_cast<DrawLine>(drawing[2]), nullptr);
}
