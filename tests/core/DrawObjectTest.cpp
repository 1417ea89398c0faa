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

TEST(DrawObject, DistributionRecordKeepsItsArguments)
{
    auto record = DrawDistribution::drawDistributionType(0xBB35, -1, 1, 0.6827, 1, 0, 0, 0);
    EXPECT_EQ(record->type, 0xBB35);
    EXPECT_EQ(record->lower, -1);
    EXPECT_EQ(record->upper, 1);
    EXPECT_EQ(record->area, 0.6827);
    EXPECT_EQ(record->sigma, 1);
    EXPECT_EQ(record->mu, 0);
    auto f = DrawDistribution::drawDistributionType(0xBB38, 0, 1, 0.5, 0, 0, 1, 5);
    EXPECT_EQ(f->dfNumer, 1);
    EXPECT_EQ(f->dfDenom, 5);
    EXPECT_EQ(f->r, 0.5f);
}
