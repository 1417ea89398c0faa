#include "platform/HandOverMessage.h"

#include <QtEndian>

namespace orvenda {

namespace {

void appendNumber(QByteArray& out, std::uint32_t value)
{
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

} // namespace

std::vector<QByteArray> HandOverMessage::encode(const QStringList& absolutePaths)
{
    // A longer path names no file the system could open.
    QStringList paths;
    for (const QString& path : absolutePaths)
        if (path.size() <= static_cast<qsizetype>(kMaxPathUnits))
            paths << path;
    std::vector<QByteArray> messages;
    qsizetype next = 0;
    do {
        const qsizetype count = std::min<qsizetype>(paths.size() - next, kMaxFiles);
        QByteArray message;
        appendNumber(message, static_cast<std::uint32_t>(count));
        for (qsizetype k = next; k < next + count; ++k) {
            const QString& path = paths[k];
            appendNumber(message, static_cast<std::uint32_t>(path.size() * 2));
            for (const QChar unit : path) {
                const char16_t code = unit.unicode();
                message.append(static_cast<char>(code >> 8));
                message.append(static_cast<char>(code & 0xFF));
            }
        }
        messages.push_back(std::move(message));
        next += count;
    } while (next < paths.size());
    return messages;
}

std::uint32_t HandOverMessage::number()
{
    const std::uint32_t value = qFromBigEndian<std::uint32_t>(buffer_.constData() + position_);
    position_ += 4;
    return value;
}

HandOverMessage::Status HandOverMessage::read(QByteArrayView bytes)
{
    if (refused_)
        return Status::Refused;
    buffer_.append(bytes);
    return parse();
}

HandOverMessage::Status HandOverMessage::parse()
{
    if (!haveCount_) {
        if (!need(4))
            return Status::Incomplete;
        count_ = number();
        haveCount_ = true;
        if (count_ > kMaxFiles) {
            refused_ = true;
            return Status::Refused;
        }
    }
    while (static_cast<std::uint32_t>(files_.size()) < count_) {
        if (!need(4))
            return Status::Incomplete;
        const std::uint32_t bytes = qFromBigEndian<std::uint32_t>(buffer_.constData() + position_);
        // Odd, empty, too long, or QDataStream's null string: no path.
        if (bytes % 2 != 0 || bytes == 0 || bytes > 2 * kMaxPathUnits) {
            refused_ = true;
            return Status::Refused;
        }
        if (!need(4 + bytes))
            return Status::Incomplete;
        position_ += 4;
        QString path(static_cast<qsizetype>(bytes / 2), Qt::Uninitialized);
        for (qsizetype k = 0; k < path.size(); ++k) {
            path[k] = QChar(qFromBigEndian<quint16>(buffer_.constData() + position_));
            position_ += 2;
        }
        if (!path.startsWith(QLatin1Char('/')) || path.contains(QChar(0))) {
            refused_ = true;
            return Status::Refused;
        }
        files_ << path;
    }
    return Status::Complete;
}

QStringList HandOverMessage::take()
{
    if (refused_ || !haveCount_ || static_cast<std::uint32_t>(files_.size()) < count_)
        return {};
    QStringList files = std::move(files_);
    files_.clear();
    haveCount_ = false;
    count_ = 0;
    // What followed belongs to the next message.
    buffer_.remove(0, position_);
    position_ = 0;
    return files;
}

} // namespace orvenda
