#pragma once
// Layout of the sprite sheet and its mask: 6 columns by 8 rows of 150 x 150
// cells, 900 x 1200 pixels. Cells 1-24 (rows 1-4) are read left to right and
// serve birds flying right; cells 25-48 (rows 5-8) are read right to left and
// serve birds flying left, so a lower half drawn as the mirror image of the
// upper half plays the same wing cycle in the same order.

#include <QRect>

namespace wm {

inline constexpr int kSheetColumns = 6;
inline constexpr int kSheetRows = 8;
inline constexpr int kCellSize = 150;
inline constexpr int kSheetWidth = kSheetColumns * kCellSize;
inline constexpr int kSheetHeight = kSheetRows * kCellSize;
// Cells of one wing-flap cycle; the sheet holds it twice, once each way.
inline constexpr int kFlapCells = 24;
inline constexpr int kSheetCells = 2 * kFlapCells;

// The source rectangle of cell n (1..48) in the sheets; an empty rectangle
// for any other n.
constexpr QRect sheet_cell(int n) {
    if (n >= 1 && n <= kFlapCells) {
        const int row = (n - 1) / kSheetColumns;
        const int column = (n - 1) % kSheetColumns;
        return {kCellSize * column, kCellSize * row, kCellSize, kCellSize};
    }
    if (n > kFlapCells && n <= kSheetCells) {
        const int m = n - kFlapCells - 1;
        const int row = m / kSheetColumns;
        const int column = m % kSheetColumns;
        return {kSheetWidth - kCellSize - kCellSize * column, kSheetHeight / 2 + kCellSize * row,
                kCellSize, kCellSize};
    }
    return {};
}

}  // namespace wm
