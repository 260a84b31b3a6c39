// Interlaced strips: two sweeps over the same strips, the first copying
// every other strip and the second the rest. Every strip takes one wait in
// both sweeps, copied or not, so the passes last equally long. The first
// sweep copies the strip it starts on: the odd strips when sweeping toward
// the end, strips n, n - 2, ... when sweeping back.

#include "imaging/effect_families.h"

namespace wm::effects {
namespace {

constexpr double kStepDivisor = 100.0;
constexpr int kWaitMs = 8;

// One sweep; `first` tells whether it copies the strips in the sweep's odd
// places (1st, 3rd, ...) or the even ones.
EffectPass sweep(Axis axis, Motion motion, QSize stage, const StripSteps& steps, bool first) {
    EffectPass pass;
    for (int t = 1; t <= steps.count; ++t) {
        EffectStep step{{}, kWaitMs};
        if ((t % 2 == 1) == first) {
            const int i = strip_in_sweep(motion, t, steps.count);
            step.copies.push_back(strip(axis, stage, steps.step * (i - 1), steps.step + 1.0));
        }
        pass.push_back(step);
    }
    return pass;
}

}  // namespace

EffectPlan interlaced(Axis axis, Motion motion, QSize stage) {
    const auto steps = strip_steps(extent(axis, stage), kStepDivisor);
    if (!steps) {
        return {};
    }
    return {sweep(axis, motion, stage, *steps, true), sweep(axis, motion, stage, *steps, false)};
}

}  // namespace wm::effects
