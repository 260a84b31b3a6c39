#pragma once
// What stands along a village street: fences, lamp posts and strings of
// coloured lights. Sizes are in pixels; unusable sizes paint nothing. Each
// helper takes one number from the generator it is given.

#include "assets/kit/media_random.h"
#include "assets/kit/mood.h"

#include <QColor>
#include <QPainter>
#include <QPointF>

#include <vector>

namespace wm::media {

enum class FenceKind { Picket, Rails };
// A fence along `ground` (points left to right on the snow), `height` tall,
// each post and rail capped with snow.
void paint_fence(QPainter& painter, MediaRandom& rng, const std::vector<QPointF>& ground,
                 double height, const QColor& wood, FenceKind kind, const Mood& mood);

// A street lamp standing at `base`, `height` tall, its lantern lit.
void paint_lamp_post(QPainter& painter, MediaRandom& rng, QPointF base, double height,
                     const Mood& mood);

// A sagging string of coloured bulbs from a to b, `sag` below the straight line.
void paint_light_string(QPainter& painter, MediaRandom& rng, QPointF a, QPointF b, double sag,
                        int bulbs, double bulb_radius, double glow);

}  // namespace wm::media
