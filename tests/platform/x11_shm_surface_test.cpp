// Pixels put onto windows made by this test on its own X11 connection, and
// read back from the server there. Runs on a virtual X display with Qt on
// xcb.

#include "platform/x11_shm_surface.h"

#include "tests/support/test_support.h"
#include "tests/support/x_test_client.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

namespace wm {
namespace {

constexpr QRgb kBackground = 0xff203040;

// A picture whose every pixel differs from its neighbours.
QRgb pattern(int x, int y) {
    return qRgb(x * 3 % 256, y * 5 % 256, (x + y) % 256);
}

class X11ShmSurfaceTest : public test::XDisplayTest {
  protected:
    xcb_window_t window(const QRect& geometry) {
        return x_.make_window(x_.root(), geometry,
                              test::XWindowOptions().with_background(kBackground & 0xffffff));
    }
};

TEST_F(X11ShmSurfaceTest, PutsRectanglesOfItsRasterWhereTheyAreAskedAndNothingElse) {
    const xcb_window_t target = window(QRect(0, 0, 160, 120));
    QString why;
    std::unique_ptr<X11ShmSurface> surface = X11ShmSurface::open(target, &why);
    ASSERT_NE(surface, nullptr) << why.toStdString();

    QImage raster = surface->raster(QSize(64, 48));
    ASSERT_FALSE(raster.isNull());
    EXPECT_EQ(raster.format(), QImage::Format_RGB32);
    EXPECT_TRUE(surface->holds(raster));
    for (int y = 0; y < raster.height(); ++y) {
        for (int x = 0; x < raster.width(); ++x) {
            raster.setPixel(x, y, pattern(x, y));
        }
    }
    // Two rectangles, and one that reaches beyond the raster: only its part
    // inside is put.
    QRegion area(QRect(0, 0, 10, 10));
    area += QRect(30, 20, 20, 15);
    area += QRect(60, 40, 20, 20);
    const QPoint to(5, 7);
    ASSERT_TRUE(surface->put(raster, area, to));
    surface->settle();

    const QImage shown = x_.pixels_of(target);
    ASSERT_EQ(shown.size(), QSize(160, 120));
    const QRegion inside = area & raster.rect();
    int wrong = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const QPoint source = QPoint(x, y) - to;
            const QRgb expected =
                inside.contains(source) ? pattern(source.x(), source.y()) : kBackground;
            wrong += shown.pixel(x, y) != expected ? 1 : 0;
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(X11ShmSurfaceTest, OnlyItsCurrentRasterIsPutAndEveryRasterKeepsItsMemory) {
    const xcb_window_t target = window(QRect(0, 0, 40, 30));
    std::unique_ptr<X11ShmSurface> surface = X11ShmSurface::open(target);
    ASSERT_NE(surface, nullptr);

    // A raster written while another image shares it is copied first: the
    // copy is no longer the shared memory, and is not put.
    QImage raster = surface->raster(QSize(16, 16));
    const QImage shared = raster;
    raster.fill(Qt::red);
    EXPECT_FALSE(surface->holds(raster));
    EXPECT_TRUE(surface->holds(shared));
    EXPECT_FALSE(surface->put(raster, QRegion(raster.rect()), QPoint(0, 0)));
    EXPECT_FALSE(surface->put(QImage(16, 16, QImage::Format_RGB32), QRegion(0, 0, 16, 16), {}));
    surface->settle();
    EXPECT_EQ(x_.pixels_of(target).pixel(3, 3), kBackground);

    // A new raster while the last one is still in use has memory of its
    // own; only the new one is the surface's.
    QImage first = surface->raster(QSize(8, 8));
    first.fill(Qt::green);
    QImage second = surface->raster(QSize(8, 8));
    ASSERT_FALSE(second.isNull());
    second.fill(Qt::blue);
    EXPECT_EQ(first.pixel(2, 2), QColor(Qt::green).rgb());
    EXPECT_FALSE(surface->holds(first));
    EXPECT_TRUE(surface->holds(second));

    // The pixels outlive the surface.
    surface.reset();
    EXPECT_EQ(second.pixel(7, 7), QColor(Qt::blue).rgb());
    second.fill(Qt::white);
    EXPECT_EQ(second.pixel(0, 0), QColor(Qt::white).rgb());
}

TEST_F(X11ShmSurfaceTest, ASizeBeyondWhatX11AddressesGivesNoRaster) {
    std::unique_ptr<X11ShmSurface> surface = X11ShmSurface::open(window(QRect(0, 0, 10, 10)));
    ASSERT_NE(surface, nullptr);
    EXPECT_TRUE(surface->raster(QSize(0, 10)).isNull());
    EXPECT_TRUE(surface->raster(QSize(40000, 2)).isNull());
    EXPECT_TRUE(surface->raster(QSize(20000, 20000)).isNull());
    EXPECT_FALSE(surface->raster(QSize(4000, 3000)).isNull());
}

TEST_F(X11ShmSurfaceTest, WhatCannotTakeThePixelsIsRefusedWithTheReason) {
    QString why;
    EXPECT_EQ(X11ShmSurface::open(0, &why), nullptr);
    EXPECT_EQ(why, QStringLiteral("X11 window 0x0 does not exist"));

    const xcb_window_t gone = window(QRect(0, 0, 10, 10));
    x_.destroy(gone);
    EXPECT_EQ(X11ShmSurface::open(gone, &why), nullptr);
    EXPECT_EQ(why, QStringLiteral("X11 window 0x%1 does not exist").arg(gone, 0, 16));

    const xcb_pixmap_t pixmap = x_.make_pixmap();
    EXPECT_EQ(X11ShmSurface::open(pixmap, &why), nullptr);
    EXPECT_EQ(why, QStringLiteral("X11 window 0x%1 does not exist").arg(pixmap, 0, 16));

    const xcb_window_t input =
        x_.make_window(x_.root(), QRect(0, 0, 10, 10), test::XWindowOptions().input_only());
    EXPECT_EQ(X11ShmSurface::open(input, &why), nullptr);
    EXPECT_EQ(why, QStringLiteral("X11 window 0x%1 shows no pixels").arg(input, 0, 16));

    // Qt's switch for shared memory turns it off here as well.
    const test::EnvGuard no_shm("QT_XCB_NO_MITSHM", QStringLiteral("1"));
    EXPECT_EQ(X11ShmSurface::open(window(QRect(0, 0, 10, 10)), &why), nullptr);
    EXPECT_EQ(why,
              QStringLiteral("shared memory with the display is turned off (QT_XCB_NO_MITSHM)"));
}

}  // namespace
}  // namespace wm
