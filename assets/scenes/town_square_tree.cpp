#include "assets/scenes/scenes.h"
#include "assets/scenes/sketch.h"

namespace wm::media {

QImage paint_town_square_tree(QSize size) {
    return sketch_scene(size, QColor(20, 25, 50), QColor(80, 70, 90), 9);
}

}  // namespace wm::media
