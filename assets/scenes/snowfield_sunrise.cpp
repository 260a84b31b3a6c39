#include "assets/scenes/scenes.h"
#include "assets/scenes/sketch.h"

namespace wm::media {

QImage paint_snowfield_sunrise(QSize size) {
    return sketch_scene(size, QColor(80, 110, 180), QColor(255, 190, 140), 8);
}

}  // namespace wm::media
