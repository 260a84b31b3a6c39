#pragma once
// The run's one random generator.
//
// Seeded once per process; every random choice draws from it, so numbers
// drawn in quick succession are independent of one another.

#include <cstdint>

namespace wm {

// A uniform real in [0, 1).
double next_random();

// A whole number 1 .. n, each as likely: Int(r * n + 1) for r = next_random().
int random_position(int n);

// Restarts the generator from a fixed seed (tests and reproducible runs).
void seed_run_random(std::uint64_t seed);

}  // namespace wm
