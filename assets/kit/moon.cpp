#include "assets/kit/moon.h"

#include "assets/kit/piece_basics.h"

#include <QRegion>

namespace wm::media {

using namespace piece;

void paint_moon(QPainter& painter, QPointF centre, double radius, const QColor& halo) {
    if (!(radius > 0.0) || !usable(radius) || !usable(centre)) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    {
        const Additive light(painter);
        paint_glow(painter, centre, radius * 9.0, halo, 0.18);
        paint_glow(painter, centre, radius * 3.0, halo, 0.3);
    }
    QRadialGradient face(centre - QPointF(radius * 0.3, radius * 0.3), radius * 1.3);
    face.setColorAt(0.0, QColor(255, 253, 242));
    face.setColorAt(0.7, QColor(246, 240, 222));
    face.setColorAt(1.0, QColor(225, 220, 205));
    painter.setBrush(face);
    painter.drawEllipse(centre, radius, radius);
    // Faint seas.
    const struct {
        double x, y, rx, ry;
    } seas[] = {{-0.3, -0.25, 0.28, 0.22},
                {0.15, -0.35, 0.2, 0.16},
                {0.25, 0.1, 0.3, 0.24},
                {-0.2, 0.35, 0.18, 0.14},
                {0.5, -0.05, 0.12, 0.15}};
    painter.setClipRegion(QRegion(
        QRectF(centre.x() - radius, centre.y() - radius, radius * 2, radius * 2).toAlignedRect(),
        QRegion::Ellipse));
    for (const auto& sea : seas) {
        painter.save();
        painter.translate(centre + QPointF(sea.x, sea.y) * radius);
        painter.scale(1.0, sea.ry / sea.rx);
        paint_glow(painter, QPointF(0, 0), sea.rx * radius * 1.3, QColor(150, 146, 150), 0.45);
        painter.restore();
    }
    painter.restore();
}

}  // namespace wm::media
