#include "platform/StateFile.h"

#include "TestSupport.h"
#include "core/MemoryArchive.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>

namespace orvenda::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes factoryArchive()
{
    Calculator calc(kUS);
    return MemoryArchive::save(calc);
}

TEST(StateFile, ADamagedFileIsKeptAsideAndNotReadAgain)
{
    const Bytes archive = factoryArchive();
    const Bytes truncated(archive.begin(), archive.begin() + static_cast<std::ptrdiff_t>(archive.size() / 2));
    const Bytes noise{0x13, 0x9F, 0xFF, 0x00, 0x42, 0xBB};
    const Bytes array = nlohmann::json::to_cbor(nlohmann::json::array({39, 1}));
    const Bytes textVersion = nlohmann::json::to_cbor(nlohmann::json{{"ver", "39"}});
    for (const Bytes& damaged : {truncated, noise, array, textVersion, Bytes()}) {
        QTemporaryDir dir;
        StateFile state(dir.path());
        ASSERT_TRUE(state.write(damaged));
        const StateFile::Contents contents = state.read();
        EXPECT_EQ(contents.status, StateFile::Status::Damaged);
        ASSERT_FALSE(contents.keptAs.isEmpty());
        QFile kept(contents.keptAs);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll().size(), static_cast<qsizetype>(damaged.size()));
        EXPECT_EQ(state.read().status, StateFile::Status::Missing);
    }
}

// A damaged file kept aside in the same second as an earlier one gets a name of its own:
// nothing kept before is overwritten (copies for this second and the next two are there
// first, whenever the test runs).
TEST(StateFile, AKeptAsideCopyIsNeverOverwritten)
{
    QTemporaryDir dir;
    StateFile state(dir.path());
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QStringList earlier;
    for (int second = 0; second < 3; ++second) {
        const QString stamp = now.addSecs(second).toString(QStringLiteral("yyyyMMdd-HHmmss"));
        earlier << QDir(dir.path()).filePath(QStringLiteral("memorySetting.damaged-%1.cbor").arg(stamp));
        QFile file(earlier.back());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("earlier ") + QByteArray::number(second));
    }
    for (const char* damaged : {"noise", "more noise"}) {
        ASSERT_TRUE(state.write(Bytes(damaged, damaged + std::strlen(damaged))));
        const StateFile::Contents contents = state.read();
        EXPECT_EQ(contents.status, StateFile::Status::Damaged);
        ASSERT_FALSE(contents.keptAs.isEmpty());
        EXPECT_FALSE(earlier.contains(contents.keptAs));
        QFile kept(contents.keptAs);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), QByteArray(damaged));
        earlier << contents.keptAs;
    }
    for (int second = 0; second < 3; ++second) {
        QFile file(earlier[second]);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray("earlier ") + QByteArray::number(second));
    }
}

TEST(StateFile, AFileThatCannotBeReadIsDamaged)
{
    QTemporaryDir dir;
    StateFile state(dir.path());
    ASSERT_TRUE(QDir().mkpath(state.path()));
    EXPECT_EQ(state.read().status, StateFile::Status::Damaged);
    EXPECT_FALSE(QFile::exists(state.path()));
}

// A state file that has no end (a link to a device) is read no further than a state can
// be: damaged, and moved aside like any other.
TEST(StateFile, AnEndlessFileIsDamagedNotReadForever)
{
    QTemporaryDir dir;
    StateFile state(dir.path());
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), state.path()));
    const StateFile::Contents contents = state.read();
    EXPECT_EQ(contents.status, StateFile::Status::Damaged);
    EXPECT_FALSE(QFileInfo(state.path()).isSymLink());
    EXPECT_EQ(state.read().status, StateFile::Status::Missing);
}

} // namespace
} // namespace orvenda::test
