#pragma once
// Rows of distant forest stepping back across a picture, each on a gently
// rolling ground line that rises toward the sides around an open valley in
// the middle, with a bank of mist lying along its foot.

#include "assets/kit/media_random.h"

#include <QColor>
#include <QPainter>
#include <QSizeF>

#include <span>

namespace wm::media {

// One row: its ground line and the rise of its ends as shares of the
// picture's height, its trees' height in units, and its colours.
struct ForestRow {
    double y, lift, tree;
    QColor trees, snow;
};

// What every row shares.
struct ForestRowsLook {
    double roughness = 20.0;  // how far the ground line rolls, in units
    double spacing = 0.3;     // between trees, as a share of their height
    double snow_cover = 0.5;  // see TreelineLook
    bool light_from_left = true;
    double mist_above = 0.02;  // the mist's top above the row's ground line ...
    double mist_depth = 0.1;   // ... and its depth, as shares of the picture's height
    QColor mist;
    double mist_strength = 0.3;
};

// Paints `rows` from the farthest (first) to the nearest.
void paint_forest_rows(QPainter& painter, MediaRandom& rng, QSizeF picture, double unit,
                       std::span<const ForestRow> rows, const ForestRowsLook& look);

}  // namespace wm::media
