#pragma once
// The generator's own pseudo-random numbers: a fixed algorithm (SplitMix64),
// so the same seed gives the same sequence with every compiler and library and
// a build always paints and writes the same bytes. Callers draw one value per
// statement: the order in which a call's arguments or an operator's operands
// are evaluated is up to the compiler.

#include <cstdint>

namespace wm::media {

class MediaRandom {
  public:
    explicit MediaRandom(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next();
    // Uniform in [0, 1), 53 bits.
    double uniform();
    // Uniform in [lo, hi).
    double range(double lo, double hi);
    // Uniform integer in [0, n); 0 when n <= 0.
    int below(int n);
    // True with probability p.
    bool chance(double p);
    // Difference of two uniforms, in (-1, 1): triangular, mean 0 (dithering noise).
    double triangular();
    // A generator for a sub-task, independent of how much this one is used later.
    MediaRandom fork(std::uint64_t salt) const;
    // A generator of a painting helper's own, seeded by one draw from this one:
    // this sequence moves on by exactly one number however much detail the
    // helper paints, so a scene's layout does not shift with the picture's size.
    MediaRandom split();

  private:
    std::uint64_t state_;
};

}  // namespace wm::media
