// A pine forest at dusk: the last glow of the sun behind rows of snowy
// forest fading into the haze, under a violet sky with an evening star, and
// great snow-laden spruces framing a clearing in front.

#include "assets/kit/canvas.h"
#include "assets/kit/forest_rows.h"
#include "assets/kit/paint_kit.h"
#include "assets/kit/ridges.h"
#include "assets/kit/snow_ground.h"
#include "assets/kit/spruces.h"
#include "assets/kit/stretched_glow.h"
#include "assets/kit/weather.h"
#include "assets/scenes/scenes.h"

#include <cmath>

namespace wm::media {

namespace {

constexpr std::uint64_t kSeed = 2;

}  // namespace

QImage paint_pine_forest_dusk(QSize size) {
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

    // The dusk sky, from indigo through violet and rose to the glow.
    painter.fillRect(QRectF(0, 0, w, h), vertical_gradient(0, h * 0.72,
                                                           {{0.0, QColor(28, 26, 72)},
                                                            {0.3, QColor(72, 56, 118)},
                                                            {0.58, QColor(160, 100, 140)},
                                                            {0.8, QColor(214, 132, 130)},
                                                            {1.0, QColor(246, 176, 128)}}));
    paint_glow(painter, QPointF(w * 0.5, h * 0.74), h * 0.75, QColor(255, 170, 110), 0.45);
    paint_glow(painter, QPointF(w * 0.5, h * 0.72), h * 0.3, QColor(255, 205, 150), 0.5);
    MediaRandom stars = rng.fork(1);
    paint_stars(painter, stars, QRectF(0, 0, w, h * 0.3), 90, 1.4 * u);
    paint_glow(painter, QPointF(w * 0.27, h * 0.13), 26 * u, QColor(255, 245, 225), 0.5);
    paint_glow(painter, QPointF(w * 0.27, h * 0.13), 5 * u, QColor(255, 250, 240), 1.0);

    // Thin clouds catching the last light from below.
    MediaRandom clouds = rng.fork(2);
    const CloudSpot sky_clouds[] = {
        {0.22, 0.29, 0.3, 30}, {0.68, 0.21, 0.36, 40}, {0.47, 0.36, 0.16, 16}};
    paint_clouds(painter, clouds, picture, u, sky_clouds, QColor(110, 80, 136, 120),
                 QColor(250, 160, 146, 200));

    // Rows of forest, paler and pinker with distance.
    MediaRandom woods = rng.fork(3);
    const ForestRow rows[] = {{0.66, 0.02, 34, QColor(150, 100, 140), QColor(190, 140, 165)},
                              {0.69, 0.04, 44, QColor(112, 76, 122), QColor(170, 122, 155)},
                              {0.73, 0.07, 58, QColor(76, 54, 100), QColor(150, 112, 150)},
                              {0.78, 0.11, 76, QColor(44, 36, 74), QColor(138, 112, 156)}};
    paint_forest_rows(painter, woods, picture, u, rows,
                      {.roughness = 18,
                       .spacing = 0.32,
                       .snow_cover = 0.55,
                       .light_from_left = true,
                       .mist_above = 0.015,
                       .mist_depth = 0.07,
                       .mist = QColor(230, 150, 140),
                       .mist_strength = 0.22});

    // The clearing: snow reflecting the sky, blue-violet in its hollows.
    MediaRandom snow = rng.fork(4);
    DriftLook drift;
    drift.lit = QColor(236, 190, 196);
    drift.body = QColor(176, 150, 190);
    drift.shadow = QColor(84, 74, 130);
    drift.rim = QColor(255, 214, 196);
    drift.depth = 190 * u;
    drift.unit = u;
    drift.light_from_left = false;
    std::vector<QPointF> clearing = drift_crest(snow, {0, w, h * 0.82, 10 * u, 1.7, 3});
    open_valley(clearing, w * 0.5, w * 0.5, h * 0.1);
    paint_drift(painter, clearing, h, drift);
    std::vector<QPointF> near = drift_crest(snow, {0, w, h * 0.92, 14 * u, 1.2, 3});
    open_valley(near, w * 0.5, w * 0.5, h * 0.06);
    paint_drift(painter, near, h, drift);

    // The glow's warmth on the clearing, and a few buried shrubs and rocks.
    paint_stretched_glow(painter, QPointF(w * 0.5, h * 0.84), h * 0.12, 3.2, 1.0,
                         QColor(255, 190, 170), 0.35);
    DriftLook mound = drift;
    mound.lit = mix(drift.lit, drift.body, 0.35);
    const MoundSpot mounds[] = {
        {0.36, 0.86, 120, 30}, {0.405, 0.872, 56, 15}, {0.66, 0.9, 150, 34}, {0.57, 0.83, 46, 10}};
    paint_snow_mounds(painter, snow, picture, u, mounds, mound);

    // Great spruces framing the clearing, backlit by the glow.
    MediaRandom trees = rng.fork(5);
    SpruceLook spruce;
    spruce.needles = QColor(22, 24, 48);
    spruce.needles_lit = QColor(50, 44, 78);
    spruce.snow = QColor(236, 206, 220);
    spruce.snow_shade = QColor(104, 92, 146);
    spruce.snow_load = 1.15;
    spruce.light_from_left = false;
    const TreeSpot framing[] = {{0.23, 0.84, 330}, {0.79, 0.85, 350},  {0.13, 0.93, 620},
                                {0.88, 0.95, 680}, {0.03, 1.05, 1020}, {0.985, 1.04, 960}};
    for (const TreeSpot& tree : framing) {
        // A soft hollow of shade where each tree stands.
        paint_stretched_glow(painter, QPointF(w * tree.x, h * tree.base), tree.height * 0.09 * u,
                             2.6, 1.0, QColor(60, 50, 110), 0.55);
    }
    paint_spruces(painter, trees, picture, u, framing, spruce);

    return scene.finish(kSeed);
}

}  // namespace wm::media
