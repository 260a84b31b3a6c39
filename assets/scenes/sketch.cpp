#include "assets/scenes/sketch.h"

#include "assets/kit/canvas.h"
#include "assets/kit/paint_kit.h"

namespace wm::media {

QImage sketch_scene(QSize size, const QColor& sky_top, const QColor& sky_bottom,
                    std::uint64_t seed) {
    MediaRandom rng(seed);
    QImage canvas = new_canvas(size);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = size.width();
    const double h = size.height();
    painter.fillRect(canvas.rect(),
                     vertical_gradient(0, h * 0.75, {{0, sky_top}, {1, sky_bottom}}));
    paint_stars(painter, rng, QRectF(0, 0, w, h * 0.5), 300, 1.6);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(200, 210, 230));
    painter.drawPath(smooth_area_below(ridge_line(rng, 0, w, h * 0.78, 60, 0.5, 6), h));
    for (int i = 0; i < 12; ++i) {
        paint_pine(painter, rng, QPointF(rng.range(0, w), h * 0.9), rng.range(120, 260),
                   QColor(30, 60, 45), QColor(235, 240, 250), 0.35);
    }
    paint_snowfall(painter, rng, QRectF(0, 0, w, h), 600, 0.8, 4.0, Qt::white);
    painter.end();
    return finish_canvas(canvas, seed);
}

}  // namespace wm::media
