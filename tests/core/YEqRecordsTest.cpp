#include "core/YEqIntegrate.h"
#include "core/YEqVarInfo.h"

#include <gtest/gtest.h>

using namespace orvenda;

TEST(YEqIntegrate, DecodedRecordsAreDirtyWithAUsableTolerance)
{
    YEqIntegrate stored;
    stored.lower = -1;
    stored.upper = 2;
    stored.area = 3;
    stored.tol = 0;
    stored.dirty = false;
    const YEqIntegrate back = YEqIntegrate::decode(stored.encode());
    EXPECT_EQ(back.lower, -1);
    EXPECT_EQ(back.upper, 2);
    EXPECT_EQ(back.area, 3);
    EXPECT_EQ(back.tol, 0.001);
    EXPECT_TRUE(back.dirty);

    stored.tol = 1e-5;
    EXPECT_EQ(YEqIntegrate::decode(stored.encode()).tol, 1e-5);
    // A damaged archive gives the defaults.
    const YEqIntegrate fresh = YEqIntegrate::decode(nlohmann::json::array());
    EXPECT_EQ(fresh.area, 0);
    EXPECT_EQ(fresh.tol, 0.001);
}

TEST(YEqVarInfo, SurvivesTheArchiveWithItsName)
{
    const YEqVarInfo info{27, -2.5, 4.25, 0.5, 1.75, "η"};
    EXPECT_EQ(YEqVarInfo::decode(info.encode()), info);
}
