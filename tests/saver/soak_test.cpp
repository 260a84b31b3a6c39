// A long run on the virtual clock: a hundred thousand scene changes through
// every transition effect, on a small stage so that the run takes seconds.
// Whatever a scene change allocates (the extracted picture, its decoded
// surface, the effect's plan, the caption) must be given back by the next:
// the memory in use after the run is what it was once the run had settled,
// and LeakSanitizer finds nothing at the end of the program.

#include "imaging/effect_plan.h"
#include "imaging/transition.h"
#include "tests/imaging/largest_allocation.h"  // tells whether the sanitizer's allocator is there
#include "tests/saver/saver_fixture.h"

#include <array>
#include <cstddef>

#if defined(WM_WATCH_ALLOCATIONS)
// From the sanitizer's runtime (its header comes with clang, not with GCC).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace wm::test {
namespace {

// Bytes the program holds from the allocator now.
std::size_t allocated_bytes() {
#if defined(WM_WATCH_ALLOCATIONS)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

// Bytes of every picture the engine keeps.
qsizetype picture_bytes(SaverPictures& p) {
    qsizetype total = 0;
    for (PictureBox* box : {&p.form, &p.ascreen, &p.work, &p.main, &p.sprite, &p.mask, &p.border}) {
        total += box->Image().sizeInBytes() + box->Picture().sizeInBytes();
    }
    return total;
}

using SoakTest = SaverRun;

TEST_F(SoakTest, AHundredThousandScenesThroughEveryEffectKeepMemoryFlat) {
    constexpr int kScenes = 100000;
    constexpr int kSettled = 1000;
    // Room for allocator bookkeeping and the odd longer caption; a leak of
    // one small block per scene change would pass it within the first
    // few thousand scenes.
    constexpr std::size_t kSlackBytes = std::size_t{1} << 20;

    state.settings.scale_background = 1;
    state.settings.objects_off = 1;
    start(1000, QSize(48, 36));

    std::array<int, kEffectCount + 1> used{};
    std::size_t settled_bytes = 0;
    qsizetype settled_pictures = 0;
    for (int scene = 1; scene <= kScenes; ++scene) {
        engine->change_scene();
        const int effect = engine->transitions().last_effect();
        ASSERT_GE(effect, 1) << "scene " << scene << " was not shown";
        ASSERT_LE(effect, kEffectCount);
        ++used[static_cast<std::size_t>(effect)];
        if (scene == kSettled) {
            settled_bytes = allocated_bytes();
            settled_pictures = picture_bytes(engine->pictures());
        }
    }
    EXPECT_EQ(engine->scene_changes(), kScenes);
    for (int effect = 1; effect <= kEffectCount; ++effect) {
        EXPECT_GT(used[static_cast<std::size_t>(effect)], 0) << "effect " << effect;
    }
    EXPECT_EQ(picture_bytes(engine->pictures()), settled_pictures);
    const std::size_t now = allocated_bytes();
    EXPECT_LE(now, settled_bytes + kSlackBytes)
        << "grew by " << (now - settled_bytes) << " bytes over " << kScenes - kSettled << " scenes";
}

}  // namespace
}  // namespace wm::test
