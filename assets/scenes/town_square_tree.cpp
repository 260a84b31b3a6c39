// A town square at the blue hour in falling snow: tall gabled town houses
// with lit shop fronts under striped awnings, street lamps hung with fir
// garlands, and a great Christmas tree with a golden star, strings of lights,
// baubles and presents heaped at its foot.

#include "assets/kit/canvas.h"
#include "assets/kit/church.h"
#include "assets/kit/house.h"
#include "assets/kit/mood.h"
#include "assets/kit/paint_kit.h"
#include "assets/kit/snow_lip.h"
#include "assets/kit/street.h"
#include "assets/kit/vignette.h"
#include "assets/scenes/scenes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace wm::media {

namespace {

constexpr std::uint64_t kSeed = 0x70A2E7EE;

struct Facade {
    QColor wall;
    QColor awning;
    WallKind walls;
};

const std::array<Facade, 7> kFacades = {{
    {QColor(236, 176, 80), QColor(170, 36, 44), WallKind::Plaster},
    {QColor(214, 100, 96), QColor(40, 110, 74), WallKind::Plaster},
    {QColor(90, 160, 160), QColor(190, 50, 50), WallKind::Plaster},
    {QColor(240, 226, 196), QColor(40, 76, 140), WallKind::Timbered},
    {QColor(180, 84, 60), QColor(220, 170, 60), WallKind::Boards},
    {QColor(160, 130, 196), QColor(170, 40, 60), WallKind::Plaster},
    {QColor(120, 170, 110), QColor(200, 60, 50), WallKind::Plaster},
}};

// A five-pointed star.
QPainterPath star_path(QPointF centre, double outer, double inner) {
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const double radius = (i % 2) == 0 ? outer : inner;
        const QPointF point = centre + QPointF(std::cos(angle), std::sin(angle)) * radius;
        if (i == 0) {
            star.moveTo(point);
        } else {
            star.lineTo(point);
        }
    }
    star.closeSubpath();
    return star;
}

// A wrapped present with a ribbon and a bow, a little snow on its lid.
void paint_present(QPainter& painter, QRectF box, const QColor& paper, const QColor& ribbon,
                   const Mood& mood) {
    painter.setBrush(vertical_gradient(
        box.top(), box.bottom(),
        {{0.0, mix(paper, QColor(255, 255, 255), 0.1)}, {1.0, mix(paper, QColor(0, 0, 0), 0.35)}}));
    painter.drawRect(box);
    const double band = box.width() * 0.14;
    painter.setBrush(ribbon);
    painter.drawRect(QRectF(box.center().x() - band / 2, box.top(), band, box.height()));
    painter.drawRect(QRectF(box.left(), box.top() + box.height() * 0.35, box.width(), band * 0.8));
    const QPointF knot(box.center().x(), box.top());
    for (const int dir : {-1, 1}) {
        QPainterPath loop;
        loop.moveTo(knot);
        loop.cubicTo(knot + QPointF(dir * band * 2.2, -band * 2.0),
                     knot + QPointF(dir * band * 2.6, band * 0.2), knot);
        painter.drawPath(loop);
    }
    painter.setBrush(mood.snow);
    painter.drawEllipse(QPointF(box.center().x() + box.width() * 0.18, box.top()),
                        box.width() * 0.26, box.height() * 0.06);
}

// The great tree: tiers of drooping boughs with snow on their tips, strings
// of warm lights, baubles and a star.
void paint_christmas_tree(QPainter& painter, MediaRandom& rng, QPointF base, double height,
                          const Mood& mood) {
    const double top = base.y() - height;
    const double crown_bottom = base.y() - height * 0.05;
    const double crown = crown_bottom - top;
    const double half = height * 0.25;
    const auto half_at = [&](double y) { return half * std::clamp((y - top) / crown, 0.0, 1.0); };
    const double cx = base.x();

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(60, 40, 32));
    painter.drawRect(
        QRectF(cx - height * 0.025, crown_bottom - height * 0.02, height * 0.05, height * 0.07));

    // The light of the tree on the snow around it.
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Plus);
    painter.translate(base);
    painter.scale(1.0, 0.28);
    paint_glow(painter, QPointF(0, 0), half * 2.6, QColor(255, 170, 80), 0.4);
    painter.restore();

    const int tiers = 9;
    std::vector<QPainterPath> snow;
    for (int i = tiers - 1; i >= 0; --i) {
        // Bottom tiers first, so each tier hangs over the one below.
        const double y0 = top + crown * std::pow(static_cast<double>(i) / tiers, 1.1) * 0.92;
        const double y1 = top + crown * std::pow(static_cast<double>(i + 1) / tiers, 1.1);
        const double reach = half_at(y1) * rng.range(1.0, 1.06);
        const int scallops = std::max(2, static_cast<int>(reach / (height * 0.035)));
        QPainterPath tier;
        tier.moveTo(cx, y0 - crown * 0.02);
        tier.quadTo(cx - reach * 0.45, y0 + (y1 - y0) * 0.35, cx - reach, y1);
        QPainterPath caps;
        double x = cx - reach;
        const double step = reach * 2 / scallops;
        for (int k = 0; k < scallops; ++k) {
            const double next = x + step;
            const double drop = (y1 - y0) * rng.range(0.16, 0.26);
            const double centre = (k + 0.5) / scallops - 0.5;
            const double sag = -std::abs(centre) * (y1 - y0) * 0.18;
            const QPointF from(x, y1 + sag);
            const QPointF to(next, y1 - std::abs((k + 1.0) / scallops - 0.5) * (y1 - y0) * 0.18);
            const QPointF dip((x + next) / 2, y1 + sag + drop);
            tier.quadTo(dip, to);
            // Snow resting on the bough's tip.
            QPainterPath cap;
            const double lift = (y1 - y0) * 0.08;
            cap.moveTo(from + QPointF(step * 0.08, -lift * 0.2));
            cap.quadTo(dip + QPointF(0, -lift * 1.4), to + QPointF(-step * 0.08, -lift * 0.2));
            cap.quadTo(dip + QPointF(0, -lift * 2.6), from + QPointF(step * 0.08, -lift * 0.2));
            caps.addPath(cap);
            x = next;
        }
        tier.quadTo(cx + reach * 0.45, y0 + (y1 - y0) * 0.35, cx, y0 - crown * 0.02);
        tier.closeSubpath();
        QLinearGradient green(cx - reach, y0, cx + reach * 0.6, y1);
        green.setColorAt(0.0, QColor(14, 58, 46));
        green.setColorAt(0.6, QColor(22, 78, 56));
        green.setColorAt(1.0, QColor(12, 44, 38));
        painter.setBrush(green);
        painter.drawPath(tier);
        painter.setBrush(vertical_gradient(y0, y1 + (y1 - y0) * 0.2,
                                           {{0.0, with_alpha(QColor(0, 20, 20), 0.45)},
                                            {0.5, with_alpha(QColor(0, 20, 20), 0.0)}}));
        painter.drawPath(tier);
        painter.setBrush(with_alpha(mood.snow, 0.7));
        painter.drawPath(caps);
    }

    // Baubles, hung before the lights so the lights shine over them.
    const std::array<QColor, 4> colours = {QColor(200, 30, 40), QColor(230, 176, 60),
                                           QColor(50, 90, 200), QColor(206, 210, 226)};
    for (int i = 0; i < 46; ++i) {
        const double y = top + crown * rng.range(0.12, 0.97);
        const double x = cx + half_at(y) * rng.range(-0.85, 0.85);
        const double radius = height * rng.range(0.011, 0.018);
        const QColor colour = colours[static_cast<std::size_t>(rng.below(4))];
        QRadialGradient shine(QPointF(x - radius * 0.35, y - radius * 0.35), radius * 1.3);
        shine.setColorAt(0.0, mix(colour, QColor(255, 255, 255), 0.75));
        shine.setColorAt(0.3, colour);
        shine.setColorAt(1.0, mix(colour, QColor(0, 0, 0), 0.55));
        painter.setBrush(shine);
        painter.drawEllipse(QPointF(x, y), radius, radius);
        painter.setBrush(QColor(220, 190, 110));
        painter.drawRect(QRectF(x - radius * 0.25, y - radius * 1.2, radius * 0.5, radius * 0.3));
    }

    // Strings of warm lights draped round the tree.
    for (int j = 0; j < 7; ++j) {
        const double t = (j + 0.6) / 7.4;
        const double y_left = top + crown * (t * t * 0.95 + 0.03);
        const double y_right = y_left + crown * 0.07;
        const QPointF from(cx - half_at(y_left) * 0.95, y_left);
        const QPointF to(cx + half_at(y_right) * 0.95, y_right);
        QPainterPath wire;
        wire.moveTo(from);
        wire.quadTo((from + to) / 2 + QPointF(0, crown * 0.07), to);
        const int bulbs = std::max(4, static_cast<int>(wire.length() / (height * 0.028)));
        for (int b = 0; b < bulbs; ++b) {
            const QPointF at = wire.pointAtPercent((b + 0.5) / bulbs);
            painter.save();
            painter.setCompositionMode(QPainter::CompositionMode_Plus);
            paint_glow(painter, at, height * 0.016, QColor(255, 190, 90), 0.7);
            painter.restore();
            painter.setBrush(QColor(255, 238, 190));
            painter.drawEllipse(at, height * 0.0036, height * 0.0036);
        }
    }

    // The star on the top.
    const QPointF tip(cx, top - height * 0.035);
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Plus);
    paint_glow(painter, tip, height * 0.16, QColor(255, 190, 80), 0.55);
    painter.restore();
    QRadialGradient gold(tip - QPointF(height * 0.01, height * 0.015), height * 0.05);
    gold.setColorAt(0.0, QColor(255, 250, 210));
    gold.setColorAt(0.6, QColor(250, 200, 80));
    gold.setColorAt(1.0, QColor(200, 140, 40));
    painter.setBrush(gold);
    painter.drawPath(star_path(tip, height * 0.045, height * 0.019));

    // Presents heaped at the foot.
    const struct {
        double x, w, h;
        QColor paper, ribbon;
    } presents[] = {
        {-0.2, 0.07, 0.055, QColor(190, 30, 40), QColor(240, 210, 120)},
        {-0.12, 0.06, 0.075, QColor(40, 100, 170), QColor(240, 240, 240)},
        {0.1, 0.08, 0.05, QColor(30, 120, 70), QColor(210, 40, 50)},
        {0.19, 0.055, 0.065, QColor(230, 180, 60), QColor(170, 30, 40)},
        {-0.04, 0.05, 0.04, QColor(150, 60, 150), QColor(240, 210, 120)},
    };
    for (const auto& present : presents) {
        const double bw = present.w * height;
        const double bh = present.h * height;
        paint_present(
            painter,
            QRectF(cx + present.x * height - bw / 2, base.y() - bh + height * 0.01, bw, bh),
            present.paper, present.ribbon, mood);
    }
}

// A fir garland swagged from a to b, with red bows where it is tied and
// little lights along it.
void paint_garland(QPainter& painter, MediaRandom& rng, QPointF a, QPointF b, double sag,
                   double thickness, const Mood& mood) {
    QPainterPath swag;
    swag.moveTo(a);
    swag.quadTo((a + b) / 2 + QPointF(0, sag * 2), b);
    const int tufts = std::max(6, static_cast<int>(swag.length() / (thickness * 0.5)));
    for (int i = 0; i <= tufts; ++i) {
        const QPointF at = swag.pointAtPercent(static_cast<double>(i) / tufts);
        painter.setBrush(mix(QColor(20, 70, 50), QColor(50, 110, 70), rng.uniform()));
        painter.drawEllipse(at + random_point(rng, -0.2, 0.2, -0.2, 0.2) * thickness,
                            thickness * 0.55, thickness * 0.4);
    }
    for (int i = 0; i <= tufts; i += 2) {
        const QPointF at = swag.pointAtPercent(static_cast<double>(i) / tufts);
        painter.setBrush(with_alpha(mood.snow, 0.8));
        painter.drawEllipse(at + QPointF(0, -thickness * 0.3), thickness * 0.3, thickness * 0.12);
    }
    const int bulbs = std::max(3, tufts / 3);
    for (int i = 0; i < bulbs; ++i) {
        const QPointF at = swag.pointAtPercent((i + 0.5) / bulbs) + QPointF(0, thickness * 0.2);
        painter.save();
        painter.setCompositionMode(QPainter::CompositionMode_Plus);
        paint_glow(painter, at, thickness * 1.4, QColor(255, 180, 90), 0.6);
        painter.restore();
        painter.setBrush(QColor(255, 236, 180));
        painter.drawEllipse(at, thickness * 0.12, thickness * 0.12);
    }
    for (const QPointF& knot : {a, b}) {
        painter.setBrush(QColor(200, 30, 40));
        QPainterPath bow;
        bow.moveTo(knot);
        bow.cubicTo(knot + QPointF(-thickness, -thickness * 0.7),
                    knot + QPointF(-thickness, thickness * 0.7), knot);
        bow.cubicTo(knot + QPointF(thickness, -thickness * 0.7),
                    knot + QPointF(thickness, thickness * 0.7), knot);
        painter.drawPath(bow);
        painter.drawRect(
            QRectF(knot.x() - thickness * 0.25, knot.y(), thickness * 0.16, thickness * 1.1));
        painter.drawRect(
            QRectF(knot.x() + thickness * 0.09, knot.y(), thickness * 0.16, thickness * 1.0));
    }
}

// A park bench seen from the front, snow on its seat and back.
void paint_bench(QPainter& painter, MediaRandom& rng, QPointF foot, double width,
                 const Mood& mood) {
    const QColor iron(34, 34, 42);
    const QColor wood = mix(QColor(150, 96, 60), mood.ambient, 0.4);
    const double seat = foot.y() - width * 0.2;
    const double back = seat - width * 0.24;
    painter.setBrush(with_alpha(mood.snow_shade, 0.5));
    painter.drawEllipse(QPointF(foot.x(), foot.y() + width * 0.01), width * 0.56, width * 0.05);
    painter.setBrush(iron);
    for (const double x : {-0.42, 0.42}) {
        painter.drawRect(
            QRectF(foot.x() + x * width - width * 0.02, back, width * 0.04, foot.y() - back));
    }
    for (int i = 0; i < 3; ++i) {
        painter.setBrush(mix(wood, QColor(0, 0, 0), 0.1 * i));
        painter.drawRect(
            QRectF(foot.x() - width * 0.5, back + i * width * 0.07, width, width * 0.05));
    }
    painter.setBrush(wood);
    painter.drawRect(QRectF(foot.x() - width * 0.52, seat, width * 1.04, width * 0.05));
    paint_snow_lip(painter, rng, QPointF(foot.x() - width * 0.5, back),
                   QPointF(foot.x() + width * 0.5, back), width * 0.035, width * 0.015, mood,
                   false);
    paint_snow_lip(painter, rng, QPointF(foot.x() - width * 0.52, seat),
                   QPointF(foot.x() + width * 0.52, seat), width * 0.05, width * 0.02, mood, true);
}

// Footprints crossing the square from `from` to `to`.
void paint_tracks(QPainter& painter, QPointF from, QPointF to, double size, const QColor& shade) {
    painter.setBrush(shade);
    const QPointF along = to - from;
    const double span = std::hypot(along.x(), along.y());
    if (span <= 0.0) {
        return;
    }
    const QPointF across = QPointF(-along.y(), along.x()) / span;
    const int steps = static_cast<int>(span / (size * 2.6));
    for (int i = 0; i < steps; ++i) {
        const double t = (i + 0.5) / steps;
        const QPointF at = from + along * t + across * size * 0.7 * ((i % 2) != 0 ? 1.0 : -1.0);
        const double scale = 0.7 + 0.3 * (at.y() - from.y()) / std::max(1.0, span);
        painter.drawEllipse(at, size * 0.65 * scale, size * 0.28 * scale);
    }
}

}  // namespace

QImage paint_town_square_tree(QSize size) {
    if (!SceneCanvas::usable(size)) {
        return {};
    }
    MediaRandom rng(kSeed);
    SceneCanvas scene(size);
    QPainter& painter = scene.painter();
    const double w = scene.w;
    const double h = scene.h;
    const double u = scene.u;

    const Mood mood{QColor(40, 56, 110),  0.45, 1.0, QColor(182, 196, 232), QColor(96, 110, 168),
                    QColor(255, 184, 96), 1.0,  0.0};

    // The blue hour: deep blue above, a paler glow over the roofs.
    painter.fillRect(QRectF(0, 0, w, h), vertical_gradient(0, h * 0.7,
                                                           {{0.0, QColor(12, 24, 62)},
                                                            {0.6, QColor(40, 64, 124)},
                                                            {1.0, QColor(84, 104, 160)}}));
    MediaRandom far_snow = rng.fork(1);
    paint_snowfall(painter, far_snow, QRectF(0, 0, w, h * 0.43), 500, 0.6 * u, 1.6 * u,
                   QColor(210, 220, 245));

    // Roofs of the streets behind, and a steeple, in the falling snow's haze.
    MediaRandom town = rng.fork(2);
    const QColor haze(70, 92, 150);
    Mood far = mood;
    far.ambient = haze;
    far.darkness = 0.75;
    far.snow = mix(mood.snow, haze, 0.4);
    far.snow_shade = mix(mood.snow_shade, haze, 0.4);
    far.glow = 0.6;
    Church steeple;
    steeple.base = QPointF(w * 0.4, h * 0.6);
    steeple.nave_width = 200 * u;
    steeple.nave_height = 70 * u;
    steeple.tower_width = 60 * u;
    steeple.tower_height = 190 * u;
    steeple.spire_height = 170 * u;
    steeple.depth = 50 * u;
    steeple.wall = QColor(150, 150, 170);
    steeple.roof_colour = QColor(70, 80, 110);
    steeple.lit = 0.0;
    paint_church(painter, town, steeple, far);
    for (double x = -30 * u; x < w; x += town.range(110, 170) * u) {
        House house;
        house.width = town.range(90, 130) * u;
        house.floors = 2;
        house.wall_height = town.range(110, 150) * u;
        house.roof_height = town.range(70, 100) * u;
        house.depth = 18 * u;
        house.base = QPointF(x, h * 0.62);
        house.wall = mix(kFacades[static_cast<std::size_t>(town.below(7))].wall, haze, 0.4);
        house.roof_colour = QColor(80, 70, 80);
        house.lit = 0.0;
        house.smoke = false;
        house.chimney = town.chance(0.6);
        paint_house(painter, town, house, far);
    }

    // The houses across the square, upper floors asleep above the shops.
    const double street = h * 0.745;
    double x = -60 * u;
    int index = 0;
    while (x < w + 40 * u) {
        const Facade& facade = kFacades[static_cast<std::size_t>((index * 3 + 1) % 7)];
        House house;
        house.width = town.range(160, 240) * u;
        house.floors = 2 + town.below(3);
        house.wall_height = house.floors * town.range(86, 96) * u;
        house.roof_height = town.range(110, 170) * u;
        house.depth = 24 * u;
        house.base = QPointF(x, street);
        house.side = 1;
        house.roof = (index % 3) == 2 ? RoofKind::EaveFront : RoofKind::GableFront;
        if (house.roof == RoofKind::EaveFront) {
            house.roof_height *= 0.6;
        }
        house.walls = facade.walls;
        house.wall = facade.wall;
        house.trim =
            facade.walls == WallKind::Timbered ? QColor(90, 60, 45) : QColor(240, 234, 220);
        house.roof_colour = index % 2 == 0 ? QColor(90, 60, 60) : QColor(60, 66, 86);
        house.door = QColor(90, 50, 40);
        house.front_windows = house.width > 200 * u ? 3 : 2;
        house.lit = 0.7;
        house.lit_floors = 2;
        house.shop = true;
        house.awning = facade.awning;
        house.chimney_at = town.range(0.3, 0.7);
        house.smoke = town.chance(0.3);
        house.wreath = true;
        house.lights = index % 4 == 1;
        paint_house(painter, town, house, mood);
        x += house.width + town.range(-2, 4) * u;
        ++index;
    }

    // The square: trodden snow, brighter where the lights fall.
    const auto square = ridge_line(town, -40 * u, w + 40 * u, h * 0.752, 3 * u, 0.4, 5);
    painter.setBrush(vertical_gradient(h * 0.75, h,
                                       {{0.0, QColor(150, 164, 210)},
                                        {0.4, QColor(170, 182, 224)},
                                        {1.0, QColor(132, 146, 196)}}));
    painter.drawPath(smooth_area_below(square, h + 10 * u));

    const QColor prints = with_alpha(QColor(90, 100, 160), 0.6);
    paint_tracks(painter, QPointF(w * 0.2, h * 0.78), QPointF(w * 0.36, h * 1.02), 12 * u, prints);
    paint_tracks(painter, QPointF(w * 0.55, h * 0.77), QPointF(w * 0.5, h * 1.02), 12 * u, prints);
    paint_tracks(painter, QPointF(w * 0.58, h * 0.79), QPointF(w * 0.68, h * 0.9), 10 * u, prints);
    // Two runners of a sled, drawn across the square.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(prints, 3 * u));
    for (const double offset : {0.0, 22.0}) {
        QPainterPath runner;
        runner.moveTo(w * 0.3 + offset * u, h * 1.01);
        runner.cubicTo(w * 0.34 + offset * u, h * 0.9, w * 0.5, h * 0.86, w * 0.6 + offset * u,
                       h * 0.82);
        painter.drawPath(runner);
    }
    painter.setPen(Qt::NoPen);

    // Street lamps hung with garlands along the far side of the square.
    MediaRandom lamps = rng.fork(3);
    const double lamp_height = 240 * u;
    const double lamp_foot = h * 0.81;
    const std::array<double, 4> posts = {0.1, 0.28, 0.46, 0.64};
    for (std::size_t i = 0; i + 1 < posts.size(); ++i) {
        paint_garland(painter, lamps, QPointF(w * posts[i] + 12 * u, lamp_foot - lamp_height * 0.7),
                      QPointF(w * posts[i + 1] - 12 * u, lamp_foot - lamp_height * 0.7), 34 * u,
                      16 * u, mood);
    }
    for (const double at : posts) {
        paint_lamp_post(painter, lamps, QPointF(w * at, lamp_foot), lamp_height, mood);
    }

    // The tree.
    MediaRandom tree = rng.fork(4);
    paint_christmas_tree(painter, tree, QPointF(w * 0.8, h * 0.9), 860 * u, mood);

    MediaRandom benches = rng.fork(6);
    paint_bench(painter, benches, QPointF(w * 0.19, h * 0.9), 190 * u, mood);
    paint_bench(painter, benches, QPointF(w * 0.57, h * 0.93), 200 * u, mood);

    // A tall lamp close by on the left, a garland wound round it.
    paint_lamp_post(painter, lamps, QPointF(w * 0.045, h * 1.04), 720 * u, mood);
    paint_garland(painter, lamps, QPointF(w * 0.045 - 60 * u, h * 0.62),
                  QPointF(w * 0.045 + 60 * u, h * 0.62), 18 * u, 26 * u, mood);

    // Falling snow in front of everything, lighter across the middle.
    MediaRandom near_snow = rng.fork(5);
    paint_snowfall(painter, near_snow, QRectF(0, h * 0.57, w, h * 0.43), 500, 0.8 * u, 3.0 * u,
                   QColor(230, 236, 255));
    paint_snowfall(painter, near_snow, QRectF(0, h * 0.43, w, h * 0.14), 70, 0.8 * u, 2.0 * u,
                   QColor(230, 236, 255));
    paint_snowfall(painter, near_snow, QRectF(0, 0, w, h * 0.43), 160, 1.5 * u, 5.0 * u,
                   QColor(230, 236, 255));
    paint_vignette(painter, QRectF(0, 0, w, h), QColor(6, 10, 30), 0.5);
    return scene.finish(kSeed);
}

}  // namespace wm::media
