#pragma once
// The full moon in a night sky.

#include <QColor>
#include <QPainter>
#include <QPointF>

namespace wm::media {

// A full moon with faint seas and a wide halo.
void paint_moon(QPainter& painter, QPointF centre, double radius, const QColor& halo);

}  // namespace wm::media
