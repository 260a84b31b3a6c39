// Moonlit mountain peaks: a big moon over a massif of snowy peaks and
// glaciers, a sea of mist in the valley below, and a dark wooded ridge with
// snow-laden spruces in front.

#include "assets/kit/canvas.h"
#include "assets/kit/forest_rows.h"
#include "assets/kit/mountains.h"
#include "assets/kit/paint_kit.h"
#include "assets/kit/ridges.h"
#include "assets/kit/sky_lights.h"
#include "assets/kit/snow_ground.h"
#include "assets/kit/spruces.h"
#include "assets/kit/weather.h"
#include "assets/scenes/scenes.h"

#include <cmath>

namespace wm::media {

namespace {

constexpr std::uint64_t kSeed = 10;

}  // namespace

QImage paint_moonlit_peaks(QSize size) {
    if (!SceneCanvas::usable(size)) {
        return {};
    }
    MediaRandom rng(kSeed);
    SceneCanvas scene(size);
    QPainter& painter = scene.painter();
    const double w = scene.w;
    const double h = scene.h;
    const double u = scene.u;
    const QSizeF picture(size);

    // Night sky, lightening toward the valley haze.
    painter.fillRect(QRectF(0, 0, w, h), vertical_gradient(0, h * 0.62,
                                                           {{0.0, QColor(6, 10, 30)},
                                                            {0.5, QColor(18, 30, 70)},
                                                            {1.0, QColor(48, 70, 120)}}));
    MediaRandom stars = rng.fork(1);
    paint_stars(painter, stars, QRectF(0, 0, w, h * 0.5), 260, 1.8 * u);
    MediaRandom moon = rng.fork(2);
    paint_moon(painter, moon, QPointF(w * 0.76, h * 0.2), 84 * u, QColor(246, 240, 222),
               QColor(150, 175, 230));

    const QColor moonlit_snow(206, 217, 240);
    const QColor shade(70, 85, 150);

    // Far range, deep in the haze.
    MediaRandom far_rng = rng.fork(3);
    RangeShape far;
    far.left = 0;
    far.right = w;
    far.foot = h * 0.56;
    far.bottom = h * 0.7;
    far.crag = 14 * u;
    far.peaks = {{w * 0.08, h * 0.36, 0.7, 0.6},
                 {w * 0.3, h * 0.3, 0.6, 0.8},
                 {w * 0.52, h * 0.33, 0.7, 0.6},
                 {w * 0.68, h * 0.37, 0.6, 0.7},
                 {w * 0.95, h * 0.32, 0.8, 0.6}};
    RangeLook far_look;
    far_look.snow = QColor(150, 170, 215);
    far_look.rock = QColor(70, 85, 130);
    far_look.shade = QColor(150, 160, 205);
    far_look.rim = QColor(210, 225, 255);
    far_look.haze = QColor(60, 82, 135);
    far_look.haze_top = 0.35;
    far_look.haze_foot = 0.8;
    far_look.snow_cover = 0.5;
    far_look.detail = 0.2;
    far_look.unit = u;
    far_look.light_from_left = false;
    paint_range(painter, make_range(far_rng, far), far_look);

    // The massif.
    MediaRandom main_rng = rng.fork(4);
    RangeShape massif;
    massif.left = -w * 0.05;
    massif.right = w * 1.05;
    massif.foot = h * 0.62;
    massif.bottom = h * 0.75;
    massif.crag = 26 * u;
    massif.peaks = {{w * 0.14, h * 0.3, 0.9, 0.8},
                    {w * 0.37, h * 0.11, 1.05, 0.95},
                    {w * 0.56, h * 0.24, 0.8, 1.0},
                    {w * 0.72, h * 0.33, 0.9, 0.8},
                    {w * 0.9, h * 0.27, 0.8, 0.9}};
    RangeLook main_look;
    main_look.snow = moonlit_snow;
    main_look.rock = QColor(70, 78, 110);
    main_look.shade = shade;
    main_look.rim = QColor(235, 240, 255);
    main_look.haze = QColor(55, 78, 130);
    main_look.haze_top = 0.0;
    main_look.haze_foot = 0.65;
    main_look.snow_cover = 1.0;
    main_look.detail = 1.0;
    main_look.unit = u;
    main_look.light_from_left = false;
    main_look.glaciers = true;
    paint_range(painter, make_range(main_rng, massif), main_look);

    // The massif's foot lost in mist, and wooded ridges stepping toward us.
    MediaRandom wood_rng = rng.fork(5);
    paint_mist(painter, wood_rng, QRectF(-w * 0.1, h * 0.44, w * 1.2, h * 0.26),
               QColor(95, 118, 170), 0.85);
    const ForestRow woods[] = {{0.64, 0.02, 40, QColor(50, 68, 114), QColor(112, 132, 182)},
                               {0.7, 0.05, 54, QColor(30, 44, 82), QColor(100, 120, 172)},
                               {0.77, 0.08, 70, QColor(15, 25, 50), QColor(96, 116, 168)}};
    paint_forest_rows(painter, wood_rng, picture, u, woods,
                      {.roughness = 26,
                       .spacing = 0.3,
                       .snow_cover = 0.6,
                       .light_from_left = false,
                       .mist_above = 0.02,
                       .mist_depth = 0.1,
                       .mist = QColor(80, 100, 150),
                       .mist_strength = 0.35});

    // Snowy foreground, rising to the big spruces at the sides.
    MediaRandom drift_rng = rng.fork(7);
    DriftLook drift;
    drift.lit = QColor(186, 200, 230);
    drift.body = QColor(118, 136, 186);
    drift.shadow = QColor(46, 60, 110);
    drift.rim = QColor(225, 234, 255);
    drift.depth = 170 * u;
    drift.unit = u;
    drift.light_from_left = false;
    std::vector<QPointF> slope = drift_crest(drift_rng, {0, w, h * 0.83, 14 * u, 2.3, 3});
    open_valley(slope, w * 0.45, w * 0.55, h * 0.07);
    paint_drift(painter, slope, h, drift);
    std::vector<QPointF> bank =
        drift_crest(drift_rng, {w * 0.25, w * 1.02, h * 0.93, 12 * u, 1.4, 3});
    for (QPointF& p : bank) {
        const double along = (p.x() - w * 0.25) / (w * 0.77);
        p.ry() += h * 0.1 * (1.0 - std::sin(3.14159 * along));
    }
    paint_drift(painter, bank, h, drift);
    MediaRandom details = rng.fork(9);
    DriftLook mound = drift;
    mound.lit = mix(drift.lit, drift.body, 0.3);
    const MoundSpot humps[] = {{0.5, 0.86, 140, 30}, {0.56, 0.875, 60, 14}, {0.34, 0.9, 90, 20}};
    paint_snow_mounds(painter, details, picture, u, humps, mound);
    for (const double x : {0.27, 0.62, 0.72}) {
        paint_grass_tuft(painter, details, QPointF(w * x, h * (0.9 + 0.05 * x)), 70 * u,
                         QColor(40, 44, 70), QPointF(-90 * u, 12 * u), QColor(40, 50, 100, 110));
    }
    paint_glints(painter, details, QRectF(w * 0.2, h * 0.84, w * 0.6, h * 0.16), 22, u,
                 QColor(225, 235, 255));

    MediaRandom trees = rng.fork(8);
    SpruceLook spruce;
    spruce.needles = QColor(14, 30, 40);
    spruce.needles_lit = QColor(32, 62, 74);
    spruce.snow = QColor(205, 216, 240);
    spruce.snow_shade = QColor(80, 98, 150);
    spruce.snow_load = 1.0;
    spruce.light_from_left = false;
    const QColor moon_shadow(30, 40, 90, 150);
    const TreeSpot framing[] = {
        {0.06, 1.02, 560}, {0.165, 0.985, 330}, {0.905, 1.03, 470}, {0.97, 0.95, 260}};
    for (const TreeSpot& tree : framing) {
        const QPointF at(w * tree.x, h * tree.base);
        paint_cast_shadow(painter, at - QPointF(0, 6 * u), QPointF(-tree.height * 0.9 * u, 40 * u),
                          tree.height * 0.3 * u, 10 * u, moon_shadow);
    }
    paint_spruces(painter, trees, picture, u, framing, spruce);

    return scene.finish(kSeed);
}

}  // namespace wm::media
