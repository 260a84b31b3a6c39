#pragma once
// Painting helpers shared by the generated pictures: colour mixing, smooth
// gradients and glows, ridgelines, stars, falling snow and snowy pine trees.
// Every helper that scatters things takes the generator to draw from, so a
// picture is the same on every build.

#include "assets/kit/media_random.h"

#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRadialGradient>
#include <QRectF>

#include <initializer_list>
#include <numbers>
#include <vector>

namespace wm::media {

// A full turn in radians.
inline constexpr double kTau = 2.0 * std::numbers::pi;

// A colour at `at` (0..1) along a gradient.
struct ColorStop {
    double at;
    QColor color;
};

// A point with x in [x_lo, x_hi) and y in [y_lo, y_hi), x drawn first.
QPointF random_point(MediaRandom& rng, double x_lo, double x_hi, double y_lo, double y_hi);

// a when t = 0, b when t = 1, channel by channel (alpha too).
QColor mix(const QColor& a, const QColor& b, double t);
// `colour` with its alpha set to `alpha` (0..1).
QColor with_alpha(const QColor& colour, double alpha);

// A top-to-bottom gradient from y = top to y = bottom through `stops`.
QLinearGradient vertical_gradient(double top, double bottom,
                                  std::initializer_list<ColorStop> stops);

// A soft round glow: `colour` at `peak` alpha in the centre, falling off like
// a bell curve to nothing at `radius`.
QRadialGradient glow_gradient(QPointF centre, double radius, const QColor& colour, double peak);
// Paints that glow (plain source-over blending).
void paint_glow(QPainter& painter, QPointF centre, double radius, const QColor& colour,
                double peak);

// A ridgeline from x = left to x = right around height `base`: midpoint
// displacement with `amplitude` at the coarsest level, each finer level
// scaled by `roughness` (0.4 gives rolling hills, 0.6 craggy peaks);
// 2^detail + 1 points.
std::vector<QPointF> ridge_line(MediaRandom& rng, double left, double right, double base,
                                double amplitude, double roughness, int detail);
// The closed shape under a ridgeline, down to y = bottom.
QPainterPath area_below(const std::vector<QPointF>& line, double bottom);
// A smooth closed shape under a ridgeline (curves through the points).
QPainterPath smooth_area_below(const std::vector<QPointF>& line, double bottom);

// Stars in `sky`, fewer and dimmer toward its bottom; a few larger ones get
// a soft halo.
void paint_stars(QPainter& painter, MediaRandom& rng, const QRectF& sky, int count,
                 double max_radius);

// Falling snow in `region`: flakes of radius min_radius..max_radius, the
// larger ones (nearer) softer and brighter.
void paint_snowfall(QPainter& painter, MediaRandom& rng, const QRectF& region, int flakes,
                    double min_radius, double max_radius, const QColor& colour);

// A snow-laden pine (spruce) standing on `base` (bottom centre of the trunk),
// `height` tall: tiers of ragged branches in `needles`, snow caps in `snow`
// covering about `snow_cover` (0..1) of each tier's top. Draws one number
// from `rng` and paints from a generator of its own.
void paint_pine(QPainter& painter, MediaRandom& rng, QPointF base, double height,
                const QColor& needles, const QColor& snow, double snow_cover);

}  // namespace wm::media
