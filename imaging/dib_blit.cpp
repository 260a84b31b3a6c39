// Rectangle copies between a surface and 32-bit QImage rasters.

#include "imaging/blit_clip.h"
#include "imaging/dib_section.h"
#include "imaging/raster_combine.h"

#include <QRgb>

namespace wm {
namespace {

// The surface's pixel at picture column 0 of picture row `row` (rows counted
// from the top, as the picture is seen; memory holds them bottom-up).
template <typename Bits>
Bits* picture_row(Bits* bits, const cDIBSection& s, int row) {
    return bits + std::int64_t{s.height() - 1 - row} * s.BytesPerScanLine();
}

QRgb* image_row(QImage& image, int row) {
    return reinterpret_cast<QRgb*>(image.scanLine(row));
}

const QRgb* image_row(const QImage& image, int row) {
    return reinterpret_cast<const QRgb*>(image.constScanLine(row));
}

QSize size_of(const cDIBSection& s) {
    return QSize(s.width(), s.height());
}

}  // namespace

bool cDIBSection::LoadPictureBlt(const QImage& source, int src_left, int src_top, int src_width,
                                 int src_height, RasterOp rop) {
    if (!bits_ || source.format() != QImage::Format_RGB32) {
        return false;
    }
    const std::optional<BlitRect> r =
        clip_blit(source.size(), src_left, src_top, size_of(*this), 0, 0,
                  src_width < 0 ? width() : src_width, src_height < 0 ? height() : src_height);
    return with_combine(rop, [&](auto combine) {
        if (!r) {
            return;
        }
        for (int row = 0; row < r->height; ++row) {
            const QRgb* src = image_row(source, r->src_y + row) + r->src_x;
            std::uint8_t* dst = picture_row(bits_.get(), *this, r->dst_y + row) + r->dst_x * 3;
            for (int col = 0; col < r->width; ++col, dst += 3) {
                const QRgb v = combine(src[col], qRgb(dst[2], dst[1], dst[0]));
                dst[0] = static_cast<std::uint8_t>(qBlue(v));
                dst[1] = static_cast<std::uint8_t>(qGreen(v));
                dst[2] = static_cast<std::uint8_t>(qRed(v));
            }
        }
    });
}

bool cDIBSection::PaintPicture(QImage& dest, int dest_left, int dest_top, int dest_width,
                               int dest_height, int src_left, int src_top, RasterOp rop) const {
    if (!bits_ || dest.format() != QImage::Format_RGB32) {
        return false;
    }
    const std::optional<BlitRect> r =
        clip_blit(size_of(*this), src_left, src_top, dest.size(), dest_left, dest_top,
                  dest_width < 0 ? width() : dest_width, dest_height < 0 ? height() : dest_height);
    return with_combine(rop, [&](auto combine) {
        if (!r) {
            return;
        }
        for (int row = 0; row < r->height; ++row) {
            const std::uint8_t* src =
                picture_row(DIBSectionBitsPtr(), *this, r->src_y + row) + r->src_x * 3;
            QRgb* dst = image_row(dest, r->dst_y + row) + r->dst_x;
            for (int col = 0; col < r->width; ++col, src += 3) {
                dst[col] = combine(qRgb(src[2], src[1], src[0]), dst[col]);
            }
        }
    });
}

}  // namespace wm
