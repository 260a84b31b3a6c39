#include "assets/windows/resample.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace wm::media {

namespace {

double to_linear(double srgb) {
    return srgb <= 0.04045 ? srgb / 12.92 : std::pow((srgb + 0.055) / 1.055, 2.4);
}

int to_srgb_byte(double linear) {
    const double l = std::clamp(linear, 0.0, 1.0);
    const double srgb = l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1.0 / 2.4) - 0.055;
    return std::clamp(static_cast<int>(std::lround(srgb * 255.0)), 0, 255);
}

const std::array<double, 256>& linear_table() {
    static const std::array<double, 256> table = [] {
        std::array<double, 256> values{};
        for (std::size_t i = 0; i < values.size(); ++i) {
            values[i] = to_linear(static_cast<double>(i) / 255.0);
        }
        return values;
    }();
    return table;
}

// The source pixels one output pixel covers along an axis, with their shares.
struct Tap {
    int first = 0;
    std::vector<double> weights;
};

std::vector<Tap> taps(int source_length, int target_length) {
    std::vector<Tap> result(static_cast<std::size_t>(target_length));
    const double step = static_cast<double>(source_length) / target_length;
    for (int i = 0; i < target_length; ++i) {
        const double from = i * step;
        const double to = from + step;
        Tap& tap = result[static_cast<std::size_t>(i)];
        tap.first = std::min(static_cast<int>(std::floor(from)), source_length - 1);
        const int last = std::min(static_cast<int>(std::ceil(to)), source_length);
        double total = 0.0;
        for (int s = tap.first; s < std::max(last, tap.first + 1); ++s) {
            const double share =
                std::max(0.0, std::min(to, s + 1.0) - std::max(from, static_cast<double>(s)));
            tap.weights.push_back(share);
            total += share;
        }
        for (double& weight : tap.weights) {
            weight = total > 0.0 ? weight / total : 1.0 / static_cast<double>(tap.weights.size());
        }
    }
    return result;
}

}  // namespace

QImage resample_linear_light(const QImage& picture, QSize size) {
    if (picture.isNull() || size.isEmpty()) {
        return {};
    }
    const QImage source = picture.convertToFormat(QImage::Format_RGB32);
    const int sw = source.width();
    const int sh = source.height();
    const int tw = size.width();
    const int th = size.height();
    const auto& linear = linear_table();

    // Across first: every source row becomes a row of the target's width.
    const std::vector<Tap> across = taps(sw, tw);
    std::vector<double> rows(static_cast<std::size_t>(sh) * static_cast<std::size_t>(tw) * 3);
    for (int y = 0; y < sh; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        for (int x = 0; x < tw; ++x) {
            const Tap& tap = across[static_cast<std::size_t>(x)];
            double r = 0.0;
            double g = 0.0;
            double b = 0.0;
            for (std::size_t k = 0; k < tap.weights.size(); ++k) {
                const QRgb pixel = in[tap.first + static_cast<int>(k)];
                r += tap.weights[k] * linear[static_cast<std::size_t>(qRed(pixel))];
                g += tap.weights[k] * linear[static_cast<std::size_t>(qGreen(pixel))];
                b += tap.weights[k] * linear[static_cast<std::size_t>(qBlue(pixel))];
            }
            const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(tw) +
                                    static_cast<std::size_t>(x)) *
                                   3;
            rows[at] = r;
            rows[at + 1] = g;
            rows[at + 2] = b;
        }
    }

    // Then down each column.
    const std::vector<Tap> down = taps(sh, th);
    QImage out(size, QImage::Format_RGB32);
    for (int y = 0; y < th; ++y) {
        const Tap& tap = down[static_cast<std::size_t>(y)];
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < tw; ++x) {
            double sum[3] = {0.0, 0.0, 0.0};
            for (std::size_t k = 0; k < tap.weights.size(); ++k) {
                const std::size_t at =
                    ((static_cast<std::size_t>(tap.first) + k) * static_cast<std::size_t>(tw) +
                     static_cast<std::size_t>(x)) *
                    3;
                for (std::size_t c = 0; c < 3; ++c) {
                    sum[c] += tap.weights[k] * rows[at + c];
                }
            }
            row[x] = qRgb(to_srgb_byte(sum[0]), to_srgb_byte(sum[1]), to_srgb_byte(sum[2]));
        }
    }
    return out;
}

}  // namespace wm::media
