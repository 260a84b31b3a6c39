#pragma once
// A leafless tree with snow along its boughs.

#include "assets/kit/media_random.h"
#include "assets/kit/mood.h"

#include <QColor>
#include <QPainter>
#include <QPointF>

namespace wm::media {

// A leafless tree standing at `base`, `height` tall, snow along its boughs.
void paint_bare_tree(QPainter& painter, MediaRandom& rng, QPointF base, double height,
                     const QColor& bark, const Mood& mood);

}  // namespace wm::media
