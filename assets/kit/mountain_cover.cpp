#include "assets/kit/mountain_cover.h"

#include "assets/kit/paint_kit.h"
#include "assets/kit/ridges.h"
#include "assets/kit/stretched_glow.h"

#include <QPainterPath>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace wm::media {

namespace {

// Channel-by-channel product: how a tinted shadow darkens a colour.
QColor multiply(const QColor& colour, const QColor& tint) {
    return QColor(colour.red() * tint.red() / 255, colour.green() * tint.green() / 255,
                  colour.blue() * tint.blue() / 255, colour.alpha());
}

// A straight run from `from` to `to` broken into `segments` with sideways jitter.
std::vector<QPointF> jagged(MediaRandom& rng, QPointF from, QPointF to, int segments,
                            double jitter) {
    std::vector<QPointF> points{from};
    for (int i = 1; i < segments; ++i) {
        const double t = static_cast<double>(i) / segments;
        const double dx = rng.range(-jitter, jitter);
        const double dy = rng.range(-jitter, jitter) * 0.3;
        points.push_back(from + (to - from) * t + QPointF(dx, dy));
    }
    points.push_back(to);
    return points;
}

void add_polyline(QPainterPath& path, const std::vector<QPointF>& points) {
    for (const QPointF& point : points) {
        path.lineTo(point);
    }
}

// A sliver down the fall line from `top` (dx per dy = `lean`): pointed at
// the top, widest a third of the way down at `width`, tapering to its end,
// with ragged sides.
QPainterPath sliver(MediaRandom& rng, QPointF top, double lean, double length, double width) {
    const QPointF end = top + QPointF(lean * length, length);
    const QPointF belly = top + QPointF(lean * length * 0.3, length * 0.3);
    const QPointF across(width / 2.0, 0.0);
    QPainterPath path;
    path.moveTo(top);
    add_polyline(path, jagged(rng, top, belly - across, 3, width * 0.25));
    add_polyline(path, jagged(rng, belly - across, end, 5, width * 0.3));
    add_polyline(path, jagged(rng, end, belly + across, 5, width * 0.3));
    add_polyline(path, jagged(rng, belly + across, top, 3, width * 0.25));
    path.closeSubpath();
    return path;
}

// Which way is downhill from ridge point i: dx per dy along the fall line.
double fall_lean(MediaRandom& rng, const std::vector<QPointF>& ridge, std::size_t i) {
    const std::size_t before = i >= 4 ? i - 4 : 0;
    const std::size_t after = std::min(ridge.size() - 1, i + 4);
    const double rise = ridge[before].y() - ridge[after].y();  // > 0 when rising to the right
    return (rise > 0.0 ? -1.0 : 1.0) * rng.range(0.15, 0.55);
}

// The ragged lower edge of the snow: a set share of the way down from the
// ridge to the foot, wandering, with tongues reaching down the gullies.
std::vector<QPointF> snow_edge(MediaRandom& rng, const MountainRange& range, const RangeLook& look,
                               double relief) {
    const std::vector<QPointF>& ridge = range.ridge;
    const double left = ridge.front().x();
    const double right = ridge.back().x();
    const std::vector<QPointF> wander = ridge_line(rng, left, right, 0.0, 0.25, 0.7, 9);
    struct Tongue {
        double x, half_width, depth;
    };
    std::vector<Tongue> tongues;
    const int count = static_cast<int>(std::lround(6.0 + 18.0 * look.detail));
    for (int i = 0; i < count; ++i) {
        tongues.push_back({rng.range(left, right), (right - left) * rng.range(0.003, 0.01),
                           relief * rng.range(0.04, 0.2)});
    }
    const double dusting = 3.0 * look.unit;
    std::vector<QPointF> edge;
    edge.reserve(ridge.size());
    for (std::size_t i = 0; i < ridge.size(); ++i) {
        const QPointF point = ridge[i];
        const double below = range.foot - point.y();
        // Full cover reaches the foot everywhere; less wanders more.
        const double wandering = std::clamp((1.0 - look.snow_cover) * 4.0, 0.0, 1.0);
        double y = point.y() + below * look.snow_cover * (1.0 + wander[i].y() * wandering);
        for (const Tongue& tongue : tongues) {
            const double t = 1.0 - std::abs(point.x() - tongue.x) / tongue.half_width;
            if (t > 0.0) {
                y += tongue.depth * t * t;
            }
        }
        edge.emplace_back(point.x(), std::max(y, point.y() + dusting + 0.05 * below));
    }
    return edge;
}

// Snow streaks down the gullies below the snow's edge.
std::vector<QPainterPath> gully_streaks(MediaRandom& rng, const std::vector<QPointF>& edge,
                                        const MountainRange& range, const RangeLook& look) {
    std::vector<QPainterPath> streaks;
    const int count = static_cast<int>(std::lround(25.0 * look.detail));
    for (int i = 0; i < count; ++i) {
        const auto at = static_cast<std::size_t>(rng.below(static_cast<int>(edge.size())));
        const QPointF top = edge[at] - QPointF(0.0, 2.0 * look.unit);
        const double room = range.foot - top.y();
        if (room < 10.0 * look.unit) {
            continue;
        }
        const double lean = fall_lean(rng, range.ridge, at);
        const double length = room * rng.range(0.1, 0.5);
        const double width = look.unit * rng.range(3.0, 9.0);
        streaks.push_back(sliver(rng, top, lean, length, width));
    }
    return streaks;
}

// Rock ribs breaking through the snow, running down from the ridge.
std::vector<QPainterPath> rock_ribs(MediaRandom& rng, const std::vector<QPointF>& edge,
                                    const MountainRange& range, const RangeLook& look) {
    std::vector<QPainterPath> ribs;
    const int count = static_cast<int>(std::lround(34.0 * look.detail));
    for (int i = 0; i < count; ++i) {
        const auto at = static_cast<std::size_t>(rng.below(static_cast<int>(edge.size())));
        const QPointF crest = range.ridge[at];
        const double snow_depth = edge[at].y() - crest.y();
        if (range.foot - crest.y() < 30.0 * look.unit || snow_depth < 12.0 * look.unit) {
            continue;
        }
        const QPointF top = crest + QPointF(0.0, rng.range(0.03, 0.3) * snow_depth);
        const double length = rng.range(0.25, 0.9) * (edge[at].y() - top.y());
        const double lean = fall_lean(rng, range.ridge, at);
        const double width = std::max(look.unit * 4.0, length * rng.range(0.06, 0.14));
        ribs.push_back(sliver(rng, top, lean, length, width));
    }
    return ribs;
}

// Glaciers filling the deep valleys below the saddles between summits: a
// soft body of blue ice with no hard edge, crossed by rows of crevasses that
// bow downhill as the ice flows.
void paint_glaciers(QPainter& painter, MediaRandom& rng, const MountainRange& range,
                    const RangeLook& look) {
    const QColor ice = mix(look.snow, QColor(60, 170, 215), 0.5);
    const QColor dark = multiply(ice, look.shade);
    for (std::size_t k = 0; k + 1 < range.summits.size(); ++k) {
        const std::size_t a = range.summits[k];
        const std::size_t b = range.summits[k + 1];
        const QPointF saddle = range.ridge[saddle_between(range.ridge, a, b)];
        const double gap = range.ridge[b].x() - range.ridge[a].x();
        const double fall = range.foot - saddle.y();
        // Only deep saddles between real peaks hold a glacier.
        const double depth = saddle.y() - std::max(range.ridge[a].y(), range.ridge[b].y());
        if (fall < 40.0 * look.unit || gap < 120.0 * look.unit || depth < 0.2 * fall ||
            !rng.chance(0.8)) {
            continue;
        }
        const QPointF heart = saddle + QPointF(rng.range(-0.05, 0.05) * gap, fall * 0.42);
        paint_stretched_glow(painter, heart, fall * 0.5, gap * 0.3 / (fall * 0.5), 1.0, ice, 0.6);

        painter.save();
        painter.setBrush(Qt::NoBrush);
        const int rows = static_cast<int>(std::lround(3.0 + 2.0 * look.detail));
        for (int r = 0; r < rows; ++r) {
            const double t = (r + 0.5) / rows;
            const double y = saddle.y() + fall * (0.15 + 0.5 * t);
            const double spread = gap * (0.06 + 0.16 * t);
            const int slits = 2 + rng.below(2);
            for (int c = 0; c < slits; ++c) {
                const double x = heart.x() + spread * ((c + 0.5) / slits * 2.0 - 1.0) +
                                 rng.range(-0.2, 0.2) * spread / slits;
                const double across = spread / slits * rng.range(0.5, 0.8);
                const QPointF mid(x, y + rng.range(-0.02, 0.02) * fall);
                QPainterPath slit;
                slit.moveTo(mid - QPointF(across, across * 0.15));
                slit.quadTo(mid + QPointF(0.0, across * 0.3),
                            mid + QPointF(across, -across * 0.15));
                const double fade = 1.0 - 0.5 * t;
                painter.setPen(QPen(with_alpha(look.snow, 0.45 * fade), look.unit * 1.6,
                                    Qt::SolidLine, Qt::RoundCap));
                painter.drawPath(slit.translated(0.0, look.unit * 1.6));
                painter.setPen(QPen(with_alpha(dark, 0.75 * fade), look.unit * 2.0, Qt::SolidLine,
                                    Qt::RoundCap));
                painter.drawPath(slit);
            }
        }
        painter.restore();
    }
}

}  // namespace

void paint_range_cover(QPainter& painter, MediaRandom& rng, const MountainRange& range,
                       const RangeLook& look, const QRectF& bounds, double relief) {
    const double top = bounds.top();
    // Rock, darkening toward the foot; snow streaks down its gullies.
    painter.fillRect(
        bounds, vertical_gradient(top, range.foot,
                                  {{0.0, look.rock},
                                   {1.0, mix(look.rock, multiply(look.rock, look.shade), 0.45)}}));
    const std::vector<QPointF> edge = snow_edge(rng, range, look, relief);
    painter.setBrush(mix(look.snow, look.rock, 0.2));
    for (const QPainterPath& streak : gully_streaks(rng, edge, range, look)) {
        painter.drawPath(streak);
    }

    // The snowfield, with rock ribs breaking through it.
    QPainterPath snow;
    snow.moveTo(edge.front().x(), top - 10.0);
    add_polyline(snow, edge);
    snow.lineTo(edge.back().x(), top - 10.0);
    snow.closeSubpath();
    painter.save();
    painter.setClipPath(snow, Qt::IntersectClip);
    painter.fillRect(
        bounds, vertical_gradient(top, range.foot,
                                  {{0.0, look.snow},
                                   {1.0, mix(look.snow, multiply(look.snow, look.shade), 0.25)}}));
    painter.setBrush(with_alpha(look.rock, 0.9));
    for (const QPainterPath& rib : rock_ribs(rng, edge, range, look)) {
        painter.drawPath(rib);
    }
    painter.restore();

    if (look.glaciers) {
        paint_glaciers(painter, rng, range, look);
    }
}

}  // namespace wm::media
