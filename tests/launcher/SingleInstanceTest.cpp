// One app per data folder: the guard, where the hand-over socket lives and whom a launch
// hands its files to, what the running app takes from a connection, and a launch whose
// running app does not answer.

#include "launcher/SingleInstance.h"

#include <QApplication>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orvenda::test {
namespace {

using Role = SingleInstance::Role;
using Launch = SingleInstance::Launch;
using namespace std::chrono_literals;

constexpr int kGenerousMs = 30000;
constexpr unsigned kNobody = 65534;

// Runs the event loop until done says so; false when it never does.
bool spinUntil(const std::function<bool()>& done, int limitMs = kGenerousMs)
{
    const QDeadlineTimer deadline(limitMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Work on a thread of its own, the event loop running meanwhile (a launch blocks).
void inBackground(const std::function<void()>& work)
{
    std::unique_ptr<QThread> thread(QThread::create(work));
    thread->start();
    EXPECT_TRUE(spinUntil([&] { return thread->isFinished(); }));
    thread->wait();
}

// An environment variable set (or unset) for the test's life.
class Variable {
public:
    Variable(const char* name, std::optional<QByteArray> value)
        : name_(name)
        , before_(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt)
    {
        set(value);
    }
    ~Variable() { set(before_); }
    Variable(const Variable&) = delete;
    Variable& operator=(const Variable&) = delete;

private:
    void set(const std::optional<QByteArray>& value)
    {
        if (value)
            qputenv(name_, *value);
        else
            qunsetenv(name_);
    }
    const char* name_;
    std::optional<QByteArray> before_;
};

// A runtime folder of the session's for the test's life, with the permissions given.
struct RuntimeFolder {
    explicit RuntimeFolder(QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)
    {
        QFile::setPermissions(dir.path(), permissions);
    }
    QTemporaryDir dir;
    Variable variable{"XDG_RUNTIME_DIR", QFile::encodeName(dir.path())};
};

// What the app says on its standard error, whichever thread says it.
class Warnings {
public:
    Warnings() { previous_ = qInstallMessageHandler(&record); }
    ~Warnings()
    {
        qInstallMessageHandler(previous_);
        const std::lock_guard lock(mutex_);
        said_.clear();
    }
    static bool said(const QString& text)
    {
        const std::lock_guard lock(mutex_);
        return saidLocked(text);
    }
    // Until it is said (by any thread); false when it is not within the time.
    static bool waitFor(const QString& text, std::chrono::milliseconds limit)
    {
        std::unique_lock lock(mutex_);
        return spoken_.wait_for(lock, limit, [&] { return saidLocked(text); });
    }

private:
    static bool saidLocked(const QString& text)
    {
        for (const QString& message : said_)
            if (message.contains(text))
                return true;
        return false;
    }
    static void record(QtMsgType, const QMessageLogContext&, const QString& message)
    {
        {
            const std::lock_guard lock(mutex_);
            said_ << message;
        }
        spoken_.notify_all();
    }
    QtMessageHandler previous_ = nullptr;
    static inline std::mutex mutex_;
    static inline std::condition_variable spoken_;
    static inline QStringList said_;
};

// A running app on a data folder of its own, with the files handed to it.
struct RunningApp {
    RunningApp()
    {
        QObject::connect(&app, &SingleInstance::filesHandedOver, [this](const QStringList& files) { handed += files; });
    }
    RuntimeFolder runtime;
    QTemporaryDir dir;
    QString data = dir.filePath("data");
    SingleInstance app{data};
    Role role = app.claim();
    QStringList handed;
};

// The socket's path, also for a bare name (where Qt puts it).
QString socketPath(const SingleInstance& instance)
{
    const QString name = instance.serverName();
    return name.startsWith(QLatin1Char('/')) ? name : QDir::tempPath() + QLatin1Char('/') + name;
}

bool onlyTheUserReaches(const QString& folder)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(folder).constData(), &info) == 0 && S_ISDIR(info.st_mode)
        && info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

// A plain connection to the socket, as any program of the user's could make; -1 when none.
int connectTo(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, native.constData(), std::min<std::size_t>(native.size(), sizeof address.sun_path - 1));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        return fd;
    if (fd >= 0)
        ::close(fd);
    return -1;
}

// What the other end did to a plain connection: 0 closed it, 1 answered a byte, -1 nothing
// yet.
int peerDid(int fd)
{
    char byte = 0;
    const ssize_t got = ::recv(fd, &byte, 1, MSG_DONTWAIT);
    return got == 0 ? 0 : got == 1 ? 1 : -1;
}

QByteArray streamed(const QStringList& paths)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << static_cast<quint32>(paths.size());
    for (const QString& path : paths)
        out << path;
    return bytes;
}

// A data folder that takes no file, no lock among them (a full disk is as good): nothing
// can be made below a plain file. Its launches are still one at a time.
TEST(SingleInstance, TheGuardNeedsNothingWrittenInTheDataFolder)
{
    RuntimeFolder runtime;
    QTemporaryDir dir;
    QFile plain(dir.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString data = dir.filePath("plain/Orvenda");
    {
        SingleInstance first(data);
        ASSERT_EQ(first.claim(), Role::First);
        SingleInstance second(data);
        EXPECT_EQ(second.claim(), Role::Second);
        // Through another path to the same folder.
        SingleInstance third(dir.filePath("plain/../plain/Orvenda"));
        EXPECT_EQ(third.claim(), Role::Second);
    }
    // Let go with the app that held it.
    SingleInstance after(data);
    EXPECT_EQ(after.claim(), Role::First);
}

// With the session's runtime folder, without one, and with one that others may write in
// (where another account made the app's folder first): the socket is in a folder of the
// user's own that no one else may enter.
TEST(SingleInstance, TheHandOverSocketLivesWhereOnlyTheUserReaches)
{
    QTemporaryDir dir;
    const QString data = dir.filePath("data");
    const auto check = [&](const char* where, const std::function<void(const QString&)>& alsoCheck) {
        SingleInstance app(data);
        ASSERT_EQ(app.claim(), Role::First) << where;
        const QString socket = socketPath(app);
        EXPECT_TRUE(QFileInfo(socket).exists()) << where;
        EXPECT_TRUE(onlyTheUserReaches(QFileInfo(socket).absolutePath())) << where << ": " << socket.toStdString();
        alsoCheck(socket);
    };
    {
        RuntimeFolder runtime;
        check("the runtime folder", [&](const QString& socket) {
            EXPECT_TRUE(socket.startsWith(runtime.dir.path() + QLatin1Char('/'))) << socket.toStdString();
        });
    }
    {
        Variable none("XDG_RUNTIME_DIR", std::nullopt);
        check("no runtime folder", [](const QString&) {});
    }
    {
        RuntimeFolder shared(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
            | QFile::WriteOther | QFile::ExeOther);
        check("a shared runtime folder", [](const QString&) {});
    }
    if (::geteuid() == 0) {
        RuntimeFolder shared(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
            | QFile::WriteOther | QFile::ExeOther);
        const QString taken = shared.dir.filePath("orvenda");
        ASSERT_TRUE(QDir().mkpath(taken));
        ASSERT_EQ(::chown(QFile::encodeName(taken).constData(), kNobody, kNobody), 0);
        check("a runtime folder whose app folder is another account's", [&](const QString& socket) {
            EXPECT_FALSE(socket.startsWith(taken)) << socket.toStdString();
        });
    }
}

// Another account's server where the running app's would be (the launch would not find one
// there, the folder being the user's; put there by root): the launch hands it nothing.
TEST(SingleInstance, ALaunchHandsItsFilesOnlyToAServerOfItsOwnUser)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "another account's server needs root to make";
    RuntimeFolder runtime;
    QTemporaryDir dir;
    SingleInstance launch(dir.filePath("data"));
    const QByteArray target = QFile::encodeName(socketPath(launch));
    QTemporaryDir theirs;
    ASSERT_EQ(::chown(QFile::encodeName(theirs.path()).constData(), kNobody, kNobody), 0);
    const QByteArray theirSocket = QFile::encodeName(theirs.path() + QStringLiteral("/s"));
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The other account: answers as the app would and says whether anything came.
        ::alarm(30);
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(2);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, theirSocket.constData(), static_cast<std::size_t>(theirSocket.size()));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 4) != 0)
            ::_exit(3);
        const char go = 1;
        if (::write(ready[1], &go, 1) != 1)
            ::_exit(4);
        const int client = ::accept(fd, nullptr, nullptr);
        if (client < 0)
            ::_exit(5);
        char buffer[4096];
        ssize_t got = 0, total = 0;
        while ((got = ::read(client, buffer, sizeof buffer)) > 0) {
            if (total == 0 && ::write(client, &go, 1) != 1)
                ::_exit(6);
            total += got;
        }
        ::_exit(total > 0 ? 1 : 0);
    }
    char go = 0;
    ASSERT_EQ(::read(ready[0], &go, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
    ASSERT_EQ(::rename(theirSocket.constData(), target.constData()), 0);
    EXPECT_FALSE(launch.handOver({"/home/ana/marks.csv"}, 10000));
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the other account received the paths";
    ::unlink(target.constData());
}

// A running app that cannot listen says so (later launches could not reach it).
TEST(SingleInstance, AListenThatFailsIsSaid)
{
    RuntimeFolder runtime;
    QTemporaryDir dir;
    const QString socket = socketPath(SingleInstance(dir.path()));
    ASSERT_TRUE(QDir().mkpath(socket));
    {
        Warnings warnings;
        SingleInstance app(dir.path());
        EXPECT_EQ(app.claim(), Role::First);
        EXPECT_TRUE(Warnings::said(QStringLiteral("listening on ") + socket)) << socket.toStdString();
    }
    QDir(socket).removeRecursively();
}

// Files handed over arrive as absolute paths, relative ones made so by the launch; a message
// naming a file relative to wherever the running app is, is refused whole.
TEST(SingleInstance, TheRunningAppTakesOnlyAbsolutePaths)
{
    RunningApp running;
    ASSERT_EQ(running.role, Role::First);
    std::atomic<bool> taken = false;
    inBackground([&] { taken = SingleInstance(running.data).handOver({"lists/l.csv", "/abs/x.8xp"}); });
    EXPECT_TRUE(taken);
    ASSERT_TRUE(spinUntil([&] { return !running.handed.isEmpty(); }));
    EXPECT_EQ(running.handed, QStringList({QDir::current().absoluteFilePath("lists/l.csv"), "/abs/x.8xp"}));

    const int fd = connectTo(socketPath(running.app));
    ASSERT_GE(fd, 0);
    const QByteArray relative = streamed({"/abs/y.csv", "l.csv"});
    ASSERT_EQ(::send(fd, relative.constData(), static_cast<std::size_t>(relative.size()), MSG_NOSIGNAL), relative.size());
    int did = -1;
    ASSERT_TRUE(spinUntil([&] { return (did = peerDid(fd)) != -1; }));
    EXPECT_EQ(did, 0) << "answered";
    QCoreApplication::processEvents();
    EXPECT_EQ(running.handed.size(), 2);
    ::close(fd);
}

// A message far longer than any hand-over is cut off as soon as its first path says so,
// not read to its end.
TEST(SingleInstance, AMessagePastItsBoundsIsCutOff)
{
    RunningApp running;
    ASSERT_EQ(running.role, Role::First);
    const QString socket = socketPath(running.app);
    constexpr qint64 kSending = 32 * 1024 * 1024;
    std::atomic<qint64> sent = 0;
    inBackground([&] {
        const int fd = connectTo(socket);
        if (fd < 0)
            return;
        const timeval patience{30, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof patience);
        // One path of two gigabytes, then its bytes.
        QByteArray chunk;
        QDataStream(&chunk, QIODevice::WriteOnly) << quint32(1) << quint32(0x7FFFFFFE);
        chunk += QByteArray(64 * 1024 - chunk.size(), 'x');
        while (sent < kSending) {
            const ssize_t done = ::send(fd, chunk.constData(), static_cast<std::size_t>(chunk.size()), MSG_NOSIGNAL);
            if (done <= 0)
                break;
            sent += done;
            chunk.fill('x');
        }
        ::close(fd);
    });
    EXPECT_LT(sent, kSending / 4);
}

TEST(SingleInstance, ASilentConnectionIsClosed)
{
    RunningApp running;
    ASSERT_EQ(running.role, Role::First);
    running.app.setConnectionTimeout(50ms);
    const int silent = connectTo(socketPath(running.app));
    ASSERT_GE(silent, 0);
    EXPECT_TRUE(spinUntil([&] { return peerDid(silent) == 0; }));
    ::close(silent);
}

// While alive, the next accepts fail as in a process out of descriptors.
class OutOfDescriptors {
public:
    explicit OutOfDescriptors(int accepts)
    {
        failing_ = accepts;
        SingleInstance::systemAccept = [](int fd, sockaddr* address, socklen_t* length, int flags) {
            if (failing_.fetch_sub(1) > 0) {
                errno = EMFILE;
                return -1;
            }
            return ::accept4(fd, address, length, flags);
        };
    }
    ~OutOfDescriptors() { SingleInstance::systemAccept = nullptr; }
    OutOfDescriptors(const OutOfDescriptors&) = delete;
    OutOfDescriptors& operator=(const OutOfDescriptors&) = delete;

private:
    static inline std::atomic<int> failing_{0};
};

// A hand-over the app had no descriptor left to take waits, and is taken once the app has
// descriptors again: the server goes on.
TEST(SingleInstance, TheRunningAppGoesOnServingAfterAnAcceptFails)
{
    RunningApp running;
    ASSERT_EQ(running.role, Role::First);
    const auto handOver = [&](const QString& file) {
        std::atomic<bool> taken = false;
        inBackground([&] { taken = SingleInstance(running.data).handOver({file}, kGenerousMs); });
        return taken.load();
    };
    {
        OutOfDescriptors none(3);
        EXPECT_TRUE(handOver("/abs/first.csv"));
    }
    EXPECT_TRUE(handOver("/abs/second.csv"));
    EXPECT_TRUE(spinUntil([&] { return running.handed == QStringList({"/abs/first.csv", "/abs/second.csv"}); }));
}

// A running app that neither answers nor ends is given up, and the user is told in a window;
// one that ends lets the waiting launch take the folder.
TEST(SingleInstance, ALaunchWaitsForTheRunningAppToAnswerOrEnd)
{
    RuntimeFolder runtime;
    QTemporaryDir dir;
    const QString data = dir.filePath("data");
    const QStringList files{"/abs/a.csv"};
    Warnings warnings;
    {
        // The running app's event loop never runs while the launch waits: no answer.
        SingleInstance app(data);
        ASSERT_EQ(app.claim(), Role::First);
        SingleInstance launch(data);
        EXPECT_EQ(launch.launch(files, {0ms, 300ms, 20ms}), Launch::NotAnswered);
        EXPECT_TRUE(Warnings::said("does not answer yet"));
    }
    {
        auto app = std::make_unique<SingleInstance>(data);
        ASSERT_EQ(app->claim(), Role::First);
        std::atomic<int> outcome = -1;
        std::atomic<int> afterwards = -1;
        std::unique_ptr<QThread> thread(QThread::create([&] {
            SingleInstance launch(data);
            outcome = static_cast<int>(launch.launch(files, {0ms, 60s, 20ms}));
            afterwards = static_cast<int>(SingleInstance(data).claim());
        }));
        thread->start();
        // Once the launch waits for the answer, the app ends without giving one.
        EXPECT_TRUE(Warnings::waitFor("does not answer yet", std::chrono::milliseconds(kGenerousMs)));
        app.reset();
        ASSERT_TRUE(thread->wait(kGenerousMs));
        EXPECT_EQ(outcome, static_cast<int>(Launch::Run));
        EXPECT_EQ(afterwards, static_cast<int>(Role::Second)) << "the launch holds the folder";
    }
    QString shown;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    SingleInstance::tellNotOpened(data, files);
    EXPECT_TRUE(shown.contains("does not answer")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("/abs/a.csv")) << shown.toStdString();
}

} // namespace
} // namespace orvenda::test
