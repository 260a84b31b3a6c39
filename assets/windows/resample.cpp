#include "assets/windows/resample.h"

#include "assets/windows/shading.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace wm::media {

namespace {

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
                r += tap.weights[k] * linear_from_srgb_byte(qRed(pixel));
                g += tap.weights[k] * linear_from_srgb_byte(qGreen(pixel));
                b += tap.weights[k] * linear_from_srgb_byte(qBlue(pixel));
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
            row[x] = qRgb(srgb_byte_from_linear(sum[0]), srgb_byte_from_linear(sum[1]),
                          srgb_byte_from_linear(sum[2]));
        }
    }
    return out;
}

}  // namespace wm::media
