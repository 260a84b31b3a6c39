// Where the stage lies in the window, and the border round it.

#include "sprites/stage_setup.h"
#include "imaging/picture_box.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace wm {
namespace {

TEST(StageLayout, FillsTheScreenOrSitsInTheMiddle) {
    const StageLayout full = stage_layout({1920, 1080}, true);
    EXPECT_EQ(full.stage, QSize(1920, 1080));
    EXPECT_EQ(full.ascreen, QRect(0, 0, 1920, 1080));
    EXPECT_EQ(full.x1, -8.0);  // the border lies off the screen
    EXPECT_EQ(full.y2, 1080.0);

    const StageLayout fixed = stage_layout({1024, 768}, false);
    EXPECT_EQ(fixed.stage, QSize(800, 600));
    EXPECT_EQ(fixed.ascreen, QRect(112, 84, 800, 600));
    EXPECT_EQ(fixed.x1, 104.0);
    EXPECT_EQ(fixed.y1, 76.0);
    EXPECT_EQ(fixed.x2, 912.0);
    EXPECT_EQ(fixed.y2, 684.0);

    // An odd window: the border's corners fall between pixels.
    const StageLayout odd = stage_layout({1025, 769}, false);
    EXPECT_EQ(odd.x1, 104.5);
    EXPECT_EQ(odd.ascreen.topLeft(), QPoint(112, 84));  // 112.5 and 84.5 to even

    // A window the framed stage does not fit (a host's) is filled; one it
    // just fits keeps the frame, whose border lies outside.
    EXPECT_EQ(stage_layout({700, 500}, false).ascreen, QRect(0, 0, 700, 500));
    EXPECT_EQ(stage_layout({799, 900}, false).ascreen, QRect(0, 0, 799, 900));
    EXPECT_EQ(stage_layout({800, 600}, false).ascreen, QRect(0, 0, 800, 600));
    EXPECT_EQ(stage_layout({800, 600}, false).x1, -8.0);

    // On a dense screen the framed stage is as many times larger.
    const StageLayout dense = stage_layout({2048, 1536}, false, 2.0);
    EXPECT_EQ(dense.ascreen, QRect(224, 168, 1600, 1200));
    EXPECT_EQ(stage_layout({1500, 1536}, false, 2.0).ascreen, QRect(0, 0, 1500, 1536));
}

TEST(StageBorder, FramesTheStageWithItsPieces) {
    // Border pieces coloured by their role, so every placed piece shows
    // which it is.
    PictureBox border;
    border.set_pixel_size(80, 80);
    QImage pieces(80, 80, QImage::Format_RGB32);
    pieces.fill(Qt::black);
    {
        QPainter painter(&pieces);
        painter.fillRect(8, 0, 8, 8, QColor(1, 0, 0));    // top edge
        painter.fillRect(8, 72, 8, 8, QColor(2, 0, 0));   // bottom edge
        painter.fillRect(0, 8, 8, 8, QColor(3, 0, 0));    // left edge
        painter.fillRect(72, 64, 8, 8, QColor(4, 0, 0));  // right edge
        painter.fillRect(0, 0, 8, 8, QColor(5, 0, 0));    // corners
        painter.fillRect(72, 0, 8, 8, QColor(6, 0, 0));
        painter.fillRect(72, 72, 8, 8, QColor(7, 0, 0));
        painter.fillRect(0, 72, 8, 8, QColor(8, 0, 0));
    }
    border.set_picture(pieces);
    PictureBox form;
    form.set_pixel_size(1024, 768);
    const StageLayout layout = stage_layout(form.pixel_size(), false);
    draw_border(form, border, layout);
    const auto role = [&](int x, int y) { return qRed(form.Image().pixel(x, y)); };
    EXPECT_EQ(role(104, 76), 5);
    EXPECT_EQ(role(919, 76), 6);
    EXPECT_EQ(role(919, 691), 7);
    EXPECT_EQ(role(104, 691), 8);
    EXPECT_EQ(role(500, 80), 1);
    EXPECT_EQ(role(500, 688), 2);
    EXPECT_EQ(role(108, 400), 3);
    EXPECT_EQ(role(915, 400), 4);
    EXPECT_EQ(role(500, 400), 0) << "the stage's place is left alone";
    EXPECT_EQ(role(103, 400), 0) << "nothing outside the frame";
    // The frame is closed: every pixel of its ring is a piece.
    for (int x = 104; x < 920; ++x) {
        ASSERT_NE(role(x, 76), 0) << x;
        ASSERT_NE(role(x, 691), 0) << x;
    }
    for (int y = 76; y < 692; ++y) {
        ASSERT_NE(role(104, y), 0) << y;
        ASSERT_NE(role(919, y), 0) << y;
    }
}

}  // namespace
}  // namespace wm
