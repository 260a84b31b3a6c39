// The sprite table and the tables every sprite shares; the spawner that
// launches one bird at a time; retiring and counting.

#include "platform/run_random.h"
#include "sprites/sheet_layout.h"
#include "sprites/sprites.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace wm {
namespace {

// Speed tables: steps 1 .. kSpeedSteps, each 1/4000 of the stage side.
constexpr int kSpeedSteps = 50;
constexpr double kSpeedDivisor = 4000.0;

// The end-of-sequence step of both flap sequences.
constexpr int kEndStep = kFlapCells + 1;

// One launch every kSpawnPeriod frames, at most.
constexpr int kSpawnPeriod = 20;

// The stage's sides are held to what a picture box can hold, so that the
// exit bounds 150 pixels beyond them always fit an int.
constexpr int kMaxStageSide = 32768;

// How long one flight direction lasts: 180 .. 600 frames in steps of 30.
int random_direction_span() {
    return (random_position(15) + 5) * 30;
}

std::size_t index(int n) {
    return static_cast<std::size_t>(n);
}

}  // namespace

Sprites::Sprites() = default;

// --- Set-up ------------------------------------------------------------------

void Sprites::init_flight_direction() {
    flight_direction_ = 1;
    if (random_position(500) < 250) {
        flight_direction_ = 0;
    }
    direction_countdown_ = random_direction_span();
}

void Sprites::init_sprites(int stage_width, int stage_height, int active_slots) {
    // The frame table is the sheet's fixed layout (sheet_cell); the
    // animation sequences walk it one cell per step and end in a marker.
    for (auto& sequence : anim_table_) {
        sequence.fill(0);
    }
    for (int i = 1; i <= kFlapCells; ++i) {
        anim_table_[1][index(i)] = i;
        anim_table_[2][index(i)] = i + kFlapCells;
    }
    anim_table_[1][index(kEndStep)] = kAnimationEnd;
    anim_table_[2][index(kEndStep)] = kAnimationEnd;

    stage_width_ = std::clamp(stage_width, 0, kMaxStageSide);
    stage_height_ = std::clamp(stage_height, 0, kMaxStageSide);
    speed_x_.fill(0.0);
    speed_y_.fill(0.0);
    for (int i = 1; i <= kSpeedSteps; ++i) {
        speed_x_[index(i)] = i * (stage_width_ / kSpeedDivisor);
        speed_y_[index(i)] = i * (stage_height_ / kSpeedDivisor);
    }

    active_slots_ = std::clamp(active_slots, 1, kSpriteSlots);
    for (int n = 1; n <= kSpriteSlots; ++n) {
        table_[index(n)].draw_mode = 1;
        retire_sprite(n);
    }
    spawn_cursor_ = 0;
}

// --- The table -------------------------------------------------------------------

void Sprites::spawn_step() {
    if (direction_countdown_ <= 0) {
        flight_direction_ = flight_direction_ == 1 ? 0 : 1;
        direction_countdown_ = random_direction_span();
    } else {
        --direction_countdown_;
    }

    if (++spawn_tick_ < kSpawnPeriod) {
        return;
    }
    spawn_tick_ = 0;

    if (++spawn_cursor_ > active_slots_) {
        spawn_cursor_ = 1;
    }
    const int n = spawn_cursor_;
    if (table_[index(n)].active != 0) {
        return;  // this period's launch is lost
    }

    const bool rightwards = flight_direction_ == 1;
    set_animation(n, rightwards ? 1 : 2, 0);
    // A stage lower than a cell still gets a launch height: the top row.
    const int y = random_position(std::max(stage_height_ - kCellSize, 1));
    const double x0 = rightwards ? 1.0 - kCellSize : stage_width_;
    place_sprite(n, x0, y, 1);
    const int step = random_position(35) + 10;
    const double vx = rightwards ? speed_x_[index(step)] : -speed_x_[index(step)];
    set_motion(n, vx, 0.0, 0.0, 0.0, speed_y_[1] / 4.0, speed_y_[10], -kCellSize, -kCellSize,
               stage_width_ + kCellSize, stage_height_ + kCellSize);
}

void Sprites::place_sprite(int n, double x, double y, int frame) {
    SpriteRecord& s = slot(n);
    s.x = x;
    s.y = y;
    s.frame = frame;
    s.active = 1;
}

void Sprites::set_animation(int n, int seq, int end) {
    SpriteRecord& s = slot(n);
    s.anim_seq = seq;
    s.anim_end = end;
    s.anim_step = 0;
}

void Sprites::set_motion(int n, double vx, double vy, double bob_ax, double bob_max_x,
                         double bob_ay, double bob_max_y, int min_x, int min_y, int max_x,
                         int max_y) {
    SpriteRecord& s = slot(n);
    s.vx = vx;
    s.vy = vy;
    s.bob_ax = bob_ax;
    s.bob_max_x = bob_max_x;
    s.bob_ay = bob_ay;
    s.bob_max_y = bob_max_y;
    s.min_x = min_x;
    s.min_y = min_y;
    s.max_x = max_x;
    s.max_y = max_y;
    s.bob_vx = 0.0;
    s.bob_vy = 0.0;
    s.behaviour = kDriftWithBob;
}

void Sprites::retire_sprite(int n) {
    // Position, frame and needs_erase stay: the next erase still restores
    // the place where the sprite was last shown.
    SpriteRecord& s = slot(n);
    s.active = 0;
    s.behaviour = 0;
    s.anim_seq = 0;
}

void Sprites::retire_all_sprites() {
    for (int n = 1; n <= active_slots_; ++n) {
        retire_sprite(n);
    }
}

int Sprites::count_active_sprites() const {
    int count = 0;
    for (int n = 1; n <= active_slots_; ++n) {
        if (table_[index(n)].active != 0) {
            ++count;
        }
    }
    return count;
}

// --- Reading ------------------------------------------------------------------------

const SpriteRecord& Sprites::slot(int n) const {
    return table_.at(index(n));
}

SpriteRecord& Sprites::slot(int n) {
    return table_.at(index(n));
}

QRect Sprites::cell(int frame) const {
    return sheet_cell(frame);
}

int Sprites::anim_cell(int seq, int step) const {
    if (seq < 0 || seq >= static_cast<int>(anim_table_.size()) || step < 0 ||
        step >= static_cast<int>(anim_table_[0].size())) {
        return 0;
    }
    return anim_table_[index(seq)][index(step)];
}

double Sprites::speed_x(int step) const {
    return step >= 1 && step <= kSpeedSteps ? speed_x_[index(step)] : 0.0;
}

double Sprites::speed_y(int step) const {
    return step >= 1 && step <= kSpeedSteps ? speed_y_[index(step)] : 0.0;
}

}  // namespace wm
