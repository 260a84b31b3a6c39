#pragma once
// The parts a house (and a church) is put together from: wall faces, doors,
// a lantern, an awning, a chimney and a snowy roof slope. Each paints in the
// coordinates it is handed, without checking sizes: the house checks them.

#include "assets/kit/house.h"
#include "assets/kit/media_random.h"
#include "assets/kit/mood.h"

#include <QColor>
#include <QPainter>
#include <QPointF>
#include <QRectF>

namespace wm::media::piece {

// How far a side wall rises on the screen for each pixel it recedes, and how
// much shorter it looks than it is.
constexpr double kRise = 0.22;
constexpr double kForeshorten = 0.6;

// How a wall face looks.
struct FaceLook {
    double width;
    double height;
    double gable;
    WallKind kind;
    QColor colour;  // already in the mood's light
    QColor trim;
    int floors;
};

// A wall face in its own coordinates: x from 0 to width, y from -height (top
// of the wall) to 0 (the ground), with a gable above when `look.gable` > 0;
// shaded under the eaves, textured by its kind, corner boards on plain walls.
void paint_face(QPainter& painter, MediaRandom& rng, const FaceLook& look, const Mood& mood);

// A plank door in `rect` with its frame, a small lit pane, a wreath when
// `wreath` is set, and a snowy step.
void paint_door(QPainter& painter, MediaRandom& rng, const QRectF& rect, const QColor& colour,
                const QColor& trim, bool wreath, const Mood& mood);
// A lit lantern hanging from `top`, `size` wide.
void paint_lantern(QPainter& painter, QPointF top, double size, const Mood& mood);
// A striped canopy over a shop window, its edge cut in scallops, snow on top.
void paint_awning(QPainter& painter, MediaRandom& rng, const QRectF& window, const QColor& colour,
                  const Mood& mood, double facing);

// A brick chimney standing on the roof at `foot`, snow on its cap and heaped
// at its foot, smoke rising from it when `smoke` is set.
void paint_chimney(QPainter& painter, MediaRandom& rng, QPointF foot, double width, double rise,
                   double roof_facing, const Mood& mood, bool smoke);
// The snow-covered slope of a roof from its ridge (a -> b) down to its eave
// (a -> b), lit from the ridge, with a few soft ripples the wind left.
void paint_roof_plane(QPainter& painter, MediaRandom& rng, QPointF ridge_a, QPointF ridge_b,
                      QPointF eave_a, QPointF eave_b, const Mood& mood, double facing);

}  // namespace wm::media::piece
