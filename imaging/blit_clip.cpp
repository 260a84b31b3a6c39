#include "imaging/blit_clip.h"

#include <algorithm>
#include <cstdint>

namespace wm {
namespace {

// One axis: the copy runs from src to src + len and from dst to dst + len;
// trim both ends until it fits [0, src_size) and [0, dst_size). 64-bit, so
// that no combination of int arguments can overflow.
struct Span {
    std::int64_t src;
    std::int64_t dst;
    std::int64_t len;
};

Span clip_axis(std::int64_t src, std::int64_t dst, std::int64_t len, std::int64_t src_size,
               std::int64_t dst_size) {
    const std::int64_t skip = std::max({std::int64_t{0}, -src, -dst});
    src += skip;
    dst += skip;
    len -= skip;
    len = std::min({len, src_size - src, dst_size - dst});
    return {src, dst, len};
}

}  // namespace

std::optional<BlitRect> clip_blit(QSize src, int src_x, int src_y, QSize dst, int dst_x, int dst_y,
                                  int width, int height) {
    const Span x = clip_axis(src_x, dst_x, width, src.width(), dst.width());
    const Span y = clip_axis(src_y, dst_y, height, src.height(), dst.height());
    if (x.len <= 0 || y.len <= 0) {
        return std::nullopt;
    }
    // Every value now lies inside a raster's size, so it fits an int again.
    return BlitRect{static_cast<int>(x.src), static_cast<int>(y.src), static_cast<int>(x.dst),
                    static_cast<int>(y.dst), static_cast<int>(x.len), static_cast<int>(y.len)};
}

}  // namespace wm
