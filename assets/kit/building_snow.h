#pragma once
// What a village piece leaves on the snow around its foot: a drift heaped
// against it, a pool of warm light, the shadow it casts.

#include "assets/kit/media_random.h"
#include "assets/kit/mood.h"

#include <QPainter>
#include <QPointF>
#include <QPolygonF>

namespace wm::media::piece {

// A ring of snow heaped along a -> b on the ground, up to `height` high.
void paint_drift(QPainter& painter, MediaRandom& rng, QPointF a, QPointF b, double height,
                 const Mood& mood);
// A pool of warm light on the snow at `centre`: the snow takes on the
// lamp's colour rather than burning to white.
void paint_light_pool(QPainter& painter, QPointF centre, double radius, const Mood& mood,
                      double strength);
// The shadow a box standing on `footprint` casts on the snow along `fall`:
// soft-edged, fading away from its foot.
void paint_cast_shadow(QPainter& painter, const QPolygonF& footprint, QPointF fall,
                       const Mood& mood);

}  // namespace wm::media::piece
