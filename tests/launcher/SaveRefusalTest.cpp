// Saves refused for one cause after another while another app, a process of its own (the
// driver), saves on the same data folder: each cause is told the first time it refuses a save
// since the last save that went through, never silenced by an earlier one.

#include "app/AppDelegate.h"

#include "TestSupport.h"
#include "app/SaveConditions.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "drive/DriveSession.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

// An app on a data folder, in this process, and what it tells the user.
struct App {
    explicit App(const QString& folder)
        : delegate(calc, folder)
    {
        delegate.tell = [this](const QString& message) { told << message; };
    }
    void set(int slot, double value)
    {
        calc.locked()->vars[static_cast<std::size_t>(slot)] = {value, 0};
        delegate.applicationWillResignActive();
    }

    NotificationCenter bus;
    Calculator calc{kUS, bus};
    AppDelegate delegate;
    QStringList told;
};

// The other app on the folder: it stores 5 in B and quits, saving.
void otherAppSavesB(const QString& folder)
{
    const DriveRun run = driveScript("type 5->B\nkey ENTER\nwait idle\ndump\n", "--data '" + folder.toStdString() + "'");
    ASSERT_TRUE(endedWithDumps(run, 1));
}

TEST(SaveRefusal, EachCauseIsToldTheFirstTimeSinceTheLastSave)
{
    QTemporaryDir dir;
    const QString data = QDir(openFolder(dir)).filePath(QStringLiteral("data"));
    {
        // A full disk, told; room made, saved; then the other app saves and this one's C is
        // refused: told too (it went without a word).
        App app(data);
        app.set(0, 7);
        {
            FullDisk full;
            app.set(0, 8);
            app.set(0, 8);
        }
        ASSERT_EQ(app.told.size(), 1);
        EXPECT_TRUE(app.told[0].contains("the disk is full")) << app.told[0].toStdString();
        app.set(0, 8);
        otherAppSavesB(data);
        app.set(2, 9);
        ASSERT_EQ(app.told.size(), 2);
        EXPECT_TRUE(app.told[1].contains("changed on disk")) << app.told[1].toStdString();
        app.set(2, 10);
        EXPECT_EQ(app.told.size(), 2) << "the same cause, not told again";
    }
    {
        App next(data);
        EXPECT_EQ(next.calc.getVar(1).value, 5.0) << "the other app's save is kept";
        EXPECT_EQ(next.calc.getVar(2).value, 0.0);
    }

    // A state file read-only at the launch, told then; made writable, the other app saves on
    // it, and this one's C is refused: told.
    const QString path = QDir(data).filePath(StateFile::kFileName);
    QFile::setPermissions(data, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
            | QFile::WriteOther | QFile::ExeOther);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadOther);
    std::optional<App> app;
    {
        ReadOnlyFolder asOther(dir.path()); // the file access of another user, as when not root
        app.emplace(data);
    }
    const QString report = app->delegate.takeStartupReport().value_or(QString());
    EXPECT_TRUE(report.contains("the file is read-only")) << report.toStdString();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther);
    otherAppSavesB(data);
    app->set(2, 9);
    ASSERT_EQ(app->told.size(), 1);
    EXPECT_TRUE(app->told[0].contains("changed on disk")) << app->told[0].toStdString();
}

} // namespace
} // namespace orvenda::test
