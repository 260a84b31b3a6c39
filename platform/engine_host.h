#pragma once
// What the saver's engine needs of the window system and the clock.
//
// The main loop, the scene changer, the sprites and the transitions never
// call the toolkit or the system clock themselves: they read ticks and let
// events run only through an EngineHost. The program's host is QtEngineHost;
// tests drive the engine with a virtual clock instead, so every duration can
// be checked exactly and instantly.
//
// Ticks are 32-bit millisecond counts that wrap after about 49.7 days, as
// the platform's tick counters do: compare them with tick_before(), never
// with a plain <.

#include <cstdint>
#include <functional>

namespace wm {

class EngineHost {
  public:
    virtual ~EngineHost() = default;

    // Milliseconds since an arbitrary start, from a monotonic clock with 1 ms
    // resolution. It serves both of the platform's counters: the tick count
    // (GetTickCount) that times frames and scenes, and the multimedia timer
    // (timeGetTime) that times transition waits.
    virtual std::uint32_t tick_count() = 0;

    // Lets every pending window-system event run once (input, repaints,
    // status events) and returns without waiting for more.
    virtual void yield_once() = 0;

    // One yield that may sleep: runs pending events; when there are none,
    // sleeps until an event arrives or tick_count() reaches `tick`,
    // whichever comes first, and runs what arrived. Returns at once when
    // `tick` has already passed and nothing is pending.
    virtual void yield_until(std::uint32_t tick) = 0;
};

// True when tick `a` comes before tick `b` on the wrapping clock: the two
// are taken to lie less than 2^31 ms (about 24.8 days) apart.
constexpr bool tick_before(std::uint32_t a, std::uint32_t b) {
    return static_cast<std::int32_t>(a - b) < 0;
}

// Sleeps until the host's tick_count() reaches `tick`, handling events
// meanwhile, or until `stop()` says so after some event has run. Never spins:
// every round is one yield_until().
void wait_until(EngineHost& host, std::uint32_t tick, const std::function<bool()>& stop = {});

}  // namespace wm
