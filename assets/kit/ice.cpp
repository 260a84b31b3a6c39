#include "assets/kit/ice.h"

#include "assets/kit/paint_kit.h"

#include <QPainterPath>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace wm::media {

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
            const double turn = rng.range(0.6, 1.4);
            const double way = rng.chance(0.5) ? 1 : -1;
            grow_crack(rng, ice, at, heading + turn * way, segments / 2, unit, cracks);
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
        const double heading = rng.range(0.0, kTau);
        const int segments = 6 + rng.below(8);
        grow_crack(rng, ice, start, heading, segments, unit, cracks);
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

}  // namespace wm::media
