// Picture boxes: copies between them, size and units, picture, scaled paint
// and text, and what their views are told.

#include "imaging/picture_box.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <utility>
#include <vector>

namespace wm {
namespace {

// Watches a box while it lives.
struct RecordingView : PictureView {
    explicit RecordingView(PictureBox& watched) : box(&watched) { watched.attach_view(this); }
    ~RecordingView() override {
        if (box != nullptr && box->view() == this) {
            box->attach_view(nullptr);
        }
    }
    RecordingView(const RecordingView&) = delete;
    RecordingView& operator=(const RecordingView&) = delete;
    PictureBox* box;
    std::vector<QRect> rects;
    void picture_changed(const QRect& pixels) override { rects.push_back(pixels); }
    void picture_gone() override {
        gone = true;
        box = nullptr;
    }
    bool gone = false;
};

QImage solid(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Every pixel different, with bits that AND and OR tell apart.
QRgb pattern(int x, int y) {
    return qRgb((x * 37 + 11) & 0xff, (y * 53 + 7) & 0xff, (x * y * 29 + 3) & 0xff);
}

QImage patterned(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            image.setPixel(x, y, pattern(x, y));
        }
    }
    return image;
}

void show(PictureBox& box, const QImage& picture) {
    box.set_auto_size(true);
    box.set_picture(picture);
}

QRgb combined(RasterOp rop, QRgb s, QRgb d) {
    switch (rop) {
        case RasterOp::kSrcAnd:
            return s & d;
        case RasterOp::kSrcPaint:
            return s | d;
        default:
            return s;
    }
}

constexpr std::array kOps = {RasterOp::kSrcCopy, RasterOp::kSrcAnd, RasterOp::kSrcPaint};

// The copy done pixel by pixel: what `dest` (as it was) should hold after
// box_blt(dest, x, y, w, h, source, sx, sy, rop), and the pixels it writes.
struct Blt {
    QImage image;
    QRect written;
};

Blt expected_blt(const QImage& dest, int x, int y, int w, int h, const QImage& source, int sx,
                 int sy, RasterOp rop) {
    Blt out{dest.copy(), QRect()};
    for (int dy = 0; dy < dest.height(); ++dy) {
        for (int dx = 0; dx < dest.width(); ++dx) {
            const int u = sx + dx - x;
            const int v = sy + dy - y;
            if (dx >= x && dx < x + w && dy >= y && dy < y + h && source.valid(u, v)) {
                out.image.setPixel(dx, dy, combined(rop, source.pixel(u, v), dest.pixel(dx, dy)));
                out.written |= QRect(dx, dy, 1, 1);
            }
        }
    }
    return out;
}

TEST(BoxBlt, ClipsAtEveryEdgeWithEachRasterOp) {
    struct Case {
        int x, y, w, h, sx, sy;
    };
    const Case cases[] = {
        {1, 1, 3, 2, 1, 2},    // inside both
        {-2, 1, 5, 3, 0, 0},   // off the destination's left
        {1, -3, 4, 5, 1, 0},   // off its top
        {6, 2, 5, 3, 0, 1},    // off its right
        {2, 5, 3, 6, 2, 0},    // off its bottom
        {0, 0, 9, 9, -2, -1},  // source start before the source's corner
        {0, 0, 9, 9, 4, 3},    // past the source's right and bottom
        {-20, 0, 5, 5, 0, 0},  // wholly outside the destination
        {0, 0, 4, 4, 10, 0},   // wholly outside the source
        {0, 0, 0, 3, 0, 0},    // empty
        {0, 0, 3, -1, 0, 0},   // negative
    };
    PictureBox source;
    show(source, patterned(6, 5));
    for (const RasterOp rop : kOps) {
        for (const Case& c : cases) {
            PictureBox dest;
            show(dest, solid(8, 7, qRgb(0x5a, 0xc3, 0x3c)));
            RecordingView view(dest);
            const QImage before = dest.Image().copy();
            box_blt(dest, c.x, c.y, c.w, c.h, source, c.sx, c.sy, rop);
            const Blt want =
                expected_blt(before, c.x, c.y, c.w, c.h, source.Image(), c.sx, c.sy, rop);
            SCOPED_TRACE(testing::Message() << "rop " << static_cast<unsigned>(rop) << " at " << c.x
                                            << "," << c.y << " " << c.w << "x" << c.h);
            EXPECT_EQ(dest.Image(), want.image);
            // The view hears of exactly the rectangle written (none for no copy).
            EXPECT_EQ(view.rects, want.written.isEmpty() ? std::vector<QRect>()
                                                         : std::vector<QRect>{want.written});
        }
    }
}

TEST(BoxBlt, CopiesWithinOneBoxInEveryDirection) {
    const std::array<QPoint, 8> shifts = {QPoint(2, 1),  QPoint(-2, -1), QPoint(3, 0),
                                          QPoint(-3, 0), QPoint(0, 2),   QPoint(0, -2),
                                          QPoint(1, -1), QPoint(-1, 1)};
    for (const RasterOp rop : kOps) {
        for (const QPoint shift : shifts) {
            PictureBox box;
            show(box, patterned(10, 8));
            const QImage before = box.Image().copy();
            box_blt(box, 3 + shift.x(), 2 + shift.y(), 5, 4, box, 3, 2, rop);
            SCOPED_TRACE(testing::Message() << "rop " << static_cast<unsigned>(rop) << " shift "
                                            << shift.x() << "," << shift.y());
            EXPECT_EQ(
                box.Image(),
                expected_blt(before, 3 + shift.x(), 2 + shift.y(), 5, 4, before, 3, 2, rop).image);
            // The box's picture is a separate thing: drawing never changes it.
            EXPECT_EQ(box.Picture(), patterned(10, 8));
        }
    }
}

TEST(BoxBlt, MaskedDrawingInOnePassMatchesAndThenOr) {
    // A sheet with a see-through border round a bird of every colour, its
    // mask black under the bird and patterned (neither white nor black) in
    // one corner.
    QImage sheet = solid(40, 30, qRgb(0, 0, 0));
    QImage mask_picture = solid(40, 30, qRgb(255, 255, 255));
    for (int y = 8; y < 22; ++y) {
        for (int x = 10; x < 30; ++x) {
            sheet.setPixel(x, y, pattern(x, y));
            mask_picture.setPixel(x, y, qRgb(0, 0, 0));
        }
    }
    mask_picture.setPixel(1, 1, qRgb(0x0F, 0xF0, 0x55));
    // Row 25: a run that draws its colour whatever is under it (a black mask,
    // then a grey one whose bits the colour all has), then one that lets the
    // background through.
    for (int x = 5; x < 10; ++x) {
        sheet.setPixel(x, 25, pattern(x, 25));
        mask_picture.setPixel(x, 25, qRgb(0, 0, 0));
    }
    sheet.setPixel(10, 25, qRgb(0x3F, 0x3F, 0x3F));
    mask_picture.setPixel(10, 25, qRgb(0x0F, 0x0F, 0x0F));
    sheet.setPixel(11, 25, qRgb(0x00, 0x00, 0x10));
    mask_picture.setPixel(11, 25, qRgb(0x80, 0x80, 0x80));
    PictureBox sprite;
    PictureBox mask;
    show(sprite, sheet);
    show(mask, mask_picture);
    const SheetInk ink(sprite.Image(), mask.Image());
    ASSERT_EQ(ink.row(10).size(), 1u);
    EXPECT_EQ(ink.row(10)[0].begin, 10);
    EXPECT_EQ(ink.row(10)[0].end, 30);
    EXPECT_TRUE(ink.row(10)[0].solid);
    EXPECT_EQ(ink.row(1)[0].begin, 1);
    EXPECT_FALSE(ink.row(1)[0].solid);
    ASSERT_EQ(ink.row(25).size(), 2u);
    EXPECT_EQ(ink.row(25)[0].begin, 5);
    EXPECT_EQ(ink.row(25)[0].end, 11);
    EXPECT_TRUE(ink.row(25)[0].solid);
    EXPECT_EQ(ink.row(25)[1].begin, 11);
    EXPECT_EQ(ink.row(25)[1].end, 12);
    EXPECT_FALSE(ink.row(25)[1].solid);
    EXPECT_TRUE(ink.row(5).empty());
    EXPECT_TRUE(ink.row(-1).empty());

    // Every placement, the stage's edges included, with and without ink.
    for (const QPoint at : {QPoint(5, 5), QPoint(-15, -3), QPoint(35, 20), QPoint(-60, 0)}) {
        PictureBox expected;
        show(expected, patterned(50, 40));
        box_blt(expected, at.x(), at.y(), 40, 30, mask, 0, 0, RasterOp::kSrcAnd);
        box_blt(expected, at.x(), at.y(), 40, 30, sprite, 0, 0, RasterOp::kSrcPaint);
        for (const SheetInk* with : {static_cast<const SheetInk*>(nullptr), &ink}) {
            PictureBox got;
            show(got, patterned(50, 40));
            box_blt_masked(got, at.x(), at.y(), 40, 30, sprite, mask, 0, 0, with);
            EXPECT_EQ(got.Image(), expected.Image()) << at.x() << "," << at.y();
        }
    }
}

TEST(PictureBox, ResizeKeepsTheTopLeftAndFillsTheRest) {
    PictureBox box;
    EXPECT_EQ(box.pixel_size(), QSize(0, 0));
    box.set_back_colour(Qt::red);
    box.set_pixel_size(4, 3);
    EXPECT_EQ(box.Image(), solid(4, 3, qRgb(255, 0, 0)));
    box.set_picture(patterned(4, 3));
    RecordingView view(box);

    box.set_back_colour(Qt::blue);
    box.set_pixel_size(6, 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 6; ++x) {
            EXPECT_EQ(box.Image().pixel(x, y), x < 4 ? pattern(x, y) : qRgb(0, 0, 255)) << x << y;
        }
    }
    // The view repaints the old and the new size.
    EXPECT_EQ(view.rects, std::vector<QRect>{QRect(0, 0, 6, 3)});

    // Refused (the box keeps its size) and unchanged sizes tell nobody.
    view.rects.clear();
    box.set_pixel_size(40000, 1);
    box.set_pixel_size(20000, 20000);
    box.set_pixel_size(6, 2);
    EXPECT_EQ(box.pixel_size(), QSize(6, 2));
    EXPECT_TRUE(view.rects.empty());

    // Negative sides count as 0; a 0 x 0 box takes every operation as a no-op.
    box.set_pixel_size(-5, 7);
    EXPECT_EQ(box.pixel_size(), QSize(0, 0));
    EXPECT_EQ(view.rects, std::vector<QRect>{QRect(0, 0, 6, 2)});
    view.rects.clear();
    PictureBox other;
    show(other, patterned(3, 3));
    box_blt(box, 0, 0, 3, 3, other, 0, 0, RasterOp::kSrcCopy);
    box_blt(other, 0, 0, 3, 3, box, 0, 0, RasterOp::kSrcAnd);
    box.PaintPicture(patterned(3, 3), 0, 0, 3, 3);
    box.Cls();
    box.Print(QStringLiteral("x"));
    EXPECT_TRUE(view.rects.empty());
    EXPECT_GT(box.CurrentY(), 0.0);
    EXPECT_EQ(other.Image(), patterned(3, 3));
    EXPECT_EQ(box.pixel_size(), QSize(0, 0));
}

TEST(PictureBox, PixelsMoveIntoMemoryGivenToTheBoxAndStayThere) {
    PictureBox box;
    box.set_pixel_size(4, 3);
    box.set_picture(patterned(4, 3));
    box.Cls();
    const QImage before = box.Image();

    // Another size, another format or no raster at all is refused.
    EXPECT_FALSE(box.adopt_raster(QImage(5, 3, QImage::Format_RGB32)));
    EXPECT_FALSE(box.adopt_raster(QImage(4, 3, QImage::Format_ARGB32)));
    EXPECT_FALSE(box.adopt_raster(QImage()));
    EXPECT_EQ(box.Image(), before);

    // Memory of the caller's: the pixels are copied in, and drawing goes there.
    std::vector<QRgb> memory(4 * 3, 0);
    auto* bits = reinterpret_cast<uchar*>(memory.data());
    ASSERT_TRUE(box.adopt_raster(QImage(bits, 4, 3, 16, QImage::Format_RGB32)));
    EXPECT_EQ(box.Image(), before);
    EXPECT_EQ(box.Image().constBits(), bits);
    EXPECT_EQ(memory[2 * 4 + 1], pattern(1, 2));
    PictureBox ink;
    show(ink, solid(2, 2, qRgb(9, 8, 7)));
    box_blt(box, 1, 1, 2, 2, ink, 0, 0, RasterOp::kSrcCopy);
    EXPECT_EQ(box.Image().constBits(), bits);
    EXPECT_EQ(memory[1 * 4 + 2], qRgb(9, 8, 7));

    // A box that resizes takes its new pixels from its source of memory;
    // a source without memory to give, or memory of another size, leaves
    // the box its own.
    std::vector<QRgb> larger(6 * 5, 0);
    auto* larger_bits = reinterpret_cast<uchar*>(larger.data());
    std::vector<QSize> asked;
    QImage given(larger_bits, 6, 5, 24, QImage::Format_RGB32);
    box.set_raster_source([&](QSize size) {
        asked.push_back(size);
        return std::exchange(given, QImage());
    });
    box.set_pixel_size(6, 5);
    EXPECT_EQ(asked, std::vector<QSize>{QSize(6, 5)});
    EXPECT_EQ(box.Image().constBits(), larger_bits);
    EXPECT_EQ(larger[1], pattern(1, 0));
    EXPECT_EQ(larger[2 * 6 + 2], qRgb(9, 8, 7));
    EXPECT_EQ(larger[4 * 6 + 5], qRgb(0, 0, 0));  // new pixels: the background
    box.set_pixel_size(3, 3);
    EXPECT_EQ(box.pixel_size(), QSize(3, 3));
    EXPECT_NE(box.Image().constBits(), larger_bits);
    EXPECT_EQ(box.Image().pixel(2, 2), qRgb(9, 8, 7));
    given = QImage(larger_bits, 6, 5, 24, QImage::Format_RGB32);
    box.set_pixel_size(2, 2);
    EXPECT_NE(box.Image().constBits(), larger_bits);
    EXPECT_EQ(box.pixel_size(), QSize(2, 2));
}

TEST(PictureBox, UnitsAreTwipsOrPixelsRoundedHalfToEven) {
    PictureBox box;
    EXPECT_EQ(box.scale_mode(), ScaleMode::kPixels);
    EXPECT_EQ(box.to_pixels_x(2.5), 2);
    EXPECT_EQ(box.to_pixels_y(3.5), 4);
    EXPECT_EQ(box.to_pixels_x(-2.5), -2);
    EXPECT_EQ(box.to_pixels_x(1e300), INT_MAX);
    EXPECT_EQ(box.to_pixels_y(std::nan("")), 0);

    box.set_scale_mode(ScaleMode::kTwips);
    box.set_twips_per_pixel(15, 12);
    EXPECT_EQ(box.to_pixels_x(112.5), 8);  // 7.5 px
    EXPECT_EQ(box.to_pixels_x(97.5), 6);   // 6.5 px
    EXPECT_EQ(box.to_pixels_y(30.0), 2);   // 2.5 px
    EXPECT_EQ(box.to_pixels_y(42.0), 4);   // 3.5 px
    EXPECT_DOUBLE_EQ(box.from_pixels_y(3), 36.0);

    box.set_scale_size(1500.0, 606.0);  // 100 x 50.5 px
    EXPECT_EQ(box.pixel_size(), QSize(100, 50));
    EXPECT_DOUBLE_EQ(box.ScaleWidth(), 1500.0);
    EXPECT_DOUBLE_EQ(box.ScaleHeight(), 600.0);

    box.set_twips_per_pixel(0, -3);  // counts as 1
    EXPECT_DOUBLE_EQ(box.ScaleWidth(), 100.0);
    EXPECT_EQ(box.to_pixels_y(7.0), 7);
}

TEST(PictureBox, PictureAutoSizeAndCls) {
    PictureBox box;
    box.set_back_colour(Qt::green);
    box.set_pixel_size(5, 4);
    RecordingView view(box);

    // Without AutoSize: the picture at the top-left, the background around it.
    box.set_picture(patterned(3, 2));
    EXPECT_EQ(box.pixel_size(), QSize(5, 4));
    EXPECT_EQ(box.Image().pixel(2, 1), pattern(2, 1));
    EXPECT_EQ(box.Image().pixel(3, 1), qRgb(0, 255, 0));
    EXPECT_EQ(box.Image().pixel(0, 2), qRgb(0, 255, 0));
    EXPECT_EQ(view.rects, std::vector<QRect>{QRect(0, 0, 5, 4)});

    // With AutoSize the box takes the picture's size; any format becomes RGB32.
    box.set_auto_size(true);
    box.set_picture(patterned(7, 6).convertToFormat(QImage::Format_RGB888));
    EXPECT_EQ(box.pixel_size(), QSize(7, 6));
    EXPECT_EQ(box.Picture().format(), QImage::Format_RGB32);
    EXPECT_EQ(box.Image(), patterned(7, 6));

    // Cls wipes the drawing back to the picture and the position to 0, 0.
    PictureBox ink;
    show(ink, solid(7, 6, qRgb(9, 9, 9)));
    box_blt(box, 1, 1, 4, 4, ink, 0, 0, RasterOp::kSrcCopy);
    box.set_current_position(12.0, 30.0);
    view.rects.clear();
    box.Cls();
    EXPECT_EQ(box.Image(), patterned(7, 6));
    EXPECT_EQ(box.CurrentX(), 0.0);
    EXPECT_EQ(box.CurrentY(), 0.0);
    EXPECT_EQ(view.rects, std::vector<QRect>{QRect(0, 0, 7, 6)});

    // A null picture clears the picture only; Cls then leaves the background.
    box.set_picture(QImage());
    EXPECT_TRUE(box.Picture().isNull());
    EXPECT_EQ(box.Image(), patterned(7, 6));
    box.Cls();
    EXPECT_EQ(box.Image(), solid(7, 6, qRgb(0, 255, 0)));

    // Transparent parts of a picture show the background.
    QImage clear(2, 2, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    box.set_picture(clear);
    EXPECT_EQ(box.Image(), solid(2, 2, qRgb(0, 255, 0)));
}

// Where `box` holds `inside` within `rect` and `outside` everywhere else.
void expect_painted(const PictureBox& box, const QRect& rect, QRgb inside, QRgb outside) {
    for (int y = 0; y < box.pixel_height(); ++y) {
        for (int x = 0; x < box.pixel_width(); ++x) {
            ASSERT_EQ(box.Image().pixel(x, y), rect.contains(x, y) ? inside : outside)
                << "at " << x << "," << y;
        }
    }
}

TEST(PaintPicture, FillsExactlyTheRoundedRectangle) {
    const QRgb black = qRgb(0, 0, 0);
    const QRgb red = qRgb(200, 10, 30);
    // Shrinking and enlarging; edges 2.5 -> 2, 12.5 -> 12, 1.5 -> 2, 6.5 -> 6.
    for (const QSize picture_size : {QSize(40, 20), QSize(4, 2), QSize(10, 4)}) {
        SCOPED_TRACE(picture_size.width());
        PictureBox box;
        box.set_pixel_size(20, 10);
        RecordingView view(box);
        box.PaintPicture(solid(picture_size.width(), picture_size.height(), red), 2.5, 1.5, 10.0,
                         5.0);
        expect_painted(box, QRect(2, 2, 10, 4), red, black);
        EXPECT_EQ(view.rects, std::vector<QRect>{QRect(2, 2, 10, 4)});

        // Cut at the box's edges; the view hears of the part inside.
        box.Cls();
        view.rects.clear();
        box.PaintPicture(solid(picture_size.width(), picture_size.height(), red), -4.0, 7.0, 9.0,
                         8.0);
        expect_painted(box, QRect(0, 7, 5, 3), red, black);
        EXPECT_EQ(view.rects, std::vector<QRect>{QRect(0, 7, 5, 3)});
    }

    // In twips: 15 twips a pixel, 37.5 -> 2.5 px -> 2.
    PictureBox box;
    box.set_pixel_size(20, 10);
    box.set_scale_mode(ScaleMode::kTwips);
    box.PaintPicture(solid(40, 40, red), 37.5, 15.0, 150.0, 52.5);
    expect_painted(box, QRect(2, 1, 10, 3), red, black);

    // Nothing for a null picture, an empty or negative size, a target off the
    // box; a huge target is painted where it meets the box.
    box.Cls();
    box.PaintPicture(QImage(), 0, 0, 100, 100);
    box.PaintPicture(solid(4, 4, red), 0, 0, 0, 100);
    box.PaintPicture(solid(4, 4, red), 0, 0, 100, -100);
    box.PaintPicture(solid(4, 4, red), 0, 0, 7.0, 100);  // 0.47 px: rounds to 0
    box.PaintPicture(solid(4, 4, red), 400, 0, 100, 100);
    expect_painted(box, QRect(), red, black);
    box.PaintPicture(solid(1, 1, red), -1e12, -1e12, 1e13, 1e13);
    expect_painted(box, QRect(0, 0, 20, 10), red, black);
}

TEST(PaintPicture, ShrinksFineDetailToItsAverage) {
    // A one-pixel checkerboard shrunk to a quarter must come out an even
    // grey; sampling without averaging would show black or white patches.
    QImage checks(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < 300; ++y) {
        for (int x = 0; x < 400; ++x) {
            checks.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
    }
    PictureBox box;
    box.set_pixel_size(100, 75);
    box.PaintPicture(checks, 0, 0, 100, 75);
    for (int y = 0; y < 75; ++y) {
        for (int x = 0; x < 100; ++x) {
            ASSERT_NEAR(qGreen(box.Image().pixel(x, y)), 128, 16) << x << "," << y;
        }
    }
}

// The bounding rectangle of the pixels that are not black.
QRect ink(const QImage& image) {
    QRect r;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != qRgb(0, 0, 0)) {
                r |= QRect(x, y, 1, 1);
            }
        }
    }
    return r;
}

TEST(Text, MeasuresWhatItPrints) {
    const QString greeting = QStringLiteral("Merry Christmas");
    PictureBox empty;  // measures without pixels, at 96 dpi like any box
    empty.set_font_size(30.0);
    empty.set_font_bold(true);
    empty.set_font_italic(true);
    EXPECT_EQ(empty.FontName(), QStringLiteral("Arial"));
    EXPECT_NEAR(empty.TextWidth(greeting), 316.0, 3.0);
    EXPECT_NEAR(empty.TextHeight(greeting), 44.0, 2.0);

    for (const bool italic : {false, true}) {
        SCOPED_TRACE(italic);
        PictureBox box;
        box.set_pixel_size(400, 200);
        box.set_font_size(30.0);
        box.set_font_bold(true);
        box.set_font_italic(italic);
        box.set_fore_colour(Qt::white);
        RecordingView view(box);
        const double tw = box.TextWidth(greeting);
        const double th = box.TextHeight(greeting);
        EXPECT_EQ(th, box.TextHeight(QString()));  // one line, whatever it says
        box.set_current_position(10.0, 20.0);
        box.Print(greeting);
        const QRect printed = ink(box.Image());
        // The ink fills most of the measured box and stays inside it.
        EXPECT_TRUE(QRectF(10.0, 20.0, tw, th).contains(QRectF(printed))) << printed.x();
        EXPECT_GT(printed.width(), tw * 0.9);
        EXPECT_GT(printed.height(), th * 0.6);
        ASSERT_EQ(view.rects.size(), 1u);
        EXPECT_TRUE(view.rects[0].contains(printed));
        EXPECT_EQ(box.CurrentX(), 0.0);
        EXPECT_EQ(box.CurrentY(), 20.0 + th);
        if (italic) {
            EXPECT_EQ(tw, empty.TextWidth(greeting));
        }
    }

    // In twips, measures and positions are in twips; the ink is the same.
    PictureBox pixels;
    PictureBox twips;
    for (PictureBox* box : {&pixels, &twips}) {
        box->set_pixel_size(120, 40);
        box->set_font_size(12.0);
    }
    twips.set_scale_mode(ScaleMode::kTwips);
    EXPECT_EQ(twips.TextWidth(greeting), pixels.TextWidth(greeting) * 15.0);
    EXPECT_EQ(twips.TextHeight(greeting), pixels.TextHeight(greeting) * 15.0);
    pixels.set_current_position(3.0, 5.0);
    twips.set_current_position(45.0, 75.0);
    pixels.Print(greeting);
    twips.Print(greeting);
    EXPECT_EQ(twips.Image(), pixels.Image());
    EXPECT_EQ(twips.CurrentY(), 75.0 + twips.TextHeight(greeting));
}

}  // namespace
}  // namespace wm
