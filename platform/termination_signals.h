#pragma once
// SIGTERM and SIGINT as a call on the user-interface thread.
//
// Screen-saver hosts (xscreensaver, the desktops' own) stop a saver with
// SIGTERM, and Ctrl-C in a terminal sends SIGINT. While a TerminationSignals
// object lives, either signal no longer ends the process: the signal handler
// only writes the signal's number into a pipe, and a socket notifier on the
// pipe's other end calls `on_signal` from the event loop, where the program
// may stop its loop and shut down in order. The handlers that were in place
// come back when the object goes.
//
// One object at a time: while one is active, a second one stays inactive
// and changes nothing. The callback must not destroy the object that calls
// it; it should ask the program to stop instead.

#include <csignal>
#include <functional>

class QSocketNotifier;

namespace wm {

class TerminationSignals {
  public:
    using Callback = std::function<void(int signal_number)>;

    explicit TerminationSignals(Callback on_signal);
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
    struct sigaction previous_term_ {};
    struct sigaction previous_int_ {};
    bool active_ = false;
};

}  // namespace wm
