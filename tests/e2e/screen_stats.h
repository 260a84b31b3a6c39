#pragma once
// Pixel statistics of screenshots (32-bit images) within a rectangle: what a
// test can say about a picture without knowing it pixel by pixel.

#include <QImage>
#include <QRect>
#include <QRgb>

namespace wm::e2e {

// How many different colours the rectangle holds.
int distinct_colours(const QImage& image, const QRect& area);

// How many pixels of the rectangle lie within `tolerance` of the colour in
// each of red, green and blue.
int count_near(const QImage& image, const QRect& area, QRgb colour, int tolerance);

// The share (0 to 1) of the rectangle's pixels where the two images differ
// by more than `threshold` in red, green or blue. Images of different sizes
// differ everywhere.
double changed_fraction(const QImage& a, const QImage& b, const QRect& area, int threshold);

}  // namespace wm::e2e
