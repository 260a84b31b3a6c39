#include "tests/pack/pack_fixture.h"
#include "tests/support/forked_child.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace wm::test {
namespace {

class PackWriter : public PackTest {
  protected:
    QByteArray index_bytes() const { return read_file(base() + kIndexSuffix); }
    QByteArray data_bytes() const { return read_file(base() + kDataSuffix); }

    // Writes a good pack to be kept through a failing rebuild.
    void write_old_pack() {
        pack_of({source(QStringLiteral("old1.jpg"), pattern_bytes(500, 1)),
                 source(QStringLiteral("old2.wav"), pattern_bytes(61000, 2))});
        old_index_ = index_bytes();
        old_data_ = data_bytes();
        ASSERT_FALSE(old_index_.isEmpty());
        ASSERT_EQ(old_data_.size(), 61500);
    }

    // The old pack is byte for byte as it was, and nothing else is in its folder.
    void expect_old_pack_untouched() const {
        EXPECT_EQ(index_bytes(), old_index_);
        EXPECT_EQ(data_bytes(), old_data_);
        EXPECT_EQ(entries(pack_folder()),
                  (QStringList{QStringLiteral("images.icf"), QStringLiteral("images.img")}));
    }

    bool rebuild(const QStringList& sources, QString* problem) {
        return make_pack_file(pack_folder(), kPackBaseName, sources, problem);
    }

    QByteArray old_index_;
    QByteArray old_data_;
};

TEST_F(PackWriter, WritesTheIndexLinesAndTheMembersBackToBack) {
    const QByteArray a = pattern_bytes(10, 1);
    const QByteArray b = pattern_bytes(70000, 2);
    pack_of({source(QStringLiteral("a.jpg"), a), source(QStringLiteral("b.mid"), b)});

    const QByteArray expected_index = "Wintermere\r\nQuillory\r\n" + kPackMakerAddress.toUtf8() +
                                      "\r\n2\r\na.jpg\r\n10\r\nb.mid\r\n70000\r\n";
    EXPECT_EQ(index_bytes(), expected_index);
    EXPECT_EQ(index_bytes().count("\r\n"), 8);
    EXPECT_EQ(data_bytes().size(), 70010);
    EXPECT_EQ(data_bytes(), a + b);
}

TEST_F(PackWriter, KeepsNamesWithCommasAndSpacesWholeAndAZeroByteMemberTakesNoRoom) {
    const QByteArray first = pattern_bytes(3, 1);
    const QByteArray last = pattern_bytes(4, 2);
    pack_of({source(QStringLiteral("Snow, at night.jpg"), first),
             source(QStringLiteral("empty.wav"), QByteArray()), source(QStringLiteral("x"), last)});
    EXPECT_TRUE(
        index_bytes().contains("\r\nSnow, at night.jpg\r\n3\r\nempty.wav\r\n0\r\nx\r\n4\r\n"));
    EXPECT_EQ(data_bytes(), first + last);
}

TEST_F(PackWriter, RewritingReplacesBothFiles) {
    write_old_pack();
    const QByteArray only = pattern_bytes(20, 9);
    pack_of({source(QStringLiteral("new.gif"), only)});
    EXPECT_TRUE(index_bytes().endsWith("\r\n1\r\nnew.gif\r\n20\r\n"));
    EXPECT_EQ(data_bytes(), only);
    EXPECT_EQ(entries(pack_folder()),
              (QStringList{QStringLiteral("images.icf"), QStringLiteral("images.img")}));
}

TEST_F(PackWriter, AFailedRebuildLeavesTheOldPackAsItWas) {
    write_old_pack();
    const QString good = source(QStringLiteral("good.jpg"), pattern_bytes(70000, 3));
    const QString folder = sources_folder() + QStringLiteral("folder.jpg");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString fifo = sources_folder() + QStringLiteral("pipe.mid");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString with_break = source(QStringLiteral("two\nlines.jpg"), pattern_bytes(5, 4));

    for (const QString& bad :
         {sources_folder() + QStringLiteral("missing.jpg"), folder, fifo, with_break}) {
        QString problem;
        EXPECT_FALSE(rebuild({good, bad}, &problem)) << bad.toStdString();
        EXPECT_TRUE(problem.contains(bad)) << problem.toStdString();
        expect_old_pack_untouched();
    }
}

TEST_F(PackWriter, RefusesASourceTooLargeForASizeLine) {
    write_old_pack();
    const QString huge = source(QStringLiteral("huge.wav"), QByteArray());
    QFile file(huge);
    // A sparse file: no blocks are written for it.
    ASSERT_TRUE(file.resize(kMaxMemberBytes + 1));
    QString problem;
    EXPECT_FALSE(rebuild({huge}, &problem));
    EXPECT_TRUE(problem.contains(QStringLiteral("2147483647"))) << problem.toStdString();
    expect_old_pack_untouched();
    file.remove();
}

TEST_F(PackWriter, AnIrreplaceableDataFileKeepsTheOldIndex) {
    write_old_pack();
    // A folder standing where the data file goes cannot be replaced by a file.
    ASSERT_TRUE(QFile::remove(base() + kDataSuffix));
    ASSERT_TRUE(QDir().mkpath(base() + kDataSuffix));
    QString problem;
    EXPECT_FALSE(rebuild({source(QStringLiteral("n.jpg"), pattern_bytes(9, 5))}, &problem));
    EXPECT_FALSE(problem.isEmpty());
    EXPECT_EQ(index_bytes(), old_index_);
    EXPECT_EQ(entries(pack_folder()),
              (QStringList{QStringLiteral("images.icf"), QStringLiteral("images.img")}));
}

TEST_F(PackWriter, FailsForAFolderThatCannotBeWritten) {
    const QString source_path = source(QStringLiteral("a.jpg"), pattern_bytes(10, 1));
    EXPECT_FALSE(make_pack_file(home_.path() + QStringLiteral("/no/such/folder"), kPackBaseName,
                                {source_path}));
    EXPECT_FALSE(make_pack_file(QString(), kPackBaseName, {source_path}));
}

// Exit status of a child that found no way to mount a file system of its own.
constexpr int kNoPrivateMount = 77;

// Gives the calling (single-threaded, fork()ed) process a mount namespace of
// its own in which mounts stay private; false with the reason in `report`
// where the machine does not allow it.
bool private_mount_namespace(QByteArray& report) {
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    const int flags = uid == 0 ? CLONE_NEWNS : CLONE_NEWNS | CLONE_NEWUSER;
    if (::unshare(flags) != 0) {
        report = QByteArray("unshare: ") + std::strerror(errno);
        return false;
    }
    if (uid != 0) {
        // The same ids inside as outside, so that files keep their owner.
        const auto map = [](const char* file, const QByteArray& line) {
            QFile out(QString::fromLatin1(file));
            return out.open(QIODevice::WriteOnly) && out.write(line) == line.size();
        };
        if (!map("/proc/self/setgroups", "deny") ||
            !map("/proc/self/uid_map",
                 QByteArray::number(uid) + ' ' + QByteArray::number(uid) + " 1") ||
            !map("/proc/self/gid_map",
                 QByteArray::number(gid) + ' ' + QByteArray::number(gid) + " 1")) {
            report = "cannot map the user's ids";
            return false;
        }
    }
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        report = QByteArray("making mounts private: ") + std::strerror(errno);
        return false;
    }
    return true;
}

TEST_F(PackWriter, AWriteBeyondTheFileSizeLimitFailsWithTheSystemsReason) {
    write_old_pack();
    const QStringList sources{source(QStringLiteral("big.jpg"), pattern_bytes(200000, 7))};
    ForkedChild child([&](QByteArray& report) {
        // The limit is met in the second chunk's write, part of which fits.
        if (!limit_file_size(100000)) {
            report = "setrlimit failed";
            return 2;
        }
        QString problem;
        const bool written = rebuild(sources, &problem);
        report = problem.toUtf8();
        return written ? 1 : 0;
    });
    const ChildEnd end = child.wait();
    ASSERT_TRUE(end.exited) << "signal " << end.signal;
    ASSERT_EQ(end.exit_code, 0) << end.report.toStdString();
    const QString problem = QString::fromUtf8(end.report);
    EXPECT_TRUE(problem.contains(qt_error_string(EFBIG))) << problem.toStdString();
    EXPECT_TRUE(problem.contains(QStringLiteral("big.jpg"))) << problem.toStdString();
    EXPECT_FALSE(problem.contains(QStringLiteral("Unknown error"))) << problem.toStdString();
    expect_old_pack_untouched();
}

TEST_F(PackWriter, AFullFileSystemFailsWithTheSystemsReasonAndKeepsTheOldPack) {
    const QStringList old_sources{source(QStringLiteral("old1.jpg"), pattern_bytes(500, 1)),
                                  source(QStringLiteral("old2.wav"), pattern_bytes(61000, 2))};
    const QStringList big{source(QStringLiteral("big.jpg"), pattern_bytes(400000, 7))};
    ASSERT_TRUE(QDir().mkpath(pack_folder()));
    // All of it happens in a child: the small file system is mounted over the
    // pack folder in the child's own mount namespace, and nowhere else.
    ForkedChild child([&](QByteArray& report) {
        if (!private_mount_namespace(report)) {
            return kNoPrivateMount;
        }
        if (::mount("tmpfs", QFile::encodeName(pack_folder()).constData(), "tmpfs", 0,
                    "size=256k") != 0) {
            report = QByteArray("mount: ") + std::strerror(errno);
            return kNoPrivateMount;
        }
        QString problem;
        if (!rebuild(old_sources, &problem)) {
            report = "the old pack cannot be written: " + problem.toUtf8();
            return 2;
        }
        const QByteArray index = index_bytes();
        const QByteArray data = data_bytes();
        if (rebuild(big, &problem)) {
            report = "a pack larger than its file system was written";
            return 3;
        }
        report = problem.toUtf8();
        if (index_bytes() != index || data_bytes() != data || data.size() != 61500 ||
            entries(pack_folder()) !=
                QStringList{QStringLiteral("images.icf"), QStringLiteral("images.img")}) {
            report += "\nthe old pack did not stay as it was";
            return 4;
        }
        return 0;
    });
    const ChildEnd end = child.wait();
    ASSERT_TRUE(end.exited) << "signal " << end.signal;
    if (end.exit_code == kNoPrivateMount) {
        GTEST_SKIP() << "no file system of its own can be mounted here: "
                     << end.report.toStdString();
    }
    ASSERT_EQ(end.exit_code, 0) << end.report.toStdString();
    const QString problem = QString::fromUtf8(end.report);
    EXPECT_TRUE(problem.contains(qt_error_string(ENOSPC))) << problem.toStdString();
    EXPECT_FALSE(problem.contains(QStringLiteral("Unknown error"))) << problem.toStdString();
}

TEST_F(PackWriter, KeepsTheModeOfTheFilesItReplaces) {
    write_old_pack();
    for (const QString& suffix : {kIndexSuffix, kDataSuffix}) {
        ASSERT_EQ(::chmod(QFile::encodeName(base() + suffix).constData(), 0604), 0);
    }
    pack_of({source(QStringLiteral("n.jpg"), pattern_bytes(9, 5))});
    for (const QString& suffix : {kIndexSuffix, kDataSuffix}) {
        struct stat status {};
        ASSERT_EQ(::stat(QFile::encodeName(base() + suffix).constData(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0604u) << suffix.toStdString();
    }
}

TEST_F(PackWriter, RefusesAnIndexTooLargeForAReader) {
    write_old_pack();
    // 1 MiB of index lines: names of 200 characters, each member listed twice.
    const QString name = QString(196, QLatin1Char('n')) + QStringLiteral(".jpg");
    const QString one = source(name, pattern_bytes(3, 6));
    const QStringList many(5300, one);
    QString problem;
    EXPECT_FALSE(rebuild(many, &problem));
    EXPECT_TRUE(problem.contains(QString::number(kMaxIndexBytes))) << problem.toStdString();
    expect_old_pack_untouched();
}

TEST_F(PackWriter, OneFolderTakesOneWriteAtATime) {
    write_old_pack();
    // Another write holds the folder's lock (a lock of its own open folder).
    const int other = ::open(QFile::encodeName(pack_folder()).constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    const QString n = source(QStringLiteral("n.jpg"), pattern_bytes(9, 5));
    QString problem;
    EXPECT_FALSE(rebuild({n}, &problem));
    EXPECT_TRUE(problem.contains(QStringLiteral("another pack is being written")))
        << problem.toStdString();
    expect_old_pack_untouched();
    ::close(other);
    EXPECT_TRUE(rebuild({n}, &problem)) << problem.toStdString();
}

TEST_F(PackWriter, CanRebuildFromItsOwnDataFile) {
    write_old_pack();
    pack_of({base() + kDataSuffix});
    EXPECT_EQ(data_bytes(), old_data_);
    EXPECT_TRUE(index_bytes().endsWith("\r\n1\r\nimages.img\r\n61500\r\n"));
}

}  // namespace
}  // namespace wm::test
