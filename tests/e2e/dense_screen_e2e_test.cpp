// The saver on a screen of device pixel ratio 2 (QT_SCALE_FACTOR=2, as on a
// 192-dpi screen), against the same run on an ordinary one.

#include "tests/e2e/saver_e2e_fixture.h"
#include "tests/support/test_support.h"

#include <QImage>
#include <QRandomGenerator>

#include <cstdlib>

#include <gtest/gtest.h>

namespace wm::e2e {
namespace {

// Pixel noise that never reaches pure white or pure black: those are the
// caption's face and the clock's box.
QImage noise_picture(QSize size) {
    QImage picture(size, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            picture.setPixel(x, y,
                             qRgb(static_cast<int>(random.bounded(20, 200)),
                                  static_cast<int>(random.bounded(20, 200)),
                                  static_cast<int>(random.bounded(20, 200))));
        }
    }
    return picture;
}

QRect extent_of(const QImage& shot, QRgb colour) {
    QRect extent;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if ((shot.pixel(x, y) | 0xff000000u) == colour) {
                extent |= QRect(x, y, 1, 1);
            }
        }
    }
    return extent;
}

// The longest row of pure black: the clock's box (its text lies within).
int longest_black_run(const QImage& shot) {
    int longest = 0;
    for (int y = 0; y < shot.height(); ++y) {
        int run = 0;
        for (int x = 0; x < shot.width(); ++x) {
            run = (shot.pixel(x, y) | 0xff000000u) == kBlack ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    }
    return longest;
}

// Mean difference per channel over the bottom quarter, away from the caption
// and the clock.
double bottom_difference(const QImage& a, const QImage& b) {
    double sum = 0.0;
    int n = 0;
    for (int y = a.height() * 3 / 4; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
            n += 3;
        }
    }
    return n > 0 ? sum / n : 255.0;
}

class DenseScreenE2eTest : public SaverE2eTest {
  protected:
    QImage run_at(const char* scale_factor) {
        const test::EnvGuard scale("QT_SCALE_FACTOR", QString::fromLatin1(scale_factor));
        SaverProcess run(saver_, display_);
        QImage shot;
        start_saver(run, &shot);
        if (HasFatalFailure()) {
            return {};
        }
        // The clock comes with the first frames: take the screen once it shows.
        poll_until(10000, [&] {
            shot = display_.screenshot();
            return longest_black_run(shot) > 40;
        });
        end_by_input(run, {QStringLiteral("key"), QStringLiteral("Escape")});
        return shot;
    }
};

TEST_F(DenseScreenE2eTest, TheStageIsSharpInDevicePixelsWithCaptionAndClockTwiceAsLarge) {
    const QString picture = saver_.scratch_file(QStringLiteral("noise.png"));
    ASSERT_TRUE(noise_picture(kScreen).save(picture));
    ASSERT_NO_FATAL_FAILURE(
        set_options({{QStringLiteral("custom_picture_flag"), QStringLiteral("1")},
                     {QStringLiteral("custom_picture_files_total"), QStringLiteral("1")},
                     {QStringLiteral("custom_picture_paths1"), picture},
                     {QStringLiteral("captions_total"), QStringLiteral("1")},
                     {QStringLiteral("caption1"), QStringLiteral("Dense")},
                     {QStringLiteral("show_time"), QStringLiteral("1")},
                     {QStringLiteral("scene_duration"), QStringLiteral("180")}}));

    const QImage ordinary = run_at("1");
    ASSERT_FALSE(ordinary.isNull());
    const QImage dense = run_at("2");
    ASSERT_FALSE(dense.isNull());
    ASSERT_EQ(dense.size(), kScreen);

    // The same pixels where only the picture shows: drawn 1:1 in device
    // pixels, not at half the size and stretched.
    EXPECT_LT(bottom_difference(ordinary, dense), 1.0);

    const QRect caption = extent_of(ordinary, kWhite);
    const QRect dense_caption = extent_of(dense, kWhite);
    ASSERT_GT(caption.width(), 20);
    EXPECT_NEAR(dense_caption.width(), 2.0 * caption.width(), 0.15 * caption.width())
        << text(caption) << " and " << text(dense_caption);
    EXPECT_NEAR(dense_caption.center().x(), kScreen.width() / 2, 8);

    const int clock = longest_black_run(ordinary);
    const int dense_clock = longest_black_run(dense);
    EXPECT_NEAR(clock, 79, 3) << "1185 twips at 15 twips a pixel";
    EXPECT_NEAR(dense_clock, 2 * clock, 4);
}

}  // namespace
}  // namespace wm::e2e
