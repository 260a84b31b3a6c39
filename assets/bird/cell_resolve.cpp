#include "assets/bird/cell_resolve.h"

#include "sprites/sheet_layout.h"

#include <algorithm>
#include <array>
#include <vector>

namespace wm::media {

namespace {

constexpr int kSamples = kSupersample * kSupersample;
// Share of the rim colour mixed into edge pixels: those touching the
// background side-on, and those touching it only at a corner.
constexpr int kRimSide = 62;
constexpr int kRimCorner = 30;

struct Pixel {
    bool covered = false;
    std::array<int, 3> rgb{};
};

int blend(int from, int to, int percent) {
    return (from * (100 - percent) + to * percent) / 100;
}

}  // namespace

void resolve_cell(const QImage& fine, QImage& sprite, QImage& mask, QPoint at, const QColor& rim) {
    if (fine.format() != QImage::Format_ARGB32_Premultiplied ||
        fine.width() < kCellSize * kSupersample || fine.height() < kCellSize * kSupersample ||
        !sprite.rect().contains(QRect(at, QSize(kCellSize, kCellSize))) ||
        !mask.rect().contains(QRect(at, QSize(kCellSize, kCellSize))) ||
        sprite.format() != QImage::Format_RGB32 || mask.format() != QImage::Format_RGB32) {
        return;
    }
    std::vector<Pixel> cell(static_cast<std::size_t>(kCellSize * kCellSize));
    for (int y = 0; y < kCellSize; ++y) {
        for (int x = 0; x < kCellSize; ++x) {
            int alpha = 0;
            std::array<int, 3> sum{};
            for (int sy = 0; sy < kSupersample; ++sy) {
                const auto* line =
                    reinterpret_cast<const QRgb*>(fine.constScanLine(y * kSupersample + sy));
                for (int sx = 0; sx < kSupersample; ++sx) {
                    const QRgb p = line[x * kSupersample + sx];
                    alpha += qAlpha(p);
                    sum[0] += qRed(p);
                    sum[1] += qGreen(p);
                    sum[2] += qBlue(p);
                }
            }
            Pixel& pixel = cell[static_cast<std::size_t>(y * kCellSize + x)];
            pixel.covered = 2 * alpha >= kSamples * 255;
            if (pixel.covered) {
                // Premultiplied sums over the covered share: the colour of the bird alone.
                for (std::size_t c = 0; c < 3; ++c) {
                    pixel.rgb[c] = std::clamp((sum[c] * 255 + alpha / 2) / alpha, 0, 255);
                }
            }
        }
    }
    const auto covered = [&cell](int x, int y) {
        return x >= 0 && y >= 0 && x < kCellSize && y < kCellSize &&
               cell[static_cast<std::size_t>(y * kCellSize + x)].covered;
    };
    const std::array<int, 3> ink{rim.red(), rim.green(), rim.blue()};
    for (int y = 0; y < kCellSize; ++y) {
        auto* sprite_line = reinterpret_cast<QRgb*>(sprite.scanLine(at.y() + y)) + at.x();
        auto* mask_line = reinterpret_cast<QRgb*>(mask.scanLine(at.y() + y)) + at.x();
        for (int x = 0; x < kCellSize; ++x) {
            const Pixel& pixel = cell[static_cast<std::size_t>(y * kCellSize + x)];
            if (!pixel.covered) {
                continue;
            }
            const bool side_open = !covered(x - 1, y) || !covered(x + 1, y) || !covered(x, y - 1) ||
                                   !covered(x, y + 1);
            const bool corner_open = !covered(x - 1, y - 1) || !covered(x + 1, y - 1) ||
                                     !covered(x - 1, y + 1) || !covered(x + 1, y + 1);
            const int rim_share = side_open ? kRimSide : (corner_open ? kRimCorner : 0);
            std::array<int, 3> rgb{};
            for (std::size_t c = 0; c < 3; ++c) {
                rgb[c] = blend(pixel.rgb[c], ink[c], rim_share);
            }
            // The sheet holds pure black only where the background shows.
            if (rgb[0] == 0 && rgb[1] == 0 && rgb[2] == 0) {
                rgb = {1, 1, 1};
            }
            sprite_line[x] = qRgb(rgb[0], rgb[1], rgb[2]);
            mask_line[x] = qRgb(0, 0, 0);
        }
    }
}

}  // namespace wm::media
