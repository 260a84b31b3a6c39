#include "assets/scenes/scenes.h"
#include "assets/scenes/sketch.h"

namespace wm::media {

QImage paint_moonlit_peaks(QSize size) {
    return sketch_scene(size, QColor(8, 15, 40), QColor(50, 70, 120), 10);
}

}  // namespace wm::media
