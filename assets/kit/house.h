#pragma once
// A house in a snowy village: walls, windows, door, a snowy roof with its
// chimney and smoke, painted in the light of a Mood. Sizes are in pixels;
// unusable sizes paint nothing. paint_house takes one number from the
// generator it is given.

#include "assets/kit/media_random.h"
#include "assets/kit/mood.h"

#include <QColor>
#include <QPainter>
#include <QPointF>
#include <QRectF>

namespace wm::media {

enum class WallKind { Plaster, Boards, Logs, Timbered, Stone };
enum class DoorAt { Front, Side, None };
enum class RoofKind {
    GableFront,  // the gable faces the viewer, one roof slope seen beside it
    EaveFront,   // the long wall faces the viewer, the roof slope above it
};

// A house standing on the ground at `base` (bottom left corner of its front
// wall). Its side wall shows on the `side` (+1 right, -1 left) receding
// `depth` pixels across the screen.
struct House {
    QPointF base;
    double width = 200.0;
    double wall_height = 150.0;
    double roof_height = 100.0;
    double depth = 80.0;
    int side = 1;
    RoofKind roof = RoofKind::GableFront;
    WallKind walls = WallKind::Plaster;
    QColor wall = QColor(200, 150, 110);
    QColor roof_colour = QColor(120, 50, 40);
    QColor trim = QColor(240, 232, 215);  // window frames and corner boards
    QColor door = QColor(110, 45, 35);
    QColor shutters = QColor(0, 0, 0, 0);  // transparent: no shutters
    int floors = 1;                        // rows of windows
    int front_windows = 2;                 // windows in each row of the front wall
    int side_windows = 1;                  // windows in each row of the side wall
    double lit = 0.7;                      // chance that a window is lit
    int lit_floors = 8;  // windows above this many floors (and in the gable) stay dark
    bool shop = false;   // the front's ground floor is a shop: a door and a wide window
    QColor awning = QColor(0, 0, 0, 0);  // striped awning over the shop window, if opaque
    DoorAt door_at = DoorAt::Front;
    bool arched = false;  // tall round-topped windows of leaded glass (a church)
    bool wreath = false;  // a wreath on the door
    bool chimney = true;
    double chimney_at = 0.6;  // along the roof, 0..1
    bool smoke = true;
    bool lights = false;        // a string of coloured lights along the front eave
    bool door_lantern = false;  // a lantern beside the door
};

// What a scene may want to know about a painted house.
struct HouseMarks {
    QPointF door;         // middle of the doorstep
    QPointF chimney_top;  // where smoke leaves the chimney
    QRectF bounds;        // the walls, roof and snow (not light, smoke or shadow)
};

// The house with its walls, windows, door, snowy roof, chimney and smoke,
// snow drifted against its walls, its shadow on the snow away from the light
// and, at night, the light of its windows spilling onto the snow in front.
HouseMarks paint_house(QPainter& painter, MediaRandom& rng, const House& house, const Mood& mood);
// Where paint_house puts the house, without painting it.
QRectF house_bounds(const House& house);

}  // namespace wm::media
