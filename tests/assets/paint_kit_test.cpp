// The painting kit's guarantees that the generated media rely on.

#include "assets/kit/paint_kit.h"
#include "assets/kit/canvas.h"
#include "assets/kit/image_files.h"
#include "assets/kit/media_random.h"

#include <QRgba64>

#include <gtest/gtest.h>

#include <cmath>

namespace wm::media {
namespace {

// The media bytes depend on this exact sequence: a changed generator would
// silently change every picture.
TEST(MediaRandom, FollowsTheSplitMix64Sequence) {
    MediaRandom rng(0);
    EXPECT_EQ(rng.next(), 0xE220A8397B1DCDAFULL);
    EXPECT_EQ(rng.next(), 0x6E789E6AA1B965F4ULL);
    EXPECT_EQ(rng.next(), 0x06C45D188009454FULL);

    MediaRandom a(42);
    MediaRandom b(42);
    const MediaRandom fork_before = a.fork(7);
    for (int i = 0; i < 1000; ++i) {
        const double u = a.uniform();
        EXPECT_EQ(u, b.uniform());
        EXPECT_GE(u, 0.0);
        EXPECT_LT(u, 1.0);
        const int k = a.below(10);
        EXPECT_EQ(k, b.below(10));
        EXPECT_GE(k, 0);
        EXPECT_LT(k, 10);
    }
    // A fork depends only on the state at the time it was taken.
    MediaRandom again(42);
    MediaRandom fork_after = again.fork(7);
    MediaRandom copy = fork_before;
    EXPECT_EQ(copy.next(), fork_after.next());
    EXPECT_EQ(MediaRandom(1).below(0), 0);
}

// A slow 16-bit ramp crosses only a few 8-bit steps. Rounding alone would
// turn it into flat bands; the dither keeps every column's average on the
// true value, which is what hides the bands in a sky.
TEST(FinishCanvas, KeepsSmoothGradientsWithoutBands) {
    constexpr int kWidth = 256;
    constexpr int kHeight = 200;
    QImage canvas = new_canvas(QSize(kWidth, kHeight));
    for (int y = 0; y < kHeight; ++y) {
        auto* row = reinterpret_cast<QRgba64*>(canvas.scanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            // 20.0 .. 24.0 in 8-bit steps across the width.
            const auto level = static_cast<quint16>(std::lround((20.0 + 4.0 * x / kWidth) * 257.0));
            row[x] = qRgba64(level, level, level, 65535);
        }
    }
    const QImage finished = finish_canvas(canvas, 1);
    ASSERT_EQ(finished.format(), QImage::Format_RGB32);
    ASSERT_EQ(finished.size(), canvas.size());
    double worst = 0.0;
    for (int x = 0; x < kWidth; ++x) {
        double sum = 0.0;
        for (int y = 0; y < kHeight; ++y) {
            sum += qGreen(finished.pixel(x, y));
        }
        const double expected = 20.0 + 4.0 * x / kWidth;
        worst = std::max(worst, std::abs(sum / kHeight - expected));
    }
    EXPECT_LT(worst, 0.2);
    // The same seed gives the same picture; another seed another dither.
    EXPECT_EQ(finish_canvas(canvas, 1), finished);
    EXPECT_NE(finish_canvas(canvas, 2), finished);
}

// Worked out by hand from seed 0's sequence: the noise values, and the
// dither spending them on red, green and blue in that order. Argument
// evaluation order differs between compilers; the bytes must not.
TEST(FinishCanvas, SpendsItsNoiseInAFixedOrder) {
    MediaRandom rng(0);
    EXPECT_DOUBLE_EQ(rng.triangular(), 0.45178281116513264);
    EXPECT_DOUBLE_EQ(rng.triangular(), -0.9444482065612307);
    EXPECT_DOUBLE_EQ(rng.triangular(), -0.22097907265091332);

    QImage canvas = new_canvas(QSize(1, 1));
    constexpr quint16 kLevel = 100 * 257 + 128;  // 100.498 in 8-bit steps
    reinterpret_cast<QRgba64*>(canvas.scanLine(0))[0] = qRgba64(kLevel, kLevel, kLevel, 65535);
    EXPECT_EQ(finish_canvas(canvas, 0).pixel(0, 0), qRgb(101, 100, 100));
}

// Pictures with see-through parts: the colour is dithered like any other
// picture, taken back from its premultiplied form, while alpha is kept
// exact, so a clear pixel is never nudged into a faint one.
TEST(FinishCanvas, KeepingAlphaLeavesClearClearAndSolidSolid) {
    QImage canvas = new_canvas(QSize(64, 64), Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.fillRect(QRect(0, 0, 32, 64), QColor(200, 40, 90));
        painter.fillRect(QRect(32, 0, 16, 64), QColor(255, 0, 0, 128));
    }
    const QImage finished = finish_canvas_keeping_alpha(canvas, 5);
    ASSERT_EQ(finished.format(), QImage::Format_ARGB32);
    ASSERT_EQ(finished.size(), canvas.size());
    double red_sum = 0.0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const QRgb pixel = finished.pixel(x, y);
            if (x < 32) {
                ASSERT_EQ(qAlpha(pixel), 255);
                EXPECT_NEAR(qRed(pixel), 200, 1);
                EXPECT_NEAR(qBlue(pixel), 90, 1);
                red_sum += qRed(pixel);
            } else if (x < 48) {
                // Half covered, full red: not the premultiplied half red.
                ASSERT_EQ(qAlpha(pixel), 128);
                EXPECT_NEAR(qRed(pixel), 255, 1);
                EXPECT_LE(qGreen(pixel), 1);
            } else {
                ASSERT_EQ(pixel, 0u) << x << "," << y;
            }
        }
    }
    EXPECT_NEAR(red_sum / (32 * 64), 200.0, 0.2);
    EXPECT_EQ(finish_canvas_keeping_alpha(canvas, 5), finished);
    EXPECT_NE(finish_canvas_keeping_alpha(canvas, 6), finished);
}

TEST(Glow, FadesFromItsPeakToNothingAtTheRim) {
    const QRadialGradient glow = glow_gradient(QPointF(0, 0), 100.0, Qt::white, 0.8);
    const QGradientStops stops = glow.stops();
    ASSERT_GE(stops.size(), 2);
    EXPECT_NEAR(stops.front().second.alphaF(), 0.8, 0.01);
    EXPECT_EQ(stops.back().second.alpha(), 0);
    for (qsizetype i = 1; i < stops.size(); ++i) {
        EXPECT_LE(stops[i].second.alphaF(), stops[i - 1].second.alphaF());
    }
}

TEST(RidgeLine, SpansItsWidthWithTheAskedDetail) {
    MediaRandom rng(3);
    const auto line = ridge_line(rng, 100.0, 900.0, 500.0, 80.0, 0.5, 6);
    ASSERT_EQ(line.size(), 65u);
    EXPECT_DOUBLE_EQ(line.front().x(), 100.0);
    EXPECT_DOUBLE_EQ(line.back().x(), 900.0);
    for (const QPointF& point : line) {
        // Each level adds at most half the previous spread: the total stays bounded.
        EXPECT_LT(std::abs(point.y() - 500.0), 2.0 * 80.0);
    }
    const QPainterPath area = area_below(line, 1000.0);
    EXPECT_TRUE(area.contains(QPointF(500.0, 999.0)));
    EXPECT_FALSE(area.contains(QPointF(500.0, 300.0)));
}

TEST(ImageFiles, EncodeWhatThePictureLoadersRead) {
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(QColor(30, 120, 200));
    const QByteArray jpeg = encode_jpeg(picture, 90);
    ASSERT_TRUE(jpeg.startsWith("\xFF\xD8"));
    const QImage decoded = QImage::fromData(jpeg, "JPG");
    ASSERT_EQ(decoded.size(), picture.size());
    EXPECT_NEAR(qBlue(decoded.pixel(10, 10)), 200, 4);
    EXPECT_NEAR(qRed(decoded.pixel(10, 10)), 30, 4);
    EXPECT_EQ(QImage::fromData(encode_png(picture), "PNG").convertToFormat(QImage::Format_RGB32),
              picture);
    EXPECT_EQ(QImage::fromData(encode_bmp(picture), "BMP").size(), picture.size());
    EXPECT_TRUE(encode_jpeg(QImage(), 90).isEmpty());
}

}  // namespace
}  // namespace wm::media
