#include "assets/scenes/scenes.h"
#include "assets/scenes/sketch.h"

namespace wm::media {

QImage paint_frozen_lake(QSize size) {
    return sketch_scene(size, QColor(30, 60, 120), QColor(170, 200, 230), 3);
}

}  // namespace wm::media
