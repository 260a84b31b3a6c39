// A village on a snowy hillside on a moonlit night: rows of houses climbing
// away into the blue haze, their windows warm, smoke rising from chimneys,
// hills and fir woods behind, a lane and a lamp in the foreground.

#include "assets/kit/canvas.h"
#include "assets/kit/house.h"
#include "assets/kit/mood.h"
#include "assets/kit/paint_kit.h"
#include "assets/kit/ridges.h"
#include "assets/kit/sky_lights.h"
#include "assets/kit/street.h"
#include "assets/kit/tree_line.h"
#include "assets/kit/vignette.h"
#include "assets/scenes/scenes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace wm::media {

namespace {

constexpr std::uint64_t kSeed = 0x5E771E01;

const QColor kHaze(96, 118, 172);

// The mood, faded toward the haze for things `distance` (0..1) away.
Mood distant(const Mood& mood, double distance) {
    Mood far = mood;
    far.ambient = mix(mood.ambient, kHaze, distance * 0.5);
    far.snow = mix(mood.snow, kHaze, distance * 0.45);
    far.snow_shade = mix(mood.snow_shade, kHaze, distance * 0.5);
    return far;
}

struct Palette {
    QColor wall;
    QColor roof;
    QColor door;
    WallKind walls;
};

const std::array<Palette, 6> kPalettes = {{
    {QColor(196, 120, 90), QColor(120, 50, 45), QColor(70, 90, 60), WallKind::Plaster},
    {QColor(220, 200, 160), QColor(90, 60, 55), QColor(130, 40, 35), WallKind::Timbered},
    {QColor(120, 150, 170), QColor(70, 60, 70), QColor(150, 50, 40), WallKind::Boards},
    {QColor(210, 170, 110), QColor(110, 60, 40), QColor(60, 80, 110), WallKind::Plaster},
    {QColor(170, 90, 80), QColor(80, 55, 50), QColor(220, 200, 160), WallKind::Boards},
    {QColor(230, 220, 200), QColor(100, 50, 50), QColor(120, 40, 40), WallKind::Plaster},
}};

// A bank of snow under `line`: a moonlit rim along its crest, shading from
// `top` to `bottom` below it.
void paint_snow_bank(QPainter& painter, const std::vector<QPointF>& line, double depth,
                     const QColor& rim, const QColor& top, const QColor& bottom, double u) {
    double crest = line.front().y();
    for (const QPointF& point : line) {
        crest = std::min(crest, point.y());
    }
    const QPainterPath bank = smooth_area_below(line, crest + depth + 400 * u);
    painter.setBrush(rim);
    painter.drawPath(bank);
    painter.setBrush(vertical_gradient(crest, crest + depth, {{0.0, top}, {1.0, bottom}}));
    painter.drawPath(bank.translated(0, 3.5 * u));
}

// A bank of soft cloud, its upper edges silvered by the moon.
void paint_cloud(QPainter& painter, MediaRandom& rng, QPointF centre, double length,
                 double thickness, const QColor& body, const QColor& rim) {
    struct Puff {
        QPointF at;
        double radius;
    };
    std::vector<Puff> puffs;
    const int count = 22;
    for (int i = 0; i < count; ++i) {
        const double t = rng.uniform() - 0.5;
        const double swell = 1.0 - 3.0 * t * t;
        puffs.push_back({centre + QPointF(t * length, rng.range(-0.35, 0.15) * thickness * swell),
                         thickness * swell * rng.range(0.7, 1.3)});
    }
    const auto paint_puffs = [&](QPointF shift, const QColor& colour, double strength) {
        for (const Puff& puff : puffs) {
            painter.save();
            painter.translate(puff.at + shift * puff.radius);
            painter.scale(2.2, 1.0);
            paint_glow(painter, QPointF(0, 0), puff.radius, colour, strength);
            painter.restore();
        }
    };
    paint_puffs(QPointF(0.05, -0.22), rim, 0.3);
    paint_puffs(QPointF(0, 0.05), body, 0.42);
}

// Houses and firs scattered along a ridgeline, about `scale` of full size,
// nearer ones (lower on the screen) painted later.
void paint_row(QPainter& painter, MediaRandom& rng, const std::vector<QPointF>& ground, double left,
               double right, double sink, double scale, double distance, const Mood& mood) {
    const Mood far = distant(mood, distance);
    const QColor needles = mix(QColor(24, 48, 52), kHaze, distance * 0.55);
    struct Placed {
        double y;
        House house;
        bool tree;
        double tree_height;
    };
    std::vector<Placed> placed;
    double x = left;
    while (x < right) {
        if (rng.chance(0.38)) {
            // A fir or two between the houses.
            const double tall = scale * rng.range(150.0, 260.0);
            placed.push_back(
                {line_height(ground, x) + sink * rng.range(0.6, 1.6), House{}, true, tall});
            placed.back().house.base = QPointF(x, placed.back().y);
            x += scale * rng.range(30.0, 60.0);
            continue;
        }
        const Palette& palette = kPalettes[static_cast<std::size_t>(rng.below(6))];
        House house;
        house.width = scale * rng.range(130.0, 220.0);
        house.wall_height = scale * rng.range(90.0, 130.0);
        house.roof_height = scale * rng.range(75.0, 110.0);
        house.depth = scale * rng.range(50.0, 90.0);
        house.roof = rng.chance(0.55) ? RoofKind::GableFront : RoofKind::EaveFront;
        if (house.roof == RoofKind::EaveFront) {
            house.width *= 1.35;
            house.roof_height *= 0.8;
        }
        if (rng.chance(0.3)) {
            house.floors = 2;
            house.wall_height *= 1.55;
        }
        const double middle = x + house.width / 2;
        house.side = middle < (left + right) / 2 ? 1 : -1;
        const double y = line_height(ground, middle) + sink * rng.range(0.7, 1.8);
        house.base = QPointF(x, y);
        house.walls = palette.walls;
        house.wall = mix(palette.wall, kHaze, distance * 0.35);
        house.roof_colour = palette.roof;
        house.door = palette.door;
        house.trim =
            palette.walls == WallKind::Timbered ? QColor(90, 60, 45) : QColor(236, 228, 210);
        house.front_windows = house.roof == RoofKind::EaveFront ? 3 : 2;
        house.lit = 0.7;
        house.chimney_at = rng.range(0.3, 0.7);
        house.smoke = rng.chance(0.55);
        house.wreath = distance < 0.6;
        house.lights = rng.chance(0.3);
        placed.push_back({y, house, false, 0.0});
        x += house.width + house.depth * 0.6 +
             scale * (rng.chance(0.3) ? rng.range(80.0, 160.0) : rng.range(-20.0, 40.0));
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const Placed& a, const Placed& b) { return a.y < b.y; });
    for (const Placed& item : placed) {
        if (item.tree) {
            paint_pine(painter, rng, item.house.base, item.tree_height, needles, far.snow, 0.45);
        } else {
            const HouseMarks marks = paint_house(painter, rng, item.house, far);
            if (distance < 0.6 && rng.chance(0.6)) {
                // A little garden fence in front, open where the path meets the door.
                const double y = item.house.base.y() + scale * 26.0;
                const double gap = scale * 26.0;
                const QColor wood = mix(QColor(236, 228, 214), kHaze, distance * 0.4);
                paint_fence(painter, rng,
                            {QPointF(marks.bounds.left(), y), QPointF(marks.door.x() - gap, y)},
                            scale * 34.0, wood, FenceKind::Picket, far);
                paint_fence(painter, rng,
                            {QPointF(marks.door.x() + gap, y), QPointF(marks.bounds.right(), y)},
                            scale * 34.0, wood, FenceKind::Picket, far);
            }
        }
    }
}

}  // namespace

QImage paint_snowy_village(QSize size) {
    if (!SceneCanvas::usable(size)) {
        return {};
    }
    MediaRandom rng(kSeed);
    SceneCanvas scene(size);
    QPainter& painter = scene.painter();
    const double w = scene.w;
    const double h = scene.h;
    const double u = scene.u;

    const Mood mood{QColor(34, 48, 96),   0.78, 1.0, QColor(206, 218, 244), QColor(104, 122, 182),
                    QColor(255, 186, 96), 1.0,  0.45};

    // Sky: deep at the top, hazy blue toward the hills, a bright moon.
    painter.fillRect(QRectF(0, 0, w, h), vertical_gradient(0, h * 0.62,
                                                           {{0.0, QColor(10, 16, 44)},
                                                            {0.5, QColor(24, 38, 84)},
                                                            {1.0, QColor(72, 94, 150)}}));
    MediaRandom stars = rng.fork(1);
    paint_stars(painter, stars, QRectF(0, 0, w, h * 0.4), 420, 2.2 * u);
    MediaRandom moon = rng.fork(9);
    paint_moon(painter, moon, QPointF(w * 0.8, h * 0.16), 46 * u, QColor(250, 246, 230),
               QColor(170, 190, 240));

    // Soft clouds drifting below the moon.
    MediaRandom clouds = rng.fork(6);
    paint_cloud(painter, clouds, QPointF(w * 0.64, h * 0.25), 560 * u, 40 * u, QColor(60, 78, 130),
                QColor(150, 165, 210));
    paint_cloud(painter, clouds, QPointF(w * 0.93, h * 0.33), 420 * u, 30 * u, QColor(56, 74, 124),
                QColor(140, 155, 200));
    paint_cloud(painter, clouds, QPointF(w * 0.2, h * 0.19), 520 * u, 30 * u, QColor(44, 60, 108),
                QColor(100, 118, 170));

    // Far mountains in the haze, their slopes toward the moon catching its light.
    MediaRandom land = rng.fork(2);
    const double edge = 40 * u;
    const auto range = ridge_line(land, -edge, w + edge, h * 0.47, 150 * u, 0.55, 7);
    painter.setBrush(QColor(128, 146, 198));
    painter.drawPath(smooth_area_below(range, h));
    painter.setBrush(vertical_gradient(
        h * 0.42, h * 0.62, {{0.0, QColor(82, 100, 156)}, {1.0, QColor(104, 124, 178)}}));
    painter.drawPath(smooth_area_below(range, h).translated(-16 * u, 5 * u));
    const auto hill = ridge_line(land, -edge, w + edge, h * 0.6, 26 * u, 0.45, 6);
    paint_snow_bank(painter, hill, 60 * u, QColor(150, 166, 212), QColor(120, 138, 190),
                    QColor(100, 118, 172), u);
    paint_tree_line(painter, land, 0, w, h * 0.605, 50 * u, QColor(54, 70, 118), kHaze);
    const auto upper = ridge_line(land, -edge, w + edge, h * 0.645, 14 * u, 0.45, 6);
    paint_snow_bank(painter, upper, 50 * u, QColor(160, 176, 222), QColor(128, 146, 200),
                    QColor(110, 128, 184), u);

    // The village's lights warm the haze above it.
    painter.save();
    painter.translate(w * 0.5, h * 0.67);
    painter.scale(3.6, 1.0);
    paint_glow(painter, QPointF(0, 0), 260 * u, QColor(255, 170, 110), 0.24);
    painter.restore();

    MediaRandom village = rng.fork(3);
    paint_row(painter, village, upper, w * 0.08, w * 0.93, 10 * u, 0.36 * u, 0.75, mood);
    const auto middle = ridge_line(land, -edge, w + edge, h * 0.735, 18 * u, 0.45, 6);
    paint_snow_bank(painter, middle, 70 * u, QColor(170, 186, 230), QColor(134, 152, 208),
                    QColor(112, 130, 190), u);
    paint_row(painter, village, middle, w * 0.16, w * 0.84, 14 * u, 0.56 * u, 0.45, mood);
    const auto near_slope = ridge_line(land, -edge, w + edge, h * 0.84, 16 * u, 0.4, 6);
    paint_snow_bank(painter, near_slope, 160 * u, QColor(176, 192, 236), QColor(140, 158, 214),
                    QColor(96, 112, 172), u);

    // A trodden lane winding down from the village toward us, lamps along it.
    QPainterPath lane;
    lane.moveTo(w * 0.5, h * 0.77);
    lane.cubicTo(w * 0.56, h * 0.84, w * 0.42, h * 0.9, w * 0.41, h + 10 * u);
    lane.lineTo(w * 0.64, h + 10 * u);
    lane.cubicTo(w * 0.6, h * 0.9, w * 0.6, h * 0.84, w * 0.525, h * 0.77);
    lane.closeSubpath();
    painter.setBrush(with_alpha(QColor(150, 166, 218), 0.8));
    painter.drawPath(lane.translated(0, -3 * u));
    painter.setBrush(vertical_gradient(
        h * 0.77, h, {{0.0, QColor(126, 142, 198)}, {1.0, QColor(100, 114, 172)}}));
    painter.drawPath(lane);
    MediaRandom prints = rng.fork(7);
    painter.setBrush(with_alpha(QColor(80, 94, 150), 0.6));
    for (int i = 0; i < 70; ++i) {
        const double t = prints.uniform();
        const double y = h * (0.79 + 0.21 * t);
        const double centre = w * (0.515 + 0.01 * std::sin(t * 9.0) + 0.01 * t) +
                              ((i % 2) != 0 ? 1.0 : -1.0) * (4 + 10 * t) * u;
        painter.drawEllipse(QPointF(centre, y), (2.0 + 4.0 * t) * u, (1.0 + 2.0 * t) * u);
    }
    // The nearest houses frame the picture at both sides.
    MediaRandom near = rng.fork(4);
    paint_pine(painter, near, QPointF(w * 0.015, h * 0.9), 420 * u, QColor(22, 44, 50), mood.snow,
               0.5);
    House left;
    left.base = QPointF(w * 0.03, h * 0.925);
    left.width = 250 * u;
    left.wall_height = 170 * u;
    left.roof_height = 140 * u;
    left.depth = 120 * u;
    left.side = 1;
    left.walls = WallKind::Plaster;
    left.wall = QColor(200, 110, 80);
    left.roof_colour = QColor(110, 45, 40);
    left.shutters = QColor(60, 90, 70);
    left.wreath = true;
    left.door_lantern = true;
    left.lights = true;
    left.lit = 1.0;
    paint_house(painter, near, left, mood);
    House right;
    right.base = QPointF(w * 0.75, h * 0.94);
    right.width = 320 * u;
    right.wall_height = 160 * u;
    right.roof_height = 120 * u;
    right.depth = 110 * u;
    right.side = -1;
    right.roof = RoofKind::EaveFront;
    right.walls = WallKind::Logs;
    right.wall = QColor(150, 100, 65);
    right.roof_colour = QColor(80, 55, 45);
    right.front_windows = 2;
    right.lit = 1.0;
    right.wreath = true;
    paint_house(painter, near, right, mood);
    paint_pine(painter, near, QPointF(w * 0.985, h * 0.97), 380 * u, QColor(22, 44, 50), mood.snow,
               0.5);
    paint_lamp_post(painter, near, QPointF(w * 0.575, h * 0.81), 110 * u, mood);
    paint_lamp_post(painter, near, QPointF(w * 0.37, h * 0.97), 250 * u, mood);

    MediaRandom snow = rng.fork(5);
    paint_snowfall(painter, snow, QRectF(0, 0, w, h), 260, 0.8 * u, 3.0 * u, QColor(230, 236, 255));
    paint_vignette(painter, QRectF(0, 0, w, h), QColor(6, 10, 30), 0.55);
    return scene.finish(kSeed);
}

}  // namespace wm::media
