#pragma once
// A village church, painted in the light of a Mood. Sizes are in pixels;
// unusable sizes paint nothing. paint_church takes one number from the
// generator it is given.

#include "assets/kit/media_random.h"
#include "assets/kit/mood.h"

#include <QColor>
#include <QPainter>
#include <QPointF>

namespace wm::media {

// A village church seen from the side: a long nave with tall arched windows
// and a tower with a belfry, clock and spire on the `tower_side` (+1 right,
// -1 left) end.
struct Church {
    QPointF base;  // bottom left corner of the nave's long wall
    double nave_width = 360.0;
    double nave_height = 170.0;
    double tower_width = 110.0;
    double tower_height = 300.0;  // up to the foot of the spire
    double spire_height = 260.0;
    double depth = 90.0;
    int tower_side = -1;
    QColor wall = QColor(205, 195, 180);
    QColor roof_colour = QColor(90, 70, 80);
    double lit = 1.0;
};
// The church, returning the top of the cross on its spire.
QPointF paint_church(QPainter& painter, MediaRandom& rng, const Church& church, const Mood& mood);

}  // namespace wm::media
