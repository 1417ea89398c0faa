#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvenda {

namespace {

constexpr int kRandomCharacters = 6;

QString randomCharacters()
{
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString text;
    for (int i = 0; i < kRandomCharacters; ++i)
        text += QLatin1Char(kAlphabet[QRandomGenerator::global()->bounded(static_cast<int>(sizeof kAlphabet - 1))]);
    return text;
}

} // namespace

bool AtomicFile::writeAll(int fd, std::span<const std::uint8_t> bytes)
{
    while (!bytes.empty()) {
        const ssize_t done = AtomicFile::systemWrite ? AtomicFile::systemWrite(fd, bytes.data(), bytes.size())
                                                     : ::write(fd, bytes.data(), bytes.size());
        if (done < 0 && errno == EINTR)
            continue;
        if (done == 0)
            errno = ENOSPC;
        if (done <= 0)
            return false;
        bytes = bytes.subspan(static_cast<std::size_t>(done));
    }
    return true;
}

int AtomicFile::openTemporary(const QString& path, QByteArray& temporary)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = QFile::encodeName(temporaryPrefix(path) + randomCharacters());
        const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

QString AtomicFile::temporaryPrefix(const QString& path)
{
    // Hidden and marked as the app's own: no backup a person keeps is named so.
    const QFileInfo info(path);
    return info.absoluteDir().filePath(QStringLiteral(".%1~orvenda-unfinished-save~").arg(info.fileName()));
}

bool AtomicFile::fileWritable(const QString& path)
{
    // Opening checks the permissions as the system would for the write itself.
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    return errno == ENOENT;
}

bool AtomicFile::write(const QString& path, std::span<const std::uint8_t> bytes, bool* diskFull)
{
    if (diskFull)
        *diskFull = false;
    const QString file = target(path);
    if (file.isEmpty()) {
        errno = ELOOP;
        return false;
    }
    return replace(file, file != QFileInfo(path).absoluteFilePath(), bytes, diskFull);
}

bool AtomicFile::writeOwn(const QString& path, std::span<const std::uint8_t> bytes, bool* diskFull)
{
    if (diskFull)
        *diskFull = false;
    return replace(QFileInfo(path).absoluteFilePath(), false, bytes, diskFull);
}

bool AtomicFile::replace(const QString& file, bool followed, std::span<const std::uint8_t> bytes, bool* diskFull)
{
    bool full = false;
    if (!diskFull)
        diskFull = &full;
    const auto failed = [diskFull] {
        *diskFull = *diskFull || errno == ENOSPC || errno == EDQUOT;
        return false;
    };
    const QByteArray replaced = QFile::encodeName(file);
    // What stands at the name itself: a link there is replaced, not looked through.
    struct stat existing {};
    const bool exists = ::lstat(replaced.constData(), &existing) == 0;
    const bool replaces = exists && S_ISREG(existing.st_mode);
    // The folder a link leads to is its maker's: never made here (it may be a drive's that is
    // not there now).
    if ((!followed && !QDir().mkpath(QFileInfo(file).absolutePath()))
        || (exists && !S_ISLNK(existing.st_mode) && !fileWritable(file)))
        return false;
    QByteArray temporary;
    const int fd = openTemporary(file, temporary);
    if (fd < 0)
        return failed();
    // The replacement keeps the permissions of the file it replaces.
    bool written = (!replaces || ::fchmod(fd, existing.st_mode & 07777) == 0) && writeAll(fd, bytes) && ::fsync(fd) == 0;
    if (!written)
        failed();
    written = (::close(fd) == 0 || failed()) && written;
    if (written && std::rename(temporary.constData(), replaced.constData()) == 0)
        return true;
    failed();
    ::unlink(temporary.constData());
    return false;
}

QString AtomicFile::target(const QString& path)
{
    // As many links in a row as the system itself follows.
    constexpr int kMostLinks = 40;
    QString at = QFileInfo(path).absoluteFilePath();
    for (int links = 0; links <= kMostLinks; ++links) {
        const QFileInfo info(at);
        if (!info.isSymLink())
            return at;
        at = info.symLinkTarget();
    }
    return {};
}

QString AtomicFile::writeNew(const QString& temporaryFor, const std::function<QString(int)>& names,
    const std::function<bool(int fd)>& fill, bool* diskFull)
{
    bool full = false;
    if (!diskFull)
        diskFull = &full;
    *diskFull = false;
    const auto failed = [diskFull] {
        *diskFull = *diskFull || errno == ENOSPC || errno == EDQUOT;
        return QString();
    };
    QByteArray temporary;
    const int fd = openTemporary(temporaryFor, temporary);
    if (fd < 0)
        return failed();
    bool written = fill(fd) && ::fsync(fd) == 0;
    if (!written)
        failed();
    if (::close(fd) != 0) {
        failed();
        written = false;
    }
    QString given;
    for (int n = 0; written && given.isEmpty(); ++n) {
        const QString name = names(n);
        if (name.isEmpty())
            break;
        const QByteArray to = QFile::encodeName(name);
        // Never over a name another app or instant took.
        if (::renameat2(AT_FDCWD, temporary.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
            return name;
        if (errno == EEXIST)
            continue;
        if (errno != EINVAL && errno != ENOSYS)
            break;
        // A folder whose system cannot rename so: a second name, which a taken one refuses.
        if (::link(temporary.constData(), to.constData()) == 0)
            given = name;
        else if (errno != EEXIST)
            break;
    }
    if (given.isEmpty())
        failed();
    ::unlink(temporary.constData());
    return given;
}

int AtomicFile::removeLeftovers(const QString& folder, const QString& namePattern)
{
    const QFileInfo prefix(temporaryPrefix(QDir(folder).filePath(namePattern)));
    const QDir dir = prefix.absoluteDir();
    int removed = 0;
    for (const QString& name : dir.entryList({prefix.fileName() + QString(kRandomCharacters, QLatin1Char('?'))},
             QDir::Files | QDir::Hidden | QDir::System))
        removed += QFile::remove(dir.filePath(name)) ? 1 : 0;
    return removed;
}

int AtomicFile::removeLeftovers(const QString& path)
{
    const auto removeBeside = [](const QString& file) {
        const QFileInfo info(file);
        return removeLeftovers(info.absolutePath(), info.fileName());
    };
    const QString file = target(path);
    const QString own = QFileInfo(path).absoluteFilePath();
    return removeBeside(own) + (file.isEmpty() || file == own ? 0 : removeBeside(file));
}

} // namespace orvenda
