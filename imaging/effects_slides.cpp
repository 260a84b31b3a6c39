// Slides: the new frame moves in from one edge. On step i the part of
// step x i pixels nearest to the far edge of the frame enters at the near
// edge of the stage (or, moving toward the start, the part nearest to the
// start enters at the end). The last step reaches at least the whole stage.

#include "imaging/effect_families.h"

#include <algorithm>

namespace wm::effects {
namespace {

constexpr double kStepDivisor = 80.0;
constexpr int kWaitMs = 20;

}  // namespace

EffectPlan slide(Axis axis, Motion motion, Overshoot overshoot, QSize stage) {
    const double full = extent(axis, stage);
    const auto steps = strip_steps(full, kStepDivisor);
    if (!steps) {
        return {};
    }
    EffectPass pass;
    for (int i = 1; i <= steps->count; ++i) {
        double length = steps->step * i;
        if (overshoot == Overshoot::kCapped) {
            length = std::min(length, full);
        }
        // The uncovered part's start at the far side, never before the frame's
        // first pixel nor, when capped, past its last.
        double far = std::max(full - length, 0.0);
        if (overshoot == Overshoot::kCapped) {
            far = std::min(far, full - 1.0);
        }
        const EffectCopy copy = motion == Motion::kTowardEnd ? strip(axis, stage, 0.0, length, far)
                                                             : strip(axis, stage, far, length, 0.0);
        pass.push_back({{copy}, kWaitMs});
    }
    return {pass};
}

}  // namespace wm::effects
