#include "assets/kit/mountains.h"

#include "assets/kit/mountain_cover.h"
#include "assets/kit/paint_kit.h"
#include "assets/kit/ridges.h"
#include "assets/kit/stretched_glow.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <utility>

namespace wm::media {

namespace {

// A summit's flank: steepest at the top and flattening into the foot.
double peak_profile(const PeakShape& peak, double x, double foot) {
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

double envelope(const std::vector<PeakShape>& peaks, double x, double foot) {
    double y = foot;
    for (const PeakShape& peak : peaks) {
        y = std::min(y, peak_profile(peak, x, foot));
    }
    return y;
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

}  // namespace

MountainRange make_range(MediaRandom& rng, const RangeShape& shape) {
    MountainRange range;
    range.foot = shape.foot;
    range.bottom = std::max(shape.bottom, shape.foot);
    range.seed = rng.next();
    if (!(shape.right > shape.left)) {
        return range;
    }
    // Each peak gets lower shoulders on its flanks now and then.
    std::vector<PeakShape> peaks = shape.peaks;
    for (const PeakShape& peak : shape.peaks) {
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
    for (const PeakShape& peak : peaks) {
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
    for (const PeakShape& peak : peaks) {
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

    paint_range_cover(painter, rng, range, look, bounds, relief);

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
        paint_stretched_glow(painter, saddle + QPointF(0.0, fall * 0.6), fall * 0.7, 0.35, 1.0,
                             look.shade, 0.5);
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

}  // namespace wm::media
