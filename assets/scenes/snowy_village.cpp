#include "assets/scenes/scenes.h"
#include "assets/scenes/sketch.h"

namespace wm::media {

QImage paint_snowy_village(QSize size) {
    return sketch_scene(size, QColor(20, 30, 70), QColor(90, 110, 160), 1);
}

}  // namespace wm::media
