#pragma once
// The families of transition effects, and what their members share.
//
// Most effects move whole-stage strips along one axis of the stage: a strip
// spans the stage across that axis and has a position and a length along
// it. Writing the effects along an axis lets one function serve the
// horizontal and the vertical member of a family, and the direction of the
// motion the forward and the mirrored one. Every family function expects a
// stage of positive width and height (the dispatcher checks it).

#include "imaging/effect_plan.h"

#include <QSize>

#include <cmath>
#include <optional>

namespace wm::effects {

// The axis an effect advances along: kX across the width (its strips are
// columns), kY down the height (its strips are rows).
enum class Axis { kX, kY };

// Where the motion goes along the axis: toward its end (right or down) or
// toward its start (left or up).
enum class Motion { kTowardEnd, kTowardStart };

// Whether a slide's length may overshoot the stage on its last step (the
// copy clips it) or is capped at the stage's extent.
enum class Overshoot { kClipped, kCapped };

// The stage's extent along the axis.
inline double extent(Axis axis, QSize stage) {
    return axis == Axis::kX ? stage.width() : stage.height();
}

// Copy the strip of `length` at `from` along the axis of the source to `at`
// of the destination; across the axis it spans the whole stage.
inline EffectCopy strip(Axis axis, QSize stage, double at, double length, double from) {
    if (axis == Axis::kX) {
        return {at, 0.0, length, static_cast<double>(stage.height()), from, 0.0};
    }
    return {0.0, at, static_cast<double>(stage.width()), length, 0.0, from};
}

// The same strip copied to its own place.
inline EffectCopy strip(Axis axis, QSize stage, double at, double length) {
    return strip(axis, stage, at, length, at);
}

// The strips of the wipes, slides and interlaced effects: the step is
// Int(extent / divisor) and there are Int(extent / step) + 1 of them.
// Nothing when the stage is too small for a step of at least one pixel.
struct StripSteps {
    double step = 0.0;
    int count = 0;
};

inline std::optional<StripSteps> strip_steps(double extent, double divisor) {
    const double step = std::floor(extent / divisor);
    if (step < 1.0) {
        return std::nullopt;
    }
    return StripSteps{step, static_cast<int>(std::floor(extent / step)) + 1};
}

// The number of the strip that comes t-th (1 .. count) in a sweep.
inline int strip_in_sweep(Motion motion, int t, int count) {
    return motion == Motion::kTowardEnd ? t : count + 1 - t;
}

// Effects 1-4: strips 1 .. n uncovered one per step, in the motion's order.
EffectPlan strip_wipe(Axis axis, Motion motion, QSize stage);
// Effects 5-6: a strip from each end per step, meeting in the middle.
EffectPlan strip_wipe_from_both_ends(Axis axis, QSize stage);

// Effects 7-10: the new frame enters from one edge, moving along `motion`.
EffectPlan slide(Axis axis, Motion motion, Overshoot overshoot, QSize stage);

// Effects 11-14: two passes, every other strip in each.
EffectPlan interlaced(Axis axis, Motion motion, QSize stage);

// Effect 15: 40 x 40 blocks in the given order.
EffectPlan dissolve(QSize stage, const DissolveOrder& order);

// Effects 16-19: ten bands, each filled by its own content sliding in.
EffectPlan banded_slide(Axis axis, Motion motion, QSize stage);

// Effect 20: a rectangle growing from the centre.
EffectPlan box_out(QSize stage);

}  // namespace wm::effects
