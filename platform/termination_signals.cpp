#include "platform/termination_signals.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <ctime>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <pthread.h>
#include <semaphore.h>
#include <unistd.h>

namespace wm {
namespace {

// The pipe is made once and stays open for the life of the process, so a
// signal that arrives on any thread while an object is going never writes
// to a closed (or reused) descriptor.
struct SignalPipe {
    int read_end = -1;
    int write_end = -1;
};

SignalPipe& signal_pipe() {
    static SignalPipe pipe_ends = [] {
        SignalPipe made;
        std::array<int, 2> ends{-1, -1};
        if (::pipe2(ends.data(), O_CLOEXEC | O_NONBLOCK) == 0) {
            made.read_end = ends[0];
            made.write_end = ends[1];
        }
        return made;
    }();
    return pipe_ends;
}

// The write end while an object is active, -1 otherwise.
std::atomic<int> g_write_end{-1};
static_assert(std::atomic<int>::is_always_lock_free);

// The first signal an active object took (0: none yet).
std::atomic<int> g_first_signal{0};
// Set when the active object goes: its watchdog has nothing left to do.
std::atomic<bool> g_watch_over{false};

// Wakes the watchdog: posted at the first signal and when the object goes.
// Made once and never destroyed, so a late signal never posts to a gone one.
sem_t* watchdog_wake() {
    static sem_t* const wake = [] {
        static sem_t made;
        return ::sem_init(&made, 0, 0) == 0 ? &made : nullptr;
    }();
    return wake;
}

extern "C" void on_termination_signal(int signal_number) {
    // Only async-signal-safe work here: one byte into the pipe, and for the
    // first signal the watchdog's start. A full pipe already holds a byte
    // that will wake the reader, so a failed write is of no concern.
    const int saved_errno = errno;
    const int fd = g_write_end.load();
    if (fd >= 0) {
        const auto byte = static_cast<unsigned char>(signal_number);
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
        int none = 0;
        if (g_first_signal.compare_exchange_strong(none, signal_number)) {
            ::sem_post(watchdog_wake());
        }
    }
    errno = saved_errno;
}

sigset_t signal_set() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal_number : kTerminationSignals) {
        sigaddset(&set, signal_number);
    }
    return set;
}

// Waits for the wake-up; false when `deadline` (on the monotonic clock, when
// given) came first.
bool wait_for_wake(const timespec* deadline) {
    for (;;) {
        const int result = deadline == nullptr
                               ? ::sem_wait(watchdog_wake())
                               : ::sem_clockwait(watchdog_wake(), CLOCK_MONOTONIC, deadline);
        if (result == 0) {
            return true;
        }
        if (errno != EINTR) {
            return false;
        }
    }
}

// The watchdog: from the first signal on, the object has `grace_ms` to go.
void watch(TerminationSignals::LastResort last_resort, int grace_ms) {
    // The signals go to the other threads, which handle them.
    const sigset_t blocked = signal_set();
    ::pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
    if (!wait_for_wake(nullptr) || g_watch_over.load()) {
        return;
    }
    timespec deadline{};
    ::clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += grace_ms / 1000;
    deadline.tv_nsec += static_cast<long>(grace_ms % 1000) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1000000000L;
    }
    if (wait_for_wake(&deadline) || g_watch_over.load()) {
        return;
    }
    // The shutdown did not finish in time: end the process here and now,
    // and say so (one fixed line, with nothing but system calls).
    if (last_resort != nullptr) {
        last_resort();
    }
    [[maybe_unused]] const ssize_t said =
        ::write(STDERR_FILENO, kShutdownCutShortText, sizeof kShutdownCutShortText - 1);
    ::_exit(termination_exit_status(g_first_signal.load()));
}

// Reads whatever the pipe holds and hands each byte to `each`.
template <typename Each>
void drain(int fd, Each each) {
    std::array<unsigned char, 64> bytes{};
    for (;;) {
        const ssize_t got = ::read(fd, bytes.data(), bytes.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return;
        }
        for (ssize_t i = 0; i < got; ++i) {
            each(bytes[static_cast<std::size_t>(i)]);
        }
    }
}

}  // namespace

int termination_exit_status(int signal_number) {
    if (signal_number == SIGTERM || signal_number == SIGINT) {
        return 0;
    }
    return 128 + signal_number;
}

TerminationSignals::TerminationSignals(Callback on_signal, LastResort last_resort, int grace_ms)
    : on_signal_(std::move(on_signal)) {
    const SignalPipe& ends = signal_pipe();
    if (ends.read_end < 0 || watchdog_wake() == nullptr || g_write_end.load() >= 0) {
        return;
    }
    // Bytes and wake-ups left by a signal that came while an earlier object was going.
    drain(ends.read_end, [](unsigned char) {});
    while (::sem_trywait(watchdog_wake()) == 0) {
    }
    g_first_signal.store(0);
    g_watch_over.store(false);
    try {
        watchdog_ = std::thread(watch, last_resort, grace_ms);
    } catch (const std::system_error&) {
        return;  // no thread to spare: the signals act as before
    }
    notifier_ = new QSocketNotifier(ends.read_end, QSocketNotifier::Read);
    QObject::connect(notifier_, &QSocketNotifier::activated, [this] { deliver(); });

    struct sigaction action {};
    action.sa_handler = on_termination_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    g_write_end.store(ends.write_end);
    sigset_t unblocked;
    sigemptyset(&unblocked);
    for (std::size_t i = 0; i < kTerminationSignals.size(); ++i) {
        const int signal_number = kTerminationSignals[i];
        ::sigaction(signal_number, nullptr, &previous_[i]);
        const bool ignored =
            (previous_[i].sa_flags & SA_SIGINFO) == 0 && previous_[i].sa_handler == SIG_IGN;
        if (ignored && signal_number != SIGTERM) {
            continue;  // ignored by whoever started the process: it stays so
        }
        ::sigaction(signal_number, &action, nullptr);
        sigaddset(&unblocked, signal_number);
        taken_[i] = true;
    }
    // A signal mask inherited from the starting process must not hold them back.
    ::pthread_sigmask(SIG_UNBLOCK, &unblocked, nullptr);
    active_ = true;
}

TerminationSignals::~TerminationSignals() {
    if (active_) {
        for (std::size_t i = 0; i < kTerminationSignals.size(); ++i) {
            if (taken_[i]) {
                ::sigaction(kTerminationSignals[i], &previous_[i], nullptr);
            }
        }
        g_write_end.store(-1);
    }
    if (watchdog_.joinable()) {
        g_watch_over.store(true);
        ::sem_post(watchdog_wake());
        watchdog_.join();
    }
    delete notifier_;
}

void TerminationSignals::deliver() {
    std::vector<int> arrived;
    drain(signal_pipe().read_end,
          [&arrived](unsigned char signal_number) { arrived.push_back(signal_number); });
    const Callback callback = on_signal_;
    for (const int signal_number : arrived) {
        if (callback) {
            callback(signal_number);
        }
    }
}

}  // namespace wm
