// Whole frames as the saver runs them: erase, spawn, update, present. The
// visible stage must always show exactly the composed frame, and a frame
// must not allocate.

#include "imaging/picture_box.h"
#include "platform/rounding.h"
#include "platform/run_random.h"
#include "sprites/sprites.h"
#include "tests/sprites/sprite_boxes.h"
#include "tests/support/virtual_host.h"

#include <gtest/gtest.h>

#include <QRegion>

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {

// Allocations through operator new on this thread while counting is on.
thread_local bool counting = false;
thread_local long allocations = 0;

void* allocate(std::size_t size) noexcept {
    if (counting) {
        ++allocations;
    }
    return std::malloc(size == 0 ? 1 : size);
}

}  // namespace

// The program's allocations go through these while this test program runs.
void* operator new(std::size_t size) {
    if (void* p = allocate(size)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    if (void* p = allocate(size)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

namespace wm {
namespace {

struct Saver {
    explicit Saver(int slot_count, bool compact_ink = false) {
        const QImage scene = test::patterned_image(800, 600, 2);
        test::fill_box(main, scene);
        test::fill_box(work, scene);
        test::fill_box(ascreen, scene);
        if (compact_ink) {
            QImage colour;
            QImage cutout;
            test::compact_sheets(colour, cutout);
            test::fill_box(sprite, colour);
            test::fill_box(mask, cutout);
        } else {
            test::fill_box(sprite, test::colour_sheet());
            test::fill_box(mask, test::mask_sheet());
        }
        sprites.init_flight_direction();
        sprites.init_sprites(800, 600, slot_count);
    }
    void frame() {
        sprites.erase_sprites(work, main);
        sprites.spawn_step();
        sprites.update_sprites(work, sprite, mask, host);
        sprites.present_frame(ascreen, work);
    }
    // A frame as the saver composes it, on the visible stage itself.
    void frame_on_stage() {
        sprites.erase_sprites(ascreen, main);
        sprites.spawn_step();
        sprites.update_sprites(ascreen, sprite, mask, host);
        sprites.present_frame(ascreen, ascreen);
    }

    PictureBox main;
    PictureBox work;
    PictureBox ascreen;
    PictureBox sprite;
    PictureBox mask;
    test::VirtualHost host;
    Sprites sprites;
};

TEST(SpriteFrames, TheStageShowsExactlyTheComposedFrame) {
    seed_run_random(17);
    Saver saver(8);
    int most_live = 0;
    for (int frame = 1; frame <= 1500; ++frame) {
        saver.frame();
        most_live = std::max(most_live, saver.sprites.count_active_sprites());
        ASSERT_EQ(saver.ascreen.Image(), saver.work.Image()) << "frame " << frame;
    }
    EXPECT_EQ(most_live, 8);
    EXPECT_NE(saver.work.Image(), saver.main.Image());

    // After a scene change's retirement one erase leaves the clean scene.
    saver.sprites.retire_all_sprites();
    EXPECT_EQ(saver.sprites.count_active_sprites(), 0);
    saver.sprites.erase_sprites(saver.work, saver.main);
    EXPECT_EQ(saver.work.Image(), saver.main.Image());
}

// The scene with every live bird drawn where it is now, in slot order.
QImage composed_scene(const Saver& saver) {
    QImage expected = saver.main.Image();
    for (int n = 1; n <= saver.sprites.active_slots(); ++n) {
        const SpriteRecord& s = saver.sprites.slot(n);
        if (s.active != 0 && s.draw_mode == 1) {
            test::composite(expected, saver.mask.Image(), saver.sprite.Image(),
                            saver.sprites.cell(s.frame), round_to_int(s.x), round_to_int(s.y));
        }
    }
    return expected;
}

TEST(SpriteFrames, TheStageShowsTheSceneWithEveryBirdWhereItIs) {
    for (const bool compact_ink : {false, true}) {
        SCOPED_TRACE(compact_ink ? "birds with little ink" : "ink all over the cells");
        seed_run_random(23);
        Saver saver(12, compact_ink);
        for (int frame = 1; frame <= 300; ++frame) {
            saver.frame();
            ASSERT_EQ(saver.ascreen.Image(), composed_scene(saver)) << "frame " << frame;
        }
        EXPECT_GT(saver.sprites.count_active_sprites(), 6);
    }
}

// The rectangles a box tells its view changed.
class ToldRegion : public PictureView {
  public:
    void picture_changed(const QRect& pixels) override { told += pixels; }
    void picture_gone() override {}
    QRegion told;
};

TEST(SpriteFrames, ComposedOnTheStageEveryChangedPixelIsRepainted) {
    for (const bool compact_ink : {false, true}) {
        SCOPED_TRACE(compact_ink ? "birds with little ink" : "ink all over the cells");
        seed_run_random(31);
        ToldRegion view;  // outlives the stage, which tells it when it goes
        Saver saver(12, compact_ink);
        saver.ascreen.attach_view(&view);
        long told_pixels = 0;
        for (int frame = 1; frame <= 300; ++frame) {
            const QImage before = saver.ascreen.Image().copy();
            view.told = QRegion();
            saver.frame_on_stage();
            const QImage& after = saver.ascreen.Image();
            ASSERT_EQ(after, composed_scene(saver)) << "frame " << frame;
            for (int y = 0; y < after.height(); ++y) {
                const auto* now = reinterpret_cast<const QRgb*>(after.constScanLine(y));
                const auto* was = reinterpret_cast<const QRgb*>(before.constScanLine(y));
                if (std::equal(now, now + after.width(), was)) {
                    continue;
                }
                for (int x = 0; x < after.width(); ++x) {
                    if (now[x] != was[x]) {
                        ASSERT_TRUE(view.told.contains(QPoint(x, y)))
                            << "frame " << frame << ", pixel " << x << ", " << y;
                    }
                }
            }
            for (const QRect& r : view.told) {
                told_pixels += static_cast<long>(r.width()) * r.height();
            }
        }
        EXPECT_GT(saver.sprites.count_active_sprites(), 6);
        if (compact_ink) {
            // Only round the ink: far less than the birds' cells (12 of
            // 150 x 150, erased and drawn, in each of 300 frames).
            EXPECT_LT(told_pixels, 300L * 12 * 150 * 150 / 2);
        }
    }
}

TEST(SpriteFrames, AFrameAllocatesNothing) {
    seed_run_random(4);
    Saver saver(20);
    for (int frame = 0; frame < 200; ++frame) {
        saver.frame();
    }
    ASSERT_GT(saver.sprites.count_active_sprites(), 5);
    const uchar* const work_bits = saver.work.Image().constBits();
    const uchar* const screen_bits = saver.ascreen.Image().constBits();

    allocations = 0;
    counting = true;
    for (int frame = 0; frame < 400; ++frame) {
        saver.frame();
    }
    counting = false;
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(saver.work.Image().constBits(), work_bits);
    EXPECT_EQ(saver.ascreen.Image().constBits(), screen_bits);
}

}  // namespace
}  // namespace wm
