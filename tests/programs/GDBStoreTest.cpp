#include "app/YEqTestSupport.h"

#include "programs/GDBStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace orvenda;
using namespace orvenda::test;

namespace {

const std::vector<std::string> kStandard{"GDB0", "GDB1", "GDB2", "GDB3", "GDB4", "GDB5", "GDB6", "GDB7", "GDB8", "GDB9"};

struct GDBFiles : ::testing::Test {
    QTemporaryDir temp;
    YEqCalc c;
    std::string folder = temp.path().toStdString() + "/GDB";
    GDBStore store{c.calc, c.eq, folder};

    QString file(const char* name) const { return QString::fromStdString(folder) + "/" + name; }
};

} // namespace

TEST_F(GDBFiles, NamesListTheStandardTenAndImportedOnes)
{
    EXPECT_EQ(store.names(true), kStandard);
    EXPECT_TRUE(store.names(false).empty());

    const std::uint8_t body[] = {2, 0};
    ASSERT_TRUE(store.save("WAVE", body));
    ASSERT_TRUE(store.save("abc", body));
    ASSERT_TRUE(store.save("GDB4", body));
    std::vector<std::string> all{"abc"};
    all.insert(all.end(), kStandard.begin(), kStandard.end());
    all.push_back("WAVE");
    EXPECT_EQ(store.names(true), all);
    EXPECT_EQ(store.names(false), (std::vector<std::string>{"abc", "GDB4", "WAVE"}));
    store.remove("abc");
    EXPECT_FALSE(store.isSaved("abc"));
}

TEST_F(GDBFiles, RecallGivesBackTheLastSnapshotStored)
{
    EXPECT_EQ(store.recall("GDB3"), 69);
    c.eq->setYEqFunc(kY1, ops("X"));
    ASSERT_TRUE(store.save("GDB3"));
    c.eq->setYEqFunc(kY1, ops("X²"));
    c.calc.locked()->vars[38] = -4;
    ASSERT_TRUE(store.save("GDB3"));

    c.eq->setYEqFunc(kY1, ops("X³"));
    c.calc.locked()->vars[38] = 0;
    EXPECT_EQ(store.recall("GDB3"), 0);
    EXPECT_EQ(c.text(kY1), "X²");
    EXPECT_EQ(c.calc.locked()->vars[38].real(), -4);
}

TEST_F(GDBFiles, NamesThatLeaveTheFolderAreRefused)
{
    const std::string names[] = {"../evil", "", ".", "..", "a/b", "a\\b", std::string("a\0b", 3)};
    for (const std::string& name : names) {
        EXPECT_FALSE(GDBStore::validName(name)) << name;
        EXPECT_FALSE(store.save(name)) << name;
        EXPECT_FALSE(store.isSaved(name)) << name;
        EXPECT_EQ(store.recall(name), 69) << name;
        EXPECT_FALSE(store.data(name)) << name;
    }
    EXPECT_FALSE(QFile::exists(temp.path() + "/evil"));
    EXPECT_TRUE(QDir(temp.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(GDBFiles, AFailedWriteIsReported)
{
    // The folder's place is taken by a file.
    QFile blocker(QString::fromStdString(folder));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(store.save("GDB1"));
}

TEST_F(GDBFiles, ADamagedFileChangesNothing)
{
    c.eq->setYEqFunc(kY1, ops("2X"));
    ASSERT_TRUE(store.save("GDB1"));
    const std::vector<std::uint8_t> whole = *store.data("GDB1");
    c.eq->setYEqFunc(kY1, ops("X+5"));
    c.calc.locked()->vars[39] = 3;

    const std::vector<std::vector<std::uint8_t>> damaged{
        {whole.begin(), whole.end() - 5},  // truncated
        {whole.begin(), whole.begin() + 1},
        {},
    };
    for (const auto& bytes : damaged) {
        ASSERT_TRUE(store.save("GDB1", bytes));
        EXPECT_EQ(store.recall("GDB1"), 74) << bytes.size();
        EXPECT_EQ(c.text(kY1), "X+5");
        EXPECT_EQ(c.calc.locked()->vars[39].real(), 3);
    }
}
