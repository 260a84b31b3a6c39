#include "assets/window_assets.h"

// Made by rcc from the generated resource list.
int qInitResources_window_pictures();

namespace wm {

QImage window_picture(WindowPicture which) {
    // A static library's resources register only when first asked for.
    static const int registered = qInitResources_window_pictures();
    (void)registered;
    return QImage(QStringLiteral(":/windows/") + window_picture_name(which));
}

QPixmap window_pixmap(WindowPicture which, qreal device_pixel_ratio) {
    const QImage stored = window_picture(which);
    if (stored.isNull() || !(device_pixel_ratio > 0.0)) {
        return QPixmap::fromImage(stored);
    }
    const QSizeF on_window = QSizeF(stored.size()) / stored_scale(which);
    const QSize shown = (on_window * device_pixel_ratio).toSize();
    QPixmap pixmap =
        QPixmap::fromImage(shown == stored.size() ? stored
                                                  : stored.scaled(shown, Qt::IgnoreAspectRatio,
                                                                  Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(device_pixel_ratio);
    return pixmap;
}

}  // namespace wm
