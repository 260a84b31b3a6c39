#include "assets/kit/canvas.h"

#include "assets/kit/media_random.h"

#include <QRgba64>

#include <algorithm>
#include <cmath>

namespace wm::media {

QImage new_canvas(QSize size, const QColor& fill) {
    QImage canvas(size, QImage::Format_RGBA64_Premultiplied);
    canvas.fill(fill);
    return canvas;
}

namespace {

// A 16-bit channel value brought to 8 bits with `noise` (in 8-bit steps) added.
int dither_channel(quint16 value, double noise) {
    const double level = static_cast<double>(value) / 257.0 + noise;
    return std::clamp(static_cast<int>(std::lround(level)), 0, 255);
}

}  // namespace

QImage finish_canvas(const QImage& canvas, std::uint64_t seed) {
    const QImage deep = canvas.convertToFormat(QImage::Format_RGBA64_Premultiplied);
    QImage out(deep.size(), QImage::Format_RGB32);
    MediaRandom rng(seed);
    for (int y = 0; y < deep.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgba64*>(deep.constScanLine(y));
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < deep.width(); ++x) {
            const QRgba64 pixel = in[x];
            // Drawn one by one: the order of a call's arguments is up to the compiler.
            const double red_noise = rng.triangular();
            const double green_noise = rng.triangular();
            const double blue_noise = rng.triangular();
            row[x] = qRgb(dither_channel(pixel.red(), red_noise),
                          dither_channel(pixel.green(), green_noise),
                          dither_channel(pixel.blue(), blue_noise));
        }
    }
    return out;
}

QImage finish_canvas_keeping_alpha(const QImage& canvas, std::uint64_t seed) {
    const QImage deep = canvas.convertToFormat(QImage::Format_RGBA64_Premultiplied);
    QImage out(deep.size(), QImage::Format_ARGB32);
    MediaRandom rng(seed);
    for (int y = 0; y < deep.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgba64*>(deep.constScanLine(y));
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < deep.width(); ++x) {
            // Every pixel draws its three numbers, clear or not, so the noise
            // of one pixel never depends on the shape of another.
            const double red_noise = rng.triangular();
            const double green_noise = rng.triangular();
            const double blue_noise = rng.triangular();
            const QRgba64 pixel = in[x].unpremultiplied();
            const int alpha = (pixel.alpha() + 128) / 257;
            row[x] = alpha == 0 ? 0
                                : qRgba(dither_channel(pixel.red(), red_noise),
                                        dither_channel(pixel.green(), green_noise),
                                        dither_channel(pixel.blue(), blue_noise), alpha);
        }
    }
    return out;
}

bool SceneCanvas::usable(QSize size) {
    constexpr int kLargest = 16384;
    return size.width() >= 1 && size.height() >= 1 && size.width() <= kLargest &&
           size.height() <= kLargest;
}

SceneCanvas::SceneCanvas(QSize size)
    : w(size.width()),
      h(size.height()),
      u(h / 1080.0),
      canvas_(new_canvas(size)),
      painter_(&canvas_) {
    painter_.setRenderHint(QPainter::Antialiasing);
    painter_.setPen(Qt::NoPen);
}

QImage SceneCanvas::finish(std::uint64_t seed) {
    painter_.end();
    return finish_canvas(canvas_, seed);
}

}  // namespace wm::media
