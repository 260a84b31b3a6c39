#include "tests/support/virtual_host.h"

#include <algorithm>
#include <utility>

namespace wm::test {

std::uint64_t VirtualHost::time_of(std::uint32_t tick) const {
    const auto ahead = static_cast<std::int32_t>(tick - now());
    return ahead > 0 ? now_ + static_cast<std::uint64_t>(ahead) : now_;
}

void VirtualHost::yield_once() {
    ++yields_;
    run_due();
    now_ += yield_cost_;
}

void VirtualHost::yield_until(std::uint32_t tick) {
    ++yields_;
    std::uint64_t until = time_of(tick);
    if (!actions_.empty()) {
        until = std::min(until, actions_.begin()->first.first);
    }
    now_ = std::max(now_, until);
    run_due();
}

void VirtualHost::at(std::uint32_t tick, std::function<void()> action) {
    actions_.emplace(Key{time_of(tick), sequence_++}, std::move(action));
}

void VirtualHost::run_due() {
    const std::uint64_t added_before = sequence_;
    // Searched afresh after every action: an action may add actions or even
    // yield again itself.
    for (;;) {
        auto next = actions_.begin();
        while (next != actions_.end() && next->first.first <= now_ &&
               next->first.second >= added_before) {
            ++next;
        }
        if (next == actions_.end() || next->first.first > now_) {
            return;
        }
        std::function<void()> action = std::move(next->second);
        actions_.erase(next);
        action();
    }
}

}  // namespace wm::test
