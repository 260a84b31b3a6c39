#pragma once
// Smoke curling up from a chimney.

#include "assets/kit/media_random.h"

#include <QColor>
#include <QPainter>
#include <QPointF>

namespace wm::media {

// Smoke rising from `origin` for `rise` pixels, drifting `drift` sideways.
void paint_smoke(QPainter& painter, MediaRandom& rng, QPointF origin, double rise, double drift,
                 const QColor& colour, double opacity);

}  // namespace wm::media
