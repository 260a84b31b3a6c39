#include "assets/kit/smoke.h"

#include "assets/kit/piece_basics.h"

#include <algorithm>
#include <cmath>

namespace wm::media {

using namespace piece;

void paint_smoke(QPainter& painter, MediaRandom& caller, QPointF origin, double rise, double drift,
                 const QColor& colour, double opacity) {
    MediaRandom rng = caller.split();
    if (!(rise > 0.0) || !usable(rise) || !usable(std::abs(drift)) || !usable(origin)) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // Puffs that swell and thin as they climb and lean with the wind.
    const int puffs = 36;
    const double phase = rng.range(0.0, 6.28);
    for (int i = 0; i < puffs; ++i) {
        const double t = static_cast<double>(i) / (puffs - 1);
        const double radius = rise * (0.04 + 0.2 * t) * rng.range(0.75, 1.25);
        const double curl = std::sin(phase + t * 9.0) * rise * 0.05 * (0.3 + t);
        const QPointF at =
            origin +
            QPointF(drift * std::pow(t, 1.5) + curl + rng.range(-0.3, 0.3) * radius, -rise * t);
        const double fade = std::pow(1.0 - t, 1.2) * std::min(1.0, 0.2 + t * 3.0);
        paint_glow(painter, at, radius, colour, opacity * 0.3 * fade);
    }
    painter.restore();
}

}  // namespace wm::media
