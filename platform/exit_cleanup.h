#pragma once
// Cleanup for a run that the process may end under it.
//
// When the connection to the X server breaks, Qt's platform plugin (or Xlib,
// should it notice first) reports it as a warning and then calls exit(1)
// from inside the event loop: the run never comes back to its own shutdown.
// While an ExitCleanup lives:
//  - the first message Qt reports on the user-interface thread while
//    `ending()` holds (by default: this program's display connection has
//    broken) runs `cleanup` there and then, while every object is still
//    whole; the message itself still reaches the handler that was in place;
//  - should the process exit in any other way before the object goes, an
//    at-exit handler runs `last_resort` instead, which must rely on system
//    calls alone, since static objects are being destroyed by then (see
//    remove_run_temp_folder_at_once()).
// Each runs at most once, and neither after the object has gone; the last
// resort runs after `cleanup` only when the exit came before `cleanup` had
// finished (it ran events, and the event loop ended the process). So
// `cleanup` should do what matters most first, and `last_resort` must be
// harmless after it. One object at a time, made on the user-interface
// thread; a second one stays inactive.

#include "platform/x11_windows.h"

#include <QtGlobal>

#include <functional>

namespace wm {

// The exit status of a run whose display went away: Qt's platform plugin
// ends the process with it.
inline constexpr int kExitDisplayLost = 1;

class ExitCleanup {
  public:
    using LastResort = void (*)();
    using Probe = bool (*)();

    ExitCleanup(std::function<void()> cleanup, LastResort last_resort,
                Probe ending = x11_connection_broken);
    ~ExitCleanup();
    ExitCleanup(const ExitCleanup&) = delete;
    ExitCleanup& operator=(const ExitCleanup&) = delete;

    bool active() const { return active_; }
    // True once `cleanup` has finished or `last_resort` has run.
    bool done() const;

  private:
    static void on_message(QtMsgType type, const QMessageLogContext& context, const QString& text);
    void run_cleanup();

    std::function<void()> cleanup_;
    Probe ending_;
    bool active_ = false;
};

}  // namespace wm
