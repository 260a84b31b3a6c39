#include "assets/scenes/scenes.h"
#include "assets/scenes/sketch.h"

namespace wm::media {

QImage paint_snowman_garden(QSize size) {
    return sketch_scene(size, QColor(60, 100, 170), QColor(200, 220, 240), 5);
}

}  // namespace wm::media
