// How large the saver draws for its window, and how that maps onto it.

#include "saver/stage_scale.h"

#include <gtest/gtest.h>

#include <cmath>

namespace wm {
namespace {

TEST(StageScale, AFullScreenIsDrawnInItsDevicePixels) {
    const StageScale plain = stage_scale({1920, 1080}, {1920, 1080}, 1.0);
    EXPECT_EQ(plain.drawn, QSize(1920, 1080));
    EXPECT_EQ(plain.area, QRect(0, 0, 1920, 1080));
    EXPECT_EQ(plain.pixels_per_unit, 1.0);
    EXPECT_EQ(plain.pixel_ratio, 1.0);
    EXPECT_EQ(plain.miniature, 1.0);

    // A dense screen: every device pixel drawn, captions grown by 2.
    const StageScale dense = stage_scale({3840, 2160}, {3840, 2160}, 2.0);
    EXPECT_EQ(dense.drawn, QSize(3840, 2160));
    EXPECT_EQ(dense.pixels_per_unit, 2.0);
    EXPECT_EQ(dense.pixel_ratio, 2.0);
    EXPECT_EQ(dense.miniature, 1.0);

    // A host's window over a whole monitor, or over most of one.
    EXPECT_EQ(stage_scale({1280, 1024}, {1920, 1080}, 1.0).miniature, 1.0);
    EXPECT_EQ(stage_scale({961, 541}, {1920, 1080}, 1.0).miniature, 1.0);
}

TEST(StageScale, ASmallWindowShowsTheScreensDrawingScaledDownToCoverIt) {
    // A 4:3 window on a 16:9 screen: the screen's drawing at the window's
    // height, its sides trimmed evenly.
    const StageScale preview = stage_scale({400, 300}, {1280, 720}, 1.0);
    EXPECT_EQ(preview.drawn, QSize(1280, 720));
    EXPECT_DOUBLE_EQ(preview.miniature, 2.4);
    EXPECT_DOUBLE_EQ(preview.pixels_per_unit, 2.4);
    EXPECT_EQ(preview.area, QRect(-67, 0, 534, 300));

    // A wide window: the top and bottom trimmed.
    const StageScale wide = stage_scale({600, 200}, {1280, 720}, 1.0);
    EXPECT_EQ(wide.area.width(), 600);
    EXPECT_GE(wide.area.height(), 200);
    EXPECT_EQ(wide.area.top(), -(wide.area.height() - 200) / 2);

    // On a dense screen the miniature is drawn at the screen's logical size.
    const StageScale dense = stage_scale({400, 300}, {3840, 2160}, 2.0);
    EXPECT_EQ(dense.drawn, QSize(1920, 1080));
    EXPECT_EQ(dense.area, QRect(-67, 0, 534, 300));
    EXPECT_DOUBLE_EQ(dense.miniature, 7.2);
    EXPECT_DOUBLE_EQ(dense.pixels_per_unit, 7.2) << "drawn pixels per logical pixel";
    EXPECT_DOUBLE_EQ(dense.pixel_ratio, 1.0) << "captions as on an ordinary screen of that size";

    // Half the screen both ways is small enough; the same shape needs no trimming.
    const StageScale half = stage_scale({960, 540}, {1920, 1080}, 1.0);
    EXPECT_EQ(half.drawn, QSize(1920, 1080));
    EXPECT_EQ(half.area, QRect(0, 0, 960, 540));
}

TEST(StageScale, OddInputGivesAUsableScale) {
    EXPECT_EQ(stage_scale({0, 0}, {1920, 1080}, 1.0).drawn.isEmpty(), false);
    EXPECT_EQ(stage_scale({400, 300}, {}, 1.0).drawn, QSize(400, 300)) << "unknown screen";
    EXPECT_EQ(stage_scale({400, 300}, {-5, 720}, 1.0).miniature, 1.0);
    for (double ratio : {0.0, -2.0, 0.5, std::nan("")}) {
        EXPECT_EQ(stage_scale({800, 600}, {800, 600}, ratio).pixel_ratio, 1.0) << ratio;
    }
}

}  // namespace
}  // namespace wm
