#include "assets/scenes/scenes.h"
#include "assets/scenes/sketch.h"

namespace wm::media {

QImage paint_pine_forest_dusk(QSize size) {
    return sketch_scene(size, QColor(40, 40, 90), QColor(230, 140, 120), 2);
}

}  // namespace wm::media
