// Banded slides: the stage is cut into ten bands, and in every band, all
// together, the band's own part of the new frame slides in from one of the
// band's edges: moving toward the end, the band's last slice appears first
// at its start edge; moving toward the start, its first slice appears at
// its end edge. Band sizes add up to at least the stage.

#include "imaging/effect_families.h"

#include <algorithm>

namespace wm::effects {
namespace {

constexpr int kBands = 10;
constexpr int kSteps = 10;
constexpr int kWaitMs = 30;

}  // namespace

EffectPlan banded_slide(Axis axis, Motion motion, QSize stage) {
    const double band = std::floor(extent(axis, stage) / kBands) + 1.0;
    const double increment = std::max(band / kSteps, 1.0);
    EffectPass pass;
    for (int s = 1; s <= kSteps; ++s) {
        // A band under ten pixels grows by a whole pixel a step and is full
        // before the last step; its slice never outgrows it, or the band
        // would show its neighbour's content.
        const double length = std::min(increment * s, band);
        EffectStep step{{}, kWaitMs};
        for (int c = 1; c <= kBands; ++c) {
            const double band_start = band * (c - 1);
            const double band_end = band * c;
            step.copies.push_back(motion == Motion::kTowardEnd
                                      ? strip(axis, stage, band_start, length, band_end - length)
                                      : strip(axis, stage, band_end - length, length, band_start));
        }
        pass.push_back(step);
    }
    return {pass};
}

}  // namespace wm::effects
