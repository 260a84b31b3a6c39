#pragma once
// Houses, a church and what stands around them in a snowy village: fences,
// lamp posts, strings of coloured lights, bare trees, distant tree lines,
// chimney smoke and the moon. Every piece is painted in the light of a Mood,
// so one house looks right by day and by night, and takes its sizes in
// pixels, so a picture scales by handing in scaled sizes. Each helper takes
// one number from the generator it is given and scatters its detail from a
// generator of its own. Sizes that are not finite, negative or beyond 8192
// pixels are refused: nothing is painted.

#include "assets/kit/media_random.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

#include <vector>

namespace wm::media {

// The light a picture is painted in.
struct Mood {
    QColor ambient;           // what faces out of the light sink toward (night blue, sky blue)
    double darkness = 0.0;    // 0 by day .. 1 deep night: how far walls sink toward `ambient`
    double light_side = 1.0;  // -1 light from the left, +1 from the right
    QColor snow;              // snow facing the sky
    QColor snow_shade;        // snow turned away from the light, undersides, shadows
    QColor lamp;              // warm light of windows and lamps
    double glow = 0.0;        // 0..1 how strongly lit windows and lamps glow into the dark
    double shadow = 0.0;      // 0..1 how dark the shadows buildings cast on the snow are
};

// A rounded band of snow lying along the edge a -> b (an eave, a gable's edge,
// a rail): `thickness` above the edge, hanging `hang` below it in soft
// scallops, its rounded ends reaching half the thickness past a and b. "Above" is
// the side of the edge that faces up on the screen.
QPainterPath snow_lip_path(MediaRandom& rng, QPointF a, QPointF b, double thickness, double hang);
// That band painted, shaded from `mood.snow` on top to `mood.snow_shade`
// underneath, with icicles under it when `icicles` is set.
void paint_snow_lip(QPainter& painter, MediaRandom& rng, QPointF a, QPointF b, double thickness,
                    double hang, const Mood& mood, bool icicles);

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

// A window in `rect`: frame, glazing bars, warm light when `lit` (0..1) with
// curtains, or a round top and leaded glass when `arched`; a snowy sill,
// shutters unless `shutters` is transparent; its glow on the wall at night.
void paint_window(QPainter& painter, MediaRandom& rng, const QRectF& rect, double lit,
                  const QColor& frame, const QColor& shutters, bool arched, const Mood& mood);

// A village church seen from the side: a long nave with tall arched windows
// and a tower with a belfry, clock and spire on the `tower_side` (+1 right,
// -1 left) end.
struct Church {
    QPointF base;  // bottom left corner of the nave's long wall
    double nave_width = 360.0;
    double nave_height = 170.0;
    double tower_width = 110.0;
    double tower_height = 300.0;  // up to the foot of the spire
    double spire_height = 260.0;
    double depth = 90.0;
    int tower_side = -1;
    QColor wall = QColor(205, 195, 180);
    QColor roof_colour = QColor(90, 70, 80);
    double lit = 1.0;
};
// The church, returning the top of the cross on its spire.
QPointF paint_church(QPainter& painter, MediaRandom& rng, const Church& church, const Mood& mood);

enum class FenceKind { Picket, Rails };
// A fence along `ground` (points left to right on the snow), `height` tall,
// each post and rail capped with snow.
void paint_fence(QPainter& painter, MediaRandom& rng, const std::vector<QPointF>& ground,
                 double height, const QColor& wood, FenceKind kind, const Mood& mood);

// A street lamp standing at `base`, `height` tall, its lantern lit.
void paint_lamp_post(QPainter& painter, MediaRandom& rng, QPointF base, double height,
                     const Mood& mood);

// A sagging string of coloured bulbs from a to b, `sag` below the straight line.
void paint_light_string(QPainter& painter, MediaRandom& rng, QPointF a, QPointF b, double sag,
                        int bulbs, double bulb_radius, double glow);

// A leafless tree standing at `base`, `height` tall, snow along its boughs.
void paint_bare_tree(QPainter& painter, MediaRandom& rng, QPointF base, double height,
                     const QColor& bark, const Mood& mood);

// A line of simple fir trees standing on `base` between left and right, up
// to `height` tall, in one `colour` with `snow` lying along their tiers: a
// far wood in the haze, or near firs in silhouette.
void paint_tree_line(QPainter& painter, MediaRandom& rng, double left, double right, double base,
                     double height, const QColor& colour, const QColor& snow);

// Smoke rising from `origin` for `rise` pixels, drifting `drift` sideways.
void paint_smoke(QPainter& painter, MediaRandom& rng, QPointF origin, double rise, double drift,
                 const QColor& colour, double opacity);

// A full moon with faint seas and a wide halo.
void paint_moon(QPainter& painter, QPointF centre, double radius, const QColor& halo);

// Corners darkened toward `colour`, `strength` at the very corners.
void paint_vignette(QPainter& painter, const QRectF& frame, const QColor& colour, double strength);

}  // namespace wm::media
