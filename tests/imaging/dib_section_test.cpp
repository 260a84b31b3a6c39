// Layout, life cycle, random fill and clipboard of the pixel surface.

#include "imaging/dib_section.h"
#include "platform/run_random.h"
#include "tests/support/test_support.h"

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace wm {
namespace {

bool is_empty(const cDIBSection& s) {
    return s.hDC() == 0 && s.hDib() == 0 && s.DIBSectionBitsPtr() == nullptr;
}

// Pixel area of memory row y, column x (channel 0 = blue).
std::uint8_t* pixel(cDIBSection& s, int x, int y) {
    return s.DIBSectionBitsPtr() + y * s.BytesPerScanLine() + x * 3;
}

TEST(DibSection, RowsArePaddedToWholeWords) {
    const int expected[] = {4, 8, 12, 12, 16};
    for (int w = 1; w <= 5; ++w) {
        cDIBSection s;
        ASSERT_TRUE(s.Create(w, 2));
        EXPECT_EQ(s.BytesPerScanLine(), expected[w - 1]) << "width " << w;
        EXPECT_EQ(s.header().image_size, static_cast<std::uint32_t>(expected[w - 1] * 2));
    }
    cDIBSection one;
    ASSERT_TRUE(one.Create(1, 1));
    EXPECT_EQ(one.header().image_size, 4u);
}

TEST(DibSection, CreateFillsHeaderAndZeroedBits) {
    cDIBSection s;
    ASSERT_TRUE(s.Create(3, 2));
    const DibHeader& h = s.header();
    EXPECT_EQ(h.size, 40u);
    EXPECT_EQ(h.width, 3);
    EXPECT_EQ(h.height, 2);
    EXPECT_EQ(h.planes, 1);
    EXPECT_EQ(h.bit_count, 24);
    EXPECT_EQ(h.compression, 0u);
    EXPECT_EQ(h.image_size, 24u);
    EXPECT_EQ(h.x_pels_per_meter + h.y_pels_per_meter, 0);
    EXPECT_EQ(h.colours_used + h.colours_important, 0u);
    EXPECT_NE(s.hDC(), 0u);
    EXPECT_NE(s.hDib(), 0u);
    EXPECT_NE(s.hDC(), s.hDib());
    for (std::uint32_t i = 0; i < h.image_size; ++i) {
        ASSERT_EQ(s.DIBSectionBitsPtr()[i], 0) << "byte " << i;
    }
}

TEST(DibSection, CreateRefusesBadSizesBeforeAllocating) {
    const std::pair<int, int> bad[] = {{0, 5},     {5, 0},         {-1, 5},
                                       {5, -3},    {60000, 60000}, {32769, 1},
                                       {1, 32769}, {20000, 20000}, {10000, 9000}};
    for (const auto& [w, h] : bad) {
        cDIBSection s;
        ASSERT_TRUE(s.Create(2, 2));
        EXPECT_FALSE(s.Create(w, h)) << w << " x " << h;
        EXPECT_TRUE(is_empty(s));
        EXPECT_EQ(s.width(), 0);
        EXPECT_EQ(s.height(), 0);
    }
    cDIBSection widest;
    EXPECT_TRUE(widest.Create(32768, 1));
    EXPECT_EQ(widest.BytesPerScanLine(), 98304);
}

TEST(DibSection, ClearUpEmptiesKeepsSizeAndRepeats) {
    cDIBSection s;
    ASSERT_TRUE(s.Create(4, 3));
    const cDIBSection::Handle first_dc = s.hDC();
    s.ClearUp();
    s.ClearUp();
    EXPECT_TRUE(is_empty(s));
    EXPECT_EQ(s.width(), 4);
    EXPECT_EQ(s.height(), 3);
    ASSERT_TRUE(s.Create(5, 1));
    EXPECT_NE(s.hDC(), first_dc);
    EXPECT_EQ(s.BytesPerScanLine(), 16);
}

TEST(DibSection, RandomiseBitsFillsPixelsOnly) {
    seed_run_random(7);
    cDIBSection s;
    ASSERT_TRUE(s.Create(5, 7));  // stride 16: one padding byte a row
    for (int y = 0; y < 7; ++y) {
        s.DIBSectionBitsPtr()[y * 16 + 15] = 0xAB;
    }
    for (const bool gray : {false, true}) {
        SCOPED_TRACE(gray ? "gray" : "colour");
        s.RandomiseBits(gray);
        std::set<int> seen;
        for (int y = 0; y < 7; ++y) {
            EXPECT_EQ(s.DIBSectionBitsPtr()[y * 16 + 15], 0xAB);
            for (int x = 0; x < 5; ++x) {
                const std::uint8_t* p = pixel(s, x, y);
                if (gray) {
                    EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]);
                } else {
                    EXPECT_EQ(p[0], 0);
                }
                seen.insert(p[1]);
                seen.insert(p[2]);
            }
        }
        EXPECT_GT(seen.size(), 10u);
    }
}

TEST(DibSection, CopyToClipboardPutsUprightImageOrRefuses) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    cDIBSection s;
    ASSERT_TRUE(s.Create(2, 2));
    pixel(s, 0, 1)[2] = 255;  // top-left pixel of the picture: red
    test::MessageCapture capture;

    clipboard->clear();
    EXPECT_FALSE(s.CopyToClipboard(true));
    EXPECT_EQ(capture.texts(),
              QStringList{QStringLiteral("I don't know how to put a DIB on the clipboard! Copy as "
                                         "bitmap instead!!!")});
    EXPECT_TRUE(clipboard->image().isNull());

    ASSERT_TRUE(s.CopyToClipboard(false));
    const QImage image = clipboard->image();
    ASSERT_EQ(image.size(), QSize(2, 2));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(0, 1), qRgb(0, 0, 0));
    EXPECT_EQ(capture.messages().size(), 1u);

    s.ClearUp();
    EXPECT_FALSE(s.CopyToClipboard(false));
}

}  // namespace
}  // namespace wm
