#pragma once
// One music for all of a user's saver processes.
//
// A screen-saver host starts one saver process per monitor, and every few
// minutes starts them all again while the old ones are still ending. Only one
// of them plays music: the one that holds the user's music lock, an flock()
// on a small file of the user's. The lock goes with the process however it
// ends (the kernel drops it when the last descriptor closes), so a new
// process can take it shortly after an old one has gone, and no file needs
// cleaning up.
//
// The lock file lives where only the user can write: $XDG_RUNTIME_DIR, or the
// system temp folder (named with the user id) when that is missing or not
// safe. In the temp folder anyone may have put something at that path first:
// a link, a pipe, a folder or a file of their own. Such a thing is never
// followed, waited on or used; and since a lock that cannot be used at all
// must not silence a single saver, the process then plays without the lock
// (saying why once).

#include <QString>

namespace wm {

// $XDG_RUNTIME_DIR/wintermere-music.lock when XDG_RUNTIME_DIR is an absolute
// path to a folder (links followed) owned by this user and writable by no one
// else (neither group nor others); otherwise
// <QDir::tempPath()>/wintermere-music-<uid>.lock.
QString music_lock_path();

class MusicLock {
  public:
    // The lock at `path`; nothing is opened until the first try_acquire().
    explicit MusicLock(QString path = music_lock_path());
    // Releases the lock (when held) and closes the file.
    ~MusicLock();
    MusicLock(const MusicLock&) = delete;
    MusicLock& operator=(const MusicLock&) = delete;

    // Takes the lock when no one holds it, without waiting: true when this
    // object holds it now (and from then on, until it is destroyed). False
    // while another holder has it, and for a lock file that cannot be used
    // (see unusable()). The file is opened on the first call (created with
    // mode 0600 when missing; close-on-exec, so that no program this process
    // starts inherits the lock) and kept open for the later calls.
    bool try_acquire();

    bool held() const { return state_ == State::kHeld; }

    // True once the lock file has been found unusable: the path is a
    // symbolic link, not a regular file, owned by another user, or cannot be
    // opened or locked (the system's reason). The reason is logged once with
    // qWarning when it is found, and the object stays unusable: later calls
    // try nothing.
    bool unusable() const { return state_ == State::kUnusable; }

    // Why the lock is unusable (empty otherwise).
    const QString& problem() const { return problem_; }

    const QString& path() const { return path_; }

  private:
    enum class State { kClosed, kOpen, kHeld, kUnusable };

    // Opens the lock file as the rules above allow; false (unusable, logged)
    // otherwise.
    bool open_file();
    void give_up(const QString& reason);

    QString path_;
    State state_ = State::kClosed;
    int fd_ = -1;
    QString problem_;
};

// Whether this process may play, decided at the saver's music checks (one
// every two seconds, the first two seconds after the start). Only the first
// few checks try the lock: the primary monitor's process from its first
// check, the others from their second, so that the primary one wins when all
// start together; and all of them up to about six seconds after the start,
// which covers an old process still ending when a host restarts its savers.
// A process that got the lock plays for the rest of its run; one that did not
// stays silent for the rest of its run, even when the playing one ends (the
// music ends with it).

// The first check (counted from 1) on which a process tries the lock.
inline constexpr int kPrimaryFirstLockTry = 1;
inline constexpr int kOtherFirstLockTry = 2;
// The last check that tries it: the third, about six seconds after the start.
inline constexpr int kLastLockTry = 3;

class MusicTurn {
  public:
    // `lock` must outlive the turn. `primary`: this process shows on the
    // primary monitor.
    explicit MusicTurn(MusicLock& lock, bool primary);

    // Called once per music check: whether this process may play now. True
    // from the check that took the lock on (a lock that cannot be used at all
    // counts as taken); false before it, and for good once the tries are over
    // without it.
    bool may_play();

    // Whether this process shows on the primary monitor: the one that tries
    // the lock first, and so normally the one that plays.
    bool primary() const { return first_try_ == kPrimaryFirstLockTry; }

  private:
    enum class Decision { kUndecided, kPlays, kSilent };

    MusicLock& lock_;
    int first_try_;
    int checks_ = 0;
    Decision decision_ = Decision::kUndecided;
};

}  // namespace wm
