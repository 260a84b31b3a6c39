#include "tests/e2e/xscreensaver_host.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace wm::e2e {
namespace {

constexpr int kToolMs = 10000;
// The daemon starts two helpers and reads its preferences before it answers.
constexpr int kDaemonStartMs = 15000;
// How long the daemon and its hacks get to end by themselves when stopped.
constexpr int kStopMs = 5000;
constexpr int kProcessPollMs = 10;

// Every process the daemon starts inherits this variable; its value is the
// private home, which no other test shares.
const QString kMarkVariable = QStringLiteral("WM_TEST_XSCREENSAVER_HOST");
// Where Debian keeps xscreensaver-gfx, its helpers and the hacks.
constexpr char kHackFolder[] = "/usr/libexec/xscreensaver/";

// The whole of a small file under /proc (whose size reads as 0).
QByteArray read_proc_file(const QString& path) {
    QByteArray bytes;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return bytes;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        bytes.append(buffer, static_cast<qsizetype>(got));
    }
    ::close(fd);
    return bytes;
}

struct ProcState {
    bool exists = false;
    bool zombie = false;
    pid_t parent = 0;
};

// From /proc/PID/stat: "PID (NAME) STATE PPID ...", where NAME may hold
// blanks and parentheses.
ProcState state_of(pid_t pid) {
    ProcState state;
    const QByteArray stat = read_proc_file(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0) {
        return state;
    }
    const QList<QByteArray> fields = stat.mid(close + 1).trimmed().split(' ');
    if (fields.size() < 2) {
        return state;
    }
    state.exists = true;
    state.zombie = fields[0] == "Z" || fields[0] == "X";
    state.parent = static_cast<pid_t>(fields[1].toLong());
    return state;
}

QString executable_of(pid_t pid) {
    char target[4096];
    const QByteArray link = QFile::encodeName(QStringLiteral("/proc/%1/exe").arg(pid));
    const ssize_t length = ::readlink(link.constData(), target, sizeof target - 1);
    if (length <= 0) {
        return {};
    }
    return QFile::decodeName(QByteArray(target, static_cast<qsizetype>(length)));
}

QList<pid_t> all_processes() {
    QList<pid_t> found;
    const QStringList names = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& name : names) {
        bool number = false;
        const long pid = name.toLong(&number);
        if (number && pid > 0) {
            found << static_cast<pid_t>(pid);
        }
    }
    return found;
}

// A program path and arguments that xscreensaver's "programs" line and the
// shell it runs the line with both take word for word.
bool plain_words(const QString& program, const QStringList& args) {
    static const QRegularExpression path(QStringLiteral("^/[A-Za-z0-9_./+-]+$"));
    static const QRegularExpression word(QStringLiteral("^[A-Za-z0-9_./+=,-]+$"));
    if (!path.match(program).hasMatch()) {
        return false;
    }
    for (const QString& arg : args) {
        if (!word.match(arg).hasMatch()) {
            return false;
        }
    }
    return true;
}

QString preferences(const QString& command) {
    return QStringLiteral(
               "# One saver for one end-to-end test.\n"
               "mode:\t\tone\n"
               "selected:\t0\n"
               "lock:\t\tFalse\n"
               "fade:\t\tFalse\n"
               "unfade:\t\tFalse\n"
               "splash:\t\tFalse\n"
               // Blank only when told, and keep one hack for the whole run.
               "timeout:\t720:00:00\n"
               "cycle:\t\t0:00:00\n"
               "lockTimeout:\t0:00:00\n"
               "dpmsEnabled:\tFalse\n"
               "dpmsQuickOff:\tFalse\n"
               "grabDesktopImages:\tFalse\n"
               "grabVideoFrames:\tFalse\n"
               "chooseRandomImages:\tFalse\n"
               "ignoreUninstalledPrograms:\tFalse\n"
               "programs:\t\\\n"
               "\t\t\t\t%1\t\\n\\\n"
               "\n")
        .arg(command);
}

}  // namespace

QString ProcessEnd::describe() const {
    if (!ended) {
        return QStringLiteral("still running");
    }
    if (!collected) {
        return QStringLiteral("ended, its status collected by another process");
    }
    if (exited) {
        return QStringLiteral("ended with status %1").arg(status);
    }
    return QStringLiteral("was killed by signal %1 (%2)")
        .arg(status)
        .arg(QString::fromLocal8Bit(::strsignal(status)));
}

XScreenSaverHost::XScreenSaverHost(const InstalledSaver& saver, const XDisplay& display)
    : saver_(saver),
      environment_(saver.environment(display.name())),
      log_file_(saver.scratch_file(QStringLiteral("xscreensaver.log"))) {
    const QString home = environment_.value(QStringLiteral("HOME"));
    environment_.insert(kMarkVariable, home);
    // A session bus that points nowhere. Without one, the first client that
    // asks for it (Qt's accessibility bridge in the hack) would launch one
    // for the display, and with it desktop services that mount file systems
    // in XDG_RUNTIME_DIR as the daemon's user.
    environment_.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                        QStringLiteral("unix:path=") + home + QStringLiteral("/no-session-bus"));
}

XScreenSaverHost::~XScreenSaverHost() {
    stop();
}

bool XScreenSaverHost::start(const QString& program, const QStringList& args, QString* error) {
    if (daemon_.state() != QProcess::NotRunning) {
        *error = QStringLiteral("the daemon runs already");
        return false;
    }
    if (!plain_words(program, args)) {
        *error = QStringLiteral("not a plain command for a programs line: ") + program +
                 QLatin1Char(' ') + args.join(QLatin1Char(' '));
        return false;
    }
    program_ = QFileInfo(program).canonicalFilePath();
    if (program_.isEmpty()) {
        *error = QStringLiteral("no program ") + program;
        return false;
    }
    const QString home = environment_.value(QStringLiteral("HOME"));
    QString line = program;
    for (const QString& arg : args) {
        line += QLatin1Char(' ') + arg;
    }
    QFile file(home + QStringLiteral("/.xscreensaver"));
    if (!QDir().mkpath(home) || !file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(preferences(line).toUtf8()) < 0 || !file.flush()) {
        *error = QStringLiteral("cannot write ") + file.fileName() + QStringLiteral(": ") +
                 file.errorString();
        return false;
    }
    file.close();

    QString xscreensaver = QStringLiteral(WM_XSCREENSAVER);
    QStringList daemon_args = {QStringLiteral("-no-splash"), QStringLiteral("-verbose")};
    if (::geteuid() == 0) {
        const passwd* nobody = ::getpwnam("nobody");
        if (nobody == nullptr || nobody->pw_uid == 0) {
            *error = QStringLiteral(
                "running as root, and there is no user \"nobody\" to run "
                "XScreenSaver as (it launches no hacks as root)");
            return false;
        }
        user_ = nobody->pw_uid;
        group_ = nobody->pw_gid;
        if (!hand_over(error)) {
            return false;
        }
        daemon_args = QStringList{QStringLiteral("--reuid=%1").arg(user_),
                                  QStringLiteral("--regid=%1").arg(group_),
                                  QStringLiteral("--clear-groups"), xscreensaver} +
                      daemon_args;
        xscreensaver = QStringLiteral(WM_SETPRIV);
    }

    int subreaper = 0;
    if (::prctl(PR_GET_CHILD_SUBREAPER, &subreaper) != 0 ||
        (subreaper == 0 && ::prctl(PR_SET_CHILD_SUBREAPER, 1) != 0)) {
        *error = QStringLiteral("cannot adopt the daemon's orphans: ") +
                 QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    made_subreaper_ = subreaper == 0;

    daemon_.setProgram(xscreensaver);
    daemon_.setArguments(daemon_args);
    daemon_.setProcessEnvironment(environment_);
    daemon_.setProcessChannelMode(QProcess::MergedChannels);
    daemon_.setStandardOutputFile(log_file_);
    daemon_.setStandardInputFile(QProcess::nullDevice());
    daemon_.start();
    if (!daemon_.waitForStarted(kToolMs)) {
        *error = QStringLiteral("xscreensaver did not start: ") + daemon_.errorString();
        return false;
    }
    QString last;
    QElapsedTimer clock;
    clock.start();
    while (!command(QStringLiteral("-version"), &last)) {
        if (daemon_.state() == QProcess::NotRunning || daemon_.waitForFinished(0)) {
            *error = QStringLiteral("xscreensaver ended at once: ") + log();
            return false;
        }
        if (clock.elapsed() > kDaemonStartMs) {
            *error = QStringLiteral("xscreensaver did not answer within %1 s: ")
                         .arg(kDaemonStartMs / 1000) +
                     last + QStringLiteral("; it said: ") + log();
            return false;
        }
        QThread::msleep(100);
    }
    return true;
}

bool XScreenSaverHost::activate(QString* error) {
    // The test may have written settings since the start.
    return hand_over(error) && command(QStringLiteral("-activate"), error);
}

bool XScreenSaverHost::deactivate(QString* error) {
    return command(QStringLiteral("-deactivate"), error);
}

bool XScreenSaverHost::command(const QString& option, QString* error) const {
    QProcess tool;
    tool.setProcessEnvironment(environment_);
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(QStringLiteral(WM_XSCREENSAVER_COMMAND), {option});
    if (!tool.waitForFinished(kToolMs)) {
        tool.kill();
        tool.waitForFinished(kToolMs);
        *error = QStringLiteral("xscreensaver-command %1 did not finish").arg(option);
        return false;
    }
    if (tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
        *error = QStringLiteral("xscreensaver-command %1 failed: ").arg(option) +
                 QString::fromLocal8Bit(tool.readAll()).trimmed();
        return false;
    }
    return true;
}

bool XScreenSaverHost::hand_over(QString* error) const {
    if (user_ == static_cast<uid_t>(-1)) {
        return true;
    }
    QString top = saver_.scratch_file(QString());
    top.chop(1);
    QStringList paths = {top};
    QDirIterator it(top, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        paths << it.next();
    }
    for (const QString& path : paths) {
        if (::lchown(QFile::encodeName(path).constData(), user_, group_) != 0) {
            *error = QStringLiteral("cannot give %1 to the daemon's user: %2")
                         .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
    }
    return true;
}

bool XScreenSaverHost::of_the_daemon(pid_t pid) const {
    const QString exe = executable_of(pid);
    return exe == program_ || exe.startsWith(QLatin1String(kHackFolder)) ||
           QFileInfo(exe).fileName().startsWith(QLatin1String("xscreensaver"));
}

QList<pid_t> XScreenSaverHost::daemon_processes() const {
    const QByteArray mark =
        (kMarkVariable + QLatin1Char('=') + environment_.value(kMarkVariable)).toLocal8Bit();
    const auto daemon = static_cast<pid_t>(daemon_.processId());
    QList<pid_t> found;
    for (const pid_t pid : all_processes()) {
        if (pid == daemon || pid == ::getpid()) {
            continue;
        }
        const QList<QByteArray> variables =
            read_proc_file(QStringLiteral("/proc/%1/environ").arg(pid)).split('\0');
        if (variables.contains(mark)) {
            found << pid;
        }
    }
    return found;
}

pid_t XScreenSaverHost::hack_pid() const {
    if (program_.isEmpty()) {
        return 0;
    }
    for (const pid_t pid : daemon_processes()) {
        if (!state_of(pid).zombie && executable_of(pid) == program_) {
            return pid;
        }
    }
    return 0;
}

ProcessEnd XScreenSaverHost::wait_for_end(pid_t pid, int ms) {
    ProcessEnd end;
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const ProcState state = state_of(pid);
        if ((!state.exists || state.zombie) && !end.ended) {
            end.ended = true;
            end.after_ms = clock.elapsed();
        }
        if (!state.exists) {
            return end;  // collected by its own parent
        }
        if (state.zombie && state.parent == ::getpid()) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid) {
                end.collected = true;
                end.exited = WIFEXITED(status);
                end.status = end.exited ? WEXITSTATUS(status) : WTERMSIG(status);
                return end;
            }
        }
        if (clock.elapsed() > ms) {
            return end;
        }
        QThread::msleep(kProcessPollMs);
    }
}

void XScreenSaverHost::collect_adopted() {
    for (const pid_t pid : daemon_processes()) {
        const ProcState state = state_of(pid);
        if (state.zombie && state.parent == ::getpid()) {
            int status = 0;
            ::waitpid(pid, &status, WNOHANG);
        }
    }
}

void XScreenSaverHost::stop() {
    if (daemon_.state() != QProcess::NotRunning) {
        QString ignored;
        command(QStringLiteral("-exit"), &ignored);
        if (!daemon_.waitForFinished(kStopMs)) {
            daemon_.kill();
            daemon_.waitForFinished(kStopMs);
        }
    }
    // What it started may still be ending (a hack on its SIGTERM); what is
    // left after that is killed.
    QElapsedTimer clock;
    clock.start();
    bool killed = false;
    for (;;) {
        collect_adopted();
        QList<pid_t> left;
        for (const pid_t pid : daemon_processes()) {
            if (!state_of(pid).zombie && of_the_daemon(pid)) {
                left << pid;
            }
        }
        if (left.isEmpty()) {
            break;
        }
        if (clock.elapsed() > 2 * kStopMs) {
            break;  // zombies of parents that are not ours: the system's to collect
        }
        if (!killed && clock.elapsed() > kStopMs) {
            for (const pid_t pid : left) {
                ::kill(pid, SIGKILL);
            }
            killed = true;
        }
        QThread::msleep(kProcessPollMs);
    }
    if (made_subreaper_) {
        ::prctl(PR_SET_CHILD_SUBREAPER, 0);
        made_subreaper_ = false;
    }
}

QString XScreenSaverHost::log() const {
    QFile file(log_file_);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    // The end of it: the daemon says much at start-up.
    constexpr qint64 kTail = 6000;
    if (file.size() > kTail) {
        file.seek(file.size() - kTail);
    }
    return QString::fromLocal8Bit(file.readAll()).trimmed();
}

}  // namespace wm::e2e
