#include "platform/run_random.h"

#include <chrono>
#include <random>

namespace wm {
namespace {

std::mt19937_64& generator() {
    static std::mt19937_64 engine = [] {
        std::random_device device;
        const auto now =
            static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        std::seed_seq seq{device(), device(), static_cast<unsigned>(now),
                          static_cast<unsigned>(now >> 32)};
        return std::mt19937_64(seq);
    }();
    return engine;
}

}  // namespace

double next_random() {
    // 53 random bits: every value is exact and strictly below 1.
    return static_cast<double>(generator()() >> 11) * 0x1.0p-53;
}

int random_position(int n) {
    return static_cast<int>(next_random() * n + 1.0);
}

void seed_run_random(std::uint64_t seed) {
    generator().seed(seed);
}

}  // namespace wm
