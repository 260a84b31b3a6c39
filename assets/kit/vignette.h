#pragma once
// A picture's corners darkened, to hold the eye in the middle.

#include <QColor>
#include <QPainter>
#include <QRectF>

namespace wm::media {

// Corners darkened toward `colour`, `strength` at the very corners.
void paint_vignette(QPainter& painter, const QRectF& frame, const QColor& colour, double strength);

}  // namespace wm::media
