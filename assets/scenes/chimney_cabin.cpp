#include "assets/scenes/scenes.h"
#include "assets/scenes/sketch.h"

namespace wm::media {

QImage paint_chimney_cabin(QSize size) {
    return sketch_scene(size, QColor(25, 30, 60), QColor(120, 90, 110), 6);
}

}  // namespace wm::media
