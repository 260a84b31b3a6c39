#pragma once
// Clipping of a rectangle copy between two rasters.
//
// A copy of width x height pixels from (src_x, src_y) of one raster to
// (dst_x, dst_y) of another touches only pixels that exist in both: every part
// of the rectangle that lies outside either raster is cut away, and the rest is
// copied. Nothing is an error; an empty result copies nothing.

#include <QSize>

#include <optional>

namespace wm {

struct BlitRect {
    int src_x = 0;
    int src_y = 0;
    int dst_x = 0;
    int dst_y = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const BlitRect&, const BlitRect&) = default;
};

// The part of the copy that falls inside both rasters, or nothing when no
// pixel is left (including width or height <= 0). Safe for any int arguments.
std::optional<BlitRect> clip_blit(QSize src, int src_x, int src_y, QSize dst, int dst_x, int dst_y,
                                  int width, int height);

}  // namespace wm
