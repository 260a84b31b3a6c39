// The one loader of users' pictures: which decoder a file goes to, and the
// files it must refuse: special files, and headers that claim far more than
// any picture may have, refused before anything of that size is allocated.

#include "imaging/picture_file.h"

#include "tests/imaging/jpeg_maker.h"
#include "tests/imaging/largest_allocation.h"
#include "tests/support/hostile_files.h"
#include "tests/support/test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace wm {
namespace {

// What the saver asks for, and what a preview asks for.
PictureFileOptions saver_options() {
    PictureFileOptions options;
    options.fit_into = QSize(800, 600);
    return options;
}

PictureFileOptions preview_options() {
    PictureFileOptions options;
    options.fit_into = QSize(320, 240);
    options.exact_fit = true;
    options.apply_orientation = true;
    return options;
}

// Far below any of the claimed sizes, above what reading a small file takes.
constexpr std::size_t kSmallBlock = std::size_t{4} << 20;

// A 24-bit bitmap file of width x height (negative: rows top first) with
// the given pixel rows.
QByteArray bitmap(qint32 width, qint32 height, const QByteArray& rows) {
    QByteArray bmp("BM");
    const auto le32 = [&](quint32 v) {
        for (int i = 0; i < 4; ++i) {
            bmp.append(static_cast<char>((v >> (8 * i)) & 0xFF));
        }
    };
    const auto le16 = [&](quint16 v) {
        bmp.append(static_cast<char>(v & 0xFF)).append(static_cast<char>(v >> 8));
    };
    le32(static_cast<quint32>(14 + 40 + rows.size()));
    le32(0);
    le32(14 + 40);
    le32(40);
    le32(static_cast<quint32>(width));
    le32(static_cast<quint32>(height));
    le16(1);
    le16(24);
    for (int i = 0; i < 6; ++i) {
        le32(0);  // no compression, sizes and colours left to the reader
    }
    return bmp + rows;
}

class PictureFile : public testing::Test {
  protected:
    QString write(const QString& name, const QByteArray& bytes) {
        return test::write_file_in(dir, name, bytes);
    }

    QTemporaryDir dir;
};

TEST_F(PictureFile, HeadersClaimingHugePicturesAreRefusedBeforeDecoding) {
    const struct {
        QString name;
        QByteArray bytes;
        const char* says;
    } cases[] = {
        {QStringLiteral("huge.jpg"), test::jpeg_claiming(60000, 60000), "60000 x 60000"},
        // JPEG by its bytes, whatever the name.
        {QStringLiteral("huge.jpeg"), test::jpeg_claiming(60000, 60000), "60000 x 60000"},
        {QStringLiteral("progressive.jpg"), test::make_empty_scans(32768, 32768, 1),
         "32768 x 32768"},
        {QStringLiteral("scans.jpeg"), test::make_empty_scans(8000, 8000, 2000), "scans"},
        {QStringLiteral("colour.jpg"), test::make_empty_scans(9000, 9000, 1, 3), "memory"},
        {QStringLiteral("huge.png"), test::png_claiming(30000, 30000), "30000 x 30000"},
        // Top-down bitmaps: one as high as the field holds, one of 12000 x
        // 12000 (that the reader would take) with a few bytes of pixels.
        {QStringLiteral("upside.bmp"), test::bmp_with_negative_height(), ""},
        {QStringLiteral("tall.bmp"), bitmap(12000, -12000, QByteArray(64, '\x40')),
         "12000 x 12000"},
    };
    for (const auto& c : cases) {
        const QString path = write(c.name, c.bytes);
        for (const PictureFileOptions& options : {saver_options(), preview_options()}) {
            SCOPED_TRACE(c.name.toStdString() + (options.exact_fit ? " preview" : " saver"));
            QString problem;
            const test::LargestAllocation largest;
            EXPECT_FALSE(load_picture_file(path, options, &problem).has_value());
            EXPECT_LT(largest.bytes(), kSmallBlock);
            EXPECT_TRUE(problem.contains(QLatin1String(c.says))) << problem.toStdString();
        }
    }
    // A broken stream is no danger either way: the reader stops at it.
    const QString gif = write(QStringLiteral("broken.gif"), test::broken_gif());
    const test::LargestAllocation largest;
    const std::optional<QImage> picture = load_picture_file(gif, saver_options());
    EXPECT_LT(largest.bytes(), kSmallBlock);
    if (picture) {
        EXPECT_EQ(picture->size(), QSize(16, 16));
    }
}

TEST_F(PictureFile, SpecialFilesAreRefusedUnopened) {
    ASSERT_TRUE(test::make_fifo(dir.filePath(QStringLiteral("y.jpg"))));
    ASSERT_TRUE(test::make_fifo(dir.filePath(QStringLiteral("y.png"))));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), dir.filePath(QStringLiteral("zero.bmp"))));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("x.jpg")));
    const struct {
        const char* name;
        const char* says;
    } cases[] = {{"y.jpg", "a named pipe"},
                 {"y.png", "a named pipe"},
                 {"zero.bmp", "a device"},
                 {"x.jpg", "a folder"},
                 {"missing.gif", "No such file"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString problem;
        EXPECT_FALSE(
            load_picture_file(dir.filePath(QLatin1String(c.name)), saver_options(), &problem)
                .has_value());
        EXPECT_TRUE(problem.contains(QLatin1String(c.says))) << problem.toStdString();
    }
}

TEST_F(PictureFile, JpegBytesGoThroughTheJpegDecoderAndJpegNamesStayWithIt) {
    const QByteArray photo = test::make_jpeg(1000, 800, [](int, int) { return qRgb(20, 200, 20); });
    // The decoder's reduced scale shows which decoder had it: 1/4 covers the
    // fit into 250 x 200 exactly, where the image reader gives full size.
    PictureFileOptions options;
    options.fit_into = QSize(250, 200);
    for (const char* name : {"photo.jpeg", "photo.JPG", "photo.jfif"}) {
        SCOPED_TRACE(name);
        const std::optional<QImage> picture =
            load_picture_file(write(QLatin1String(name), photo), options);
        ASSERT_TRUE(picture.has_value());
        EXPECT_EQ(picture->size(), QSize(250, 200));
        EXPECT_EQ(picture->format(), QImage::Format_RGB32);
        EXPECT_GT(qGreen(picture->pixel(100, 100)), 190);
    }
    // A picture of another kind named as a JPEG is none, as the saver has
    // always treated it.
    QImage square(8, 8, QImage::Format_RGB32);
    square.fill(Qt::red);
    const QString png_named_jpg = dir.filePath(QStringLiteral("square.jpg"));
    ASSERT_TRUE(square.save(png_named_jpg, "PNG"));
    QString problem;
    EXPECT_FALSE(load_picture_file(png_named_jpg, options, &problem).has_value());
    EXPECT_TRUE(problem.startsWith(QStringLiteral("Failed to read JPG"))) << problem.toStdString();
    // Under any other name the bytes choose the reader.
    const QString png_named_gif = dir.filePath(QStringLiteral("square.gif"));
    ASSERT_TRUE(square.save(png_named_gif, "PNG"));
    const std::optional<QImage> read = load_picture_file(png_named_gif, options);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->size(), QSize(8, 8));
}

TEST_F(PictureFile, ATopDownBitmapStillLoadsUpright) {
    // 2 x 2, height -2: the first row in the file is the top one. Rows of
    // two pixels (blue, green, red) padded to 8 bytes: red, then blue.
    const QByteArray bmp = bitmap(2, -2,
                                  QByteArray("\x00\x00\xff\x00\x00\xff\x00\x00"
                                             "\xff\x00\x00\xff\x00\x00\x00\x00",
                                             16));
    const std::optional<QImage> picture =
        load_picture_file(write(QStringLiteral("top_down.bmp"), bmp), saver_options());
    ASSERT_TRUE(picture.has_value());
    ASSERT_EQ(picture->size(), QSize(2, 2));
    EXPECT_EQ(picture->pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(picture->pixel(1, 1), qRgb(0, 0, 255));
}

TEST_F(PictureFile, AGifWhoseScreenOutgrowsItsFirstFrameStillComesWithinTheFit) {
    // Found by fuzzing: the reader measures the first frame (8 x 6) but
    // gives the whole logical screen it claims (8 x 2566).
    const QByteArray gif(
        "GIF89a\x08\x00\x06\x0a\x00\x03\x00\x2c\x00\xfb\x00\x00\x00"
        "\x00\x01\x00\x00\x00\xdf\x3b",
        26);
    PictureFileOptions options = preview_options();
    options.fit_into = QSize(64, 48);
    const std::optional<QImage> picture =
        load_picture_file(write(QStringLiteral("tall.gif"), gif), options);
    ASSERT_TRUE(picture.has_value());
    EXPECT_LE(picture->width(), 64);
    EXPECT_LE(picture->height(), 48);
}

}  // namespace
}  // namespace wm
