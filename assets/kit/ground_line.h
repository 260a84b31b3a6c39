#pragma once
// The ground a village stands on, given as a line of points left to right
// (a ridge line, the foot of a fence).

#include <QPointF>

#include <vector>

namespace wm::media {

// The height of `ground` at `x`: along the straight piece between the points
// either side of it, level with the end points beyond them. An empty line has
// height 0.
double ground_height_at(const std::vector<QPointF>& ground, double x);

}  // namespace wm::media
