#include "saver/wallpaper.h"

#include "imaging/picture_box.h"
#include "platform/app_paths.h"
#include "platform/external_command.h"
#include "platform/registry.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUrl>

namespace wm {
namespace {

constexpr auto kCurrentUser = static_cast<std::uint32_t>(RootKey::CurrentUser);
const QString kTileWallpaper = QStringLiteral("TileWallpaper");
const QString kWallpaperStyle = QStringLiteral("WallpaperStyle");

const QString kGsettings = QStringLiteral("gsettings");
const QString kGnomeBackground = QStringLiteral("org.gnome.desktop.background");

// The image as a bitmap file, through a temporary file that takes the old
// file's place only once it is complete.
bool save_bitmap(const QImage& image, const QString& path) {
    if (image.isNull()) {
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (!image.save(&file, "BMP")) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

// GNOME's picture option for the desktop values as they stand: tiling wins
// over the style, as it does on the desktop the values come from.
std::optional<QString> gnome_picture_option() {
    const QString tile = read_registry_string(kCurrentUser, kDesktopKeyPath, kTileWallpaper);
    const QString style = read_registry_string(kCurrentUser, kDesktopKeyPath, kWallpaperStyle);
    if (tile == QLatin1String("1")) {
        return QStringLiteral("wallpaper");
    }
    if (style == QLatin1String("2")) {
        return QStringLiteral("stretched");
    }
    if (style == QLatin1String("0")) {
        return QStringLiteral("centered");
    }
    return std::nullopt;
}

// A text as a GVariant string literal, the form gsettings reads values in.
QString gvariant_string(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    escaped.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

void set_gnome_value(const QString& key, const QString& value) {
    run_command(kGsettings, {QStringLiteral("set"), kGnomeBackground, key, gvariant_string(value)});
}

}  // namespace

std::optional<WallpaperValues> wallpaper_values(int layout) {
    switch (layout) {
        case static_cast<int>(WallpaperLayout::kCentred):
            return WallpaperValues{QStringLiteral("0"), QStringLiteral("0")};
        case static_cast<int>(WallpaperLayout::kStretched):
            return WallpaperValues{QStringLiteral("0"), QStringLiteral("2")};
        case static_cast<int>(WallpaperLayout::kTiled):
            return WallpaperValues{QStringLiteral("1"), QStringLiteral("0")};
        default:
            return std::nullopt;
    }
}

QString wallpaper_file_name() {
    QString program;
    if (QCoreApplication::instance() != nullptr) {
        program = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    }
    if (program.isEmpty()) {
        program = QStringLiteral("wintermere");
    }
    return program + QStringLiteral("_wallpaper.bmp");
}

bool set_wallpaper_from_picture(const PictureBox& box, int layout, const QString& name) {
    const QString folder = windows_folder();
    if (folder.isEmpty() || name.isEmpty()) {
        return false;
    }
    const QString path = folder + name;
    if (!save_bitmap(box.Image(), path)) {
        return false;
    }
    if (const std::optional<WallpaperValues> values = wallpaper_values(layout)) {
        if (!write_registry_string(kCurrentUser, kDesktopKeyPath, kTileWallpaper,
                                   values->tile_wallpaper) ||
            !write_registry_string(kCurrentUser, kDesktopKeyPath, kWallpaperStyle,
                                   values->wallpaper_style)) {
            return false;
        }
    }
    // The desktop repaints in a process of its own, so nothing here waits
    // for events to run.
    apply_wallpaper_file(path);
    return true;
}

void apply_wallpaper_file(const QString& path) {
    if (path.isEmpty()) {
        return;
    }
    // Listing the keys fails when gsettings or the schema is missing, and
    // tells which keys this GNOME has (the dark-style picture is newer).
    const std::optional<QByteArray> listed =
        run_command(kGsettings, {QStringLiteral("list-keys"), kGnomeBackground});
    if (!listed) {
        return;
    }
    const QStringList keys = QString::fromUtf8(*listed).split(
        QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (!keys.contains(QStringLiteral("picture-uri"))) {
        return;
    }
    const QString uri =
        QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded);
    set_gnome_value(QStringLiteral("picture-uri"), uri);
    if (keys.contains(QStringLiteral("picture-uri-dark"))) {
        set_gnome_value(QStringLiteral("picture-uri-dark"), uri);
    }
    if (const std::optional<QString> option = gnome_picture_option();
        option && keys.contains(QStringLiteral("picture-options"))) {
        set_gnome_value(QStringLiteral("picture-options"), *option);
    }
}

}  // namespace wm
