// The widget that shows a picture box: what it paints and when.

#include "imaging/picture_box_widget.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPaintEvent>

#include <cstdlib>

namespace wm {
namespace {

// Remembers the region of every repaint.
class PaintLog : public PictureBoxWidget {
  public:
    using PictureBoxWidget::PictureBoxWidget;
    QRegion painted;
    int paints = 0;

  protected:
    void paintEvent(QPaintEvent* event) override {
        painted += event->region();
        ++paints;
        PictureBoxWidget::paintEvent(event);
    }
};

QImage solid(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

void run_events() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

TEST(PictureBoxWidget, PaintsTheBoxOneToOneAndBlackBeyond) {
    PictureBox box;
    box.set_auto_size(true);
    box.set_picture(solid(30, 20, qRgb(10, 200, 30)));
    PictureBox tint;
    tint.set_auto_size(true);
    tint.set_picture(solid(5, 5, qRgb(255, 0, 255)));
    box_blt(box, 4, 3, 5, 5, tint, 0, 0, RasterOp::kSrcCopy);

    PictureBoxWidget widget(&box);
    widget.resize(40, 25);
    const QImage shown = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(40, 25));
    EXPECT_EQ(shown.copy(0, 0, 30, 20), box.Image());
    EXPECT_EQ(shown.copy(30, 0, 10, 25), solid(10, 25, qRgb(0, 0, 0)));
    EXPECT_EQ(shown.copy(0, 20, 40, 5), solid(40, 5, qRgb(0, 0, 0)));

    widget.fit_to_box();
    EXPECT_EQ(widget.size(), QSize(30, 20));
    EXPECT_EQ(widget.minimumSize(), widget.maximumSize());

    // Without a box it is all black.
    widget.set_box(nullptr);
    EXPECT_EQ(widget.grab().toImage().convertToFormat(QImage::Format_RGB32),
              solid(30, 20, qRgb(0, 0, 0)));
}

TEST(PictureBoxWidget, RepaintsOnlyWhatTheBoxSaysChanged) {
    PictureBox box;
    box.set_pixel_size(200, 100);
    PictureBox sprite;
    sprite.set_pixel_size(10, 10);
    PaintLog widget(&box);
    widget.fit_to_box();
    widget.show();
    run_events();
    ASSERT_GT(widget.paints, 0);  // the first showing

    widget.painted = QRegion();
    widget.paints = 0;
    run_events();
    EXPECT_EQ(widget.paints, 0);  // nothing changed, nothing painted

    box_blt(box, 5, 5, 10, 10, sprite, 0, 0, RasterOp::kSrcCopy);
    box_blt(box, 150, 80, 10, 10, sprite, 0, 0, RasterOp::kSrcPaint);
    box_blt(box, 195, -5, 10, 10, sprite, 0, 0, RasterOp::kSrcAnd);  // cut to 5 x 5
    run_events();
    EXPECT_EQ(widget.painted,
              QRegion(5, 5, 10, 10) + QRegion(150, 80, 10, 10) + QRegion(195, 0, 5, 5));

    // Off an X11 display the changes cannot go to it straight: they are
    // painted as before.
    QString why;
    EXPECT_FALSE(widget.present_directly(&why));
    EXPECT_EQ(why, QStringLiteral("the application is not on an X11 display"));
    EXPECT_FALSE(widget.presents_directly());
    widget.painted = QRegion();
    box_blt(box, 20, 30, 10, 10, sprite, 0, 0, RasterOp::kSrcCopy);
    run_events();
    EXPECT_EQ(widget.painted, QRegion(20, 30, 10, 10));
}

TEST(PictureBoxWidget, AttachesToOneBoxAtATime) {
    PictureBox first;
    PictureBox second;
    {
        PictureBoxWidget widget(&first);
        EXPECT_EQ(first.view(), &widget);
        widget.set_box(&second);
        EXPECT_EQ(first.view(), nullptr);
        EXPECT_EQ(second.view(), &widget);
        EXPECT_EQ(widget.box(), &second);

        // Another view took the box: leaving it does not take it away again.
        PictureBoxWidget other(&second);
        widget.set_box(&first);
        EXPECT_EQ(second.view(), &other);
    }
    EXPECT_EQ(first.view(), nullptr);  // gone, detached

    // A box that goes first leaves the widget showing nothing.
    PictureBoxWidget widget;
    {
        PictureBox brief;
        widget.set_box(&brief);
    }
    EXPECT_EQ(widget.box(), nullptr);
    widget.resize(10, 10);
    EXPECT_FALSE(widget.grab().isNull());  // paints without the box that went
}

TEST(PictureBoxWidget, ShowsALargerBoxScaledDownAndBlackBeyond) {
    // 2 x 2 blocks of one colour each: scaled down by 2 they stay exact.
    PictureBox box;
    box.set_auto_size(true);
    QImage blocks(40, 20, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 40; ++x) {
            blocks.setPixel(x, y, qRgb(x / 2 * 12, y / 2 * 25, 90));
        }
    }
    box.set_picture(blocks);
    PaintLog widget(&box);
    widget.set_pixels_per_unit(2.0);
    widget.fit_to_box();
    EXPECT_EQ(widget.size(), QSize(20, 10));
    widget.setFixedSize(24, 12);
    const QImage shown = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(24, 12));
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 20; ++x) {
            const QRgb want = qRgb(x * 12, y * 25, 90);
            const QRgb got = shown.pixel(x, y);
            EXPECT_LE(std::abs(qRed(got) - qRed(want)) + std::abs(qGreen(got) - qGreen(want)), 6)
                << x << "," << y;
        }
    }
    EXPECT_EQ(shown.copy(20, 0, 4, 12), solid(4, 12, qRgb(0, 0, 0)));
    EXPECT_EQ(shown.copy(0, 10, 24, 2), solid(24, 2, qRgb(0, 0, 0)));

    // A change in the box repaints where it shows in the widget.
    widget.show();
    run_events();
    widget.painted = QRegion();
    PictureBox sprite;
    sprite.set_pixel_size(8, 8);
    box_blt(box, 20, 4, 8, 8, sprite, 0, 0, RasterOp::kSrcCopy);
    run_events();
    EXPECT_TRUE(widget.painted.contains(QRect(10, 2, 4, 4))) << "box pixels 20..27 show at 10..13";
    EXPECT_FALSE(widget.painted.intersects(QRect(0, 0, 8, 10)));
}

}  // namespace
}  // namespace wm
