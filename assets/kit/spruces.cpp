#include "assets/kit/spruces.h"

#include "assets/kit/paint_kit.h"
#include "assets/kit/ridges.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace wm::media {

namespace {

// A point on the quadratic curve from a through control c to b.
QPointF on_quad(QPointF a, QPointF c, QPointF b, double t) {
    const double s = 1.0 - t;
    return a * (s * s) + c * (2.0 * s * t) + b * (t * t);
}

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
        const double from = split - rng.range(0.0, 0.08);
        const double to = rng.range(0.88, 1.02);
        const double thickness = thick * rng.range(0.6, 0.95);
        clumps.push_back(snow_clump(rng, root, bend, tip, from, to, thickness));
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
            const double shift = rng.range(-0.1, 0.1);
            const double arm_reach = reach * rng.range(0.82, 1.08);
            const double arm_drop = drop * rng.range(0.85, 1.1);
            paint_arm(painter, rng, QPointF(base.x(), attach + shift * spacing), side, arm_reach,
                      arm_drop, look, side == toward);
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

void paint_spruces(QPainter& painter, MediaRandom& rng, QSizeF picture, double unit,
                   std::span<const TreeSpot> spots, const SpruceLook& look) {
    for (const TreeSpot& tree : spots) {
        paint_spruce(painter, rng, QPointF(picture.width() * tree.x, picture.height() * tree.base),
                     tree.height * unit, look);
    }
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
