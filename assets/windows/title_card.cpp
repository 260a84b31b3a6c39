#include "assets/windows/window_pictures.h"

#include "assets/kit/canvas.h"
#include "assets/windows/window_art.h"
#include "assets/windows/wordmark.h"

#include <QPainter>

#include <algorithm>

namespace wm::media {

QImage paint_title_card(QSize size) {
    // Any size is painted; nonsense ones are brought within reason first.
    const QSize bounded(std::clamp(size.width(), 1, 4096), std::clamp(size.height(), 1, 4096));
    QImage canvas = new_canvas(bounded);
    {
        QPainter painter(&canvas);
        const double w = bounded.width();
        const double h = bounded.height();
        NightLayout layout;
        layout.horizon = 0.6;
        layout.moon = QPointF(0.8, 0.17);
        layout.moon_radius = 0.06;
        layout.pines = 9;
        layout.cottage = true;
        layout.cottage_at = 0.28;
        layout.crystals = 9;
        layout.lettering = QRectF(0.08, 0.16, 0.84, 0.36);
        paint_winter_night(painter, QRectF(0, 0, w, h), 0x717Eu, layout);
        const double letters = std::min(w / 6.4, h / 4.4);
        paint_wordmark(painter, QPointF(w / 2, h * 0.38), letters);
        paint_tagline(painter, QPointF(w / 2, h * 0.38 + letters * 0.48), letters * 0.2,
                      QStringLiteral("a winter screen saver"));
        MediaRandom rng(0x717Fu);
        const QPointF perch = paint_snowy_twig(painter, rng, QPointF(w + 10, h * 0.79),
                                               QPointF(w * 0.66, h * 0.85), h * 0.024, 0.42);
        paint_robin(painter, perch, h * 0.15, false);
    }
    return finish_canvas(canvas, 0x7180u);
}

}  // namespace wm::media
