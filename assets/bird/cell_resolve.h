#pragma once
// Brings a sprite cell painted at several times its size down to the sheets'
// 1-bit mask: a pixel belongs to the bird when at least half of it is
// covered, and then takes the average colour of its covered part, never a
// blend with the background. A darker rim along the silhouette keeps the bird
// readable on snow as well as on a night sky.

#include <QColor>
#include <QImage>
#include <QPoint>

namespace wm::media {

// How many painted pixels make one sheet pixel, across and down.
inline constexpr int kSupersample = 4;

// Resolves `fine` (QImage::Format_ARGB32_Premultiplied, kSupersample times
// the cell size) into the cell at `at` of `sprite` and `mask`, which must be
// pure black and pure white there already.
void resolve_cell(const QImage& fine, QImage& sprite, QImage& mask, QPoint at, const QColor& rim);

}  // namespace wm::media
