#include "assets/kit/weather.h"

#include "assets/kit/paint_kit.h"
#include "assets/kit/stretched_glow.h"

#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace wm::media {

void paint_cloud(QPainter& painter, MediaRandom& rng, QPointF centre, double length,
                 double thickness, const QColor& body, const QColor& underside) {
    if (!(length > 0.0) || !(thickness > 0.0)) {
        return;
    }
    const double left = centre.x() - length / 2.0;
    const double base = centre.y() + thickness * 0.5;
    // Puffs along the base, big in the middle and thinning to the ends.
    QPainterPath puffs;
    puffs.setFillRule(Qt::WindingFill);
    const int count = std::max(3, static_cast<int>(length / thickness * 1.4));
    for (int i = 0; i < count; ++i) {
        const double t = (i + 0.5) / count;
        const double swell = std::pow(std::sin(std::numbers::pi * t), 0.8);
        const double r = thickness * (0.12 + 0.88 * swell) * rng.range(0.6, 1.2);
        const double x = left + length * t + rng.range(-0.3, 0.3) * r;
        puffs.addEllipse(QPointF(x, base - r * 0.5), r * rng.range(1.2, 1.8), r);
    }
    // Cut along a base that lifts a little toward the ends.
    QPainterPath cut;
    cut.moveTo(left - length * 0.2, base - thickness * 4.0);
    constexpr int kSteps = 24;
    for (int j = 0; j <= kSteps; ++j) {
        const double t = static_cast<double>(j) / kSteps;
        cut.lineTo(left + length * (t * 1.2 - 0.1),
                   base - thickness * 0.3 * (1.0 - std::sin(std::numbers::pi * t)));
    }
    cut.lineTo(left + length * 1.2, base - thickness * 4.0);
    cut.closeSubpath();
    painter.save();
    painter.setPen(Qt::NoPen);
    // A soft haze of the lit underside around it, so its edges do not look cut out.
    paint_stretched_glow(painter, QPointF(centre.x(), base - thickness * 0.4), thickness * 1.2,
                         length / (thickness * 2.4), 1.0, underside, 0.3);
    painter.setBrush(
        vertical_gradient(base - thickness * 1.4, base,
                          {{0.0, body}, {0.6, mix(body, underside, 0.4)}, {1.0, underside}}));
    painter.drawPath(puffs.intersected(cut));
    painter.restore();
}

void paint_clouds(QPainter& painter, MediaRandom& rng, QSizeF picture, double unit,
                  std::span<const CloudSpot> clouds, const QColor& body, const QColor& underside) {
    for (const CloudSpot& c : clouds) {
        paint_cloud(painter, rng, QPointF(picture.width() * c.x, picture.height() * c.y),
                    picture.width() * c.length, c.thick * unit, body, underside);
    }
}

void paint_mist(QPainter& painter, MediaRandom& rng, const QRectF& band, const QColor& colour,
                double strength) {
    if (!(band.width() > 0.0) || !(band.height() > 0.0)) {
        return;
    }
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.fillRect(band, vertical_gradient(band.top(), band.bottom(),
                                             {{0.0, with_alpha(colour, 0.0)},
                                              {0.5, with_alpha(colour, strength * 0.6)},
                                              {1.0, with_alpha(colour, 0.0)}}));
    for (int i = 0; i < 12; ++i) {
        const QPointF centre =
            random_point(rng, band.left(), band.right(), band.top() + band.height() * 0.25,
                         band.bottom() - band.height() * 0.25);
        const double tall = band.height() * rng.range(0.25, 0.45);
        const double stretch = band.width() * rng.range(0.12, 0.3) / tall;
        paint_stretched_glow(painter, centre, tall, stretch, 1.0, colour,
                             strength * rng.range(0.3, 0.6));
    }
    painter.restore();
}

}  // namespace wm::media
