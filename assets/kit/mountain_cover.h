#pragma once
// What covers a mountain range, painted by paint_range before its light and
// shade: rock, the snowfield with its ragged lower edge, snow down the
// gullies, rock ribs through the snow, and glaciers between the summits.

#include "assets/kit/media_random.h"
#include "assets/kit/mountains.h"

#include <QPainter>
#include <QRectF>

namespace wm::media {

// Paints the cover over `bounds` (the range's bounding box, with the painter
// already clipped to the range's body); `relief` is the range's height.
void paint_range_cover(QPainter& painter, MediaRandom& rng, const MountainRange& range,
                       const RangeLook& look, const QRectF& bounds, double relief);

}  // namespace wm::media
