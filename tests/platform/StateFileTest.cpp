#include "platform/StateFile.h"

#include "TestSupport.h"
#include "core/MemoryArchive.h"
#include "app/SaveConditions.h"
#include "platform/AtomicFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include <csignal>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orvenda::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes factoryArchive()
{
    Calculator calc(kUS);
    return MemoryArchive::save(calc);
}

// The files these tests damage are judged as if written long ago.
const StateFile::Settle kAtOnce{std::chrono::milliseconds(0), {}, {}, {}};

// When the system last changed the file, in its clock.
std::int64_t changedAt(const QString& path)
{
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return std::int64_t(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
}

// Another machine's state written in place by a tool that pauses half-way (the clock stands
// a second after that, or past the settling time): a launch waits for the rest and loads it,
// a save leaves it to its writer and keeps the session beside it; once it has stood still
// that long it is damaged, and kept aside.
TEST(StateFile, AFileStillBeingWrittenIsWaitedForNotJudged)
{
    const Bytes archive = factoryArchive();
    const QByteArray whole(reinterpret_cast<const char*>(archive.data()), qsizetype(archive.size()));
    for (const bool pauseEnds : {true, false}) {
        QTemporaryDir dir;
        std::int64_t now = 0;
        int waits = 0;
        QFile writer;
        const auto settled = [&] { now = changedAt(writer.fileName()) + (pauseEnds ? 1 : 11) * 1000000000LL; };
        StateFile state(dir.path(), {},
            {std::chrono::seconds(10), [&] { return now; }, [&](std::chrono::milliseconds) {
                 // The writer goes on after the launch's first look.
                 if (++waits == 1 && pauseEnds && writer.isOpen()) {
                     writer.write(whole.mid(whole.size() / 2));
                     writer.close();
                     settled();
                 }
             },
                {}});
        writer.setFileName(state.path());
        ASSERT_TRUE(writer.open(QIODevice::WriteOnly));
        writer.write(whole.left(whole.size() / 2));
        writer.flush();
        // A writer that has stopped holds the file no more.
        if (!pauseEnds)
            writer.close();
        settled();
        const StateFile::Contents launch = state.read();
        EXPECT_EQ(launch.status, pauseEnds ? StateFile::Status::Loaded : StateFile::Status::Damaged);
        EXPECT_EQ(waits, pauseEnds ? 1 : 0);
        EXPECT_EQ(launch.bytes.size(), pauseEnds ? archive.size() : 0u);
        writer.close();
        // Saved over by this app, then half-written in place by the other.
        ASSERT_TRUE(state.write(archive));
        ASSERT_TRUE(writer.open(QIODevice::WriteOnly));
        writer.write(whole.left(whole.size() / 2));
        writer.close();
        settled();
        StateFile::Failure why = StateFile::Failure::None;
        EXPECT_EQ(state.write(archive, &why), !pauseEnds);
        if (pauseEnds) {
            EXPECT_EQ(why, StateFile::Failure::ChangedElsewhere);
            EXPECT_FALSE(state.sessionKeptAs().isEmpty());
            EXPECT_EQ(QFileInfo(state.path()).size(), whole.size() / 2) << "left to its writer";
        } else {
            EXPECT_TRUE(state.written().replacedNoArchive);
            EXPECT_FALSE(state.written().keptAs.isEmpty());
        }
        EXPECT_EQ(QDir(dir.path()).entryList({"memorySetting.damaged-*"}).size(), pauseEnds ? 0 : 2);
    }
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
        StateFile state(dir.path(), {}, kAtOnce);
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
    StateFile state(dir.path(), {}, kAtOnce);
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
    StateFile state(dir.path(), {}, kAtOnce);
    ASSERT_TRUE(QDir().mkpath(state.path()));
    EXPECT_EQ(state.read().status, StateFile::Status::Damaged);
    EXPECT_FALSE(QFile::exists(state.path()));
}

// A state file that has no end (a link to a device) is read no further than a state can
// be: damaged, and moved aside like any other.
TEST(StateFile, AnEndlessFileIsDamagedNotReadForever)
{
    QTemporaryDir dir;
    StateFile state(dir.path(), {}, kAtOnce);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), state.path()));
    const StateFile::Contents contents = state.read();
    EXPECT_EQ(contents.status, StateFile::Status::Damaged);
    EXPECT_FALSE(QFileInfo(state.path()).isSymLink());
    EXPECT_EQ(state.read().status, StateFile::Status::Missing);
}

// A file another program goes on writing past the launch's minute (by the launch's clock,
// however long the reads take), or one the user stops waiting for, is never called damaged:
// it is left to its writer, where it was, unread. One that stops changing is judged at once.
TEST(StateFile, ALaunchStopsWaitingAfterAMinuteOrWhenToldAndLeavesTheFileToItsWriter)
{
    enum class Writer { Forever, UntilStopped, Stops };
    for (const Writer writer : {Writer::Forever, Writer::UntilStopped, Writer::Stops}) {
        QTemporaryDir dir;
        std::int64_t now = 0;
        int waits = 0;
        QString path;
        const auto write = [&] {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Append));
            file.write("more ");
        };
        StateFile state(dir.path(), {},
            {std::chrono::seconds(10), [&] { return now; },
                [&](std::chrono::milliseconds) {
                    // Each pause takes a second of the clock; the writer renews the file
                    // every time (or only twice).
                    ++waits;
                    now += 1000000000LL;
                    if (writer != Writer::Stops || waits <= 2)
                        write();
                },
                [&] { return writer != Writer::UntilStopped || waits < 3; }});
        path = state.path();
        write();
        now = changedAt(path) + 1000000000LL;
        const StateFile::Contents launch = state.read();
        const QByteArray left = [&] {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        switch (writer) {
        case Writer::Forever:
            EXPECT_EQ(launch.status, StateFile::Status::Busy);
            EXPECT_EQ(waits, 60) << "a minute by the clock";
            break;
        case Writer::UntilStopped:
            EXPECT_EQ(launch.status, StateFile::Status::Busy);
            EXPECT_EQ(waits, 3);
            break;
        case Writer::Stops:
            // Changed a second ago, and no more: it stands still once ten have passed.
            EXPECT_EQ(launch.status, StateFile::Status::Damaged);
            EXPECT_EQ(waits, 10);
            break;
        }
        if (writer != Writer::Stops) {
            EXPECT_EQ(left.count("more "), waits + 1) << "left where it is written";
            EXPECT_TRUE(QDir(dir.path()).entryList({"memorySetting.damaged-*"}).isEmpty());
        }
    }
}

// A file the launch left to the program writing it (the user stopped waiting, or the wait
// ran out) is never this app's to replace: every save keeps the session beside it, in one
// file, until the file is whole (another calculator, never saved over) or has stood still
// past the settling time (then kept aside as damaged before the session goes in its place).
TEST(StateFile, AFileLeftToItsWriterAtTheLaunchIsSavedOverOnlyOnceItStandsStill)
{
    const Bytes archive = factoryArchive();
    const Bytes other = nlohmann::json::to_cbor(nlohmann::json{{"ver", 39}, {"other", 1}});
    const auto bytesOf = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    for (const bool told : {true, false}) {
        for (const bool whole : {true, false}) {
            QTemporaryDir dir;
            std::int64_t now = 0;
            StateFile state(dir.path(), {},
                {std::chrono::seconds(10), [&] { return now; }, [](std::chrono::milliseconds) {},
                    [told] { return !told; }, told ? StateFile::kLongestWait : std::chrono::milliseconds(0)});
            {
                QFile writer(state.path());
                ASSERT_TRUE(writer.open(QIODevice::WriteOnly));
                writer.write("half a calculator");
            }
            now = changedAt(state.path()) + 1000000000LL;
            ASSERT_EQ(state.read().status, StateFile::Status::Busy);
            StateFile::Failure why = StateFile::Failure::None;
            EXPECT_FALSE(state.write(archive, &why));
            EXPECT_EQ(why, StateFile::Failure::ChangedElsewhere);
            EXPECT_TRUE(state.beingWritten());
            const QString kept = state.sessionKeptAs();
            ASSERT_FALSE(kept.isEmpty());
            EXPECT_FALSE(state.write(archive)) << "the next save too";
            EXPECT_EQ(state.sessionKeptAs(), kept);
            EXPECT_EQ(bytesOf(state.path()), QByteArray("half a calculator"));
            if (whole) {
                QFile writer(state.path());
                ASSERT_TRUE(writer.open(QIODevice::WriteOnly));
                writer.write(reinterpret_cast<const char*>(other.data()), qsizetype(other.size()));
                writer.close();
                now = changedAt(state.path()) + 1000000000LL;
                EXPECT_FALSE(state.write(archive, &why));
                EXPECT_EQ(why, StateFile::Failure::ChangedElsewhere);
                EXPECT_FALSE(state.beingWritten());
                EXPECT_EQ(bytesOf(state.path()).size(), qsizetype(other.size())) << "another calculator";
            } else {
                now = changedAt(state.path()) + 11000000000LL;
                EXPECT_TRUE(state.write(archive));
                EXPECT_TRUE(state.written().replacedNoArchive);
                EXPECT_EQ(bytesOf(state.written().keptAs), QByteArray("half a calculator"));
                EXPECT_EQ(state.written().sessionCopy, kept);
            }
        }
    }
}

// A writer that pauses past the settling time holding the file open (a download, a sync
// tool), in place or behind the link the state file is: the launch waits for it and loads
// what it wrote, and a save leaves it to it and keeps the session beside it. Nothing is
// judged damaged, moved or copied aside.
TEST(StateFile, AFileItsWriterHoldsOpenIsNeverJudgedHoweverLongItPauses)
{
    const Bytes archive = factoryArchive();
    const Bytes otherBytes = nlohmann::json::to_cbor(nlohmann::json{{"ver", 39}, {"other", 1}});
    const QByteArray other(reinterpret_cast<const char*>(otherBytes.data()), qsizetype(otherBytes.size()));
    for (const bool linked : {false, true}) {
        QTemporaryDir dir, dotfiles;
        std::int64_t now = 0;
        int waits = 0;
        QFile writer;
        StateFile state(dir.path(), {},
            {std::chrono::seconds(10), [&] { return now; },
                [&](std::chrono::milliseconds) {
                    if (++waits == 3 && writer.isOpen()) {
                        writer.write(other.mid(other.size() / 2));
                        writer.close();
                    }
                },
                {}});
        writer.setFileName(linked ? QDir(dotfiles.path()).filePath("orvenda.cbor") : state.path());
        if (linked) {
            ASSERT_TRUE(QFile::link(writer.fileName(), state.path()));
        }
        const auto writeHalf = [&] {
            ASSERT_TRUE(writer.open(QIODevice::WriteOnly));
            writer.write(other.left(other.size() / 2));
            writer.flush();
            // It last wrote longer ago than the file is given to settle.
            now = changedAt(writer.fileName()) + 11000000000LL;
        };
        writeHalf();
        const StateFile::Contents launch = state.read();
        EXPECT_EQ(launch.status, StateFile::Status::Loaded) << linked;
        EXPECT_EQ(launch.bytes, otherBytes);
        ASSERT_TRUE(state.write(archive));
        writeHalf();
        StateFile::Failure why = StateFile::Failure::None;
        EXPECT_FALSE(state.write(archive, &why));
        EXPECT_EQ(why, StateFile::Failure::ChangedElsewhere);
        EXPECT_TRUE(state.beingWritten());
        EXPECT_FALSE(state.sessionKeptAs().isEmpty());
        writer.write(other.mid(other.size() / 2));
        writer.close();
        QFile arrived(writer.fileName());
        ASSERT_TRUE(arrived.open(QIODevice::ReadOnly));
        EXPECT_EQ(arrived.readAll(), other) << "whole where it was written";
        EXPECT_TRUE(QDir(dir.path()).entryList({"memorySetting.damaged-*"}).isEmpty()) << linked;
        EXPECT_EQ(QDir(dotfiles.path()).entryList(QDir::Files | QDir::Hidden).size(), linked ? 1 : 0);
    }
}

// A kept session or a damaged file's copy is written aside whole before it gets its name:
// killed while it is written, nothing is named, and the next launch removes what was left.
TEST(StateFile, AKeptSessionOrDamagedCopyKilledWhileWrittenLeavesNothing)
{
    for (const bool session : {true, false}) {
        QTemporaryDir dir, elsewhere;
        StateFile state(dir.path(), {}, kAtOnce);
        if (session) {
            ASSERT_TRUE(state.write(factoryArchive()));
            ASSERT_EQ(state.read().status, StateFile::Status::Loaded);
            ASSERT_TRUE(AtomicFile::write(state.path(), nlohmann::json::to_cbor(nlohmann::json{{"ver", 39}})))
                << "another app's save";
        } else {
            // Behind a link a damaged file is copied, not moved.
            const QString damaged = QDir(elsewhere.path()).filePath("state.cbor");
            QFile file(damaged);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(100000, 'x'));
            file.close();
            ASSERT_TRUE(QFile::link(damaged, state.path()));
        }
        const pid_t child = ::fork();
        if (child == 0) {
            AtomicFile::systemWrite = [](int, const void*, std::size_t) -> ssize_t { return ::raise(SIGKILL); };
            if (session)
                state.write(factoryArchive());
            else
                state.read();
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << session;
        EXPECT_TRUE(QDir(dir.path()).entryList({"memorySetting.session-*", "memorySetting.damaged-*"}).isEmpty()) << session;
        StateFile next(dir.path(), {}, kAtOnce);
        EXPECT_TRUE(next.keptSessions().empty());
        next.removeLeftovers();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
            QStringList{StateFile::kFileName})
            << session;
    }
}

// Two apps refused at the same quit, in the same second (a shutdown ends both), keep each its
// own session: a name beside the file is made by one app only. The record of the sessions
// told is the app's own plain file: a link planted in its place is replaced, and the file it
// led to is never written.
TEST(StateFile, EveryKeptSessionHasANameOfItsOwnAndTheToldRecordNeverGoesThroughALink)
{
    QTemporaryDir dir, elsewhere;
    const std::int64_t second = 1700000000LL * 1000000000LL;
    const StateFile::Settle frozen{std::chrono::milliseconds(0), [&] { return second; }, {}, {}};
    StateFile first(dir.path(), {}, frozen), other(dir.path(), {}, frozen), third(dir.path(), {}, frozen);
    ASSERT_TRUE(third.write(factoryArchive()));
    ASSERT_EQ(first.read().status, StateFile::Status::Loaded);
    ASSERT_EQ(other.read().status, StateFile::Status::Loaded);
    ASSERT_TRUE(third.write(nlohmann::json::to_cbor(nlohmann::json{{"ver", 39}, {"other", 1}}))) << "another save";
    const Bytes one = nlohmann::json::to_cbor(nlohmann::json{{"ver", 39}, {"one", 1}});
    const Bytes two = nlohmann::json::to_cbor(nlohmann::json{{"ver", 39}, {"two", 2}});
    StateFile::Failure why = StateFile::Failure::None;
    EXPECT_FALSE(first.write(one, &why));
    EXPECT_EQ(why, StateFile::Failure::ChangedElsewhere);
    EXPECT_FALSE(other.write(two));
    ASSERT_FALSE(first.sessionKeptAs().isEmpty());
    ASSERT_FALSE(other.sessionKeptAs().isEmpty());
    EXPECT_NE(first.sessionKeptAs(), other.sessionKeptAs());
    const auto bytesOf = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    EXPECT_EQ(bytesOf(first.sessionKeptAs()), QByteArray(reinterpret_cast<const char*>(one.data()), qsizetype(one.size())));
    EXPECT_EQ(bytesOf(other.sessionKeptAs()), QByteArray(reinterpret_cast<const char*>(two.data()), qsizetype(two.size())));

    const QString victim = QDir(elsewhere.path()).filePath("notes.txt");
    {
        QFile file(victim);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("the user's own");
    }
    const QString record = QDir(dir.path()).filePath(StateFile::kToldFileName);
    ASSERT_TRUE(QFile::link(victim, record));
    EXPECT_EQ(first.untoldSessions().size(), 2u) << "a link is no record";
    first.markTold(first.untoldSessions());
    EXPECT_EQ(bytesOf(victim), QByteArray("the user's own"));
    EXPECT_FALSE(QFileInfo(record).isSymLink());
    EXPECT_TRUE(first.untoldSessions().empty());
}

// This app's own bytes put back in place slowly (a backup tool, a copy of the same file)
// are waited for as the save goes on, and saved over: nothing is kept beside. When the
// session must be kept beside a file being written and cannot, why is told: the disk is
// full, or the folder takes no file.
TEST(StateFile, OwnBytesPutBackSlowlyAreSavedOverAndAKeptSessionsFailureHasItsCause)
{
    const Bytes archive = factoryArchive();
    const QByteArray whole(reinterpret_cast<const char*>(archive.data()), qsizetype(archive.size()));
    QTemporaryDir dir;
    std::int64_t now = 0;
    int waits = 0;
    QFile writer;
    StateFile state(dir.path(), {},
        {std::chrono::seconds(10), [&] { return now; }, [&](std::chrono::milliseconds) {
             // The copy goes on after a pause longer than the rereads wait.
             if (++waits == 12 && writer.isOpen()) {
                 writer.write(whole.mid(whole.size() / 2));
                 writer.close();
             }
         },
            {}});
    ASSERT_TRUE(state.write(archive));
    writer.setFileName(state.path());
    ASSERT_TRUE(writer.open(QIODevice::WriteOnly));
    writer.write(whole.left(whole.size() / 2));
    writer.flush();
    now = changedAt(state.path()) + 1000000000LL;
    StateFile::Failure why = StateFile::Failure::Other;
    EXPECT_TRUE(state.write(archive, &why));
    EXPECT_EQ(why, StateFile::Failure::None);
    EXPECT_GE(waits, 12);
    EXPECT_TRUE(QDir(dir.path()).entryList({"memorySetting.session-*"}).isEmpty());

    // Another's bytes being written, and no room to keep the session beside them.
    openFolder(dir);
    for (const bool full : {true, false}) {
        ASSERT_TRUE(writer.open(QIODevice::WriteOnly));
        writer.write("other");
        writer.close();
        QFile::setPermissions(state.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        now = changedAt(state.path()) + 1000000000LL;
        if (full) {
            FullDisk disk;
            EXPECT_FALSE(state.write(archive, &why));
        } else {
            ReadOnlyFolder folder(dir.path());
            EXPECT_FALSE(state.write(archive, &why));
        }
        EXPECT_EQ(why, StateFile::Failure::ChangedElsewhere);
        EXPECT_TRUE(state.beingWritten());
        EXPECT_TRUE(state.sessionKeptAs().isEmpty());
        EXPECT_EQ(state.sessionFailure(), full ? StateFile::Failure::DiskFull : StateFile::Failure::Other);
        EXPECT_TRUE(QDir(dir.path()).entryList({"memorySetting.session-*"}).isEmpty()) << "no empty name left";
    }
}

} // namespace
} // namespace orvenda::test
