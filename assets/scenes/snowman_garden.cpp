// A snowman in a cottage garden on a clear winter afternoon: blue sky with
// soft clouds, the low sun from the left throwing long blue shadows, a picket
// fence with a robin on it, a bird house and a bare old tree.

#include "assets/kit/bare_tree.h"
#include "assets/kit/canvas.h"
#include "assets/kit/house.h"
#include "assets/kit/mood.h"
#include "assets/kit/paint_kit.h"
#include "assets/kit/street.h"
#include "assets/kit/tree_line.h"
#include "assets/kit/vignette.h"
#include "assets/scenes/scenes.h"

#include <cmath>
#include <vector>

namespace wm::media {

namespace {

constexpr std::uint64_t kSeed = 0x5A0E3A11;

QPointF lerp_point(QPointF a, QPointF b, double t) {
    return a + (b - a) * t;
}

// A heap of cloud: round tops lit by the sun, a flat greyer base.
void paint_cumulus(QPainter& painter, MediaRandom& rng, QPointF base, double width, double height) {
    QPainterPath cloud;
    cloud.setFillRule(Qt::WindingFill);
    const int puffs = 9;
    for (int i = 0; i < puffs; ++i) {
        const double t = (i + 0.5) / puffs;
        const double swell = std::sin(t * 3.14159);
        const double radius = height * (0.35 + 0.55 * swell) * rng.range(0.8, 1.15);
        cloud.addEllipse(QPointF(base.x() + (t - 0.5) * width, base.y() - radius * 0.6), radius,
                         radius * 0.9);
    }
    QPainterPath below;
    below.addRect(QRectF(base.x() - width, base.y(), width * 2, height * 2));
    cloud = cloud.simplified().subtracted(below);
    const QRectF box = cloud.boundingRect();
    painter.setBrush(vertical_gradient(box.top(), box.bottom(),
                                       {{0.0, QColor(255, 255, 255, 235)},
                                        {0.55, QColor(240, 244, 252, 220)},
                                        {1.0, QColor(190, 204, 228, 200)}}));
    painter.drawPath(cloud);
}

// A snowman standing at `base`, `height` tall up to the top of his hat, lit
// from the left.
void paint_snowman(QPainter& painter, MediaRandom& rng, QPointF base, double height,
                   const Mood& mood) {
    const double r1 = height * 0.2;
    const double r2 = height * 0.148;
    const double r3 = height * 0.108;
    const QPointF c1 = base - QPointF(0, r1 * 0.88);
    const QPointF c2 = c1 - QPointF(r1 * 0.04, r1 * 0.8 + r2 * 0.78);
    const QPointF c3 = c2 - QPointF(-r2 * 0.05, r2 * 0.8 + r3 * 0.85);

    // His long shadow on the snow, away from the sun.
    {
        const double reach = height * 0.75;
        const QPointF centre = base + QPointF(-mood.light_side * reach * 0.45, -r1 * 0.12);
        QLinearGradient fade(base, base + QPointF(-mood.light_side * reach, 0));
        fade.setColorAt(0.0, with_alpha(mood.snow_shade, 0.75));
        fade.setColorAt(1.0, with_alpha(mood.snow_shade, 0.1));
        painter.setBrush(fade);
        painter.drawEllipse(centre, reach * 0.55, r1 * 0.32);
    }
    const auto ball = [&](QPointF centre, double radius) {
        QRadialGradient light(centre + QPointF(mood.light_side * radius * 0.45, -radius * 0.45),
                              radius * 1.5);
        light.setColorAt(0.0, QColor(255, 255, 255));
        light.setColorAt(0.3, mood.snow);
        light.setColorAt(0.65, mix(mood.snow, mood.snow_shade, 0.75));
        light.setColorAt(0.9, mix(mood.snow_shade, QColor(110, 130, 190), 0.3));
        light.setColorAt(1.0, mix(mood.snow_shade, QColor(200, 215, 240), 0.4));
        painter.setBrush(light);
        // Packed snow: a little wider than tall, flattened at the foot.
        QPainterPath lump;
        lump.addEllipse(centre, radius * 1.04, radius * 0.96);
        painter.drawPath(lump);
    };
    const auto crease = [&](QPointF centre, double radius) {
        // The shadow the ball above casts where it sits.
        painter.save();
        painter.translate(centre);
        painter.scale(1.0, 0.35);
        paint_glow(painter, QPointF(0, 0), radius * 1.1, mood.snow_shade, 0.8);
        painter.restore();
    };
    painter.setPen(Qt::NoPen);
    ball(c1, r1);
    crease(c2 + QPointF(0, r2 * 0.75), r2);
    ball(c2, r2);
    crease(c3 + QPointF(0, r3 * 0.8), r3);
    // Stick arms, forked at the ends.
    const QColor twig(92, 62, 40);
    painter.setPen(QPen(twig, height * 0.013, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    for (const int dir : {-1, 1}) {
        const QPointF shoulder = c2 + QPointF(dir * r2 * 0.7, -r2 * 0.2);
        const QPointF hand =
            shoulder + QPointF(dir * r2 * (dir < 0 ? 1.5 : 1.9), -r2 * (dir < 0 ? 1.1 : 0.5));
        QPainterPath arm;
        arm.moveTo(shoulder);
        arm.quadTo(lerp_point(shoulder, hand, 0.5) + QPointF(0, -r2 * 0.15), hand);
        painter.drawPath(arm);
        painter.setPen(QPen(twig, height * 0.008, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(hand, hand + QPointF(dir * r2 * 0.35, -r2 * 0.35));
        painter.drawLine(hand, hand + QPointF(dir * r2 * 0.45, r2 * 0.05));
        const QPointF knot = lerp_point(shoulder, hand, 0.6);
        painter.drawLine(knot, knot + QPointF(dir * r2 * 0.2, -r2 * 0.4));
        painter.setPen(QPen(twig, height * 0.013, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
    painter.setPen(Qt::NoPen);
    ball(c3, r3);

    // Coal buttons.
    const QColor coal(34, 32, 38);
    for (int i = 0; i < 3; ++i) {
        const QPointF at = c2 + QPointF(r2 * 0.02 * i, -r2 * 0.25 + i * r2 * 0.38);
        painter.setBrush(coal);
        painter.drawEllipse(at, r2 * 0.09, r2 * 0.085);
        painter.setBrush(QColor(120, 120, 130));
        painter.drawEllipse(at + QPointF(-r2 * 0.03, -r2 * 0.03), r2 * 0.025, r2 * 0.025);
    }
    // Scarf: a red band round the neck, its striped end hanging down.
    const QColor red(200, 36, 44);
    const QColor cream(246, 236, 214);
    const double neck = c2.y() - r2 * 0.82;
    QPainterPath band;
    band.moveTo(c2.x() - r2 * 0.78, neck - r2 * 0.12);
    band.quadTo(c2.x(), neck + r2 * 0.22, c2.x() + r2 * 0.8, neck - r2 * 0.14);
    band.lineTo(c2.x() + r2 * 0.76, neck + r2 * 0.2);
    band.quadTo(c2.x(), neck + r2 * 0.56, c2.x() - r2 * 0.74, neck + r2 * 0.2);
    band.closeSubpath();
    painter.setBrush(vertical_gradient(neck - r2 * 0.2, neck + r2 * 0.5,
                                       {{0.0, QColor(226, 60, 60)}, {1.0, QColor(150, 24, 34)}}));
    painter.drawPath(band);
    QPainterPath tail;
    const QPointF knot(c2.x() + r2 * 0.42 * -mood.light_side, neck + r2 * 0.3);
    tail.moveTo(knot + QPointF(-r2 * 0.14, 0));
    tail.cubicTo(knot + QPointF(-r2 * 0.1, r2 * 0.4), knot + QPointF(r2 * 0.05, r2 * 0.7),
                 knot + QPointF(r2 * 0.12, r2 * 1.05));
    tail.lineTo(knot + QPointF(r2 * 0.42, r2 * 0.98));
    tail.cubicTo(knot + QPointF(r2 * 0.3, r2 * 0.6), knot + QPointF(r2 * 0.22, r2 * 0.3),
                 knot + QPointF(r2 * 0.2, 0));
    tail.closeSubpath();
    painter.setBrush(red);
    painter.drawPath(tail);
    painter.save();
    painter.setClipPath(tail);
    painter.setBrush(cream);
    for (int i = 0; i < 3; ++i) {
        const double y = knot.y() + r2 * (0.3 + i * 0.22);
        painter.drawRect(QRectF(knot.x() - r2 * 0.3, y, r2 * 0.9, r2 * 0.08));
    }
    painter.restore();
    painter.setPen(QPen(red, r2 * 0.035, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 5; ++i) {
        const QPointF root = lerp_point(knot + QPointF(r2 * 0.12, r2 * 1.05),
                                        knot + QPointF(r2 * 0.42, r2 * 0.98), (i + 0.5) / 5.0);
        painter.drawLine(root, root + QPointF(r2 * 0.02, r2 * 0.12));
    }
    painter.setPen(Qt::NoPen);

    // Face: coal eyes, a carrot nose, a smile of pebbles.
    for (const int dir : {-1, 1}) {
        const QPointF eye = c3 + QPointF(dir * r3 * 0.34, -r3 * 0.22);
        painter.setBrush(coal);
        painter.drawEllipse(eye, r3 * 0.1, r3 * 0.12);
        painter.setBrush(QColor(255, 255, 255, 200));
        painter.drawEllipse(eye + QPointF(-r3 * 0.03, -r3 * 0.04), r3 * 0.03, r3 * 0.03);
    }
    QPainterPath carrot;
    const QPointF nose = c3 + QPointF(r3 * 0.02, r3 * 0.02);
    carrot.moveTo(nose + QPointF(0, -r3 * 0.11));
    carrot.quadTo(nose + QPointF(-r3 * 0.4, -r3 * 0.02), nose + QPointF(-r3 * 0.78, r3 * 0.1));
    carrot.quadTo(nose + QPointF(-r3 * 0.4, r3 * 0.08), nose + QPointF(0, r3 * 0.11));
    carrot.closeSubpath();
    painter.setBrush(vertical_gradient(nose.y() - r3 * 0.11, nose.y() + r3 * 0.11,
                                       {{0.0, QColor(255, 150, 50)}, {1.0, QColor(210, 90, 20)}}));
    painter.drawPath(carrot);
    painter.setPen(QPen(QColor(170, 70, 20), r3 * 0.02));
    for (int i = 1; i < 4; ++i) {
        const double x = nose.x() - r3 * 0.16 * i;
        painter.drawLine(QPointF(x, nose.y() - r3 * (0.09 - i * 0.015)),
                         QPointF(x + r3 * 0.03, nose.y() + r3 * 0.01));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(coal);
    for (int i = 0; i < 6; ++i) {
        const double t = (i - 2.5) / 2.5;
        painter.drawEllipse(c3 + QPointF(t * r3 * 0.42, r3 * (0.38 + 0.1 * (1 - t * t))), r3 * 0.05,
                            r3 * 0.05);
    }

    // A black top hat with a red band and a sprig of holly, snow on its brim.
    const double brim_y = c3.y() - r3 * 0.7;
    const double crown = r3 * 0.62;
    const QColor felt(30, 30, 38);
    painter.save();
    painter.translate(c3.x(), brim_y);
    painter.rotate(-8.0 * mood.light_side);
    painter.setBrush(vertical_gradient(-crown * 1.55, 0, {{0.0, QColor(58, 58, 70)}, {1.0, felt}}));
    painter.drawRect(QRectF(-crown * 0.72, -crown * 1.55, crown * 1.44, crown * 1.55));
    painter.setBrush(QColor(176, 30, 40));
    painter.drawRect(QRectF(-crown * 0.72, -crown * 0.42, crown * 1.44, crown * 0.26));
    painter.setBrush(felt);
    painter.drawEllipse(QPointF(0, 0), crown * 1.2, crown * 0.22);
    painter.setBrush(QColor(70, 70, 84));
    painter.drawEllipse(QPointF(0, -crown * 1.55), crown * 0.72, crown * 0.14);
    painter.setBrush(QColor(40, 120, 60));
    for (const double angle : {-0.5, 0.35}) {
        painter.save();
        painter.translate(crown * 0.45, -crown * 0.3);
        painter.rotate(angle * 57.3);
        painter.drawEllipse(QPointF(crown * 0.22, 0), crown * 0.24, crown * 0.09);
        painter.restore();
    }
    painter.setBrush(QColor(220, 30, 40));
    painter.drawEllipse(QPointF(crown * 0.42, -crown * 0.34), crown * 0.07, crown * 0.07);
    painter.drawEllipse(QPointF(crown * 0.52, -crown * 0.28), crown * 0.07, crown * 0.07);
    painter.setBrush(mood.snow);
    painter.drawEllipse(QPointF(-crown * 0.05, -crown * 1.6), crown * 0.62, crown * 0.12);
    painter.restore();

    // Snow heaped round his foot.
    painter.setBrush(
        vertical_gradient(base.y() - r1 * 0.25, base.y() + r1 * 0.1,
                          {{0.0, mood.snow}, {1.0, mix(mood.snow, mood.snow_shade, 0.3)}}));
    painter.drawEllipse(base + QPointF(0, -r1 * 0.05), r1 * 1.2, r1 * 0.2);
    (void)rng;
}

// A robin perched at `foot`, facing the way `facing` points (+1 right).
void paint_robin(QPainter& painter, QPointF foot, double size, int facing) {
    painter.save();
    painter.translate(foot);
    painter.scale(facing, 1);
    painter.setPen(Qt::NoPen);
    const QColor brown(110, 80, 60);
    QPainterPath tail;
    tail.moveTo(-size * 0.45, -size * 0.45);
    tail.lineTo(-size * 0.95, -size * 0.6);
    tail.lineTo(-size * 0.9, -size * 0.35);
    tail.closeSubpath();
    painter.setBrush(mix(brown, QColor(0, 0, 0), 0.3));
    painter.drawPath(tail);
    painter.setBrush(brown);
    painter.drawEllipse(QPointF(0, -size * 0.5), size * 0.5, size * 0.38);
    painter.drawEllipse(QPointF(size * 0.36, -size * 0.86), size * 0.26, size * 0.25);
    painter.setBrush(QColor(228, 96, 46));
    painter.drawEllipse(QPointF(size * 0.3, -size * 0.55), size * 0.28, size * 0.26);
    painter.setBrush(QColor(236, 226, 214));
    painter.drawEllipse(QPointF(size * 0.05, -size * 0.25), size * 0.3, size * 0.14);
    painter.setBrush(QColor(20, 20, 20));
    painter.drawEllipse(QPointF(size * 0.44, -size * 0.9), size * 0.05, size * 0.05);
    QPainterPath beak;
    beak.moveTo(size * 0.58, -size * 0.9);
    beak.lineTo(size * 0.76, -size * 0.85);
    beak.lineTo(size * 0.58, -size * 0.8);
    beak.closeSubpath();
    painter.setBrush(QColor(60, 50, 40));
    painter.drawPath(beak);
    painter.setPen(QPen(QColor(70, 50, 40), size * 0.05));
    painter.drawLine(QPointF(size * 0.0, -size * 0.14), QPointF(-size * 0.02, 0));
    painter.drawLine(QPointF(size * 0.12, -size * 0.14), QPointF(size * 0.12, 0));
    painter.restore();
}

// A wooden sled resting on the snow at `foot` (middle of its runners).
void paint_sled(QPainter& painter, QPointF foot, double length, const Mood& mood) {
    painter.save();
    painter.translate(foot);
    painter.rotate(-4.0);
    const double rise = length * 0.16;
    const QColor wood(186, 126, 72);
    const QColor runner(176, 36, 40);
    painter.setPen(Qt::NoPen);
    painter.setBrush(with_alpha(mood.snow_shade, 0.6));
    painter.drawEllipse(QPointF(length * 0.08, length * 0.02), length * 0.56, length * 0.06);
    // Slats on the deck.
    for (int i = 0; i < 4; ++i) {
        const double x = -length * 0.42 + i * length * 0.22;
        painter.setBrush(mix(wood, QColor(255, 230, 190), 0.15 * (i % 2)));
        painter.drawRoundedRect(QRectF(x, -rise - length * 0.05, length * 0.2, length * 0.06),
                                length * 0.01, length * 0.01);
    }
    painter.setBrush(mood.snow);
    painter.drawEllipse(QPointF(-length * 0.05, -rise - length * 0.055), length * 0.32,
                        length * 0.025);
    // Curled runners and their struts.
    QPainterPath rail;
    rail.moveTo(-length * 0.48, 0);
    rail.lineTo(length * 0.4, 0);
    rail.quadTo(length * 0.56, 0, length * 0.55, -rise * 0.7);
    rail.quadTo(length * 0.53, -rise * 1.3, length * 0.46, -rise * 0.9);
    painter.setPen(QPen(runner, length * 0.028, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(rail);
    for (int i = 0; i < 3; ++i) {
        const double x = -length * 0.36 + i * length * 0.34;
        painter.drawLine(QPointF(x, 0), QPointF(x, -rise));
    }
    // The rope, looped on the snow.
    painter.setPen(QPen(QColor(200, 180, 140), length * 0.012, Qt::SolidLine, Qt::RoundCap));
    QPainterPath rope;
    rope.moveTo(length * 0.5, -rise * 0.8);
    rope.cubicTo(length * 0.75, -rise * 0.2, length * 0.62, length * 0.12, length * 0.85,
                 length * 0.08);
    painter.drawPath(rope);
    painter.restore();
}

// A round evergreen shrub with a thick cap of snow.
void paint_snowy_bush(QPainter& painter, MediaRandom& rng, QPointF foot, double width,
                      const Mood& mood) {
    QPainterPath leaves;
    leaves.setFillRule(Qt::WindingFill);
    QPainterPath snow;
    snow.setFillRule(Qt::WindingFill);
    for (int i = 0; i < 5; ++i) {
        const double t = (i + 0.5) / 5 - 0.5;
        const double radius = width * (0.3 - 0.45 * t * t) * rng.range(0.85, 1.1);
        const QPointF centre(foot.x() + t * width * 0.85, foot.y() - radius * 0.7);
        leaves.addEllipse(centre, radius, radius * 0.85);
        snow.addEllipse(centre + QPointF(-radius * 0.08, -radius * 0.3), radius * 0.92,
                        radius * 0.6);
    }
    const QRectF box = leaves.boundingRect();
    painter.setBrush(vertical_gradient(box.top(), box.bottom(),
                                       {{0.0, QColor(52, 104, 74)}, {1.0, QColor(26, 62, 48)}}));
    painter.drawPath(leaves.simplified());
    QLinearGradient light(box.topLeft(), box.bottomRight());
    light.setColorAt(0.0, QColor(255, 255, 255));
    light.setColorAt(0.5, mood.snow);
    light.setColorAt(1.0, mix(mood.snow, mood.snow_shade, 0.7));
    painter.setBrush(light);
    painter.drawPath(snow.simplified());
}

// Dry grass poking through the snow.
void paint_grass_tuft(QPainter& painter, MediaRandom& rng, QPointF foot, double height) {
    for (int i = 0; i < 9; ++i) {
        const double lean = rng.range(-0.5, 0.5);
        const double tall = height * rng.range(0.5, 1.0);
        const QPointF root = foot + QPointF(rng.range(-0.3, 0.3) * height, 0);
        QPainterPath blade;
        blade.moveTo(root + QPointF(-height * 0.03, 0));
        blade.quadTo(root + QPointF(lean * tall * 0.3, -tall * 0.6),
                     root + QPointF(lean * tall, -tall));
        blade.quadTo(root + QPointF(lean * tall * 0.3 + height * 0.02, -tall * 0.6),
                     root + QPointF(height * 0.03, 0));
        blade.closeSubpath();
        painter.setBrush(mix(QColor(176, 140, 80), QColor(120, 96, 60), rng.uniform()));
        painter.drawPath(blade);
    }
}

// Footprints from `from` to `to`, left and right feet in turn.
void paint_footprints(QPainter& painter, QPointF from, QPointF to, int steps, double size,
                      const QColor& shade) {
    painter.setBrush(shade);
    const QPointF along = to - from;
    const double span = std::hypot(along.x(), along.y());
    if (span <= 0.0) {
        return;
    }
    const QPointF across = QPointF(-along.y(), along.x()) / span;
    for (int i = 0; i < steps; ++i) {
        const double t = (i + 0.5) / steps;
        const double scale = 0.6 + 0.4 * t;
        const QPointF at = from + along * t + across * size * 0.8 * ((i % 2) != 0 ? 1.0 : -1.0);
        painter.drawEllipse(at, size * 0.7 * scale, size * 0.32 * scale);
    }
}

}  // namespace

QImage paint_snowman_garden(QSize size) {
    if (!SceneCanvas::usable(size)) {
        return {};
    }
    MediaRandom rng(kSeed);
    SceneCanvas scene(size);
    QPainter& painter = scene.painter();
    const double w = scene.w;
    const double h = scene.h;
    const double u = scene.u;

    const Mood mood{QColor(140, 168, 214), 0.1, -1.0, QColor(250, 252, 255), QColor(156, 178, 224),
                    QColor(255, 196, 110), 0.0, 0.75};

    // A clear sky, deeper overhead, the low sun just off the top left.
    painter.fillRect(QRectF(0, 0, w, h), vertical_gradient(0, h * 0.64,
                                                           {{0.0, QColor(48, 100, 176)},
                                                            {0.55, QColor(98, 146, 206)},
                                                            {1.0, QColor(166, 194, 228)}}));
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Plus);
    paint_glow(painter, QPointF(-w * 0.03, -h * 0.06), 1000 * u, QColor(120, 100, 60), 0.9);
    painter.restore();
    MediaRandom clouds = rng.fork(1);
    paint_cumulus(painter, clouds, QPointF(w * 0.62, h * 0.2), 420 * u, 80 * u);
    paint_cumulus(painter, clouds, QPointF(w * 0.8, h * 0.26), 260 * u, 50 * u);
    paint_cumulus(painter, clouds, QPointF(w * 0.34, h * 0.12), 240 * u, 44 * u);

    // Far snowy hills and woods in the haze.
    MediaRandom land = rng.fork(2);
    const double edge = 40 * u;
    const auto far = ridge_line(land, -edge, w + edge, h * 0.585, 40 * u, 0.5, 6);
    painter.setBrush(vertical_gradient(
        h * 0.54, h * 0.66, {{0.0, QColor(188, 204, 234)}, {1.0, QColor(170, 190, 226)}}));
    painter.drawPath(smooth_area_below(far, h));
    for (const double at : {0.05, 0.3, 0.62, 0.82}) {
        paint_tree_line(painter, land, w * at, w * (at + land.range(0.08, 0.16)), h * 0.615, 40 * u,
                        QColor(128, 154, 184), QColor(220, 230, 246));
    }
    const auto near_hill = ridge_line(land, -edge, w + edge, h * 0.64, 22 * u, 0.45, 6);
    painter.setBrush(vertical_gradient(
        h * 0.62, h * 0.7, {{0.0, QColor(222, 232, 248)}, {1.0, QColor(200, 214, 240)}}));
    painter.drawPath(smooth_area_below(near_hill, h));
    paint_tree_line(painter, land, w * 0.44, w * 0.6, h * 0.665, 60 * u, QColor(92, 126, 140),
                    QColor(230, 238, 250));
    const auto garden = ridge_line(land, -edge, w + edge, h * 0.7, 8 * u, 0.4, 6);
    painter.setBrush(vertical_gradient(h * 0.69, h,
                                       {{0.0, QColor(232, 240, 252)},
                                        {0.5, QColor(246, 249, 255)},
                                        {1.0, QColor(236, 242, 252)}}));
    painter.drawPath(smooth_area_below(garden, h));

    // The cottage behind the garden fence, firs beside it.
    MediaRandom things = rng.fork(3);
    paint_pine(painter, things, QPointF(w * 0.47, h * 0.765), 200 * u, QColor(40, 84, 72),
               mood.snow, 0.5);
    House cottage;
    cottage.base = QPointF(w * 0.54, h * 0.8);
    cottage.width = 200 * u;
    cottage.wall_height = 125 * u;
    cottage.roof_height = 105 * u;
    cottage.depth = 110 * u;
    cottage.side = 1;
    cottage.walls = WallKind::Boards;
    cottage.wall = QColor(214, 92, 70);
    cottage.roof_colour = QColor(70, 70, 82);
    cottage.trim = QColor(246, 242, 232);
    cottage.door = QColor(60, 96, 80);
    cottage.shutters = QColor(70, 110, 96);
    cottage.front_windows = 2;
    cottage.side_windows = 2;
    cottage.lit = 0.5;
    cottage.wreath = true;
    paint_house(painter, things, cottage, mood);
    paint_pine(painter, things, QPointF(w * 0.8, h * 0.79), 190 * u, QColor(44, 90, 76), mood.snow,
               0.5);
    paint_pine(painter, things, QPointF(w * 0.835, h * 0.8), 240 * u, QColor(40, 84, 72), mood.snow,
               0.5);
    paint_bare_tree(painter, things, QPointF(w * 0.93, h * 0.86), 640 * u, QColor(92, 78, 70),
                    mood);

    // A bird house on a post by the fence; its gable window is the way in.
    const QPointF post(w * 0.76, h * 0.838);
    painter.setBrush(QColor(120, 86, 60));
    painter.drawRect(QRectF(post.x() - 5 * u, post.y() - 150 * u, 10 * u, 150 * u));
    House nest;
    nest.base = post + QPointF(-24 * u, -150 * u);
    nest.width = 48 * u;
    nest.wall_height = 36 * u;
    nest.roof_height = 34 * u;
    nest.depth = 18 * u;
    nest.walls = WallKind::Boards;
    nest.wall = QColor(90, 140, 180);
    nest.roof_colour = QColor(120, 60, 50);
    nest.front_windows = 0;
    nest.side_windows = 0;
    nest.door_at = DoorAt::None;
    nest.chimney = false;
    nest.lit = 0.0;
    paint_house(painter, things, nest, mood);

    // The fence round the garden, shrubs in front of it, a robin on it.
    paint_fence(painter, things,
                {QPointF(w * 0.18, h * 0.845), QPointF(w * 0.45, h * 0.835),
                 QPointF(w * 0.75, h * 0.845), QPointF(w + 20 * u, h * 0.85)},
                78 * u, QColor(236, 230, 220), FenceKind::Picket, mood);
    for (const double at : {0.3, 0.47, 0.64}) {
        paint_snowy_bush(painter, things, QPointF(w * at, h * 0.862), 120 * u, mood);
    }
    paint_robin(painter, QPointF(w * 0.714, h * 0.845 - 82 * u), 30 * u, -1);

    // A mound of snow in front, the sled, footprints up to the snowman.
    const auto mound = ridge_line(land, -edge, w + edge, h * 0.9, 14 * u, 0.4, 5);
    painter.setBrush(vertical_gradient(
        h * 0.88, h, {{0.0, QColor(250, 252, 255)}, {1.0, QColor(226, 234, 250)}}));
    painter.drawPath(smooth_area_below(mound, h));
    paint_footprints(painter, QPointF(w * 0.6, h * 0.875), QPointF(w * 0.26, h * 0.975), 18, 11 * u,
                     with_alpha(mix(mood.snow_shade, QColor(120, 140, 190), 0.3), 0.55));
    paint_sled(painter, QPointF(w * 0.72, h * 0.95), 210 * u, mood);
    MediaRandom grass = rng.fork(4);
    for (const double at : {0.34, 0.38, 0.88, 0.93, 0.6}) {
        paint_grass_tuft(painter, grass, QPointF(w * at, h * (0.985 - (at - 0.3) * 0.05)), 36 * u);
    }

    // The snowman, a robin on his hand.
    paint_snowman(painter, things, QPointF(w * 0.155, h * 0.975), 760 * u, mood);
    paint_robin(painter, QPointF(w * 0.155 + 0.148 * 760 * u * 2.05, h * 0.6), 34 * u, 1);

    paint_vignette(painter, QRectF(0, 0, w, h), QColor(40, 60, 110), 0.25);
    return scene.finish(kSeed);
}

}  // namespace wm::media
