// The picture box's widget putting the box's changes straight on its X11
// window, judged from what the server shows. Runs on a virtual X display
// with Qt on xcb.

#include "imaging/picture_box_widget.h"

#include "tests/support/test_support.h"
#include "tests/support/x_test_client.h"

#include <QBackingStore>
#include <QMouseEvent>
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
// corner and leaves the rest to what lies under it, as a label does around
// its text.
class Badge : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(0, 0, 4, 4, QColor(kYellow)); }
};

// A window that counts the pointer's moves over it.
class PointerLog : public QWidget {
  public:
    PointerLog() { setMouseTracking(true); }
    int moves = 0;

  protected:
    void mouseMoveEvent(QMouseEvent*) override { ++moves; }
};

void fill(PictureBox& box, QRgb colour) {
    box.raster().fill(colour);
    box.changed(QRect(QPoint(0, 0), box.pixel_size()));
}

// A window with the box's widget at (10, 10), and over parts of the widget
// a plain red one and a badge. The window is made but not shown yet.
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
        window_.winId();
    }

    void show_window() {
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

    // The pixel at (x, y) of the window's backing store, where the widgets
    // are painted before Qt shows them.
    QRgb painted_at(int x, int y) {
        const auto* image = dynamic_cast<const QImage*>(window_.backingStore()->paintDevice());
        if (image == nullptr) {
            ADD_FAILURE() << "the backing store is no picture to look into";
            return 0;
        }
        return image->pixel(x, y);
    }

    PictureBox box_;
    PointerLog window_;
    PaintLog* stage_ = nullptr;
    QWidget* cover_ = nullptr;
    QWidget* badge_ = nullptr;
};

TEST_F(DirectPresentingTest, TheBoxGoesToTheDisplayWithoutEverBeingPainted) {
    QString why;
    ASSERT_TRUE(stage_->present_directly(&why)) << why.toStdString();
    EXPECT_TRUE(stage_->presents_directly());
    show_window();
    if (HasFatalFailure()) {
        return;
    }

    fill(box_, kGreen);
    QImage on_screen = settled();
    EXPECT_EQ(on_screen.pixel(15, 15), kGreen);
    EXPECT_EQ(on_screen.pixel(129, 99), kGreen);
    // The other widgets still show over it.
    EXPECT_EQ(on_screen.pixel(40, 35), kRed);
    EXPECT_EQ(on_screen.pixel(91, 61), kYellow);
    // Neither the first showing nor the change went through the backing store.
    for (const QPoint at : {QPoint(15, 15), QPoint(129, 99), QPoint(100, 40)}) {
        EXPECT_NE(painted_at(at.x(), at.y()), kBlue) << at.x() << ", " << at.y();
        EXPECT_NE(painted_at(at.x(), at.y()), kGreen) << at.x() << ", " << at.y();
    }

    // A change of a few pixels is put as well.
    box_.raster().setPixel(100, 70, kYellow);
    box_.changed(QRect(100, 70, 1, 1));
    EXPECT_EQ(settled().pixel(110, 80), kYellow);

    // A box smaller than the widget is painted, black beyond it.
    box_.set_pixel_size(60, 40);
    fill(box_, kYellow);
    on_screen = settled();
    EXPECT_EQ(on_screen.pixel(15, 45), kYellow);
    EXPECT_EQ(on_screen.pixel(100, 80), qRgb(0, 0, 0));
    EXPECT_EQ(painted_at(15, 45), kYellow);

    // Once it covers the widget again, it is put again.
    box_.set_pixel_size(120, 90);
    fill(box_, kGreen);
    on_screen = settled();
    EXPECT_EQ(on_screen.pixel(15, 15), kGreen);
    EXPECT_EQ(on_screen.pixel(129, 99), kGreen);
    EXPECT_EQ(painted_at(15, 15), kYellow);
}

TEST_F(DirectPresentingTest, AnExposedWindowShowsTheBoxAsItIsNow) {
    show_window();
    if (HasFatalFailure()) {
        return;
    }
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
    show_window();
    if (HasFatalFailure()) {
        return;
    }
    stage_->set_pixels_per_unit(0.5);  // two widget pixels to each of the box's
    test::run_events_for(50);
    stage_->painted = QRegion();
    box_.raster().fill(kGreen);
    box_.changed(QRect(40, 30, 10, 10));
    QImage on_screen = settled();
    EXPECT_EQ(on_screen.pixel(10 + 85, 10 + 65), kGreen);
    EXPECT_EQ(painted_at(10 + 85, 10 + 65), kGreen);
    // The scaled rectangle and the pixel beyond it that smoothing reaches.
    EXPECT_EQ(stage_->painted, QRegion(79, 59, 22, 22));

    // 1:1 again, the whole box is put: what was painted stays behind.
    stage_->set_pixels_per_unit(1.0);
    fill(box_, kYellow);
    on_screen = settled();
    EXPECT_EQ(on_screen.pixel(15, 15), kYellow);
    EXPECT_EQ(on_screen.pixel(129, 99), kYellow);
    EXPECT_NE(painted_at(15, 15), kYellow);
}

TEST_F(DirectPresentingTest, AMovedWidgetShowsTheBoxAsItIsNow) {
    cover_->hide();
    badge_->hide();
    show_window();
    if (HasFatalFailure()) {
        return;
    }
    ASSERT_TRUE(stage_->present_directly());
    fill(box_, kGreen);
    test::run_events_for(50);
    stage_->move(20, 20);
    const QImage on_screen = settled();
    EXPECT_EQ(on_screen.pixel(25, 25), kGreen);
    EXPECT_EQ(on_screen.pixel(80, 60), kGreen);
    EXPECT_EQ(on_screen.pixel(139, 109), kGreen);
}

TEST_F(DirectPresentingTest, ThePointerPassesThroughAWidgetThatLetsItThrough) {
    stage_->setAttribute(Qt::WA_TransparentForMouseEvents);
    ASSERT_TRUE(stage_->present_directly());
    show_window();
    if (HasFatalFailure()) {
        return;
    }
    const QPoint origin = window_.mapToGlobal(QPoint(0, 0));
    int step = 0;
    // Over the widget, away from the others.
    EXPECT_TRUE(test::run_events_until([&] {
        ++step;
        x_.move_pointer(origin.x() + 15 + step % 20, origin.y() + 70 + step % 20);
        return window_.moves > 0;
    }));
}

}  // namespace
}  // namespace wm
