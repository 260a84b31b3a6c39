// Bilinear resampling of the pixel surface.

#include "imaging/dib_section.h"
#include "platform/run_random.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace wm {
namespace {

using Bgr = std::array<int, 3>;

void set_pixel(cDIBSection& s, int x, int y, Bgr v) {
    std::uint8_t* p = s.DIBSectionBitsPtr() + y * s.BytesPerScanLine() + x * 3;
    for (int c = 0; c < 3; ++c) {
        p[c] = static_cast<std::uint8_t>(v[c]);
    }
}

Bgr get_pixel(const cDIBSection& s, int x, int y) {
    const std::uint8_t* p = s.DIBSectionBitsPtr() + y * s.BytesPerScanLine() + x * 3;
    return {p[0], p[1], p[2]};
}

TEST(Resample, TwoByTwoToFourByFourMatchesHandWork) {
    cDIBSection s;
    ASSERT_TRUE(s.Create(2, 2));
    set_pixel(s, 0, 0, {0, 10, 200});
    set_pixel(s, 1, 0, {100, 13, 50});
    set_pixel(s, 0, 1, {200, 20, 0});
    set_pixel(s, 1, 1, {50, 255, 255});
    const auto big = s.Resample(4, 4);
    ASSERT_TRUE(big);
    ASSERT_EQ(big->width(), 4);
    ASSERT_EQ(big->height(), 4);
    EXPECT_EQ(get_pixel(*big, 0, 0), (Bgr{0, 10, 200}));
    // Column 3: x = 0, fx = 0.75; row i: fy = i / 4. The vertical values are
    // rounded before the horizontal step, halves to even, e.g. row 1 blue:
    // a = 50, b = round(87.5) = 88, v = round(12.5 + 66) = round(78.5) = 78.
    EXPECT_EQ(get_pixel(*big, 3, 0), (Bgr{75, 12, 88}));
    EXPECT_EQ(get_pixel(*big, 3, 1), (Bgr{78, 58, 113}));
    EXPECT_EQ(get_pixel(*big, 3, 2), (Bgr{81, 104, 139}));
    EXPECT_EQ(get_pixel(*big, 3, 3), (Bgr{84, 150, 166}));
}

TEST(Resample, SameSizeIsAByteCopy) {
    seed_run_random(3);
    cDIBSection s;
    ASSERT_TRUE(s.Create(5, 3));
    s.RandomiseBits(false);
    const auto copy = s.Resample(3, 5);
    ASSERT_TRUE(copy);
    EXPECT_NE(copy->DIBSectionBitsPtr(), s.DIBSectionBitsPtr());
    EXPECT_EQ(std::memcmp(copy->DIBSectionBitsPtr(), s.DIBSectionBitsPtr(), 3 * 16), 0);
}

TEST(Resample, ExtremesStayInRange) {
    // Full white must not wrap round to black, nor black become anything else.
    for (const int value : {0, 255}) {
        cDIBSection s;
        ASSERT_TRUE(s.Create(7, 5));
        std::memset(s.DIBSectionBitsPtr(), value, s.header().image_size);
        for (const auto& [h, w] : {std::pair{3, 13}, {11, 11}}) {
            const auto r = s.Resample(h, w);
            ASSERT_TRUE(r);
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    ASSERT_EQ(get_pixel(*r, x, y), (Bgr{value, value, value}))
                        << w << "x" << h << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST(Resample, RefusesWhatItCannotDo) {
    cDIBSection s;
    EXPECT_FALSE(s.Resample(4, 4));  // empty
    ASSERT_TRUE(s.Create(1, 5));
    EXPECT_FALSE(s.Resample(10, 2));  // one pixel wide: no right neighbour
    EXPECT_TRUE(s.Resample(5, 1));    // but copying it at its size is fine
    ASSERT_TRUE(s.Create(5, 1));
    EXPECT_FALSE(s.Resample(2, 10));  // one pixel high
    ASSERT_TRUE(s.Create(3, 3));
    EXPECT_FALSE(s.Resample(0, 3));
    EXPECT_FALSE(s.Resample(3, -1));
    EXPECT_FALSE(s.Resample(60000, 60000));

    cDIBSection target;
    EXPECT_FALSE(s.ResampleInto(target));  // empty target
}

}  // namespace
}  // namespace wm
