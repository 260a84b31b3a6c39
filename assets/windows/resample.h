#pragma once
// Shrinking pictures the way light adds up: each output pixel is the
// area-weighted average of the source pixels it covers, taken in linear light,
// so fine bright details (stars, flakes, lettering) keep their brightness
// instead of greying out.

#include <QImage>
#include <QSize>

namespace wm::media {

// `picture` (any format; alpha dropped) shrunk or stretched to `size`, in
// QImage::Format_RGB32. A null picture or an empty size gives a null image.
QImage resample_linear_light(const QImage& picture, QSize size);

}  // namespace wm::media
