#pragma once

#include <QLockFile>
#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

namespace orvenda {

class AppLauncher;

// One app per data folder: the first launch holds the folder's lock file and listens for
// later launches, which hand it the files they were given and end. Two apps saving one
// state file would each overwrite what the other kept. The lock is let go when this ends
// (or the process dies: a lock whose process is gone is taken over).
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role {
        // This launch holds the folder: it runs and takes what later launches hand over.
        First,
        // Another app holds the folder: hand over the files and end.
        Second,
        // The folder takes no lock file (it cannot be written): this launch runs alone.
        Unguarded,
    };

    static constexpr const char* kLockName = ".orvenda-instance.lock";

    explicit SingleInstance(const QString& dataFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Main thread, once, before the state is read.
    Role claim();
    // A second launch's hand-over, blocking up to timeoutMs: true when the running app took
    // the files (their paths are made absolute first). Any thread.
    bool handOver(const QStringList& files, int timeoutMs = 30000) const;
    // The launched app imports what later launches hand over, its window brought forward.
    void serve(AppLauncher& app);
    // The name the first launch listens under, the same for every path to one folder.
    QString serverName() const;

Q_SIGNALS:
    // The files a later launch handed over, absolute paths, in the order it was given them.
    void filesHandedOver(const QStringList& files);

private:
    void accept();

    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
};

} // namespace orvenda
