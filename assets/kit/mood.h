#pragma once
// The light a village picture is painted in. Every house, church, fence and
// tree takes a Mood, so one house looks right by day and by night.

#include <QColor>

namespace wm::media {

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

}  // namespace wm::media
