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

}  // namespace wm::test
