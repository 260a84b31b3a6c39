#pragma once
// Geometry of left-to-right lines (ridges, crests, the ground under trees):
// their height anywhere along them, their lowest point between two places,
// and bending them into a valley.

#include <QPointF>

#include <cstddef>
#include <vector>

namespace wm::media {

// The height (y) of a left-to-right polyline at `x`, interpolated between its
// points and held level beyond its ends; 0 for an empty line.
double line_height(const std::vector<QPointF>& line, double x);

// The index of the lowest point (largest y) of `line` between indices a and b,
// both included, in either order; the first of equals. Both must be valid.
std::size_t saddle_between(const std::vector<QPointF>& line, std::size_t a, std::size_t b);

// Bends a left-to-right line into a valley around x = `middle`: each point
// rises by `lift` times the square of its distance from the middle measured
// in `half_width`s.
void open_valley(std::vector<QPointF>& line, double middle, double half_width, double lift);

}  // namespace wm::media
