#include "audio/music_lock.h"

#include "platform/regular_file.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QtGlobal>

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace wm {
namespace {

QString system_error() {
    return qt_error_string(errno);
}

// Empty when `info` describes a regular file of this user's; otherwise why
// it cannot be the lock file.
QString unsuitable(const struct stat& info) {
    if (!S_ISREG(info.st_mode)) {
        return not_regular_reason(info.st_mode);
    }
    if (info.st_uid != ::geteuid()) {
        return QStringLiteral("owned by another user (uid %1)").arg(info.st_uid);
    }
    return QString();
}

// A folder only this user can write to.
bool private_folder(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return false;
    }
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() &&
           (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace

QString music_lock_path() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && private_folder(runtime)) {
        return QDir::cleanPath(runtime + QStringLiteral("/wintermere-music.lock"));
    }
    return QDir::cleanPath(QDir::tempPath() +
                           QStringLiteral("/wintermere-music-%1.lock").arg(::geteuid()));
}

MusicLock::MusicLock(QString path) : path_(std::move(path)) {}

MusicLock::~MusicLock() {
    if (fd_ >= 0) {
        if (state_ == State::kHeld) {
            ::flock(fd_, LOCK_UN);
        }
        ::close(fd_);
    }
}

void MusicLock::give_up(const QString& reason) {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    state_ = State::kUnusable;
    problem_ = reason;
    qWarning("wintermere: the music lock %s cannot be used: %s; this saver plays without it",
             qPrintable(path_), qPrintable(reason));
}

bool MusicLock::open_file() {
    if (path_.isEmpty()) {
        give_up(QStringLiteral("no file name"));
        return false;
    }
    const QByteArray name = QFile::encodeName(path_);
    // Whatever is already there is looked at before it is opened: a device
    // or a pipe is never opened at all.
    struct stat found {};
    if (::lstat(name.constData(), &found) == 0) {
        const QString problem = unsuitable(found);
        if (!problem.isEmpty()) {
            give_up(problem);
            return false;
        }
    } else if (errno != ENOENT) {
        give_up(system_error());
        return false;
    }
    // O_NOFOLLOW and O_NONBLOCK: a link or a pipe put there since is refused
    // or opened without waiting, and then refused by what fstat() finds.
    do {
        fd_ = ::open(name.constData(),
                     O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0600);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) {
        give_up(errno == ELOOP ? not_regular_reason(S_IFLNK) : system_error());
        return false;
    }
    struct stat opened {};
    if (::fstat(fd_, &opened) != 0) {
        give_up(system_error());
        return false;
    }
    const QString problem = unsuitable(opened);
    if (!problem.isEmpty()) {
        give_up(problem);
        return false;
    }
    // A file of ours left open to others would let them hold the lock.
    if ((opened.st_mode & 077) != 0) {
        ::fchmod(fd_, 0600);
    }
    state_ = State::kOpen;
    return true;
}

bool MusicLock::try_acquire() {
    if (state_ == State::kHeld) {
        return true;
    }
    if (state_ == State::kUnusable) {
        return false;
    }
    if (state_ == State::kClosed && !open_file()) {
        return false;
    }
    int result = 0;
    do {
        result = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        state_ = State::kHeld;
        return true;
    }
    if (errno == EWOULDBLOCK) {
        return false;  // another holder has it
    }
    give_up(system_error());
    return false;
}

MusicTurn::MusicTurn(MusicLock& lock, bool primary)
    : lock_(lock), first_try_(primary ? kPrimaryFirstLockTry : kOtherFirstLockTry) {}

bool MusicTurn::may_play() {
    if (decision_ != Decision::kUndecided) {
        return decision_ == Decision::kPlays;
    }
    ++checks_;
    if (lock_.held() || (checks_ >= first_try_ && (lock_.try_acquire() || lock_.unusable()))) {
        decision_ = Decision::kPlays;
    } else if (checks_ >= kLastLockTry) {
        decision_ = Decision::kSilent;
    }
    return decision_ == Decision::kPlays;
}

}  // namespace wm
