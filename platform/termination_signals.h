#pragma once
// The signals that ask the program to stop, as a call on the user-interface
// thread.
//
// Screen-saver hosts (xscreensaver, the desktops' own) stop a saver with
// SIGTERM, Ctrl-C in a terminal sends SIGINT, a closing terminal or session
// SIGHUP and Ctrl-\ SIGQUIT. While a TerminationSignals object lives, none of
// them ends the process by itself: the signal handler only writes the
// signal's number into a pipe, and a socket notifier on the pipe's other end
// calls `on_signal` from the event loop, where the program may stop its loop
// and shut down in order. The handlers that were in place come back when the
// object goes. A signal the process was started with ignored (SIGHUP under
// nohup, SIGINT and SIGQUIT in a shell's background job) stays ignored, as
// whoever started it asked; SIGTERM is always taken.
//
// The orderly shutdown has a time limit: when the object still lives
// `grace_ms` after the first signal (the user-interface thread is stuck, or
// the shutdown hangs), a watchdog thread calls `last_resort` and ends the
// process at once with termination_exit_status() of that signal. The last
// resort runs while the rest of the program may be stuck anywhere: it must
// use nothing but system calls (see remove_run_temp_folder_at_once()).
//
// One object at a time: while one is active, a second one stays inactive
// and changes nothing. The callback must not destroy the object that calls
// it; it should ask the program to stop instead.

#include <array>
#include <csignal>
#include <functional>
#include <thread>

class QSocketNotifier;

namespace wm {

// Every signal a TerminationSignals object takes.
inline constexpr std::array<int, 4> kTerminationSignals{SIGTERM, SIGINT, SIGHUP, SIGQUIT};

// How long the orderly shutdown may take after the first signal.
inline constexpr int kShutdownGraceMs = 5000;
// What a shutdown cut short by the watchdog writes on standard error.
inline constexpr char kShutdownCutShortText[] =
    "wintermere: the shutdown took too long and was cut short\n";

// The exit status of a run stopped by a signal: 0 for SIGTERM and SIGINT, the
// ordinary ways to stop a saver; 128 + the signal's number (as a shell
// reports a process the signal ended) for the others, which say that the
// session around the saver went away.
int termination_exit_status(int signal_number);

class TerminationSignals {
  public:
    using Callback = std::function<void(int signal_number)>;
    using LastResort = void (*)();

    explicit TerminationSignals(Callback on_signal, LastResort last_resort = nullptr,
                                int grace_ms = kShutdownGraceMs);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // False when the handlers could not be installed (another object is
    // active, or no pipe could be made); the signals then act as before.
    bool active() const { return active_; }

  private:
    void deliver();

    Callback on_signal_;
    QSocketNotifier* notifier_ = nullptr;
    std::array<struct sigaction, kTerminationSignals.size()> previous_{};
    std::array<bool, kTerminationSignals.size()> taken_{};
    std::thread watchdog_;
    bool active_ = false;
};

}  // namespace wm
