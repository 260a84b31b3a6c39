// Dissolve: the stage is cut into 40 x 40 blocks of real size, uncovered
// one per step in the run's block order. Each copy is one pixel larger than
// the block, which closes the gaps that rounding the real edges would leave.

#include "imaging/effect_families.h"

namespace wm::effects {
namespace {

constexpr int kBlocksPerSide = 40;
constexpr int kWaitMs = 1;

}  // namespace

EffectPlan dissolve(QSize stage, const DissolveOrder& order) {
    const double block_width = stage.width() / static_cast<double>(kBlocksPerSide);
    const double block_height = stage.height() / static_cast<double>(kBlocksPerSide);
    EffectPass pass;
    for (int k = 1; k <= kDissolveBlocks; ++k) {
        // Block j (1 .. 1600) lies in row (j - 1) / 40, column (j - 1) % 40.
        // An order that names no block ends the effect there.
        const std::int32_t j = order[static_cast<std::size_t>(k)];
        if (j < 1 || j > kDissolveBlocks) {
            break;
        }
        const double x = block_width * ((j - 1) % kBlocksPerSide);
        const double y = block_height * ((j - 1) / kBlocksPerSide);
        pass.push_back({{{x, y, block_width + 1.0, block_height + 1.0, x, y}}, kWaitMs});
    }
    return {pass};
}

}  // namespace wm::effects
