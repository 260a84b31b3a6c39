// Every background picture, asked for a size it cannot be painted at,
// answers at once with a null picture instead of looping or crashing.

#include "assets/scenes/scenes.h"

#include <gtest/gtest.h>

namespace wm::media {
namespace {

TEST(Scenes, RefuseSizesTheyCannotBePaintedAt) {
    using Painter = QImage (*)(QSize);
    const Painter scenes[] = {paint_snowy_village,    paint_pine_forest_dusk,
                              paint_frozen_lake,      paint_northern_lights,
                              paint_snowman_garden,   paint_chimney_cabin,
                              paint_starry_church,    paint_snowfield_sunrise,
                              paint_town_square_tree, paint_moonlit_peaks};
    for (const Painter paint : scenes) {
        for (const QSize size : {QSize(0, 0), QSize(1920, 0), QSize(0, 1080), QSize(-5, 10),
                                 QSize(1920, -1080), QSize(20000, 1080), QSize(1920, 1 << 30)}) {
            EXPECT_TRUE(paint(size).isNull()) << size.width() << " x " << size.height();
        }
        // The smallest picture there is still paints.
        EXPECT_EQ(paint(QSize(1, 1)).size(), QSize(1, 1));
    }
}

}  // namespace
}  // namespace wm::media
