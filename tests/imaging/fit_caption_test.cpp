// Fitting pictures into the stage, and where and how captions are painted.

#include "imaging/caption_painter.h"
#include "imaging/fit_picture.h"
#include "imaging/picture_box.h"

#include <QFontInfo>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace wm {
namespace {

TEST(FitPicture, ScalesToTheLargestSizeThatFitsAndCentres) {
    // Wider and taller pictures than the 800 x 600 stage.
    EXPECT_EQ(fit_picture(0, 0, 800, 600, 1600, 900, 100, 1), (FitResult{0, 75, 800, 450}));
    EXPECT_EQ(fit_picture(0, 0, 800, 600, 600, 800, 100, 1), (FitResult{175, 0, 450, 600}));
    EXPECT_EQ(fit_picture(0, 0, 800, 600, 4000, 3000, 100, 1), (FitResult{0, 0, 800, 600}));
    // Small pictures are scaled up too when stretching.
    EXPECT_EQ(fit_picture(0, 0, 800, 600, 200, 100, 100, 1), (FitResult{0, 100, 800, 400}));
    // A square on a landscape stage.
    EXPECT_EQ(fit_picture(0, 0, 800, 600, 50, 50, 100, 1), (FitResult{100, 0, 600, 600}));
    // Half the area, offset.
    EXPECT_EQ(fit_picture(10, 20, 800, 600, 1600, 900, 50, 1), (FitResult{210, 207.5, 400, 225}));
}

TEST(FitPicture, StaysWholeOnAPortraitStage) {
    // A tall picture on a taller, narrower stage is limited by the width.
    EXPECT_EQ(fit_picture(0, 0, 450, 800, 600, 800, 100, 1), (FitResult{0, 100, 450, 600}));
    // A wide picture on a portrait stage, as before.
    EXPECT_EQ(fit_picture(0, 0, 600, 800, 1600, 900, 100, 1), (FitResult{0, 231.25, 600, 337.5}));
    // Never larger than the area, whatever the shapes.
    for (const double pw : {90.0, 100.0, 300.0, 1000.0}) {
        for (const double ph : {90.0, 100.0, 300.0, 1000.0}) {
            const auto fit = fit_picture(0, 0, 300, 500, pw, ph, 100, 1);
            ASSERT_TRUE(fit);
            EXPECT_LE(fit->width, 300.0) << pw << "x" << ph;
            EXPECT_LE(fit->height, 500.0) << pw << "x" << ph;
            EXPECT_DOUBLE_EQ(fit->width / fit->height, pw / ph);
            EXPECT_TRUE(fit->width == 300.0 || fit->height == 500.0);
        }
    }
}

TEST(FitPicture, WithoutStretchSmallPicturesKeepTheirSize) {
    EXPECT_EQ(fit_picture(0, 0, 800, 600, 200, 100, 100, 0), (FitResult{300, 250, 200, 100}));
    // Not smaller in one direction: scaled after all.
    const auto wide = fit_picture(0, 0, 800, 600, 900, 100, 100, 0);
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->width, 800.0);
    EXPECT_DOUBLE_EQ(wide->height, 800.0 / 9.0);
    EXPECT_DOUBLE_EQ(wide->top, (600.0 - 800.0 / 9.0) / 2.0);
    // A picture larger than the area is never placed left of or above it.
    const auto big = fit_picture(0, 0, 800, 600, 1000, 100, 200, 0);
    ASSERT_TRUE(big);
    EXPECT_EQ(big->left, 0.0);
}

TEST(FitPicture, PicturesWithoutASizeAreNotPlaced) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(fit_picture(0, 0, 800, 600, 0, 600, 100, 1));
    EXPECT_FALSE(fit_picture(0, 0, 800, 600, 800, 0, 100, 1));
    EXPECT_FALSE(fit_picture(0, 0, 800, 600, -5, 600, 100, 1));
    EXPECT_FALSE(fit_picture(0, 0, 800, 600, kNaN, 600, 100, 1));
    EXPECT_FALSE(fit_picture(0, 0, 800, 600, 800, kInf, 100, 1));
}

TEST(CaptionPlace, NinePositions) {
    // A 316 x 44 caption on an 800 x 600 box.
    const struct {
        int position;
        double x;
        double y;
    } cases[] = {{0, 0, 0},     {1, 0, 278},   {2, 0, 555}, {3, 484, 0},
                 {4, 484, 278}, {5, 484, 555}, {6, 242, 0}, {7, 242, 278},
                 {8, 242, 555}, {9, 0, 0},     {-1, 0, 0}};
    for (const auto& c : cases) {
        const CaptionPlace at = caption_place(c.position, 800, 600, 316, 44);
        EXPECT_EQ(at.x, c.x) << c.position;
        EXPECT_EQ(at.y, c.y) << c.position;
    }
    // Odd sizes keep their halves: no rounding here.
    const CaptionPlace odd = caption_place(7, 801, 601, 316, 45);
    EXPECT_EQ(odd.x, 242.5);
    EXPECT_EQ(odd.y, 278.0);
}

// The bounding box of the pixels of `box` that differ from `background`.
QRect ink(const PictureBox& box, QRgb background) {
    QRect r;
    const QImage& image = box.Image();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != background) {
                r |= QRect(x, y, 1, 1);
            }
        }
    }
    return r;
}

int count_pixels(const PictureBox& box, QRgb colour) {
    int n = 0;
    const QImage& image = box.Image();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            n += image.pixel(x, y) == colour ? 1 : 0;
        }
    }
    return n;
}

class Captions : public testing::Test {
  protected:
    void SetUp() override {
        box.set_back_colour(QColor(kGrey));
        box.set_pixel_size(400, 200);
        box.Cls();
    }

    static constexpr QRgb kGrey = 0xFF808080;
    PictureBox box;
    CaptionStyle style{
        QStringLiteral("Merry Christmas"), 7, QStringLiteral("Arial"), 20.0, QColor(), true, true};
};

TEST_F(Captions, PaintsAWhiteFaceOverABlackShadowWhereThePositionSays) {
    paint_caption(box, style);
    EXPECT_EQ(box.FontName(), QStringLiteral("Arial"));
    EXPECT_TRUE(box.FontBold());
    EXPECT_TRUE(box.FontItalic());
    EXPECT_EQ(box.FontSize(), 20.0);
    const QRect painted = ink(box, kGrey);
    ASSERT_FALSE(painted.isEmpty());
    EXPECT_GT(count_pixels(box, qRgb(255, 255, 255)), 50);
    EXPECT_GT(count_pixels(box, qRgb(0, 0, 0)), 50);
    // Centred: the ink's middle lies near the box's middle (the shadow adds
    // two pixels to the right and below).
    EXPECT_NEAR(painted.center().x(), 200, 4);
    EXPECT_NEAR(painted.center().y(), 100, 6);
    // The shadow shows below and right of the face, never above or left.
    const QImage& image = box.Image();
    bool shadow_below_right = false;
    for (int y = 0; y + 2 < image.height(); ++y) {
        for (int x = 0; x + 2 < image.width(); ++x) {
            if (image.pixel(x, y) == qRgb(255, 255, 255) &&
                image.pixel(x + 2, y + 2) == qRgb(0, 0, 0)) {
                shadow_below_right = true;
            }
        }
    }
    EXPECT_TRUE(shadow_below_right);
}

TEST_F(Captions, BlackPrintsWhiteAndOtherColoursShow) {
    style.colour = QColor(Qt::black);
    paint_caption(box, style);
    EXPECT_GT(count_pixels(box, qRgb(255, 255, 255)), 50);

    box.Cls();
    style.colour = QColor(255, 0, 0);
    paint_caption(box, style);
    EXPECT_GT(count_pixels(box, qRgb(255, 0, 0)), 50);
    EXPECT_EQ(count_pixels(box, qRgb(255, 255, 255)), 0);
}

TEST_F(Captions, BottomPositionsLeaveOneUnitBelow) {
    // The same caption at the top and at the bottom: the bottom one is the
    // top one moved down by the box's height less the line and one pixel.
    style.position = 6;
    paint_caption(box, style);
    const QRect top = ink(box, kGrey);
    box.Cls();
    style.position = 8;
    paint_caption(box, style);
    const QRect bottom = ink(box, kGrey);
    const int line = static_cast<int>(box.TextHeight(style.text));
    // (Compared by their upper edges: the shadow of the lower one is cut at
    // the box's bottom.)
    EXPECT_EQ(bottom.top(), top.top() + 200 - line - 1);
    EXPECT_EQ(bottom.left(), top.left());
    EXPECT_EQ(bottom.width(), top.width());
}

TEST(CaptionFont, ArialIsMetricallyLiberationSans) {
    PictureBox box;
    box.set_font_name(QStringLiteral("Arial"));
    box.set_font_size(30);
    box.set_font_bold(true);
    box.set_font_italic(true);
    EXPECT_EQ(QFontInfo(box.font()).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(box.TextWidth(QStringLiteral("Merry Christmas")), 316.0);
    EXPECT_EQ(box.TextHeight(QStringLiteral("Merry Christmas")), 44.0);
}

TEST_F(Captions, DrawCaptionKeepsItsShadowOnePixelInTwipsToo) {
    style.position = 0;
    draw_caption(box, style);
    const QImage in_pixels = box.Image().copy();

    PictureBox twips;
    twips.set_back_colour(QColor(kGrey));
    twips.set_pixel_size(400, 200);
    twips.set_twips_per_pixel(15, 15);
    twips.set_scale_mode(ScaleMode::kTwips);
    twips.Cls();
    draw_caption(twips, style);
    EXPECT_EQ(twips.Image(), in_pixels);

    // Nothing for an empty caption or a position below 0.
    PictureBox untouched;
    untouched.set_back_colour(QColor(kGrey));
    untouched.set_pixel_size(400, 200);
    untouched.Cls();
    draw_caption(untouched, CaptionStyle{QString(), 7, QStringLiteral("Arial"), 20, {}, {}, {}});
    draw_caption(untouched, CaptionStyle{style.text, -1, QStringLiteral("Arial"), 20, {}, {}, {}});
    EXPECT_TRUE(ink(untouched, kGrey).isEmpty());
}

TEST_F(Captions, ShortFontNamesAreIgnoredByTheSceneCaption) {
    box.set_font_name(QStringLiteral("Liberation Serif"));
    style.font_name = QStringLiteral("X");
    paint_caption(box, style);
    EXPECT_EQ(box.FontName(), QStringLiteral("Liberation Serif"));
    // draw_caption takes any name that is not empty.
    draw_caption(box, style);
    EXPECT_EQ(box.FontName(), QStringLiteral("X"));
}

}  // namespace
}  // namespace wm
