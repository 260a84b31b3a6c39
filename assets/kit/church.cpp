#include "assets/kit/church.h"

#include "assets/kit/building_snow.h"
#include "assets/kit/house.h"
#include "assets/kit/house_parts.h"
#include "assets/kit/piece_basics.h"
#include "assets/kit/snow_lip.h"
#include "assets/kit/window.h"

#include <QTransform>

namespace wm::media {

using namespace piece;

QPointF paint_church(QPainter& painter, MediaRandom& caller, const Church& church,
                     const Mood& scene_mood) {
    MediaRandom rng = caller.split();
    for (const double size : {church.nave_width, church.nave_height, church.tower_width,
                              church.tower_height, church.spire_height, church.depth}) {
        if (!usable(size) || size <= 0.0) {
            return church.base;
        }
    }
    if (!usable(church.base)) {
        return church.base;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    Mood mood = scene_mood;
    const double tower_width = church.tower_width;
    const double tower_left = church.base.x() - tower_width * 0.75;
    QTransform mirror;
    if (church.tower_side > 0) {
        // Laid out with the tower on the left, shown mirrored.
        mirror = QTransform(-1, 0, 0, 1, 2 * church.base.x() + church.nave_width, 0);
        mood.light_side = -mood.light_side;
    }
    painter.setTransform(mirror, true);
    const QTransform outer = painter.transform();
    const double ground = church.base.y();
    const double top = ground - church.tower_height;
    const QPointF back(church.depth * 0.7, -church.depth * 0.7 * kRise);
    const double side_facing = mood.light_side > 0 ? 1.0 : 0.55;
    const double front_facing = mood.light_side > 0 ? 0.8 : 0.92;
    const QColor stone = church.wall;

    // The tower's side, behind the nave.
    QPolygonF tower_side({QPointF(tower_left + tower_width, ground),
                          QPointF(tower_left + tower_width, top),
                          QPointF(tower_left + tower_width, top) + back,
                          QPointF(tower_left + tower_width, ground) + back});
    painter.setPen(Qt::NoPen);
    painter.setBrush(in_light(stone, mood, side_facing));
    painter.drawPolygon(tower_side);
    {
        const QTransform side_map(back.x() / (tower_width * 0.8), back.y() / (tower_width * 0.8), 0,
                                  1, tower_left + tower_width, ground);
        painter.setTransform(side_map * outer);
        const double opening = tower_width * 0.16;
        paint_window(painter, rng,
                     QRectF(tower_width * 0.4 - opening / 2, -church.tower_height * 0.9, opening,
                            church.tower_height * 0.12),
                     0.0, in_light(stone, mood, side_facing), QColor(0, 0, 0, 0), true, mood);
        painter.setTransform(outer);
    }

    // The nave, its door in the tower.
    House nave;
    nave.base = church.base;
    nave.width = church.nave_width;
    nave.wall_height = church.nave_height;
    nave.roof_height = church.nave_height * 0.7;
    nave.depth = church.depth;
    nave.side = 1;
    nave.roof = RoofKind::EaveFront;
    nave.walls = WallKind::Plaster;
    nave.wall = stone;
    nave.roof_colour = church.roof_colour;
    nave.trim = lighter(stone, 0.2);
    nave.front_windows = 4;
    nave.side_windows = 1;
    nave.lit = church.lit;
    nave.door_at = DoorAt::None;
    nave.arched = true;
    nave.chimney = false;
    painter.setTransform(outer);
    paint_house(painter, rng, nave, mood);
    painter.setTransform(outer);

    // The tower's front: stone, a door, a clock, the belfry.
    painter.setTransform(QTransform::fromTranslate(tower_left, ground) * outer);
    const FaceLook tower{tower_width,
                         church.tower_height,
                         0.0,
                         WallKind::Stone,
                         in_light(stone, mood, front_facing),
                         lighter(stone, 0.2),
                         1};
    paint_face(painter, rng, tower, mood);
    const double door_width = tower_width * 0.34;
    const QRectF door(tower_width / 2 - door_width / 2, -door_width * 1.9, door_width,
                      door_width * 1.9);
    paint_window(painter, rng, door.adjusted(0, 0, 0, -door_width * 0.1), church.lit * 0.8,
                 in_light(QColor(90, 60, 40), mood, front_facing), QColor(0, 0, 0, 0), true, mood);
    paint_window(painter, rng,
                 QRectF(tower_width / 2 - tower_width * 0.09, -church.tower_height * 0.52,
                        tower_width * 0.18, tower_width * 0.34),
                 church.lit, in_light(lighter(stone, 0.2), mood, front_facing), QColor(0, 0, 0, 0),
                 true, mood);
    const QPointF clock(tower_width / 2, -church.tower_height * 0.72);
    const double clock_radius = tower_width * 0.2;
    painter.setBrush(in_light(QColor(60, 50, 45), mood, front_facing));
    painter.drawEllipse(clock, clock_radius * 1.15, clock_radius * 1.15);
    painter.setBrush(mix(QColor(250, 240, 215), mood.lamp, 0.3 * mood.glow));
    painter.drawEllipse(clock, clock_radius, clock_radius);
    if (mood.glow > 0.0) {
        const Additive light(painter);
        paint_glow(painter, clock, clock_radius * 2.2, mood.lamp, 0.25 * mood.glow);
    }
    painter.setPen(QPen(QColor(40, 35, 35), clock_radius * 0.12, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(clock, clock + QPointF(0, -clock_radius * 0.75));
    painter.drawLine(clock, clock + QPointF(clock_radius * 0.45, clock_radius * 0.2));
    painter.setPen(Qt::NoPen);
    const double opening = tower_width * 0.2;
    for (const double x : {tower_width * 0.3, tower_width * 0.7}) {
        paint_window(painter, rng,
                     QRectF(x - opening / 2, -church.tower_height * 0.94, opening,
                            church.tower_height * 0.13),
                     0.0, in_light(lighter(stone, 0.15), mood, front_facing), QColor(0, 0, 0, 0),
                     true, mood);
    }
    painter.setTransform(outer);

    // A ledge round the tower's top and the spire on it.
    const double ledge = tower_width * 0.08;
    const QPointF front_left(tower_left - ledge, top);
    const QPointF front_right(tower_left + tower_width + ledge, top);
    painter.setBrush(in_light(darker(stone, 0.15), mood, front_facing));
    painter.drawRect(
        QRectF(front_left.x(), top - ledge * 0.6, front_right.x() - front_left.x(), ledge * 1.2));
    painter.setBrush(in_light(darker(stone, 0.15), mood, side_facing));
    painter.drawPolygon(QPolygonF(
        {front_right + QPointF(0, -ledge * 0.6), front_right + back + QPointF(0, -ledge * 0.6),
         front_right + back + QPointF(0, ledge * 0.6), front_right + QPointF(0, ledge * 0.6)}));
    paint_snow_lip(painter, rng, front_left, front_right, ledge * 1.1, ledge * 0.7, mood, true);
    paint_snow_lip(painter, rng, front_right, front_right + back, ledge, ledge * 0.5, mood, false);
    // The spire stands inside the ledge, slender, on a square foot.
    const double inset = tower_width * 0.12;
    const QPointF spire_left = QPointF(tower_left + inset, top) + back * 0.1;
    const QPointF spire_right = QPointF(tower_left + tower_width - inset, top) + back * 0.1;
    const QPointF spire_back = back * 0.8;
    const QPointF tip =
        (spire_left + spire_right + spire_back) / 2 + QPointF(0, -church.spire_height);
    const QColor slate = church.roof_colour;
    // A little pinnacle on each corner of the tower.
    const auto pinnacle = [&](QPointF foot, double facing) {
        const double half = ledge * 0.7;
        painter.setBrush(in_light(slate, mood, facing));
        painter.drawPolygon(QPolygonF(
            {foot + QPointF(-half, 0), foot + QPointF(half, 0), foot + QPointF(0, -ledge * 5.0)}));
        painter.setBrush(mood.snow);
        painter.drawEllipse(foot + QPointF(0, -ledge * 0.2), half * 1.2, half * 0.45);
    };
    pinnacle(front_right + back + QPointF(-ledge * 0.6, -ledge * 0.5), side_facing);
    painter.setBrush(in_light(slate, mood, front_facing));
    painter.drawPolygon(QPolygonF({spire_left, spire_right, tip}));
    painter.setBrush(in_light(slate, mood, side_facing * 0.8));
    painter.drawPolygon(QPolygonF({spire_right, spire_right + spire_back, tip}));
    // Snow caught on the spire's edges and heaped at its foot.
    painter.setBrush(with_alpha(mood.snow, 0.85));
    for (const QPointF& foot : {spire_left, spire_right, spire_right + spire_back}) {
        const QPointF edge = tip - foot;
        const QPointF normal(-edge.y(), edge.x());
        const QPointF across = normal / length(normal) * ledge * 0.3;
        painter.drawPolygon(QPolygonF({foot - across, foot + across, lerp(foot, tip, 0.8)}));
    }
    paint_snow_lip(painter, rng, spire_left, spire_right, ledge * 0.8, ledge * 0.3, mood, false);
    paint_snow_lip(painter, rng, spire_right, spire_right + spire_back, ledge * 0.7, ledge * 0.3,
                   mood, false);
    pinnacle(front_left + QPointF(ledge * 0.6, -ledge * 0.5), front_facing);
    pinnacle(front_right + QPointF(-ledge * 0.6, -ledge * 0.5), front_facing);
    // A gilded cross.
    const double arm = church.spire_height * 0.06;
    painter.setPen(
        QPen(QColor(215, 180, 95), std::max(1.0, arm * 0.28), Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(tip, tip + QPointF(0, -arm * 2.2));
    painter.drawLine(tip + QPointF(-arm * 0.7, -arm * 1.5), tip + QPointF(arm * 0.7, -arm * 1.5));
    painter.setPen(Qt::NoPen);
    paint_drift(painter, rng, QPointF(tower_left - ledge, ground),
                QPointF(tower_left + tower_width, ground), church.nave_height * 0.1, mood);
    painter.restore();
    return mirror.map(tip + QPointF(0, -arm * 2.2));
}

}  // namespace wm::media
