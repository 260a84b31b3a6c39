#pragma once
// Small pieces of light arithmetic shared by the window pictures: the sRGB
// curve both ways and a smooth step.

#include <algorithm>

namespace wm::media {

// 0 below edge0, 1 above edge1, a smooth S between (edge1 may be below edge0).
template <typename T>
constexpr T smoothstep(T edge0, T edge1, T x) {
    const T t = std::clamp((x - edge0) / (edge1 - edge0), T(0), T(1));
    return t * t * (T(3) - T(2) * t);
}

// An sRGB byte as linear light, 0..1 (from a table).
double linear_from_srgb_byte(int byte);

// Linear light (clamped to 0..1) as the nearest sRGB byte.
int srgb_byte_from_linear(double linear);

}  // namespace wm::media
