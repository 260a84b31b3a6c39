#pragma once
// Aurora: curtains of light hanging from the night sky, folding back on
// themselves above a swaying bright lower edge.

#include "assets/kit/media_random.h"

#include <QColor>
#include <QPainter>

namespace wm::media {

// A curtain of aurora hanging from the sky above a swaying lower edge.
struct AuroraLook {
    double left = 0.0;
    double right = 0.0;
    double base = 0.0;    // mean y of the lower edge
    double sway = 0.0;    // how far the lower edge swings up and down
    double rise = 0.0;    // how much lower (+) the edge is at the right end than the left
    double height = 0.0;  // typical height of the rays
    QColor low;           // the bright lower edge
    QColor high;          // the fading tops of the rays
    double strength = 1.0;
    int folds = 2;  // how often the curtain folds back on itself
};

// Added light: paint it over the sky before anything stands in front of it.
void paint_aurora(QPainter& painter, MediaRandom& rng, const AuroraLook& look);

}  // namespace wm::media
