#pragma once
// The program's icon, as the desktop's menus and panels show it: a rounded
// square of moonlit night sky over a snowy hill where a robin stands,
// clear outside the square. Each size is drawn from the same shapes at that
// size, not scaled from another, so it stays crisp from 16 pixels up.

#include <QImage>

#include <array>

namespace wm::media {

// The sizes the icon ships in, in pixels square, smallest first.
inline constexpr std::array<int, 3> kAppIconSizes{48, 128, 256};

// Sizes the icon can be drawn at, in pixels square.
inline constexpr int kSmallestAppIcon = 16;
inline constexpr int kLargestAppIcon = 1024;

// The icon `size` pixels square in QImage::Format_ARGB32; a null image for a
// size outside kSmallestAppIcon..kLargestAppIcon.
QImage paint_app_icon(int size);

}  // namespace wm::media
