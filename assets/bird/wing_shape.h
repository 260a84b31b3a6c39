#pragma once
// The bird's wings as gently arched feathered surfaces in space, posed by the
// flap cycle and seen by the sheet's camera (from the side, a little from
// below and in front), flattened to outlines in drawing units.

#include "assets/bird/flap_cycle.h"

#include <QPointF>
#include <QPolygonF>

#include <vector>

namespace wm::media {

// One feather (or a row of coverts) seen by the camera, relative to the
// body's centre, y down.
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
};

enum class WingSide { Far, Near };

// The wing on `side` in `pose`, relative to the body's centre.
WingOutline wing_outline(const FlapPose& pose, WingSide side);

}  // namespace wm::media
