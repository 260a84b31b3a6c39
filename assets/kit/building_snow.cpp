#include "assets/kit/building_snow.h"

#include "assets/kit/piece_basics.h"

#include <QPainterPath>

#include <algorithm>
#include <vector>

namespace wm::media::piece {

namespace {

QPainterPath drift_path(MediaRandom& rng, QPointF a, QPointF b, double height) {
    QPainterPath path;
    const int bumps = std::clamp(static_cast<int>(length(b - a) / (height * 2.5)), 2, 200);
    path.moveTo(a + QPointF(0, height * 0.4));
    path.quadTo(a + QPointF(0, -height * 0.3),
                lerp(a, b, 0.5 / bumps) + QPointF(0, -height * rng.range(0.6, 1.0)));
    for (int i = 1; i < bumps; ++i) {
        const double t = (i + 0.5) / bumps;
        const QPointF top = lerp(a, b, t) + QPointF(0, -height * rng.range(0.55, 1.0));
        const QPointF dip =
            lerp(a, b, static_cast<double>(i) / bumps) + QPointF(0, -height * rng.range(0.5, 0.8));
        path.quadTo(dip, top);
    }
    path.quadTo(b + QPointF(0, -height * 0.3), b + QPointF(0, height * 0.4));
    path.closeSubpath();
    return path;
}

// The smallest convex polygon around `points` (counter-clockwise on screen).
QPolygonF convex_hull(std::vector<QPointF> points) {
    if (points.size() < 3) {
        return QPolygonF(QList<QPointF>(points.begin(), points.end()));
    }
    std::sort(points.begin(), points.end(), [](QPointF a, QPointF b) {
        return a.x() < b.x() || (a.x() == b.x() && a.y() < b.y());
    });
    const auto turn = [](QPointF o, QPointF a, QPointF b) {
        return (a.x() - o.x()) * (b.y() - o.y()) - (a.y() - o.y()) * (b.x() - o.x());
    };
    std::vector<QPointF> hull;
    for (int pass = 0; pass < 2; ++pass) {
        const std::size_t start = hull.size();
        for (const QPointF& point : points) {
            while (hull.size() >= start + 2 &&
                   turn(hull[hull.size() - 2], hull.back(), point) <= 0.0) {
                hull.pop_back();
            }
            hull.push_back(point);
        }
        hull.pop_back();
        std::reverse(points.begin(), points.end());
    }
    return QPolygonF(QList<QPointF>(hull.begin(), hull.end()));
}

}  // namespace

void paint_drift(QPainter& painter, MediaRandom& rng, QPointF a, QPointF b, double height,
                 const Mood& mood) {
    const QPainterPath path = drift_path(rng, a, b, height);
    const QRectF box = path.boundingRect();
    painter.setPen(Qt::NoPen);
    painter.setBrush(vertical_gradient(box.top(), box.bottom(),
                                       {{0.0, mood.snow},
                                        {0.6, mix(mood.snow, mood.snow_shade, 0.25)},
                                        {1.0, mix(mood.snow, mood.snow_shade, 0.35)}}));
    painter.drawPath(path);
}

void paint_light_pool(QPainter& painter, QPointF centre, double radius, const Mood& mood,
                      double strength) {
    if (mood.glow <= 0.0 || strength <= 0.0) {
        return;
    }
    painter.save();
    painter.translate(centre);
    painter.scale(1.0, 0.3);
    paint_glow(painter, QPointF(0, 0), radius, lighter(mood.lamp, 0.15),
               0.6 * mood.glow * strength);
    painter.restore();
}

void paint_cast_shadow(QPainter& painter, const QPolygonF& footprint, QPointF fall,
                       const Mood& mood) {
    if (mood.shadow <= 0.0 || footprint.size() < 3) {
        return;
    }
    painter.save();
    painter.setPen(Qt::NoPen);
    const QPointF centre = footprint.boundingRect().center();
    const QColor shade = darker(mood.snow_shade, 0.1);
    // Three overlapping shapes, each a little longer and fainter: a penumbra.
    for (const double reach : {0.8, 1.0, 1.2}) {
        std::vector<QPointF> corners;
        for (const QPointF& corner : footprint) {
            corners.push_back(corner);
            corners.push_back(corner + fall * reach);
        }
        const QPolygonF outline = convex_hull(corners);
        QLinearGradient fade(centre, centre + fall * reach);
        fade.setColorAt(0.0, with_alpha(shade, mood.shadow * 0.4));
        fade.setColorAt(1.0, with_alpha(shade, 0.0));
        painter.setBrush(fade);
        painter.drawPolygon(outline);
    }
    painter.restore();
}

}  // namespace wm::media::piece
