#include "assets/kit/bare_tree.h"

#include "assets/kit/building_snow.h"
#include "assets/kit/piece_basics.h"

#include <QPainterPath>

#include <algorithm>
#include <vector>

namespace wm::media {

using namespace piece;

namespace {

struct Bough {
    QPointF from;
    QPointF to;
    QPointF bend;
    double width;
};

void grow_bough(MediaRandom& rng, QPointF from, double angle, double reach, double width, int level,
                std::vector<Bough>& boughs) {
    const QPointF direction(std::sin(angle), -std::cos(angle));
    const QPointF to = from + direction * reach;
    const QPointF bend = lerp(from, to, 0.5) +
                         QPointF(-direction.y(), direction.x()) * reach * rng.range(-0.12, 0.12);
    boughs.push_back({from, to, bend, width});
    if (level <= 0) {
        return;
    }
    // Boughs fork from along the limb and at its end, spreading up and out.
    const int children = level > 3 ? 3 : 2;
    for (int i = 0; i < children; ++i) {
        const double side = (i % 2 == 0 ? 1.0 : -1.0) * (rng.chance(0.5) ? 1.0 : -1.0);
        const bool end = i == 0;
        const double spread = end ? rng.range(-0.25, 0.25) : side * rng.range(0.5, 0.95);
        const double child_angle = std::clamp(angle * 0.85 + spread, -1.7, 1.7);
        const QPointF start = end ? to : lerp(from, to, rng.range(0.35, 0.85));
        const double shrink = end ? rng.range(0.72, 0.85) : rng.range(0.55, 0.75);
        grow_bough(rng, start, child_angle, reach * shrink, width * (end ? 0.68 : 0.55), level - 1,
                   boughs);
    }
}

}  // namespace

void paint_bare_tree(QPainter& painter, MediaRandom& caller, QPointF base, double height,
                     const QColor& bark, const Mood& mood) {
    MediaRandom rng = caller.split();
    if (!(height > 0.0) || !usable(height) || !usable(base)) {
        return;
    }
    std::vector<Bough> boughs;
    grow_bough(rng, base, rng.range(-0.05, 0.05), height * 0.26, height * 0.07, 6, boughs);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    QPainterPath wood;
    QPainterPath snow;
    for (const Bough& bough : boughs) {
        const QPointF along = bough.to - bough.from;
        const double span = length(along);
        if (span <= 0.0) {
            continue;
        }
        const QPointF across = QPointF(-along.y(), along.x()) / span;
        const double w0 = bough.width / 2;
        const double w1 = bough.width * 0.31;
        QPainterPath limb;
        limb.moveTo(bough.from + across * w0);
        limb.quadTo(bough.bend + across * (w0 + w1) / 2, bough.to + across * w1);
        limb.lineTo(bough.to - across * w1);
        limb.quadTo(bough.bend - across * (w0 + w1) / 2, bough.from - across * w0);
        limb.closeSubpath();
        wood.addPath(limb);
        // Snow rests on the upper side of boughs that lean out.
        const QPointF up = across.y() < 0 ? across : -across;
        if (std::abs(along.x()) > span * 0.25 && bough.width > height * 0.004) {
            const double lie = bough.width * 0.45;
            QPainterPath cap;
            cap.moveTo(lerp(bough.from, bough.to, 0.1) + up * w0 * 0.6);
            cap.quadTo(bough.bend + up * (w0 + lie), lerp(bough.to, bough.from, 0.15) + up * w1);
            cap.quadTo(bough.bend + up * w0 * 0.5, lerp(bough.from, bough.to, 0.1) + up * w0 * 0.6);
            snow.addPath(cap);
        }
    }
    painter.setBrush(in_light(bark, mood, 0.8));
    painter.drawPath(wood.simplified());
    painter.setBrush(mood.snow);
    painter.drawPath(snow);
    paint_drift(painter, rng, base + QPointF(-height * 0.08, 0), base + QPointF(height * 0.08, 0),
                height * 0.03, mood);
    painter.restore();
}

}  // namespace wm::media
