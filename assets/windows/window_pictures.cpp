#include "assets/windows/window_pictures.h"

#include "assets/scenes/scenes.h"

namespace wm::media {

// Rough pictures until the real ones are drawn.
QImage paint_preview_still() {
    return paint_snowy_village(QSize(150, 112)).convertToFormat(QImage::Format_Indexed8);
}
QImage paint_configuration_picture() {
    return paint_snowy_village(QSize(200, 300));
}
QImage paint_about_picture() {
    return paint_snowy_village(QSize(160, 160));
}
QImage paint_welcome_picture() {
    return paint_snowy_village(QSize(160, 240));
}
QImage paint_border_pieces() {
    QImage border(80, 80, QImage::Format_RGB32);
    border.fill(QColor(120, 90, 40));
    return border;
}
QImage paint_title_card(QSize size) {
    return paint_starry_church(size);
}

}  // namespace wm::media
