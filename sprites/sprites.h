#pragma once
// The birds: the sprite table, the tables every sprite shares, the spawner,
// each sprite's motion and wing-flap animation, and the masked compositing
// of the sprites over the scene.
//
// Slots 1 .. N are in play (N from the "sprite_active" setting, 1 .. 20);
// slot 0 is never used. Every loop runs over 1 .. N in ascending order, which
// is also the drawing order (a higher slot covers a lower one).
//
// Per frame the saver calls erase_sprites, spawn_step (unless sprites are
// off), update_sprites and present_frame, in that order.

#include "imaging/picture_box.h"
#include "sprites/sheet_layout.h"

#include <QRect>

#include <array>
#include <optional>

namespace wm {

class EngineHost;
class PictureBox;

inline constexpr int kSpriteSlots = 20;
inline constexpr int kDriftWithBob = 7;   // the one motion routine's code
inline constexpr int kAnimationEnd = -1;  // the end marker of a sequence

struct SpriteRecord {
    double x = 0.0;       // left edge of the sprite's cell on the stage, pixels
    double y = 0.0;       // top edge
    double last_x = 0.0;  // x at the last present
    double last_y = 0.0;
    int last_frame = 0;   // frame at the last present
    int needs_erase = 0;  // the last present showed it: restore its old cell first
    double vx = 0.0;      // pixels per frame, negative leftwards
    double vy = 0.0;
    int draw_mode = 0;  // 1: masked
    int active = 0;     // 0 free, 1 live
    int behaviour = 0;  // motion routine code; 0 in a free slot
    int frame = 0;      // cell 1 .. 48
    int anim_seq = 0;   // 0 none, 1 cells 1..24 (flying right), 2 cells 25..48 (flying left)
    int anim_step = 0;  // 0 .. 100
    int anim_end = 0;   // 0: start the sequence again
    double bob_vx = 0.0;
    double bob_ax = 0.0;
    double bob_max_x = 0.0;
    double bob_vy = 0.0;
    double bob_ay = 0.0;
    double bob_max_y = 0.0;
    int min_x = 0;  // retired when x + cell width < min_x
    int min_y = 0;
    int max_x = 0;  // retired when x > max_x
    int max_y = 0;
};

class Sprites {
  public:
    Sprites();

    // --- Set-up ---------------------------------------------------------
    // The first flight direction (right with a chance of 251 in 500) and
    // how many frames it lasts (180 .. 600 in steps of 30).
    void init_flight_direction();
    // Builds the frame, animation and speed tables for a stage of
    // stage_width x stage_height pixels, takes N (held to 1 .. 20), resets
    // all 20 slots and the spawn cursor.
    void init_sprites(int stage_width, int stage_height, int active_slots);

    // --- The table ------------------------------------------------------
    void spawn_step();
    void place_sprite(int slot, double x, double y, int frame);
    void set_animation(int slot, int seq, int end);
    void set_motion(int slot, double vx, double vy, double bob_ax, double bob_max_x, double bob_ay,
                    double bob_max_y, int min_x, int min_y, int max_x, int max_y);
    void retire_sprite(int slot);
    void retire_all_sprites();
    int count_active_sprites() const;

    // --- Each frame -----------------------------------------------------
    // Restores the background from `main` over every cell last presented:
    // once sprites have been drawn, only where their sheets have ink (the
    // pixels the drawing could change), before that the whole cell.
    void erase_sprites(PictureBox& work, const PictureBox& main);
    // Animates, moves and draws (mask AND, then colour OR) every live
    // sprite; lets the host run events after every 20th slot.
    void update_sprites(PictureBox& work, const PictureBox& sprite, const PictureBox& mask,
                        EngineHost& host);
    void drift_with_bob(int slot);
    // Draws one sprite's cell into `work` at its position, rounded: the
    // mask cell ANDed in, then the colour cell ORed over it.
    void draw_sprite(int slot, PictureBox& work, const PictureBox& sprite,
                     const PictureBox& mask) const;
    // Copies from `work` to `ascreen`, for each live sprite, the smallest
    // rectangle holding its drawing now and the one last shown: once
    // sprites have been drawn, the union of the two cells' ink at their
    // rounded places; before that, the union of the two cells, one pixel
    // wider and taller. A frame composed on the stage itself (`ascreen` is
    // `work`) is only recorded as shown.
    void present_frame(PictureBox& ascreen, const PictureBox& work);

    // --- Reading ----------------------------------------------------------
    // Slots 0 .. 20; any other number is a programming error (checked).
    const SpriteRecord& slot(int n) const;
    SpriteRecord& slot(int n);
    QRect cell(int frame) const;             // empty for frames outside 1 .. 48
    int anim_cell(int seq, int step) const;  // 0 outside the table
    double speed_x(int step) const;          // 0 outside 1 .. 50
    double speed_y(int step) const;
    int active_slots() const { return active_slots_; }
    int flight_direction() const { return flight_direction_; }
    int direction_countdown() const { return direction_countdown_; }
    int spawn_cursor() const { return spawn_cursor_; }
    int spawn_tick() const { return spawn_tick_; }

  private:
    // Where the sheets have ink, worked out once for the sheets in use.
    const SheetInk& ink_of(const PictureBox& sprite, const PictureBox& mask) const;
    // Where the drawing of `frame` at (x, y) puts ink, in stage pixels;
    // nothing when no sprite has been drawn yet.
    std::optional<QRect> drawn_area(double x, double y, int frame) const;

    std::array<SpriteRecord, kSpriteSlots + 1> table_{};
    // The ink of the sheets the sprites were last drawn with, and of each
    // frame's cell (relative to the cell's corner).
    mutable SheetInk ink_;
    mutable std::array<QRect, kSheetCells + 1> cell_ink_{};
    mutable qint64 ink_sprite_key_ = 0;
    mutable qint64 ink_mask_key_ = 0;
    std::array<std::array<int, 101>, 3> anim_table_{};
    std::array<double, 51> speed_x_{};
    std::array<double, 51> speed_y_{};
    int stage_width_ = 0;
    int stage_height_ = 0;
    int active_slots_ = 1;
    int spawn_cursor_ = 0;
    int spawn_tick_ = 0;
    int flight_direction_ = 1;
    int direction_countdown_ = 0;
};

}  // namespace wm
