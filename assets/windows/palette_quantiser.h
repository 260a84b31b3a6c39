#pragma once
// Bringing a full-colour picture down to an 8-bit indexed one with a palette
// of our own: median cut chooses the colours, a few rounds of k-means settle
// them on the picture's clusters, and serpentine Floyd-Steinberg error
// diffusion places them. Every step is plain arithmetic, so the same picture
// always gives the same palette and the same indices.

#include <QImage>

namespace wm::media {

// `picture` (any format; alpha dropped) as QImage::Format_Indexed8 with at
// most `colours` entries (clamped to 2..256), sorted from dark to light.
// A null picture gives a null image.
QImage quantise_to_indexed(const QImage& picture, int colours);

}  // namespace wm::media
