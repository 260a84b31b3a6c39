#pragma once
// The European robin of the sprite sheet: a plump bird with an olive-brown
// back, an orange-red face and breast edged in blue-grey, a white belly, and
// brown wings and tail, flying to the right, seen from the side and a little
// from below.

#include "assets/bird/flap_cycle.h"

#include <QImage>

namespace wm::media {

// Paints the robin in `pose` into `canvas` (QImage::Format_ARGB32_Premultiplied,
// transparent), which stands for one sheet cell drawn at canvas.width() /
// kCellSize times its size.
void paint_robin(QImage& canvas, const FlapPose& pose);

}  // namespace wm::media
