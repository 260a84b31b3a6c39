#include "assets/kit/image_files.h"

#include <QBuffer>
#include <QImageWriter>

#include <turbojpeg.h>

#include <memory>

namespace wm::media {

QByteArray encode_jpeg(const QImage& picture, int quality) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    const std::unique_ptr<void, int (*)(tjhandle)> encoder(tjInitCompress(), tjDestroy);
    if (!encoder || rgb.isNull()) {
        return {};
    }
    unsigned char* jpeg = nullptr;
    unsigned long jpeg_size = 0;
    // Format_RGB32 is 0xffRRGGBB in native order: B, G, R, X bytes on little-endian hosts.
    const int status = tjCompress2(encoder.get(), rgb.constBits(), rgb.width(),
                                   static_cast<int>(rgb.bytesPerLine()), rgb.height(),
                                   Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TJPF_BGRX : TJPF_XRGB, &jpeg,
                                   &jpeg_size, TJSAMP_420, quality, TJFLAG_ACCURATEDCT);
    QByteArray bytes;
    if (status == 0) {
        bytes = QByteArray(reinterpret_cast<const char*>(jpeg), static_cast<qsizetype>(jpeg_size));
    }
    tjFree(jpeg);
    return bytes;
}

namespace {

QByteArray encode_with(const QImage& picture, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(picture)) {
        return {};
    }
    return bytes;
}

}  // namespace

QByteArray encode_png(const QImage& picture) {
    return encode_with(picture, "png");
}

QByteArray encode_bmp(const QImage& picture) {
    return encode_with(picture, "bmp");
}

}  // namespace wm::media
