// One music for all of a user's saver processes: the lock between holders in
// one process and across processes, however a holder ends; what is refused at
// the lock's path (and still lets the saver play); where the lock lives; and
// which process gets to play when several start together or one starts while
// an old one is still ending.

#include "audio/music_lock.h"
#include "tests/support/forked_child.h"
#include "tests/support/hostile_files.h"
#include "tests/support/test_support.h"
#include "tests/support/warning_log.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <chrono>
#include <csignal>
#include <cstring>
#include <memory>
#include <optional>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace wm {
namespace {

using namespace std::chrono_literals;
using test::ForkedChild;
using test::WarningLog;

// Another user's id, for files owned by someone else: nobody's for root,
// root's for anyone else (giving a file away then fails, and the test is
// skipped).
uid_t other_user() {
    return ::geteuid() == 0 ? 65534 : 0;
}

// How long a child may take to take the lock or to end: far more than it
// needs.
constexpr auto kBound = 20s;

// Waits until `path` exists; false when it does not within kBound.
bool wait_for_file(const QString& path) {
    const auto deadline = std::chrono::steady_clock::now() + kBound;
    while (!QFileInfo::exists(path)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

class MusicLockTest : public testing::Test {
  protected:
    QString in_dir(const QString& name) const { return dir_.filePath(name); }
    QString lock_path() const { return in_dir(QStringLiteral("music.lock")); }

    // How an old saver process ends.
    enum class End { kKilled, kExitedHoldingIt };

    // A forked child that takes the lock at `path`, says so by making the
    // file `ready`, and holds it until it is killed or `release` appears;
    // it then ends with _exit() while the lock object still lives, so that
    // only the end of the process can let go of the lock.
    static std::unique_ptr<ForkedChild> start_holder(const QString& path, const QString& ready,
                                                     const QString& release) {
        return std::make_unique<ForkedChild>([=](QByteArray& report) {
            MusicLock lock(path);
            if (!lock.try_acquire()) {
                report = "the child did not get the lock";
                return 1;
            }
            if (!test::write_file(ready, "held")) {
                report = "the child could not say it holds the lock";
                return 1;
            }
            const auto deadline = std::chrono::steady_clock::now() + 2 * kBound;
            while (!QFileInfo::exists(release) && std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(2ms);
            }
            ::_exit(0);  // the lock object is never destroyed
        });
    }

    QTemporaryDir dir_;
};

// --- the lock between holders --------------------------------------------

TEST_F(MusicLockTest, ASecondHolderInTheSameProcessGetsItOnlyAfterTheFirstIsGone) {
    const WarningLog log;
    auto first = std::make_unique<MusicLock>(lock_path());
    EXPECT_FALSE(first->held());
    ASSERT_TRUE(first->try_acquire());
    EXPECT_TRUE(first->try_acquire()) << "taking a held lock again keeps it";
    EXPECT_TRUE(first->held());

    // flock() locks belong to the open file, so a second opening competes
    // as another process would.
    MusicLock second(lock_path());
    EXPECT_FALSE(second.try_acquire());
    EXPECT_FALSE(second.try_acquire());
    EXPECT_FALSE(second.held());
    EXPECT_FALSE(second.unusable()) << "a lock someone holds is not a broken one";

    first.reset();
    EXPECT_TRUE(second.try_acquire());
    EXPECT_TRUE(second.held());
    EXPECT_TRUE(log.lines().isEmpty()) << log.lines().join(QLatin1Char('\n')).toStdString();

    // Made for this user alone.
    struct stat info {};
    ASSERT_EQ(::lstat(QFile::encodeName(lock_path()).constData(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_mode & 077, 0u);
    EXPECT_EQ(info.st_uid, ::geteuid());
}

TEST_F(MusicLockTest, AFileOfOursOpenToOthersIsMadePrivate) {
    ASSERT_TRUE(test::write_file(lock_path(), QByteArray()));
    ASSERT_EQ(::chmod(QFile::encodeName(lock_path()).constData(), 0666), 0);
    MusicLock lock(lock_path());
    ASSERT_TRUE(lock.try_acquire());
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(lock_path()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 077, 0u);
}

TEST_F(MusicLockTest, AnotherProcessHoldsItUntilItEndsHoweverItEnds) {
    for (const End end : {End::kKilled, End::kExitedHoldingIt}) {
        const char* how = end == End::kKilled ? "killed" : "exited";
        const QString ready = in_dir(QStringLiteral("ready-%1").arg(QLatin1String(how)));
        const QString release = in_dir(QStringLiteral("release-%1").arg(QLatin1String(how)));
        auto holder = start_holder(lock_path(), ready, release);
        ASSERT_TRUE(holder->started());
        ASSERT_TRUE(wait_for_file(ready)) << how << ": " << holder->kill().report.toStdString();

        MusicLock mine(lock_path());
        EXPECT_FALSE(mine.try_acquire()) << how;
        EXPECT_FALSE(mine.unusable()) << how;

        test::ChildEnd ended;
        if (end == End::kKilled) {
            ended = holder->kill();
            EXPECT_EQ(ended.signal, SIGKILL) << how;
        } else {
            ASSERT_TRUE(test::write_file(release, "go"));
            ended = holder->wait(kBound);
            EXPECT_TRUE(ended.exited) << how << ": " << ended.report.toStdString();
            EXPECT_EQ(ended.exit_code, 0) << how;
        }
        EXPECT_TRUE(mine.try_acquire()) << "after the holder " << how;
    }
}

TEST_F(MusicLockTest, TheDescriptorIsClosedOnExec) {
    MusicLock lock(lock_path());
    ASSERT_TRUE(lock.try_acquire());
    const QString target = QFileInfo(lock_path()).canonicalFilePath();
    ASSERT_FALSE(target.isEmpty());

    int found = -1;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString& entry : fds.entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot)) {
        if (QFileInfo(fds.filePath(entry)).symLinkTarget() == target) {
            found = entry.toInt();
        }
    }
    ASSERT_GE(found, 0) << "no descriptor of this process is open on the lock file";
    const int flags = ::fcntl(found, F_GETFD);
    ASSERT_GE(flags, 0);
    EXPECT_NE(flags & FD_CLOEXEC, 0) << "a program the saver starts would inherit the lock";
}

// --- what is refused at the lock's path ----------------------------------

// What a saver process made of a lock path, found in a forked child so that
// a lock that waits on a pipe fails the test instead of hanging it.
struct Outcome {
    bool finished = false;  // ended by itself, within the bound
    bool first_check = false;
    bool second_check = false;
    bool held = false;
    bool unusable = false;
    int warnings = 0;
    int warnings_naming_path = 0;
    QString warning;  // the first one
    // Whether the child could then lock the file `probe` (when given)
    // itself: proof that the refused path left the file it leads to alone.
    bool probe_free = false;
};

Outcome check_path_in_child(const QString& path, const QString& probe = QString()) {
    ForkedChild child([&](QByteArray& report) {
        const WarningLog log;
        MusicLock lock(path);
        MusicTurn turn(lock, /*primary=*/true);
        const bool first = turn.may_play();
        const bool second = turn.may_play();
        bool probe_free = false;
        if (!probe.isEmpty()) {
            MusicLock other(probe);
            probe_free = other.try_acquire();
        }
        report = QByteArray::number(first) + ' ' + QByteArray::number(second) + ' ' +
                 QByteArray::number(lock.held()) + ' ' + QByteArray::number(lock.unusable()) + ' ' +
                 QByteArray::number(log.lines().size()) + ' ' +
                 QByteArray::number(log.count_naming(path)) + ' ' + QByteArray::number(probe_free) +
                 '\n' + (log.lines().isEmpty() ? QByteArray() : log.lines().first().toUtf8());
        return 0;
    });
    Outcome out;
    if (!child.started()) {
        return out;
    }
    const test::ChildEnd end = child.wait(kBound);
    out.finished = end.exited && end.exit_code == 0 && !end.timed_out;
    const qsizetype line_end = end.report.indexOf('\n');
    const QList<QByteArray> fields = end.report.left(line_end).split(' ');
    if (!out.finished || line_end < 0 || fields.size() != 7) {
        out.finished = false;
        return out;
    }
    out.first_check = fields[0] == "1";
    out.second_check = fields[1] == "1";
    out.held = fields[2] == "1";
    out.unusable = fields[3] == "1";
    out.warnings = fields[4].toInt();
    out.warnings_naming_path = fields[5].toInt();
    out.probe_free = fields[6] == "1";
    out.warning = QString::fromUtf8(end.report.mid(line_end + 1));
    return out;
}

// A refused lock: the saver plays all the same, saying why once.
void expect_refused_but_playing(const Outcome& out, const char* reason) {
    ASSERT_TRUE(out.finished) << "the lock hung or the child failed";
    EXPECT_TRUE(out.first_check) << "a lock that cannot be used must not silence the saver";
    EXPECT_TRUE(out.second_check);
    EXPECT_FALSE(out.held);
    EXPECT_TRUE(out.unusable);
    EXPECT_EQ(out.warnings, 1) << "the reason is logged once";
    EXPECT_EQ(out.warnings_naming_path, 1);
    EXPECT_TRUE(out.warning.contains(QLatin1String(reason))) << out.warning.toStdString();
}

TEST_F(MusicLockTest, ALinkToAMissingFileIsNotFollowed) {
    const QString target = in_dir(QStringLiteral("created-through-the-link"));
    ASSERT_TRUE(QFile::link(target, lock_path()));
    expect_refused_but_playing(check_path_in_child(lock_path()), "symbolic link");
    EXPECT_FALSE(QFileInfo::exists(target)) << "the link's target was created";
    EXPECT_TRUE(QFileInfo(lock_path()).isSymLink());
}

TEST_F(MusicLockTest, ALinkToAFileLeavesThatFileAlone) {
    const QString target = in_dir(QStringLiteral("someone-elses-data"));
    const QByteArray bytes("data that must stay as it is");
    ASSERT_TRUE(test::write_file(target, bytes));
    ASSERT_TRUE(QFile::link(target, lock_path()));
    const Outcome out = check_path_in_child(lock_path(), target);
    expect_refused_but_playing(out, "symbolic link");
    EXPECT_TRUE(out.probe_free) << "the link's target was locked";
    EXPECT_EQ(test::read_file(target), bytes);
}

TEST_F(MusicLockTest, ANamedPipeIsRefusedWithoutWaiting) {
    ASSERT_TRUE(test::make_fifo(lock_path()));
    expect_refused_but_playing(check_path_in_child(lock_path()), "named pipe");
    struct stat info {};
    ASSERT_EQ(::lstat(QFile::encodeName(lock_path()).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST_F(MusicLockTest, AFolderIsRefused) {
    ASSERT_TRUE(QDir().mkdir(lock_path()));
    expect_refused_but_playing(check_path_in_child(lock_path()), "folder");
    EXPECT_TRUE(QFileInfo(lock_path()).isDir());
    EXPECT_TRUE(QDir(lock_path()).isEmpty());
}

TEST_F(MusicLockTest, AFileOwnedBySomeoneElseIsRefused) {
    const QByteArray bytes("theirs");
    ASSERT_TRUE(test::write_file(lock_path(), bytes));
    if (::chown(QFile::encodeName(lock_path()).constData(), other_user(), other_user()) != 0) {
        GTEST_SKIP() << "cannot give a file to another user here (needs root): "
                     << std::strerror(errno);
    }
    expect_refused_but_playing(check_path_in_child(lock_path()), "another user");
    struct stat info {};
    ASSERT_EQ(::lstat(QFile::encodeName(lock_path()).constData(), &info), 0);
    EXPECT_EQ(info.st_uid, other_user());
    EXPECT_EQ(test::read_file(lock_path()), bytes);
}

TEST_F(MusicLockTest, AFolderThatIsNotThereLetsTheSaverPlay) {
    const QString path = in_dir(QStringLiteral("no/such/folder/music.lock"));
    expect_refused_but_playing(check_path_in_child(path), "No such file or directory");
    EXPECT_FALSE(QFileInfo::exists(in_dir(QStringLiteral("no"))));
}

// --- where the lock lives --------------------------------------------------

QString fallback_path() {
    return QDir::tempPath() + QStringLiteral("/wintermere-music-%1.lock").arg(::geteuid());
}

TEST(MusicLockPath, IsInTheRuntimeFolderOnlyWhenThatIsPrivate) {
    const QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto folder = [&](const char* name, mode_t mode) {
        const QString path = dir.filePath(QLatin1String(name));
        EXPECT_TRUE(QDir().mkdir(path));
        EXPECT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
        return path;
    };
    const QString good = folder("good", 0700);
    const QString readable = folder("readable", 0755);
    const QString world_writable = folder("world-writable", 01777);
    const QString group_writable = folder("group-writable", 0770);
    const QString file = dir.filePath(QStringLiteral("a-file"));
    ASSERT_TRUE(test::write_file(file, "x"));

    {
        const test::EnvGuard runtime("XDG_RUNTIME_DIR", std::nullopt);
        EXPECT_EQ(music_lock_path(), fallback_path()) << "unset";
    }
    const struct {
        QString value;
        QString expected;
    } cases[] = {
        {QString(), fallback_path()},
        {QStringLiteral("relative/run"), fallback_path()},
        {QStringLiteral("good"), fallback_path()},
        {world_writable, fallback_path()},
        {group_writable, fallback_path()},
        {file, fallback_path()},
        {dir.filePath(QStringLiteral("missing")), fallback_path()},
        {good, good + QStringLiteral("/wintermere-music.lock")},
        {good + QLatin1Char('/'), good + QStringLiteral("/wintermere-music.lock")},
        {readable, readable + QStringLiteral("/wintermere-music.lock")},
    };
    const QString cwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));  // so that "good" names a good folder
    for (const auto& c : cases) {
        const test::EnvGuard runtime("XDG_RUNTIME_DIR", c.value);
        EXPECT_EQ(music_lock_path(), c.expected) << "XDG_RUNTIME_DIR=" << c.value.toStdString();
    }
    QDir::setCurrent(cwd);
}

TEST(MusicLockPath, IsNotInARuntimeFolderOfAnotherUser) {
    const QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    if (::chown(QFile::encodeName(dir.path()).constData(), other_user(), other_user()) != 0) {
        GTEST_SKIP() << "cannot give a folder to another user here (needs root): "
                     << std::strerror(errno);
    }
    const test::EnvGuard runtime("XDG_RUNTIME_DIR", dir.path());
    EXPECT_EQ(music_lock_path(), fallback_path());
    ::chown(QFile::encodeName(dir.path()).constData(), ::geteuid(), ::getegid());
}

// --- whose turn it is to play ------------------------------------------------

// Enough checks to go well past the tries.
constexpr int kChecks = kLastLockTry + 6;

TEST_F(MusicLockTest, ThePrimaryProcessWinsAndTheOtherNeverPlays) {
    // Both orders in which two processes may reach the same check.
    for (const bool primary_first : {true, false}) {
        SCOPED_TRACE(primary_first ? "primary first" : "other first");
        auto primary_lock = std::make_unique<MusicLock>(lock_path());
        auto primary = std::make_unique<MusicTurn>(*primary_lock, true);
        MusicLock other_lock(lock_path());
        MusicTurn other(other_lock, false);
        for (int check = 1; check <= kChecks; ++check) {
            if (primary_first && primary) {
                EXPECT_TRUE(primary->may_play()) << "check " << check;
            }
            const bool other_plays = other.may_play();
            if (!primary_first && primary) {
                EXPECT_TRUE(primary->may_play()) << "check " << check;
            }
            EXPECT_FALSE(other_plays) << "check " << check;
            // The playing process ends late in the run: the music ends
            // with it.
            if (check == kLastLockTry + 2) {
                primary.reset();
                primary_lock.reset();
            }
        }
        EXPECT_FALSE(other_lock.held());
        // The other one stays silent by its own rule: the lock is free.
        MusicLock probe(lock_path());
        EXPECT_TRUE(probe.try_acquire());
    }
}

TEST_F(MusicLockTest, TheOtherProcessWaitsForItsSecondCheck) {
    MusicLock lock(lock_path());
    MusicTurn other(lock, false);
    EXPECT_FALSE(other.may_play()) << "the first check is the primary process's";
    EXPECT_FALSE(lock.held());
    EXPECT_TRUE(other.may_play()) << "with no primary process, the second check takes the lock";
    for (int check = 3; check <= kChecks; ++check) {
        EXPECT_TRUE(other.may_play()) << "check " << check;
    }
    EXPECT_TRUE(lock.held());
}

TEST_F(MusicLockTest, ANewProcessTakesTheLockOnceTheOldOneHasEnded) {
    for (const bool primary : {true, false}) {
        SCOPED_TRACE(primary ? "primary" : "other");
        const QString ready = in_dir(QStringLiteral("ready-%1").arg(primary));
        auto old_process = start_holder(lock_path(), ready, in_dir(QStringLiteral("never")));
        ASSERT_TRUE(old_process->started());
        ASSERT_TRUE(wait_for_file(ready)) << old_process->kill().report.toStdString();

        MusicLock lock(lock_path());
        MusicTurn turn(lock, primary);
        // The old process ends just before the last try.
        for (int check = 1; check < kLastLockTry; ++check) {
            EXPECT_FALSE(turn.may_play()) << "check " << check << " while the old one plays";
        }
        EXPECT_EQ(old_process->kill().signal, SIGKILL);
        for (int check = kLastLockTry; check <= kChecks; ++check) {
            EXPECT_TRUE(turn.may_play()) << "check " << check;
        }
        EXPECT_TRUE(lock.held());
    }
}

TEST_F(MusicLockTest, NoProcessTakesTheMusicOverAfterTheTries) {
    for (const bool primary : {true, false}) {
        SCOPED_TRACE(primary ? "primary" : "other");
        auto playing = std::make_unique<MusicLock>(lock_path());
        ASSERT_TRUE(playing->try_acquire());
        MusicLock lock(lock_path());
        MusicTurn turn(lock, primary);
        for (int check = 1; check <= kLastLockTry; ++check) {
            EXPECT_FALSE(turn.may_play()) << "check " << check;
        }
        playing.reset();
        for (int check = kLastLockTry + 1; check <= kChecks; ++check) {
            EXPECT_FALSE(turn.may_play()) << "check " << check << ", after the tries";
        }
        EXPECT_FALSE(lock.held());
    }
}

TEST_F(MusicLockTest, AnUnusableLockCountsAsHeldFromTheFirstTry) {
    ASSERT_TRUE(QDir().mkdir(lock_path()));
    const WarningLog log;
    MusicLock primary_lock(lock_path());
    MusicTurn primary(primary_lock, true);
    EXPECT_TRUE(primary.may_play());
    MusicLock other_lock(lock_path());
    MusicTurn other(other_lock, false);
    EXPECT_FALSE(other.may_play()) << "the first check is the primary process's";
    for (int check = 2; check <= kChecks; ++check) {
        EXPECT_TRUE(primary.may_play()) << "check " << check;
        EXPECT_TRUE(other.may_play()) << "check " << check;
    }
    EXPECT_EQ(log.count_naming(lock_path()), 2) << "once for each of the two processes";
}

}  // namespace
}  // namespace wm
