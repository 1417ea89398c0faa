#include "core/DrawObject.h"

#include <gtest/gtest.h>

#include <limits>

using namespace orvenda;

TEST(DrawObject, NewRecordsAreGreyAndThin)
{
    const std::shared_ptr<DrawObject> records[] = {std::make_shared<DrawLine>(), std::make_shared<DrawFunc>(),
        std::make_shared<DrawShadeFn>(), std::make_shared<DrawDistribution>(), std::make_shared<DrawSelector>()};
    for (const auto& r : records) {
        EXPECT_EQ(r->r, 0.5f);
        EXPECT_EQ(r->g, 0.5f);
        EXPECT_EQ(r->b, 0.5f);
        EXPECT_EQ(r->lineWidth, 0);
        EXPECT_FALSE(r->selected);
    }
}

TEST(DrawDistribution, SlidersFollowTheShading)
{
    struct Slider {
        std::string name;
        int var;
        double value, min, step;
    };
    const struct {
        int type;
        std::vector<Slider> sliders;
    } cases[] = {
        {0xBB35, {{"L", 2004, -1, -100, 0.1}, {"U", 2005, 2, -100, 0.1}, {"μ", 2000, 0.5, -100, 0.1}, {"σ", 2001, 3, 1e-5, 0.1}}},
        {0xBB36, {{"L", 2004, -1, -100, 0.1}, {"U", 2005, 2, -100, 0.1}, {"df", 2002, 4, 0.0001, 0.1}}},
        {0xBB37, {{"L", 2004, -1, 0, 0.1}, {"U", 2005, 2, 0, 0.1}, {"df", 2002, 4, 1, 1}}},
        {0xBB38, {{"L", 2004, -1, 0, 0.1}, {"U", 2005, 2, 0, 0.1}, {"dfn", 2002, 4, 1, 1}, {"dfd", 2003, 6, 1, 1}}},
    };
    for (const auto& c : cases) {
        auto d = DrawDistribution::drawDistributionType(c.type, -1, 2, 0.25, 3, 0.5, 4, 6);
        EXPECT_EQ(d->type(), c.type);
        ASSERT_EQ(d->vars.size(), c.sliders.size()) << std::hex << c.type;
        for (std::size_t i = 0; i < c.sliders.size(); ++i) {
            const YEqVarInfo& v = d->vars[i];
            EXPECT_EQ(v.name, c.sliders[i].name);
            EXPECT_EQ(v.varNum, c.sliders[i].var);
            EXPECT_EQ(v.value, c.sliders[i].value) << v.name;
            EXPECT_EQ(v.min, c.sliders[i].min) << v.name;
            EXPECT_EQ(v.max, 100);
            EXPECT_EQ(v.step, c.sliders[i].step) << v.name;
        }
    }
}

TEST(DrawDistribution, AnInfiniteBoundIsNotFinite)
{
    auto d = DrawDistribution::drawDistributionType(0xBB35, 0, 1, 0.3, 1, 0, 0, 0);
    EXPECT_TRUE(d->isFinite());
    d->upperBound = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(d->isFinite());
}
