#pragma once
// A soft glow squeezed or stretched along the picture's axes: the long pools
// of light on snow and ice, the shade in a valley, the haze round a cloud.

#include <QColor>
#include <QPainter>
#include <QPointF>

namespace wm::media {

// paint_glow around `centre` with `radius`, then stretched `across` times
// sideways and `down` times up and down about that centre.
void paint_stretched_glow(QPainter& painter, QPointF centre, double radius, double across,
                          double down, const QColor& colour, double peak);

}  // namespace wm::media
