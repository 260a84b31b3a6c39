#pragma once
// A real XScreenSaver daemon (6.x) for one test, on a private virtual
// display, that runs one saver ("hack") of the test's choosing and is told
// when to blank and unblank with xscreensaver-command, as a user's session
// tells it.
//
// The daemon reads its preferences from ~/.xscreensaver in the private
// copy's home: only the given command, picked at every activation (mode one),
// no locking, no fading, no splash, and timeouts so long that it blanks only
// when told. It and its hacks get the private copy's environment, so a hack
// that is the installed program finds its own settings and sound driver,
// and a session-bus address that leads nowhere, so that no bus and no
// desktop services are launched on the display for them.
//
// XScreenSaver refuses to launch hacks as root. When the tests run as root,
// the daemon runs as the unprivileged user "nobody", and the private copy's
// folders are handed to that user.
//
// While a host lives, this test process adopts the processes the daemon
// leaves behind (it is their subreaper): a hack whose XScreenSaver has
// stopped it ends as this process's child, so its exit status can be read
// and no zombie is left.

#include "tests/e2e/installed_saver.h"
#include "tests/e2e/x_display.h"

#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <sys/types.h>

namespace wm::e2e {

// How a process that is not this process's own QProcess ended.
struct ProcessEnd {
    // It no longer runs (it is gone, or a zombie waiting to be collected).
    bool ended = false;
    // When it was first seen ended, in milliseconds after the wait began.
    qint64 after_ms = -1;
    // Its status could be collected: it ended as this process's child.
    bool collected = false;
    // It called exit (with `status`) rather than dying of signal `status`.
    bool exited = false;
    int status = 0;

    // "ended with status 0", "was killed by signal 9", "still running", ...
    QString describe() const;
};

class XScreenSaverHost {
  public:
    XScreenSaverHost(const InstalledSaver& saver, const XDisplay& display);
    // Stops the daemon and everything it started (see stop()).
    ~XScreenSaverHost();
    XScreenSaverHost(const XScreenSaverHost&) = delete;
    XScreenSaverHost& operator=(const XScreenSaverHost&) = delete;

    // Writes the preferences with `program args` (an absolute path of plain
    // characters, and arguments without blanks or quotes) as the one saver,
    // starts the daemon and waits until it answers. On failure *error says
    // why.
    bool start(const QString& program, const QStringList& args, QString* error);
    // xscreensaver-command -activate: blank now and start the hack.
    bool activate(QString* error);
    // xscreensaver-command -deactivate: unblank as if the user came back.
    bool deactivate(QString* error);

    // The process id of the running hack: a process of this daemon whose
    // executable is the program; 0 while none runs.
    pid_t hack_pid() const;
    bool hack_running() const { return hack_pid() != 0; }
    // Waits up to `ms` for the process to end and, when this process adopted
    // it, collects its status.
    ProcessEnd wait_for_end(pid_t pid, int ms);

    // xscreensaver-command -exit, then kills whatever of the daemon is left,
    // so that nothing it started runs on. The daemon's processes that this
    // process adopted are collected.
    void stop();

    // The end of what the daemon and its hacks wrote (the daemon runs
    // verbosely), for failure messages.
    QString log() const;

  private:
    // Runs xscreensaver-command with one option; true when it succeeded.
    bool command(const QString& option, QString* error) const;
    // Gives the private copy's folders to the daemon's user.
    bool hand_over(QString* error) const;
    // The processes that descend from this daemon (they carry its mark in
    // their environment), the daemon itself excepted.
    QList<pid_t> daemon_processes() const;
    // Whether one of them is XScreenSaver's own (xscreensaver-gfx, a helper,
    // a hack) or the program, rather than something they had launched.
    bool of_the_daemon(pid_t pid) const;
    // Collects every zombie of this daemon that is this process's child.
    void collect_adopted();

    const InstalledSaver& saver_;
    QProcessEnvironment environment_;
    QString program_;
    QString log_file_;
    QProcess daemon_;
    // The user the daemon runs as when this process is root; -1 otherwise.
    uid_t user_ = static_cast<uid_t>(-1);
    gid_t group_ = static_cast<gid_t>(-1);
    bool made_subreaper_ = false;
};

}  // namespace wm::e2e
