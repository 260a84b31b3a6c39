#include "assets/scenes/scenes.h"
#include "assets/scenes/sketch.h"

namespace wm::media {

QImage paint_starry_church(QSize size) {
    return sketch_scene(size, QColor(5, 8, 25), QColor(40, 50, 90), 7);
}

}  // namespace wm::media
