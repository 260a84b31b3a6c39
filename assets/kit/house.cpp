#include "assets/kit/house.h"

#include "assets/kit/building_snow.h"
#include "assets/kit/house_parts.h"
#include "assets/kit/piece_basics.h"
#include "assets/kit/snow_lip.h"
#include "assets/kit/street.h"
#include "assets/kit/window.h"

#include <QTransform>

#include <algorithm>
#include <vector>

namespace wm::media {

using namespace piece;

namespace {

struct WindowSlot {
    QRectF rect;
    double lit;
    bool shop;
};

// Windows of a house's face, `width` wide, laid out in rows, the middle of
// the ground floor left to a door when `door` is set, or the ground floor
// given over to a shop front when `shop` is. Returns the door (empty if none).
QRectF lay_out_windows(MediaRandom& rng, const House& house, double width, int per_row, bool door,
                       bool shop, std::vector<WindowSlot>& placed) {
    QRectF door_rect;
    const int floors = std::clamp(house.floors, 1, 8);
    const bool tall = house.arched;
    const double floor_height = house.wall_height / floors;
    for (int floor = 0; floor < floors; ++floor) {
        const double lit_chance = floor < house.lit_floors ? house.lit : 0.0;
        if (shop && floor == 0) {
            const double door_width = std::min(width * 0.2, floor_height * 0.42);
            const double door_height = floor_height * 0.74;
            door_rect = QRectF(width * 0.07, -door_height, door_width, door_height);
            placed.push_back(
                {QRectF(width * 0.34, -floor_height * 0.8, width * 0.58, floor_height * 0.56),
                 lit_chance > 0.0 ? 1.0 : 0.0, true});
            continue;
        }
        const bool with_door = door && floor == 0;
        const int count = per_row + (with_door ? 1 : 0);
        if (count <= 0) {
            continue;
        }
        const double slot = width / count;
        const double window_height = floor_height * (tall ? 0.62 : 0.46);
        const double window_width = std::min(window_height * (tall ? 0.42 : 0.78), slot * 0.6);
        const double middle = -(floor + (tall ? 0.47 : 0.56)) * floor_height;
        for (int i = 0; i < count; ++i) {
            const double centre = slot * (i + 0.5);
            if (with_door && i == count / 2) {
                const double door_width = std::min(slot * 0.55, floor_height * 0.42);
                const double door_height = floor_height * 0.74;
                door_rect = QRectF(centre - door_width / 2, -door_height, door_width, door_height);
                continue;
            }
            const double lit = rng.chance(lit_chance) ? rng.range(0.75, 1.0) : 0.0;
            placed.push_back({QRectF(centre - window_width / 2, middle - window_height / 2,
                                     window_width, window_height),
                              lit, false});
        }
    }
    return door_rect;
}

struct Openings {
    std::vector<WindowSlot> windows;
    QRectF door;
};

void paint_openings(QPainter& painter, MediaRandom& rng, const Openings& openings,
                    const House& house, const Mood& mood, double facing) {
    const QColor frame = in_light(house.trim, mood, facing);
    const QColor shutters =
        house.shutters.alpha() == 0 ? house.shutters : in_light(house.shutters, mood, facing);
    for (const WindowSlot& slot : openings.windows) {
        paint_window(painter, rng, slot.rect, slot.lit, frame,
                     slot.shop ? QColor(0, 0, 0, 0) : shutters, house.arched, mood);
        if (slot.shop && house.awning.alpha() > 0) {
            paint_awning(painter, rng, slot.rect, house.awning, mood, facing);
        }
    }
    if (!openings.door.isEmpty()) {
        paint_door(painter, rng, openings.door, house.door, house.trim, house.wreath, mood);
        if (house.door_lantern) {
            paint_lantern(painter,
                          QPointF(openings.door.right() + openings.door.width() * 0.45,
                                  openings.door.top() + openings.door.height() * 0.12),
                          openings.door.width() * 0.3, mood);
        }
    }
}

// Light pools on the snow under the ground-floor windows and the door of a
// face; `map` takes the face's coordinates to the picture's.
void paint_pools(QPainter& painter, const Openings& openings, const QTransform& map,
                 const Mood& mood, double floor_height, double door_strength) {
    for (const WindowSlot& slot : openings.windows) {
        if (slot.lit > 0.0 && slot.rect.bottom() > -floor_height) {
            const QPointF foot = map.map(QPointF(slot.rect.center().x(), 0));
            paint_light_pool(painter, foot + QPointF(0, slot.rect.width() * 0.9),
                             slot.rect.width() * 3.0, mood, slot.lit);
        }
    }
    if (!openings.door.isEmpty()) {
        const QPointF foot = map.map(QPointF(openings.door.center().x(), 0));
        paint_light_pool(painter, foot + QPointF(0, openings.door.width() * 0.6),
                         openings.door.width() * 4.0, mood, door_strength);
    }
}

// Where every part of a house goes, laid out with its side wall on the right
// (a house showing its left side is painted mirrored).
struct HouseFrame {
    double x0 = 0;  // front wall
    double x1 = 0;
    double ground = 0;
    double eave = 0;
    QPointF back;  // the side wall's run across the screen
    double side_length = 1;
    double overhang = 0;
    double snow = 0;    // thickness of the snow on the roof's edges
    double fascia = 0;  // the roof boards' edge
    // GableFront: the gable's top and the ends of its two edges.
    // EaveFront: the front eave's ends and the ridge's ends.
    QPointF apex;
    QPointF left_eave;
    QPointF right_eave;
    QPointF ridge_left;
    QPointF ridge_right;
    QPointF back_eave;  // EaveFront: the back end of the gable's edge
    QPointF chimney_foot;
    double chimney_width = 0;
    double chimney_rise = 0;
    double drift = 0;
};

HouseFrame frame_of(const House& house) {
    HouseFrame f;
    const double width = std::max(1.0, house.width);
    f.x0 = house.base.x();
    f.x1 = f.x0 + width;
    f.ground = house.base.y();
    f.eave = f.ground - house.wall_height;
    f.back = QPointF(std::max(0.0, house.depth), -std::max(0.0, house.depth) * kRise);
    f.side_length = std::max(1.0, house.depth / kForeshorten);
    f.overhang = width * 0.06 + house.roof_height * 0.06;
    f.snow = std::max(1.0, house.roof_height * 0.13);
    f.fascia = std::max(1.0, house.roof_height * 0.07);
    f.drift = house.wall_height * 0.1;
    const double rise = house.roof_height;
    if (house.roof == RoofKind::GableFront) {
        const double slope = rise / (width / 2);
        f.apex = QPointF((f.x0 + f.x1) / 2, f.eave - rise);
        f.left_eave = QPointF(f.x0 - f.overhang, f.eave + f.overhang * slope);
        f.right_eave = QPointF(f.x1 + f.overhang, f.eave + f.overhang * slope);
        f.chimney_width = std::min(width * 0.11, rise * 0.3);
        f.chimney_foot =
            lerp(f.apex, f.right_eave, 0.4) + f.back * std::clamp(house.chimney_at, 0.15, 0.85);
    } else {
        // The eave comes forward of the wall, down the roof's slope.
        const double forward = 0.1;
        const QPointF ahead = -f.back * forward + QPointF(0, 2 * rise * forward);
        f.left_eave = QPointF(f.x0 - f.overhang, f.eave) + ahead;
        f.right_eave = QPointF(f.x1 + f.overhang, f.eave) + ahead;
        f.ridge_left = QPointF(f.x0 - f.overhang, f.eave - rise) + f.back / 2;
        f.ridge_right = QPointF(f.x1 + f.overhang, f.eave - rise) + f.back / 2;
        f.back_eave = QPointF(f.x1 + f.overhang, f.eave) + f.back - ahead;
        f.chimney_width = std::min(width * 0.07, rise * 0.3);
        const double along = std::clamp(house.chimney_at, 0.1, 0.9);
        f.chimney_foot = lerp(lerp(f.left_eave, f.right_eave, along),
                              lerp(f.ridge_left, f.ridge_right, along), 0.62);
    }
    f.chimney_rise = rise * (house.roof == RoofKind::GableFront ? 0.55 : 0.72);
    return f;
}

// A house whose sizes and place can be painted: finite, not negative, not huge,
// with some width and some wall.
bool house_is_usable(const House& house) {
    return usable(house.base) && usable(house.width) && usable(house.wall_height) &&
           usable(house.roof_height) && usable(house.depth) && house.width > 0.0 &&
           house.wall_height > 0.0;
}

QRectF unmirrored_bounds(const House& house, const HouseFrame& f) {
    const double margin = f.snow * 1.3;
    double left = f.left_eave.x() - margin;
    double right = f.x1 + f.back.x();
    double top = 0;
    if (house.roof == RoofKind::GableFront) {
        right = std::max(right, f.right_eave.x() + f.back.x()) + margin;
        top = f.apex.y() + f.back.y() - margin;
    } else {
        right = std::max(right, f.back_eave.x()) + margin;
        top = f.ridge_left.y() - margin;
    }
    if (house.chimney) {
        top = std::min(top, f.chimney_foot.y() - f.chimney_rise - f.chimney_width * 0.7);
    }
    left = std::min(left, f.x0 - f.drift);
    right = std::max(right, f.x1 + f.back.x() + f.drift);
    const double bottom = f.ground + house.wall_height * 0.08 + 2.0;
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

// The mirror that shows a house's left side: a reflection about its middle.
QTransform mirror_of(const House& house, const HouseFrame& f) {
    if (house.side >= 0) {
        return {};
    }
    return QTransform(-1, 0, 0, 1, f.x0 + f.x1, 0);
}

void paint_gable_roof(QPainter& painter, MediaRandom& rng, const House& house, const HouseFrame& f,
                      const Mood& mood) {
    const QPointF board(0, f.fascia);
    painter.setPen(Qt::NoPen);
    painter.setBrush(in_light(house.roof_colour, mood, 0.75));
    painter.drawPolygon(QPolygonF({f.left_eave, f.apex, f.right_eave, f.right_eave + board,
                                   f.apex + board * 1.15, f.left_eave + board}));
    painter.drawPolygon(QPolygonF({f.right_eave, f.right_eave + f.back,
                                   f.right_eave + f.back + board, f.right_eave + board}));
    const double facing = mood.light_side > 0 ? 0.95 : 0.6;
    paint_roof_plane(painter, rng, f.apex + f.back, f.apex, f.right_eave + f.back, f.right_eave,
                     mood, facing);
    paint_snow_lip(painter, rng, f.apex + f.back, f.right_eave + f.back, f.snow * 0.5, 0.0, mood,
                   false);
    paint_snow_lip(painter, rng, f.apex, f.apex + f.back, f.snow * 0.55, 0.0, mood, false);
    if (house.chimney) {
        paint_chimney(painter, rng, f.chimney_foot, f.chimney_width, f.chimney_rise, facing, mood,
                      house.smoke);
    }
    paint_snow_lip(painter, rng, f.right_eave, f.right_eave + f.back, f.snow * 0.9, f.snow * 0.7,
                   mood, true);
    if (house.lights) {
        paint_light_string(painter, rng, f.left_eave + board * 1.4, f.apex + board * 1.6,
                           f.fascia * 0.8, 9, f.fascia * 0.32, mood.glow);
        paint_light_string(painter, rng, f.apex + board * 1.6, f.right_eave + board * 1.4,
                           f.fascia * 0.8, 9, f.fascia * 0.32, mood.glow);
    }
    paint_snow_lip(painter, rng, f.left_eave, f.apex, f.snow, f.fascia * 0.6, mood, false);
    paint_snow_lip(painter, rng, f.apex, f.right_eave, f.snow, f.fascia * 0.6, mood, false);
}

void paint_eave_roof(QPainter& painter, MediaRandom& rng, const House& house, const HouseFrame& f,
                     const Mood& mood) {
    const QPointF board(0, f.fascia);
    painter.setPen(Qt::NoPen);
    painter.setBrush(in_light(house.roof_colour, mood, 0.75));
    painter.drawPolygon(
        QPolygonF({f.left_eave, f.right_eave, f.right_eave + board, f.left_eave + board}));
    painter.setBrush(in_light(house.roof_colour, mood, 0.5));
    painter.drawPolygon(QPolygonF({f.right_eave, f.ridge_right, f.back_eave, f.back_eave + board,
                                   f.ridge_right + board * 1.15, f.right_eave + board}));
    paint_roof_plane(painter, rng, f.ridge_left, f.ridge_right, f.left_eave, f.right_eave, mood,
                     0.9);
    paint_snow_lip(painter, rng, f.ridge_left, f.ridge_right, f.snow * 0.55, 0.0, mood, false);
    paint_snow_lip(painter, rng, f.ridge_right, f.back_eave, f.snow * 0.8, f.fascia * 0.6, mood,
                   false);
    if (house.chimney) {
        paint_chimney(painter, rng, f.chimney_foot, f.chimney_width, f.chimney_rise, 0.9, mood,
                      house.smoke);
    }
    paint_snow_lip(painter, rng, f.left_eave, f.ridge_left, f.snow * 0.6, 0.0, mood, false);
    paint_snow_lip(painter, rng, f.right_eave, f.ridge_right, f.snow * 0.8, f.fascia * 0.4, mood,
                   false);
    if (house.lights) {
        const double inset = f.overhang * 0.7;
        paint_light_string(painter, rng, f.left_eave + QPointF(inset, f.fascia * 1.5),
                           f.right_eave + QPointF(-inset, f.fascia * 1.5), f.fascia * 1.2,
                           std::max(4, static_cast<int>((f.x1 - f.x0) / (f.fascia * 3.5))),
                           f.fascia * 0.32, mood.glow);
    }
    paint_snow_lip(painter, rng, f.left_eave, f.right_eave, f.snow, f.snow * 0.8, mood, true);
}

}  // namespace

QRectF house_bounds(const House& house) {
    if (!house_is_usable(house)) {
        return {};
    }
    const HouseFrame f = frame_of(house);
    return mirror_of(house, f).mapRect(unmirrored_bounds(house, f));
}

HouseMarks paint_house(QPainter& painter, MediaRandom& caller, const House& house,
                       const Mood& scene_mood) {
    MediaRandom rng = caller.split();
    if (!house_is_usable(house)) {
        return {};
    }
    const HouseFrame f = frame_of(house);
    const QTransform mirror = mirror_of(house, f);
    Mood mood = scene_mood;
    if (house.side < 0) {
        mood.light_side = -mood.light_side;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(mirror, true);
    const QTransform outer = painter.transform();

    const double width = f.x1 - f.x0;
    const bool gable_front = house.roof == RoofKind::GableFront;
    {
        const QPointF foot(f.x0, f.ground);
        const double reach = (house.wall_height + house.roof_height * 0.6) * 1.3;
        QPolygonF footprint;
        footprint << foot << QPointF(f.x1, f.ground) << QPointF(f.x1, f.ground) + f.back
                  << foot + f.back;
        paint_cast_shadow(painter, footprint, QPointF(-mood.light_side * reach, -reach * 0.1),
                          mood);
    }
    const double side_facing = mood.light_side > 0 ? 1.0 : 0.55;
    const double front_facing = mood.light_side > 0 ? 0.8 : 0.92;
    const QTransform front_map = QTransform::fromTranslate(f.x0, f.ground);
    const QTransform side_map(f.back.x() / f.side_length, f.back.y() / f.side_length, 0, 1, f.x1,
                              f.ground);
    const int floors = std::clamp(house.floors, 1, 8);

    Openings front;
    Openings side;
    front.door = lay_out_windows(rng, house, width, house.front_windows,
                                 house.door_at == DoorAt::Front, house.shop, front.windows);
    side.door = lay_out_windows(rng, house, f.side_length, house.side_windows,
                                house.door_at == DoorAt::Side, false, side.windows);
    // A small window up in the gable.
    const double attic = house.roof_height * 0.24;
    const QRectF attic_rect(-attic * 0.4, -house.wall_height - house.roof_height * 0.42 - attic / 2,
                            attic * 0.8, attic);
    if (house.roof_height > house.wall_height / floors * 0.45) {
        const double chance = house.lit_floors > floors ? house.lit * 0.7 : 0.0;
        const double lit = rng.chance(chance) ? rng.range(0.6, 0.9) : 0.0;
        (gable_front ? front : side)
            .windows.push_back(
                {attic_rect.translated((gable_front ? width : f.side_length) / 2, 0), lit, false});
    }

    const auto paint_wall = [&](const QTransform& map, double face_width, double gable,
                                double facing, const Openings& openings) {
        painter.setTransform(map * outer);
        paint_face(painter, rng,
                   {face_width, house.wall_height, gable, house.walls,
                    in_light(house.wall, mood, facing), in_light(house.trim, mood, facing), floors},
                   mood);
        paint_openings(painter, rng, openings, house, mood, facing);
    };
    if (house.depth > 0.0) {
        paint_wall(side_map, f.side_length, gable_front ? 0.0 : house.roof_height, side_facing,
                   side);
    }
    paint_wall(front_map, width, gable_front ? house.roof_height : 0.0, front_facing, front);
    painter.setTransform(outer);
    if (house.walls == WallKind::Logs) {
        // Log ends stacked at the corner.
        const int logs =
            std::max(4, static_cast<int>(house.wall_height / std::max(6.0, width / 22.0)));
        const double log = house.wall_height / logs;
        painter.setPen(Qt::NoPen);
        for (int i = 0; i < logs; ++i) {
            const QPointF centre(f.x1 + log * 0.15, f.ground - (i + 0.5) * log);
            painter.setBrush(in_light(darker(house.wall, 0.1), mood, front_facing));
            painter.drawEllipse(centre, log * 0.55, log * 0.5);
            painter.setBrush(in_light(lighter(house.wall, 0.25), mood, front_facing));
            painter.drawEllipse(centre, log * 0.36, log * 0.32);
        }
    }

    if (gable_front) {
        paint_gable_roof(painter, rng, house, f, mood);
    } else {
        paint_eave_roof(painter, rng, house, f, mood);
    }

    paint_drift(painter, rng, QPointF(f.x0 - f.drift, f.ground), QPointF(f.x1, f.ground), f.drift,
                mood);
    if (house.depth > 0.0) {
        paint_drift(painter, rng, QPointF(f.x1, f.ground), QPointF(f.x1, f.ground) + f.back,
                    f.drift * 0.8, mood);
    }
    const double floor_height = house.wall_height / floors;
    const double door_light = house.door_lantern ? 1.0 : 0.45;
    paint_pools(painter, front, front_map, mood, floor_height, door_light);
    if (house.depth > 0.0) {
        paint_pools(painter, side, side_map, mood, floor_height, door_light);
    }
    painter.restore();

    HouseMarks marks;
    const QRectF& door = house.door_at == DoorAt::Side ? side.door : front.door;
    const QTransform& door_map = house.door_at == DoorAt::Side ? side_map : front_map;
    marks.door = mirror.map(door_map.map(QPointF(door.center().x(), 0)));
    marks.chimney_top = mirror.map(
        QPointF(f.chimney_foot.x(), f.chimney_foot.y() - f.chimney_rise - f.chimney_width * 0.2));
    marks.bounds = mirror.mapRect(unmirrored_bounds(house, f));
    return marks;
}

}  // namespace wm::media
