#include "core/UserKeySet.h"

#include <gtest/gtest.h>

using orvenda::UserKeySet;

TEST(UserKeySet, SlotsOutsideTheSetAreIgnored)
{
    UserKeySet set("Mine", 1);
    set.setOps({0x41}, 15);
    set.setOps({0x41}, -1);
    set.setName({0x42}, 14);
    EXPECT_EQ(set.opsForKey(15), nullptr);
    EXPECT_EQ(set.opsForKey(-1), nullptr);
    ASSERT_NE(set.nameForKey(14), nullptr);
    EXPECT_EQ(*set.nameForKey(14), UserKeySet::Ops{0x42});
    EXPECT_EQ(set.opsForKey(14), nullptr);
}

TEST(UserKeySet, ArchiveRoundTripKeepsEmptySlots)
{
    UserKeySet set("Mine", 1);
    set.setOps({0xBBF6, 1065}, 2);
    set.setOps({}, 3);
    set.setName({0x41, 0x42}, 9);
    const auto archive = set.encode();
    EXPECT_EQ(archive["title"], "Mine");
    EXPECT_EQ(archive["type"], 1);
    EXPECT_TRUE(archive["ops"][0].is_null());
    EXPECT_EQ(archive["ops"].size(), 15u);

    const UserKeySet back = UserKeySet::decode(archive);
    EXPECT_EQ(back, set);
    // An empty op array is a key with no ops, not an empty slot.
    ASSERT_NE(back.opsForKey(3), nullptr);
    EXPECT_TRUE(back.opsForKey(3)->empty());
}

TEST(UserKeySet, DamagedArchiveGivesDefaults)
{
    EXPECT_EQ(UserKeySet::decode(nlohmann::json(42)), UserKeySet());
    const auto damaged = nlohmann::json{{"title", 7}, {"type", "x"}, {"ops", {nlohmann::json::array({1, "a"}), {5}}}};
    const UserKeySet set = UserKeySet::decode(damaged);
    EXPECT_EQ(set.title(), "");
    EXPECT_EQ(set.type(), 0u);
    EXPECT_EQ(set.opsForKey(0), nullptr);
    ASSERT_NE(set.opsForKey(1), nullptr);
    EXPECT_EQ(*set.opsForKey(1), UserKeySet::Ops{5});
}
