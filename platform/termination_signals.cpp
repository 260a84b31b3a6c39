#include "platform/termination_signals.h"

#include <QSocketNotifier>

#include <array>
#include <atomic>
#include <cerrno>
#include <vector>

#include <fcntl.h>
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

extern "C" void on_termination_signal(int signal_number) {
    // Only async-signal-safe work here: one byte into the pipe. A full pipe
    // already holds a byte that will wake the reader, so a failed write is
    // of no concern.
    const int saved_errno = errno;
    const int fd = g_write_end.load();
    if (fd >= 0) {
        const auto byte = static_cast<unsigned char>(signal_number);
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = saved_errno;
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

TerminationSignals::TerminationSignals(Callback on_signal) : on_signal_(std::move(on_signal)) {
    const SignalPipe& ends = signal_pipe();
    if (ends.read_end < 0 || g_write_end.load() >= 0) {
        return;
    }
    // Bytes left by a signal that came while an earlier object was going.
    drain(ends.read_end, [](unsigned char) {});
    notifier_ = new QSocketNotifier(ends.read_end, QSocketNotifier::Read);
    QObject::connect(notifier_, &QSocketNotifier::activated, [this] { deliver(); });

    struct sigaction action {};
    action.sa_handler = on_termination_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    g_write_end.store(ends.write_end);
    ::sigaction(SIGTERM, &action, &previous_term_);
    ::sigaction(SIGINT, &action, &previous_int_);
    active_ = true;
}

TerminationSignals::~TerminationSignals() {
    if (active_) {
        ::sigaction(SIGTERM, &previous_term_, nullptr);
        ::sigaction(SIGINT, &previous_int_, nullptr);
        g_write_end.store(-1);
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
