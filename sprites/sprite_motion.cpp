// Each frame's walk over the sprite table: the wing-flap animation, the
// motion routine, the exit test and the drawing of every live sprite.

#include "platform/engine_host.h"
#include "sprites/sprites.h"

namespace wm {
namespace {

// The host runs its events after this many slots of one update.
constexpr int kSlotsPerYield = 20;

// One axis of the bob: the velocity changes by the acceleration and turns
// back once it has passed the limit either way.
void bob(double& velocity, double& acceleration, double limit) {
    velocity += acceleration;
    if (velocity > limit || velocity < -limit) {
        acceleration = -acceleration;
        velocity += acceleration;
    }
}

}  // namespace

void Sprites::update_sprites(PictureBox& work, const PictureBox& sprite, const PictureBox& mask,
                             EngineHost& host) {
    int since_yield = 0;
    for (int n = 1; n <= active_slots_; ++n) {
        SpriteRecord& s = slot(n);
        if (s.active != 0) {
            if (s.anim_seq != 0) {
                ++s.anim_step;
                const int c = anim_cell(s.anim_seq, s.anim_step);
                if (c == kAnimationEnd) {
                    s.anim_step = 1;
                    s.frame = anim_cell(s.anim_seq, 1);
                } else {
                    s.frame = c;
                }
            }
            if (s.behaviour == kDriftWithBob) {
                drift_with_bob(n);
            }
            if (s.active != 0) {
                draw_sprite(n, work, sprite, mask);
            }
        }
        if (++since_yield == kSlotsPerYield) {
            since_yield = 0;
            host.yield_once();
        }
    }
}

void Sprites::drift_with_bob(int n) {
    SpriteRecord& s = slot(n);
    s.x += s.vx;
    s.y += s.vy;
    // The bob moves the sprite by the velocities it had before this frame.
    s.x += s.bob_vx;
    s.y += s.bob_vy;
    bob(s.bob_vx, s.bob_ax, s.bob_max_x);
    bob(s.bob_vy, s.bob_ay, s.bob_max_y);

    const QRect c = cell(s.frame);
    if (s.x + c.width() < s.min_x || s.x > s.max_x) {
        retire_sprite(n);
    } else if (s.y + c.height() < s.min_y || s.y > s.max_y) {
        retire_sprite(n);
    }
}

}  // namespace wm
