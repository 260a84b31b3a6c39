// Box out: a rectangle centred on the stage grows by 1/80 of the stage and
// a pixel on every side per step. Its fortieth copy covers the stage and
// reaches past every edge (the copy clips it).

#include "imaging/effect_families.h"

namespace wm::effects {
namespace {

constexpr double kGrowthDivisor = 80.0;
constexpr int kSteps = 40;
constexpr int kWaitMs = 25;

}  // namespace

EffectPlan box_out(QSize stage) {
    const double dx = std::floor(stage.width() / kGrowthDivisor) + 1.0;
    const double dy = std::floor(stage.height() / kGrowthDivisor) + 1.0;
    const double centre_x = std::floor(stage.width() / 2.0);
    const double centre_y = std::floor(stage.height() / 2.0);
    EffectPass pass;
    for (int k = 1; k <= kSteps; ++k) {
        const double left = centre_x - dx * k;
        const double top = centre_y - dy * k;
        pass.push_back({{{left, top, 2.0 * dx * k, 2.0 * dy * k, left, top}}, kWaitMs});
    }
    return {pass};
}

}  // namespace wm::effects
