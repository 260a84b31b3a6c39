#include "assets/window_assets.h"

// Made by rcc from the generated resource list.
int qInitResources_window_pictures();

namespace wm {

QImage window_picture(WindowPicture which) {
    // A static library's resources register only when first asked for.
    static const int registered = qInitResources_window_pictures();
    (void)registered;
    return QImage(QStringLiteral(":/windows/") + window_picture_name(which));
}

}  // namespace wm
