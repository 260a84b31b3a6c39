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
                     bool grey = false, int quality = 95, bool progressive = false);

// A progressive JPEG of `components` (1 or 3, no subsampling) whose frame
// header claims width x height and which holds no coded data at all: one DC
// scan, then `ac_scans` empty AC scans of 10 bytes each: 140 + 10 x
// ac_scans bytes for one component. What a few kilobytes can ask of a
// decoder.
QByteArray make_empty_scans(int width, int height, int ac_scans, int components = 1);

// Offset of the first JPEG marker 0xFF `code` in `jpeg`, or -1.
qsizetype find_marker(const QByteArray& jpeg, unsigned char code);

}  // namespace wm::test
