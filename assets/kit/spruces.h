#pragma once
// Conifers in the snow: big spruces with drooping tiers carrying pillows of
// snow, and lines of distant trees merged with the ground they stand on.

#include "assets/kit/media_random.h"

#include <QColor>
#include <QPainter>
#include <QPointF>
#include <QSizeF>

#include <span>
#include <vector>

namespace wm::media {

struct SpruceLook {
    QColor needles;          // branches in shade
    QColor needles_lit;      // branches toward the light
    QColor snow;             // lit snow
    QColor snow_shade;       // snow in shade and under the lumps
    double snow_load = 1.0;  // 0..1.5: how thick the snow lies
    bool light_from_left = true;
};

// A spruce standing on `base`, `height` tall, its drooping tiers carrying
// pillows of snow.
void paint_spruce(QPainter& painter, MediaRandom& rng, QPointF base, double height,
                  const SpruceLook& look);

// Where a tree stands in a picture: the foot of its trunk as shares of the
// picture's width (x) and height (base), its height in units.
struct TreeSpot {
    double x, base, height;
};

// Spruces at `spots`, painted in the order given (so later ones stand in front).
void paint_spruces(QPainter& painter, MediaRandom& rng, QSizeF picture, double unit,
                   std::span<const TreeSpot> spots, const SpruceLook& look);

struct TreelineLook {
    QColor trees;
    QColor snow;
    double snow_cover = 0.5;  // 0..1: how much of each tier's top is white
    bool light_from_left = true;
};

// Distant conifers along `ground` (left to right), about `height` tall and
// `spacing` apart, merged with the ground under them down to `bottom`.
void paint_treeline(QPainter& painter, MediaRandom& rng, const std::vector<QPointF>& ground,
                    double bottom, double height, double spacing, const TreelineLook& look);

}  // namespace wm::media
