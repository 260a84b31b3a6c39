#pragma once
// Snow lying along an edge: an eave, a gable, a rail, a window sill.

#include "assets/kit/media_random.h"
#include "assets/kit/mood.h"

#include <QPainter>
#include <QPainterPath>
#include <QPointF>

namespace wm::media {

// A rounded band of snow lying along the edge a -> b (an eave, a gable's edge,
// a rail): `thickness` above the edge, hanging `hang` below it in soft
// scallops, its rounded ends reaching half the thickness past a and b. "Above" is
// the side of the edge that faces up on the screen.
QPainterPath snow_lip_path(MediaRandom& rng, QPointF a, QPointF b, double thickness, double hang);
// That band painted, shaded from `mood.snow` on top to `mood.snow_shade`
// underneath, with icicles under it when `icicles` is set.
void paint_snow_lip(QPainter& painter, MediaRandom& rng, QPointF a, QPointF b, double thickness,
                    double hang, const Mood& mood, bool icicles);

}  // namespace wm::media
