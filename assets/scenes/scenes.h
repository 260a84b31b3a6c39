#pragma once
// The ten background pictures of the built-in pack. Each is painted at
// `size` (1920 x 1080 for the pack) and keeps its middle band calm enough for
// a centred white caption with a black shadow to stay readable. A size
// outside 1..16384 pixels either way gives a null picture.

#include <QImage>
#include <QSize>

namespace wm::media {

QImage paint_snowy_village(QSize size);      // village at night, lit windows
QImage paint_pine_forest_dusk(QSize size);   // pine forest at dusk
QImage paint_frozen_lake(QSize size);        // frozen lake under mountains
QImage paint_northern_lights(QSize size);    // aurora over a ridge
QImage paint_snowman_garden(QSize size);     // snowman in a garden
QImage paint_chimney_cabin(QSize size);      // cabin with chimney smoke
QImage paint_starry_church(QSize size);      // starry night over a church
QImage paint_snowfield_sunrise(QSize size);  // sunrise over snowfields
QImage paint_town_square_tree(QSize size);   // decorated tree on a town square, falling snow
QImage paint_moonlit_peaks(QSize size);      // moonlit mountain peaks

}  // namespace wm::media
