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

namespace wm::test {

class VirtualHost : public EngineHost {
  public:
    explicit VirtualHost(std::uint32_t start_tick = 0) : now_(start_tick) {}

    std::uint32_t tick_count() override { return now_; }
    // Runs the actions due now, then moves the clock on by the yield cost.
    void yield_once() override;
    // Moves the clock to `tick`, or to the first action due before it, and
    // runs the actions due by then.
    void yield_until(std::uint32_t tick) override;

    // Runs `action` during the first yield at or after `tick`. Actions due at
    // the same tick run in the order they were added.
    void at(std::uint32_t tick, std::function<void()> action);

    // How far every yield_once() moves the clock (0 by default), for loops
    // that yield without waiting.
    void set_yield_cost(std::uint32_t ms) { yield_cost_ = ms; }

    // Moves the clock on without yielding (work that takes time).
    void advance(std::uint32_t ms) { now_ += ms; }

    std::uint32_t now() const { return now_; }
    // Yields of either kind so far.
    std::uint64_t yields() const { return yields_; }
    // Actions not run yet.
    std::size_t pending() const { return actions_.size(); }

  private:
    void run_due();

    std::uint32_t now_;
    std::uint32_t yield_cost_ = 0;
    std::uint64_t yields_ = 0;
    std::uint64_t sequence_ = 0;
    // Keyed by (ticks from the start of time as 64 bits, order added).
    std::multimap<std::uint64_t, std::function<void()>> actions_;
};

}  // namespace wm::test
