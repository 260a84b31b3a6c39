// A village church on a snowy hill under a clear starry night: the Milky
// Way arching across the sky, a bright star shining over the spire, a path
// of little lanterns winding up to the lit door, the village asleep below.

#include "assets/kit/bare_tree.h"
#include "assets/kit/canvas.h"
#include "assets/kit/church.h"
#include "assets/kit/house.h"
#include "assets/kit/mood.h"
#include "assets/kit/paint_kit.h"
#include "assets/kit/ridges.h"
#include "assets/kit/street.h"
#include "assets/kit/tree_line.h"
#include "assets/kit/vignette.h"
#include "assets/scenes/scenes.h"

#include <cmath>
#include <vector>

namespace wm::media {

namespace {

constexpr std::uint64_t kSeed = 0xC4C4570A;

// A normally distributed number (mean 0, spread about 1) from four uniforms.
double bell(MediaRandom& rng) {
    double sum = 0.0;
    for (int i = 0; i < 4; ++i) {
        sum += rng.uniform();
    }
    return (sum - 2.0) * 1.7;
}

// The Milky Way from `from` to `to`, `width` across: a soft glow of star
// dust, a dark rift of dust along it and a swarm of faint stars.
void paint_milky_way(QPainter& painter, MediaRandom& rng, QPointF from, QPointF to, double width) {
    const QPointF along = to - from;
    const double span = std::hypot(along.x(), along.y());
    const QPointF across = QPointF(-along.y(), along.x()) / span;
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Plus);
    for (int i = 0; i < 70; ++i) {
        const double t = rng.uniform();
        const double swell = 0.55 + 0.45 * std::sin(t * 3.14159);
        const QPointF at = from + along * t + across * bell(rng) * width * 0.18;
        const double size = rng.range(0.25, 0.55);
        const double warmth = rng.uniform();
        paint_glow(painter, at, width * size * swell,
                   mix(QColor(60, 56, 90), QColor(80, 70, 70), warmth), 0.22);
    }
    painter.restore();
    // The dark rift.
    for (int i = 0; i < 40; ++i) {
        const double t = rng.range(0.1, 0.9);
        const QPointF at = from + along * t +
                           across * (width * 0.08 * std::sin(t * 7.0) + bell(rng) * width * 0.04);
        paint_glow(painter, at, width * rng.range(0.08, 0.16), QColor(10, 12, 34), 0.28);
    }
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 1600; ++i) {
        const double t = rng.uniform();
        const QPointF at = from + along * t + across * bell(rng) * width * 0.2;
        const double bright = rng.range(0.2, 0.75);
        painter.setBrush(
            with_alpha(mix(QColor(230, 230, 255), QColor(255, 236, 214), rng.uniform()), bright));
        const double radius = rng.range(0.4, 1.1) * width / 260.0;
        painter.drawEllipse(at, radius, radius);
    }
}

// A bright star with long soft rays.
void paint_bright_star(QPainter& painter, QPointF centre, double size) {
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Plus);
    paint_glow(painter, centre, size * 5.0, QColor(110, 110, 150), 0.5);
    paint_glow(painter, centre, size * 1.6, QColor(255, 240, 210), 0.9);
    const auto ray = [&](double angle, double reach, double thickness, double strength) {
        painter.save();
        painter.translate(centre);
        painter.rotate(angle);
        painter.scale(1.0, thickness / reach);
        paint_glow(painter, QPointF(0, 0), reach, QColor(255, 246, 226), strength);
        painter.restore();
    };
    ray(90.0, size * 9.0, size * 0.35, 0.9);
    ray(0.0, size * 6.0, size * 0.3, 0.8);
    ray(45.0, size * 3.0, size * 0.2, 0.5);
    ray(-45.0, size * 3.0, size * 0.2, 0.5);
    painter.restore();
    painter.setBrush(QColor(255, 255, 250));
    painter.drawEllipse(centre, size * 0.35, size * 0.35);
}

}  // namespace

QImage paint_starry_church(QSize size) {
    if (!SceneCanvas::usable(size)) {
        return {};
    }
    MediaRandom rng(kSeed);
    SceneCanvas scene(size);
    QPainter& painter = scene.painter();
    const double w = scene.w;
    const double h = scene.h;
    const double u = scene.u;

    const Mood mood{QColor(30, 38, 88),   0.8, -1.0, QColor(156, 176, 218), QColor(78, 92, 150),
                    QColor(255, 188, 98), 1.0, 0.0};

    // A deep indigo sky with a faint green-blue airglow along the horizon.
    painter.fillRect(QRectF(0, 0, w, h), vertical_gradient(0, h * 0.68,
                                                           {{0.0, QColor(6, 6, 26)},
                                                            {0.45, QColor(18, 20, 62)},
                                                            {0.8, QColor(30, 46, 96)},
                                                            {1.0, QColor(46, 84, 118)}}));
    MediaRandom sky = rng.fork(1);
    paint_milky_way(painter, sky, QPointF(w * 0.34, -h * 0.06), QPointF(w * 1.06, h * 0.42),
                    260 * u);
    paint_stars(painter, sky, QRectF(0, 0, w, h * 0.42), 700, 2.4 * u);
    paint_stars(painter, sky, QRectF(0, h * 0.42, w, h * 0.2), 60, 1.2 * u);

    // Hills fading into the night, the village below on the right.
    MediaRandom land = rng.fork(2);
    const double edge = 40 * u;
    const auto far = ridge_line(land, -edge, w + edge, h * 0.64, 40 * u, 0.5, 6);
    painter.setBrush(vertical_gradient(h * 0.58, h * 0.75,
                                       {{0.0, QColor(70, 86, 136)}, {1.0, QColor(52, 64, 112)}}));
    painter.drawPath(smooth_area_below(far, h));
    paint_tree_line(painter, land, w * 0.45, w, h * 0.665, 44 * u, QColor(34, 44, 84),
                    QColor(100, 116, 166));

    // The valley with the village.
    const auto valley = ridge_line(land, -edge, w + edge, h * 0.72, 16 * u, 0.45, 6);
    painter.setBrush(
        vertical_gradient(h * 0.7, h, {{0.0, QColor(112, 130, 180)}, {1.0, QColor(84, 100, 156)}}));
    painter.drawPath(smooth_area_below(valley, h));
    MediaRandom village = rng.fork(3);
    Mood far_mood = mood;
    far_mood.snow = mix(mood.snow, QColor(90, 108, 160), 0.35);
    far_mood.ambient = mix(mood.ambient, QColor(70, 86, 136), 0.3);
    for (int i = 0; i < 7; ++i) {
        const double x = w * (0.5 + i * 0.07) + village.range(-20, 20) * u;
        if (village.chance(0.35)) {
            paint_pine(painter, village, QPointF(x, line_height(valley, x) + 14 * u),
                       village.range(90, 140) * u, QColor(30, 48, 64), far_mood.snow, 0.45);
            continue;
        }
        House house;
        house.base = QPointF(x, line_height(valley, x) + village.range(10, 22) * u);
        house.width = village.range(60, 80) * u;
        house.wall_height = village.range(38, 48) * u;
        house.roof_height = village.range(30, 40) * u;
        house.depth = village.range(24, 36) * u;
        house.side = village.chance(0.5) ? 1 : -1;
        house.roof = village.chance(0.5) ? RoofKind::GableFront : RoofKind::EaveFront;
        house.wall = mix(QColor(190, 150, 120), QColor(90, 100, 150), 0.3);
        house.lit = 0.8;
        house.smoke = village.chance(0.6);
        paint_house(painter, village, house, far_mood);
    }

    // The church hill rising on the left.
    std::vector<QPointF> hill;
    for (int i = 0; i <= 32; ++i) {
        const double x = -edge + (w * 0.75 + edge) * i / 32.0;
        const double t = x / (w * 0.75);
        const double crest = h * 0.745 + h * 0.2 * std::pow(std::max(0.0, t - 0.4), 1.6);
        hill.emplace_back(x, crest + land.range(-3, 3) * u);
    }
    hill.emplace_back(w + edge, h * 0.95);
    painter.setBrush(vertical_gradient(
        h * 0.73, h,
        {{0.0, QColor(150, 170, 214)}, {0.5, QColor(124, 144, 196)}, {1.0, QColor(96, 112, 168)}}));
    painter.drawPath(smooth_area_below(hill, h + edge));

    MediaRandom church_rng = rng.fork(4);
    paint_bare_tree(painter, church_rng, QPointF(w * 0.47, h * 0.765), 330 * u, QColor(40, 40, 60),
                    mood);
    Church church;
    church.base = QPointF(w * 0.2, h * 0.76);
    church.nave_width = 360 * u;
    church.nave_height = 128 * u;
    church.tower_width = 108 * u;
    church.tower_height = 330 * u;
    church.spire_height = 300 * u;
    church.depth = 110 * u;
    church.tower_side = -1;
    church.wall = QColor(214, 204, 190);
    church.roof_colour = QColor(70, 76, 100);
    const QPointF tip = paint_church(painter, church_rng, church, mood);
    paint_bright_star(painter, QPointF(tip.x() + 40 * u, h * 0.1), 16 * u);
    paint_pine(painter, church_rng, QPointF(w * 0.5, h * 0.8), 210 * u, QColor(26, 44, 62),
               mood.snow, 0.5);
    paint_pine(painter, church_rng, QPointF(w * 0.53, h * 0.81), 160 * u, QColor(26, 44, 62),
               mood.snow, 0.5);

    // A path of little lanterns winding down from the church door, through
    // a gap in the churchyard fence.
    const QPointF door(church.base.x() - church.tower_width * 0.25, church.base.y());
    QPainterPath path;
    path.moveTo(door);
    path.cubicTo(door + QPointF(40 * u, 70 * u), QPointF(w * 0.34, h * 0.84),
                 QPointF(w * 0.33, h * 1.03));
    QPainterPathStroker widen;
    widen.setCapStyle(Qt::FlatCap);
    widen.setWidth(30 * u);
    const QPainterPath trodden = widen.createStroke(path);
    painter.setBrush(QColor(166, 184, 226));
    painter.drawPath(trodden.translated(0, -2 * u));
    painter.setBrush(vertical_gradient(
        h * 0.76, h, {{0.0, QColor(118, 136, 186)}, {1.0, QColor(96, 112, 166)}}));
    painter.drawPath(trodden);
    paint_fence(painter, church_rng, {QPointF(w * 0.03, h * 0.8), QPointF(w * 0.2, h * 0.808)},
                42 * u, QColor(110, 90, 80), FenceKind::Rails, mood);
    paint_fence(painter, church_rng, {QPointF(w * 0.25, h * 0.81), QPointF(w * 0.46, h * 0.815)},
                42 * u, QColor(110, 90, 80), FenceKind::Rails, mood);
    for (int i = 1; i < 9; ++i) {
        const double t = i / 9.0;
        const QPointF at = path.pointAtPercent(t);
        const double side = (i % 2) != 0 ? 1.0 : -1.0;
        const QPointF lamp = at + QPointF(side * (16 + 26 * t) * u, -4 * u);
        painter.save();
        painter.setCompositionMode(QPainter::CompositionMode_Plus);
        paint_glow(painter, lamp, (30 + 46 * t) * u, QColor(255, 170, 80), 0.45);
        painter.restore();
        painter.setBrush(QColor(60, 50, 50));
        painter.drawRect(QRectF(lamp.x() - (2 + 2 * t) * u, lamp.y() - (5 + 6 * t) * u,
                                (4 + 4 * t) * u, (1.5 + 1.5 * t) * u));
        painter.setBrush(QColor(255, 226, 160));
        painter.drawEllipse(lamp, (2.5 + 3 * t) * u, (3.5 + 4 * t) * u);
    }

    // Dark firs framing the foreground.
    MediaRandom near = rng.fork(5);
    const auto bank = ridge_line(near, -edge, w + edge, h * 0.95, 18 * u, 0.4, 5);
    painter.setBrush(vertical_gradient(
        h * 0.92, h, {{0.0, QColor(120, 138, 190)}, {1.0, QColor(88, 102, 158)}}));
    painter.drawPath(smooth_area_below(bank, h + edge));
    for (const double at : {0.6, 0.635, 0.7}) {
        paint_pine(painter, near, QPointF(w * at, h * (0.855 + (at - 0.6) * 0.4)),
                   near.range(110, 170) * u, QColor(28, 46, 64), mood.snow, 0.5);
    }
    paint_tree_line(painter, near, w * 0.93, w * 1.02, h * 1.0, 520 * u, QColor(12, 18, 42),
                    QColor(100, 116, 170));
    paint_tree_line(painter, near, -w * 0.03, w * 0.02, h * 1.02, 340 * u, QColor(12, 18, 42),
                    QColor(100, 116, 170));

    paint_vignette(painter, QRectF(0, 0, w, h), QColor(2, 4, 16), 0.6);
    return scene.finish(kSeed);
}

}  // namespace wm::media
