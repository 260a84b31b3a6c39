// Sunrise over snowfields: the sun lifting over far pink-lit hills, gold
// rims on every crest of the backlit fields, and long blue shadows from a
// copse of spruces and an old buried fence reaching toward us.

#include "assets/kit/canvas.h"
#include "assets/kit/mountains.h"
#include "assets/kit/paint_kit.h"
#include "assets/kit/sky_lights.h"
#include "assets/kit/snow_ground.h"
#include "assets/kit/spruces.h"
#include "assets/kit/stretched_glow.h"
#include "assets/kit/weather.h"
#include "assets/scenes/scenes.h"

#include <cmath>

namespace wm::media {

namespace {

constexpr std::uint64_t kSeed = 8;

// Where a shadow cast by something standing at `foot` points, for a sun low
// over `sun`: straight away from it, across the snow toward us.
QPointF away_from(QPointF sun, QPointF foot, double length) {
    const QPointF d = foot - sun;
    const double n = std::hypot(d.x(), d.y());
    return n > 0.0 ? d * (length / n) : QPointF(0.0, length);
}

// A weathered fence post sunk in the snow, with a cap of snow on top.
void paint_post(QPainter& painter, QPointF foot, double height, const QColor& wood,
                const QColor& snow) {
    const double half = height * 0.09;
    QPainterPath post;
    post.moveTo(foot + QPointF(-half, 0));
    post.lineTo(foot + QPointF(-half * 0.9, -height));
    post.lineTo(foot + QPointF(half * 0.3, -height * 1.04));
    post.lineTo(foot + QPointF(half, -height * 0.97));
    post.lineTo(foot + QPointF(half * 1.05, 0));
    post.closeSubpath();
    painter.setBrush(wood);
    painter.drawPath(post);
    painter.setBrush(snow);
    painter.drawEllipse(foot + QPointF(0, -height * 1.02), half * 1.3, half * 0.55);
}

}  // namespace

QImage paint_snowfield_sunrise(QSize size) {
    if (!SceneCanvas::usable(size)) {
        return {};
    }
    MediaRandom rng(kSeed);
    SceneCanvas scene(size);
    QPainter& painter = scene.painter();
    const double w = scene.w;
    const double h = scene.h;
    const double u = scene.u;
    const double horizon = h * 0.42;
    const QPointF sun(w * 0.82, h * 0.35);

    // Morning sky: soft blue overhead, rose, then gold at the horizon.
    painter.fillRect(QRectF(0, 0, w, h), vertical_gradient(0, horizon,
                                                           {{0.0, QColor(74, 124, 196)},
                                                            {0.45, QColor(164, 168, 208)},
                                                            {0.75, QColor(240, 182, 156)},
                                                            {1.0, QColor(255, 212, 148)}}));
    MediaRandom clouds = rng.fork(1);
    const CloudSpot sky_clouds[] = {
        {0.3, 0.16, 0.34, 24}, {0.62, 0.1, 0.26, 18}, {0.12, 0.27, 0.2, 14}, {0.7, 0.25, 0.18, 12}};
    paint_clouds(painter, clouds, QSizeF(size), u, sky_clouds, QColor(160, 140, 190, 150),
                 QColor(255, 200, 160, 220));
    paint_sun(painter, sun, 52 * u, QColor(255, 240, 200), QColor(255, 196, 120));

    // Far hills, pink where the sun catches them.
    MediaRandom hills = rng.fork(2);
    RangeShape far_shape;
    far_shape.left = 0;
    far_shape.right = w;
    far_shape.foot = horizon + 8 * u;
    far_shape.bottom = h * 0.5;
    far_shape.crag = 6 * u;
    far_shape.peaks = {{w * 0.15, h * 0.33, 0.35, 0.45},
                       {w * 0.42, h * 0.36, 0.4, 0.35},
                       {w * 0.68, h * 0.37, 0.35, 0.4},
                       {w * 0.95, h * 0.355, 0.4, 0.35}};
    RangeLook far_look;
    far_look.snow = QColor(232, 190, 200);
    far_look.rock = QColor(150, 120, 160);
    far_look.shade = QColor(180, 165, 215);
    far_look.rim = QColor(255, 220, 170);
    far_look.haze = QColor(226, 184, 190);
    far_look.haze_top = 0.3;
    far_look.haze_foot = 0.7;
    far_look.snow_cover = 1.0;
    far_look.detail = 0.2;
    far_look.unit = u;
    far_look.light_from_left = false;
    paint_range(painter, make_range(hills, far_shape), far_look);

    // Rolling snowfields stepping toward us, backlit: lavender faces and
    // gold along every crest.
    DriftLook field;
    field.lit = QColor(255, 214, 180);
    field.body = QColor(170, 160, 208);
    field.shadow = QColor(104, 110, 180);
    field.rim = QColor(255, 232, 170);
    field.unit = u;
    field.light_from_left = false;
    MediaRandom fields = rng.fork(3);
    struct Swell {
        double crest, swell, waves, depth;
    };
    const Swell swells[] = {{0.433, 5, 2.5, 50}, {0.49, 10, 2.2, 90}, {0.56, 18, 1.8, 140}};
    for (const Swell& s : swells) {
        field.depth = s.depth * u;
        paint_drift(painter, drift_crest(fields, {0, w, h * s.crest, s.swell * u, s.waves, 3}), h,
                    field);
    }

    // The sun's light lying across the fields below it.
    paint_stretched_glow(painter, QPointF(sun.x(), h * 0.5), h * 0.13, 3.0, 1.0,
                         QColor(255, 214, 160), 0.45);

    // A copse of spruces on the left, its shadows stretching across the snow.
    MediaRandom copse = rng.fork(4);
    SpruceLook spruce;
    spruce.needles = QColor(40, 40, 72);
    spruce.needles_lit = QColor(78, 66, 96);
    spruce.snow = QColor(250, 214, 200);
    spruce.snow_shade = QColor(150, 140, 196);
    spruce.snow_load = 0.9;
    spruce.light_from_left = false;
    const QColor shadow(96, 92, 170, 120);
    const TreeSpot trees[] = {{0.06, 0.6, 200},
                              {0.1, 0.595, 150},
                              {0.135, 0.605, 230},
                              {0.165, 0.6, 120},
                              {0.02, 0.61, 170}};
    for (const TreeSpot& tree : trees) {
        const QPointF foot(w * tree.x, h * tree.base);
        paint_cast_shadow(painter, foot, away_from(sun, foot, tree.height * 2.2 * u),
                          tree.height * 0.2 * u, tree.height * 0.05 * u, shadow);
    }
    paint_spruces(painter, copse, QSizeF(size), u, trees, spruce);

    // The nearer field, then the old fence running down through it.
    field.depth = 220 * u;
    field.rim_width = 3.0;
    paint_drift(painter, drift_crest(fields, {0, w, h * 0.66, 22 * u, 1.6, 3}), h, field);
    const QColor wood(72, 54, 70);
    const QColor cap(255, 226, 208);
    const int posts = 9;
    for (int i = 0; i < posts; ++i) {
        // Posts nearer to us stand taller and further apart.
        const double t = std::pow(static_cast<double>(i) / (posts - 1), 1.6);
        const QPointF foot(w * (0.3 + 0.5 * t), h * (0.68 + 0.3 * t));
        const double tall = (26 + 110 * t) * u;
        paint_cast_shadow(painter, foot, away_from(sun, foot, tall * 3.2), tall * 0.2, tall * 0.12,
                          shadow);
        if (i > 0) {
            const double pt = std::pow(static_cast<double>(i - 1) / (posts - 1), 1.6);
            const QPointF prev(w * (0.3 + 0.5 * pt), h * (0.68 + 0.3 * pt));
            const double prev_tall = (26 + 110 * pt) * u;
            painter.setPen(QPen(wood, std::max(1.0, tall * 0.06), Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(prev - QPointF(0, prev_tall * 0.6), foot - QPointF(0, tall * 0.6));
            painter.setPen(Qt::NoPen);
        }
        paint_post(painter, foot, tall, wood, cap);
    }

    // Drifted snow in front, catching the light along its crest.
    field.depth = 260 * u;
    field.rim_width = 4.0;
    paint_drift(painter, drift_crest(fields, {0, w, h * 0.9, 26 * u, 1.3, 3}), h, field);
    MediaRandom grass = rng.fork(6);
    struct Tuft {
        double x, y, height;
    };
    for (const Tuft& t : {Tuft{0.1, 0.95, 150}, Tuft{0.14, 0.97, 100}, Tuft{0.92, 0.94, 130},
                          Tuft{0.47, 0.76, 44}, Tuft{0.23, 0.73, 36}, Tuft{0.62, 0.99, 110}}) {
        const QPointF foot(w * t.x, h * t.y);
        paint_grass_tuft(painter, grass, foot, t.height * u, QColor(120, 84, 70),
                         away_from(sun, foot, t.height * 1.8 * u), QColor(110, 104, 180, 110));
    }

    MediaRandom sparkle = rng.fork(5);
    paint_glints(painter, sparkle, QRectF(w * 0.3, h * 0.84, w * 0.7, h * 0.16), 30, 1.4 * u,
                 QColor(255, 244, 220));

    return scene.finish(kSeed);
}

}  // namespace wm::media
