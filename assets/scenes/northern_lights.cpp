// Northern lights: green curtains of aurora with violet hems folding across a
// starry sky, over a dark snowy ridge of spruces and a snowfield that holds
// their green light.

#include "assets/kit/aurora.h"
#include "assets/kit/canvas.h"
#include "assets/kit/mountains.h"
#include "assets/kit/paint_kit.h"
#include "assets/kit/ridges.h"
#include "assets/kit/snow_ground.h"
#include "assets/kit/spruces.h"
#include "assets/kit/stretched_glow.h"
#include "assets/scenes/scenes.h"

#include <algorithm>
#include <cmath>

namespace wm::media {

namespace {

constexpr std::uint64_t kSeed = 4;

}  // namespace

QImage paint_northern_lights(QSize size) {
    if (!SceneCanvas::usable(size)) {
        return {};
    }
    MediaRandom rng(kSeed);
    SceneCanvas scene(size);
    QPainter& painter = scene.painter();
    const double w = scene.w;
    const double h = scene.h;
    const double u = scene.u;

    // A deep night sky turning teal toward the horizon.
    painter.fillRect(QRectF(0, 0, w, h), vertical_gradient(0, h * 0.66,
                                                           {{0.0, QColor(3, 8, 24)},
                                                            {0.55, QColor(8, 26, 50)},
                                                            {1.0, QColor(18, 58, 76)}}));
    MediaRandom stars = rng.fork(1);
    paint_stars(painter, stars, QRectF(0, 0, w, h * 0.62), 520, 1.9 * u);

    // The curtains: a faint far one low on the right, a violet one high up,
    // then the great fold sweeping up across the sky.
    MediaRandom lights = rng.fork(2);
    AuroraLook far;
    far.left = w * 0.5;
    far.right = w * 1.15;
    far.base = h * 0.46;
    far.sway = h * 0.03;
    far.height = h * 0.16;
    far.low = QColor(60, 200, 150);
    far.high = QColor(70, 60, 160);
    far.strength = 0.35;
    far.folds = 2;
    paint_aurora(painter, lights, far);
    AuroraLook high;
    high.left = w * 0.25;
    high.right = w * 1.1;
    high.base = h * 0.16;
    high.sway = h * 0.05;
    high.height = h * 0.2;
    high.low = QColor(80, 210, 190);
    high.high = QColor(170, 70, 200);
    high.strength = 0.4;
    high.folds = 2;
    paint_aurora(painter, lights, high);
    AuroraLook main;
    main.left = -w * 0.1;
    main.right = w * 1.08;
    main.base = h * 0.25;
    main.rise = -h * 0.42;
    main.sway = h * 0.09;
    main.height = h * 0.32;
    main.low = QColor(90, 255, 170);
    main.high = QColor(150, 80, 200);
    main.strength = 0.9;
    main.folds = 3;
    paint_aurora(painter, lights, main);

    // Low far hills, their snow tinted by the green light.
    MediaRandom hills = rng.fork(3);
    RangeShape far_hills;
    far_hills.left = 0;
    far_hills.right = w;
    far_hills.foot = h * 0.63;
    far_hills.bottom = h * 0.75;
    far_hills.crag = 8 * u;
    far_hills.peaks = {{w * 0.1, h * 0.54, 0.35, 0.3},
                       {w * 0.38, h * 0.565, 0.3, 0.35},
                       {w * 0.62, h * 0.55, 0.4, 0.3}};
    RangeLook hill_look;
    hill_look.snow = QColor(70, 128, 124);
    hill_look.rock = QColor(30, 50, 64);
    hill_look.shade = QColor(110, 130, 165);
    hill_look.rim = QColor(120, 230, 180);
    hill_look.haze = QColor(20, 56, 72);
    hill_look.haze_top = 0.15;
    hill_look.haze_foot = 0.7;
    hill_look.snow_cover = 1.0;
    hill_look.detail = 0.3;
    hill_look.unit = u;
    hill_look.light_from_left = true;
    paint_range(painter, make_range(hills, far_hills), hill_look);
    MediaRandom woods = rng.fork(4);
    const std::vector<QPointF> far_wood = ridge_line(woods, 0, w, h * 0.64, 10 * u, 0.5, 6);
    paint_treeline(painter, woods, far_wood, h, 30 * u, 9 * u,
                   {QColor(12, 34, 46), QColor(60, 120, 116), 0.5, true});

    DriftLook snow;
    snow.lit = QColor(120, 200, 180);
    snow.body = QColor(58, 108, 124);
    snow.shadow = QColor(16, 34, 60);
    snow.rim = QColor(170, 255, 215);
    snow.depth = 220 * u;
    snow.unit = u;
    snow.light_from_left = true;

    // A frozen lake under the far woods, mirroring the lights.
    const QRectF lake(0, h * 0.655, w * 0.85, h * 0.08);
    painter.fillRect(lake, vertical_gradient(lake.top(), lake.bottom(),
                                             {{0.0, QColor(10, 36, 48)},
                                              {0.3, QColor(22, 74, 84)},
                                              {1.0, QColor(30, 96, 100)}}));
    painter.save();
    painter.setClipRect(lake);
    MediaRandom glints = rng.fork(8);
    for (int i = 0; i < 10; ++i) {
        const QPointF at(w * (0.04 + 0.08 * i + glints.range(-0.02, 0.02)),
                         lake.top() + lake.height() * 0.55);
        // Strength before size: the picture depends on the order of the draws.
        const double strength = glints.range(0.15, 0.35);
        const double radius = lake.height() * glints.range(0.8, 1.3);
        paint_stretched_glow(painter, at, radius, 0.35, 1.0, QColor(90, 255, 180), strength);
    }
    painter.fillRect(QRectF(lake.left(), lake.top(), lake.width(), 3 * u), QColor(8, 26, 38));
    painter.restore();

    // The hill on the right with its spruces against the lights.
    MediaRandom hill_rng = rng.fork(5);
    std::vector<QPointF> hill = drift_crest(hill_rng, {0, w * 1.02, h * 0.715, 5 * u, 2.0, 3});
    for (QPointF& p : hill) {
        const double t = std::clamp((p.x() / w - 0.55) / 0.45, 0.0, 1.0);
        p.ry() -= h * 0.2 * t * t * (3.0 - 2.0 * t);
    }
    paint_drift(painter, hill, h, snow);
    SpruceLook spruce;
    spruce.needles = QColor(6, 18, 26);
    spruce.needles_lit = QColor(16, 46, 52);
    spruce.snow = QColor(140, 214, 198);
    spruce.snow_shade = QColor(40, 74, 98);
    spruce.snow_load = 0.9;
    spruce.light_from_left = true;
    // Spruces in stands along the hill, taller toward the right.
    MediaRandom trees = rng.fork(6);
    double x = w * 0.68;
    while (x < w * 1.03) {
        const double t = std::clamp((x / w - 0.68) / 0.32, 0.0, 1.0);
        const double tall = (70 + 300 * t) * trees.range(0.75, 1.15) * u;
        paint_spruce(painter, trees, QPointF(x, line_height(hill, x) + tall * 0.06), tall, spruce);
        // Mostly close together, now and then a gap.
        x += tall * (trees.chance(0.25) ? trees.range(0.6, 1.0) : trees.range(0.18, 0.35));
    }

    // The open snowfield sloping down to the left.
    MediaRandom field = rng.fork(7);
    std::vector<QPointF> slope = drift_crest(field, {0, w, h * 0.79, 10 * u, 1.3, 3});
    for (QPointF& p : slope) {
        p.ry() += h * 0.05 * (p.x() / w);
    }
    paint_drift(painter, slope, h, snow);
    paint_drift(painter, drift_crest(field, {0, w, h * 0.95, 10 * u, 1.1, 3}), h, snow);
    MediaRandom mounds = rng.fork(9);
    DriftLook mound = snow;
    mound.lit = mix(snow.lit, snow.body, 0.3);
    const MoundSpot humps[] = {
        {0.42, 0.86, 130, 30}, {0.465, 0.875, 60, 14}, {0.7, 0.9, 170, 36}, {0.3, 0.83, 44, 10}};
    paint_snow_mounds(painter, mounds, QSizeF(size), u, humps, mound);
    const TreeSpot front[] = {{0.045, 1.02, 560}, {0.13, 0.99, 300}, {0.19, 0.975, 170}};
    paint_spruces(painter, trees, QSizeF(size), u, front, spruce);

    return scene.finish(kSeed);
}

}  // namespace wm::media
