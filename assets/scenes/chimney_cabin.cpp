// A log cabin in a forest clearing at twilight: the sky fading from rose to
// violet with a young crescent moon, layers of snowy firs, the cabin's
// windows and lantern glowing warm, smoke curling from its chimney, firewood
// stacked by the wall.

#include "assets/kit/canvas.h"
#include "assets/kit/house.h"
#include "assets/kit/mood.h"
#include "assets/kit/paint_kit.h"
#include "assets/kit/smoke.h"
#include "assets/kit/snow_lip.h"
#include "assets/kit/street.h"
#include "assets/kit/tree_line.h"
#include "assets/kit/vignette.h"
#include "assets/scenes/scenes.h"

#include <cmath>
#include <vector>

namespace wm::media {

namespace {

constexpr std::uint64_t kSeed = 0xCAB1DF1E;

// A thin crescent: the lit limb of a young moon, with a soft glow.
void paint_crescent(QPainter& painter, QPointF centre, double radius) {
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Plus);
    paint_glow(painter, centre, radius * 6.0, QColor(120, 100, 90), 0.35);
    painter.restore();
    QPainterPath disc;
    disc.addEllipse(centre, radius, radius);
    QPainterPath bite;
    bite.addEllipse(centre + QPointF(radius * 0.42, -radius * 0.18), radius * 0.92, radius * 0.92);
    painter.setBrush(QColor(255, 244, 214));
    painter.drawPath(disc.subtracted(bite));
}

// Split logs stacked against a wall, their cut ends toward us, snow on top.
void paint_woodpile(QPainter& painter, MediaRandom& rng, QPointF foot, double width, int rows,
                    const Mood& mood) {
    const double log = width / 7.0;
    painter.setPen(Qt::NoPen);
    for (int row = 0; row < rows; ++row) {
        const int count = 7 - (row % 2);
        const double y = foot.y() - log * 0.45 - row * log * 0.82;
        for (int i = 0; i < count; ++i) {
            const double x = foot.x() + log * (i + 0.5 + (row % 2) * 0.5);
            const double r = log * rng.range(0.44, 0.52);
            const QColor bark = mix(QColor(96, 64, 44), mood.ambient, 0.45);
            const QColor cut = mix(QColor(214, 168, 112), mood.ambient, 0.3);
            painter.setBrush(bark);
            painter.drawEllipse(QPointF(x, y), r, r * 0.95);
            QRadialGradient rings(QPointF(x, y), r * 0.8);
            rings.setColorAt(0.0, cut);
            rings.setColorAt(0.5, mix(cut, bark, 0.25));
            rings.setColorAt(0.62, cut);
            rings.setColorAt(1.0, mix(cut, bark, 0.5));
            painter.setBrush(rings);
            painter.drawEllipse(QPointF(x, y), r * 0.8, r * 0.76);
        }
    }
    const double top = foot.y() - log * 0.45 - (rows - 1) * log * 0.82 - log * 0.45;
    paint_snow_lip(painter, rng, QPointF(foot.x() + log * 0.1, top),
                   QPointF(foot.x() + width - log * 0.1, top), log * 0.45, log * 0.15, mood, false);
}

// A chopping block with an axe in it.
void paint_chopping_block(QPainter& painter, MediaRandom& rng, QPointF foot, double size,
                          const Mood& mood) {
    const QColor bark = mix(QColor(100, 70, 50), mood.ambient, 0.45);
    painter.setBrush(bark);
    painter.drawRect(QRectF(foot.x() - size * 0.5, foot.y() - size * 0.7, size, size * 0.7));
    painter.setBrush(mix(QColor(200, 160, 110), mood.ambient, 0.35));
    painter.drawEllipse(QPointF(foot.x(), foot.y() - size * 0.7), size * 0.5, size * 0.14);
    // The axe: a handle leaning back, the head bitten into the block.
    painter.setPen(QPen(mix(QColor(170, 120, 70), mood.ambient, 0.35), size * 0.07, Qt::SolidLine,
                        Qt::RoundCap));
    painter.drawLine(QPointF(foot.x() - size * 0.05, foot.y() - size * 0.75),
                     QPointF(foot.x() + size * 0.55, foot.y() - size * 1.45));
    painter.setPen(Qt::NoPen);
    QPainterPath head;
    head.moveTo(foot.x() - size * 0.2, foot.y() - size * 0.72);
    head.lineTo(foot.x() + size * 0.08, foot.y() - size * 0.9);
    head.lineTo(foot.x() + size * 0.12, foot.y() - size * 0.78);
    head.lineTo(foot.x() - size * 0.1, foot.y() - size * 0.66);
    head.closeSubpath();
    painter.setBrush(QColor(70, 70, 84));
    painter.drawPath(head);
    paint_snow_lip(painter, rng, QPointF(foot.x() - size * 0.45, foot.y() - size * 0.72),
                   QPointF(foot.x() - size * 0.05, foot.y() - size * 0.74), size * 0.1, 0.0, mood,
                   false);
}

}  // namespace

QImage paint_chimney_cabin(QSize size) {
    if (!SceneCanvas::usable(size)) {
        return {};
    }
    MediaRandom rng(kSeed);
    SceneCanvas scene(size);
    QPainter& painter = scene.painter();
    const double w = scene.w;
    const double h = scene.h;
    const double u = scene.u;

    const Mood mood{QColor(62, 52, 104),  0.68, -1.0, QColor(198, 188, 224), QColor(112, 100, 162),
                    QColor(255, 176, 88), 1.0,  0.2};

    // Twilight: violet overhead, the last rose light low in the west.
    painter.fillRect(QRectF(0, 0, w, h), vertical_gradient(0, h * 0.7,
                                                           {{0.0, QColor(30, 30, 78)},
                                                            {0.45, QColor(82, 66, 128)},
                                                            {0.8, QColor(168, 116, 156)},
                                                            {1.0, QColor(232, 160, 150)}}));
    paint_glow(painter, QPointF(w * 0.12, h * 0.68), 700 * u, QColor(255, 176, 140), 0.45);
    MediaRandom stars = rng.fork(1);
    paint_stars(painter, stars, QRectF(0, 0, w, h * 0.3), 140, 1.8 * u);
    paint_crescent(painter, QPointF(w * 0.82, h * 0.14), 30 * u);

    // Forest behind forest, fading into the haze.
    MediaRandom land = rng.fork(2);
    const double edge = 40 * u;
    const auto ridge = ridge_line(land, -edge, w + edge, h * 0.64, 40 * u, 0.5, 6);
    painter.setBrush(QColor(128, 104, 150));
    painter.drawPath(smooth_area_below(ridge, h));
    paint_tree_line(painter, land, 0, w, h * 0.64, 90 * u, QColor(118, 96, 144),
                    QColor(190, 170, 210));
    paint_tree_line(painter, land, 0, w, h * 0.7, 150 * u, QColor(82, 70, 118),
                    QColor(170, 160, 205));
    paint_tree_line(painter, land, 0, w * 0.3, h * 0.76, 230 * u, QColor(52, 50, 90),
                    QColor(150, 145, 195));
    paint_tree_line(painter, land, w * 0.82, w, h * 0.76, 230 * u, QColor(52, 50, 90),
                    QColor(150, 145, 195));

    // The clearing.
    const auto clearing = ridge_line(land, -edge, w + edge, h * 0.75, 12 * u, 0.4, 6);
    painter.setBrush(vertical_gradient(h * 0.74, h,
                                       {{0.0, QColor(176, 164, 208)},
                                        {0.4, QColor(150, 140, 194)},
                                        {1.0, QColor(112, 104, 166)}}));
    painter.drawPath(smooth_area_below(clearing, h));

    // The cabin, firewood by its wall.
    MediaRandom cabin_rng = rng.fork(3);
    House cabin;
    cabin.base = QPointF(w * 0.43, h * 0.84);
    cabin.width = 430 * u;
    cabin.wall_height = 160 * u;
    cabin.roof_height = 136 * u;
    cabin.depth = 160 * u;
    cabin.side = -1;
    cabin.roof = RoofKind::EaveFront;
    cabin.walls = WallKind::Logs;
    cabin.wall = QColor(156, 104, 66);
    cabin.roof_colour = QColor(74, 52, 44);
    cabin.trim = QColor(120, 80, 50);
    cabin.door = QColor(120, 70, 40);
    cabin.front_windows = 2;
    cabin.side_windows = 1;
    cabin.lit = 1.0;
    cabin.chimney_at = 0.75;
    cabin.wreath = true;
    cabin.door_lantern = true;
    const HouseMarks marks = paint_house(painter, cabin_rng, cabin, mood);
    paint_smoke(painter, cabin_rng, marks.chimney_top, 420 * u, 160 * u, QColor(200, 180, 210),
                0.7);
    paint_woodpile(painter, cabin_rng,
                   QPointF(cabin.base.x() + cabin.width + 14 * u, cabin.base.y() + 5 * u), 160 * u,
                   5, mood);
    paint_chopping_block(painter, cabin_rng, QPointF(w * 0.78, h * 0.87), 60 * u, mood);

    // A rail fence running in from the woods, a bank of snow in front.
    paint_fence(painter, cabin_rng,
                {QPointF(w * 0.06, h * 0.9), QPointF(w * 0.2, h * 0.875),
                 QPointF(cabin.base.x() - cabin.depth - 6 * u, h * 0.852)},
                62 * u, QColor(130, 96, 70), FenceKind::Rails, mood);
    const auto bank = ridge_line(land, -edge, w + edge, h * 0.95, 12 * u, 0.4, 5);
    painter.setBrush(QColor(176, 166, 214));
    painter.drawPath(smooth_area_below(bank, h + edge));
    painter.setBrush(vertical_gradient(
        h * 0.93, h, {{0.0, QColor(140, 130, 188)}, {1.0, QColor(100, 92, 152)}}));
    painter.drawPath(smooth_area_below(bank, h + edge).translated(0, 3 * u));

    // Footprints to the door, big firs framing the clearing.
    painter.setBrush(with_alpha(QColor(96, 88, 150), 0.55));
    for (int i = 0; i < 22; ++i) {
        const double t = (i + 0.5) / 22;
        const QPointF at = marks.door + (QPointF(w * 0.5, h * 1.02) - marks.door) * t +
                           QPointF(((i % 2) != 0 ? 1.0 : -1.0) * (5 + 8 * t) * u, 12 * u * t);
        painter.drawEllipse(at, (3 + 6 * t) * u, (1.5 + 3 * t) * u);
    }
    MediaRandom firs = rng.fork(4);
    paint_pine(painter, firs, QPointF(w * 0.33, h * 0.8), 300 * u, QColor(34, 50, 70), mood.snow,
               0.5);
    paint_pine(painter, firs, QPointF(w * 0.9, h * 0.82), 340 * u, QColor(34, 50, 70), mood.snow,
               0.5);
    paint_tree_line(painter, firs, -w * 0.02, w * 0.1, h * 1.0, 820 * u, QColor(24, 30, 56),
                    QColor(170, 160, 210));
    paint_tree_line(painter, firs, w * 0.95, w * 1.02, h * 1.0, 760 * u, QColor(24, 30, 56),
                    QColor(170, 160, 210));

    MediaRandom snow = rng.fork(5);
    paint_snowfall(painter, snow, QRectF(0, 0, w, h), 160, 0.8 * u, 3.2 * u, QColor(236, 230, 255));
    paint_vignette(painter, QRectF(0, 0, w, h), QColor(20, 14, 40), 0.55);
    return scene.finish(kSeed);
}

}  // namespace wm::media
