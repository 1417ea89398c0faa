#include "platform/BoundedFile.h"

#include <QFile>

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvenda {

BoundedFile::Result BoundedFile::read(const QString& path, qint64 maxBytes, QByteArray& data)
{
    // Opened without waiting (a FIFO would wait for a writer), then checked for what it is:
    // the checked file is the one read, whatever the name points at meanwhile.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Result::Unreadable;
    struct stat status {};
    QFile file;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Result::Unreadable;
    }
    // Room for what the size says, within the bound; a file that grows is still cut there.
    data.clear();
    data.reserve(static_cast<qsizetype>(std::clamp<qint64>(status.st_size, 0, maxBytes + 1)));
    char chunk[1 << 16];
    while (data.size() <= maxBytes) {
        const qint64 got = file.read(chunk, std::min<qint64>(sizeof chunk, maxBytes + 1 - data.size()));
        if (got < 0)
            return Result::Unreadable;
        if (got == 0)
            break;
        data.append(chunk, static_cast<qsizetype>(got));
    }
    return data.size() > maxBytes ? Result::TooLong : Result::Read;
}

} // namespace orvenda
