#pragma once
// Encoding generated pictures into the file formats the program reads.

#include <QByteArray>
#include <QImage>

namespace wm::media {

// A baseline JPEG of `picture` (any format; alpha dropped), 4:2:0 chroma.
// Empty when the encoder fails.
QByteArray encode_jpeg(const QImage& picture, int quality);

// PNG, or BMP, of `picture` as it is (indexed pictures stay indexed).
// Empty when the writer fails.
QByteArray encode_png(const QImage& picture);
QByteArray encode_bmp(const QImage& picture);

}  // namespace wm::media
