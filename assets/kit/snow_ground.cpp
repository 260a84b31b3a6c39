#include "assets/kit/snow_ground.h"

#include "assets/kit/paint_kit.h"
#include "assets/kit/stretched_glow.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace wm::media {

namespace {}  // namespace

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
    paint_stretched_glow(painter, base + QPointF(away * width * 0.25, 0.0), width * 0.75, 1.0, 0.25,
                         look.shadow, 0.5);
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

void paint_snow_mounds(QPainter& painter, MediaRandom& rng, QSizeF picture, double unit,
                       std::span<const MoundSpot> spots, const DriftLook& look) {
    for (const MoundSpot& spot : spots) {
        paint_snow_mound(painter, rng, QPointF(picture.width() * spot.x, picture.height() * spot.y),
                         spot.width * unit, spot.height * unit, look);
    }
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

}  // namespace wm::media
