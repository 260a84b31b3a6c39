#include "saver/wallpaper.h"

#include "imaging/picture_box.h"
#include "platform/app_paths.h"
#include "platform/external_command.h"
#include "platform/registry.h"

#include "tests/support/test_support.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace wm {
namespace {

constexpr auto kUser = static_cast<std::uint32_t>(RootKey::CurrentUser);
const QString kSchema = QStringLiteral("org.gnome.desktop.background");
const QString kName = QStringLiteral("scene_wallpaper.bmp");

QString desktop_value(const char* name) {
    return read_registry_string(kUser, kDesktopKeyPath, QString::fromLatin1(name));
}

// Commands are recorded, never run: the real desktop is left alone.
class WallpaperTest : public ::testing::Test {
  protected:
    WallpaperTest() {
        previous_runner_ =
            set_command_runner([this](const QString& program,
                                      const QStringList& arguments) -> std::optional<QByteArray> {
                commands_ << (QStringList{program} + arguments).join(QLatin1Char(' '));
                if (arguments.value(0) == QLatin1String("list-keys")) {
                    return gnome_keys_;
                }
                return QByteArray();
            });
    }
    ~WallpaperTest() override { set_command_runner(previous_runner_); }

    QString app_folder() const {
        return home_.data_home() + QLatin1Char('/') + kApplicationName + QLatin1Char('/');
    }
    QString wallpaper_path() const { return app_folder() + kName; }
    static QString gnome_set(const char* key, const QString& value) {
        return QStringLiteral("gsettings set %1 %2 '%3'").arg(kSchema, QLatin1String(key), value);
    }
    QString file_uri() const {
        return QUrl::fromLocalFile(wallpaper_path()).toString(QUrl::FullyEncoded);
    }

    // A small box whose every pixel differs from its neighbours.
    static void paint_pattern(PictureBox& box) {
        box.set_pixel_size(37, 21);
        QImage& pixels = box.raster();
        for (int y = 0; y < pixels.height(); ++y) {
            for (int x = 0; x < pixels.width(); ++x) {
                pixels.setPixel(x, y, qRgb(x * 6, y * 11, (x * y) % 256));
            }
        }
    }

    // A plain file: no folder can be made below it.
    QString plain_file() {
        return test::write_file_in(scratch_, QStringLiteral("a-file"), QByteArray("x"));
    }

    test::ScratchHome home_;
    QTemporaryDir scratch_;
    CommandRunner previous_runner_;
    QStringList commands_;
    std::optional<QByteArray> gnome_keys_ =
        QByteArray("color-shading-type\npicture-options\npicture-uri\npicture-uri-dark\n");
};

TEST_F(WallpaperTest, StretchedWallpaperWritesBitmapValuesAndGnomeSettings) {
    PictureBox box;
    paint_pattern(box);
    ASSERT_TRUE(QDir().mkpath(app_folder()));
    ASSERT_TRUE(test::write_file(wallpaper_path(), QByteArray("an older wallpaper")));

    ASSERT_TRUE(set_wallpaper_from_picture(box, 1, kName));

    QImage saved;
    ASSERT_TRUE(saved.load(wallpaper_path(), "BMP"));
    EXPECT_EQ(saved.size(), QSize(37, 21));
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), box.Image());
    // The temporary file took the old one's place: nothing else is left.
    EXPECT_EQ(QDir(app_folder()).entryList(QDir::Files), QStringList{kName});
    EXPECT_EQ(desktop_value("TileWallpaper"), QStringLiteral("0"));
    EXPECT_EQ(desktop_value("WallpaperStyle"), QStringLiteral("2"));
    EXPECT_EQ(commands_, (QStringList{QStringLiteral("gsettings list-keys ") + kSchema,
                                      gnome_set("picture-uri", file_uri()),
                                      gnome_set("picture-uri-dark", file_uri()),
                                      gnome_set("picture-options", QStringLiteral("stretched"))}));
    // The application folder's name has a space: the URI carries it encoded.
    EXPECT_TRUE(file_uri().startsWith(QStringLiteral("file:///")));
    EXPECT_TRUE(file_uri().contains(QStringLiteral("Quillory%20Wintermere/")));
}

TEST_F(WallpaperTest, EachLayoutWritesItsValuesAndOtherCodesWriteNone) {
    PictureBox box;
    paint_pattern(box);

    ASSERT_TRUE(set_wallpaper_from_picture(box, 7, kName));
    EXPECT_TRUE(QFile::exists(wallpaper_path()));
    EXPECT_EQ(desktop_value("TileWallpaper"), QString());
    EXPECT_EQ(desktop_value("WallpaperStyle"), QString());
    // Without desktop values the picture option is left as the desktop has it.
    EXPECT_FALSE(commands_.join(QLatin1Char('\n')).contains(QStringLiteral("picture-options")));

    const struct {
        int layout;
        const char* tile;
        const char* style;
        const char* option;
    } cases[] = {{0, "0", "0", "centered"}, {2, "1", "0", "wallpaper"}, {1, "0", "2", "stretched"}};
    for (const auto& c : cases) {
        commands_.clear();
        ASSERT_TRUE(set_wallpaper_from_picture(box, c.layout, kName)) << c.layout;
        EXPECT_EQ(desktop_value("TileWallpaper"), QLatin1String(c.tile)) << c.layout;
        EXPECT_EQ(desktop_value("WallpaperStyle"), QLatin1String(c.style)) << c.layout;
        EXPECT_EQ(commands_.value(3), gnome_set("picture-options", QLatin1String(c.option)))
            << c.layout;
    }

    // A code that is not a layout keeps the values in place, and the picture
    // option follows them.
    commands_.clear();
    ASSERT_TRUE(set_wallpaper_from_picture(box, -1, kName));
    EXPECT_EQ(desktop_value("WallpaperStyle"), QStringLiteral("2"));
    EXPECT_EQ(commands_.value(3), gnome_set("picture-options", QStringLiteral("stretched")));
}

TEST_F(WallpaperTest, FailedSaveKeepsTheOldFileAndTouchesNothingElse) {
    ASSERT_TRUE(QDir().mkpath(app_folder()));
    ASSERT_TRUE(test::write_file(wallpaper_path(), QByteArray("an older wallpaper")));

    // A box with nothing in it cannot be saved.
    PictureBox empty;
    EXPECT_FALSE(set_wallpaper_from_picture(empty, 1, kName));
    EXPECT_EQ(test::read_file(wallpaper_path()), QByteArray("an older wallpaper"));
    EXPECT_EQ(QDir(app_folder()).entryList(QDir::Files), QStringList{kName});

    // Neither can any box when the data folder cannot be made.
    PictureBox box;
    paint_pattern(box);
    const QString blocker = plain_file();
    {
        test::EnvGuard data_home("XDG_DATA_HOME", blocker + QStringLiteral("/data"));
        EXPECT_FALSE(set_wallpaper_from_picture(box, 1, kName));
    }
    EXPECT_FALSE(set_wallpaper_from_picture(box, 1, QString()));

    EXPECT_EQ(desktop_value("TileWallpaper"), QString());
    EXPECT_EQ(desktop_value("WallpaperStyle"), QString());
    EXPECT_TRUE(commands_.isEmpty());
}

TEST_F(WallpaperTest, UnwritableDesktopValuesStopBeforeTheDesktopIsTouched) {
    PictureBox box;
    paint_pattern(box);
    const QString blocker = plain_file();
    test::EnvGuard config_home("XDG_CONFIG_HOME", blocker + QStringLiteral("/config"));

    EXPECT_FALSE(set_wallpaper_from_picture(box, 1, kName));
    EXPECT_TRUE(QFile::exists(wallpaper_path()));
    EXPECT_TRUE(commands_.isEmpty());
}

TEST_F(WallpaperTest, GnomeSettingsOnlyWhereTheDesktopHasThem) {
    const QString path = home_.path() + QStringLiteral("/it's here.bmp");

    // No gsettings, or no GNOME background schema: only the question is asked.
    gnome_keys_ = std::nullopt;
    apply_wallpaper_file(path);
    EXPECT_EQ(commands_, QStringList{QStringLiteral("gsettings list-keys ") + kSchema});

    // An older GNOME without the dark-style picture, and no desktop values yet.
    commands_.clear();
    gnome_keys_ = QByteArray("picture-options\npicture-uri\n");
    apply_wallpaper_file(path);
    const QString uri = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    ASSERT_EQ(commands_.size(), 2);
    EXPECT_EQ(
        commands_.value(1),
        gnome_set("picture-uri", QString(uri).replace(QStringLiteral("'"), QStringLiteral("\\'"))));

    // A listing without the picture key, or no path at all: nothing is set.
    commands_.clear();
    gnome_keys_ = QByteArray("something-else\n");
    apply_wallpaper_file(path);
    apply_wallpaper_file(QString());
    EXPECT_EQ(commands_, QStringList{QStringLiteral("gsettings list-keys ") + kSchema});
}

TEST(WallpaperFileName, IsTheProgramNameAndSuffix) {
    EXPECT_EQ(wallpaper_file_name(), QStringLiteral("test_saver_wallpaper.bmp"));
}

}  // namespace
}  // namespace wm
