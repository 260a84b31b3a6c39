// Bilinear resampling of a surface.
//
// The arithmetic is fixed to the letter, 32-bit floats and round-half-to-even
// included, so that a resampled picture is the same byte for byte everywhere.

#include "imaging/dib_section.h"
#include "platform/rounding.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace wm {
namespace {

// Round half to even (the default rounding mode), then clamp to a byte.
std::uint8_t to_byte(float v) {
    const float r = round_half_even(v);
    return static_cast<std::uint8_t>(std::clamp(r, 0.0f, 255.0f));
}

// Where target index i lands in the source: the index of the lower neighbour
// and the weight of the upper one. `last` (source size - 2) only guards the
// memory: with the scale (source - 1) / target the index never reaches it + 1.
struct Tap {
    int index;
    float frac;
};

Tap tap(float scale, int i, int last) {
    const float t = scale * static_cast<float>(i);
    const float lower = std::floor(t);
    return {std::min(static_cast<int>(lower), last), t - lower};
}

}  // namespace

bool cDIBSection::ResampleInto(cDIBSection& target) const {
    const int ws = width();
    const int hs = height();
    const int wd = target.width();
    const int hd = target.height();
    if (!bits_ || !target.bits_ || ws < 2 || hs < 2) {
        return false;
    }
    const float xs = static_cast<float>(static_cast<double>(ws - 1) / wd);
    const float ys = static_cast<float>(static_cast<double>(hs - 1) / hd);
    const std::int64_t src_stride = BytesPerScanLine();
    const std::int64_t dst_stride = target.BytesPerScanLine();

    for (int i = 0; i < hd; ++i) {
        const Tap ty = tap(ys, i, hs - 2);
        const float fy = ty.frac;
        const std::uint8_t* row0 = bits_.get() + ty.index * src_stride;
        const std::uint8_t* row1 = row0 + src_stride;
        std::uint8_t* out = target.bits_.get() + i * dst_stride;
        for (int j = 0; j < wd; ++j) {
            const Tap tx = tap(xs, j, ws - 2);
            const float fx = tx.frac;
            const int k = tx.index * 3;
            for (int c = 0; c < 3; ++c) {
                const float a = round_half_even((1.0f - fy) * static_cast<float>(row0[k + c]) +
                                                fy * static_cast<float>(row1[k + c]));
                const float b = round_half_even((1.0f - fy) * static_cast<float>(row0[k + 3 + c]) +
                                                fy * static_cast<float>(row1[k + 3 + c]));
                out[j * 3 + c] = to_byte((1.0f - fx) * a + fx * b);
            }
        }
    }
    return true;
}

std::shared_ptr<cDIBSection> cDIBSection::Resample(int new_height, int new_width) const {
    if (!bits_) {
        return nullptr;
    }
    const bool same_size = new_width == width() && new_height == height();
    if (!same_size && (width() < 2 || height() < 2)) {
        return nullptr;
    }
    auto target = std::make_shared<cDIBSection>();
    if (!target->Create(new_width, new_height)) {
        return nullptr;
    }
    if (same_size) {
        std::memcpy(target->bits_.get(), bits_.get(), header_.image_size);
    } else {
        ResampleInto(*target);
    }
    return target;
}

}  // namespace wm
