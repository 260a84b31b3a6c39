#pragma once
// The bird sprite sheet and its mask, in the sheet layout: cells 1-24 are one
// wing-flap cycle of a bird flying to the right, and the lower half is the
// horizontal mirror image of the upper half.
//
// Mask: pure white where the background shows, pure black under the bird.
// Sprite: pure black wherever the mask is white, so AND-ing the mask into
// the stage and OR-ing the sprite over it draws the bird.

#include "sprites/sheet_layout.h"

#include <QImage>
#include <QPainter>
#include <QPoint>

namespace wm::media {

struct BirdSheets {
    QImage sprite;  // QImage::Format_RGB32
    QImage mask;    // QImage::Format_RGB32, only black and white
};

BirdSheets paint_bird_sheets();

// Draws cell n (1..48) of the sheets at `at` the way the stage draws a bird:
// the mask AND-ed into the target, then the sprite OR-ed over it. The painter
// must work on a QImage::Format_RGB32 target (exact bitwise operations).
void draw_bird_cell(QPainter& painter, QPoint at, const BirdSheets& sheets, int n);

}  // namespace wm::media
