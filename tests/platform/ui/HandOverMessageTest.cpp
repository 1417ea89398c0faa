// The message a later launch hands the running app: what comes through whole, however the
// bytes are split, and what is refused before it has all arrived.

#include "platform/HandOverMessage.h"

#include <QDataStream>
#include <QIODevice>

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

using Status = HandOverMessage::Status;

// A message as QDataStream writes it, the form launches always sent.
QByteArray streamed(quint32 count, const QStringList& paths)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << count;
    for (const QString& path : paths)
        out << path;
    return bytes;
}

QByteArray number(quint32 value)
{
    QByteArray bytes;
    QDataStream(&bytes, QIODevice::WriteOnly) << value;
    return bytes;
}

TEST(HandOverMessage, ComesThroughWholeHoweverItIsSplit)
{
    const QStringList files{"/home/ana/Lists/L₁ data.csv", "/tmp/\U0001F4C8.8xl", "/a"};
    const std::vector<QByteArray> messages = HandOverMessage::encode(files);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], streamed(3, files));
    HandOverMessage reader;
    // A byte at a time: complete only with the last.
    for (qsizetype k = 0; k + 1 < messages[0].size(); ++k)
        ASSERT_EQ(reader.read(messages[0].mid(k, 1)), Status::Incomplete) << k;
    ASSERT_EQ(reader.read(messages[0].right(1)), Status::Complete);
    EXPECT_EQ(reader.take(), files);

    // Two messages and the start of a third in one read; no files at all is a message too.
    const QByteArray none = HandOverMessage::encode({}).front();
    EXPECT_EQ(none, number(0));
    HandOverMessage stream;
    ASSERT_EQ(stream.read(messages[0] + none + messages[0].left(7)), Status::Complete);
    EXPECT_EQ(stream.take(), files);
    ASSERT_EQ(stream.read({}), Status::Complete);
    EXPECT_EQ(stream.take(), QStringList());
    EXPECT_EQ(stream.read({}), Status::Incomplete);
    ASSERT_EQ(stream.read(messages[0].mid(7)), Status::Complete);
    EXPECT_EQ(stream.take(), files);
}

TEST(HandOverMessage, ManyFilesGoInSeveralMessages)
{
    QStringList files;
    for (quint32 k = 0; k < HandOverMessage::kMaxFiles * 2 + 1; ++k)
        files << QStringLiteral("/data/%1.csv").arg(k);
    const std::vector<QByteArray> messages = HandOverMessage::encode(files);
    ASSERT_EQ(messages.size(), 3u);
    HandOverMessage reader;
    QStringList received;
    for (const QByteArray& message : messages) {
        ASSERT_EQ(reader.read(message), Status::Complete);
        received += reader.take();
    }
    EXPECT_EQ(received, files);
}

// Each refusal comes as soon as the bytes that make it are in, and is final.
TEST(HandOverMessage, RefusesWhatIsNoHandOverBeforeItHasArrived)
{
    const QString tooLong = "/" + QString(HandOverMessage::kMaxPathUnits, QLatin1Char('x'));
    struct Case {
        const char* what;
        QByteArray start;
    };
    const Case cases[] = {
        {"too many files", number(HandOverMessage::kMaxFiles + 1)},
        {"a path longer than any", number(1) + number(2 * (HandOverMessage::kMaxPathUnits + 1))},
        {"a path of two gigabytes", number(1) + number(0x7FFFFFFE)},
        {"a null string", number(1) + number(0xFFFFFFFF)},
        {"half a code unit", number(1) + number(3)},
        {"an empty path", number(1) + number(0)},
        {"a relative path", streamed(1, {"l.csv"})},
        {"a path with a NUL", streamed(1, {QStringLiteral("/a") + QChar(0) + QStringLiteral("b")})},
        {"a good path, then a relative one", streamed(2, {"/a.csv", "b.csv"})},
    };
    for (const Case& c : cases) {
        HandOverMessage reader;
        EXPECT_EQ(reader.read(c.start), Status::Refused) << c.what;
        EXPECT_EQ(reader.read(streamed(0, {})), Status::Refused) << c.what;
        EXPECT_TRUE(reader.take().isEmpty()) << c.what;
    }
    // The longest path the system allows comes through; a longer one is not even sent.
    HandOverMessage reader;
    ASSERT_EQ(reader.read(HandOverMessage::encode({tooLong.left(HandOverMessage::kMaxPathUnits), tooLong}).front()),
        Status::Complete);
    EXPECT_EQ(reader.take(), QStringList{tooLong.left(HandOverMessage::kMaxPathUnits)});
}

// The largest message, seven bytes at a time: each byte is looked at once (read from the
// start at every read, this would take hours).
TEST(HandOverMessage, TheLargestMessageIsReadInOnePass)
{
    const QString path = "/" + QString(HandOverMessage::kMaxPathUnits - 1, QLatin1Char('p'));
    const QByteArray message = HandOverMessage::encode(QStringList(HandOverMessage::kMaxFiles, path)).front();
    ASSERT_GT(message.size(), 8'000'000);
    HandOverMessage reader;
    Status status = Status::Incomplete;
    for (qsizetype k = 0; k < message.size(); k += 7)
        status = reader.read(QByteArrayView(message.constData() + k, std::min<qsizetype>(7, message.size() - k)));
    ASSERT_EQ(status, Status::Complete);
    EXPECT_EQ(reader.take().size(), qsizetype(HandOverMessage::kMaxFiles));
}

} // namespace
} // namespace orvenda::test
