#include "assets/kit/vignette.h"

#include "assets/kit/piece_basics.h"

namespace wm::media {

using namespace piece;

void paint_vignette(QPainter& painter, const QRectF& frame, const QColor& colour, double strength) {
    if (frame.isEmpty() || !usable(frame.width()) || !usable(frame.height()) ||
        !usable(frame.topLeft())) {
        return;
    }
    painter.save();
    painter.translate(frame.center());
    painter.scale(frame.width() / frame.height(), 1.0);
    const double radius = frame.height() * 0.5 * 1.45;
    QRadialGradient shade(QPointF(0, 0), radius);
    shade.setColorAt(0.0, with_alpha(colour, 0.0));
    shade.setColorAt(0.55, with_alpha(colour, 0.0));
    shade.setColorAt(0.8, with_alpha(colour, strength * 0.45));
    shade.setColorAt(1.0, with_alpha(colour, strength));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    const double half_width = frame.width() / 2 / (frame.width() / frame.height());
    painter.drawRect(QRectF(-half_width, -frame.height() / 2, half_width * 2, frame.height()));
    painter.restore();
}

}  // namespace wm::media
