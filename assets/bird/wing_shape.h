#pragma once
// The bird's wings as flat feathered shapes in space, posed by the flap cycle
// and seen by the sheet's camera (from the side, a little from below and in
// front), flattened to outlines in cell pixels.

#include "assets/bird/flap_cycle.h"

#include <QPointF>
#include <QPolygonF>

#include <vector>

namespace wm::media {

// The camera's view of a point in the bird's space: x forward, y up, z toward
// the viewer; pixels, origin at the body's centre.
struct ViewPoint {
    QPointF screen;  // cell pixels relative to the body's centre, y down
    double depth;    // toward the viewer
};
ViewPoint view_point(double x, double y, double z);

// One feather (or the covert patch) seen by the camera.
struct FeatherOutline {
    QPolygonF outline;
    QPointF root;          // where the shaft starts
    QPointF tip;           // where it ends
    double facing = 0;     // -1 underside toward the viewer .. 1 upper side
    bool primary = false;  // one of the hand's feathers
};

struct WingOutline {
    // Flight feathers in painting order (the ones underneath first).
    std::vector<FeatherOutline> feathers;
    // Rows of covert feathers over the feather bases, arm and hand together,
    // in painting order.
    std::vector<FeatherOutline> coverts;
    QPointF shoulder;
};

enum class WingSide { Far, Near };

// The wing on `side` in `pose`, relative to the body's centre.
WingOutline wing_outline(const FlapPose& pose, WingSide side);

}  // namespace wm::media
