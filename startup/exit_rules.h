#pragma once
// How input ends the saver: any key or mouse button at once; mouse movement
// only when more move events than the "mouse_sensitivity" setting arrive
// within about ten seconds, so the stray moves a window system sends when
// nothing really moved do not count. Ending means asking the main loop to
// stop and a running transition to cut itself short.

#include <cstdint>
#include <optional>

namespace wm {

class EngineHost;
class Transitions;

// The main loop's flags, which input handlers write and the loop reads.
struct SaverFlags {
    bool saver_running = false;    // the main loop runs: input counts
    bool keep_running = false;     // the loop goes on while this holds
    bool starting = false;         // the start sequence runs: the loop is yet to come
    bool close_pending = false;    // a close came while starting
    bool stopped_by_host = false;  // the host ended the saver: no password to ask
};

// Length of the mouse-move counting window.
inline constexpr std::uint32_t kMouseWindowMs = 10000;

class ExitRules {
  public:
    ExitRules(EngineHost& host, SaverFlags& flags, Transitions& transitions, int mouse_sensitivity);

    void key_press();
    void mouse_down();
    void mouse_move();

    // A request to close the window (by the host, the system or the
    // program). True when the window may close now; while the main loop
    // runs, the close is refused and the loop is asked to end instead, and
    // before it has started the request is kept for it.
    bool close_request();

    // The host ends the saver (SIGTERM, SIGINT): like a key press, but the
    // saver ends without asking for a password; while starting, it is kept
    // for the loop like a close.
    void host_stop();

    int mouse_move_count() const { return move_count_; }

  private:
    void stop_saver();

    EngineHost& host_;
    SaverFlags& flags_;
    Transitions& transitions_;
    int sensitivity_;
    int move_count_ = 0;
    std::optional<std::uint32_t> first_move_;  // when the counting window opened
};

}  // namespace wm
