#pragma once
// A line of fir trees in one colour: a far wood, or near firs in silhouette.

#include "assets/kit/media_random.h"

#include <QColor>
#include <QPainter>

namespace wm::media {

// A line of simple fir trees standing on `base` between left and right, up
// to `height` tall, in one `colour` with `snow` lying along their tiers: a
// far wood in the haze, or near firs in silhouette.
void paint_tree_line(QPainter& painter, MediaRandom& rng, double left, double right, double base,
                     double height, const QColor& colour, const QColor& snow);

}  // namespace wm::media
