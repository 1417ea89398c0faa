#include "platform/BoundedFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace orvenda::test {
namespace {

// At most the bound and one byte more are read, whatever the file is or says it is; what
// has no end or may never get a writer is not read at all.
TEST(BoundedFile, ReadsNoMoreThanTheBoundAndOnlyRegularFiles)
{
    QTemporaryDir dir;
    const QString small = dir.filePath("small.csv"), big = dir.filePath("big.csv");
    {
        QFile file(small);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("1,2,3");
        QFile large(big);
        ASSERT_TRUE(large.open(QIODevice::WriteOnly));
        large.write(QByteArray(100'000, '7'));
    }
    QByteArray data;
    EXPECT_EQ(BoundedFile::read(small, 5, data), BoundedFile::Result::Read);
    EXPECT_EQ(data, QByteArray("1,2,3"));
    EXPECT_EQ(BoundedFile::read(small, 4, data), BoundedFile::Result::TooLong);
    EXPECT_EQ(BoundedFile::read(big, 70'000, data), BoundedFile::Result::TooLong);
    EXPECT_EQ(data.size(), 70'001);

    // An endless device behind a link with a plain name; a FIFO nobody writes to.
    const QString zero = dir.filePath("zero.csv"), fifo = dir.filePath("pipe.csv");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {zero, fifo, dir.path(), dir.filePath("missing.csv")}) {
        data = "unchanged";
        EXPECT_EQ(BoundedFile::read(path, 1000, data), BoundedFile::Result::Unreadable) << path.toStdString();
    }
}

} // namespace
} // namespace orvenda::test
