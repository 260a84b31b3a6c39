#include "startup/exit_rules.h"

#include "imaging/transition.h"
#include "platform/engine_host.h"

namespace wm {

ExitRules::ExitRules(EngineHost& host, SaverFlags& flags, Transitions& transitions,
                     int mouse_sensitivity)
    : host_(host), flags_(flags), transitions_(transitions), sensitivity_(mouse_sensitivity) {}

void ExitRules::stop_saver() {
    flags_.keep_running = false;
    transitions_.set_abort_transition(true);
}

void ExitRules::key_press() {
    if (flags_.saver_running) {
        stop_saver();
    }
}

void ExitRules::mouse_down() {
    if (flags_.saver_running) {
        stop_saver();
    }
}

void ExitRules::mouse_move() {
    if (!flags_.saver_running) {
        return;
    }
    ++move_count_;
    if (move_count_ > sensitivity_) {
        move_count_ = 0;
        stop_saver();
    }
    // The count is tested before the window's age: the move that finds the
    // window expired still counts against it.
    const std::uint32_t now = host_.tick_count();
    if (!first_move_) {
        first_move_ = now;
    } else if (now - *first_move_ > kMouseWindowMs) {
        first_move_.reset();
        move_count_ = 0;
    }
}

void ExitRules::host_stop() {
    flags_.stopped_by_host = true;
    if (flags_.starting) {
        flags_.close_pending = true;
    } else if (flags_.saver_running) {
        stop_saver();
    }
}

bool ExitRules::close_request() {
    move_count_ = 0;
    if (flags_.starting) {
        flags_.close_pending = true;
        return false;
    }
    if (flags_.saver_running) {
        flags_.keep_running = false;
        return false;
    }
    return true;
}

}  // namespace wm
