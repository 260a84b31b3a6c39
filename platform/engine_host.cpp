#include "platform/engine_host.h"

namespace wm {

void wait_until(EngineHost& host, std::uint32_t tick, const std::function<bool()>& stop) {
    while (tick_before(host.tick_count(), tick)) {
        host.yield_until(tick);
        if (stop && stop()) {
            break;
        }
    }
}

}  // namespace wm
