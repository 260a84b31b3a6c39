#include "imaging/picture_box.h"

#include "imaging/blit_clip.h"
#include "imaging/raster_combine.h"
#include "platform/rounding.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <utility>

namespace wm {
namespace {

// 96 dots per inch as dots per metre (96 / 0.0254 = 3779.5...), which Qt
// reads back as 96 dpi: fonts are measured and drawn at that resolution
// whatever the screen says.
constexpr int kDotsPerMetre = 3780;

// Largest raster a box takes: each side at most kMaxSide pixels and at most
// kMaxPixels pixels in all (512 MiB), room for any photograph the JPEG
// reader accepts.
constexpr std::int64_t kMaxSide = 32768;
constexpr std::int64_t kMaxPixels = std::int64_t{1} << 27;

// Font sizes above this many points count as this many: larger text only
// costs time and memory.
constexpr double kMaxFontPoints = 2048.0;

bool fits_limits(std::int64_t width, std::int64_t height) {
    return width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels;
}

void set_96_dpi(QImage& image) {
    image.setDotsPerMeterX(kDotsPerMetre);
    image.setDotsPerMeterY(kDotsPerMetre);
}

// Fonts are measured against this device, so that even a 0 x 0 box measures
// at 96 dpi.
const QImage& measuring_device() {
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        set_96_dpi(image);
        return image;
    }();
    return device;
}

// A length in pixels (possibly fractional) from a length in units of which
// `per_pixel` make one pixel, rounded half to even and kept inside int.
int units_to_pixels(double units, int per_pixel) {
    return round_to_int(units / per_pixel);
}

// One row of a combining copy between rows that do not overlap, which
// leaves the compiler free to combine several pixels at once. Inlined, it
// takes the vector width of the function it is built into.
template <typename Combine>
[[gnu::always_inline]] inline void combine_row(QRgb* __restrict d, const QRgb* __restrict s,
                                               int width, Combine combine) {
    for (int col = 0; col < width; ++col) {
        d[col] = combine(s[col], d[col]);
    }
}

// The rows of a combining copy between two different rasters. The masked
// drawing of the sprites spends most of each frame here: on processors with
// 32-byte vectors the rows are combined with them.
template <typename ForEachRow, typename Combine>
void combine_rows_portable(ForEachRow& for_each_row, int width, Combine combine) {
    for_each_row([&](QRgb* d, const QRgb* s) { combine_row(d, s, width, combine); });
}

#if defined(__x86_64__) || defined(__i386__)
template <typename ForEachRow, typename Combine>
[[gnu::target("avx2")]] void combine_rows_avx2(ForEachRow& for_each_row, int width,
                                               Combine combine) {
    for_each_row([&](QRgb* d, const QRgb* s) { combine_row(d, s, width, combine); });
}

template <typename ForEachRow, typename Combine>
void combine_rows(ForEachRow& for_each_row, int width, Combine combine) {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) {
        combine_rows_avx2(for_each_row, width, combine);
    } else {
        combine_rows_portable(for_each_row, width, combine);
    }
}
#else
template <typename ForEachRow, typename Combine>
void combine_rows(ForEachRow& for_each_row, int width, Combine combine) {
    combine_rows_portable(for_each_row, width, combine);
}
#endif

// The masked drawing of rows: each destination pixel ANDed with the mask's
// and ORed with the colour sheet's, in one pass.
[[gnu::always_inline]] inline void mask_row(QRgb* __restrict d, const QRgb* __restrict s,
                                            const QRgb* __restrict m, int width) {
    for (int col = 0; col < width; ++col) {
        d[col] = (d[col] & m[col]) | s[col];
    }
}

#if defined(__x86_64__) || defined(__i386__)
[[gnu::target("avx2")]] void mask_row_avx2(QRgb* __restrict d, const QRgb* __restrict s,
                                           const QRgb* __restrict m, int width) {
    mask_row(d, s, m, width);
}

void mask_row_best(QRgb* d, const QRgb* s, const QRgb* m, int width) {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) {
        mask_row_avx2(d, s, m, width);
    } else {
        mask_row(d, s, m, width);
    }
}
#else
void mask_row_best(QRgb* d, const QRgb* s, const QRgb* m, int width) {
    mask_row(d, s, m, width);
}
#endif

// The smallest rectangle round the runs of pixels a drawing touched, kept
// as it goes: rows and columns relative to the drawing's corner.
class TouchedArea {
  public:
    void add(int row, int begin, int end) {
        top_ = std::min(top_, row);
        bottom_ = std::max(bottom_, row);
        left_ = std::min(left_, begin);
        right_ = std::max(right_, end);
    }
    // The rectangle in the box, the drawing's corner at (x, y); empty when
    // nothing was touched.
    QRect rect(int x, int y) const {
        if (bottom_ < top_) {
            return {};
        }
        return {x + left_, y + top_, right_ - left_, bottom_ + 1 - top_};
    }

  private:
    int top_ = std::numeric_limits<int>::max();
    int bottom_ = std::numeric_limits<int>::min();
    int left_ = std::numeric_limits<int>::max();
    int right_ = std::numeric_limits<int>::min();
};

// Copies the clipped rectangle `r` from `src` to `dst` (both Format_RGB32)
// with a raster operation. `src` and `dst` may be the same image, with the
// rectangles overlapping: rows and pixels are then visited in the order that
// reads every source pixel before it is overwritten. False for an unknown
// operation or a raster of another format.
bool copy_rect(QImage& dst, const QImage& src, const BlitRect& r, RasterOp rop) {
    if (dst.format() != QImage::Format_RGB32 || src.format() != QImage::Format_RGB32) {
        return false;
    }
    // The writable bits first: should `dst` share its pixels with another
    // image, this is where it gets its own; when `src` is the same image the
    // source rows below then point into that copy too.
    std::uint8_t* const dst_bits = dst.bits();
    const std::uint8_t* const src_bits = src.constBits();
    const qsizetype dst_stride = dst.bytesPerLine();
    const qsizetype src_stride = src.bytesPerLine();
    const bool same = dst_bits == src_bits;
    const bool rows_up = same && r.dst_y > r.src_y;
    const bool pixels_back = same && r.dst_y == r.src_y && r.dst_x > r.src_x;

    const auto for_each_row = [&](auto&& row_fn) {
        for (int i = 0; i < r.height; ++i) {
            const int row = rows_up ? r.height - 1 - i : i;
            const auto* s =
                reinterpret_cast<const QRgb*>(src_bits + (r.src_y + row) * src_stride) + r.src_x;
            auto* d = reinterpret_cast<QRgb*>(dst_bits + (r.dst_y + row) * dst_stride) + r.dst_x;
            row_fn(d, s);
        }
    };
    if (rop == RasterOp::kSrcCopy) {
        const auto bytes = static_cast<std::size_t>(r.width) * sizeof(QRgb);
        for_each_row([bytes](QRgb* d, const QRgb* s) { std::memmove(d, s, bytes); });
        return true;
    }
    return with_combine(rop, [&](auto combine) {
        if (!same) {
            // Two rasters never share pixels here (dst has just been made
            // its own), so no row of one overlaps a row of the other.
            combine_rows(for_each_row, r.width, combine);
            return;
        }
        for_each_row([&](QRgb* d, const QRgb* s) {
            if (pixels_back) {
                for (int col = r.width - 1; col >= 0; --col) {
                    d[col] = combine(s[col], d[col]);
                }
            } else {
                for (int col = 0; col < r.width; ++col) {
                    d[col] = combine(s[col], d[col]);
                }
            }
        });
    });
}

// Copies all of `src` to (x, y) of `dst`, cut at `dst`'s edges; the part of
// `dst` that changed, empty when none did.
QRect put_image(QImage& dst, int x, int y, const QImage& src) {
    const std::optional<BlitRect> r =
        clip_blit(src.size(), 0, 0, dst.size(), x, y, src.width(), src.height());
    if (!r || !copy_rect(dst, src, *r, RasterOp::kSrcCopy)) {
        return {};
    }
    return QRect(r->dst_x, r->dst_y, r->width, r->height);
}

// `picture` as Format_RGB32; transparent parts show `background`.
QImage opaque_rgb32(const QImage& picture, const QColor& background) {
    if (!picture.hasAlphaChannel()) {
        return picture.convertToFormat(QImage::Format_RGB32);
    }
    QImage image(picture.size(), QImage::Format_RGB32);
    if (image.isNull()) {
        return image;
    }
    image.fill(background.rgb());
    QPainter painter(&image);
    painter.drawImage(0, 0, picture);
    return image;
}

}  // namespace

PictureBox::PictureBox()
    : back_colour_(Qt::black), fore_colour_(Qt::white), font_(QStringLiteral("Arial")) {
    font_.setPointSizeF(8.0);
}

PictureBox::~PictureBox() {
    if (view_ != nullptr) {
        view_->picture_gone();
    }
}

// --- Size and units ----------------------------------------------------------

void PictureBox::set_pixel_size(int width, int height) {
    const QSize old_size = image_.size();
    if (resize_raster(width, height)) {
        tell_resized(old_size);
    }
}

void PictureBox::tell_resized(const QSize& old_size) {
    // Pixels that went away changed too: a view repaints what it shows there.
    if (view_ != nullptr) {
        const QRect all = QRect(QPoint(0, 0), old_size) | QRect(QPoint(0, 0), image_.size());
        if (!all.isEmpty()) {
            view_->picture_changed(all);
        }
    }
}

bool PictureBox::resize_raster(int width, int height) {
    const std::int64_t w = std::max(width, 0);
    const std::int64_t h = std::max(height, 0);
    if (!fits_limits(w, h)) {
        return false;
    }
    if (w == 0 || h == 0) {
        const bool had_pixels = !image_.isNull();
        image_ = QImage();
        return had_pixels;
    }
    if (QSize(static_cast<int>(w), static_cast<int>(h)) == image_.size()) {
        return false;
    }
    const QSize size(static_cast<int>(w), static_cast<int>(h));
    QImage next = raster_source_ ? raster_source_(size) : QImage();
    if (next.size() != size || next.format() != QImage::Format_RGB32) {
        next = QImage(size, QImage::Format_RGB32);
    }
    if (next.isNull()) {
        return false;
    }
    set_96_dpi(next);
    next.fill(back_colour_.rgb());
    put_image(next, 0, 0, image_);
    image_ = next;
    return true;
}

bool PictureBox::adopt_raster(QImage raster) {
    if (raster.isNull() || raster.size() != image_.size() ||
        raster.format() != QImage::Format_RGB32) {
        return false;
    }
    const auto row_bytes = static_cast<std::size_t>(image_.width()) * 4;
    for (int y = 0; y < image_.height(); ++y) {
        std::memcpy(raster.scanLine(y), image_.constScanLine(y), row_bytes);
    }
    set_96_dpi(raster);
    image_ = std::move(raster);
    return true;
}

void PictureBox::set_twips_per_pixel(int across, int down) {
    twips_x_ = std::max(across, 1);
    twips_y_ = std::max(down, 1);
}

int PictureBox::units_per_pixel_x() const {
    return scale_mode_ == ScaleMode::kTwips ? twips_x_ : 1;
}

int PictureBox::units_per_pixel_y() const {
    return scale_mode_ == ScaleMode::kTwips ? twips_y_ : 1;
}

double PictureBox::ScaleWidth() const {
    return from_pixels_x(pixel_width());
}

double PictureBox::ScaleHeight() const {
    return from_pixels_y(pixel_height());
}

void PictureBox::set_scale_size(double width, double height) {
    set_pixel_size(to_pixels_x(width), to_pixels_y(height));
}

int PictureBox::to_pixels_x(double units) const {
    return units_to_pixels(units, units_per_pixel_x());
}

int PictureBox::to_pixels_y(double units) const {
    return units_to_pixels(units, units_per_pixel_y());
}

double PictureBox::from_pixels_x(int pixels) const {
    return static_cast<double>(pixels) * units_per_pixel_x();
}

double PictureBox::from_pixels_y(int pixels) const {
    return static_cast<double>(pixels) * units_per_pixel_y();
}

// --- Picture and image ---------------------------------------------------------

void PictureBox::set_picture(const QImage& picture) {
    if (picture.isNull()) {
        picture_ = QImage();
        return;
    }
    picture_ = opaque_rgb32(picture, back_colour_);
    set_96_dpi(picture_);
    const QSize old_size = image_.size();
    if (auto_size_ && fits_limits(picture_.width(), picture_.height())) {
        image_ = picture_;  // the box's new size, showing the picture: shared pixels
    } else {
        paint_background();
    }
    tell_resized(old_size);
}

void PictureBox::empty() {
    set_picture(QImage());
    set_pixel_size(0, 0);
}

void PictureBox::load_picture(const QImage& picture) {
    const bool auto_size = std::exchange(auto_size_, true);
    set_picture(picture);
    auto_size_ = auto_size;
}

void PictureBox::Cls() {
    current_x_ = 0.0;
    current_y_ = 0.0;
    paint_background();
    changed(QRect(QPoint(0, 0), image_.size()));
}

void PictureBox::paint_background() {
    if (image_.isNull()) {
        return;
    }
    if (picture_.size() == image_.size()) {
        image_ = picture_;  // shares the pixels until the next drawing
        return;
    }
    image_.fill(back_colour_.rgb());
    put_image(image_, 0, 0, picture_);
}

void PictureBox::PaintPicture(const QImage& picture, double x, double y, double width,
                              double height) {
    if (picture.isNull() || image_.isNull() || !(width > 0.0) || !(height > 0.0)) {
        return;
    }
    // Each edge is rounded on its own, so pictures painted side by side meet
    // without gap or overlap.
    const std::int64_t left = to_pixels_x(x);
    const std::int64_t top = to_pixels_y(y);
    const std::int64_t target_w = std::int64_t{to_pixels_x(x + width)} - left;
    const std::int64_t target_h = std::int64_t{to_pixels_y(y + height)} - top;
    // The part of the target inside the box.
    const std::int64_t vis_left = std::max<std::int64_t>(left, 0);
    const std::int64_t vis_top = std::max<std::int64_t>(top, 0);
    const std::int64_t vis_right = std::min<std::int64_t>(left + target_w, image_.width());
    const std::int64_t vis_bottom = std::min<std::int64_t>(top + target_h, image_.height());
    if (vis_right <= vis_left || vis_bottom <= vis_top) {
        return;
    }
    const QRect visible(static_cast<int>(vis_left), static_cast<int>(vis_top),
                        static_cast<int>(vis_right - vis_left),
                        static_cast<int>(vis_bottom - vis_top));
    if (target_w <= picture.width() && target_h <= picture.height() && !picture.hasAlphaChannel()) {
        // Shrinking: Qt's smooth scaling averages every source pixel into the
        // result (no aliasing of big photographs). The result is at most as
        // large as the picture; it is copied in, cut at the box's edges.
        const QSize target(static_cast<int>(target_w), static_cast<int>(target_h));
        QImage scaled = picture.convertToFormat(QImage::Format_RGB32);
        if (scaled.size() != target) {
            scaled = scaled.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        put_image(image_, static_cast<int>(left), static_cast<int>(top), scaled);
    } else {
        // Enlarging (or a picture with transparency): the painter
        // interpolates just the visible part, however large the target is.
        const double per_x = picture.width() / static_cast<double>(target_w);
        const double per_y = picture.height() / static_cast<double>(target_h);
        const QRectF source(static_cast<double>(vis_left - left) * per_x,
                            static_cast<double>(vis_top - top) * per_y, visible.width() * per_x,
                            visible.height() * per_y);
        QPainter painter(&image_);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setCompositionMode(picture.hasAlphaChannel() ? QPainter::CompositionMode_SourceOver
                                                             : QPainter::CompositionMode_Source);
        painter.drawImage(QRectF(visible), picture, source);
    }
    changed(visible);
}

// --- Text --------------------------------------------------------------------

void PictureBox::set_font_name(const QString& name) {
    if (!name.isEmpty()) {
        font_.setFamily(name);
    }
}

void PictureBox::set_font_size(double points) {
    if (points > 0.0) {
        font_.setPointSizeF(std::min(points, kMaxFontPoints));
    }
}

void PictureBox::set_current_position(double x, double y) {
    current_x_ = x;
    current_y_ = y;
}

QFontMetrics PictureBox::metrics() const {
    return QFontMetrics(font_, &measuring_device());
}

double PictureBox::TextWidth(const QString& text) const {
    return from_pixels_x(metrics().horizontalAdvance(text));
}

double PictureBox::TextHeight(const QString&) const {
    return from_pixels_y(metrics().height());
}

void PictureBox::Print(const QString& text) {
    const QFontMetrics m = metrics();
    const std::int64_t x = to_pixels_x(current_x_);
    const std::int64_t y = to_pixels_y(current_y_);
    // The line box, widened by the ink that may stick out of it (italic
    // overhang, accents): whatever the text can touch.
    const std::int64_t margin = m.height() / 2 + 2;
    const std::int64_t reach_left = x - margin;
    const std::int64_t reach_top = y - margin;
    const std::int64_t reach_right = x + m.horizontalAdvance(text) + margin;
    const std::int64_t reach_bottom = y + m.height() + margin;
    if (!text.isEmpty() && !image_.isNull() && reach_right > 0 && reach_bottom > 0 &&
        reach_left < image_.width() && reach_top < image_.height()) {
        set_96_dpi(image_);
        QPainter painter(&image_);
        painter.setFont(font_);
        painter.setPen(fore_colour_);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.drawText(QPoint(static_cast<int>(x), static_cast<int>(y + m.ascent())), text);
        painter.end();
        // Cut to (just outside) the box before going back to int.
        const auto cut = [](std::int64_t v, int size) {
            return static_cast<int>(std::clamp<std::int64_t>(v, -1, std::int64_t{size} + 1));
        };
        changed(QRect(
            QPoint(cut(reach_left, image_.width()), cut(reach_top, image_.height())),
            QPoint(cut(reach_right, image_.width()) - 1, cut(reach_bottom, image_.height()) - 1)));
    }
    current_x_ = 0.0;
    current_y_ += TextHeight(text);
}

// --- Showing -----------------------------------------------------------------

void PictureBox::changed(const QRect& pixels) {
    const QRect cut = pixels & QRect(QPoint(0, 0), image_.size());
    if (view_ != nullptr && !cut.isEmpty()) {
        view_->picture_changed(cut);
    }
}

void box_blt(PictureBox& dest, int x, int y, int width, int height, const PictureBox& source,
             int sx, int sy, RasterOp rop) {
    const std::optional<BlitRect> r =
        clip_blit(source.pixel_size(), sx, sy, dest.pixel_size(), x, y, width, height);
    if (r && copy_rect(dest.raster(), source.Image(), *r, rop)) {
        dest.changed(QRect(r->dst_x, r->dst_y, r->width, r->height));
    }
}

SheetInk::SheetInk(const QImage& sprite, const QImage& mask) {
    if (sprite.size() != mask.size() || sprite.format() != QImage::Format_RGB32 ||
        mask.format() != QImage::Format_RGB32) {
        return;
    }
    constexpr QRgb kSeeThrough = 0xFFFFFFFFu;  // the mask keeps the background
    constexpr QRgb kNoColour = 0xFF000000u;    // the sheet adds nothing
    size_ = sprite.size();
    rows_.resize(static_cast<std::size_t>(size_.height()));
    for (int y = 0; y < size_.height(); ++y) {
        const auto* s = reinterpret_cast<const QRgb*>(sprite.constScanLine(y));
        const auto* m = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        std::vector<InkRun>& runs = rows_[static_cast<std::size_t>(y)];
        for (int x = 0; x < size_.width(); ++x) {
            if (m[x] == kSeeThrough && s[x] == kNoColour) {
                continue;
            }
            const bool solid = (m[x] & ~s[x]) == 0;  // (d & m) | s is s for every d
            if (!runs.empty() && runs.back().end == x && runs.back().solid == solid) {
                ++runs.back().end;
            } else {
                runs.push_back({x, x + 1, solid});
            }
        }
    }
}

const std::vector<InkRun>& SheetInk::row(int y) const {
    static const std::vector<InkRun> kNone;
    return y >= 0 && y < static_cast<int>(rows_.size()) ? rows_[static_cast<std::size_t>(y)]
                                                        : kNone;
}

QRect SheetInk::bounds(const QRect& area) const {
    const QRect inside = area & QRect(QPoint(0, 0), size_);
    QRect found;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (const InkRun& run : row(y)) {
            const int begin = std::max(run.begin, inside.left());
            const int end = std::min(run.end, inside.right() + 1);
            if (begin < end) {
                found |= QRect(begin, y, end - begin, 1);
            }
        }
    }
    return found;
}

void restore_ink(PictureBox& dest, const PictureBox& clean, int x, int y, const QRect& cell,
                 const SheetInk& ink) {
    const std::optional<BlitRect> r =
        clip_blit(clean.pixel_size(), x, y, dest.pixel_size(), x, y, cell.width(), cell.height());
    if (!r || &dest == &clean) {
        return;
    }
    QImage& d = dest.raster();
    const QImage& c = clean.Image();
    if (d.format() != QImage::Format_RGB32 || c.format() != QImage::Format_RGB32) {
        return;
    }
    // The clipped rectangle's first column and row within the cell.
    const int left = cell.x() + r->dst_x - x;
    const int top = cell.y() + r->dst_y - y;
    std::uint8_t* const d_bits = d.bits();  // first: dest gets pixels of its own
    TouchedArea touched;
    for (int row = 0; row < r->height; ++row) {
        auto* dr = reinterpret_cast<QRgb*>(d_bits + (r->dst_y + row) * d.bytesPerLine()) + r->dst_x;
        const auto* cr = reinterpret_cast<const QRgb*>(c.constScanLine(r->src_y + row)) + r->src_x;
        for (const InkRun& run : ink.row(top + row)) {
            const int begin = std::max(run.begin, left) - left;
            const int end = std::min(run.end, left + r->width) - left;
            if (begin < end) {
                std::memcpy(dr + begin, cr + begin,
                            static_cast<std::size_t>(end - begin) * sizeof(QRgb));
                touched.add(row, begin, end);
            }
        }
    }
    dest.changed(touched.rect(r->dst_x, r->dst_y));
}

void box_blt_masked(PictureBox& dest, int x, int y, int width, int height, const PictureBox& sprite,
                    const PictureBox& mask, int sx, int sy, const SheetInk* ink) {
    if (&dest == &sprite || &dest == &mask || sprite.pixel_size() != mask.pixel_size()) {
        box_blt(dest, x, y, width, height, mask, sx, sy, RasterOp::kSrcAnd);
        box_blt(dest, x, y, width, height, sprite, sx, sy, RasterOp::kSrcPaint);
        return;
    }
    const std::optional<BlitRect> r =
        clip_blit(sprite.pixel_size(), sx, sy, dest.pixel_size(), x, y, width, height);
    if (!r) {
        return;
    }
    QImage& d = dest.raster();
    const QImage& s = sprite.Image();
    const QImage& m = mask.Image();
    if (d.format() != QImage::Format_RGB32 || s.format() != QImage::Format_RGB32 ||
        m.format() != QImage::Format_RGB32) {
        return;
    }
    if (ink != nullptr && ink->size() != sprite.pixel_size()) {
        ink = nullptr;  // another sheet's: of no use here
    }
    std::uint8_t* const d_bits = d.bits();  // first: dest gets pixels of its own
    TouchedArea touched;
    for (int row = 0; row < r->height; ++row) {
        auto* dr = reinterpret_cast<QRgb*>(d_bits + (r->dst_y + row) * d.bytesPerLine()) + r->dst_x;
        const auto* sr = reinterpret_cast<const QRgb*>(s.constScanLine(r->src_y + row)) + r->src_x;
        const auto* mr = reinterpret_cast<const QRgb*>(m.constScanLine(r->src_y + row)) + r->src_x;
        if (ink == nullptr) {
            mask_row_best(dr, sr, mr, r->width);
            continue;
        }
        for (const InkRun& run : ink->row(r->src_y + row)) {
            const int begin = std::max(run.begin, r->src_x) - r->src_x;
            const int end = std::min(run.end, r->src_x + r->width) - r->src_x;
            if (begin < end) {
                if (run.solid) {
                    std::memcpy(dr + begin, sr + begin,
                                static_cast<std::size_t>(end - begin) * sizeof(QRgb));
                } else {
                    mask_row_best(dr + begin, sr + begin, mr + begin, end - begin);
                }
                touched.add(row, begin, end);
            }
        }
    }
    dest.changed(ink == nullptr ? QRect(r->dst_x, r->dst_y, r->width, r->height)
                                : touched.rect(r->dst_x, r->dst_y));
}

}  // namespace wm
