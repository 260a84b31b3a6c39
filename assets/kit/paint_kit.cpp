#include "assets/kit/paint_kit.h"

#include <algorithm>
#include <cmath>

namespace wm::media {

QPointF random_point(MediaRandom& rng, double x_lo, double x_hi, double y_lo, double y_hi) {
    const double x = rng.range(x_lo, x_hi);
    const double y = rng.range(y_lo, y_hi);
    return {x, y};
}

QColor mix(const QColor& a, const QColor& b, double t) {
    const auto blend = [t](float from, float to) {
        return static_cast<float>(static_cast<double>(from) +
                                  (static_cast<double>(to) - static_cast<double>(from)) * t);
    };
    return QColor::fromRgbF(blend(a.redF(), b.redF()), blend(a.greenF(), b.greenF()),
                            blend(a.blueF(), b.blueF()), blend(a.alphaF(), b.alphaF()));
}

QColor with_alpha(const QColor& colour, double alpha) {
    QColor result = colour;
    result.setAlphaF(static_cast<float>(std::clamp(alpha, 0.0, 1.0)));
    return result;
}

QLinearGradient vertical_gradient(double top, double bottom,
                                  std::initializer_list<ColorStop> stops) {
    QLinearGradient gradient(0.0, top, 0.0, bottom);
    for (const ColorStop& stop : stops) {
        gradient.setColorAt(stop.at, stop.color);
    }
    return gradient;
}

QRadialGradient glow_gradient(QPointF centre, double radius, const QColor& colour, double peak) {
    QRadialGradient gradient(centre, radius);
    constexpr int kSteps = 16;
    for (int i = 0; i <= kSteps; ++i) {
        const double t = static_cast<double>(i) / kSteps;
        // A bell that reaches exactly zero at the rim.
        const double falloff = std::exp(-4.0 * t * t) * (1.0 - t * t);
        gradient.setColorAt(t, with_alpha(colour, peak * falloff));
    }
    return gradient;
}

void paint_glow(QPainter& painter, QPointF centre, double radius, const QColor& colour,
                double peak) {
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow_gradient(centre, radius, colour, peak));
    painter.drawEllipse(centre, radius, radius);
    painter.restore();
}

std::vector<QPointF> ridge_line(MediaRandom& rng, double left, double right, double base,
                                double amplitude, double roughness, int detail) {
    detail = std::clamp(detail, 1, 14);
    const int segments = 1 << detail;
    std::vector<double> heights(static_cast<std::size_t>(segments) + 1, base);
    heights.front() = base + rng.range(-amplitude, amplitude) * 0.5;
    heights.back() = base + rng.range(-amplitude, amplitude) * 0.5;
    double spread = amplitude;
    for (int step = segments; step > 1; step /= 2) {
        for (int i = step / 2; i < segments; i += step) {
            const auto at = static_cast<std::size_t>(i);
            const auto half = static_cast<std::size_t>(step / 2);
            heights[at] =
                (heights[at - half] + heights[at + half]) / 2.0 + rng.range(-spread, spread);
        }
        spread *= roughness;
    }
    std::vector<QPointF> line;
    line.reserve(heights.size());
    for (int i = 0; i <= segments; ++i) {
        line.emplace_back(left + (right - left) * i / segments,
                          heights[static_cast<std::size_t>(i)]);
    }
    return line;
}

QPainterPath area_below(const std::vector<QPointF>& line, double bottom) {
    QPainterPath path;
    if (line.empty()) {
        return path;
    }
    path.moveTo(line.front().x(), bottom);
    for (const QPointF& point : line) {
        path.lineTo(point);
    }
    path.lineTo(line.back().x(), bottom);
    path.closeSubpath();
    return path;
}

QPainterPath smooth_area_below(const std::vector<QPointF>& line, double bottom) {
    QPainterPath path;
    if (line.size() < 2) {
        return area_below(line, bottom);
    }
    path.moveTo(line.front().x(), bottom);
    path.lineTo(line.front());
    // Quadratic curves through the midpoints, with the points as controls.
    for (std::size_t i = 1; i + 1 < line.size(); ++i) {
        const QPointF mid = (line[i] + line[i + 1]) / 2.0;
        path.quadTo(line[i], mid);
    }
    path.lineTo(line.back());
    path.lineTo(line.back().x(), bottom);
    path.closeSubpath();
    return path;
}

void paint_stars(QPainter& painter, MediaRandom& rng, const QRectF& sky, int count,
                 double max_radius) {
    painter.save();
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < count; ++i) {
        const double x = rng.range(sky.left(), sky.right());
        // Denser toward the top of the sky.
        const double depth = rng.uniform() * rng.uniform();
        const double y = sky.top() + depth * sky.height();
        const double size = rng.uniform();
        const double radius = 0.35 + size * size * size * max_radius;
        const double brightness = (0.35 + 0.65 * rng.uniform()) * (1.0 - 0.7 * depth);
        const QColor tint = mix(QColor(255, 244, 220), QColor(200, 220, 255), rng.uniform());
        if (radius > max_radius * 0.6) {
            paint_glow(painter, QPointF(x, y), radius * 5.0, tint, 0.25 * brightness);
        }
        painter.setBrush(with_alpha(tint, brightness));
        painter.drawEllipse(QPointF(x, y), radius, radius);
    }
    painter.restore();
}

void paint_snowfall(QPainter& painter, MediaRandom& rng, const QRectF& region, int flakes,
                    double min_radius, double max_radius, const QColor& colour) {
    painter.save();
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < flakes; ++i) {
        const double x = rng.range(region.left(), region.right());
        const double y = rng.range(region.top(), region.bottom());
        const double nearness = rng.uniform() * rng.uniform();
        const double radius = min_radius + (max_radius - min_radius) * nearness;
        const double alpha = 0.45 + 0.45 * rng.uniform();
        if (radius > 1.6) {
            // Near flakes are out of focus: a soft disc rather than a dot.
            QRadialGradient soft(QPointF(x, y), radius);
            soft.setColorAt(0.0, with_alpha(colour, alpha));
            soft.setColorAt(0.6, with_alpha(colour, alpha * 0.7));
            soft.setColorAt(1.0, with_alpha(colour, 0.0));
            painter.setBrush(soft);
        } else {
            painter.setBrush(with_alpha(colour, alpha));
        }
        painter.drawEllipse(QPointF(x, y), radius, radius);
    }
    painter.restore();
}

void paint_pine(QPainter& painter, MediaRandom& caller, QPointF base, double height,
                const QColor& needles, const QColor& snow, double snow_cover) {
    MediaRandom rng = caller.split();
    painter.save();
    painter.setPen(Qt::NoPen);
    const double trunk_height = height * 0.08;
    const double trunk_width = std::max(1.0, height * 0.035);
    painter.setBrush(mix(needles, QColor(40, 25, 15), 0.5));
    painter.drawRect(
        QRectF(base.x() - trunk_width / 2, base.y() - trunk_height, trunk_width, trunk_height));

    const int tiers = std::clamp(static_cast<int>(height / 18.0), 3, 7);
    const double crown_bottom = base.y() - trunk_height * 0.6;
    const double top = base.y() - height;
    const double max_half_width = height * 0.32;
    for (int tier = 0; tier < tiers; ++tier) {
        // Tiers from the bottom up; each narrower and overlapping the one below.
        const double t0 = static_cast<double>(tier) / tiers;
        const double t1 = static_cast<double>(tier + 1) / tiers;
        const double tier_bottom = crown_bottom - (crown_bottom - top) * t0 * 0.92;
        const double tier_top = crown_bottom - (crown_bottom - top) * std::min(1.0, t1 * 1.12);
        const double half_width = max_half_width * (1.0 - t0 * 0.85);
        const double droop = (tier_bottom - tier_top) * 0.12;

        QPainterPath branch;
        branch.moveTo(base.x(), tier_top);
        const int jags = 5;
        // Right side: ragged edge of drooping branch tips.
        for (int j = 1; j <= jags; ++j) {
            const double f = static_cast<double>(j) / jags;
            const double x = base.x() + half_width * f * rng.range(0.85, 1.05);
            const double y = tier_top + (tier_bottom - tier_top) * f + droop * f;
            branch.lineTo(x, y);
            if (j < jags) {
                branch.lineTo(x - half_width * 0.08, y - droop * 0.6);
            }
        }
        branch.quadTo(base.x(), tier_bottom + droop * 0.2, base.x() - half_width,
                      tier_bottom + droop);
        for (int j = jags - 1; j >= 1; --j) {
            const double f = static_cast<double>(j) / jags;
            const double x = base.x() - half_width * f * rng.range(0.85, 1.05);
            const double y = tier_top + (tier_bottom - tier_top) * f + droop * f;
            branch.lineTo(x + half_width * 0.08, y - droop * 0.6);
            branch.lineTo(x, y);
        }
        branch.closeSubpath();
        // Light from above: tiers darker at their base.
        painter.setBrush(vertical_gradient(
            tier_top, tier_bottom + droop,
            {{0.0, mix(needles, Qt::white, 0.08)}, {1.0, mix(needles, Qt::black, 0.35)}}));
        painter.drawPath(branch);

        if (snow_cover > 0.0) {
            // A snow cap along the upper slope of the tier.
            const double cap = (tier_bottom - tier_top) * snow_cover;
            QPainterPath lid;
            lid.moveTo(base.x(), tier_top - 1.0);
            lid.quadTo(base.x() + half_width * 0.55, tier_top + cap * 0.7,
                       base.x() + half_width * 0.9, tier_top + (tier_bottom - tier_top) * 0.9);
            lid.quadTo(base.x() + half_width * 0.5, tier_top + cap * 1.1, base.x(),
                       tier_top + cap * 0.9);
            lid.quadTo(base.x() - half_width * 0.5, tier_top + cap * 1.1,
                       base.x() - half_width * 0.9, tier_top + (tier_bottom - tier_top) * 0.9);
            lid.quadTo(base.x() - half_width * 0.55, tier_top + cap * 0.7, base.x(),
                       tier_top - 1.0);
            painter.setBrush(snow);
            painter.drawPath(lid);
        }
    }
    painter.restore();
}

}  // namespace wm::media
