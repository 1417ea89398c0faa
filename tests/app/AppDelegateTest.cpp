#include "app/AppDelegate.h"

#include "AppTestSupport.h"
#include "SaveConditions.h"
#include "apps/CSVImport.h"
#include "core/services/CSVLoader.h"
#include "core/services/TIFileIO.h"
#include "platform/AtomicFile.h"
#include "platform/OpsClipboard.h"
#include "eval/ProgramQueue.h"
#include "programs/TIFileSupport.h"

#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileOpenEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QWindow>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

namespace orvenda::test {
namespace {

// The root controller: the error numbers it was asked to show, and the message said in place
// of a number's text ("" for none).
class ReportingView : public FakeView {
public:
    std::vector<int> reports;
    std::vector<std::string> messages;
    void VCShowError(const nlohmann::json& error) override
    {
        reports.push_back(error.at("errorNum").get<int>());
        messages.push_back(error.value("message", ""));
    }
};

// A launch of the app on a data folder, with a calculator of its own and what it tells
// the user.
struct Launch {
    // The state files the tests damage are judged as if written long ago.
    explicit Launch(const QString& folder, const QString& asideFolder = QString())
        : delegate(calc, folder, asideFolder, StateFile::Settle{std::chrono::milliseconds(0), {}, {}, {}})
    {
        calc.viewDelegate = view;
        delegate.tell = [this](const QString& message) { told << message; };
    }
    EntryModel& entry() { return *std::dynamic_pointer_cast<EntryModel>(calc.entryManager); }
    HistoryModel& history() { return *std::dynamic_pointer_cast<HistoryModel>(calc.historyManager); }

    NotificationCenter bus;
    Calculator calc{kUS, bus};
    std::shared_ptr<ReportingView> view = std::make_shared<ReportingView>();
    AppDelegate delegate;
    QStringList told;
};

void writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(AppDelegate, ASessionIsWhereTheLastOneLeftOff)
{
    QTemporaryDir dir;
    nlohmann::json history;
    {
        Launch first(dir.path());
        EXPECT_TRUE(first.calc.firstTime);
        EXPECT_FALSE(QFile::exists(QDir(dir.path()).filePath(StateFile::kFileName)))
            << "the factory state is registered, never written";
        first.calc.locked()->vars[0] = {5, 0};
        Operand record = operandOf(KindReal);
        first.history().addEntry({0x35, 0x04, 0x41}, "5", 0, record);
        first.entry().startNewEntry();
        for (std::uint32_t op : {0x32, 0x70, 0x33})
            first.entry().addOpcode(op, false);
        history = first.history().encode();
        first.delegate.applicationWillResignActive();
    }
    Launch second(dir.path());
    EXPECT_EQ(second.entry().text(), "2+3");
    EXPECT_EQ(second.calc.locked()->vars[0], std::complex<double>(5, 0));
    EXPECT_EQ(second.history().encode(), history);
    EXPECT_FALSE(second.entry().canUndo());
    EXPECT_EQ(second.delegate.takeStartupReport(), std::nullopt);
}

TEST(AppDelegate, ADamagedStateStartsFromTheFactoryAndSaysSoOnce)
{
    QTemporaryDir dir;
    QFile file(QDir(dir.path()).filePath(StateFile::kFileName));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\xA1\x63ver\x65three and more");
    file.close();
    Launch launch(dir.path());
    EXPECT_TRUE(launch.calc.firstTime);
    EXPECT_EQ(launch.calc.locked()->vars[0], std::complex<double>(0, 0));
    ASSERT_TRUE(launch.delegate.takeStartupReport());
    EXPECT_EQ(launch.delegate.takeStartupReport(), std::nullopt);
    EXPECT_EQ(QDir(dir.path()).entryList({"memorySetting.damaged-*"}, QDir::Files).size(), 1);
}

// Sessions kept beside the state file are named at the next launch, the newest kept first,
// each with the time it was kept, whatever the files' times (a sync tool touching the oldest
// one, the state file saved after them, as a synced file or one from a clock ahead is), and
// not again; one kept there anew is. One cut short holds no calculator and is no session.
TEST(AppDelegate, KeptSessionsAreNamedOnceNewestFirst)
{
    QTemporaryDir dir;
    const QDir data(dir.path());
    Launch(dir.path()).delegate.applicationWillTerminate();
    const QByteArray archive = readFile(data.filePath(StateFile::kFileName));
    const QDateTime saved = QFileInfo(data.filePath(StateFile::kFileName)).lastModified();
    const auto keep = [&](const char* name, int seconds, const QByteArray& bytes) {
        QFile kept(data.filePath(QStringLiteral("memorySetting.session-20250101-%1.cbor").arg(name)));
        return kept.open(QIODevice::WriteOnly) && kept.write(bytes) > 0 && kept.flush()
            && kept.setFileTime(saved.addSecs(seconds), QFileDevice::FileModificationTime);
    };
    for (const auto& [name, seconds] : {std::pair("100000", 600), std::pair("110000", 60), std::pair("120000", 120)})
        ASSERT_TRUE(keep(name, seconds, archive));
    ASSERT_TRUE(keep("130000", 180, archive.left(archive.size() / 2)));
    const QString report = Launch(dir.path()).delegate.takeStartupReport().value_or(QString());
    const auto named = [&](const char* name) {
        const QDateTime kept(QDate(2025, 1, 1), QTime::fromString(name, "HHmmss"), Qt::UTC);
        return report.indexOf(QStringLiteral("memorySetting.session-20250101-%1.cbor (kept %2)")
                .arg(name, kept.toLocalTime().toString("yyyy-MM-dd HH:mm:ss")));
    };
    EXPECT_TRUE(report.startsWith("3 sessions were kept")) << report.toStdString();
    EXPECT_GT(named("120000"), 0) << report.toStdString();
    EXPECT_GT(named("110000"), named("120000")) << report.toStdString();
    EXPECT_GT(named("100000"), named("110000")) << report.toStdString();
    EXPECT_FALSE(report.contains("130000")) << report.toStdString();
    EXPECT_EQ(Launch(dir.path()).delegate.takeStartupReport(), std::nullopt) << "named once";
    ASSERT_TRUE(QFile::remove(data.filePath("memorySetting.session-20250101-110000.cbor")));
    nlohmann::json anew = nlohmann::json::from_cbor(archive.begin(), archive.end());
    anew["anew"] = 1;
    const std::vector<std::uint8_t> another = nlohmann::json::to_cbor(anew);
    ASSERT_TRUE(keep("110000", 180, QByteArray(reinterpret_cast<const char*>(another.data()), qsizetype(another.size()))));
    const QString again = Launch(dir.path()).delegate.takeStartupReport().value_or(QString());
    EXPECT_TRUE(again.startsWith("A session was kept")) << again.toStdString();
    EXPECT_TRUE(again.contains("110000")) << again.toStdString();
}

// A saved calculator that cannot be read beside sessions this app kept (the file was cut or
// emptied as the app quit, so its session went beside it): the launch goes on from the
// newest kept session that holds a calculator, says so, and saves it into the file.
TEST(AppDelegate, AnUnreadableStateGoesOnFromTheNewestKeptSession)
{
    QTemporaryDir dir;
    const QDir data(dir.path());
    const QString state = data.filePath(StateFile::kFileName);
    const auto saved = [&](double value) {
        Launch launch(dir.path());
        launch.calc.locked()->vars[0] = {value, 0};
        launch.delegate.applicationWillTerminate();
        return readFile(state);
    };
    const QDateTime now = QDateTime::currentDateTime();
    const auto keep = [&](const char* name, const QByteArray& bytes, int seconds) {
        QFile kept(data.filePath(QStringLiteral("memorySetting.session-20250101-%1.cbor").arg(name)));
        return kept.open(QIODevice::WriteOnly) && kept.write(bytes) == bytes.size() && kept.flush()
            && kept.setFileTime(now.addSecs(seconds), QFileDevice::FileModificationTime);
    };
    // A sync tool touched the oldest session last.
    ASSERT_TRUE(keep("100000", saved(9), 60));
    ASSERT_TRUE(keep("110000", saved(2), -60));
    ASSERT_TRUE(keep("120000", "no calculator", 0));
    writeFile(state, "\xA1\x63ver\x65three");
    {
        Launch launch(dir.path());
        EXPECT_EQ(launch.calc.locked()->vars[0], std::complex<double>(2, 0));
        const QString report = launch.delegate.takeStartupReport().value_or(QString());
        EXPECT_TRUE(report.contains("could not be read and was kept as")) << report.toStdString();
        EXPECT_TRUE(report.contains("goes on from the session kept as " + data.filePath("memorySetting.session-20250101-110000.cbor")))
            << report.toStdString();
        EXPECT_FALSE(report.contains("factory settings")) << report.toStdString();
        EXPECT_TRUE(launch.delegate.changePending());
        launch.delegate.autosave();
    }
    Launch next(dir.path());
    EXPECT_EQ(next.calc.locked()->vars[0], std::complex<double>(2, 0));
    EXPECT_EQ(next.delegate.takeStartupReport(), std::nullopt) << "every kept session named once";
}

// A save refused because the file is being written by another program, whose session cannot
// be kept beside it either, names what keeps it from there (a full disk, a folder that takes
// nothing) and what to do, not another Orvenda.
TEST(AppDelegate, ASessionThatCannotBeKeptBesideTheFileNamesTheRealCause)
{
    QTemporaryDir dir;
    openFolder(dir);
    const QString folder = QDir(dir.path()).filePath("data");
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
            | QFile::ExeOther);
    NotificationCenter bus;
    Calculator calc{kUS, bus};
    AppDelegate delegate(calc, folder, QString(), StateFile::Settle{std::chrono::seconds(10), {}, {}, {}});
    QStringList told;
    delegate.tell = [&](const QString& message) { told << message; };
    delegate.applicationWillTerminate();
    const QString state = QDir(folder).filePath(StateFile::kFileName);
    for (const bool full : {true, false}) {
        writeFile(state, QByteArray());
        QFile::setPermissions(state, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        calc.locked()->vars[0] = {full ? 7.0 : 8.0, 0};
        if (full) {
            FullDisk disk;
            delegate.applicationWillTerminate();
        } else {
            ReadOnlyFolder readOnly(folder);
            delegate.applicationWillTerminate();
        }
    }
    ASSERT_EQ(told.size(), 2) << told.join("\n").toStdString();
    for (const QString& message : told) {
        EXPECT_TRUE(message.contains("being written by another program")) << message.toStdString();
        EXPECT_FALSE(message.contains("another Orvenda")) << message.toStdString();
    }
    EXPECT_TRUE(told[0].contains("the disk is full. Make room on the disk")) << told[0].toStdString();
    EXPECT_TRUE(told[1].contains(folder + " cannot be written. Make it writable")) << told[1].toStdString();
}

TEST(AppDelegate, AFolderThatCannotBeWrittenIsToldOnceAndTheCalculatorGoesOn)
{
    QTemporaryDir dir;
    const QString data = QDir(openFolder(dir)).filePath("data");
    {
        // Writable at the launch: the first save that fails tells, the next ones do not.
        Launch launch(data);
        EXPECT_EQ(launch.delegate.takeStartupReport(), std::nullopt);
        {
            ReadOnlyFolder readOnly(data);
            launch.calc.locked()->vars[0] = {7, 0};
            launch.delegate.applicationWillResignActive();
            ASSERT_EQ(launch.told.size(), 1);
            EXPECT_TRUE(launch.told[0].contains("cannot be saved")) << launch.told[0].toStdString();
            launch.delegate.applicationDidEnterBackground();
            launch.delegate.applicationWillTerminate();
            EXPECT_EQ(launch.told.size(), 1);
            EXPECT_FALSE(QFile::exists(QDir(data).filePath(StateFile::kFileName)));
        }
        // Writable again: saving goes on where it left off, with nothing more to tell.
        launch.delegate.applicationWillTerminate();
        EXPECT_EQ(launch.told.size(), 1);
    }
    ReadOnlyFolder readOnly(data);
    // Read-only at the launch: the start-up says so and the saves stay quiet.
    Launch launch(data);
    EXPECT_EQ(launch.calc.locked()->vars[0], std::complex<double>(7, 0));
    const auto report = launch.delegate.takeStartupReport();
    ASSERT_TRUE(report);
    EXPECT_TRUE(report->contains("this session will not be kept")) << report->toStdString();
    launch.delegate.applicationWillResignActive();
    EXPECT_TRUE(launch.told.isEmpty());
}

TEST(AppDelegate, AFullDiskIsToldAsAFullDiskAndLeavesNothingBehind)
{
    QTemporaryDir dir;
    Launch launch(dir.path());
    launch.delegate.applicationWillTerminate();
    const QByteArray before = readFile(QDir(dir.path()).filePath(StateFile::kFileName));
    {
        FullDisk full;
        launch.calc.locked()->vars[0] = {7, 0};
        launch.delegate.applicationWillResignActive();
    }
    ASSERT_EQ(launch.told.size(), 1);
    EXPECT_TRUE(launch.told[0].contains("the disk is full")) << launch.told[0].toStdString();
    EXPECT_FALSE(launch.told[0].contains("folder cannot be written"));
    EXPECT_EQ(readFile(QDir(dir.path()).filePath(StateFile::kFileName)), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(AppDelegate, ADamagedStateTheFolderCannotKeepIsReportedOnce)
{
    QTemporaryDir dir;
    const QString data = QDir(openFolder(dir)).filePath("data");
    const QString aside = QDir(dir.path()).filePath("aside");
    ASSERT_TRUE(QDir().mkpath(data));
    ASSERT_TRUE(QDir().mkpath(aside));
    QFile::setPermissions(aside, QFile::ReadOther | QFile::WriteOther | QFile::ExeOther | QFile::ReadOwner
            | QFile::WriteOwner | QFile::ExeOwner);
    writeFile(QDir(data).filePath(StateFile::kFileName), "\xA1\x63ver\x65three and more");
    ReadOnlyFolder readOnly(data);
    for (int launchNumber = 1; launchNumber <= 3; ++launchNumber) {
        Launch launch(data, aside);
        EXPECT_TRUE(launch.calc.firstTime);
        const QString report = launch.delegate.takeStartupReport().value_or(QString());
        EXPECT_EQ(report.contains("could not be read and was kept as " + aside), launchNumber == 1)
            << report.toStdString();
        EXPECT_TRUE(report.contains("cannot be saved")) << report.toStdString();
    }
    EXPECT_EQ(QDir(aside).entryList({"memorySetting.damaged-*"}, QDir::Files).size(), 1);
}

// In a folder that takes nothing, each different damaged file is kept and told once, and
// so is one that cannot even be read or copied.
TEST(AppDelegate, EachDamagedStateTheFolderCannotKeepIsReportedOnce)
{
    QTemporaryDir dir;
    const QString data = QDir(openFolder(dir)).filePath("data");
    const QString aside = QDir(dir.path()).filePath("aside");
    ASSERT_TRUE(QDir().mkpath(data));
    ASSERT_TRUE(QDir().mkpath(aside));
    QFile::setPermissions(aside, QFile::ReadOther | QFile::WriteOther | QFile::ExeOther | QFile::ReadOwner
            | QFile::WriteOwner | QFile::ExeOwner);
    const QString path = QDir(data).filePath(StateFile::kFileName);
    const auto launches = [&](const QByteArray& content, QFileDevice::Permissions permissions) {
        QFile::remove(path);
        writeFile(path, content);
        QFile::setPermissions(path, permissions);
        ReadOnlyFolder readOnly(data);
        std::vector<bool> told;
        for (int launchNumber = 1; launchNumber <= 3; ++launchNumber) {
            Launch launch(data, aside);
            EXPECT_TRUE(launch.calc.firstTime);
            told.push_back(launch.delegate.takeStartupReport().value_or(QString()).contains("could not be read"));
        }
        return told;
    };
    const auto readable = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther;
    EXPECT_EQ(launches("\xA1\x63ver\x65three and more", readable), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(launches("\xA1\x63ver\x64" "four and more", readable), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(QDir(aside).entryList({"memorySetting.damaged-*"}, QDir::Files).size(), 2);
    EXPECT_EQ(launches("unreadable", QFile::WriteOwner), (std::vector<bool>{true, false, false}));
}

TEST(AppDelegate, WhatKilledSavesLeftIsRemovedAtTheLaunch)
{
    QTemporaryDir dir;
    const QDir data(dir.path());
    // A killed save leaves its temporary file; the user's own copies beside the state,
    // however they are named, stay.
    const QString prefix = QFileInfo(AtomicFile::temporaryPrefix(data.filePath(StateFile::kFileName))).fileName();
    for (const QString& name : {prefix + "a1B2c3", prefix + "ZZZZZZ"})
        writeFile(data.filePath(name), QByteArray(1000, 'x'));
    const QStringList own{"memorySetting.cbor.ORIG12", "memorySetting.cbor.Xy9", "memorySetting.cbor.backup",
        "memorySetting.cbor.old001", "memorySetting.damaged-20240101-000000.cbor"};
    for (const QString& name : own)
        writeFile(data.filePath(name), "kept");
    {
        Launch first(dir.path());
        first.calc.locked()->vars[0] = {3, 0};
        first.delegate.applicationWillTerminate();
    }
    Launch second(dir.path());
    EXPECT_EQ(second.calc.locked()->vars[0], std::complex<double>(3, 0));
    QStringList expected = QStringList{"memorySetting.cbor"} + own;
    QStringList left = data.entryList(QDir::Files | QDir::Hidden);
    expected.sort();
    left.sort();
    EXPECT_EQ(left, expected);
}

// A state file made read-only in a folder that takes files: the launch tells why once, the
// saves stay quiet, the calculator goes on and the file is left as the user made it.
TEST(AppDelegate, AReadOnlyStateFileIsToldOnceAtTheLaunch)
{
    QTemporaryDir dir;
    const QString data = QDir(openFolder(dir)).filePath("data");
    const QString path = QDir(data).filePath(StateFile::kFileName);
    {
        Launch first(data);
        first.calc.locked()->vars[0] = {4, 0};
        first.delegate.applicationWillTerminate();
    }
    QFile::setPermissions(data, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
            | QFile::WriteOther | QFile::ExeOther);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadOther);
    const QByteArray before = [&] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    ReadOnlyFolder asOther(dir.path()); // the file access of another user, as when not root
    Launch launch(data);
    EXPECT_EQ(launch.calc.locked()->vars[0], std::complex<double>(4, 0));
    const QString report = launch.delegate.takeStartupReport().value_or(QString());
    EXPECT_TRUE(report.contains("the file is read-only")) << report.toStdString();
    EXPECT_FALSE(report.contains("folder")) << report.toStdString();
    launch.calc.locked()->vars[0] = {9, 0};
    launch.delegate.applicationWillResignActive();
    launch.delegate.applicationWillTerminate();
    EXPECT_TRUE(launch.told.isEmpty());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}

// A change is saved a moment after it, without leaving the app (a kill then loses nothing):
// not while a run is going, and not again when nothing changed. Keys and the models'
// announcements mark a change.
TEST(AppDelegate, AChangeIsSavedAMomentAfterWithoutLeaving)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(StateFile::kFileName);
    Launch launch(dir.path());
    EXPECT_FALSE(launch.delegate.changePending());
    launch.calc.locked()->vars[0] = {6, 0};
    launch.delegate.noteChange();
    ASSERT_TRUE(launch.delegate.changePending());
    ProgramQueue& queue = launch.calc.parser().programQueue();
    queue.setProgramQueueCount(1);
    launch.delegate.autosave();
    EXPECT_FALSE(QFile::exists(path)) << "saved while a run was going";
    EXPECT_TRUE(launch.delegate.changePending());
    queue.setProgramQueueCount(0);
    launch.delegate.autosave();
    EXPECT_FALSE(launch.delegate.changePending());
    {
        Launch next(dir.path());
        EXPECT_EQ(next.calc.locked()->vars[0], std::complex<double>(6, 0));
    }
    // Nothing changed since: nothing is written.
    ASSERT_TRUE(QFile::remove(path));
    launch.delegate.noteChange();
    launch.delegate.autosave();
    EXPECT_FALSE(QFile::exists(path));
    // Nor does an autosave stop a program or fill the clipboard as leaving does.
    EXPECT_TRUE(launch.told.isEmpty());

    launch.delegate.watch(*qGuiApp);
    QWindow window;
    QKeyEvent key(QEvent::KeyPress, Qt::Key_5, Qt::NoModifier, QStringLiteral("5"));
    QCoreApplication::sendEvent(&window, &key);
    EXPECT_TRUE(launch.delegate.changePending());
    launch.delegate.autosave();
    QMouseEvent hover(QEvent::MouseMove, QPointF(1, 1), QPointF(1, 1), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &hover);
    EXPECT_FALSE(launch.delegate.changePending()) << "the pointer passing by is no change";
    launch.bus.post(VQModeChanged, &launch.calc);
    EXPECT_TRUE(launch.delegate.changePending());
}

// Two apps on one folder, whatever guards them (the lock file removed, or two launches
// guarded apart): the one saving second never saves over the other's session, and says so
// once; each still saves over its own saves, also once they were copied over themselves.
TEST(AppDelegate, AnAppNeverSavesOverAnotherAppsSave)
{
    QTemporaryDir dir;
    Launch one(dir.path());
    Launch other(dir.path());
    one.calc.locked()->vars[0] = {1, 0};
    one.delegate.applicationWillTerminate();
    other.calc.locked()->vars[0] = {2, 0};
    other.delegate.applicationWillResignActive();
    other.delegate.noteChange();
    other.delegate.autosave();
    ASSERT_EQ(other.told.size(), 1);
    EXPECT_TRUE(other.told[0].contains("changed on disk")) << other.told[0].toStdString();
    {
        Launch next(dir.path());
        EXPECT_EQ(next.calc.locked()->vars[0], std::complex<double>(1, 0));
    }
    one.calc.locked()->vars[0] = {3, 0};
    const QString state = QDir(dir.path()).filePath(StateFile::kFileName);
    ASSERT_TRUE(QFile::copy(state, state + ".copy"));
    ASSERT_TRUE(QFile::remove(state));
    ASSERT_TRUE(QFile::rename(state + ".copy", state));
    one.delegate.noteChange();
    one.delegate.autosave();
    one.delegate.applicationWillTerminate();
    EXPECT_TRUE(one.told.isEmpty());
    Launch last(dir.path());
    EXPECT_EQ(last.calc.locked()->vars[0], std::complex<double>(3, 0));
}

TEST(AppDelegate, LeavingPutsTheLastResultOnTheClipboard)
{
    QTemporaryDir dir;
    Launch launch(dir.path());
    QGuiApplication::clipboard()->setText("kept");
    launch.delegate.applicationWillResignActive();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "kept") << "an empty history leaves the clipboard alone";
    Operand record = operandOf(KindReal);
    launch.history().addEntry({0x31}, "0.25", 0, record);
    launch.delegate.applicationWillResignActive();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "0.25");
    // With the value's tokens, so that pasted back here it is the value shown.
    launch.calc.locked()->mathPrint = false;
    record = operandOf(KindReal);
    launch.history().addEntry({0x31}, "-2¹/₂", 0, record);
    launch.delegate.applicationWillResignActive();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "-2¹/₂");
    auto ops = OpsClipboard::line();
    ASSERT_TRUE(ops);
    EXPECT_EQ(launch.calc.parser().eval(*ops, false).re(), -2.5);
}

TEST(AppDelegate, EveryFileHandedOverGivesOneReport)
{
    QTemporaryDir dir;
    auto write = [&](const char* name, const QByteArray& data) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
        return file.fileName();
    };
    // Text longer than the lists it could fill, refused unread.
    QFile big(dir.filePath("big.csv"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(static_cast<qint64>(CSVImport::kMaxTextBytes) + 1));
    big.close();
    // Lists read as the app reads them; a variable file that is none.
    CSVLoader::setLoader(&CSVImport::loadCSV);
    TIFileIO::setFactory([](const std::vector<std::uint8_t>&) { return std::make_unique<FakeTIFile>(1); });
    struct Case {
        QString path;
        int report;
        int posts;
    };
    const Case cases[] = {
        {write("l.csv", "1,2,3"), 80, 1},
        {write("a.txt", "1,2,3"), 73, 0},
        {write("b.csv", "1,\xFF\xFE"), 74, 0},
        {dir.filePath("missing.csv"), 74, 0},
        {write("DATA.CSV", "SPEED,4"), 80, 1},
        {write("c.csv", "oops"), 85, 1},
        {big.fileName(), 86, 0},
        {write("v.8Xp", "**TI83F* damaged"), 1, 1},
        // Latin-1 text, as older spreadsheets save it.
        {write("latin.csv", "Temp \xB0" "C,20,21\ncaf\xE9,1,2\n"), 74, 0},
    };
    for (const Case& c : cases) {
        Launch launch(dir.filePath("data"));
        Posted posted(launch.bus, {VQProgramFileAdded});
        launch.delegate.openFiles({c.path});
        EXPECT_EQ(launch.view->reports, std::vector<int>{c.report}) << c.path.toStdString();
        EXPECT_EQ(posted.count(VQProgramFileAdded), c.posts) << c.path.toStdString();
        // Text that is not UTF-8 says so; a file that is not there or no regular file does not.
        const bool latin = c.path.endsWith("latin.csv") || c.path.endsWith("b.csv");
        EXPECT_EQ(launch.view->messages[0].find("it is not UTF-8 text") != std::string::npos, latin)
            << launch.view->messages[0];
    }
    TIFileIO::setFactory(nullptr);

    Launch launch(dir.filePath("data"));
    launch.delegate.openFiles({dir.filePath("l.csv"), dir.filePath("DATA.CSV")});
    EXPECT_EQ(launch.view->reports, (std::vector<int>{80, 80}));
    EXPECT_EQ(launch.calc.locked()->lists.at("L1").realList(), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(launch.calc.locked()->lists.at("SPEED").realList(), (std::vector<double>{4}));
    CSVLoader::setLoader(nullptr);
}

// The desktop's open request reaches the application object; an event of that type sent
// to any other object is not the desktop's and opens nothing.
TEST(AppDelegate, TheDesktopsOpenRequestImportsOnlyWhenSentToTheApplication)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("l.csv"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("4,5");
    file.close();
    CSVLoader::setLoader(&CSVImport::loadCSV);
    Launch launch(dir.filePath("data"));
    launch.delegate.watch(*qGuiApp);
    QObject other;
    QFileOpenEvent elsewhere(file.fileName());
    QCoreApplication::sendEvent(&other, &elsewhere);
    EXPECT_TRUE(launch.view->reports.empty());
    QFileOpenEvent request(file.fileName());
    QCoreApplication::sendEvent(qGuiApp, &request);
    EXPECT_EQ(launch.view->reports, std::vector<int>{80});
    EXPECT_EQ(launch.calc.locked()->lists.at("L1").realList(), (std::vector<double>{4, 5}));
    CSVLoader::setLoader(nullptr);
}

// A calculator file from the command line or the desktop: read whole but never more than
// the calculator could take, stored through the program manager, one report each.
TEST(AppDelegate, CalculatorFilesHandedOverImportWithOneReportEach)
{
    QTemporaryDir dir;
    Launch launch(dir.filePath("data"));
    auto equations = std::make_shared<YEqModel>(launch.calc);
    auto programs = std::make_shared<ProgramModel>(launch.calc, std::make_shared<ProgramFiles>(dir.filePath("programs")));
    launch.calc.prgmManager = programs;
    TIFileIO::setFactory([&](const std::vector<std::uint8_t>& data) -> std::unique_ptr<TIFileIO> {
        return TIFileReader::tiFileIOWithData(data, {launch.calc, *equations, *programs});
    });
    const auto write = [&](const char* name, const Bytes& data) {
        writeFile(dir.filePath(name), QByteArray(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size())));
        return dir.filePath(name);
    };
    const Bytes hello = entry(5, {'H', 'E', 'L', 'L', 'O'}, counted({0xDE, 0x2A, 'H', 'I', 0x2A}));
    const Bytes broken = entry(1, {'L', 'S'}, le16(1000));
    const QString fifo = dir.filePath("pipe.8xp"), zero = dir.filePath("zero.8xl");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    Posted posted(launch.bus, {VQProgramFileAdded});
    // Cut short, and a byte changed.
    Bytes cut = tiFile(hello), changed = tiFile(hello);
    cut.resize(cut.size() - 3);
    changed[60] ^= 0x20;
    launch.delegate.openFiles({write("HELLO.8xp", tiFile(hello)), write("two.8Xl", tiFile(entry(0, {'A'}, real(2)) + broken)),
        write("none.83p", Bytes{'*', '*', 'T', 'I'}), write("PRGMS.lbxDat", tiFile(hello)), fifo, zero,
        write("cut.8xp", cut), write("changed.8xp", changed)});
    EXPECT_EQ(launch.view->reports, (std::vector<int>{80, 79, 1, 80, 74, 74, 1, 1}));
    // Not a "syntax error": damaged, or no calculator file.
    const std::string damaged = "File cannot be read: it is damaged or is not a calculator variable file.";
    EXPECT_EQ(launch.view->messages, (std::vector<std::string>{"", "", damaged, "", "", "", damaged, damaged}));
    EXPECT_EQ(posted.count(VQProgramFileAdded), 6);
    EXPECT_EQ(programs->programListOf(1), std::vector<std::string>{"HELLO"});
    EXPECT_EQ(programs->opsFor("HELLO"), (Ops{0xDE, 0x2A, 'H', 'I', 0x2A}));
    // The entry before the broken one stays.
    EXPECT_EQ(launch.calc.getVar(0).value, 2.0);
    TIFileIO::setFactory(nullptr);
}

} // namespace
} // namespace orvenda::test

namespace orvenda::test {
namespace {

// What a save of the launch's state holds now, in values.
std::size_t savedValues(Calculator& calc)
{
    std::function<std::size_t(const nlohmann::json&)> count = [&](const nlohmann::json& v) {
        std::size_t n = 1;
        if (v.is_structured())
            for (const nlohmann::json& child : v)
                n += count(child);
        return n;
    };
    return count(*MemoryArchive::parse(MemoryArchive::save(calc)));
}

} // namespace

// A fresh data folder, A = 5, then a state past what a save holds (made by a string, by
// lists, by the history) at each ending: the autosave and leaving the app say in the app
// what the save leaves out, the quit says it to the next launch; A = 5 comes back each time.
TEST(AppDelegate, AStateTooBigIsSavedWithoutWhatMustGoAndSaysWhatWent)
{
    struct State {
        const char* name;
        std::function<void(Launch&)> make;
        std::size_t room;
        const char* leftOut;
    };
    const State states[] = {
        {"a string", [](Launch& l) { l.calc.locked()->strings[0] = Ops(3000, 0x41); }, 1600, "Str1"},
        {"lists",
            [](Launch& l) {
                l.calc.locked()->lists["L₁"] = VQList::listSeqStart(1, 400);
                l.calc.locked()->lists["L₂"] = VQList::listSeqStart(1, 300);
            },
            1000, "L₁ and L₂"},
        {"the history",
            [](Launch& l) {
                for (int k = 0; k < 6; ++k) {
                    Operand record = operandOf(KindReal);
                    l.history().addEntry(Ops(500, 0x31), "1", 0, record);
                }
            },
            1600, "the 3 oldest history items"},
    };
    enum class Ending { Autosave, Inactive, Quit };
    for (const State& state : states)
        for (const Ending ending : {Ending::Autosave, Ending::Inactive, Ending::Quit}) {
            SCOPED_TRACE(std::string(state.name) + ", ending " + std::to_string(static_cast<int>(ending)));
            QTemporaryDir dir;
            {
                Launch launch(dir.path());
                launch.calc.locked()->vars[0] = {5, 0};
                MemoryArchive::Bounds bounds;
                bounds.values = savedValues(launch.calc) + state.room;
                {
                    const auto hold = launch.calc.lockState();
                    launch.calc.setArchiveBounds(bounds);
                }
                state.make(launch);
                if (ending == Ending::Autosave) {
                    launch.delegate.noteChange();
                    launch.delegate.autosave();
                } else if (ending == Ending::Inactive) {
                    launch.delegate.applicationWillResignActive();
                } else {
                    launch.delegate.applicationWillTerminate();
                }
                if (ending == Ending::Quit) {
                    EXPECT_TRUE(launch.told.isEmpty()) << launch.told.join("\n").toStdString();
                } else {
                    ASSERT_EQ(launch.told.size(), 1);
                    EXPECT_TRUE(launch.told[0].contains("cannot be saved whole")) << launch.told[0].toStdString();
                    EXPECT_TRUE(launch.told[0].contains(QString("leaves out %1.").arg(state.leftOut)))
                        << launch.told[0].toStdString();
                    // Told once: the next save that leaves out the same says nothing.
                    launch.delegate.applicationWillResignActive();
                    EXPECT_EQ(launch.told.size(), 1);
                }
            }
            Launch next(dir.path());
            EXPECT_EQ(next.calc.locked()->vars[0], std::complex<double>(5, 0));
            const QString report = next.delegate.takeStartupReport().value_or(QString());
            EXPECT_EQ(report.contains(QString("could not be saved whole when Orvenda was last left")), ending == Ending::Quit)
                << report.toStdString();
            EXPECT_EQ(report.contains(QString("left out %1.").arg(state.leftOut)), ending == Ending::Quit)
                << report.toStdString();
        }
}

} // namespace orvenda::test
