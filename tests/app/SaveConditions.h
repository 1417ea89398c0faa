#pragma once

// What a save may meet, made for a test: a folder that takes nothing (also for tests run as
// root) and a disk that is full.

#include "platform/AtomicFile.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>

#include <sys/fsuid.h>
#include <unistd.h>

namespace orvenda::test {

// While alive, the folder takes no new file, no rename and no removal: read-only for this
// thread's file access, also when the tests run as root (whose file access then goes as
// another user).
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& folder)
        : folder_(folder)
        , root_(::geteuid() == 0)
    {
        QFile::setPermissions(folder_, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        if (root_) {
            ::setfsgid(kNobody);
            ::setfsuid(kNobody);
        }
    }
    ~ReadOnlyFolder()
    {
        if (root_) {
            ::setfsuid(0);
            ::setfsgid(0);
        }
        QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                | QFile::ExeOther);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

private:
    static constexpr unsigned kNobody = 65534;
    QString folder_;
    bool root_;
};

// A temporary folder that any user may enter (the data folders below it are made so).
inline QString openFolder(const QTemporaryDir& dir)
{
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
            | QFile::ExeOther);
    return dir.path();
}

// While alive, every write finds the disk full.
struct FullDisk {
    FullDisk()
    {
        AtomicFile::systemWrite = [](int, const void*, std::size_t) -> ssize_t {
            errno = ENOSPC;
            return -1;
        };
    }
    ~FullDisk() { AtomicFile::systemWrite = nullptr; }
};

} // namespace orvenda::test
