// Where a preview goes in its box, and pictures decoded for a preview:
// at the size they are shown, upright, and refused when unreadable or when
// their header claims a size no surface of ours accepts.

#include "config_ui/picture_preview.h"

#include "tests/imaging/jpeg_maker.h"
#include "tests/imaging/largest_allocation.h"
#include "tests/support/hostile_files.h"
#include "tests/support/test_support.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace wm {
namespace {

void expect_near(const Placement& got, const Placement& want) {
    EXPECT_NEAR(got.left, want.left, 0.01);
    EXPECT_NEAR(got.top, want.top, 0.01);
    EXPECT_NEAR(got.width, want.width, 0.01);
    EXPECT_NEAR(got.height, want.height, 0.01);
}

// center_control_check_scale takes heights before widths, as the windows call it.
Placement scaled(double box_w, double box_h, double pic_w, double pic_h, double percent = 100,
                 double top = 0, double left = 0) {
    return center_control_check_scale(top, left, box_h, box_w, pic_h, pic_w, percent);
}

TEST(PreviewPlacement, LandscapeFillsTheWidthOrTheHeightWhenThatIsTighter) {
    expect_near(scaled(320, 240, 400, 300), {0, 0, 320, 240});
    expect_near(scaled(320, 240, 800, 200), {0, 80, 320, 80});  // centred vertically
    expect_near(scaled(320, 240, 400, 380), {33.68, 0, 252.63, 240});
    expect_near(scaled(320, 240, 100, 100), {40, 0, 240, 240});  // square counts as landscape
    expect_near(scaled(320, 240, 400, 300, 50, 10, 20), {100, 70, 160, 120});
}

TEST(PreviewPlacement, PortraitFillsTheHeightAndIsCentredHorizontally) {
    expect_near(scaled(320, 240, 300, 400), {70, 0, 180, 240});
    // A box narrower than the picture needs: fitted to the width instead of
    // cut off at the sides.
    expect_near(scaled(100, 300, 200, 300), {0, 75, 100, 150});
}

TEST(PreviewPlacement, ShrinkOnlyKeepsSmallPicturesAsTheyAre) {
    const auto shrink = [](double bw, double bh, double pw, double ph) {
        return center_control_check_scale(5, 5, bh, bw, ph, pw, 50, FitMode::ShrinkOnly);
    };
    expect_near(shrink(320, 240, 100, 50), {110, 95, 100, 50});
    expect_near(shrink(320, 240, 640, 480), {0, 0, 320, 240});
    expect_near(shrink(320, 240, 300, 600), {100, 0, 120, 240});  // too tall: the height limits
}

TEST(PreviewPlacement, APictureWithoutASizeIsNotPlaced) {
    EXPECT_EQ(scaled(320, 240, 0, 100), Placement{});
    EXPECT_EQ(scaled(320, 240, 100, -1), Placement{});
}

// Inserts an orientation tag (Exif, big-endian) right after a JPEG's start marker.
QByteArray with_orientation(const QByteArray& jpeg, quint16 orientation) {
    QByteArray exif("\xFF\xE1", 2);
    const QByteArray body = QByteArray("Exif\0\0", 6) + QByteArray("MM\0\x2A\0\0\0\x08", 8) +
                            QByteArray("\0\x01", 2) +                    // one entry
                            QByteArray("\x01\x12\0\x03\0\0\0\x01", 8) +  // orientation, 1 short
                            QByteArray(1, '\0') + QByteArray(1, static_cast<char>(orientation)) +
                            QByteArray(2, '\0') + QByteArray(4, '\0');  // no next IFD
    const int length = static_cast<int>(body.size()) + 2;
    exif.append(static_cast<char>(length >> 8)).append(static_cast<char>(length & 0xFF));
    return jpeg.left(2) + exif + body + jpeg.mid(2);
}

QByteArray jpeg_of(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, "JPG", 95));
    return bytes;
}

// A picture whose left half is red and right half blue.
QImage halves(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width / 2; ++x) {
            image.setPixel(x, y, qRgb(255, 0, 0));
        }
    }
    return image;
}

bool reddish(QRgb c) {
    return qRed(c) > 180 && qBlue(c) < 80;
}
bool bluish(QRgb c) {
    return qBlue(c) > 180 && qRed(c) < 80;
}

TEST(PreviewPicture, ALargePhotoDecodesAtThePreviewsSize) {
    const QTemporaryDir dir;
    const QString photo =
        test::write_file_in(dir, QStringLiteral("big.JPG"), jpeg_of(halves(4000, 3000)));
    const QImage shown = load_preview_picture(photo, {320, 240});
    EXPECT_EQ(shown.size(), QSize(320, 240));
    // Never larger than the picture itself.
    const QString small =
        test::write_file_in(dir, QStringLiteral("small.jpg"), jpeg_of(halves(100, 50)));
    EXPECT_EQ(load_preview_picture(small, {320, 240}).size(), QSize(100, 50));
    // Other kinds of picture too.
    const QString bitmap = dir.filePath(QStringLiteral("scan.bmp"));
    ASSERT_TRUE(halves(640, 480).save(bitmap, "BMP"));
    EXPECT_EQ(load_preview_picture(bitmap, {320, 240}).size(), QSize(320, 240));
}

TEST(PreviewPicture, APhotoShowsUprightWhateverWayTheCameraWasHeld) {
    const QTemporaryDir dir;
    // Stored 400 x 200 with the red half on the left; the tag says: turn it
    // a quarter clockwise to show it, so it shows 200 x 400, red on top.
    const QString photo = test::write_file_in(dir, QStringLiteral("phone.jpg"),
                                              with_orientation(jpeg_of(halves(400, 200)), 6));
    const QImage shown = load_preview_picture(photo, {320, 240});
    ASSERT_EQ(shown.size(), QSize(120, 240));
    EXPECT_TRUE(reddish(shown.pixel(60, 20)));
    EXPECT_TRUE(bluish(shown.pixel(60, 220)));
}

TEST(PreviewPicture, FilesThatAreNoPicturesAreRefused) {
    const QTemporaryDir dir;
    QString problem;
    const QString empty = test::write_file_in(dir, QStringLiteral("empty.jpg"), {});
    const QString noise =
        test::write_file_in(dir, QStringLiteral("noise.jpg"), QByteArray(4096, 'q'));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.jpg")));
    // A pipe would keep the window waiting for ever, /dev/zero would fill
    // its memory: neither is opened.
    const QString pipe = dir.filePath(QStringLiteral("pipe.png"));
    ASSERT_TRUE(test::make_fifo(pipe));
    const QString zero = dir.filePath(QStringLiteral("zero.jpg"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    for (const QString& path : {empty, noise, dir.filePath(QStringLiteral("folder.jpg")),
                                dir.filePath(QStringLiteral("missing.jpg")), pipe, zero}) {
        SCOPED_TRACE(path.toStdString());
        problem.clear();
        EXPECT_TRUE(load_preview_picture(path, {320, 240}, &problem).isNull());
        EXPECT_FALSE(problem.isEmpty());
    }
}

TEST(PreviewPicture, AHeaderClaimingAHugeSizeIsRefusedBeforeDecoding) {
    const QTemporaryDir dir;
    QByteArray jpeg = jpeg_of(halves(64, 64));
    const qsizetype frame = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(frame, 0);
    // Frame header: marker, length (2), precision (1), height (2), width (2).
    for (qsizetype at : {frame + 5, frame + 7}) {
        jpeg[at] = static_cast<char>(0xEA);  // 60000
        jpeg[at + 1] = static_cast<char>(0x60);
    }
    const QString forged = test::write_file_in(dir, QStringLiteral("forged.jpg"), jpeg);
    QString problem;
    EXPECT_TRUE(load_preview_picture(forged, {320, 240}, &problem).isNull());
    EXPECT_TRUE(problem.contains(QStringLiteral("60000"))) << problem.toStdString();

    // The same for other kinds of picture, and for a progressive JPEG whose
    // scans would be decoded through a buffer of its full size, or walked
    // thousands of times.
    const struct {
        const char* name;
        QByteArray bytes;
        const char* says;
    } others[] = {
        {"huge.png", test::png_claiming(30000, 30000), "30000"},
        {"progressive.jpg", test::make_empty_scans(32768, 32768, 1), "32768"},
        {"scans.jpg", test::make_empty_scans(8000, 8000, 2000), "scans"},
    };
    for (const auto& other : others) {
        SCOPED_TRACE(other.name);
        const QString path = test::write_file_in(dir, QLatin1String(other.name), other.bytes);
        problem.clear();
        const test::LargestAllocation largest;
        EXPECT_TRUE(load_preview_picture(path, {320, 240}, &problem).isNull());
        EXPECT_LT(largest.bytes(), std::size_t{4} << 20);
        EXPECT_TRUE(problem.contains(QLatin1String(other.says))) << problem.toStdString();
    }
}

}  // namespace
}  // namespace wm
