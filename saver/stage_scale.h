#pragma once
// How large the saver draws its stage for the window it runs in, and how
// that drawing maps onto the window.
//
// The saver draws in device pixels, so that a dense screen shows it sharp,
// with captions and the framed stage grown by the screen's device pixel
// ratio to look as large as on an ordinary screen. A window much smaller
// than its screen (a host's preview of the saver) gets a miniature: the
// saver is drawn as it would be on the whole screen (at its logical size:
// the drawing is scaled down anyway) and shown scaled down to cover the window, centred, the
// screen's shape trimmed to the window's shape at the sides (or at the top and bottom), so that the
// pictures fill the window and captions, birds and clock keep their proportions.

#include <QRect>
#include <QSize>

namespace wm {

struct StageScale {
    QSize drawn;  // the size the saver draws at, device pixels
    // Where the drawing shows, device pixels from the window's top-left
    // corner; what lies beyond the window is trimmed.
    QRect area;
    double pixels_per_unit = 1.0;  // drawn pixels to each of the window's logical pixels
    double pixel_ratio = 1.0;      // drawn pixels per ordinary pixel (captions grow by it)
    double miniature = 1.0;        // how many times larger the drawing is than it shows
};

// A window no larger than this share of its screen both ways shows a miniature.
inline constexpr double kMiniatureShare = 0.5;

// The scale for a window of `window` device pixels on a screen of `screen`
// device pixels whose device pixel ratio is `device_pixel_ratio` (values
// that are not at least 1 count as 1; an unknown screen size gives no
// miniature).
StageScale stage_scale(QSize window, QSize screen, double device_pixel_ratio);

}  // namespace wm
