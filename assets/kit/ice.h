#pragma once
// Lake ice seen in perspective: cracks and patches of lying snow, short and
// flat near the far shore (the top of the ice) and larger toward us.

#include "assets/kit/media_random.h"

#include <QColor>
#include <QPainter>
#include <QRectF>

namespace wm::media {

// Cracks in lake ice seen in perspective: the far shore is the top of `ice`,
// so cracks there are short and flat. Each crack is a dark line with a light
// edge below it.
void paint_ice_cracks(QPainter& painter, MediaRandom& rng, const QRectF& ice, int count,
                      double unit, const QColor& dark, const QColor& light);

// Patches of snow lying on lake ice, flattened by perspective like the
// cracks: a soft-edged white shape with a faint shade along its near edge.
void paint_ice_snow(QPainter& painter, MediaRandom& rng, const QRectF& ice, int count, double unit,
                    const QColor& snow, const QColor& shade);

}  // namespace wm::media
