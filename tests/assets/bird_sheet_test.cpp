// The bird sprite sheet and its mask as the stage uses them: full-size sheets
// that follow the mask convention, a bird inside every cell, a lower half that
// mirrors the upper one in frame order, a wing cycle that moves and loops, and
// the rule that brings a supersampled cell down to the 1-bit mask.

#include "assets/bird/bird_sheet.h"
#include "assets/bird/cell_resolve.h"
#include "sprites/sheet_layout.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace wm::test {
namespace {

constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kBlack = 0x000000;

const media::BirdSheets& sheets() {
    static const media::BirdSheets painted = media::paint_bird_sheets();
    return painted;
}

QRgb rgb(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

bool under_bird(const QImage& mask, int x, int y) {
    return rgb(mask, x, y) == kBlack;
}

// Bird pixels of cell n, and the box around them relative to the cell.
struct CellCoverage {
    int pixels = 0;
    QRect box;
};

CellCoverage coverage(int n) {
    const QImage& mask = sheets().mask;
    const QRect cell = sheet_cell(n);
    CellCoverage result;
    int left = kCellSize, top = kCellSize, right = -1, bottom = -1;
    for (int y = 0; y < kCellSize; ++y) {
        for (int x = 0; x < kCellSize; ++x) {
            if (under_bird(mask, cell.x() + x, cell.y() + y)) {
                ++result.pixels;
                left = std::min(left, x);
                top = std::min(top, y);
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (result.pixels > 0) {
        result.box = QRect(QPoint(left, top), QPoint(right, bottom));
    }
    return result;
}

// Pixels where cells a and b of the mask differ.
int mask_difference(int a, int b) {
    const QImage& mask = sheets().mask;
    const QRect first = sheet_cell(a);
    const QRect second = sheet_cell(b);
    int differing = 0;
    for (int y = 0; y < kCellSize; ++y) {
        for (int x = 0; x < kCellSize; ++x) {
            differing += under_bird(mask, first.x() + x, first.y() + y) !=
                         under_bird(mask, second.x() + x, second.y() + y);
        }
    }
    return differing;
}

TEST(BirdSheets, AreFullSizeAndFollowTheMaskConvention) {
    const QImage& sprite = sheets().sprite;
    const QImage& mask = sheets().mask;
    ASSERT_EQ(sprite.size(), QSize(kSheetWidth, kSheetHeight));
    ASSERT_EQ(mask.size(), QSize(kSheetWidth, kSheetHeight));
    EXPECT_EQ(sprite.format(), QImage::Format_RGB32);
    EXPECT_EQ(mask.format(), QImage::Format_RGB32);
    int grey_mask = 0;
    int sprite_over_background = 0;
    int black_bird = 0;
    for (int y = 0; y < kSheetHeight; ++y) {
        for (int x = 0; x < kSheetWidth; ++x) {
            const QRgb m = rgb(mask, x, y);
            if (m != kBlack && m != kWhite) {
                ++grey_mask;
            } else if (m == kWhite && rgb(sprite, x, y) != kBlack) {
                ++sprite_over_background;
            } else if (m == kBlack && rgb(sprite, x, y) == kBlack) {
                ++black_bird;
            }
        }
    }
    // The mask is 1-bit; the sprite adds nothing where the background shows,
    // and under the mask its colour is exactly what the stage shows.
    EXPECT_EQ(grey_mask, 0);
    EXPECT_EQ(sprite_over_background, 0);
    EXPECT_EQ(black_bird, 0);
}

TEST(BirdSheets, EveryCellHoldsTheWholeBirdWithAMargin) {
    constexpr int kMargin = 3;
    const QRect inside(kMargin, kMargin, kCellSize - 2 * kMargin, kCellSize - 2 * kMargin);
    int highest = kCellSize;
    int lowest = 0;
    for (int n = 1; n <= kSheetCells; ++n) {
        const CellCoverage bird = coverage(n);
        // A good part of the cell, and never cut by its edges.
        EXPECT_GT(bird.pixels, kCellSize * kCellSize / 10) << "cell " << n;
        EXPECT_TRUE(inside.contains(bird.box)) << "cell " << n;
        EXPECT_GT(bird.box.width(), kCellSize / 2) << "cell " << n;
        highest = std::min(highest, bird.box.top());
        lowest = std::max(lowest, bird.box.bottom());
    }
    // Up and down, the wings sweep across most of the cell's height.
    EXPECT_GT(lowest - highest, kCellSize * 3 / 4);
}

TEST(BirdSheets, ReadOnSnowAndOnANightSky) {
    const QImage& sprite = sheets().sprite;
    const QImage& mask = sheets().mask;
    for (int n = 1; n <= kFlapCells; ++n) {
        const QRect cell = sheet_cell(n);
        int rim = 0;
        int dark_rim = 0;
        int bird = 0;
        int bright = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y) {
            for (int x = cell.left(); x <= cell.right(); ++x) {
                if (!under_bird(mask, x, y)) {
                    continue;
                }
                const int lightness = qGray(sprite.pixel(x, y));
                ++bird;
                bright += lightness > 120;
                if (!under_bird(mask, x - 1, y) || !under_bird(mask, x + 1, y) ||
                    !under_bird(mask, x, y - 1) || !under_bird(mask, x, y + 1)) {
                    ++rim;
                    dark_rim += lightness < 128;
                }
            }
        }
        // A dark outline against snow, bright plumage against the night.
        EXPECT_GT(dark_rim, rim * 19 / 20) << "cell " << n;
        EXPECT_GT(bright, bird / 5) << "cell " << n;
    }
}

TEST(BirdSheets, LowerHalfIsTheMirrorImageInFrameOrder) {
    for (int n = 1; n <= kFlapCells; ++n) {
        for (const QImage* sheet : {&sheets().sprite, &sheets().mask}) {
            const QImage right = sheet->copy(sheet_cell(n));
            const QImage left = sheet->copy(sheet_cell(n + kFlapCells));
            EXPECT_EQ(left.mirrored(true, false), right)
                << "cell " << n + kFlapCells << (sheet == &sheets().mask ? " mask" : " sprite");
        }
    }
}

TEST(BirdSheets, WingCycleMovesSmoothlyAndLoops) {
    std::vector<int> steps;
    for (int n = 1; n <= kFlapCells; ++n) {
        steps.push_back(mask_difference(n, n % kFlapCells + 1));
    }
    const int wrap = steps.back();
    std::vector<int> sorted = steps;
    std::sort(sorted.begin(), sorted.end());
    const int median = sorted[sorted.size() / 2];
    // Every step moves the wings, none jumps, and step 24 flows into step 1
    // like any other step.
    EXPECT_GT(sorted.front(), 40);
    EXPECT_LT(sorted.back(), 3 * median);
    EXPECT_LE(wrap, 2 * median);
    // Over the cycle the wings travel far: up and down are very different.
    int farthest = 0;
    for (int n = 2; n <= kFlapCells; ++n) {
        farthest = std::max(farthest, mask_difference(1, n));
    }
    EXPECT_GT(farthest, 4 * median);
}

TEST(BirdCellResolve, CoverageDecidesTheMaskAndOnlyTheBirdGivesTheColour) {
    const QColor paint(200, 120, 40);
    QImage fine(kCellSize * media::kSupersample, kCellSize * media::kSupersample,
                QImage::Format_ARGB32_Premultiplied);
    fine.fill(Qt::transparent);
    {
        QPainter painter(&fine);
        // A solid square over sheet pixels 10..29 both ways.
        painter.fillRect(40, 40, 80, 80, paint);
        // Sheet pixel (30, 15), right of the square, half covered.
        painter.fillRect(120, 60, 2, 4, paint);
        // Sheet pixel (50, 10), seven sixteenths covered.
        painter.fillRect(200, 40, 1, 4, paint);
        painter.fillRect(201, 40, 1, 3, paint);
    }
    QImage sprite(kSheetWidth, kSheetHeight, QImage::Format_RGB32);
    QImage mask(kSheetWidth, kSheetHeight, QImage::Format_RGB32);
    sprite.fill(Qt::black);
    mask.fill(Qt::white);
    const QPoint at = sheet_cell(8).topLeft();
    media::resolve_cell(fine, sprite, mask, at, QColor(30, 20, 10));
    const auto sprite_at = [&](int x, int y) { return rgb(sprite, at.x() + x, at.y() + y); };
    const auto bird_at = [&](int x, int y) { return under_bird(mask, at.x() + x, at.y() + y); };

    EXPECT_TRUE(bird_at(20, 20));
    EXPECT_EQ(sprite_at(20, 20), paint.rgb() & 0xFFFFFF);
    // Half a pixel is enough, less is not.
    EXPECT_TRUE(bird_at(30, 15));
    EXPECT_FALSE(bird_at(50, 10));
    EXPECT_EQ(sprite_at(50, 10), kBlack);
    EXPECT_FALSE(bird_at(9, 20));
    EXPECT_EQ(sprite_at(9, 20), kBlack);
    // The edge is darkened toward the rim colour, never toward the empty
    // part of a pixel: the half-covered pixel matches a whole edge pixel.
    const QColor edge = QColor::fromRgb(sprite_at(10, 20));
    EXPECT_LT(edge.red(), paint.red());
    EXPECT_GT(edge.red(), 30);
    EXPECT_EQ(sprite_at(30, 15), sprite_at(10, 20));
    // Nothing outside the cell is touched.
    EXPECT_EQ(rgb(mask, at.x() - 1, at.y() + 20), kWhite);
    EXPECT_EQ(rgb(sprite, at.x() + kCellSize, at.y() + 20), kBlack);
}

}  // namespace
}  // namespace wm::test
