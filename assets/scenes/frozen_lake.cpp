// A frozen lake under mountains on a clear winter afternoon: sunlit peaks
// with blue shadowed faces, a dark forest belt along the far shore, the
// range mirrored in polished ice that is cracked and streaked with snow, and
// a snowy shore with spruces in front.

#include "assets/kit/canvas.h"
#include "assets/kit/ice.h"
#include "assets/kit/mountains.h"
#include "assets/kit/paint_kit.h"
#include "assets/kit/ridges.h"
#include "assets/kit/snow_ground.h"
#include "assets/kit/spruces.h"
#include "assets/kit/stretched_glow.h"
#include "assets/kit/weather.h"
#include "assets/scenes/scenes.h"

#include <algorithm>

namespace wm::media {

namespace {

constexpr std::uint64_t kSeed = 3;

// The same look, seen in the ice: darker, bluer, softer.
RangeLook mirrored(RangeLook look, const QColor& ice) {
    look.snow = mix(look.snow, ice, 0.45);
    look.rock = mix(look.rock, ice, 0.35);
    look.rim = with_alpha(look.rim, 0.0);
    look.haze = mix(look.haze, ice, 0.5);
    look.haze_top = std::min(1.0, look.haze_top + 0.25);
    look.haze_foot = std::min(1.0, look.haze_foot + 0.1);
    return look;
}

}  // namespace

QImage paint_frozen_lake(QSize size) {
    if (!SceneCanvas::usable(size)) {
        return {};
    }
    MediaRandom rng(kSeed);
    SceneCanvas scene(size);
    QPainter& painter = scene.painter();
    const double w = scene.w;
    const double h = scene.h;
    const double u = scene.u;
    const double shore = h * 0.585;  // the far shore, where the ice begins

    // A clear winter sky, paling toward the horizon, with a few soft clouds.
    painter.fillRect(QRectF(0, 0, w, h), vertical_gradient(0, shore,
                                                           {{0.0, QColor(44, 96, 176)},
                                                            {0.6, QColor(110, 160, 214)},
                                                            {1.0, QColor(176, 204, 228)}}));
    paint_glow(painter, QPointF(-w * 0.05, -h * 0.1), h * 0.9, QColor(255, 250, 230), 0.35);
    MediaRandom clouds = rng.fork(1);
    const CloudSpot sky_clouds[] = {
        {0.16, 0.12, 0.2, 40}, {0.62, 0.08, 0.28, 50}, {0.9, 0.18, 0.14, 28}};
    paint_clouds(painter, clouds, QSizeF(size), u, sky_clouds, QColor(255, 255, 255, 235),
                 QColor(190, 206, 228, 235));

    // Two ranges: a far one in the haze and the great one above the shore.
    RangeShape far_shape;
    far_shape.left = 0;
    far_shape.right = w;
    far_shape.foot = h * 0.56;
    far_shape.bottom = shore;
    far_shape.crag = 12 * u;
    far_shape.peaks = {{w * 0.05, h * 0.33, 0.7, 0.6},
                       {w * 0.46, h * 0.3, 0.6, 0.7},
                       {w * 0.66, h * 0.35, 0.7, 0.6},
                       {w * 0.97, h * 0.31, 0.6, 0.7}};
    RangeShape near_shape;
    near_shape.left = -w * 0.05;
    near_shape.right = w * 1.05;
    near_shape.foot = h * 0.58;
    near_shape.bottom = shore;
    near_shape.crag = 22 * u;
    near_shape.peaks = {{w * 0.2, h * 0.17, 0.85, 0.95},
                        {w * 0.38, h * 0.3, 0.9, 0.8},
                        {w * 0.58, h * 0.24, 0.9, 1.0},
                        {w * 0.83, h * 0.14, 0.95, 0.85}};
    MediaRandom ranges = rng.fork(2);
    const MountainRange far = make_range(ranges, far_shape);
    const MountainRange near = make_range(ranges, near_shape);

    RangeLook far_look;
    far_look.snow = QColor(228, 236, 248);
    far_look.rock = QColor(120, 140, 175);
    far_look.shade = QColor(150, 170, 220);
    far_look.rim = QColor(255, 255, 255);
    far_look.haze = QColor(170, 196, 226);
    far_look.haze_top = 0.45;
    far_look.haze_foot = 0.75;
    far_look.snow_cover = 0.9;
    far_look.detail = 0.3;
    far_look.unit = u;
    RangeLook near_look;
    near_look.snow = QColor(252, 250, 246);
    near_look.rock = QColor(78, 82, 98);
    near_look.shade = QColor(105, 140, 215);
    near_look.rim = QColor(255, 255, 255);
    near_look.haze = QColor(130, 160, 200);
    near_look.haze_top = 0.0;
    near_look.haze_foot = 0.6;
    near_look.snow_cover = 1.0;
    near_look.detail = 1.0;
    near_look.unit = u;

    // Forest climbing the lower slopes, and along the far shore.
    MediaRandom woods = rng.fork(3);
    const std::vector<QPointF> slope_line = ridge_line(woods, 0, w, h * 0.51, 18 * u, 0.55, 7);
    const std::vector<QPointF> wood_line = ridge_line(woods, 0, w, h * 0.55, 8 * u, 0.5, 7);
    const TreelineLook slope_look{QColor(62, 96, 118), QColor(170, 192, 216), 0.5, true};
    const TreelineLook wood_look{QColor(30, 58, 70), QColor(180, 200, 220), 0.5, true};

    const auto landscape = [&](const RangeLook& far_paint, const RangeLook& near_paint,
                               const TreelineLook& slope_trees, const TreelineLook& trees) {
        paint_range(painter, far, far_paint);
        paint_range(painter, near, near_paint);
        MediaRandom same_woods = rng.fork(4);
        paint_treeline(painter, same_woods, slope_line, shore + 2 * u, 26 * u, 7 * u, slope_trees);
        painter.fillRect(QRectF(0, h * 0.5, w, shore - h * 0.5),
                         vertical_gradient(h * 0.5, shore,
                                           {{0.0, with_alpha(near_paint.haze, 0.0)},
                                            {1.0, with_alpha(near_paint.haze, 0.45)}}));
        paint_treeline(painter, same_woods, wood_line, shore + 2 * u, 30 * u, 8 * u, trees);
    };
    landscape(far_look, near_look, slope_look, wood_look);

    // The ice: the sky and the range mirrored in it, darker and bluer.
    const QColor ice(70, 120, 160);
    const QRectF lake(0, shore, w, h - shore);
    painter.fillRect(lake, vertical_gradient(shore, h * 0.9,
                                             {{0.0, QColor(150, 186, 214)},
                                              {0.5, QColor(96, 146, 190)},
                                              {1.0, QColor(60, 106, 160)}}));
    painter.save();
    painter.setClipRect(lake);
    painter.translate(0, 2 * shore);
    painter.scale(1, -1);
    painter.setOpacity(0.75);
    landscape(mirrored(far_look, ice), mirrored(near_look, ice),
              {mix(slope_look.trees, ice, 0.3), mix(slope_look.snow, ice, 0.4), 0.5, true},
              {mix(wood_look.trees, ice, 0.3), mix(wood_look.snow, ice, 0.4), 0.5, true});
    painter.restore();
    // A glaze over the reflection, thicker toward us.
    painter.fillRect(lake, vertical_gradient(shore, h,
                                             {{0.0, QColor(120, 160, 200, 40)},
                                              {0.35, QColor(90, 140, 190, 150)},
                                              {1.0, QColor(60, 110, 170, 200)}}));
    // A broad glare from the sun on the polished ice, cracks, and snow lying
    // on it in patches.
    paint_stretched_glow(painter, QPointF(w * 0.3, h * 0.72), h * 0.09, 6.0, 1.0,
                         QColor(235, 248, 255), 0.3);
    MediaRandom cracks = rng.fork(6);
    paint_ice_cracks(painter, cracks, QRectF(0, shore + 8 * u, w, h - shore), 16, u,
                     QColor(40, 80, 120), QColor(235, 248, 255));
    MediaRandom patches = rng.fork(7);
    paint_ice_snow(painter, patches, QRectF(0, shore + 20 * u, w, h * 0.93 - shore), 12, u,
                   QColor(246, 250, 255), QColor(90, 130, 190));

    // The near shore: snowbanks and spruces.
    MediaRandom shore_rng = rng.fork(8);
    DriftLook bank;
    bank.lit = QColor(250, 252, 255);
    bank.body = QColor(210, 224, 242);
    bank.shadow = QColor(120, 150, 205);
    bank.rim = QColor(255, 255, 255);
    bank.depth = 160 * u;
    bank.unit = u;
    std::vector<QPointF> left_bank =
        drift_crest(shore_rng, {-w * 0.02, w * 0.6, h * 0.86, 10 * u, 1.2, 3});
    for (QPointF& p : left_bank) {
        const double t = p.x() / (w * 0.6);
        p.ry() += h * 0.16 * t * t * t;
        p.ry() -= h * 0.1 * (1.0 - t) * (1.0 - t);
    }
    paint_drift(painter, left_bank, h, bank);
    std::vector<QPointF> right_bank =
        drift_crest(shore_rng, {w * 0.55, w * 1.02, h * 0.93, 8 * u, 1.0, 3});
    for (QPointF& p : right_bank) {
        const double t = (p.x() - w * 0.55) / (w * 0.47);
        p.ry() += h * 0.09 * (1.0 - t) * (1.0 - t) * (1.0 - t);
    }
    paint_drift(painter, right_bank, h, bank);
    // Reeds and snowed-over rocks along the waterline.
    MediaRandom shore_details = rng.fork(10);
    DriftLook rock = bank;
    rock.lit = QColor(246, 248, 252);
    rock.body = QColor(190, 206, 230);
    for (const double x : {0.24, 0.29, 0.5}) {
        const double y = line_height(left_bank, w * x);
        paint_snow_mound(painter, shore_details, QPointF(w * x, y + 12 * u), 110 * u, 34 * u, rock);
    }
    for (const double x : {0.2, 0.33, 0.37, 0.44}) {
        const double y = line_height(left_bank, w * x);
        paint_grass_tuft(painter, shore_details, QPointF(w * x, y + 18 * u), 90 * u,
                         QColor(120, 96, 70), QPointF(110 * u, 10 * u), QColor(110, 140, 200, 110));
    }

    SpruceLook spruce;
    spruce.needles = QColor(18, 46, 50);
    spruce.needles_lit = QColor(44, 86, 80);
    spruce.snow = QColor(252, 253, 255);
    spruce.snow_shade = QColor(150, 175, 220);
    spruce.snow_load = 1.0;
    MediaRandom trees = rng.fork(9);
    // Each tree's shadow goes down before it, so it lies under the tree
    // itself but over the trees behind.
    for (const TreeSpot& tree : {TreeSpot{0.035, 0.83, 640}, TreeSpot{0.11, 0.85, 430},
                                 TreeSpot{0.17, 0.87, 260}, TreeSpot{0.96, 1.0, 420}}) {
        const QPointF at(w * tree.x, h * tree.base);
        paint_cast_shadow(painter, at, QPointF(tree.height * 0.55 * u, tree.height * 0.12 * u),
                          tree.height * 0.16 * u, 6 * u, QColor(110, 140, 200, 120));
        paint_spruce(painter, trees, at, tree.height * u, spruce);
    }

    return scene.finish(kSeed);
}

}  // namespace wm::media
