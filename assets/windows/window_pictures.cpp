#include "assets/windows/window_pictures.h"

#include "assets/kit/canvas.h"
#include "assets/window_assets.h"
#include "assets/windows/window_art.h"
#include "assets/windows/wordmark.h"

#include <QPainter>

namespace wm::media {

namespace {

// A window picture's canvas: twice the size it takes on a window, so that it
// stays sharp on a display of twice the density; painted in window units.
QImage new_window_canvas(QSize size) {
    return new_canvas(size * kWindowPictureScale);
}

void paint_in_window_units(QPainter& painter) {
    painter.scale(kWindowPictureScale, kWindowPictureScale);
}

QRectF whole(const QImage& canvas) {
    return {QPointF(0, 0), QSizeF(canvas.size()) / kWindowPictureScale};
}

}  // namespace

QImage paint_configuration_picture() {
    QImage canvas = new_window_canvas(QSize(480, 200));
    {
        QPainter painter(&canvas);
        paint_in_window_units(painter);
        NightLayout layout;
        layout.horizon = 0.6;
        layout.moon = QPointF(0.88, 0.2);
        layout.moon_radius = 0.085;
        layout.pines = 6;
        layout.cottage = true;
        layout.cottage_at = 0.2;
        layout.crystals = 5;
        layout.lettering = QRectF(0.12, 0.12, 0.76, 0.5);
        paint_winter_night(painter, whole(canvas), 0xC0F1u, layout);
        paint_wordmark(painter, QPointF(240, 84), 64);
        paint_tagline(painter, QPointF(240, 112), 14, QStringLiteral("a winter screen saver"));
        MediaRandom rng(0xC0F2u);
        const QPointF perch =
            paint_snowy_twig(painter, rng, QPointF(492, 152), QPointF(372, 168), 9, 0.45);
        paint_robin(painter, perch, 36, false);
    }
    return finish_canvas(canvas, 0xC0F3u);
}

QImage paint_about_picture() {
    QImage canvas = new_window_canvas(QSize(160, 160));
    {
        QPainter painter(&canvas);
        paint_in_window_units(painter);
        NightLayout layout;
        layout.horizon = 0.58;
        layout.moon = QPointF(0.76, 0.2);
        layout.moon_radius = 0.09;
        layout.pines = 4;
        layout.crystals = 3;
        layout.lettering = QRectF(0.0, 0.22, 1.0, 0.24);
        paint_winter_night(painter, whole(canvas), 0xAB01u, layout);
        MediaRandom rng(0xAB02u);
        const QPointF perch =
            paint_snowy_twig(painter, rng, QPointF(-6, 128), QPointF(104, 136), 9, 0.4);
        paint_robin(painter, perch, 40, true);
        paint_wordmark(painter, QPointF(80, 62), 27);
    }
    return finish_canvas(canvas, 0xAB03u);
}

QImage paint_welcome_picture() {
    QImage canvas = new_window_canvas(QSize(200, 280));
    {
        QPainter painter(&canvas);
        paint_in_window_units(painter);
        NightLayout layout;
        layout.horizon = 0.62;
        layout.moon = QPointF(0.7, 0.14);
        layout.moon_radius = 0.06;
        layout.pines = 5;
        layout.cottage = true;
        layout.cottage_at = 0.62;
        layout.crystals = 4;
        layout.lettering = QRectF(0.0, 0.18, 1.0, 0.26);
        paint_winter_night(painter, whole(canvas), 0x3E1Cu, layout);
        paint_tagline(painter, QPointF(100, 74), 14, QStringLiteral("Welcome to"));
        paint_wordmark(painter, QPointF(100, 110), 34);
        MediaRandom rng(0x3E1Du);
        const QPointF perch =
            paint_snowy_twig(painter, rng, QPointF(-8, 238), QPointF(128, 250), 10, 0.45);
        paint_robin(painter, perch, 46, true);
    }
    return finish_canvas(canvas, 0x3E1Eu);
}

}  // namespace wm::media
