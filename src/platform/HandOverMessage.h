#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace orvenda {

// What a later launch hands the running app: the absolute paths of the files it was given.
// On the wire, big-endian: the count of paths (32 bits), then each path as its length in
// bytes (32 bits) and its UTF-16 code units, as QDataStream writes a QString. A launch
// given more than one message carries sends several, one after the other.
//
// The running app reads what any local program of its user sends: the reader takes the
// bytes as they come, looks at each byte once, and refuses a message past its bounds
// before the rest of it has arrived, as well as any path that is not absolute (it would
// name a file relative to wherever the running app happens to be).
class HandOverMessage {
public:
    static constexpr std::uint32_t kMaxFiles = 1000;
    // A path's length in UTF-16 code units: far more than the system allows.
    static constexpr std::uint32_t kMaxPathUnits = 4096;

    // The messages carrying the files (at least one: no files still brings the app
    // forward). Each path must be absolute.
    static std::vector<QByteArray> encode(const QStringList& absolutePaths);

    enum class Status {
        // More bytes to come.
        Incomplete,
        // A whole message: take() it.
        Complete,
        // Past its bounds or no message at all: the connection is closed.
        Refused,
    };

    // Takes the next bytes of the stream; Complete once a message is whole (the bytes
    // after it wait for the next read).
    Status read(QByteArrayView bytes);
    // The files of the message completed, in order; the reader goes on with the bytes that
    // followed it.
    QStringList take();

private:
    Status parse();
    bool need(qsizetype count) const { return buffer_.size() - position_ >= count; }
    std::uint32_t number();

    QByteArray buffer_;
    qsizetype position_ = 0;
    bool refused_ = false;
    bool haveCount_ = false;
    std::uint32_t count_ = 0;
    QStringList files_;
};

} // namespace orvenda
