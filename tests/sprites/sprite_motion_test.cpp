// Each frame's update: flight across the stage and out, the bob, the wing
// cycle, the yields to the host.

#include "imaging/picture_box.h"
#include "sprites/sprites.h"
#include "tests/sprites/sprite_boxes.h"
#include "tests/support/virtual_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace wm {
namespace {

using test::VirtualHost;

// An 800 x 600 stage with sheets, for updates that draw.
struct Stage {
    Stage() {
        test::fill_box(work, test::patterned_image(800, 600, 1));
        test::fill_box(sprite, test::colour_sheet());
        test::fill_box(mask, test::mask_sheet());
    }
    void update(Sprites& sprites) { sprites.update_sprites(work, sprite, mask, host); }

    PictureBox work;
    PictureBox sprite;
    PictureBox mask;
    VirtualHost host;
};

// A sprite launched as the spawner does, with the given speed.
void launch(Sprites& sprites, int n, double x, double y, double vx, bool rightwards) {
    sprites.set_animation(n, rightwards ? 1 : 2, 0);
    sprites.place_sprite(n, x, y, 1);
    sprites.set_motion(n, vx, 0, 0, 0, sprites.speed_y(1) / 4, sprites.speed_y(10), -150, -150,
                       800 + 150, 600 + 150);
}

TEST(SpriteMotion, FlyersAreRetiredOnceWellPastTheFarEdge) {
    Stage stage;
    Sprites sprites;
    sprites.init_sprites(800, 600, 2);
    launch(sprites, 1, -149, 200, sprites.speed_x(11), true);
    launch(sprites, 2, 800, 300, -sprites.speed_x(11), false);
    EXPECT_DOUBLE_EQ(sprites.slot(1).vx, 2.2);

    int right_frames = 0;
    int left_frames = 0;
    double right_before = 0.0;
    double left_before = 0.0;
    for (int frame = 1; frame <= 1000; ++frame) {
        const double right_x = sprites.slot(1).x;
        const double left_x = sprites.slot(2).x;
        const bool right_live = sprites.slot(1).active != 0;
        const bool left_live = sprites.slot(2).active != 0;
        stage.update(sprites);
        if (right_live && sprites.slot(1).active == 0) {
            right_frames = frame;
            right_before = right_x;
        }
        if (left_live && sprites.slot(2).active == 0) {
            left_frames = frame;
            left_before = left_x;
        }
    }
    // 2.2 a frame from -149: past 950 on frame 500, at 951.
    EXPECT_EQ(right_frames, 500);
    EXPECT_GT(sprites.slot(1).x, 950.0);
    EXPECT_LE(right_before, 950.0);
    EXPECT_NEAR(sprites.slot(1).x, 951.0, 1e-6);
    // From 800 leftwards: retired once the cell's right edge is past -150.
    EXPECT_GE(left_frames, 500);
    EXPECT_LE(left_frames, 501);
    EXPECT_LT(sprites.slot(2).x, -300.0);
    EXPECT_GE(left_before, -300.0);
    EXPECT_EQ(sprites.slot(2).behaviour, 0);
    EXPECT_EQ(sprites.slot(2).anim_seq, 0);

    // The vertical bounds retire too, strictly beyond them.
    sprites.place_sprite(1, 100, 750, 1);
    sprites.set_motion(1, 0, 0, 0, 0, 0, 0, -150, -150, 950, 750);
    stage.update(sprites);
    EXPECT_EQ(sprites.slot(1).active, 1);
    sprites.set_motion(1, 0, 0.5, 0, 0, 0, 0, -150, -150, 950, 750);
    stage.update(sprites);
    EXPECT_EQ(sprites.slot(1).active, 0);
    sprites.place_sprite(1, 100, -299, 1);
    sprites.set_motion(1, 0, -1.5, 0, 0, 0, 0, -150, -150, 950, 750);
    stage.update(sprites);
    EXPECT_EQ(sprites.slot(1).active, 0);
}

TEST(SpriteMotion, BobsGentlyDownThenUpEvery158Frames) {
    Stage stage;
    Sprites sprites;
    sprites.init_sprites(800, 600, 1);
    launch(sprites, 1, -149, 300, 0.4, true);
    EXPECT_DOUBLE_EQ(sprites.slot(1).bob_ay, 0.0375);
    EXPECT_DOUBLE_EQ(sprites.slot(1).bob_max_y, 1.5);

    std::vector<double> ys;
    std::vector<double> xs;
    for (int frame = 0; frame < 2 * 158 + 1; ++frame) {
        stage.update(sprites);
        ys.push_back(sprites.slot(1).y);
        xs.push_back(sprites.slot(1).x);
        ASSERT_LE(std::abs(sprites.slot(1).bob_vy), 1.5);
    }
    // The first frame moves by the launch bob velocity (0), then downwards.
    EXPECT_EQ(ys[0], 300.0);
    EXPECT_DOUBLE_EQ(ys[1], 300.0375);
    EXPECT_GT(ys[2], ys[1]);
    // No horizontal bob: straight along x.
    EXPECT_NEAR(xs[100] - xs[99], 0.4, 1e-9);
    const auto [low, high] = std::minmax_element(ys.begin(), ys.end());
    EXPECT_NEAR(*high - *low, 58.5, 1e-9);
    for (std::size_t i = 0; i + 158 < ys.size(); ++i) {
        ASSERT_NEAR(ys[i + 158], ys[i], 1e-9) << i;
    }
    EXPECT_GT(std::abs(ys[79] - ys[0]), 1.0);
}

TEST(SpriteMotion, BobTurnsOnlyStrictlyPastItsLimit) {
    Stage stage;
    Sprites sprites;
    sprites.init_sprites(800, 600, 1);
    sprites.place_sprite(1, 10, 100, 1);
    sprites.set_motion(1, 1, 0, 0.25, 0.5, 0.25, 0.5, -150, -150, 950, 750);
    std::vector<double> velocities;
    std::vector<double> ys;
    for (int frame = 0; frame < 8; ++frame) {
        stage.update(sprites);
        velocities.push_back(sprites.slot(1).bob_vy);
        ys.push_back(sprites.slot(1).y);
    }
    EXPECT_EQ(velocities, (std::vector<double>{0.25, 0.5, 0.5, 0.25, 0, -0.25, -0.5, -0.5}));
    // Each frame moves by the velocity the frame started with.
    EXPECT_EQ(ys, (std::vector<double>{100, 100.25, 100.75, 101.25, 101.5, 101.5, 101.25, 100.75}));
    EXPECT_EQ(sprites.slot(1).x, 10 + 8 + 100.75 - 100);
}

TEST(SpriteMotion, WingsCycleThroughTwentyFourCellsWithoutTheMarker) {
    Stage stage;
    Sprites sprites;
    sprites.init_sprites(800, 600, 2);
    launch(sprites, 1, 100, 100, 0.1, true);
    launch(sprites, 2, 300, 300, -0.1, false);
    for (int frame = 1; frame <= 3 * kFlapCells; ++frame) {
        stage.update(sprites);
        const int expected = (frame - 1) % kFlapCells + 1;
        ASSERT_EQ(sprites.slot(1).frame, expected) << frame;
        ASSERT_EQ(sprites.slot(2).frame, expected + kFlapCells) << frame;
        ASSERT_EQ(sprites.slot(1).anim_step, expected) << frame;
    }

    // Without a sequence the cell stays.
    sprites.set_animation(1, 0, 0);
    sprites.slot(1).frame = 7;
    stage.update(sprites);
    EXPECT_EQ(sprites.slot(1).frame, 7);
    EXPECT_EQ(sprites.slot(1).anim_step, 0);
}

TEST(SpriteMotion, ARetiredSpriteIsNotDrawnThatFrame) {
    Stage stage;
    Sprites sprites;
    sprites.init_sprites(800, 600, 2);
    // Exit bounds inside the stage, so the retiring position is visible.
    sprites.set_animation(1, 1, 0);
    sprites.place_sprite(1, 99, 100, 1);
    sprites.set_motion(1, 2, 0, 0, 0, 0, 0, -150, -150, 100, 750);
    const QImage before = stage.work.Image().copy();
    stage.update(sprites);
    EXPECT_EQ(sprites.slot(1).active, 0);
    EXPECT_EQ(stage.work.Image(), before);

    // The same sprite still inside its bounds is drawn.
    sprites.place_sprite(1, 99, 100, 1);
    sprites.set_motion(1, 1, 0, 0, 0, 0, 0, -150, -150, 100, 750);
    stage.update(sprites);
    EXPECT_EQ(sprites.slot(1).active, 1);
    EXPECT_NE(stage.work.Image(), before);
}

TEST(SpriteMotion, UpdateYieldsOncePerTwentySlots) {
    for (const auto& [slot_count, yields] : {std::pair{8, 0}, {19, 0}, {20, 1}, {25, 1}}) {
        Stage stage;
        Sprites sprites;
        sprites.init_sprites(800, 600, slot_count);
        launch(sprites, 1, 100, 100, 1, true);  // live or free, every slot counts
        stage.update(sprites);
        stage.update(sprites);
        EXPECT_EQ(stage.host.yields(), static_cast<std::uint64_t>(2 * yields)) << slot_count;
    }
}

}  // namespace
}  // namespace wm
