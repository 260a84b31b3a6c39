// The sprite table: the spawner's pacing, cursor and launch values, the
// direction timer, set-up, retiring and counting.

#include "platform/run_random.h"
#include "sprites/sprites.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <utility>

namespace wm {
namespace {

// Calls spawn_step `count` times.
void spawn_steps(Sprites& sprites, int count) {
    for (int i = 0; i < count; ++i) {
        sprites.spawn_step();
    }
}

TEST(SpriteSpawner, LaunchesEveryTwentyFramesIntoTheNextSlot) {
    seed_run_random(11);
    Sprites sprites;
    sprites.init_sprites(800, 600, 8);

    spawn_steps(sprites, 19);
    EXPECT_EQ(sprites.count_active_sprites(), 0);
    EXPECT_EQ(sprites.spawn_tick(), 19);
    sprites.spawn_step();
    EXPECT_EQ(sprites.count_active_sprites(), 1);
    EXPECT_EQ(sprites.slot(1).active, 1);
    EXPECT_EQ(sprites.spawn_cursor(), 1);
    EXPECT_EQ(sprites.spawn_tick(), 0);

    spawn_steps(sprites, 19);
    EXPECT_EQ(sprites.slot(2).active, 0);
    sprites.spawn_step();
    EXPECT_EQ(sprites.slot(2).active, 1);
    EXPECT_EQ(sprites.count_active_sprites(), 2);

    spawn_steps(sprites, 6 * 20);
    EXPECT_EQ(sprites.count_active_sprites(), 8);
    EXPECT_EQ(sprites.spawn_cursor(), 8);
    EXPECT_EQ(sprites.slot(9).active, 0);

    // Slot 1 is still flying: this period is lost, though slots 3 and 5 are
    // free, and the cursor moves on.
    sprites.retire_sprite(3);
    sprites.retire_sprite(5);
    spawn_steps(sprites, 20);
    EXPECT_EQ(sprites.spawn_cursor(), 1);
    EXPECT_EQ(sprites.count_active_sprites(), 6);
    spawn_steps(sprites, 20);
    EXPECT_EQ(sprites.spawn_cursor(), 2);
    EXPECT_EQ(sprites.count_active_sprites(), 6);
    spawn_steps(sprites, 20);
    EXPECT_EQ(sprites.spawn_cursor(), 3);
    EXPECT_EQ(sprites.slot(3).active, 1);
    EXPECT_EQ(sprites.slot(5).active, 0);
    EXPECT_EQ(sprites.count_active_sprites(), 7);
}

TEST(SpriteSpawner, LaunchValuesComeFromTheRunsGeneratorInOrder) {
    for (const bool rightwards : {true, false}) {
        seed_run_random(rightwards ? 5 : 6);
        Sprites sprites;
        sprites.init_flight_direction();
        while ((sprites.flight_direction() == 1) != rightwards ||
               sprites.direction_countdown() < 20) {
            sprites.init_flight_direction();
        }
        sprites.init_sprites(1024, 768, 8);

        // The launch draws the height, then the speed step; the same seed
        // from here gives the same draws.
        seed_run_random(99);
        const double r_height = next_random();
        const double r_speed = next_random();
        seed_run_random(99);
        spawn_steps(sprites, 20);

        const SpriteRecord& s = sprites.slot(1);
        const int step = static_cast<int>(std::floor(r_speed * 35 + 1)) + 10;
        EXPECT_EQ(s.y, std::floor(r_height * (768 - 150) + 1));
        EXPECT_EQ(s.x, rightwards ? -149.0 : 1024.0);
        EXPECT_EQ(s.vx, rightwards ? sprites.speed_x(step) : -sprites.speed_x(step));
        EXPECT_EQ(s.anim_seq, rightwards ? 1 : 2);
        EXPECT_EQ(s.frame, 1);
        EXPECT_EQ(s.anim_step, 0);
        EXPECT_EQ(s.anim_end, 0);
        EXPECT_EQ(s.behaviour, kDriftWithBob);
        EXPECT_EQ(s.vy, 0.0);
        EXPECT_EQ(s.bob_ax, 0.0);
        EXPECT_EQ(s.bob_max_x, 0.0);
        EXPECT_EQ(s.bob_ay, sprites.speed_y(1) / 4);
        EXPECT_EQ(s.bob_max_y, sprites.speed_y(10));
        EXPECT_EQ(s.bob_vx, 0.0);
        EXPECT_EQ(s.bob_vy, 0.0);
        EXPECT_EQ(s.min_x, -150);
        EXPECT_EQ(s.min_y, -150);
        EXPECT_EQ(s.max_x, 1024 + 150);
        EXPECT_EQ(s.max_y, 768 + 150);
    }

    // A stage lower than one cell launches on its top row.
    Sprites low;
    low.init_sprites(300, 100, 1);
    spawn_steps(low, 20);
    EXPECT_EQ(low.slot(1).active, 1);
    EXPECT_EQ(low.slot(1).y, 1.0);
    EXPECT_EQ(low.slot(1).max_y, 250);
}

TEST(SpriteSpawner, DirectionFlipsWhenItsCountdownRunsOut) {
    Sprites sprites;
    seed_run_random(40);
    const double r_side = next_random();
    const double r_span = next_random();
    seed_run_random(40);
    sprites.init_flight_direction();
    const int side = static_cast<int>(std::floor(r_side * 500 + 1));
    EXPECT_EQ(sprites.flight_direction(), side < 250 ? 0 : 1);
    EXPECT_EQ(sprites.direction_countdown(),
              (static_cast<int>(std::floor(r_span * 15 + 1)) + 5) * 30);

    sprites.init_sprites(800, 600, 20);
    for (int flip = 0; flip < 40; ++flip) {
        const int direction = sprites.flight_direction();
        const int countdown = sprites.direction_countdown();
        ASSERT_GE(countdown, 180);
        ASSERT_LE(countdown, 600);
        ASSERT_EQ(countdown % 30, 0);
        // The countdown runs down to 0 in as many frames, and the frame
        // after that flips.
        spawn_steps(sprites, countdown);
        EXPECT_EQ(sprites.direction_countdown(), 0);
        EXPECT_EQ(sprites.flight_direction(), direction);
        sprites.spawn_step();
        EXPECT_EQ(sprites.flight_direction(), 1 - direction);
    }
}

TEST(SpriteSpawner, AFlipOnlyTurnsSpritesLaunchedAfterIt) {
    seed_run_random(8);
    Sprites sprites;
    sprites.init_flight_direction();
    const int first = sprites.flight_direction();
    sprites.init_sprites(800, 600, 20);
    spawn_steps(sprites, 20);
    const SpriteRecord& early = sprites.slot(1);
    const double vx = early.vx;
    EXPECT_EQ(vx > 0, first == 1);

    spawn_steps(sprites, sprites.direction_countdown() + 1);
    ASSERT_EQ(sprites.flight_direction(), 1 - first);
    for (int n = 2; n <= kSpriteSlots; ++n) {
        sprites.retire_sprite(n);
    }
    while (sprites.count_active_sprites() == 1) {
        sprites.spawn_step();
    }
    const SpriteRecord& later = sprites.slot(sprites.spawn_cursor());
    EXPECT_EQ(later.vx > 0, first == 0);
    EXPECT_EQ(later.anim_seq, first == 0 ? 1 : 2);
    EXPECT_EQ(later.x, first == 0 ? -149.0 : 800.0);
    EXPECT_EQ(early.vx, vx);
    EXPECT_EQ(early.anim_seq, first == 1 ? 1 : 2);
}

TEST(SpriteTable, SetUpResetsAllTwentySlotsAndHoldsTheSlotCount) {
    seed_run_random(2);
    Sprites sprites;
    sprites.init_sprites(800, 600, 20);
    spawn_steps(sprites, 20 * 20);
    ASSERT_EQ(sprites.count_active_sprites(), 20);
    sprites.slot(17).needs_erase = 1;

    sprites.init_sprites(800, 600, 5);
    EXPECT_EQ(sprites.active_slots(), 5);
    EXPECT_EQ(sprites.spawn_cursor(), 0);
    for (int n = 1; n <= kSpriteSlots; ++n) {
        EXPECT_EQ(sprites.slot(n).active, 0) << n;
        EXPECT_EQ(sprites.slot(n).behaviour, 0) << n;
        EXPECT_EQ(sprites.slot(n).anim_seq, 0) << n;
        EXPECT_EQ(sprites.slot(n).draw_mode, 1) << n;
    }
    // Retiring leaves the place to restore.
    EXPECT_EQ(sprites.slot(17).needs_erase, 1);

    for (const auto& [asked, held] : {std::pair{0, 1}, {-4, 1}, {21, 20}, {1000, 20}, {1, 1}}) {
        sprites.init_sprites(800, 600, asked);
        EXPECT_EQ(sprites.active_slots(), held) << asked;
    }
}

TEST(SpriteTable, CountingAndRetiringSeeOnlyTheSlotsInPlay) {
    Sprites sprites;
    sprites.init_sprites(800, 600, 4);
    sprites.place_sprite(2, 10, 20, 3);
    sprites.place_sprite(4, 10, 20, 3);
    sprites.place_sprite(5, 10, 20, 3);  // beyond N
    EXPECT_EQ(sprites.count_active_sprites(), 2);

    sprites.slot(2).needs_erase = 1;
    sprites.retire_all_sprites();
    EXPECT_EQ(sprites.count_active_sprites(), 0);
    EXPECT_EQ(sprites.slot(2).needs_erase, 1);
    EXPECT_EQ(sprites.slot(2).x, 10.0);
    EXPECT_EQ(sprites.slot(2).frame, 3);
    EXPECT_EQ(sprites.slot(5).active, 1);

    EXPECT_THROW(sprites.slot(21), std::out_of_range);
    EXPECT_THROW(sprites.slot(-1), std::out_of_range);
}

}  // namespace
}  // namespace wm
