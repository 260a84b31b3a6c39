#pragma once
// Mountain ranges: an outline of summits rising from a foot line, built once
// and painted as often as needed (a reflection, say) with rock, snow, rock
// ribs, glaciers, shaded faces, lit ridges and the haze in front. Lengths are
// in pixels; `unit` is one 1080th of the picture's height.

#include "assets/kit/media_random.h"

#include <QColor>
#include <QPainter>
#include <QPointF>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace wm::media {

// One summit: where it stands and how steeply its flanks fall to the left and
// to the right (pixels down per pixel across, near the top).
struct PeakShape {
    double x = 0.0;
    double top = 0.0;
    double fall_left = 1.0;
    double fall_right = 1.0;
};

// The outline of a range: its summits rise from the foot line at y = `foot`
// with concave flanks; `crag` is the roughness of the ridge at the summits.
struct RangeShape {
    double left = 0.0;
    double right = 0.0;
    double foot = 0.0;
    double bottom = 0.0;  // the range is painted down to here
    double crag = 0.0;
    std::vector<PeakShape> peaks;
};

// A range built once, so it can be painted again (as a reflection, say).
struct MountainRange {
    std::vector<QPointF> ridge;        // left to right, never below the foot
    std::vector<std::size_t> summits;  // ridge indices of the visible summits, in order
    double foot = 0.0;
    double bottom = 0.0;
    std::uint64_t seed = 0;  // the details painted on it
};

MountainRange make_range(MediaRandom& rng, const RangeShape& shape);

// How a range is lit and how far away it stands.
struct RangeLook {
    QColor snow;              // lit snow
    QColor rock;              // lit rock
    QColor shade;             // multiplied into the faces turned away from the light
    QColor rim;               // light caught along the lit ridges
    QColor haze;              // the air between the range and the viewer
    double haze_top = 0.0;    // haze opacity at the summits ...
    double haze_foot = 0.0;   // ... and at the foot
    double snow_cover = 0.6;  // share of the way from ridge to foot under snow; 1 covers all
    double detail = 1.0;      // 0 for a plain far range .. 1 for rock ribs, gullies, crevasses
    double unit = 1.0;
    bool light_from_left = true;
    bool glaciers = false;  // blue ice with crevasses in the deep valleys between summits
};

void paint_range(QPainter& painter, const MountainRange& range, const RangeLook& look);

}  // namespace wm::media
