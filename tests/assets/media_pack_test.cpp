// The built-in pack as the build made it: members in the order of their
// roles, pictures that decode at their sizes, and reproducible bytes; and
// the program's icon files beside it.

#include "assets/icon/app_icon.h"
#include "assets/media_catalogue.h"
#include "assets/window_assets.h"
#include "imaging/jpeg_reader.h"
#include "pack/pack_extract.h"
#include "pack/pack_index.h"
#include "platform/app_paths.h"
#include "sprites/sheet_layout.h"
#include "tests/support/test_support.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace wm::test {
namespace {

const QString kMediaDir = QStringLiteral(WM_MEDIA_DIR);
const QString kPackBase = kMediaDir + QStringLiteral("/pack/images");

TEST(BuiltInPack, HoldsSeventeenMembersInTheOrderOfTheirRoles) {
    PackTable table;
    QString problem;
    ASSERT_EQ(load_pack_index(table, kPackBase, &problem), IndexLoad::Loaded)
        << problem.toStdString();
    ASSERT_EQ(table.pack_count, 17);
    const auto members = media::pack_members();
    ASSERT_EQ(members.size(), 17u);
    for (int i = 1; i <= 17; ++i) {
        const auto at = static_cast<std::size_t>(i);
        EXPECT_EQ(table.pack_names[at], members[at - 1].name) << "member " << i;
        EXPECT_GT(table.pack_sizes[at], 1) << "member " << i;
    }
    // The roles the saver relies on, by position: pictures, sheets, title, songs.
    for (int i = 1; i <= 10; ++i) {
        EXPECT_TRUE(table.pack_names[static_cast<std::size_t>(i)].endsWith(QLatin1String(".jpg")));
    }
    EXPECT_TRUE(table.pack_names[11].endsWith(QLatin1String(".png")));
    EXPECT_TRUE(table.pack_names[12].endsWith(QLatin1String(".png")));
    EXPECT_TRUE(table.pack_names[13].endsWith(QLatin1String(".jpg")));
    for (int i = 14; i <= 17; ++i) {
        EXPECT_TRUE(table.pack_names[static_cast<std::size_t>(i)].endsWith(QLatin1String(".mid")));
    }
}

class ExtractedMember : public ::testing::Test {
  protected:
    void SetUp() override {
        QString problem;
        ASSERT_EQ(load_pack_index(table_, kPackBase, &problem), IndexLoad::Loaded);
        table_.temp_folder = with_trailing_separator(scratch_.path());
    }
    QString extract(int position) {
        const auto path = extract_member_path(table_, kPackBase, position);
        return path.value_or(QString());
    }

    QTemporaryDir scratch_;
    PackTable table_;
};

// Luma of a pixel, 0..255.
double luma(QRgb pixel) {
    return 0.299 * qRed(pixel) + 0.587 * qGreen(pixel) + 0.114 * qBlue(pixel);
}

TEST_F(ExtractedMember, EveryBackgroundDecodesAtFullSizeWithAReadableCaptionBand) {
    MessageCapture messages;
    std::vector<QImage> thumbnails;
    for (int i = 1; i <= media::kBackgroundCount; ++i) {
        cDIBSection surface;
        const QString path = extract(i);
        ASSERT_FALSE(path.isEmpty()) << "member " << i;
        ASSERT_TRUE(load_jpeg(surface, path)) << "member " << i;
        ASSERT_EQ(surface.width(), media::kBackgroundSize.width()) << "member " << i;
        ASSERT_EQ(surface.height(), media::kBackgroundSize.height()) << "member " << i;
        const QImage picture = to_qimage(surface);

        // The caption is centred in white with a black shadow: the band behind
        // it must not be bright snow or sky.
        const QRect band(picture.width() / 5, picture.height() * 43 / 100, picture.width() * 3 / 5,
                         picture.height() * 14 / 100);
        int bright = 0;
        for (int y = band.top(); y <= band.bottom(); ++y) {
            for (int x = band.left(); x <= band.right(); ++x) {
                bright += luma(picture.pixel(x, y)) > 200.0 ? 1 : 0;
            }
        }
        EXPECT_LE(bright, band.width() * band.height() / 10) << "member " << i;
        thumbnails.push_back(
            picture.scaled(64, 36, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    EXPECT_TRUE(messages.messages().empty());

    // No two pictures look alike: their small versions differ clearly on average.
    for (std::size_t a = 0; a < thumbnails.size(); ++a) {
        for (std::size_t b = a + 1; b < thumbnails.size(); ++b) {
            double difference = 0.0;
            for (int y = 0; y < 36; ++y) {
                for (int x = 0; x < 64; ++x) {
                    const QRgb p = thumbnails[a].pixel(x, y);
                    const QRgb q = thumbnails[b].pixel(x, y);
                    difference += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                                  std::abs(qBlue(p) - qBlue(q));
                }
            }
            EXPECT_GT(difference / (64 * 36 * 3), 12.0) << "members " << a + 1 << " and " << b + 1;
        }
    }
}

TEST_F(ExtractedMember, SheetsLoadThroughThePictureLoaderAtSheetSize) {
    for (int position : {11, 12}) {
        const QImage sheet(extract(position));
        ASSERT_FALSE(sheet.isNull()) << "member " << position;
        EXPECT_EQ(sheet.size(), QSize(kSheetWidth, kSheetHeight)) << "member " << position;
    }
    cDIBSection title;
    EXPECT_TRUE(load_jpeg(title, extract(13)));
}

TEST(WindowPictures, AreCompiledIntoTheProgram) {
    for (const WindowPicture which : kAllWindowPictures) {
        const QImage picture = window_picture(which);
        EXPECT_FALSE(picture.isNull()) << window_picture_name(which).toStdString();
    }
    const QImage preview = window_picture(WindowPicture::Preview);
    EXPECT_EQ(preview.size(), QSize(150, 112));
    EXPECT_EQ(preview.format(), QImage::Format_Indexed8);
    EXPECT_LE(preview.colorCount(), 256);
    const QImage border = window_picture(WindowPicture::Border);
    EXPECT_GE(border.width(), 80);
    EXPECT_GE(border.height(), 80);
}

// A second, independent run of the generator makes every file byte for byte.
TEST(Generator, MakesTheSameBytesEveryTime) {
    QTemporaryDir out;
    QProcess generator;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    generator.setProcessEnvironment(environment);
    generator.start(QStringLiteral(WM_MEDIA_TOOL), {QStringLiteral("build"), out.path()});
    ASSERT_TRUE(generator.waitForFinished(600000));
    ASSERT_EQ(generator.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(generator.exitCode(), 0) << generator.readAllStandardError().toStdString();
    for (const char* file : {"pack/images.icf", "pack/images.img", "windows/windows.qrc"}) {
        const QString name = QString::fromLatin1(file);
        EXPECT_EQ(read_file(out.path() + QLatin1Char('/') + name),
                  read_file(kMediaDir + QLatin1Char('/') + name))
            << file;
    }
    for (const WindowPicture which : kAllWindowPictures) {
        const QString name = QStringLiteral("/windows/") + window_picture_name(which);
        EXPECT_EQ(read_file(out.path() + name), read_file(kMediaDir + name)) << name.toStdString();
    }
    for (const media::MediaItem& icon : media::app_icons()) {
        const QString name = QStringLiteral("/icons/") + icon.name;
        EXPECT_EQ(read_file(out.path() + name), read_file(kMediaDir + name)) << name.toStdString();
    }
}

// The build writes the icon at every size it has and the install puts each
// size in the desktop's theme: both lists name the same sizes, and each file
// is a square PNG with alpha at the size its name gives.
TEST(ProgramIcon, IsBuiltAndInstalledAtEverySizeItIsDrawnAt) {
    QStringList drawn;
    for (const int size : media::kAppIconSizes) {
        drawn << QString::number(size);
    }
    EXPECT_EQ(QStringLiteral(WM_INSTALLED_ICON_SIZES).split(QLatin1Char(',')), drawn);
    const auto icons = media::app_icons();
    ASSERT_EQ(icons.size(), media::kAppIconSizes.size());
    EXPECT_EQ(QDir(kMediaDir + QStringLiteral("/icons")).entryList(QDir::Files).size(),
              static_cast<qsizetype>(icons.size()));
    for (std::size_t i = 0; i < icons.size(); ++i) {
        const int size = media::kAppIconSizes[i];
        EXPECT_EQ(icons[i].name, QStringLiteral("wintermere-%1.png").arg(size));
        const QString path = kMediaDir + QStringLiteral("/icons/") + icons[i].name;
        const QByteArray bytes = read_file(path);
        ASSERT_TRUE(bytes.startsWith("\x89PNG")) << path.toStdString();
        const QImage icon = QImage::fromData(bytes, "PNG");
        EXPECT_EQ(icon.size(), QSize(size, size)) << path.toStdString();
        EXPECT_TRUE(icon.hasAlphaChannel()) << path.toStdString();
    }
}

}  // namespace
}  // namespace wm::test
