#pragma once
// Files a hostile or careless picture or music list may name, made on the
// spot: pictures whose headers claim more than any screen needs, damaged
// streams, and the special files (a pipe, a folder, a link to a device) that
// a reader must refuse without opening.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace wm::test {

// A picture with tens of thousands of colours (a gradient through `hue`),
// so a screenshot tells it from a blank or bordered screen.
QImage colourful_picture(int width, int height, int hue);

// `picture` as JPEG file bytes (Qt's writer, baseline).
QByteArray jpeg_bytes(const QImage& picture, int quality = 90);

// A small real JPEG whose frame header is rewritten to claim width x height.
// The scan data still belongs to the small picture.
QByteArray jpeg_claiming(int width, int height);

// A small real PNG whose header claims width x height (its CRC made right,
// so a reader believes it until the pixel data runs out).
QByteArray png_claiming(int width, int height);

// A GIF with a good header and a broken LZW stream.
QByteArray broken_gif();

// A BMP whose height is negative (a top-down bitmap) and as large as the
// field holds, with a few bytes of pixels.
QByteArray bmp_with_negative_height();

// A RIFF wave file whose header claims nearly 4 GB of samples, holding a
// fraction of a second.
QByteArray wave_claiming_gigabytes();

// Makes a named pipe at `path`; false when it could not be made.
bool make_fifo(const QString& path);

}  // namespace wm::test
