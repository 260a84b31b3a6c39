// Rectangle copies between surfaces and QImage rasters, and their clipping.

#include "imaging/blit_clip.h"
#include "imaging/dib_section.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>

namespace wm {
namespace {

TEST(BlitClip, CutsTheCopyToBothRasters) {
    const QSize src(10, 8);
    const QSize dst(6, 5);
    // Fits entirely.
    EXPECT_EQ(clip_blit(src, 1, 2, dst, 3, 1, 2, 3), (BlitRect{1, 2, 3, 1, 2, 3}));
    // Negative destination: the cut-off part moves the source start along.
    EXPECT_EQ(clip_blit(src, 0, 0, dst, -2, -1, 5, 4), (BlitRect{2, 1, 0, 0, 3, 3}));
    // Negative source start.
    EXPECT_EQ(clip_blit(src, -3, 0, dst, 0, 0, 5, 2), (BlitRect{0, 0, 3, 0, 2, 2}));
    // Past the destination's and the source's right and bottom edges.
    EXPECT_EQ(clip_blit(src, 0, 0, dst, 4, 3, 10, 10), (BlitRect{0, 0, 4, 3, 2, 2}));
    EXPECT_EQ(clip_blit(src, 8, 7, dst, 0, 0, 10, 10), (BlitRect{8, 7, 0, 0, 2, 1}));
    // Nothing left.
    EXPECT_FALSE(clip_blit(src, 0, 0, dst, 0, 0, 0, 5));
    EXPECT_FALSE(clip_blit(src, 0, 0, dst, 0, 0, 5, -1));
    EXPECT_FALSE(clip_blit(src, 10, 0, dst, 0, 0, 5, 5));
    EXPECT_FALSE(clip_blit(src, 0, 0, dst, -5, 0, 5, 5));
    EXPECT_FALSE(clip_blit(src, 0, 0, QSize(), 0, 0, 5, 5));
    // Extreme arguments neither overflow nor reach outside.
    EXPECT_FALSE(clip_blit(src, INT_MAX, 0, dst, 0, 0, INT_MAX, 1));
    EXPECT_FALSE(clip_blit(src, INT_MIN, 0, dst, 0, 0, INT_MAX, 1));
    EXPECT_EQ(clip_blit(src, 0, 0, dst, -4, 0, INT_MAX, 1), (BlitRect{4, 0, 0, 0, 6, 1}));
}

// A 3 x 2 surface whose picture pixel (x, y), from the top left, is
// red = 10 * (x + 1), green = y + 1, blue = 200.
class SurfaceCopy : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(surface.Create(3, 2));
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 3; ++x) {
                std::uint8_t* p =
                    surface.DIBSectionBitsPtr() + (1 - y) * surface.BytesPerScanLine() + x * 3;
                p[0] = 200;
                p[1] = static_cast<std::uint8_t>(y + 1);
                p[2] = static_cast<std::uint8_t>(10 * (x + 1));
            }
        }
    }
    static QRgb expected(int x, int y) { return qRgb(10 * (x + 1), y + 1, 200); }
    static QImage filled(int w, int h, QRgb colour) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    }

    cDIBSection surface;
};

TEST_F(SurfaceCopy, WholeSurfaceComesOutUpright) {
    QImage image = filled(3, 2, qRgb(1, 2, 3));
    ASSERT_TRUE(surface.PaintPicture(image, 0, 0, -1, -1, 0, 0));
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(image.pixel(x, y), expected(x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(to_qimage(surface), image);
}

TEST_F(SurfaceCopy, PaintPictureClipsAndHonoursZeroWidth) {
    const QRgb blank = qRgb(7, 7, 7);
    QImage image = filled(2, 2, blank);
    ASSERT_TRUE(surface.PaintPicture(image, 0, 0, 0, -1, 0, 0));
    EXPECT_EQ(image, filled(2, 2, blank));

    // Source (1, 0) onward at (1, 1): only one pixel lands inside the image.
    ASSERT_TRUE(surface.PaintPicture(image, 1, 1, -1, -1, 1, 0));
    EXPECT_EQ(image.pixel(1, 1), expected(1, 0));
    EXPECT_EQ(image.pixel(0, 0), blank);
    EXPECT_EQ(image.pixel(1, 0), blank);
    EXPECT_EQ(image.pixel(0, 1), blank);

    // Negative destination: the picture's bottom-right pixel ends at (0, 0).
    ASSERT_TRUE(surface.PaintPicture(image, -2, -1, -1, -1, 0, 0));
    EXPECT_EQ(image.pixel(0, 0), expected(2, 1));
}

TEST_F(SurfaceCopy, AndAndOrAreBitwise) {
    QImage image = filled(3, 2, qRgb(0xF0, 0x0F, 0x3C));
    ASSERT_TRUE(surface.PaintPicture(image, 0, 0, -1, -1, 0, 0, RasterOp::kSrcAnd));
    EXPECT_EQ(image.pixel(2, 1), qRgb(30 & 0xF0, 2 & 0x0F, 200 & 0x3C));
    ASSERT_TRUE(surface.PaintPicture(image, 0, 0, -1, -1, 0, 0, RasterOp::kSrcPaint));
    EXPECT_EQ(image.pixel(2, 1), qRgb(30, 2, 200));  // (s & d) | s == s

    const QImage source = filled(3, 2, qRgb(0x0F, 0xFF, 0x01));
    ASSERT_TRUE(surface.LoadPictureBlt(source, 0, 0, -1, -1, RasterOp::kSrcPaint));
    EXPECT_EQ(to_qimage(surface).pixel(0, 0), qRgb(10 | 0x0F, 0xFF, 200 | 0x01));
    ASSERT_TRUE(surface.LoadPictureBlt(source, 0, 0, -1, -1, RasterOp::kSrcAnd));
    EXPECT_EQ(to_qimage(surface).pixel(0, 0), qRgb(0x0F, 0xFF, 0x01));
}

TEST_F(SurfaceCopy, LoadPictureBltFillsFromTheTopLeftAndClips) {
    // From (2, 2) of a 4 x 3 source only a 2 x 1 strip exists: it lands on the
    // picture's top row, the last row in memory; every other pixel stays.
    ASSERT_TRUE(surface.LoadPictureBlt(filled(4, 3, qRgb(9, 8, 7)), 2, 2, -1, -1));
    const std::uint8_t* top_left = surface.DIBSectionBitsPtr() + surface.BytesPerScanLine();
    EXPECT_EQ((std::array<int, 3>{top_left[0], top_left[1], top_left[2]}),
              (std::array<int, 3>{7, 8, 9}));
    const QImage after = to_qimage(surface);
    EXPECT_EQ(after.pixel(1, 0), qRgb(9, 8, 7));
    EXPECT_EQ(after.pixel(2, 0), expected(2, 0));
    EXPECT_EQ(after.pixel(0, 1), expected(0, 1));
}

TEST_F(SurfaceCopy, RefusesOtherFormatsAndEmptySurfaces) {
    QImage argb(3, 2, QImage::Format_ARGB32);
    argb.fill(0);
    EXPECT_FALSE(surface.PaintPicture(argb, 0, 0, -1, -1, 0, 0));
    EXPECT_FALSE(surface.LoadPictureBlt(argb, 0, 0, -1, -1));
    EXPECT_EQ(argb.pixel(0, 0), 0u);
    EXPECT_EQ(to_qimage(surface).pixel(0, 0), expected(0, 0));

    surface.ClearUp();
    QImage image = filled(3, 2, qRgb(5, 5, 5));
    EXPECT_FALSE(surface.PaintPicture(image, 0, 0, -1, -1, 0, 0));
    EXPECT_FALSE(surface.LoadPictureBlt(image, 0, 0, -1, -1));
    EXPECT_TRUE(to_qimage(surface).isNull());
}

}  // namespace
}  // namespace wm
