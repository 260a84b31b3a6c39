#include "assets/kit/house_parts.h"

#include "assets/kit/piece_basics.h"
#include "assets/kit/smoke.h"
#include "assets/kit/snow_lip.h"

#include <QPainterPath>

#include <algorithm>

namespace wm::media::piece {

namespace {

// Snow on a roof slope turned `facing` (1 .. 0) to the light.
QColor roof_snow(const Mood& mood, double facing) {
    return mix(mood.snow, mood.snow_shade, (1.0 - facing) * 0.8);
}

}  // namespace

void paint_chimney(QPainter& painter, MediaRandom& rng, QPointF foot, double width, double rise,
                   double roof_facing, const Mood& mood, bool smoke) {
    painter.save();
    painter.setPen(Qt::NoPen);
    const QColor brick(150, 72, 55);
    const double top = foot.y() - rise;
    const QPointF back(width * 0.45, -width * 0.45 * kRise);
    const QRectF front(foot.x() - width / 2, top, width, rise + width * 0.6);
    // Side face, then the front with courses of bricks.
    QPolygonF side;
    side << front.topRight() << front.topRight() + back << front.bottomRight() + back
         << front.bottomRight();
    painter.setBrush(in_light(brick, mood, 0.45));
    painter.drawPolygon(side);
    const QColor face = in_light(brick, mood, 0.85);
    painter.setBrush(face);
    painter.drawRect(front);
    painter.setPen(QPen(darker(face, 0.3), std::max(0.6, width / 30.0)));
    const double course = std::max(width / 4.0, (rise + width) / 40.0);
    int row = 0;
    for (double y = top + course; y < front.bottom(); y += course, ++row) {
        painter.drawLine(QPointF(front.left(), y), QPointF(front.right(), y));
        const double offset = (row % 2) != 0 ? width / 4.0 : width / 2.0;
        painter.drawLine(QPointF(front.left() + offset, y - course),
                         QPointF(front.left() + offset, y));
    }
    painter.setPen(Qt::NoPen);
    // The cap, snow on it, snow heaped at its foot.
    const QRectF cap(front.left() - width * 0.12, top - width * 0.12, width * 1.24, width * 0.2);
    painter.setBrush(in_light(QColor(90, 80, 80), mood, 0.8));
    painter.drawRect(cap);
    paint_snow_lip(painter, rng, cap.topLeft() + QPointF(width * 0.05, 0),
                   cap.topRight() + back * 0.7, width * 0.22, width * 0.05, mood, false);
    QPainterPath mound;
    mound.moveTo(foot.x() - width * 1.1, foot.y() + width * 0.65);
    mound.cubicTo(foot.x() - width * 0.7, foot.y() + width * 0.2, foot.x() - width * 0.5,
                  foot.y() + width * 0.02, foot.x() + width * 0.1, foot.y() + width * 0.02);
    mound.cubicTo(foot.x() + width * 0.6, foot.y() + width * 0.02, foot.x() + width * 0.8,
                  foot.y() + width * 0.2, foot.x() + width * 1.2, foot.y() + width * 0.6);
    mound.closeSubpath();
    const QColor heaped = roof_snow(mood, roof_facing);
    painter.setBrush(vertical_gradient(foot.y(), foot.y() + width * 0.65,
                                       {{0.0, lighter(heaped, 0.05)}, {1.0, heaped}}));
    painter.drawPath(mound);
    painter.restore();
    if (smoke) {
        const QColor puff = mix(lighter(mood.ambient, 0.55), QColor(200, 195, 200), 0.4);
        paint_smoke(painter, rng, QPointF(foot.x() + width * 0.1, top - width * 0.2), rise * 3.5,
                    -rise * 1.6 * mood.light_side, puff, 0.45);
    }
}

// The snow-covered slope of a roof from its ridge (a -> b) down to its eave
// (a -> b), lit from the ridge, with a few soft ripples the wind left.
void paint_roof_plane(QPainter& painter, MediaRandom& rng, QPointF ridge_a, QPointF ridge_b,
                      QPointF eave_a, QPointF eave_b, const Mood& mood, double facing) {
    const QPolygonF plane({ridge_a, ridge_b, eave_b, eave_a});
    QLinearGradient snow(lerp(ridge_a, ridge_b, 0.5), lerp(eave_a, eave_b, 0.5));
    const QColor lit = roof_snow(mood, facing);
    snow.setColorAt(0.0, lighter(lit, 0.08));
    snow.setColorAt(0.7, lit);
    snow.setColorAt(1.0, mix(lit, mood.snow_shade, 0.35));
    painter.setPen(Qt::NoPen);
    painter.setBrush(snow);
    painter.drawPolygon(plane);
    const double slope = length(lerp(eave_a, eave_b, 0.5) - lerp(ridge_a, ridge_b, 0.5));
    if (slope < 20.0) {
        return;
    }
    painter.save();
    painter.setClipRegion(QRegion(plane.toPolygon()), Qt::IntersectClip);
    painter.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        const double at = rng.range(0.25, 0.8);
        const QPointF a = lerp(ridge_a, eave_a, at);
        const QPointF b = lerp(ridge_b, eave_b, at + rng.range(-0.08, 0.08));
        QPainterPath ripple;
        ripple.moveTo(a);
        const int waves = 3;
        for (int k = 1; k <= waves; ++k) {
            const QPointF to = lerp(a, b, static_cast<double>(k) / waves);
            const QPointF bend =
                lerp(a, b, (k - 0.5) / waves) +
                (lerp(eave_a, eave_b, 0.5) - lerp(ridge_a, ridge_b, 0.5)) * rng.range(-0.06, 0.06);
            ripple.quadTo(bend, to);
        }
        painter.setPen(
            QPen(with_alpha(mood.snow_shade, 0.1), slope * 0.06, Qt::SolidLine, Qt::RoundCap));
        painter.drawPath(ripple);
        painter.setPen(
            QPen(with_alpha(lighter(lit, 0.3), 0.16), slope * 0.025, Qt::SolidLine, Qt::RoundCap));
        painter.drawPath(ripple.translated(0, -slope * 0.035));
    }
    painter.restore();
}

}  // namespace wm::media::piece
