#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>

#include <sys/socket.h>

class QSocketNotifier;
class QTimer;

namespace orvenda {

class AppLauncher;

// One app per data folder: the first launch holds the folder's guard and listens for later
// launches, which hand it the files they were given and end. Two apps saving one state file
// would each overwrite what the other kept.
//
// The guard and the listening socket live in a folder only the user can reach (the user's
// runtime folder, else one of the user's own in the temporary folder, else one in the
// user's cache folder), never in the data folder, which may be full or read-only: the guard
// is a lock on a file there, which the system lets go when the process ends however it
// ends. A later launch hands its files only to a server run by the same user. Two apps that
// still run on one folder (guarded apart, or after the lock file was removed) never save
// over each other: the state file itself refuses it.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role {
        // This launch holds the folder: it runs and takes what later launches hand over.
        First,
        // Another app holds the folder: hand over the files and end.
        Second,
        // No folder of the user's own takes the guard: this launch runs alone.
        Unguarded,
    };
    enum class Launch {
        // This launch holds the folder (or runs unguarded): start the app.
        Run,
        // The running app took the files.
        HandedOver,
        // The running app holds the folder and does not answer.
        NotAnswered,
    };
    struct Patience {
        // Waiting for the answer this long, the launch says that it waits.
        std::chrono::milliseconds notice{1000};
        // A running app that neither answers nor ends within this is given up.
        std::chrono::milliseconds giveUp{15000};
        // Between two looks at the server and the guard.
        std::chrono::milliseconds retry{100};
    };
    // Connections at once; more are closed as they come.
    static constexpr int kMaxConnections = 16;

    explicit SingleInstance(const QString& dataFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Main thread, once the guard is let go or never: one try for the guard.
    Role claim();
    // A launch: the guard when it is free, else a hand-over of the files to the app that
    // holds it; when that app does not answer, the guard once it lets it go (an app that
    // is ending), else NotAnswered after patience.giveUp. Blocks.
    Launch launch(const QStringList& files, const Patience& patience);
    Launch launch(const QStringList& files) { return launch(files, Patience{}); }
    // One hand-over, blocking up to timeoutMs: true when a running app of this user took the
    // files (their paths are made absolute first). Any thread.
    bool handOver(const QStringList& files, int timeoutMs = 30000) const;
    // The launched app imports what later launches hand over, its window brought forward;
    // also what they handed over while it started (waiting for its saved calculator).
    void serve(AppLauncher& app);
    // The path of the socket the first launch listens on, the same for every path to one
    // folder; empty when the user has no folder of their own to hold it.
    QString serverName() const;
    // Whether later launches can reach this one (the first launch's listening succeeded).
    bool listening() const { return listenFd_ >= 0; }
    // How long a connection may take to bring its files before it is closed.
    void setConnectionTimeout(std::chrono::milliseconds timeout) { connectionTimeout_ = timeout; }
    // The system's accept4, through which every accept goes (a test stands in a process out
    // of descriptors).
    static inline int (*systemAccept)(int fd, sockaddr* address, socklen_t* length, int flags) = nullptr;

    // Tells the user, in a window, that the files were not opened: the app running on the
    // folder does not answer.
    static void tellNotOpened(const QString& dataFolder, const QStringList& files);
    static QString notOpenedText(const QString& dataFolder, const QStringList& files);

Q_SIGNALS:
    // The files a later launch handed over, absolute paths, in the order it was given them.
    void filesHandedOver(const QStringList& files);

private:
    enum class Attempt { Taken, NoServer, Gone, Unanswered, Foreign, Claimed };
    // One connection: the files handed over, or why not. guardFree, when set, is asked
    // while the answer is awaited: true once this launch has taken the guard.
    Attempt attempt(const QStringList& files, const Patience& patience, std::chrono::steady_clock::time_point start,
        bool& toldWaiting, const std::function<bool()>& guardFree) const;
    void listen();
    void accept();
    void resumeAccepting();
    void take(int fd);

    QString folder_;
    // What was handed over before the app was there to take it.
    QStringList early_;
    bool served_ = false;
    // In the user's own folder; empty when there is none.
    QString lockPath_;
    QString socketPath_;
    int lockFd_ = -1;
    int listenFd_ = -1;
    int connections_ = 0;
    std::chrono::milliseconds connectionTimeout_{10000};
    std::unique_ptr<QSocketNotifier> acceptNotifier_;
    // After an accept that failed for want of resources, accepting pauses a moment.
    std::unique_ptr<QTimer> acceptPause_;
};

} // namespace orvenda
