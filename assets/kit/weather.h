#pragma once
// Weather in a landscape: long flat clouds and soft banks of mist.

#include "assets/kit/media_random.h"

#include <QColor>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <span>

namespace wm::media {

// A long flat cloud centred on `centre`: rounded puffs on a flat base,
// shaded from `body` at the top to `underside` along the base.
void paint_cloud(QPainter& painter, MediaRandom& rng, QPointF centre, double length,
                 double thickness, const QColor& body, const QColor& underside);

// Where a cloud lies in a picture: its centre and length as shares of the
// picture's width and height, its thickness in units.
struct CloudSpot {
    double x, y, length, thick;
};

// A sky of clouds all in the same light, painted in the order given.
void paint_clouds(QPainter& painter, MediaRandom& rng, QSizeF picture, double unit,
                  std::span<const CloudSpot> clouds, const QColor& body, const QColor& underside);

// Soft horizontal banks of mist within `band`.
void paint_mist(QPainter& painter, MediaRandom& rng, const QRectF& band, const QColor& colour,
                double strength);

}  // namespace wm::media
