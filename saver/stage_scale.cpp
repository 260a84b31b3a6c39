#include "saver/stage_scale.h"

#include "platform/rounding.h"

#include <algorithm>
#include <cmath>

namespace wm {

StageScale stage_scale(QSize window, QSize screen, double device_pixel_ratio) {
    StageScale scale;
    scale.pixel_ratio =
        std::isfinite(device_pixel_ratio) && device_pixel_ratio >= 1.0 ? device_pixel_ratio : 1.0;
    scale.drawn = window.expandedTo(QSize(1, 1));
    const bool small = screen.width() > 0 && screen.height() > 0 &&
                       scale.drawn.width() <= screen.width() * kMiniatureShare &&
                       scale.drawn.height() <= screen.height() * kMiniatureShare;
    if (small) {
        // As large as the screen allows in the window's proportions.
        scale.miniature = std::min(static_cast<double>(screen.width()) / scale.drawn.width(),
                                   static_cast<double>(screen.height()) / scale.drawn.height());
        scale.drawn = QSize(round_to_int(scale.drawn.width() * scale.miniature),
                            round_to_int(scale.drawn.height() * scale.miniature));
    }
    scale.pixels_per_unit = scale.pixel_ratio * scale.miniature;
    return scale;
}

}  // namespace wm
