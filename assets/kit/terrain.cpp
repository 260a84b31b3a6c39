#include "assets/kit/terrain.h"

#include "assets/kit/paint_kit.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace wm::media {

namespace {

constexpr double kTau = 2.0 * std::numbers::pi;

// Channel-by-channel product: how a tinted shadow darkens a colour.
QColor multiply(const QColor& colour, const QColor& tint) {
    return QColor(colour.red() * tint.red() / 255, colour.green() * tint.green() / 255,
                  colour.blue() * tint.blue() / 255, colour.alpha());
}

// A point on the quadratic curve from a through control c to b.
QPointF on_quad(QPointF a, QPointF c, QPointF b, double t) {
    const double s = 1.0 - t;
    return a * (s * s) + c * (2.0 * s * t) + b * (t * t);
}

// A straight run from `from` to `to` broken into `segments` with sideways jitter.
std::vector<QPointF> jagged(MediaRandom& rng, QPointF from, QPointF to, int segments,
                            double jitter) {
    std::vector<QPointF> points{from};
    for (int i = 1; i < segments; ++i) {
        const double t = static_cast<double>(i) / segments;
        points.push_back(from + (to - from) * t +
                         QPointF(rng.range(-jitter, jitter), rng.range(-jitter, jitter) * 0.3));
    }
    points.push_back(to);
    return points;
}

// ---- Mountains

// A summit's flank: steepest at the top and flattening into the foot.
double peak_profile(const PeakSpec& peak, double x, double foot) {
    const double height = foot - peak.top;
    if (height <= 0.0) {
        return foot;
    }
    const double d = x - peak.x;
    const double fall = std::max(1e-3, d < 0.0 ? peak.fall_left : peak.fall_right);
    const double reach = 1.6 * height / fall;
    const double t = std::min(1.0, std::abs(d) / reach);
    return peak.top + height * (1.0 - std::pow(1.0 - t, 1.6));
}

double envelope(const std::vector<PeakSpec>& peaks, double x, double foot) {
    double y = foot;
    for (const PeakSpec& peak : peaks) {
        y = std::min(y, peak_profile(peak, x, foot));
    }
    return y;
}

// The lowest ridge point between ridge indices a and b (inclusive).
std::size_t saddle_between(const std::vector<QPointF>& ridge, std::size_t a, std::size_t b) {
    const std::size_t lo = std::min(a, b);
    const std::size_t hi = std::max(a, b);
    std::size_t saddle = lo;
    for (std::size_t i = lo; i <= hi; ++i) {
        if (ridge[i].y() > ridge[saddle].y()) {
            saddle = i;
        }
    }
    return saddle;
}

// Where the light-side flank of summit k begins: the saddle toward the light,
// or the first point off the foot at the range's end.
std::size_t lit_flank_start(const MountainRange& range, std::size_t k, bool from_left) {
    const std::vector<QPointF>& ridge = range.ridge;
    const std::size_t summit = range.summits[k];
    if (from_left) {
        if (k > 0) {
            return saddle_between(ridge, range.summits[k - 1], summit);
        }
        std::size_t i = 0;
        while (i < summit && ridge[i].y() >= range.foot - 0.5) {
            ++i;
        }
        return i;
    }
    if (k + 1 < range.summits.size()) {
        return saddle_between(ridge, summit, range.summits[k + 1]);
    }
    std::size_t i = ridge.size() - 1;
    while (i > summit && ridge[i].y() >= range.foot - 0.5) {
        --i;
    }
    return i;
}

// The saddle on the shaded side of summit k (or the far end of the ridge).
std::size_t shade_flank_end(const MountainRange& range, std::size_t k, bool from_left) {
    const std::size_t summit = range.summits[k];
    if (from_left) {
        const std::size_t end =
            k + 1 < range.summits.size() ? range.summits[k + 1] : range.ridge.size() - 1;
        return saddle_between(range.ridge, summit, end);
    }
    const std::size_t end = k > 0 ? range.summits[k - 1] : 0;
    return saddle_between(range.ridge, end, summit);
}

void add_polyline(QPainterPath& path, const std::vector<QPointF>& points) {
    for (const QPointF& point : points) {
        path.lineTo(point);
    }
}

// The faces of every summit turned away from the light: from the summit along
// the ridge to the next saddle, down under the neighbour's flank, and back up
// an arête that wanders down from the summit.
std::vector<QPainterPath> shaded_faces(MediaRandom& rng, const MountainRange& range,
                                       bool from_left) {
    const double away = from_left ? 1.0 : -1.0;
    std::vector<QPainterPath> faces;
    for (std::size_t k = 0; k < range.summits.size(); ++k) {
        const std::size_t s = range.summits[k];
        const std::size_t saddle = shade_flank_end(range, k, from_left);
        const QPointF summit = range.ridge[s];
        const QPointF low = range.ridge[saddle];
        const double drop = range.bottom - summit.y();
        const double lean = rng.range(-0.1, 0.38);
        std::vector<QPointF> spine{summit};
        constexpr int kSteps = 10;
        for (int j = 1; j <= kSteps; ++j) {
            const double t = static_cast<double>(j) / kSteps;
            double x = summit.x() + away * lean * drop * t + rng.range(-1.0, 1.0) * drop * 0.025;
            // Never past the saddle, and only a little into the lit side.
            if (away * (x - low.x()) > 0.0) {
                x = low.x();
            }
            if (away * (x - summit.x()) < -0.12 * drop * t) {
                x = summit.x() - away * 0.12 * drop * t;
            }
            spine.emplace_back(x, summit.y() + drop * t);
        }
        QPainterPath face;
        face.setFillRule(Qt::WindingFill);
        face.moveTo(summit);
        if (saddle >= s) {
            for (std::size_t i = s; i <= saddle; ++i) {
                face.lineTo(range.ridge[i]);
            }
        } else {
            for (std::size_t i = s + 1; i-- > saddle;) {
                face.lineTo(range.ridge[i]);
            }
        }
        // Below the saddle the neighbour's flank runs on down, toward us.
        double under = low.x() - away * 0.3 * (range.bottom - low.y());
        if (away * (under - spine.back().x()) < 0.0) {
            under = spine.back().x();
        }
        face.lineTo(under, range.bottom + 1.0);
        for (auto it = spine.rbegin(); it != spine.rend(); ++it) {
            face.lineTo(*it);
        }
        face.closeSubpath();
        faces.push_back(face);
    }
    return faces;
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
        streaks.push_back(sliver(rng, top, fall_lean(rng, range.ridge, at),
                                 room * rng.range(0.1, 0.5), look.unit * rng.range(3.0, 9.0)));
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
        ribs.push_back(sliver(rng, top, fall_lean(rng, range.ridge, at), length,
                              std::max(look.unit * 4.0, length * rng.range(0.06, 0.14))));
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
        painter.save();
        painter.translate(heart);
        painter.scale(gap * 0.3 / (fall * 0.5), 1.0);
        paint_glow(painter, QPointF(0.0, 0.0), fall * 0.5, ice, 0.6);
        painter.restore();

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

double line_height(const std::vector<QPointF>& line, double x) {
    if (line.empty()) {
        return 0.0;
    }
    if (x <= line.front().x()) {
        return line.front().y();
    }
    if (x >= line.back().x()) {
        return line.back().y();
    }
    const auto after = std::lower_bound(line.begin(), line.end(), x,
                                        [](const QPointF& p, double v) { return p.x() < v; });
    const QPointF b = *after;
    const QPointF a = *(after - 1);
    const double span = b.x() - a.x();
    return span <= 0.0 ? b.y() : a.y() + (b.y() - a.y()) * (x - a.x()) / span;
}

void open_valley(std::vector<QPointF>& line, double middle, double half_width, double lift) {
    if (!(half_width > 0.0)) {
        return;
    }
    for (QPointF& p : line) {
        const double off_centre = (p.x() - middle) / half_width;
        p.ry() -= lift * off_centre * off_centre;
    }
}

MountainRange make_range(MediaRandom& rng, const RangeShape& shape) {
    MountainRange range;
    range.foot = shape.foot;
    range.bottom = std::max(shape.bottom, shape.foot);
    range.seed = rng.next();
    if (!(shape.right > shape.left)) {
        return range;
    }
    // Each peak gets lower shoulders on its flanks now and then.
    std::vector<PeakSpec> peaks = shape.peaks;
    for (const PeakSpec& peak : shape.peaks) {
        const double height = shape.foot - peak.top;
        for (const double side : {-1.0, 1.0}) {
            if (height <= 0.0 || !rng.chance(0.65)) {
                continue;
            }
            const double fall = std::max(1e-3, side < 0.0 ? peak.fall_left : peak.fall_right);
            const double reach = 1.6 * height / fall;
            const double scale = rng.range(0.9, 1.3);
            peaks.push_back({peak.x + side * reach * rng.range(0.3, 0.5),
                             peak.top + height * rng.range(0.3, 0.55), peak.fall_left * scale,
                             peak.fall_right * scale});
        }
    }
    double highest = shape.foot;
    for (const PeakSpec& peak : peaks) {
        highest = std::min(highest, peak.top);
    }
    const double relief = std::max(1.0, shape.foot - highest);
    const std::vector<QPointF> noise =
        ridge_line(rng, shape.left, shape.right, 0.0, shape.crag, 0.72, 9);
    range.ridge.reserve(noise.size());
    for (const QPointF& n : noise) {
        const double y = envelope(peaks, n.x(), shape.foot);
        const double lift = (shape.foot - y) / relief;
        range.ridge.emplace_back(n.x(), std::min(shape.foot, y + n.y() * (0.2 + 0.8 * lift)));
    }
    // A summit counts when no neighbour hides it; it sits at the highest ridge
    // point near its peak.
    const double step = (shape.right - shape.left) / static_cast<double>(noise.size() - 1);
    const auto window = static_cast<long>(std::ceil((shape.right - shape.left) / 90.0 / step));
    const auto last = static_cast<long>(range.ridge.size()) - 1;
    for (const PeakSpec& peak : peaks) {
        if (peak.top >= shape.foot || peak.x < shape.left || peak.x > shape.right ||
            envelope(peaks, peak.x, shape.foot) < peak.top - 0.5) {
            continue;
        }
        const long near = std::lround((peak.x - shape.left) / step);
        auto best = static_cast<std::size_t>(near);
        for (long i = std::max(0L, near - window); i <= std::min(last, near + window); ++i) {
            if (range.ridge[static_cast<std::size_t>(i)].y() < range.ridge[best].y()) {
                best = static_cast<std::size_t>(i);
            }
        }
        if (std::find(range.summits.begin(), range.summits.end(), best) == range.summits.end()) {
            range.summits.push_back(best);
        }
    }
    std::sort(range.summits.begin(), range.summits.end());
    return range;
}

void paint_range(QPainter& painter, const MountainRange& range, const RangeLook& look) {
    if (range.ridge.size() < 2) {
        return;
    }
    MediaRandom rng(range.seed);
    const QPainterPath body = area_below(range.ridge, range.bottom + 1.0);
    const QRectF bounds = body.boundingRect();
    const double top = bounds.top();
    const double relief = std::max(1.0, range.foot - top);

    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setClipPath(body, Qt::IntersectClip);

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

    // Faces turned from the light.
    painter.setCompositionMode(QPainter::CompositionMode_Multiply);
    painter.setBrush(look.shade);
    for (const QPainterPath& face : shaded_faces(rng, range, look.light_from_left)) {
        painter.drawPath(face);
    }
    // Valleys between summits lie deeper in shade.
    for (std::size_t k = 0; k + 1 < range.summits.size(); ++k) {
        const QPointF saddle =
            range.ridge[saddle_between(range.ridge, range.summits[k], range.summits[k + 1])];
        const double fall = range.foot - saddle.y();
        if (fall <= 0.0) {
            continue;
        }
        painter.save();
        painter.translate(saddle + QPointF(0.0, fall * 0.6));
        painter.scale(0.35, 1.0);
        paint_glow(painter, QPointF(0.0, 0.0), fall * 0.7, look.shade, 0.5);
        painter.restore();
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);

    // Light caught along the lit flanks, strongest at the summits.
    painter.setBrush(Qt::NoBrush);
    for (std::size_t k = 0; k < range.summits.size(); ++k) {
        const std::size_t s = range.summits[k];
        const std::size_t start = lit_flank_start(range, k, look.light_from_left);
        if (start == s) {
            continue;
        }
        QPainterPath flank;
        flank.moveTo(range.ridge[start]);
        const std::size_t lo = std::min(s, start);
        const std::size_t hi = std::max(s, start);
        for (std::size_t i = lo; i <= hi; ++i) {
            flank.lineTo(range.ridge[start < s ? i : hi - (i - lo)]);
        }
        QLinearGradient fade(range.ridge[s], range.ridge[start]);
        fade.setColorAt(1.0, with_alpha(look.rim, 0.0));
        for (const auto& [width, alpha] : {std::pair{9.0, 0.25}, std::pair{2.6, 1.0}}) {
            fade.setColorAt(0.0, with_alpha(look.rim, alpha));
            painter.setPen(
                QPen(QBrush(fade), width * look.unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.drawPath(flank);
        }
    }

    // The air in front of it.
    painter.setPen(Qt::NoPen);
    painter.fillRect(bounds, vertical_gradient(top, range.foot,
                                               {{0.0, with_alpha(look.haze, look.haze_top)},
                                                {1.0, with_alpha(look.haze, look.haze_foot)}}));
    painter.restore();
}

// ---- Sky

void paint_moon(QPainter& painter, MediaRandom& rng, QPointF centre, double radius,
                const QColor& face, const QColor& halo) {
    paint_glow(painter, centre, radius * 12.0, halo, 0.2);
    paint_glow(painter, centre, radius * 4.5, halo, 0.3);
    paint_glow(painter, centre, radius * 1.9, mix(halo, face, 0.5), 0.5);
    painter.save();
    painter.setPen(Qt::NoPen);
    QRadialGradient disc(centre - QPointF(radius * 0.3, radius * 0.35), radius * 1.6);
    disc.setColorAt(0.0, mix(face, Qt::white, 0.4));
    disc.setColorAt(0.55, face);
    disc.setColorAt(1.0, mix(face, halo, 0.3));
    painter.setBrush(disc);
    painter.drawEllipse(centre, radius, radius);

    QPainterPath rim;
    rim.addEllipse(centre, radius, radius);
    painter.setClipPath(rim, Qt::IntersectClip);
    // Seas: soft grey-blue patches, mostly in the upper half.
    const QColor sea = mix(face, mix(halo, QColor(70, 80, 110), 0.6), 0.45);
    for (int i = 0; i < 9; ++i) {
        const QPointF at = centre + QPointF(rng.range(-0.6, 0.55), rng.range(-0.6, 0.35)) * radius;
        paint_glow(painter, at, radius * rng.range(0.22, 0.45), sea, rng.range(0.35, 0.6));
    }
    // A few small craters: a dark bowl with a bright far rim.
    for (int i = 0; i < 6; ++i) {
        const QPointF at = centre + QPointF(rng.range(-0.7, 0.7), rng.range(-0.7, 0.7)) * radius;
        const double r = radius * rng.range(0.04, 0.09);
        paint_glow(painter, at, r * 1.6, sea, 0.35);
        paint_glow(painter, at + QPointF(r * 0.3, r * 0.3), r, mix(face, Qt::white, 0.5), 0.3);
    }
    // The limb darkens a little.
    QRadialGradient limb(centre, radius);
    limb.setColorAt(0.7, with_alpha(halo, 0.0));
    limb.setColorAt(1.0, with_alpha(mix(halo, QColor(40, 50, 80), 0.4), 0.35));
    painter.setBrush(limb);
    painter.drawEllipse(centre, radius, radius);
    painter.restore();
}

void paint_sun(QPainter& painter, QPointF centre, double radius, const QColor& core,
               const QColor& glow) {
    painter.save();
    // The glow brightens what lies behind it rather than covering it.
    painter.setCompositionMode(QPainter::CompositionMode_Screen);
    paint_glow(painter, centre, radius * 18.0, glow, 0.45);
    paint_glow(painter, centre, radius * 6.0, glow, 0.6);
    paint_glow(painter, centre, radius * 2.2, mix(glow, core, 0.5), 0.85);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setPen(Qt::NoPen);
    QRadialGradient disc(centre, radius);
    disc.setColorAt(0.0, mix(core, Qt::white, 0.8));
    disc.setColorAt(0.75, mix(core, Qt::white, 0.5));
    disc.setColorAt(0.95, core);
    disc.setColorAt(1.0, with_alpha(core, 0.6));
    painter.setBrush(disc);
    painter.drawEllipse(centre, radius, radius);
    painter.restore();
}

void paint_aurora(QPainter& painter, MediaRandom& rng, const AuroraLook& look) {
    const double width = look.right - look.left;
    if (!(width > 0.0) || !(look.height > 0.0)) {
        return;
    }
    const int strips = std::clamp(static_cast<int>(width / 2.0), 16, 4000);
    const double nominal = width / strips;
    double phase[9];
    for (double& p : phase) {
        p = rng.range(0.0, kTau);
    }
    const double folding = rng.range(0.75, 1.05);
    const double folds = std::max(1, look.folds);
    const double ray_a = rng.range(25.0, 40.0);
    const double ray_b = rng.range(60.0, 90.0);

    struct Sample {
        QPointF base;
        double height;
        double glow;
    };
    std::vector<Sample> curtain;
    curtain.reserve(static_cast<std::size_t>(strips) + 1);
    double flicker = 0.5;
    double reach = 0.5;
    for (int i = 0; i <= strips; ++i) {
        const double t = static_cast<double>(i) / strips;
        const double x = look.left + width * t +
                         width / (folds * kTau) * folding * std::sin(kTau * folds * t + phase[0]);
        const double y = look.base + look.rise * (t - 0.5) +
                         look.sway * (0.5 * std::sin(kTau * 0.8 * t + phase[1]) +
                                      0.3 * std::sin(kTau * 2.3 * t + phase[2]) +
                                      0.2 * std::sin(kTau * 5.3 * t + phase[6]));
        // Ragged tops: some rays reach far higher than their neighbours.
        reach = 0.8 * reach + 0.2 * rng.uniform();
        const double h = look.height *
                         (0.45 + 0.35 * (0.5 + 0.5 * std::sin(kTau * 1.7 * t + phase[3]))) *
                         (0.7 + 0.8 * reach + 0.15 * std::sin(kTau * ray_b * 0.7 * t + phase[7]));
        flicker = 0.75 * flicker + 0.25 * rng.uniform();
        const double rays = 0.45 + 0.25 * std::sin(kTau * ray_a * t + phase[4]) +
                            0.15 * std::sin(kTau * ray_b * t + phase[5]) + 0.3 * flicker;
        const double ends = std::pow(std::sin(std::numbers::pi * t), 0.7);
        curtain.push_back({QPointF(x, y), h, std::clamp(look.strength * ends * rays, 0.0, 1.0)});
    }

    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setCompositionMode(QPainter::CompositionMode_Plus);
    // A wide faint light around the curtain.
    for (int i = 0; i < 14; ++i) {
        const Sample& s = curtain[static_cast<std::size_t>((i * 2 + 1) * strips / 28)];
        paint_glow(painter, s.base - QPointF(0.0, s.height * 0.3), s.height * 0.9, look.low,
                   0.06 * s.glow);
    }
    // The rays: bright at the lower edge, fading upward into the high colour.
    QLinearGradient ray(0.0, 1.0, 0.0, 0.0);
    ray.setCoordinateMode(QGradient::ObjectMode);
    ray.setColorAt(0.0, with_alpha(look.low, 0.0));
    ray.setColorAt(0.08, with_alpha(look.low, 0.9));
    ray.setColorAt(0.2, with_alpha(look.low, 0.55));
    ray.setColorAt(0.5, with_alpha(mix(look.low, look.high, 0.6), 0.28));
    ray.setColorAt(0.8, with_alpha(look.high, 0.12));
    ray.setColorAt(1.0, with_alpha(look.high, 0.0));
    painter.setBrush(ray);
    const double middle = (look.left + look.right) / 2.0;
    const double under = look.height * 0.06;
    // The rays lean a little outward, as they rise toward us.
    const auto top = [&](const Sample& s) {
        return s.base + QPointF((s.base.x() - middle) * 0.08, -s.height);
    };
    for (int i = 0; i < strips; ++i) {
        const Sample& a = curtain[static_cast<std::size_t>(i)];
        const Sample& b = curtain[static_cast<std::size_t>(i) + 1];
        const QPolygonF strip(
            {a.base + QPointF(0.0, under), b.base + QPointF(0.0, under), top(b), top(a)});
        // Where the curtain folds, strips bunch up: each gives less light.
        const double spread = std::clamp(std::abs(b.base.x() - a.base.x()) / nominal, 0.5, 1.0);
        painter.setOpacity((a.glow + b.glow) / 2.0 * spread);
        painter.drawPolygon(strip);
    }
    painter.restore();
}

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
    painter.save();
    painter.translate(centre.x(), base - thickness * 0.4);
    painter.scale(length / (thickness * 2.4), 1.0);
    paint_glow(painter, QPointF(0.0, 0.0), thickness * 1.2, underside, 0.3);
    painter.restore();
    painter.setBrush(
        vertical_gradient(base - thickness * 1.4, base,
                          {{0.0, body}, {0.6, mix(body, underside, 0.4)}, {1.0, underside}}));
    painter.drawPath(puffs.intersected(cut));
    painter.restore();
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
        const QPointF centre(
            rng.range(band.left(), band.right()),
            rng.range(band.top() + band.height() * 0.25, band.bottom() - band.height() * 0.25));
        const double tall = band.height() * rng.range(0.25, 0.45);
        const double stretch = band.width() * rng.range(0.12, 0.3) / tall;
        painter.save();
        painter.translate(centre);
        painter.scale(stretch, 1.0);
        paint_glow(painter, QPointF(0.0, 0.0), tall, colour, strength * rng.range(0.3, 0.6));
        painter.restore();
    }
    painter.restore();
}

// ---- Ice and snow

namespace {

struct Crack {
    QPainterPath path;
    double nearness;
};

// A wandering crack and, now and then, its branches.
void grow_crack(MediaRandom& rng, const QRectF& ice, QPointF at, double heading, int segments,
                double unit, std::vector<Crack>& cracks) {
    QPainterPath path;
    path.moveTo(at);
    const double start_near = std::clamp((at.y() - ice.top()) / ice.height(), 0.0, 1.0);
    for (int i = 0; i < segments; ++i) {
        const double near = std::clamp((at.y() - ice.top()) / ice.height(), 0.0, 1.0);
        const double step = unit * rng.range(14.0, 34.0) * (0.2 + 0.8 * near);
        heading += rng.range(-0.35, 0.35);
        at += QPointF(std::cos(heading) * step, std::sin(heading) * step * (0.12 + 0.45 * near));
        if (!ice.contains(at)) {
            break;
        }
        path.lineTo(at);
        if (segments > 3 && rng.chance(0.18)) {
            grow_crack(rng, ice, at, heading + rng.range(0.6, 1.4) * (rng.chance(0.5) ? 1 : -1),
                       segments / 2, unit, cracks);
        }
    }
    cracks.push_back({path, start_near});
}

}  // namespace

void paint_ice_cracks(QPainter& painter, MediaRandom& rng, const QRectF& ice, int count,
                      double unit, const QColor& dark, const QColor& light) {
    if (ice.height() <= 0.0 || ice.width() <= 0.0) {
        return;
    }
    std::vector<Crack> cracks;
    for (int i = 0; i < count; ++i) {
        // More of them near us, where they are easier to see.
        const double depth = std::sqrt(rng.uniform());
        const QPointF start(rng.range(ice.left(), ice.right()), ice.top() + depth * ice.height());
        grow_crack(rng, ice, start, rng.range(0.0, kTau), 6 + rng.below(8), unit, cracks);
    }
    painter.save();
    painter.setBrush(Qt::NoBrush);
    for (const Crack& crack : cracks) {
        const double scale = 0.35 + 0.65 * crack.nearness;
        painter.setPen(QPen(with_alpha(light, 0.55 * scale + 0.15), unit * 2.0 * scale,
                            Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(crack.path.translated(0.0, unit * 1.3 * scale));
    }
    for (const Crack& crack : cracks) {
        const double scale = 0.35 + 0.65 * crack.nearness;
        painter.setPen(QPen(with_alpha(dark, 0.5 * scale + 0.2), unit * 1.2 * scale, Qt::SolidLine,
                            Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(crack.path);
    }
    painter.restore();
}

void paint_ice_snow(QPainter& painter, MediaRandom& rng, const QRectF& ice, int count, double unit,
                    const QColor& snow, const QColor& shade) {
    if (ice.height() <= 0.0 || ice.width() <= 0.0) {
        return;
    }
    painter.save();
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < count; ++i) {
        const double near = std::sqrt(rng.uniform());
        const QPointF centre(rng.range(ice.left(), ice.right()), ice.top() + near * ice.height());
        const double across = unit * rng.range(40.0, 160.0) * (0.25 + 0.75 * near);
        const double deep = across * rng.range(0.08, 0.16) * (0.3 + 0.7 * near);
        // A closed curve through points scattered around a flat ellipse.
        constexpr int kPoints = 9;
        std::vector<QPointF> ring;
        for (int j = 0; j < kPoints; ++j) {
            const double a = kTau * j / kPoints;
            const double r = rng.range(0.55, 1.0);
            ring.push_back(centre + QPointF(std::cos(a) * across * r, std::sin(a) * deep * r));
        }
        QPainterPath patch;
        patch.moveTo((ring[kPoints - 1] + ring[0]) / 2.0);
        for (int j = 0; j < kPoints; ++j) {
            patch.quadTo(ring[static_cast<std::size_t>(j)],
                         (ring[static_cast<std::size_t>(j)] +
                          ring[static_cast<std::size_t>((j + 1) % kPoints)]) /
                             2.0);
        }
        painter.setBrush(with_alpha(shade, 0.35));
        painter.drawPath(patch.translated(0.0, deep * 0.25));
        painter.setBrush(vertical_gradient(
            centre.y() - deep, centre.y() + deep,
            {{0.0, with_alpha(snow, 0.95)}, {1.0, with_alpha(mix(snow, shade, 0.3), 0.85)}}));
        painter.drawPath(patch);
    }
    painter.restore();
}

std::vector<QPointF> drift_crest(MediaRandom& rng, const DriftShape& shape) {
    std::vector<QPointF> crest;
    const int step = std::max(1, shape.step);
    const auto first = static_cast<int>(std::floor(shape.left));
    const auto last = static_cast<int>(std::ceil(shape.right));
    if (last <= first) {
        return crest;
    }
    double phase[4];
    for (double& p : phase) {
        p = rng.range(0.0, kTau);
    }
    const double width = last - first;
    for (int x = first;; x += step) {
        const int at = std::min(x, last);
        const double theta = kTau * shape.waves * (at - first) / width + phase[0];
        // Swells with a steeper lee side, and a slower roll under them.
        const double swell =
            0.7 * (std::sin(theta) + 0.3 * std::sin(2.0 * theta + phase[1])) +
            0.3 * std::sin(kTau * 0.37 * shape.waves * (at - first) / width + phase[2]) +
            0.08 * std::sin(theta * 3.7 + phase[3]);
        crest.emplace_back(at, shape.crest + shape.swell * swell);
        if (at == last) {
            break;
        }
    }
    return crest;
}

void paint_drift(QPainter& painter, const std::vector<QPointF>& crest, double bottom,
                 const DriftLook& look) {
    if (crest.size() < 2) {
        return;
    }
    const double toward = look.light_from_left ? -1.0 : 1.0;
    painter.save();
    painter.setPen(Qt::NoPen);
    // How squarely each piece of crest faces the light, -1..1.
    std::vector<double> facing(crest.size() - 1);
    for (std::size_t i = 0; i + 1 < crest.size(); ++i) {
        const QPointF d = crest[i + 1] - crest[i];
        const double slope = d.y() / std::max(1e-6, d.x());
        facing[i] = std::tanh(toward * slope * 4.0);
    }
    // Upright strips on whole pixels, each shaded from its own crest down.
    for (std::size_t i = 0; i + 1 < crest.size(); ++i) {
        const QPointF a = crest[i];
        const QPointF b = crest[i + 1];
        const double top = std::min(a.y(), b.y());
        const double lit = 0.55 + 0.45 * facing[i];
        const QColor head = mix(mix(look.body, look.shadow, 0.35), look.lit, lit);
        painter.setBrush(vertical_gradient(top, top + look.depth,
                                           {{0.0, head},
                                            {0.12, mix(head, look.body, 0.6)},
                                            {0.45, look.body},
                                            {1.0, look.shadow}}));
        painter.drawPolygon(QPolygonF({a, b, QPointF(b.x(), bottom), QPointF(a.x(), bottom)}));
    }
    // The rim of light along the crests that face it.
    QPainterPath line;
    line.moveTo(crest.front());
    for (std::size_t i = 1; i < crest.size(); ++i) {
        line.lineTo(crest[i]);
    }
    QLinearGradient rim(crest.front().x(), 0.0, crest.back().x(), 0.0);
    const std::size_t stops = std::min<std::size_t>(facing.size(), 120);
    for (std::size_t s = 0; s < stops; ++s) {
        const std::size_t i = s * (facing.size() - 1) / std::max<std::size_t>(1, stops - 1);
        const double at = (crest[i].x() - crest.front().x()) /
                          std::max(1e-6, crest.back().x() - crest.front().x());
        rim.setColorAt(std::clamp(at, 0.0, 1.0),
                       with_alpha(look.rim, std::clamp(0.15 + 0.85 * facing[i], 0.0, 1.0)));
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(
        QPen(QBrush(rim), look.rim_width * look.unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(line.translated(0.0, look.unit * 0.8));
    painter.restore();
}

void paint_snow_mound(QPainter& painter, MediaRandom& rng, QPointF base, double width,
                      double height, const DriftLook& look) {
    if (!(width > 0.0) || !(height > 0.0)) {
        return;
    }
    const double away = look.light_from_left ? 1.0 : -1.0;
    painter.save();
    painter.setPen(Qt::NoPen);
    // Its shadow on the snow around it.
    painter.save();
    painter.translate(base + QPointF(away * width * 0.25, 0.0));
    painter.scale(1.0, 0.25);
    paint_glow(painter, QPointF(0.0, 0.0), width * 0.75, look.shadow, 0.5);
    painter.restore();
    // A lopsided dome: the peak off centre, the flanks bulging.
    const double peak = rng.range(-0.2, 0.2) * width;
    QPainterPath dome;
    dome.moveTo(base + QPointF(-width / 2.0, 0.0));
    dome.cubicTo(base + QPointF(-width * 0.45, -height * 0.7),
                 base + QPointF(peak - width * 0.2, -height), base + QPointF(peak, -height));
    dome.cubicTo(base + QPointF(peak + width * 0.2, -height),
                 base + QPointF(width * 0.45, -height * 0.75), base + QPointF(width / 2.0, 0.0));
    dome.quadTo(base + QPointF(0.0, height * 0.12), base + QPointF(-width / 2.0, 0.0));
    QLinearGradient light(base + QPointF(-away * width * 0.4, -height),
                          base + QPointF(away * width * 0.45, 0.0));
    light.setColorAt(0.0, look.lit);
    light.setColorAt(0.45, look.body);
    light.setColorAt(1.0, mix(look.body, look.shadow, 0.6));
    painter.setBrush(light);
    painter.drawPath(dome);
    painter.restore();
}

void paint_glints(QPainter& painter, MediaRandom& rng, const QRectF& region, int count, double unit,
                  const QColor& colour) {
    painter.save();
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < count; ++i) {
        // Nearer (lower) glints are larger.
        const double near = rng.uniform();
        const QPointF at(rng.range(region.left(), region.right()),
                         region.top() + near * region.height());
        const double size = unit * rng.range(2.0, 5.0) * (0.4 + 0.8 * near);
        const double alpha = rng.range(0.5, 1.0);
        paint_glow(painter, at, size * 3.0, colour, 0.35 * alpha);
        QPainterPath star;
        star.moveTo(at + QPointF(0.0, -size * 1.6));
        star.lineTo(at + QPointF(size * 0.22, 0.0));
        star.lineTo(at + QPointF(0.0, size * 1.6));
        star.lineTo(at + QPointF(-size * 0.22, 0.0));
        star.closeSubpath();
        star.moveTo(at + QPointF(-size * 1.6, 0.0));
        star.lineTo(at + QPointF(0.0, size * 0.22));
        star.lineTo(at + QPointF(size * 1.6, 0.0));
        star.lineTo(at + QPointF(0.0, -size * 0.22));
        star.closeSubpath();
        painter.setBrush(with_alpha(colour, alpha));
        painter.drawPath(star);
    }
    painter.restore();
}

void paint_grass_tuft(QPainter& painter, MediaRandom& rng, QPointF foot, double height,
                      const QColor& stalk, QPointF shadow_reach, const QColor& shade) {
    if (!(height > 0.0)) {
        return;
    }
    const int blades = 5 + rng.below(5);
    const MediaRandom start = rng.fork(17);
    painter.save();
    painter.setBrush(Qt::NoBrush);
    // The shadows first, lying flat along the snow; then the blades.
    for (int pass = 0; pass < 2; ++pass) {
        MediaRandom same = start;
        for (int i = 0; i < blades; ++i) {
            const double lean = same.range(-0.45, 0.45);
            const double tall = height * same.range(0.55, 1.0);
            const bool seed = same.chance(0.4);
            QPainterPath blade;
            blade.moveTo(foot);
            if (pass == 0) {
                const QPointF end =
                    foot + shadow_reach * (tall / height) + QPointF(lean * tall * 0.5, 0.0);
                blade.quadTo((foot + end) / 2.0 + QPointF(0.0, lean * tall * 0.1), end);
                painter.setPen(
                    QPen(shade, std::max(1.0, height * 0.025), Qt::SolidLine, Qt::RoundCap));
                painter.drawPath(blade);
                continue;
            }
            const QPointF tip = foot + QPointF(lean * tall, -tall);
            blade.quadTo(foot + QPointF(lean * tall * 0.2, -tall * 0.6), tip);
            painter.setPen(QPen(stalk, std::max(1.0, height * 0.022), Qt::SolidLine, Qt::RoundCap));
            painter.drawPath(blade);
            if (seed) {
                painter.setPen(Qt::NoPen);
                painter.setBrush(stalk);
                painter.drawEllipse(tip, height * 0.03, height * 0.07);
                painter.setBrush(Qt::NoBrush);
            }
        }
    }
    painter.restore();
}

void paint_cast_shadow(QPainter& painter, QPointF foot, QPointF reach, double width,
                       double tip_width, const QColor& shade) {
    const double length = std::hypot(reach.x(), reach.y());
    if (length <= 0.0) {
        return;
    }
    const QPointF across(-reach.y() / length, reach.x() / length);
    const QPolygonF shadow(
        {foot + across * (width / 2.0), foot + reach + across * (tip_width / 2.0),
         foot + reach - across * (tip_width / 2.0), foot - across * (width / 2.0)});
    QLinearGradient fade(foot, foot + reach);
    fade.setColorAt(0.0, shade);
    fade.setColorAt(0.6, with_alpha(shade, static_cast<double>(shade.alphaF()) * 0.6));
    fade.setColorAt(1.0, with_alpha(shade, 0.0));
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(fade);
    painter.drawPolygon(shadow);
    painter.restore();
}

// ---- Trees

namespace {

// One arm of a spruce tier, growing from `root` to side `side` (-1 or 1).
// A lump of snow lying along the arm's top from u = a to u = b (0..1 from
// root to tip): rounded at both ends, bulging above and sagging a little
// over the needles below.
QPainterPath snow_clump(MediaRandom& rng, QPointF root, QPointF bend, QPointF tip, double a,
                        double b, double thick) {
    const double lumps = rng.range(1.0, 2.5);
    const double phase = rng.range(0.0, kTau);
    constexpr int kPoints = 24;
    QPainterPath clump;
    std::vector<QPointF> lower;
    for (int j = 0; j <= kPoints; ++j) {
        const double v = static_cast<double>(j) / kPoints;
        const QPointF on = on_quad(root, bend, tip, a + (b - a) * v);
        const double body = std::pow(std::sin(std::numbers::pi * v), 0.6);
        const double lump = 1.0 + 0.15 * std::sin(kTau * lumps * v + phase);
        const QPointF upper = on - QPointF(0.0, thick * body * lump);
        if (j == 0) {
            clump.moveTo(upper);
        } else {
            clump.lineTo(upper);
        }
        lower.push_back(
            on +
            QPointF(0.0, thick * body * (0.3 + 0.2 * std::sin(kTau * lumps * 1.7 * v + phase))));
    }
    for (auto it = lower.rbegin(); it != lower.rend(); ++it) {
        clump.lineTo(*it);
    }
    clump.closeSubpath();
    return clump;
}

// One arm of a spruce tier, growing from `root` to side `side` (-1 or 1).
void paint_arm(QPainter& painter, MediaRandom& rng, QPointF root, double side, double length,
               double drop, const SpruceLook& look, bool lit) {
    // Start a little across the trunk, so the two sides overlap without a seam.
    root -= QPointF(side * length * 0.05, 0.0);
    const QPointF tip = root + QPointF(side * length, drop * rng.range(0.75, 1.0));
    const QPointF bend = root + QPointF(side * length * 0.55, drop * rng.range(0.0, 0.15));
    const QPointF under = root + QPointF(0.0, drop * 0.5);

    // Needles: the arched top, then soft tufts hanging along the underside.
    QPainterPath arm;
    arm.moveTo(root);
    arm.quadTo(bend, tip);
    const int tufts = 4;
    QPointF last = tip;
    for (int j = 1; j <= tufts; ++j) {
        const double t = static_cast<double>(j) / (tufts + 1);
        const QPointF along = tip + (under - tip) * t;
        const double hang = drop * rng.range(0.15, 0.3) * (1.0 - t * 0.5);
        arm.quadTo((last + along) / 2.0 + QPointF(side * length * 0.03, hang), along);
        last = along;
    }
    arm.quadTo((last + under) / 2.0 + QPointF(0.0, drop * 0.1), under);
    arm.closeSubpath();
    QLinearGradient shade(root, tip);
    const QColor outer = lit ? look.needles_lit : look.needles;
    shade.setColorAt(0.0, mix(look.needles, Qt::black, 0.35));
    shade.setColorAt(1.0, outer);
    painter.setBrush(shade);
    painter.drawPath(arm);

    if (look.snow_load <= 0.0) {
        return;
    }
    // One or two lumps of snow along the top; the tip often shows through.
    const double thick = drop * 0.4 * look.snow_load * rng.range(0.75, 1.15);
    const double split = rng.range(0.45, 0.8);
    std::vector<QPainterPath> clumps{
        snow_clump(rng, root, bend, tip, rng.range(0.03, 0.12), split, thick)};
    if (rng.chance(0.7)) {
        clumps.push_back(snow_clump(rng, root, bend, tip, split - rng.range(0.0, 0.08),
                                    rng.range(0.88, 1.02), thick * rng.range(0.6, 0.95)));
    }
    const double crown = on_quad(root, bend, tip, 0.4).y() - thick;
    const QColor top = lit ? look.snow : mix(look.snow, look.snow_shade, 0.45);
    painter.setBrush(vertical_gradient(
        crown, tip.y() + thick * 0.4,
        {{0.0, top}, {0.45, mix(top, look.snow_shade, 0.3)}, {1.0, look.snow_shade}}));
    for (const QPainterPath& clump : clumps) {
        painter.drawPath(clump);
    }
}

}  // namespace

void paint_spruce(QPainter& painter, MediaRandom& rng, QPointF base, double height,
                  const SpruceLook& look) {
    if (!(height > 0.0)) {
        return;
    }
    painter.save();
    painter.setPen(Qt::NoPen);
    const double toward = look.light_from_left ? -1.0 : 1.0;
    const double half_width = height * rng.range(0.24, 0.3);
    const int tiers = 8 + rng.below(4);
    const double top = base.y() - height;
    const double crown_bottom = base.y() - height * 0.06;
    // The stem, tapering to the top: it shows between the tiers.
    const double trunk = std::max(1.0, height * 0.035);
    painter.setBrush(mix(mix(look.needles, Qt::black, 0.3), QColor(50, 30, 20), 0.3));
    painter.drawPolygon(QPolygonF({QPointF(base.x() - trunk / 2.0, base.y()),
                                   QPointF(base.x() - trunk * 0.2, top + height * 0.05),
                                   QPointF(base.x() + trunk * 0.2, top + height * 0.05),
                                   QPointF(base.x() + trunk / 2.0, base.y())}));
    const double spacing = (crown_bottom - top) / (tiers + 0.3);
    // From the bottom up, so each tier's drooping arms cover the roots below
    // and leave the snow on the tier beneath in sight.
    for (int i = tiers - 1; i >= 0; --i) {
        const double t = static_cast<double>(i + 1) / tiers;
        const double attach = top + spacing * (i + 0.3);
        const double reach = half_width * (0.14 + 0.86 * std::pow(t, 0.9));
        const double drop = spacing * 1.3;
        for (const double side : {-toward, toward}) {
            paint_arm(painter, rng, QPointF(base.x(), attach + rng.range(-0.1, 0.1) * spacing),
                      side, reach * rng.range(0.82, 1.08), drop * rng.range(0.85, 1.1), look,
                      side == toward);
        }
    }
    // The leader, its tip capped with a pointed hood of snow.
    const double spire = height * 0.07;
    QPainterPath leader;
    leader.moveTo(base.x(), top - spire * 0.4);
    leader.lineTo(base.x() + spire * 0.22, top + spire * 0.7);
    leader.lineTo(base.x() - spire * 0.22, top + spire * 0.7);
    leader.closeSubpath();
    painter.setBrush(look.needles);
    painter.drawPath(leader);
    if (look.snow_load > 0.0) {
        QPainterPath hood;
        hood.moveTo(base.x(), top - spire * 0.42);
        hood.quadTo(base.x() + spire * 0.1, top, base.x() + spire * 0.2, top + spire * 0.3);
        hood.quadTo(base.x(), top + spire * 0.2, base.x() - spire * 0.2, top + spire * 0.3);
        hood.quadTo(base.x() - spire * 0.1, top, base.x(), top - spire * 0.42);
        painter.setBrush(
            vertical_gradient(top - spire * 0.4, top + spire * 0.3,
                              {{0.0, look.snow}, {1.0, mix(look.snow, look.snow_shade, 0.5)}}));
        painter.drawPath(hood);
    }
    painter.restore();
}

void paint_treeline(QPainter& painter, MediaRandom& rng, const std::vector<QPointF>& ground,
                    double bottom, double height, double spacing, const TreelineLook& look) {
    if (ground.size() < 2 || !(spacing > 0.0) || !(height > 0.0)) {
        return;
    }
    const double toward = look.light_from_left ? -1.0 : 1.0;
    QPainterPath trees = area_below(ground, bottom);
    trees.setFillRule(Qt::WindingFill);
    QPainterPath snow;
    snow.setFillRule(Qt::WindingFill);
    // Trees grow in stands: their heights follow a slow swell along the line.
    const double phase = rng.range(0.0, kTau);
    const double stands = (ground.back().x() - ground.front().x()) / (height * 6.0);
    for (double x = ground.front().x(); x <= ground.back().x();
         x += spacing * rng.range(0.35, 1.1)) {
        const double along = (x - ground.front().x()) / (height * 6.0);
        const double swell =
            0.5 + 0.5 * std::sin(kTau * along / std::max(1.0, stands) * 3.0 + phase) *
                      std::sin(kTau * along * 0.37 + phase * 2.0);
        const double h = height * (0.55 + 0.6 * swell) * rng.range(0.7, 1.2);
        const double w = h * rng.range(0.17, 0.24);
        const QPointF root(x, line_height(ground, x) + height * 0.15);
        const double tip = root.y() - h;
        const int tiers = 3 + rng.below(3);
        // A spire of stacked tiers, each flaring out and tucking in.
        std::vector<QPointF> right;
        for (int j = 1; j <= tiers; ++j) {
            const double t = static_cast<double>(j) / tiers;
            const double y = tip + h * 0.92 * t;
            right.emplace_back(x + w * t * rng.range(0.85, 1.1), y);
            if (j < tiers) {
                right.emplace_back(x + w * t * 0.45, y - h * 0.05);
            }
        }
        QPainterPath tree;
        tree.moveTo(x, tip);
        for (const QPointF& p : right) {
            tree.lineTo(p);
        }
        tree.lineTo(x + w * 0.3, root.y());
        tree.lineTo(x - w * 0.3, root.y());
        for (auto it = right.rbegin(); it != right.rend(); ++it) {
            tree.lineTo(2.0 * x - it->x(), it->y() + (it->y() - tip) * 0.02);
        }
        tree.closeSubpath();
        trees.addPath(tree);
        if (look.snow_cover > 0.0) {
            // Snow along the top of each tier on the lit side.
            for (int j = 1; j <= tiers; ++j) {
                const double t = static_cast<double>(j) / tiers;
                const double y = tip + h * 0.92 * t;
                const double start_y = tip + h * 0.92 * (t - 1.0 / tiers);
                const QPointF inner(x, start_y + h * 0.02);
                const QPointF outer(x + toward * w * t * 0.95, y);
                const QPointF lift(0.0, h * 0.05 * look.snow_cover);
                QPainterPath cap;
                cap.moveTo(inner - lift);
                cap.lineTo(outer);
                cap.lineTo(inner + (outer - inner) * (1.0 - look.snow_cover) + lift);
                cap.closeSubpath();
                snow.addPath(cap);
            }
        }
    }
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.fillPath(trees, look.trees);
    painter.fillPath(snow, look.snow);
    painter.restore();
}

}  // namespace wm::media
