#include "assets/windows/shading.h"

#include <array>
#include <cmath>

namespace wm::media {

double linear_from_srgb_byte(int byte) {
    static const std::array<double, 256> table = [] {
        std::array<double, 256> values{};
        for (std::size_t i = 0; i < values.size(); ++i) {
            const double srgb = static_cast<double>(i) / 255.0;
            values[i] = srgb <= 0.04045 ? srgb / 12.92 : std::pow((srgb + 0.055) / 1.055, 2.4);
        }
        return values;
    }();
    return table[static_cast<std::size_t>(std::clamp(byte, 0, 255))];
}

int srgb_byte_from_linear(double linear) {
    const double l = std::clamp(linear, 0.0, 1.0);
    const double srgb = l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1.0 / 2.4) - 0.055;
    return std::clamp(static_cast<int>(std::lround(srgb * 255.0)), 0, 255);
}

}  // namespace wm::media
