#pragma once
// Deep canvases: pictures are painted with 16 bits per channel, so gradients
// and glows stay smooth, and are brought down to 8 bits only at the end with
// a fine dither, so broad skies show no bands.

#include <QColor>
#include <QImage>
#include <QSize>

#include <cstdint>

namespace wm::media {

// A canvas of `size` in QImage::Format_RGBA64_Premultiplied filled with `fill`.
QImage new_canvas(QSize size, const QColor& fill = Qt::black);

// The canvas in QImage::Format_RGB32 (alpha dropped), each channel rounded
// after adding triangular noise of one 8-bit step drawn from `seed`.
QImage finish_canvas(const QImage& canvas, std::uint64_t seed);

}  // namespace wm::media
