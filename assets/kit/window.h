#pragma once
// A house's window, lit or dark, painted in the light of a Mood.

#include "assets/kit/media_random.h"
#include "assets/kit/mood.h"

#include <QColor>
#include <QPainter>
#include <QRectF>

namespace wm::media {

// A window in `rect`: frame, glazing bars, warm light when `lit` (0..1) with
// curtains, or a round top and leaded glass when `arched`; a snowy sill,
// shutters unless `shutters` is transparent; its glow on the wall at night.
void paint_window(QPainter& painter, MediaRandom& rng, const QRectF& rect, double lit,
                  const QColor& frame, const QColor& shutters, bool arched, const Mood& mood);

}  // namespace wm::media
