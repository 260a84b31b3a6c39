#pragma once
// The scenery shared by the window pictures, the border's preview, the
// title card and the program's icon, so they read as one family: a moonlit night over snowy hills
// with pines, a robin on a snowy twig, and six-armed snowflakes. Everything
// paints through a QPainter in the caller's coordinates.

#include "assets/kit/media_random.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QSize>

#include <cstdint>

namespace wm::media {

// Where things go in a winter night; positions are fractions of the area.
struct NightLayout {
    double horizon = 0.6;       // top of the far hills, from the area's top
    QPointF moon{0.78, 0.22};   // centre of the moon
    double moon_radius = 0.07;  // a fraction of the area's height
    double star_density = 1.0;  // stars per 1000 square pixels of sky
    int pines = 7;              // snowy pines on the near hills
    bool cottage = false;       // a cottage with lit windows on the near hill
    double cottage_at = 0.3;    // its centre across the area
    int crystals = 0;           // large drifting snow crystals in the sky...
    QRectF lettering;           // ...kept off the lettering drawn here later
};

// The night sky filling `area`: deep blue at its top, paling down to the
// haze at `horizon_y` and that haze below it.
void paint_night_sky(QPainter& painter, const QRectF& area, double horizon_y);

// The far hills in the moonlight, and the bright snow of a drift in the
// foreground, as gradients from y = top to y = bottom.
QLinearGradient far_hill_gradient(double top, double bottom);
QLinearGradient snow_drift_gradient(double top, double bottom);

// The night filling `area`, drawn from `seed`.
void paint_winter_night(QPainter& painter, const QRectF& area, std::uint64_t seed,
                        const NightLayout& layout);

// A robin perched with its feet at `feet`, `height` tall, facing right or left.
void paint_robin(QPainter& painter, QPointF feet, double height, bool facing_right);

// A twig from `from` to `to`, `thickness` at its base, with snow along its
// top and a few red berries. Gives where a bird perched `perch_at` (0..1)
// along it stands.
QPointF paint_snowy_twig(QPainter& painter, MediaRandom& rng, QPointF from, QPointF to,
                         double thickness, double perch_at);

// A six-armed snowflake of `radius` in `colour`, its strokes `weight` times
// the radius wide.
void paint_snowflake(QPainter& painter, QPointF centre, double radius, const QColor& colour,
                     double weight = 0.1);

// A small finished night (QImage::Format_RGB32), as in the window pictures.
QImage paint_winter_vignette(QSize size);

}  // namespace wm::media
