#include "assets/scenes/scenes.h"
#include "assets/scenes/sketch.h"

namespace wm::media {

QImage paint_northern_lights(QSize size) {
    return sketch_scene(size, QColor(5, 10, 30), QColor(20, 60, 80), 4);
}

}  // namespace wm::media
