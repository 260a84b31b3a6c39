#pragma once
// Runs a piece of a test in a fork()ed copy of the test process, so that it
// can be killed at any instant (crash tests) or given limits of its own
// (file size, a mount namespace) without touching the test process.
//
// The child never returns into the test: it ends with _exit() (no exit
// handlers, no leak check of a half-done copy) or by a signal. It runs no test
// assertions; what the test should judge it writes to its report, which the
// parent receives when the child has ended (up to a pipe's buffer, 64 KiB:
// reports are a few lines).

#include <QByteArray>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <functional>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace wm::test {

struct ChildEnd {
    bool exited = false;  // ended by _exit(); exit_code holds its status
    int exit_code = -1;
    int signal = 0;          // the signal that ended it, 0 when it exited
    bool timed_out = false;  // still running at the bound of wait(); killed then
    QByteArray report;       // what the child's work put into its report
};

// Lets this process write no file past `bytes`, as a full disk would: a
// write that meets the limit stores what fits and the next fails with
// EFBIG ("File too large") instead of raising SIGXFSZ. For forked children.
inline bool limit_file_size(rlim_t bytes) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

class ForkedChild {
  public:
    // The child's work: returns its exit status and may fill `report`.
    using Work = std::function<int(QByteArray& report)>;

    explicit ForkedChild(const Work& work) {
        int ends[2] = {-1, -1};
        // Close-on-exec, so that no program the child starts holds the
        // report open after the child has ended.
        if (::pipe2(ends, O_CLOEXEC) != 0) {
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ends[0]);
            QByteArray report;
            const int status = work(report);
            qsizetype done = 0;
            while (done < report.size()) {
                const ssize_t n = ::write(ends[1], report.constData() + done,
                                          static_cast<std::size_t>(report.size() - done));
                if (n <= 0) {
                    break;
                }
                done += n;
            }
            ::_exit(status);
        }
        ::close(ends[1]);
        report_fd_ = ends[0];
        if (pid_ < 0) {
            ::close(report_fd_);
            report_fd_ = -1;
        }
    }

    ~ForkedChild() {
        if (pid_ > 0) {
            kill();
        }
        if (report_fd_ >= 0) {
            ::close(report_fd_);
        }
    }

    ForkedChild(const ForkedChild&) = delete;
    ForkedChild& operator=(const ForkedChild&) = delete;

    bool started() const { return pid_ > 0; }

    // Kills the child with SIGKILL now (when it still runs) and reaps it.
    ChildEnd kill() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
        }
        return reap();
    }

    // Waits until the child ends by itself; one still running after `bound`
    // (a hang) is killed and reported as timed out.
    ChildEnd wait(std::chrono::seconds bound = std::chrono::seconds(60)) {
        const auto deadline = std::chrono::steady_clock::now() + bound;
        while (pid_ > 0) {
            int status = 0;
            const pid_t got = ::waitpid(pid_, &status, WNOHANG);
            if (got == pid_) {
                ChildEnd end = ended(status);
                end.report = read_report();
                return end;
            }
            if (got < 0 || std::chrono::steady_clock::now() > deadline) {
                ChildEnd end = kill();
                end.timed_out = true;
                return end;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return {};
    }

  private:
    ChildEnd ended(int status) {
        pid_ = -1;
        ChildEnd end;
        if (WIFEXITED(status)) {
            end.exited = true;
            end.exit_code = WEXITSTATUS(status);
        } else if (WIFSIGNALED(status)) {
            end.signal = WTERMSIG(status);
        }
        return end;
    }

    ChildEnd reap() {
        if (pid_ <= 0) {
            return {};
        }
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0) {
            if (errno != EINTR) {
                pid_ = -1;
                return {};
            }
        }
        ChildEnd end = ended(status);
        end.report = read_report();
        return end;
    }

    // The whole report; the write end closed when the child ended.
    QByteArray read_report() {
        QByteArray report;
        char buffer[4096];
        while (report_fd_ >= 0) {
            const ssize_t n = ::read(report_fd_, buffer, sizeof buffer);
            if (n > 0) {
                report.append(buffer, n);
            } else if (n == 0 || errno != EINTR) {
                break;
            }
        }
        return report;
    }

    pid_t pid_ = -1;
    int report_fd_ = -1;
};

}  // namespace wm::test
