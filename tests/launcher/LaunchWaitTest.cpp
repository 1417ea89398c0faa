// A launch that finds its saved calculator still being written by another program: the
// window that says so at once, the later launch it answers meanwhile, and the way to stop
// waiting.

#include "launcher/LaunchWait.h"
#include "launcher/SingleInstance.h"
#include "platform/StateFile.h"

#include "WidgetEvents.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <sys/stat.h>

namespace orvenda::test {
namespace {

using namespace std::chrono_literals;

TEST(LaunchWait, AWaitingLaunchSaysSoAtOnceAnswersLaterLaunchesAndStopsWhenTold)
{
    QTemporaryDir dir;
    SingleInstance first(dir.path());
    ASSERT_EQ(first.claim(), SingleInstance::Role::First);
    QStringList handed;
    QObject::connect(&first, &SingleInstance::filesHandedOver, [&](const QStringList& files) { handed << files; });
    const QString path = QDir(dir.path()).filePath(StateFile::kFileName);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("half a calculator");
    }
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    // The clock stands a second after the file's last change: it is being written all along.
    const std::int64_t now = std::int64_t(info.st_ctim.tv_sec + 1) * 1000000000LL + info.st_ctim.tv_nsec;

    LaunchWait wait(path);
    std::thread later;
    std::atomic<bool> answered = false;
    bool shownAtOnce = false;
    QString said;
    int pauses = 0;
    StateFile state(dir.path(), {},
        {10s, [&] { return now; },
            [&](std::chrono::milliseconds time) {
                if (++pauses == 1)
                    later = std::thread([&] {
                        SingleInstance second(dir.path());
                        answered = second.handOver({QStringLiteral("x.csv")}, 60000);
                    });
                wait.wait(time);
                QWidget* window = wait.window();
                if (pauses == 1 && window) {
                    shownAtOnce = window->isVisible();
                    said = window->findChild<QLabel*>()->text();
                }
                // Waiting goes on until the later launch was answered, then the user stops it.
                if (answered && window)
                    clickAt(*window, centreIn(*window, *window->findChild<QPushButton*>()));
            },
            [&] { return wait.keepWaiting(); }});
    const StateFile::Contents launch = state.read();
    later.join();
    wait.launched();
    QCoreApplication::processEvents();

    EXPECT_EQ(launch.status, StateFile::Status::Busy);
    EXPECT_TRUE(shownAtOnce);
    EXPECT_TRUE(said.startsWith("Waiting for the saved calculator " + QDir::toNativeSeparators(path)))
        << said.toStdString();
    EXPECT_TRUE(answered) << "a later launch is answered while this one waits";
    EXPECT_EQ(handed, QStringList{QFileInfo(QStringLiteral("x.csv")).absoluteFilePath()});
    EXPECT_EQ(wait.window(), nullptr);
    EXPECT_TRUE(QFile::exists(path)) << "left to its writer";
}

} // namespace
} // namespace orvenda::test
