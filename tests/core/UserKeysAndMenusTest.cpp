// The calculator's user key sets (lookup, adding, the set in use) and user menus (menu
// numbers, labels, adding and deleting), and both through the memory archive.

#include "core/Calculator.h"
#include "core/KeySets.h"
#include "core/MemoryArchive.h"
#include "core/UserMenus.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace orvenda;
using namespace orvenda::test;
using json = nlohmann::json;
using Ops = std::vector<std::uint32_t>;

namespace {

constexpr std::uint32_t kSin = 0xC2;
constexpr std::uint32_t kX = 0x58;
constexpr std::uint32_t kClose = 0x11;

TEST(UserKeySets, AFreshStateListsTheSystemSetsAndAddsUserSetsOnce)
{
    Calculator calc(kUS);
    EXPECT_EQ(KeySets::keySetNames(calc), (std::vector<std::string>{"CompSci", "Angle"}));
    EXPECT_TRUE(KeySets::userKeySetNames(calc).empty());
    KeySets::userKeySetAdd(calc, "Mine");
    KeySets::userKeySetAdd(calc, "Mine");
    KeySets::userKeySetAdd(calc, "Angle");
    EXPECT_EQ(KeySets::userKeySetNames(calc), (std::vector<std::string>{"Mine"}));
    EXPECT_EQ(calc.uKeys.size(), 3u) << "an existing title adds nothing";
    EXPECT_EQ(KeySets::keySetNamed(calc, "angle"), nullptr) << "titles are found case-sensitively";
    ASSERT_NE(KeySets::keySetNamed(calc, "Angle"), nullptr);
    EXPECT_EQ(KeySets::keySetNamed(calc, "Angle")->type(), 0u);
}

TEST(UserKeySets, KeysOfTheSetInUseAndNoneWithoutOne)
{
    Calculator calc(kUS);
    calc.userKeySetName = "";
    EXPECT_FALSE(KeySets::userKeyOps(calc, 0));
    KeySets::setUserKeyOps(calc, 0, {0x31});
    KeySets::setUserKeyTitle(calc, 0, {0x41});
    EXPECT_EQ(*calc.uKeys[0].opsForKey(0), (Ops{0xBBF8})) << "no set in use stores nothing";
    calc.userKeySetName = "CompSci";
    EXPECT_EQ(KeySets::userKeyOps(calc, 2), (Ops{0xBBF6, Calculator::kEnterKey}));
    EXPECT_FALSE(KeySets::userKeyTitle(calc, 2));
    EXPECT_FALSE(KeySets::userKeyOps(calc, 11));
    KeySets::setUserKeyTitle(calc, 14, {0x41});
    KeySets::setUserKeyOps(calc, 14, {0x31, 0x32});
    EXPECT_EQ(KeySets::userKeyTitle(calc, 14), (Ops{0x41}));
    EXPECT_EQ(KeySets::userKeyOps(calc, 14), (Ops{0x31, 0x32}));
    EXPECT_FALSE(KeySets::userKeyOps(calc, 15));
}

TEST(UserKeySets, AnArchivedSetKeepsItsFifteenSlotsWithPlaceholders)
{
    Calculator before(kUS);
    KeySets::userKeySetAdd(before, "Mine");
    before.userKeySetName = "Mine";
    KeySets::setUserKeyOps(before, 3, {0x31});
    KeySets::setUserKeyTitle(before, 9, {0x41, 0x42});
    const json sets = MemoryArchive::parse(MemoryArchive::save(before)).value()["uKeys"];
    ASSERT_EQ(sets.size(), 3u);
    Calculator after(kUS);
    ASSERT_TRUE(MemoryArchive::restore(after, MemoryArchive::save(before)));
    ASSERT_EQ(after.uKeys.size(), 3u);
    EXPECT_EQ(after.uKeys, before.uKeys);
    const UserKeySet& mine = after.uKeys[2];
    EXPECT_EQ(mine.type(), 1u);
    EXPECT_EQ(mine.keyOps().size(), 15u);
    EXPECT_EQ(mine.keyNames().size(), 15u);
    for (int k = 0; k < UserKeySet::kKeyCount; ++k) {
        EXPECT_EQ(mine.opsForKey(k) != nullptr, k == 3) << k;
        EXPECT_EQ(mine.nameForKey(k) != nullptr, k == 9) << k;
    }
}

TEST(UserMenus, AddingWithoutANameLabelsTheItemByItsOps)
{
    Calculator calc(kUS);
    UserMenus::userAddMenu(calc, 0, {kSin, kX, kClose});
    ASSERT_EQ(UserMenus::userOpsForMenu(calc, 0).size(), 1u);
    EXPECT_EQ(UserMenus::userNameForMenu(calc, 0, 0), "");
    EXPECT_EQ(UserMenus::userOpsForMenu(calc, 0, 0), (Ops{kSin, kX, kClose}));
    EXPECT_EQ(UserMenus::userLabelForMenu(calc, 0, 0), "sin(X)");
    UserMenus::userAddMenu(calc, 2, {0x31}, "one");
    EXPECT_EQ(UserMenus::userNamesForMenu(calc, 2), (std::vector<std::string>{"one"}));
    // An empty entry line adds nothing.
    UserMenus::userAddMenu(calc, 2, {}, "none");
    EXPECT_EQ(UserMenus::userNamesForMenu(calc, 2).size(), 1u);
    EXPECT_FALSE(UserMenus::userNameForMenu(calc, 2, 1));
    EXPECT_FALSE(UserMenus::userOpsForMenu(calc, 2, -1));
    EXPECT_FALSE(UserMenus::userLabelForMenu(calc, 1, 0));
}

TEST(UserMenus, NumbersOutsideOneToThreeActOnMenuZeroAndDeletingPastTheEndDoesNothing)
{
    Calculator calc(kUS);
    UserMenus::userAddMenu(calc, 4, {0x31});
    UserMenus::userAddMenu(calc, -1, {0x32}, "two");
    UserMenus::userAddMenu(calc, 3, {0x33});
    EXPECT_EQ(calc.userOps1, (std::vector<Ops>{{0x31}, {0x32}}));
    EXPECT_EQ(calc.userNames1, (std::vector<std::string>{"", "two"}));
    EXPECT_EQ(calc.userOps4.size(), 1u);
    EXPECT_EQ(UserMenus::userNameForMenu(calc, 7, 1), "two");
    UserMenus::userDeleteMenu(calc, 0, 2);
    UserMenus::userDeleteMenu(calc, 0, -1);
    EXPECT_EQ(calc.userOps1.size(), 2u);
    UserMenus::userDeleteMenu(calc, 9, 0);
    EXPECT_EQ(calc.userOps1, (std::vector<Ops>{{0x32}}));
    EXPECT_EQ(calc.userNames1, (std::vector<std::string>{"two"}));
    UserMenus::userDeleteMenu(calc, 3, 0);
    EXPECT_TRUE(calc.userOps4.empty());
    EXPECT_TRUE(calc.userNames4.empty());
}

TEST(UserMenus, AnArchiveKeepsOnlyWholePairs)
{
    Calculator before(kUS);
    UserMenus::userAddMenu(before, 1, {0x31}, "a");
    UserMenus::userAddMenu(before, 1, {0x32}, "b");
    UserMenus::userAddMenu(before, 1, {0x33}, "c");
    json archive = MemoryArchive::parse(MemoryArchive::save(before)).value();
    archive["uname2"] = json::array({"a", 5, "c", "d"});
    archive["uops1"] = json::array({json::array({0x31})});
    Calculator after(kUS);
    MemoryArchive::apply(after, archive);
    EXPECT_EQ(after.userOps2, (std::vector<Ops>{{0x31}, {0x33}})) << "the damaged pair goes, the rest keep their names";
    EXPECT_EQ(after.userNames2, (std::vector<std::string>{"a", "c"}));
    EXPECT_TRUE(after.userOps1.empty()) << "items without names";
    EXPECT_TRUE(after.userNames1.empty());
    EXPECT_EQ(after.userOps2.size(), after.userNames2.size());
}

} // namespace
