#pragma once
// The program's engine host: Qt's event dispatcher and the monotonic clock.
//
// A QCoreApplication (or QApplication) must exist on the calling thread, as
// for any Qt event handling. Without an event dispatcher no events can run:
// yield_once() then does nothing and yield_until() simply sleeps to its tick.

#include "platform/engine_host.h"

namespace wm {

class QtEngineHost : public EngineHost {
  public:
    // Milliseconds of the steady clock (the one Qt's timers run on), cut to
    // 32 bits so that they wrap like the platform's tick counters.
    std::uint32_t tick_count() override;

    // One pass over the pending events, then the objects whose deleteLater()
    // came due: the engine's loop stands in for the event loop while it runs,
    // so nothing else would free them.
    void yield_once() override;

    // When the pass found nothing to do, the thread sleeps in the event
    // dispatcher with a precise single-shot timer set for `tick`: the first
    // event to arrive, or the timer itself, wakes it.
    void yield_until(std::uint32_t tick) override;
};

}  // namespace wm
