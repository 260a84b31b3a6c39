// Decoding JPEG files into surfaces, and every way that can fail.

#include "imaging/jpeg_reader.h"
#include "tests/imaging/jpeg_maker.h"
#include "tests/imaging/largest_allocation.h"
#include "tests/support/hostile_files.h"
#include "tests/support/test_support.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

namespace wm {
namespace {

const QString kReadFailed = QStringLiteral("Failed to read JPG");
const QString kDataFailed = QStringLiteral("Cannot read Image Data from file.");

// Red above, blue below: flat 8-pixel blocks, so the JPEG keeps them nearly exact.
QRgb red_over_blue(int, int y) {
    return y < 8 ? qRgb(255, 0, 0) : qRgb(0, 0, 255);
}

// Surface pixel at picture column x, memory row y, as B, G, R.
std::array<int, 3> bgr(const cDIBSection& s, int x, int y) {
    const std::uint8_t* p = s.DIBSectionBitsPtr() + y * s.BytesPerScanLine() + x * 3;
    return {p[0], p[1], p[2]};
}

void expect_near(std::array<int, 3> got, std::array<int, 3> want, const char* what) {
    for (int c = 0; c < 3; ++c) {
        EXPECT_LE(std::abs(got[c] - want[c]), 6) << what << " channel " << c;
    }
}

class JpegReader : public testing::Test {
  protected:
    QString write(const QString& name, const QByteArray& bytes) {
        return test::write_file_in(dir, name, bytes);
    }

    QTemporaryDir dir;
    test::MessageCapture capture;
    cDIBSection surface;
};

TEST_F(JpegReader, DecodesUprightWithPaddedRows) {
    for (const int width : {1, 3, 4, 5, 17}) {
        SCOPED_TRACE(width);
        const QString path =
            write(QStringLiteral("rb.jpg"), test::make_jpeg(width, 16, red_over_blue));
        ASSERT_TRUE(load_jpeg(surface, path));
        ASSERT_EQ(surface.width(), width);
        ASSERT_EQ(surface.height(), 16);
        const int stride = surface.BytesPerScanLine();
        EXPECT_EQ(stride, (width * 3 + 3) & ~3);
        for (int x = 0; x < width; ++x) {
            expect_near(bgr(surface, x, 15), {0, 0, 255}, "top row (last in memory)");
            expect_near(bgr(surface, x, 0), {255, 0, 0}, "bottom row (first in memory)");
        }
        for (int y = 0; y < 16; ++y) {
            for (int pad = width * 3; pad < stride; ++pad) {
                ASSERT_EQ(surface.DIBSectionBitsPtr()[y * stride + pad], 0);
            }
        }
    }
    EXPECT_TRUE(capture.messages().empty());
}

TEST_F(JpegReader, GreyExpandsToEqualChannels) {
    const QByteArray jpeg = test::make_jpeg(
        6, 16, [](int, int y) { return y < 8 ? qRgb(200, 0, 0) : qRgb(50, 0, 0); },
        /*grey=*/true);
    ASSERT_TRUE(load_jpeg(surface, write(QStringLiteral("grey.jpg"), jpeg)));
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 6; ++x) {
            const auto p = bgr(surface, x, y);
            ASSERT_TRUE(p[0] == p[1] && p[1] == p[2]) << x << "," << y;
        }
    }
    expect_near(bgr(surface, 0, 15), {200, 200, 200}, "top");
    expect_near(bgr(surface, 0, 0), {50, 50, 50}, "bottom");
}

TEST_F(JpegReader, UnreadableFilesLeaveTheSurfaceAlone) {
    ASSERT_TRUE(surface.Create(2, 2));
    const cDIBSection::Handle dc = surface.hDC();

    QByteArray zero_height = test::make_jpeg(8, 8, red_over_blue);
    const qsizetype sof = test::find_marker(zero_height, 0xC0);
    ASSERT_GT(sof, 0);
    zero_height[sof + 5] = 0;  // frame height, high byte
    zero_height[sof + 6] = 0;  // and low byte

    QFile huge(dir.filePath(QStringLiteral("huge.jpg")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(kMaxJpegFileBytes + 1));  // sparse: costs no disk
    huge.close();

    // Special files, reached directly or through links, are refused unopened:
    // reading a pipe would wait for ever, /dev/zero would never end.
    const QString pipe = dir.filePath(QStringLiteral("pipe.jpg"));
    ASSERT_TRUE(test::make_fifo(pipe));
    const QString to_pipe = dir.filePath(QStringLiteral("to_pipe.jpg"));
    ASSERT_TRUE(QFile::link(pipe, to_pipe));
    const QString to_zero = dir.filePath(QStringLiteral("to_zero.jpg"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), to_zero));

    const QString cases[] = {
        dir.filePath(QStringLiteral("missing.jpg")),
        QString(),
        dir.path(),
        QStringLiteral("/dev/zero"),
        pipe,
        to_pipe,
        to_zero,
        huge.fileName(),
        write(QStringLiteral("empty.jpg"), QByteArray()),
        write(QStringLiteral("garbage.jpg"), QByteArray("this is no picture at all")),
        write(QStringLiteral("zero.jpg"), zero_height),
    };
    for (const QString& path : cases) {
        capture.clear();
        EXPECT_FALSE(load_jpeg(surface, path)) << qPrintable(path);
        EXPECT_EQ(capture.texts(), QStringList{kReadFailed}) << qPrintable(path);
        EXPECT_EQ(capture.messages().front().caption, kProductName);
        EXPECT_EQ(capture.messages().front().icon, MessageIcon::Exclamation);
        EXPECT_EQ(surface.hDC(), dc);
    }
}

TEST_F(JpegReader, MessagesCanGoElsewhere) {
    QStringList told;
    JpegOptions options;
    options.report = [&](const QString& text) { told << text; };
    EXPECT_FALSE(load_jpeg(surface, dir.filePath(QStringLiteral("missing.jpg")), options));
    EXPECT_EQ(told, QStringList{kReadFailed});
    EXPECT_TRUE(capture.messages().empty());
}

TEST_F(JpegReader, BigPicturesDecodeNoLargerThanTheirFitNeeds) {
    const QString path = write(QStringLiteral("big.jpg"), test::make_jpeg(400, 320, [](int, int y) {
                                   return y < 160 ? qRgb(255, 0, 0) : qRgb(0, 0, 255);
                               }));
    const struct {
        QSize fit_into;
        QSize decoded;
    } cases[] = {
        {QSize(100, 100), QSize(100, 80)},   // fits at 1/4: exactly a scale the decoder has
        {QSize(120, 200), QSize(150, 120)},  // 0.3 needs 3/8
        {QSize(800, 600), QSize(400, 320)},  // would enlarge: full size
        {QSize(400, 320), QSize(400, 320)}, {QSize(), QSize(400, 320)},
        {QSize(0, 50), QSize(400, 320)},    {QSize(1, 1), QSize(50, 40)},  // never below 1/8
    };
    for (const auto& c : cases) {
        JpegOptions options;
        options.fit_into = c.fit_into;
        ASSERT_TRUE(load_jpeg(surface, path, options));
        EXPECT_EQ(QSize(surface.width(), surface.height()), c.decoded) << c.fit_into.width();
        // Still upright: red on top (the last rows in memory), blue below.
        expect_near(bgr(surface, 0, surface.height() - 1), {0, 0, 255}, "top");
        expect_near(bgr(surface, 0, 0), {255, 0, 0}, "bottom");
    }
    EXPECT_TRUE(capture.messages().empty());
}

TEST_F(JpegReader, UndecodableDataSaysSo) {
    QByteArray jpeg = test::make_jpeg(16, 16, red_over_blue);
    const qsizetype sos = test::find_marker(jpeg, 0xDA);
    ASSERT_GT(sos, 0);
    jpeg[sos + 6] = 0x33;  // first component: Huffman tables 3, never defined
    EXPECT_FALSE(load_jpeg(surface, write(QStringLiteral("tables.jpg"), jpeg)));
    EXPECT_EQ(capture.texts(), QStringList{kDataFailed});
    EXPECT_EQ(surface.width(), 16);
    EXPECT_NE(surface.DIBSectionBitsPtr(), nullptr);
}

TEST_F(JpegReader, TruncatedFileDecodesWithGreyTail) {
    const QByteArray jpeg = test::make_jpeg(64, 64, [](int, int) { return qRgb(0, 0, 255); });
    const qsizetype sos = test::find_marker(jpeg, 0xDA);
    ASSERT_GT(sos, 0);
    const QByteArray cut = jpeg.left(sos + (jpeg.size() - sos) / 2);  // half the image data
    ASSERT_TRUE(load_jpeg(surface, write(QStringLiteral("cut.jpg"), cut)));
    EXPECT_TRUE(capture.messages().empty());
    ASSERT_EQ(surface.height(), 64);
    expect_near(bgr(surface, 0, 63), {255, 0, 0}, "top: decoded");
    expect_near(bgr(surface, 63, 0), {128, 128, 128}, "bottom: filled by the decoder");
}

TEST_F(JpegReader, OversizedHeadersFailQuietlyBeforeDecodingAtAnyScale) {
    // A baseline header of 60000 x 60000 (it would fit a surface at 1/8, yet
    // the decoder would work through the full size), and a progressive one
    // of 32768 x 32768 with no data (its coefficient buffer alone: 2 GB).
    const QString baseline = write(QStringLiteral("bomb.jpg"), test::jpeg_claiming(60000, 60000));
    const QString progressive =
        write(QStringLiteral("progressive.jpg"), test::make_empty_scans(32768, 32768, 1));
    for (const QString& path : {baseline, progressive}) {
        for (const QSize fit : {QSize(), QSize(800, 600), QSize(1, 1)}) {
            SCOPED_TRACE(path.toStdString() + " fit " + std::to_string(fit.width()));
            ASSERT_TRUE(surface.Create(2, 2));
            JpegOptions options;
            options.fit_into = fit;
            const test::LargestAllocation largest;
            EXPECT_FALSE(load_jpeg(surface, path, options));
            EXPECT_LT(largest.bytes(), std::size_t{1} << 20) << "nothing of the claimed size";
            EXPECT_TRUE(capture.messages().empty());
            EXPECT_EQ(surface.hDC(), 0u);
            EXPECT_EQ(surface.DIBSectionBitsPtr(), nullptr);
        }
    }
    QString detail;
    EXPECT_EQ(decode_jpeg(surface, test::read_file(baseline), QSize(800, 600), &detail),
              JpegOutcome::kTooLarge);
    EXPECT_TRUE(detail.contains(QStringLiteral("60000 x 60000"))) << detail.toStdString();
}

TEST_F(JpegReader, AProgressivePictureWhoseScansNeedTooMuchMemoryIsRefusedQuietly) {
    // 9000 x 9000 in colour fits a surface (243 MB), but decoding it in
    // scans takes a coefficient buffer of 3 x 81 million x 2 bytes.
    const QString path =
        write(QStringLiteral("colour.jpg"), test::make_empty_scans(9000, 9000, 1, 3));
    JpegOptions options;
    options.fit_into = QSize(800, 600);
    const test::LargestAllocation largest;
    EXPECT_FALSE(load_jpeg(surface, path, options));
    EXPECT_LT(largest.bytes(), std::size_t{1} << 20);
    EXPECT_TRUE(capture.messages().empty());
    EXPECT_EQ(decode_jpeg(surface, test::read_file(path), options.fit_into),
              JpegOutcome::kTooLarge);
}

TEST_F(JpegReader, EmptyScansBeyondWhatThePictureCanNeedAreUnreadableData) {
    // 8000 x 8000 grey with thousands of empty scans: each would cost the
    // decoder a walk over the whole picture, seconds in all, for a picture
    // it would then report as decoded. Refused before anything is decoded.
    for (const int scans : {100, 2000}) {
        SCOPED_TRACE(scans);
        capture.clear();
        const QString path =
            write(QStringLiteral("scans.jpg"), test::make_empty_scans(8000, 8000, scans));
        JpegOptions options;
        options.fit_into = QSize(800, 600);
        const test::LargestAllocation largest;
        EXPECT_FALSE(load_jpeg(surface, path, options));
        EXPECT_LT(largest.bytes(), std::size_t{1} << 20);
        EXPECT_EQ(capture.texts(), QStringList{kDataFailed});
        EXPECT_EQ(surface.DIBSectionBitsPtr(), nullptr);
        QString detail;
        EXPECT_EQ(decode_jpeg(surface, test::read_file(path), {}, &detail),
                  JpegOutcome::kUnreadableData);
        EXPECT_TRUE(detail.contains(QStringLiteral("scans"))) << detail.toStdString();
    }
    // A small picture may have more scans, up to what the decoder itself
    // takes (500): past that it stops, and that is unreadable data too.
    capture.clear();
    EXPECT_TRUE(
        load_jpeg(surface, write(QStringLiteral("few.jpg"), test::make_empty_scans(16, 16, 400))));
    EXPECT_TRUE(capture.messages().empty());
    EXPECT_FALSE(
        load_jpeg(surface, write(QStringLiteral("many.jpg"), test::make_empty_scans(16, 16, 600))));
    EXPECT_EQ(capture.texts(), QStringList{kDataFailed});
    EXPECT_EQ(surface.width(), 16) << "decoded as far as it went";
}

TEST_F(JpegReader, ProgressivePhotographsDecodeAsBaselineOnesDo) {
    // A real progressive picture, large enough for its scans to count:
    // about ten scans over 1000 x 800 pixels, in colour and in grey.
    for (const bool grey : {false, true}) {
        SCOPED_TRACE(grey);
        const QString path = write(
            QStringLiteral("progressive.jpg"),
            test::make_jpeg(
                1000, 800, [](int, int y) { return y < 400 ? qRgb(255, 0, 0) : qRgb(0, 0, 255); },
                grey, 90, /*progressive=*/true));
        for (const QSize fit : {QSize(), QSize(250, 200)}) {
            JpegOptions options;
            options.fit_into = fit;
            ASSERT_TRUE(load_jpeg(surface, path, options));
            EXPECT_EQ(QSize(surface.width(), surface.height()),
                      fit.isValid() ? QSize(250, 200) : QSize(1000, 800));
            // A grey picture is made of the red channel.
            const std::array<int, 3> top =
                grey ? std::array<int, 3>{255, 255, 255} : std::array<int, 3>{0, 0, 255};
            expect_near(bgr(surface, 5, surface.height() - 5), top, "top");
        }
    }
    EXPECT_TRUE(capture.messages().empty());
}

// Straight into an image, a decode gives what the surface gives once
// converted, with the same outcomes and messages, and the 96 dpi of a box.
TEST_F(JpegReader, DecodingIntoAnImageMatchesTheSurface) {
    const auto pattern = [](int x, int y) {
        return qRgb(x * 7 & 0xff, y * 5 & 0xff, (x ^ y) & 0xff);
    };
    QByteArray truncated = test::make_jpeg(64, 48, pattern);
    truncated.chop(truncated.size() / 3);
    QByteArray garbage = test::make_jpeg(16, 16, red_over_blue);
    garbage.replace(garbage.size() / 2, 40, QByteArray(40, '\x5a'));
    struct Case {
        const char* what;
        QByteArray bytes;
        QSize fit_into;
    };
    const Case cases[] = {
        {"colour, odd size", test::make_jpeg(37, 23, pattern), {}},
        {"grey", test::make_jpeg(30, 17, pattern, true), {}},
        {"scaled down for its fit", test::make_jpeg(400, 320, pattern), QSize(100, 80)},
        {"progressive", test::make_jpeg(33, 21, pattern, false, 90, true), {}},
        {"truncated", truncated, {}},
        {"garbage in the data", garbage, {}},
        {"no JPEG at all", QByteArray("not a picture"), {}},
        {"empty", QByteArray(), {}},
        {"claims too many pixels", test::make_empty_scans(70000, 70000, 1), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Both start with a picture: a failure leaves it or empties it.
        cDIBSection decoded;
        ASSERT_TRUE(decoded.Create(4, 4));
        QString surface_detail;
        const JpegOutcome surface_outcome =
            decode_jpeg(decoded, c.bytes, c.fit_into, &surface_detail);
        QImage image(4, 4, QImage::Format_RGB32);
        QString image_detail;
        const JpegOutcome image_outcome =
            decode_jpeg_image(image, c.bytes, c.fit_into, &image_detail);
        EXPECT_EQ(image_outcome, surface_outcome);
        EXPECT_EQ(image_detail, surface_detail);
        if (surface_outcome != JpegOutcome::kDecoded) {
            EXPECT_EQ(image.isNull(), decoded.DIBSectionBitsPtr() == nullptr);
            EXPECT_TRUE(image.isNull() || image.size() == QSize(4, 4));
        } else {
            EXPECT_EQ(image, to_qimage(decoded));
            EXPECT_EQ(image.format(), QImage::Format_RGB32);
            EXPECT_EQ(image.dotsPerMeterX(), 3780);
            EXPECT_EQ(image.dotsPerMeterY(), 3780);
        }
    }
}

}  // namespace
}  // namespace wm
