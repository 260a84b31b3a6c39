#include "assets/kit/media_random.h"

namespace wm::media {

std::uint64_t MediaRandom::next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

double MediaRandom::uniform() {
    return static_cast<double>(next() >> 11) * 0x1.0p-53;
}

double MediaRandom::range(double lo, double hi) {
    return lo + (hi - lo) * uniform();
}

int MediaRandom::below(int n) {
    if (n <= 0) {
        return 0;
    }
    return static_cast<int>(next() % static_cast<std::uint64_t>(n));
}

bool MediaRandom::chance(double p) {
    return uniform() < p;
}

double MediaRandom::triangular() {
    const double a = uniform();
    const double b = uniform();
    return a - b;
}

MediaRandom MediaRandom::split() {
    const std::uint64_t salt = next();
    return fork(salt);
}

MediaRandom MediaRandom::fork(std::uint64_t salt) const {
    MediaRandom child(state_ ^ (salt * 0xD1B54A32D192ED03ULL));
    child.next();
    return child;
}

}  // namespace wm::media
