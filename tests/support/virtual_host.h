#pragma once
// An engine host on a virtual clock, for tests.
//
// Time stands still until the engine waits: yield_until() jumps the clock
// straight to the wait's end, or to the next scheduled action if that comes
// first, and runs the actions that are due. So a two-second transition runs
// in no time and its waits add up exactly. Actions stand for input or other
// events arriving at a chosen moment (a key press at tick 1234).

#include "platform/engine_host.h"

#include <cstdint>
#include <functional>
#include <map>
#include <utility>

namespace wm::test {

class VirtualHost : public EngineHost {
  public:
    explicit VirtualHost(std::uint32_t start_tick = 0) : now_(start_tick) {}

    std::uint32_t tick_count() override { return now(); }
    // Runs the actions due now, then moves the clock on by the yield cost.
    void yield_once() override;
    // Moves the clock to `tick`, or to the first action due before it, and
    // runs the actions due by then.
    void yield_until(std::uint32_t tick) override;

    // Runs `action` during the first yield at or after `tick` (a tick up to
    // 2^31 ms in the past counts as now). Actions due at the same tick run in
    // the order they were added; one added while actions run waits for the
    // next yield, as events posted during an event pass do.
    void at(std::uint32_t tick, std::function<void()> action);

    // How far every yield_once() moves the clock (0 by default), for loops
    // that yield without waiting.
    void set_yield_cost(std::uint32_t ms) { yield_cost_ = ms; }

    // Moves the clock on without yielding (work that takes time).
    void advance(std::uint32_t ms) { now_ += ms; }

    std::uint32_t now() const { return static_cast<std::uint32_t>(now_); }
    // Yields of either kind so far.
    std::uint64_t yields() const { return yields_; }
    // Actions not run yet.
    std::size_t pending() const { return actions_.size(); }

  private:
    // (when, in milliseconds on the clock that never wraps; order added)
    using Key = std::pair<std::uint64_t, std::uint64_t>;

    // `tick` on the unwrapped clock: the nearest time to now that shows it,
    // or now itself when that time has passed.
    std::uint64_t time_of(std::uint32_t tick) const;
    void run_due();

    // The clock never wraps inside; tick_count() shows its low 32 bits.
    std::uint64_t now_;
    std::uint32_t yield_cost_ = 0;
    std::uint64_t yields_ = 0;
    std::uint64_t sequence_ = 0;
    std::map<Key, std::function<void()>> actions_;
};

}  // namespace wm::test
