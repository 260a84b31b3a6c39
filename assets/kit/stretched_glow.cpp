#include "assets/kit/stretched_glow.h"

#include "assets/kit/paint_kit.h"

namespace wm::media {

void paint_stretched_glow(QPainter& painter, QPointF centre, double radius, double across,
                          double down, const QColor& colour, double peak) {
    painter.save();
    painter.translate(centre);
    painter.scale(across, down);
    paint_glow(painter, QPointF(0.0, 0.0), radius, colour, peak);
    painter.restore();
}

}  // namespace wm::media
