#include "tests/e2e/screen_stats.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <unordered_set>

namespace wm::e2e {
namespace {

// Calls `visit` with each pixel of the rectangle that lies inside the image;
// returns how many it visited.
int for_each_pixel(const QImage& image, const QRect& area,
                   const std::function<void(int x, int y, QRgb pixel)>& visit) {
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = inside.left(); x <= inside.right(); ++x) {
            visit(x, y, row[x]);
        }
    }
    return inside.width() * inside.height();
}

int channel_distance(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

}  // namespace

int distinct_colours(const QImage& image, const QRect& area) {
    std::unordered_set<QRgb> seen;
    for_each_pixel(image, area, [&seen](int, int, QRgb pixel) { seen.insert(pixel & 0xffffffu); });
    return static_cast<int>(seen.size());
}

int count_near(const QImage& image, const QRect& area, QRgb colour, int tolerance) {
    int count = 0;
    for_each_pixel(image, area, [&](int, int, QRgb pixel) {
        if (channel_distance(pixel, colour) <= tolerance) {
            ++count;
        }
    });
    return count;
}

double changed_fraction(const QImage& a, const QImage& b, const QRect& area, int threshold) {
    if (a.size() != b.size()) {
        return 1.0;
    }
    int changed = 0;
    const int total = for_each_pixel(a, area, [&](int x, int y, QRgb pixel) {
        const QRgb other = reinterpret_cast<const QRgb*>(b.constScanLine(y))[x];
        if (channel_distance(pixel, other) > threshold) {
            ++changed;
        }
    });
    return total == 0 ? 0.0 : static_cast<double>(changed) / total;
}

}  // namespace wm::e2e
