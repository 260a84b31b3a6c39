// Strip wipes: the new frame is uncovered strip by strip, each strip one
// pixel longer than the step so that no gap stays between neighbours. The
// last strip may reach past the stage; the copy clips it.

#include "imaging/effect_families.h"

namespace wm::effects {
namespace {

constexpr double kStepDivisor = 100.0;  // a step is 1 % of the stage
constexpr int kWaitMs = 20;

}  // namespace

EffectPlan strip_wipe(Axis axis, Motion motion, QSize stage) {
    const auto steps = strip_steps(extent(axis, stage), kStepDivisor);
    if (!steps) {
        return {};
    }
    EffectPass pass;
    for (int t = 1; t <= steps->count; ++t) {
        const int i = strip_in_sweep(motion, t, steps->count);
        pass.push_back({{strip(axis, stage, steps->step * (i - 1), steps->step + 1.0)}, kWaitMs});
    }
    return {pass};
}

EffectPlan strip_wipe_from_both_ends(Axis axis, QSize stage) {
    const double length = extent(axis, stage);
    const auto steps = strip_steps(length, kStepDivisor);
    if (!steps) {
        return {};
    }
    const double step = steps->step;
    const int pairs = (steps->count - 1) / 2 + 1;
    EffectPass pass;
    for (int i = 1; i <= pairs; ++i) {
        pass.push_back({{strip(axis, stage, step * (i - 1), step + 1.0),
                         strip(axis, stage, length - 1.0 - step * i, step + 1.0)},
                        kWaitMs});
    }
    return {pass};
}

}  // namespace wm::effects
