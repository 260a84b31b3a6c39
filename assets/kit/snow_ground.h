#pragma once
// Snow on the ground: banks of drifted snow shaded from their crests, mounds
// over buried rocks and shrubs, sparkling crystals, dry grass poking through,
// and the long shadows things cast across it. Lengths are in pixels; `unit`
// is one 1080th of the picture's height.

#include "assets/kit/media_random.h"

#include <QColor>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <span>
#include <vector>

namespace wm::media {

// The crest of a bank of drifted snow, sampled every `step` whole pixels.
struct DriftShape {
    double left = 0.0;
    double right = 0.0;
    double crest = 0.0;  // mean y of the crest
    double swell = 0.0;  // how far the crest rises and falls
    double waves = 2.0;  // swells across the width
    int step = 3;
};
std::vector<QPointF> drift_crest(MediaRandom& rng, const DriftShape& shape);

struct DriftLook {
    QColor lit;              // the crest where it faces the light
    QColor body;             // the snow a little below the crest
    QColor shadow;           // deep in the bank, and crests facing away
    QColor rim;              // the bright line along crests facing the light
    double depth = 100.0;    // how far below its crest the snow reaches `shadow`
    double rim_width = 2.0;  // in units
    double unit = 1.0;
    bool light_from_left = true;
};

// A bank of snow under `crest` down to `bottom`, shaded from its own crest
// down, so every swell keeps its lit top and blue hollow.
void paint_drift(QPainter& painter, const std::vector<QPointF>& crest, double bottom,
                 const DriftLook& look);

// A rounded hummock of snow over a buried rock or shrub, `width` wide and
// `height` tall, sitting on `base` (the middle of its foot), shaded like a
// drift with a soft shadow on the side away from the light.
void paint_snow_mound(QPainter& painter, MediaRandom& rng, QPointF base, double width,
                      double height, const DriftLook& look);

// Where a mound sits in a picture: the middle of its foot as shares of the
// picture's width and height, its size in units.
struct MoundSpot {
    double x, y, width, height;
};

// Snow mounds at `spots`, painted in the order given.
void paint_snow_mounds(QPainter& painter, MediaRandom& rng, QSizeF picture, double unit,
                       std::span<const MoundSpot> spots, const DriftLook& look);

// Sparkles where the low sun catches snow crystals in `region`, larger
// toward its bottom (nearer to us).
void paint_glints(QPainter& painter, MediaRandom& rng, const QRectF& region, int count, double unit,
                  const QColor& colour);

// Dry grass or reeds poking through the snow at `foot`: a fan of thin curved
// blades up to `height` tall, some with a seed head, each with its shadow
// lying along `shadow_reach` (scaled to the blade).
void paint_grass_tuft(QPainter& painter, MediaRandom& rng, QPointF foot, double height,
                      const QColor& stalk, QPointF shadow_reach, const QColor& shade);

// The long shadow of something standing at `foot`, reaching to foot + reach,
// `width` wide at the foot and narrowing to `tip_width`, fading as it goes.
void paint_cast_shadow(QPainter& painter, QPointF foot, QPointF reach, double width,
                       double tip_width, const QColor& shade);

}  // namespace wm::media
