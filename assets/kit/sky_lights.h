#pragma once
// The lights in the sky: the moon with its seas and halo, and a low sun in
// its glow.

#include "assets/kit/media_random.h"

#include <QColor>
#include <QPainter>
#include <QPointF>

namespace wm::media {

// The moon: a softly shaded disc with grey-blue seas inside a layered halo.
// Nothing is painted for a radius or centre that is not a usable size or place.
void paint_moon(QPainter& painter, MediaRandom& rng, QPointF centre, double radius,
                const QColor& face, const QColor& halo);

// A low sun: a bright disc inside a wide warm glow.
void paint_sun(QPainter& painter, QPointF centre, double radius, const QColor& core,
               const QColor& glow);

}  // namespace wm::media
