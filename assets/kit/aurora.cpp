#include "assets/kit/aurora.h"

#include "assets/kit/paint_kit.h"

#include <QLinearGradient>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace wm::media {

namespace {}  // namespace

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

}  // namespace wm::media
