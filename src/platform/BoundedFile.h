#pragma once

#include <QByteArray>
#include <QString>

namespace orvenda {

// A file handed to the app, read whole but never more than a bound, whatever its size says:
// only a regular file is read (a device such as /dev/zero has no end, a FIFO may never get
// a writer), and at most the bound plus one byte, which tells that there was more.
class BoundedFile {
public:
    enum class Result { Read, Unreadable, TooLong };

    // The file's bytes into data when Read.
    static Result read(const QString& path, qint64 maxBytes, QByteArray& data);
};

} // namespace orvenda
