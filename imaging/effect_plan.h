#pragma once
// The twenty transition effects as data.
//
// An effect reveals a new frame (in a source box) over the old one on the
// visible box. Each effect here is a pure function of the stage size (and,
// for the dissolve, of the run's block order) that lists what the effect
// does: its steps, each a few rectangle copies followed by a wait. Effects
// with two passes over the same strips list two passes, because an abort
// ends only the pass that is running. One player performs any plan
// (transition.h); these functions only compute.
//
// Coordinates are reals as the effects compute them; the copy rounds each
// one half to even when it is made.

#include <QSize>

#include <array>
#include <cstdint>
#include <vector>

namespace wm {

// Copy the source rectangle (src_x, src_y, width, height) to (x, y) of the
// destination.
struct EffectCopy {
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;
    double src_x = 0.0;
    double src_y = 0.0;

    friend bool operator==(const EffectCopy&, const EffectCopy&) = default;
};

// The copies of one step, then the wait that makes the step visible.
struct EffectStep {
    std::vector<EffectCopy> copies;
    int wait_ms = 0;
};

// Steps that run until the pass ends or an abort is seen after a wait.
using EffectPass = std::vector<EffectStep>;

// A whole effect. Empty when the stage is too small for the effect's step
// (its step size would be 0): such an effect ends before its first copy.
using EffectPlan = std::vector<EffectPass>;

inline constexpr int kEffectCount = 20;
inline constexpr int kDissolveBlocks = 1600;  // 40 x 40

// The dissolve's block order: positions 1 .. 1600 hold a permutation of
// 1 .. 1600; position 0 is unused.
using DissolveOrder = std::array<std::int32_t, kDissolveBlocks + 1>;

// The identity order 1, 2, ..., 1600.
DissolveOrder identity_dissolve_order();

// The plan of effect `number` (1 .. 20) on a stage of `stage` pixels
// (ScaleWidth x ScaleHeight). Any other number gives an empty plan.
EffectPlan effect_plan(int number, QSize stage, const DissolveOrder& order);

// The effect's procedure name ("wipe_left_to_right" for 1 ... "box_out" for
// 20); empty for other numbers.
const char* effect_name(int number);

}  // namespace wm
