#include "saver/stage_scale.h"

#include <algorithm>
#include <cmath>

namespace wm {

StageScale stage_scale(QSize window, QSize screen, double device_pixel_ratio) {
    const double ratio =
        std::isfinite(device_pixel_ratio) && device_pixel_ratio >= 1.0 ? device_pixel_ratio : 1.0;
    const QSize shape = window.expandedTo(QSize(1, 1));
    StageScale scale;
    scale.drawn = shape;
    scale.area = QRect(QPoint(0, 0), shape);
    scale.pixel_ratio = ratio;
    scale.pixels_per_unit = ratio;
    const bool small = screen.width() > 0 && screen.height() > 0 &&
                       shape.width() <= screen.width() * kMiniatureShare &&
                       shape.height() <= screen.height() * kMiniatureShare;
    if (small) {
        // The whole screen's drawing, as small as still covers the window.
        scale.miniature = std::min(static_cast<double>(screen.width()) / shape.width(),
                                   static_cast<double>(screen.height()) / shape.height());
        // Drawn at the screen's logical size: the same picture as in device
        // pixels, for a fraction of the work, once it is scaled down.
        scale.drawn = QSize(std::max(1, static_cast<int>(std::lround(screen.width() / ratio))),
                            std::max(1, static_cast<int>(std::lround(screen.height() / ratio))));
        const auto shown_side = [&](int screen_side, int window_side) {
            return std::max(window_side,
                            static_cast<int>(std::ceil(screen_side / scale.miniature - 1e-9)));
        };
        const QSize shown(shown_side(screen.width(), shape.width()),
                          shown_side(screen.height(), shape.height()));
        scale.area = QRect(
            QPoint((shape.width() - shown.width()) / 2, (shape.height() - shown.height()) / 2),
            shown);
        scale.pixels_per_unit = scale.miniature;
        scale.pixel_ratio = 1.0;
    }
    return scale;
}

}  // namespace wm
