// Only regular files of a bounded size are read: pipes, devices, folders and
// links to them are refused without waiting, and nothing grows past the limit.

#include "platform/regular_file.h"

#include "tests/support/hostile_files.h"
#include "tests/support/test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace wm {
namespace {

constexpr qint64 kLimit = 1000;

class RegularFile : public testing::Test {
  protected:
    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

TEST_F(RegularFile, SpecialFilesAndLinksToThemAreRefusedWithoutWaiting) {
    ASSERT_TRUE(test::make_fifo(path(QStringLiteral("pipe.jpg"))));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path(QStringLiteral("zero.mp3"))));
    ASSERT_TRUE(QFile::link(path(QStringLiteral("pipe.jpg")), path(QStringLiteral("to-pipe.png"))));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.mp3")));
    const struct {
        QString path;
        const char* says;
    } cases[] = {
        {path(QStringLiteral("pipe.jpg")), "a named pipe"},
        {path(QStringLiteral("to-pipe.png")), "a named pipe"},
        {path(QStringLiteral("zero.mp3")), "a device"},
        {QStringLiteral("/dev/zero"), "a device"},
        {path(QStringLiteral("folder.mp3")), "a folder"},
        {path(QStringLiteral("missing.jpg")), "No such file"},
        {QString(), "no file name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        QString problem;
        EXPECT_FALSE(is_regular_file(c.path, kLimit, &problem));
        EXPECT_TRUE(problem.contains(QLatin1String(c.says))) << problem.toStdString();
        problem.clear();
        EXPECT_FALSE(read_regular_file(c.path, kLimit, &problem).has_value());
        EXPECT_TRUE(problem.contains(QLatin1String(c.says))) << problem.toStdString();
        EXPECT_EQ(open_regular_file(c.path, kLimit), -1);
        // Nobody needs to be told why.
        EXPECT_FALSE(read_regular_file(c.path, kLimit).has_value());
    }
}

TEST_F(RegularFile, ReadsAGoodFileWholeThroughLinksEmptyOrUpToTheLimit) {
    QByteArray bytes(kLimit, '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 7);
    }
    const QString full = test::write_file_in(dir, QStringLiteral("full.bin"), bytes);
    const QString empty = test::write_file_in(dir, QStringLiteral("empty.bin"), QByteArray());
    ASSERT_TRUE(QFile::link(full, path(QStringLiteral("link.bin"))));

    EXPECT_TRUE(is_regular_file(full, kLimit));
    EXPECT_EQ(read_regular_file(full, kLimit), bytes);
    EXPECT_EQ(read_regular_file(path(QStringLiteral("link.bin")), kLimit), bytes);
    const std::optional<QByteArray> nothing = read_regular_file(empty, kLimit);
    ASSERT_TRUE(nothing.has_value());
    EXPECT_TRUE(nothing->isEmpty());
    EXPECT_TRUE(is_regular_file(empty, 0));

    const int fd = open_regular_file(full, kLimit);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::fcntl(fd, F_GETFL) & O_NONBLOCK, 0) << "handed over for ordinary reading";
    EXPECT_NE(::fcntl(fd, F_GETFD) & FD_CLOEXEC, 0) << "not inherited by programs started later";
    char first[3] = {};
    EXPECT_EQ(::read(fd, first, sizeof first), 3);
    EXPECT_EQ(QByteArray(first, 3), bytes.left(3));
    ::close(fd);
}

TEST_F(RegularFile, AFileLargerThanTheLimitIsRefusedBeforeItIsRead) {
    const QString big =
        test::write_file_in(dir, QStringLiteral("big.bin"), QByteArray(kLimit, 'x'));
    QString problem;
    EXPECT_FALSE(is_regular_file(big, kLimit - 1, &problem));
    EXPECT_EQ(problem, QStringLiteral("larger than 999 bytes"));
    EXPECT_FALSE(read_regular_file(big, kLimit - 1).has_value());
    EXPECT_EQ(open_regular_file(big, kLimit - 1), -1);

    // A sparse file of a terabyte costs no disk, and is never read.
    QFile huge(path(QStringLiteral("huge.bin")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(qint64{1} << 40));
    huge.close();
    problem.clear();
    EXPECT_FALSE(read_regular_file(huge.fileName(), qint64{256} << 20, &problem).has_value());
    EXPECT_TRUE(problem.contains(QStringLiteral("larger than"))) << problem.toStdString();
    // A negative limit allows only empty files.
    EXPECT_FALSE(is_regular_file(big, -5));
}

}  // namespace
}  // namespace wm
