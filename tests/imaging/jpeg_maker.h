#pragma once
// JPEG files made on the spot for the imaging tests.

#include <QByteArray>
#include <QRgb>

#include <functional>

namespace wm::test {

// A baseline JPEG (4:4:4, or one grey channel with `grey`) of the picture
// whose pixel (x, y), counted from the top left, is pixel(x, y). For `grey`
// the red channel is used.
QByteArray make_jpeg(int width, int height, const std::function<QRgb(int x, int y)>& pixel,
                     bool grey = false, int quality = 95);

// Offset of the first JPEG marker 0xFF `code` in `jpeg`, or -1.
qsizetype find_marker(const QByteArray& jpeg, unsigned char code);

}  // namespace wm::test
