#include "assets/kit/snow_lip.h"

#include "assets/kit/piece_basics.h"

#include <algorithm>

namespace wm::media {

using namespace piece;

QPainterPath snow_lip_path(MediaRandom& caller, QPointF a, QPointF b, double thickness,
                           double hang) {
    MediaRandom rng = caller.split();
    QPainterPath path;
    const QPointF along = b - a;
    const double span = length(along);
    if (!(span > 0.0) || !(thickness > 0.0) || !usable(a) || !usable(b) || !usable(thickness) ||
        !usable(hang)) {
        return path;
    }
    hang = std::max(0.0, hang);
    const QPointF e = along / span;
    QPointF up(e.y(), -e.x());
    if (up.y() > 0.0 || (up.y() == 0.0 && up.x() < 0.0)) {
        up = -up;
    }
    const QPointF down = -up;
    const QPointF start = a - e * thickness * 0.5;
    const QPointF end = b + e * thickness * 0.5;
    const int bumps = std::clamp(static_cast<int>(span / (thickness * 2.5)), 1, 400);
    path.moveTo(start + down * hang * 0.3);
    path.quadTo(start + up * thickness, a + up * thickness * rng.range(0.85, 1.0));
    for (int i = 1; i <= bumps; ++i) {
        const double t = static_cast<double>(i) / bumps;
        const QPointF crest = lerp(a, b, t - 0.5 / bumps) + up * thickness * rng.range(1.0, 1.2);
        path.quadTo(crest, lerp(a, b, t) + up * thickness * rng.range(0.85, 1.0));
    }
    path.quadTo(end + up * thickness, end + down * hang * 0.3);
    // The underside hangs in scallops back toward a.
    const double scallop = std::max(hang, thickness) * 1.8;
    const int scallops = std::clamp(static_cast<int>(span / scallop), 1, 400);
    path.quadTo(end + down * hang, b + down * hang * rng.range(0.4, 0.7));
    // Uneven scallops: each joint nudged along the edge, each dip its own depth.
    double previous = 1.0;
    for (int i = scallops - 1; i >= 0; --i) {
        const double t = i == 0 ? 0.0 : (i + rng.range(-0.3, 0.3)) / static_cast<double>(scallops);
        const double middle = (t + previous) / 2;
        const double belly = rng.range(1.1, 1.9);
        const double lift = rng.range(0.35, 0.75);
        path.quadTo(lerp(a, b, middle) + down * hang * belly, lerp(a, b, t) + down * hang * lift);
        previous = t;
    }
    path.quadTo(start + down * hang, start + down * hang * 0.3);
    path.closeSubpath();
    return path;
}

void paint_snow_lip(QPainter& painter, MediaRandom& caller, QPointF a, QPointF b, double thickness,
                    double hang, const Mood& mood, bool icicles) {
    MediaRandom rng = caller.split();
    const QPainterPath lip = snow_lip_path(rng, a, b, thickness, hang);
    if (lip.isEmpty()) {
        return;
    }
    painter.save();
    painter.setPen(Qt::NoPen);
    const QPointF e = (b - a) / length(b - a);
    QPointF up(e.y(), -e.x());
    if (up.y() > 0.0 || (up.y() == 0.0 && up.x() < 0.0)) {
        up = -up;
    }
    if (icicles) {
        const int count = std::clamp(static_cast<int>(length(b - a) / (thickness * 0.8)), 1, 300);
        for (int i = 0; i < count; ++i) {
            if (!rng.chance(0.6)) {
                continue;
            }
            const QPointF root = lerp(a, b, rng.range(0.04, 0.96)) - up * hang * 0.5;
            const double length = rng.range(0.5, 2.2);
            const double long_one = rng.chance(0.2) ? 1.7 : 1.0;
            const double reach = (hang + thickness) * length * long_one;
            const double half = thickness * rng.range(0.1, 0.2);
            QPainterPath icicle;
            icicle.moveTo(root + QPointF(-half, 0));
            icicle.quadTo(root + QPointF(-half * 0.3, reach * 0.5), root + QPointF(0, reach));
            icicle.quadTo(root + QPointF(half * 0.3, reach * 0.5), root + QPointF(half, 0));
            icicle.closeSubpath();
            painter.setBrush(
                vertical_gradient(root.y(), root.y() + reach,
                                  {{0.0, with_alpha(mix(mood.snow, mood.snow_shade, 0.3), 0.95)},
                                   {1.0, with_alpha(lighter(mood.snow, 0.3), 0.35)}}));
            painter.drawPath(icicle);
        }
    }
    QLinearGradient shade(a + up * thickness, a - up * std::max(hang, thickness * 0.3));
    shade.setColorAt(0.0, lighter(mood.snow, 0.06));
    shade.setColorAt(0.45, mood.snow);
    shade.setColorAt(1.0, mix(mood.snow, mood.snow_shade, 0.75));
    painter.setBrush(shade);
    painter.drawPath(lip);
    painter.restore();
}

}  // namespace wm::media
