#include "assets/windows/window_art.h"

#include <QPainterPath>
#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>
#include <vector>

namespace wm::media {

void paint_robin(QPainter& painter, QPointF feet, double height, bool facing_right) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(feet);
    painter.scale(facing_right ? height : -height, height);
    painter.setPen(Qt::NoPen);

    const QColor brown(112, 86, 62);
    const QColor dark_brown(70, 52, 40);
    const QColor breast(226, 96, 44);
    const QColor belly(240, 236, 226);

    // Legs.
    QPen leg(QColor(60, 40, 34), 0.035);
    leg.setCapStyle(Qt::RoundCap);
    painter.setPen(leg);
    painter.drawLine(QPointF(-0.02, -0.2), QPointF(-0.05, 0.0));
    painter.drawLine(QPointF(0.1, -0.2), QPointF(0.1, 0.0));
    painter.setPen(Qt::NoPen);

    // Tail, tilted up behind.
    QPainterPath tail;
    tail.moveTo(-0.28, -0.42);
    tail.lineTo(-0.78, -0.2);
    tail.quadTo(-0.8, -0.1, -0.72, -0.08);
    tail.lineTo(-0.22, -0.28);
    tail.closeSubpath();
    painter.setBrush(dark_brown);
    painter.drawPath(tail);

    // Round body and head.
    QPainterPath bird;
    bird.addEllipse(QPointF(0.0, -0.44), 0.42, 0.34);
    bird.addEllipse(QPointF(0.26, -0.78), 0.24, 0.23);
    bird.setFillRule(Qt::WindingFill);
    QRadialGradient body(QPointF(-0.05, -0.75), 0.75);
    body.setColorAt(0.0, brown.lighter(125));
    body.setColorAt(1.0, dark_brown);
    painter.setBrush(body);
    painter.drawPath(bird);

    // The red breast and face, then the pale belly, both inside the body.
    painter.save();
    painter.setClipPath(bird);
    QRadialGradient red(QPointF(0.3, -0.6), 0.45);
    red.setColorAt(0.0, breast.lighter(115));
    red.setColorAt(0.7, breast);
    red.setColorAt(1.0, breast.darker(140));
    painter.setBrush(red);
    painter.drawEllipse(QPointF(0.26, -0.55), 0.3, 0.34);
    painter.setBrush(belly);
    painter.drawEllipse(QPointF(0.05, -0.12), 0.34, 0.18);
    painter.restore();

    // The folded wing.
    painter.save();
    painter.translate(-0.08, -0.5);
    painter.rotate(-18.0);
    QLinearGradient wing(QPointF(0.0, -0.18), QPointF(0.0, 0.18));
    wing.setColorAt(0.0, brown);
    wing.setColorAt(1.0, dark_brown);
    painter.setBrush(wing);
    painter.drawEllipse(QPointF(0.0, 0.0), 0.32, 0.17);
    painter.setPen(QPen(QColor(50, 38, 30, 150), 0.018));
    painter.drawLine(QPointF(-0.2, 0.04), QPointF(0.15, 0.02));
    painter.drawLine(QPointF(-0.24, 0.1), QPointF(0.08, 0.09));
    painter.restore();

    // Beak and eye with its glint.
    QPainterPath beak;
    beak.moveTo(0.46, -0.83);
    beak.lineTo(0.6, -0.78);
    beak.lineTo(0.46, -0.74);
    beak.closeSubpath();
    painter.setBrush(QColor(50, 36, 30));
    painter.drawPath(beak);
    painter.setBrush(QColor(20, 14, 12));
    painter.drawEllipse(QPointF(0.34, -0.84), 0.05, 0.05);
    painter.setBrush(QColor(255, 255, 255, 220));
    painter.drawEllipse(QPointF(0.35, -0.855), 0.016, 0.016);
    painter.restore();
}

QPointF paint_snowy_twig(QPainter& painter, MediaRandom& rng, QPointF from, QPointF to,
                         double thickness, double perch_at) {
    const QPointF d = to - from;
    const double length = std::hypot(d.x(), d.y());
    if (length <= 0.0 || thickness <= 0.0) {
        return from;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QPointF forward = d / length;
    const QPointF normal(-forward.y(), forward.x());
    const QPointF up = normal.y() < 0 ? normal : -normal;
    // A gentle sag along the middle.
    constexpr int kSteps = 32;
    std::vector<QPointF> spine;
    std::vector<double> width;
    for (int i = 0; i <= kSteps; ++i) {
        const double t = static_cast<double>(i) / kSteps;
        spine.push_back(from + d * t - up * (length * 0.04 * 4.0 * t * (1.0 - t)));
        width.push_back(thickness * (1.0 - 0.65 * t));
    }
    const auto point_at = [&](double t) {
        const auto i = std::clamp(static_cast<std::size_t>(std::lround(t * kSteps)), std::size_t{0},
                                  spine.size() - 1);
        return i;
    };

    // Side shoots reaching forward and up, snow lying along each.
    QPainterPath wood;
    std::vector<QPainterPath> tufts;
    for (const double t : {0.28, 0.55, 0.78}) {
        const std::size_t at = point_at(t);
        const QPointF base = spine[at] + up * width[at] * 0.2;
        const double w = width[at] * 0.4;
        const double reach = length * rng.range(0.2, 0.26) * (1.0 - 0.4 * t);
        const QPointF tip = base + forward * (reach * 0.82) + up * (reach * 0.57);
        const QPointF bow = (base + tip) / 2.0 + up * (reach * 0.06) - forward * (reach * 0.04);
        QPainterPath shoot;
        shoot.moveTo(base - forward * w);
        shoot.quadTo(bow - forward * (w * 0.5), tip);
        shoot.quadTo(bow + forward * (w * 0.8) - up * (w * 0.4), base + forward * w);
        shoot.closeSubpath();
        wood.addPath(shoot);
        QPainterPath line;
        const QPointF lift = up * (w * 0.75) - forward * (w * 0.3);
        line.moveTo(base + (tip - base) * 0.25 + lift);
        line.quadTo(bow + lift, base + (tip - base) * 0.78 + lift * 0.8);
        QPainterPathStroker stroker;
        stroker.setWidth(w * 1.3);
        stroker.setCapStyle(Qt::RoundCap);
        tufts.push_back(stroker.createStroke(line));
    }
    QPainterPath limb;
    limb.moveTo(spine.front() + up * width.front() / 2);
    for (std::size_t i = 1; i < spine.size(); ++i) {
        limb.lineTo(spine[i] + up * width[i] / 2);
    }
    limb.quadTo(spine.back() + forward * width.back(), spine.back() - up * width.back() / 2);
    for (std::size_t i = spine.size(); i-- > 0;) {
        limb.lineTo(spine[i] - up * width[i] / 2);
    }
    limb.closeSubpath();
    wood.addPath(limb);
    wood.setFillRule(Qt::WindingFill);
    QLinearGradient bark(from + up * thickness * 0.5, from - up * thickness * 0.5);
    bark.setColorAt(0.0, QColor(122, 92, 70));
    bark.setColorAt(0.45, QColor(78, 56, 44));
    bark.setColorAt(1.0, QColor(40, 28, 26));
    painter.setBrush(bark);
    painter.drawPath(wood);

    // Red berries hanging under the limb.
    const std::size_t cluster = point_at(0.66);
    const double berry = std::max(1.2, thickness * 0.32);
    for (const QPointF offset : {QPointF(-1.1, 1.5), QPointF(0.9, 1.7), QPointF(0.0, 2.9)}) {
        const QPointF centre =
            spine[cluster] + forward * (offset.x() * berry) - up * (offset.y() * berry);
        QRadialGradient shine(centre - QPointF(berry * 0.35, berry * 0.35), berry * 1.2);
        shine.setColorAt(0.0, QColor(255, 120, 110));
        shine.setColorAt(0.5, QColor(200, 24, 30));
        shine.setColorAt(1.0, QColor(110, 8, 20));
        painter.setBrush(shine);
        painter.drawEllipse(centre, berry, berry);
    }

    // Snow along the top of the limb, lumpy, thinning toward the tip.
    QPainterPath snow;
    std::vector<QPointF> crest;
    // Soft drifts rather than jitter: depths at every fourth step, eased between.
    std::vector<double> drifts(kSteps / 4 + 2);
    for (double& drift : drifts) {
        drift = rng.range(0.6, 1.25);
    }
    for (std::size_t i = 0; i < spine.size(); ++i) {
        const double t = static_cast<double>(i) / kSteps;
        const double f = static_cast<double>(i) / 4.0;
        const auto k = static_cast<std::size_t>(f);
        const double e = (f - static_cast<double>(k)) * (f - static_cast<double>(k)) *
                         (3.0 - 2.0 * (f - static_cast<double>(k)));
        const double drift = drifts[k] + (drifts[k + 1] - drifts[k]) * e;
        const double lump = thickness * (0.8 - 0.5 * t) * drift;
        crest.push_back(spine[i] + up * (width[i] * 0.5 + lump));
    }
    snow.moveTo(spine.front() + up * width.front() * 0.1);
    snow.lineTo(crest.front());
    for (std::size_t i = 1; i + 1 < crest.size(); ++i) {
        snow.quadTo(crest[i], (crest[i] + crest[i + 1]) / 2.0);
    }
    snow.lineTo(crest.back());
    snow.quadTo(spine.back() + forward * width.back() * 1.5,
                spine.back() + up * width.back() * 0.1);
    for (std::size_t i = spine.size(); i-- > 0;) {
        const double sag = (i % 3 == 1) ? 0.05 : 0.2;
        snow.lineTo(spine[i] + up * width[i] * sag);
    }
    snow.closeSubpath();
    for (const QPainterPath& tuft : tufts) {
        snow.addPath(tuft);
    }
    snow.setFillRule(Qt::WindingFill);
    const QPainterPath blanket = snow.simplified();
    QLinearGradient shade(from + up * thickness * 1.6, from);
    shade.setColorAt(0.0, QColor(253, 254, 255));
    shade.setColorAt(0.6, QColor(232, 240, 255));
    shade.setColorAt(1.0, QColor(178, 196, 238));
    painter.setBrush(shade);
    painter.setPen(QPen(QColor(120, 142, 196, 190), std::max(0.6, thickness * 0.09)));
    painter.drawPath(blanket);
    painter.restore();

    const std::size_t perch = point_at(perch_at);
    return spine[perch] + up * (width[perch] * 0.5 + thickness * 0.35);
}

}  // namespace wm::media
