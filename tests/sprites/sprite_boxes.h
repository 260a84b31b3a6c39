#pragma once
// Pictures for the sprite tests: patterned boxes whose pixels tell apart
// every copy, AND and OR, and sheets in the real cell layout.

#include "imaging/picture_box.h"
#include "sprites/sheet_layout.h"

#include <QImage>
#include <QRect>

namespace wm::test {

// Every pixel of a seed differs from its neighbours and from other seeds.
inline QRgb pattern_pixel(int x, int y, int seed) {
    return qRgb((x * 37 + seed * 101 + 11) & 0xff, (y * 53 + seed * 29 + 7) & 0xff,
                (x * y * 29 + seed * 71 + 3) & 0xff);
}

inline QImage patterned_image(int width, int height, int seed) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, pattern_pixel(x, y, seed));
        }
    }
    return image;
}

// Fills `box` with a picture at its own size.
inline void fill_box(PictureBox& box, const QImage& picture) {
    box.load_picture(picture);
    box.set_picture(QImage());  // keep the pixels, forget the picture
}

// A mask sheet: in each cell a bird-sized block is black (the sprite
// covers), the rest white, with a few grey pixels whose AND shows.
inline QImage mask_sheet() {
    QImage image(kSheetWidth, kSheetHeight, QImage::Format_RGB32);
    for (int y = 0; y < kSheetHeight; ++y) {
        for (int x = 0; x < kSheetWidth; ++x) {
            const int cx = x % kCellSize;
            const int cy = y % kCellSize;
            QRgb pixel = qRgb(255, 255, 255);
            if (cx >= 30 && cx < 120 && cy >= 40 && cy < 110) {
                pixel = qRgb(0, 0, 0);
            } else if ((cx + cy) % 7 == 0) {
                pixel = qRgb(0x5a, 0xa5, 0x3c);
            }
            image.setPixel(x, y, pixel);
        }
    }
    return image;
}

// The colour sheet for mask_sheet(): patterned where the mask is black,
// black elsewhere but for a few stray bits that the OR shows.
inline QImage colour_sheet() {
    const QImage mask = mask_sheet();
    QImage image(kSheetWidth, kSheetHeight, QImage::Format_RGB32);
    for (int y = 0; y < kSheetHeight; ++y) {
        for (int x = 0; x < kSheetWidth; ++x) {
            QRgb pixel = qRgb(0, 0, 0);
            if (mask.pixel(x, y) == qRgb(0, 0, 0)) {
                pixel = pattern_pixel(x, y, 5);
            } else if ((x * 3 + y) % 11 == 0) {
                pixel = qRgb(0x01, 0x80, 0x02);
            }
            image.setPixel(x, y, pixel);
        }
    }
    return image;
}

// Sheets whose ink is one small block in each cell (a different place in
// each), as a real bird's is: black in the mask, patterned in the colour
// sheet, and nothing else anywhere.
inline void compact_sheets(QImage& colour, QImage& mask) {
    colour = QImage(kSheetWidth, kSheetHeight, QImage::Format_RGB32);
    mask = QImage(kSheetWidth, kSheetHeight, QImage::Format_RGB32);
    colour.fill(qRgb(0, 0, 0));
    mask.fill(qRgb(255, 255, 255));
    for (int n = 1; n <= kSheetCells; ++n) {
        const QRect cell = sheet_cell(n);
        const QRect block(cell.x() + 20 + n % 5 * 9, cell.y() + 30 + n % 4 * 11, 50 + n % 3 * 7,
                          40);
        for (int y = block.top(); y <= block.bottom(); ++y) {
            for (int x = block.left(); x <= block.right(); ++x) {
                mask.setPixel(x, y, qRgb(0, 0, 0));
                colour.setPixel(x, y, pattern_pixel(x, y, 9));
            }
        }
    }
}

// What drawing `cell` at (x, y) through the sheets makes of `image`: the
// mask ANDed in, then the colour ORed, cut at the image's edges.
inline void composite(QImage& image, const QImage& mask, const QImage& colour, const QRect& cell,
                      int x, int y) {
    for (int dy = 0; dy < cell.height(); ++dy) {
        for (int dx = 0; dx < cell.width(); ++dx) {
            if (!image.rect().contains(x + dx, y + dy)) {
                continue;
            }
            const QRgb under = image.pixel(x + dx, y + dy);
            const QRgb m = mask.pixel(cell.x() + dx, cell.y() + dy);
            const QRgb c = colour.pixel(cell.x() + dx, cell.y() + dy);
            image.setPixel(x + dx, y + dy, (under & m) | c);
        }
    }
}

}  // namespace wm::test
