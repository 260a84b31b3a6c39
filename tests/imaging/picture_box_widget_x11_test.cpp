// The picture box's widget putting the box's changes straight on its X11
// window, judged from what the server shows. Runs on a virtual X display
// with Qt on xcb.

#include "imaging/picture_box_widget.h"

#include "tests/support/test_support.h"
#include "tests/support/x_test_client.h"

#include <QPaintEvent>
#include <QPainter>
#include <QWindow>

#include <gtest/gtest.h>

namespace wm {
namespace {

constexpr QRgb kBlue = 0xff2040c0;
constexpr QRgb kGreen = 0xff20c040;
constexpr QRgb kYellow = 0xffe0d020;
constexpr QRgb kRed = 0xffd02020;

// Remembers the region of every repaint.
class PaintLog : public PictureBoxWidget {
  public:
    using PictureBoxWidget::PictureBoxWidget;
    QRegion painted;

  protected:
    void paintEvent(QPaintEvent* event) override {
        painted += event->region();
        PictureBoxWidget::paintEvent(event);
    }
};

// A widget that paints only a yellow square of 4 x 4 at its top-left
// corner and lets what lies under it show through elsewhere, as a label
// does around its text.
class Badge : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(0, 0, 4, 4, QColor(kYellow)); }
};

void fill(PictureBox& box, QRgb colour) {
    box.raster().fill(colour);
    box.changed(QRect(QPoint(0, 0), box.pixel_size()));
}

// A window with the box's widget at (10, 10), and over parts of the widget
// a plain red one and a badge.
class DirectPresentingTest : public test::XDisplayTest {
  protected:
    void SetUp() override {
        XDisplayTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        box_.set_pixel_size(120, 90);
        fill(box_, kBlue);
        window_.setGeometry(0, 0, 160, 120);
        stage_ = new PaintLog(&box_, &window_);
        stage_->setGeometry(10, 10, 120, 90);
        cover_ = new QWidget(&window_);
        cover_->setGeometry(30, 30, 40, 20);
        cover_->setAutoFillBackground(true);
        QPalette red;
        red.setColor(QPalette::Window, QColor::fromRgb(kRed));
        cover_->setPalette(red);
        badge_ = new Badge(&window_);
        badge_->setGeometry(90, 60, 20, 10);
        window_.show();
        ASSERT_TRUE(test::run_events_until([this] {
            return window_.windowHandle()->isExposed() && shown().pixel(15, 15) == kBlue;
        }));
    }

    QImage shown() { return x_.pixels_of(static_cast<xcb_window_t>(window_.winId())); }

    // Lets every change reach the display.
    QImage settled() {
        test::run_events_for(100);
        return shown();
    }

    PictureBox box_;
    QWidget window_;
    PaintLog* stage_ = nullptr;
    QWidget* cover_ = nullptr;
    QWidget* badge_ = nullptr;
};

TEST_F(DirectPresentingTest, ChangesArePutOnTheWindowAndOnlyWhatIsCoveredIsPainted) {
    QString why;
    ASSERT_TRUE(stage_->present_directly(&why)) << why.toStdString();
    EXPECT_TRUE(stage_->presents_directly());
    stage_->painted = QRegion();

    fill(box_, kGreen);
    QImage on_screen = settled();
    EXPECT_EQ(on_screen.pixel(15, 15), kGreen);
    EXPECT_EQ(on_screen.pixel(129, 99), kGreen);
    EXPECT_EQ(on_screen.pixel(40, 35), kRed);
    EXPECT_EQ(on_screen.pixel(91, 61), kYellow);
    EXPECT_EQ(on_screen.pixel(100, 65), kGreen);  // the badge shows the box around its square
    // At most the parts under the other widgets were painted; the rest was put.
    EXPECT_TRUE((stage_->painted - QRegion(20, 20, 40, 20) - QRegion(80, 50, 20, 10)).isEmpty());

    // A change of a few pixels is put as well.
    stage_->painted = QRegion();
    box_.raster().setPixel(100, 70, kYellow);
    box_.changed(QRect(100, 70, 1, 1));
    on_screen = settled();
    EXPECT_EQ(on_screen.pixel(110, 80), kYellow);
    EXPECT_EQ(stage_->painted, QRegion());

    // Once the box resizes, its new pixels are put too.
    box_.set_pixel_size(60, 40);
    fill(box_, kYellow);
    on_screen = settled();
    EXPECT_EQ(on_screen.pixel(15, 45), kYellow);
    EXPECT_EQ(on_screen.pixel(100, 80), qRgb(0, 0, 0));  // beyond the box: black
}

TEST_F(DirectPresentingTest, AnExposedWindowShowsTheBoxAsItIsNow) {
    ASSERT_TRUE(stage_->present_directly());
    // Another program's window over ours: what is put under it is lost.
    const xcb_window_t over = x_.make_window(x_.root(), QRect(0, 0, 160, 120),
                                             test::XWindowOptions().with_background(0x000000));
    fill(box_, kGreen);
    test::run_events_for(100);
    x_.destroy(over);
    EXPECT_TRUE(test::run_events_until([this] { return shown().pixel(15, 15) == kGreen; }));
    EXPECT_EQ(shown().pixel(129, 99), kGreen);
    EXPECT_EQ(shown().pixel(40, 35), kRed);
    EXPECT_EQ(shown().pixel(91, 61), kYellow);
}

TEST_F(DirectPresentingTest, ABoxNotShownOneToOneIsPaintedAsBefore) {
    ASSERT_TRUE(stage_->present_directly());
    stage_->set_pixels_per_unit(0.5);  // two widget pixels to each of the box's
    test::run_events_for(50);
    stage_->painted = QRegion();
    box_.raster().fill(kGreen);
    box_.changed(QRect(40, 30, 10, 10));
    const QImage on_screen = settled();
    EXPECT_EQ(on_screen.pixel(10 + 85, 10 + 65), kGreen);
    // The scaled rectangle and the pixel beyond it that smoothing reaches.
    EXPECT_EQ(stage_->painted, QRegion(79, 59, 22, 22));
}

TEST_F(DirectPresentingTest, AMovedWidgetShowsTheBoxAsItIsNow) {
    // Nothing over it: Qt moves such a widget by moving its pixels within
    // the backing store, where the changes put straight never went.
    cover_->hide();
    badge_->hide();
    ASSERT_TRUE(stage_->present_directly());
    fill(box_, kGreen);
    test::run_events_for(50);
    stage_->move(20, 20);
    const QImage on_screen = settled();
    EXPECT_EQ(on_screen.pixel(25, 25), kGreen);
    EXPECT_EQ(on_screen.pixel(80, 60), kGreen);
    EXPECT_EQ(on_screen.pixel(139, 109), kGreen);
}

}  // namespace
}  // namespace wm
