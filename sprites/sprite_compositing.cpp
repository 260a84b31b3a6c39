// The sprites over the scene: restoring the background where they were,
// drawing each one through its mask, and copying what changed to the
// visible stage.
//
// Every real position or size is rounded half to even to a pixel, by
// blit_boxes or round_to_int.

#include "imaging/picture_box.h"
#include "imaging/transition.h"
#include "platform/rounding.h"
#include "sprites/sprites.h"

namespace wm {
namespace {

// One axis of the rectangle a present copies: the union of the cell now at
// `start` (`size` long) and the one last shown at `last_start` (`last_size`).
struct Span {
    double start;
    double length;
};

Span union_span(double start, int size, double last_start, int last_size) {
    if (last_start < start) {
        const double length =
            last_start + last_size > start + size ? last_size : start + size - last_start;
        return {last_start, length};
    }
    if (last_start > start) {
        const double length =
            start + size > last_start + last_size ? size : last_start + last_size - start;
        return {start, length};
    }
    return {start, static_cast<double>(size)};
}

}  // namespace

void Sprites::erase_sprites(PictureBox& work, const PictureBox& main) {
    const bool ink_known = !ink_.size().isEmpty();
    for (int n = 1; n <= active_slots_; ++n) {
        SpriteRecord& s = slot(n);
        if (s.needs_erase == 0) {
            continue;
        }
        const QRect c = cell(s.last_frame);
        if (ink_known) {
            restore_ink(work, main, round_to_int(s.last_x), round_to_int(s.last_y), c, ink_);
        } else {
            blit_boxes(work, s.last_x, s.last_y, c.width(), c.height(), main, s.last_x, s.last_y,
                       RasterOp::kSrcCopy);
        }
        s.needs_erase = 0;
    }
}

void Sprites::draw_sprite(int n, PictureBox& work, const PictureBox& sprite,
                          const PictureBox& mask) const {
    const SpriteRecord& s = slot(n);
    if (s.draw_mode != 1) {
        return;
    }
    // The mask ANDed in, then the colour ORed over it: one pass does both.
    const QRect c = cell(s.frame);
    box_blt_masked(work, round_to_int(s.x), round_to_int(s.y), c.width(), c.height(), sprite, mask,
                   c.x(), c.y(), &ink_of(sprite, mask));
}

const SheetInk& Sprites::ink_of(const PictureBox& sprite, const PictureBox& mask) const {
    const qint64 sprite_key = sprite.Image().cacheKey();
    const qint64 mask_key = mask.Image().cacheKey();
    if (sprite_key != ink_sprite_key_ || mask_key != ink_mask_key_) {
        ink_ = SheetInk(sprite.Image(), mask.Image());
        ink_sprite_key_ = sprite_key;
        ink_mask_key_ = mask_key;
        for (int frame = 1; frame <= kSheetCells; ++frame) {
            const QRect c = cell(frame);
            cell_ink_[static_cast<std::size_t>(frame)] = ink_.bounds(c).translated(-c.topLeft());
        }
    }
    return ink_;
}

std::optional<QRect> Sprites::drawn_area(double x, double y, int frame) const {
    if (ink_.size().isEmpty()) {
        return std::nullopt;
    }
    if (frame < 1 || frame > kSheetCells) {
        return QRect();
    }
    return cell_ink_[static_cast<std::size_t>(frame)].translated(round_to_int(x), round_to_int(y));
}

void Sprites::present_frame(PictureBox& ascreen, const PictureBox& work) {
    for (int n = 1; n <= active_slots_; ++n) {
        SpriteRecord& s = slot(n);
        if (s.active == 0) {
            continue;
        }
        if (&ascreen == &work) {
            // Composed on the stage itself: nothing to copy.
        } else if (const std::optional<QRect> inked_now = drawn_area(s.x, s.y, s.frame)) {
            // Elsewhere in the two cells `work` and `ascreen` already agree.
            const QRect both = *inked_now | *drawn_area(s.last_x, s.last_y, s.last_frame);
            if (!both.isEmpty()) {
                box_blt(ascreen, both.x(), both.y(), both.width(), both.height(), work, both.x(),
                        both.y(), RasterOp::kSrcCopy);
            }
        } else {
            const QRect now = cell(s.frame);
            const QRect last = cell(s.last_frame);
            const Span across = union_span(s.x, now.width(), s.last_x, last.width());
            const Span down = union_span(s.y, now.height(), s.last_y, last.height());
            // One pixel more each way covers the rounding of the two cells.
            blit_boxes(ascreen, across.start, down.start, across.length + 1.0, down.length + 1.0,
                       work, across.start, down.start, RasterOp::kSrcCopy);
        }
        s.needs_erase = s.active;
        s.last_x = s.x;
        s.last_y = s.y;
        s.last_frame = s.frame;
    }
}

}  // namespace wm
