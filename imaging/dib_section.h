#pragma once
// cDIBSection: the program's off-screen 24-bit pixel surface.
//
// Layout (fixed): 3 bytes per pixel in the order blue, green, red; every row
// padded to a multiple of 4 bytes (BytesPerScanLine); rows stored bottom-up, so
// the first row in memory is the picture's bottom row. Byte (x, y) of the bits
// is at y * BytesPerScanLine() + x, with y the row in memory order.
//
// A surface is either empty (no bits, handles 0) or live (zero-filled bits of
// BytesPerScanLine() * height() bytes, non-zero handles). The handles are
// opaque ids, unique per Create, that stand for the drawing context and bitmap
// of other desktops. Rectangle copies to and from other rasters take QImages
// in QImage::Format_RGB32, addressed top-down like any picture.

#include "imaging/raster_op.h"

#include <QImage>

#include <cstdint>
#include <memory>

namespace wm {

// The standard bitmap information header (BITMAPINFOHEADER), no colour table.
struct DibHeader {
    std::uint32_t size = 40;
    std::int32_t width = 0;
    std::int32_t height = 0;  // positive: rows stored bottom-up
    std::uint16_t planes = 1;
    std::uint16_t bit_count = 24;
    std::uint32_t compression = 0;  // uncompressed RGB
    std::uint32_t image_size = 0;   // BytesPerScanLine * height
    std::int32_t x_pels_per_meter = 0;
    std::int32_t y_pels_per_meter = 0;
    std::uint32_t colours_used = 0;
    std::uint32_t colours_important = 0;
};

class cDIBSection {
  public:
    using Handle = std::uint64_t;

    // Largest surface Create accepts: each side at most kMaxDimension pixels and
    // the bits at most kMaxImageBytes. Larger requests (a hostile picture header
    // asking for 60000 x 60000, say) fail before anything is allocated.
    static constexpr std::int64_t kMaxDimension = 32768;
    // 256 MiB holds a 10000 x 8000 photograph with room to spare, yet bounds
    // what a few hundred bytes of forged header can make us allocate.
    static constexpr std::int64_t kMaxImageBytes = std::int64_t{256} << 20;

    // Row stride for a width: width * 3 + 3 with the two lowest bits cleared.
    static constexpr std::int64_t bytes_per_scan_line(std::int64_t width) {
        return (width * 3 + 3) & ~std::int64_t{3};
    }

    // True when Create accepts width x height: both sides 1 .. kMaxDimension
    // and the bits at most kMaxImageBytes. Pictures are measured against it
    // before they are decoded at all.
    static constexpr bool within_limits(std::int64_t width, std::int64_t height) {
        return width > 0 && height > 0 && width <= kMaxDimension && height <= kMaxDimension &&
               bytes_per_scan_line(width) * height <= kMaxImageBytes;
    }

    cDIBSection() = default;
    ~cDIBSection();
    cDIBSection(const cDIBSection&) = delete;
    cDIBSection& operator=(const cDIBSection&) = delete;

    // Empties the surface, then makes a zero-filled one of the given size. False
    // (surface empty, width and height 0) for a side <= 0 or beyond the limits
    // above, or when memory runs out.
    bool Create(int width, int height);

    // Releases the bits; handles and bits pointer become 0. Width and height keep
    // their last values. Safe on an empty surface.
    void ClearUp();

    int BytesPerScanLine() const { return static_cast<int>(bytes_per_scan_line(header_.width)); }
    int width() const { return header_.width; }
    int height() const { return header_.height; }
    const DibHeader& header() const { return header_; }

    Handle hDC() const { return hdc_; }
    Handle hDib() const { return hdib_; }
    std::uint8_t* DIBSectionBitsPtr() { return bits_.get(); }
    const std::uint8_t* DIBSectionBitsPtr() const { return bits_.get(); }

    // Copies (src_width x src_height) from (src_left, src_top) of `source` into
    // the surface at its top-left corner. A width or height < 0 means the
    // surface's. Clipped at both rasters' edges. False when the surface is empty
    // or `source` is not Format_RGB32.
    bool LoadPictureBlt(const QImage& source, int src_left, int src_top, int src_width,
                        int src_height, RasterOp rop = RasterOp::kSrcCopy);

    // Copies (dest_width x dest_height) from (src_left, src_top) of the surface
    // to (dest_left, dest_top) of `dest`. A width or height < 0 means the
    // surface's. Clipped at both rasters' edges. False when the surface is empty
    // or `dest` is not Format_RGB32.
    bool PaintPicture(QImage& dest, int dest_left, int dest_top, int dest_width, int dest_height,
                      int src_left, int src_top, RasterOp rop = RasterOp::kSrcCopy) const;

    // Fills every pixel with random values from the run's generator: with
    // `gray`, three equal channels; otherwise blue 0 and random green and red.
    // Row padding is left alone.
    void RandomiseBits(bool gray);

    // A new surface of the given size (note: height first) holding this one's
    // picture: a byte copy at the same size, else a bilinear resample. Null
    // when the target size is <= 0 or too large, when this surface is empty, or
    // when resampling would need a source narrower or lower than 2 pixels.
    std::shared_ptr<cDIBSection> Resample(int new_height, int new_width) const;

    // Bilinear resample of this surface into the live `target`, at the
    // target's size. False (target untouched) when either surface is empty or
    // this one is narrower or lower than 2 pixels.
    bool ResampleInto(cDIBSection& target) const;

    // Puts an upright copy of the surface on the clipboard as an image. False
    // without a graphical application or for an empty surface; with `as_dib`
    // it says that is not possible and puts nothing there.
    bool CopyToClipboard(bool as_dib) const;

  private:
    struct FreeBits {
        void operator()(std::uint8_t* bits) const;
    };

    bool CreateDIB(int width, int height, Handle& dib);

    DibHeader header_;
    Handle hdc_ = 0;
    Handle hdib_ = 0;
    std::unique_ptr<std::uint8_t[], FreeBits> bits_;
};

// The surface as an upright Format_RGB32 image; a null image when it is empty.
QImage to_qimage(const cDIBSection& surface);

}  // namespace wm
