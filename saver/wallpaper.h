#pragma once
// The desktop wallpaper the saver can leave behind: a bitmap of a picture
// box's image in the per-user data folder, the desktop's wallpaper values
// for its layout, and the desktop's own wallpaper setting.

#include <QString>

#include <optional>

namespace wm {

class PictureBox;

// Layout codes of set_wallpaper_from_picture. The saver uses kStretched.
enum class WallpaperLayout : int { kCentred = 0, kStretched = 1, kTiled = 2 };

// The two desktop values written for a layout, under HKEY_CURRENT_USER
// "Control Panel\Desktop".
struct WallpaperValues {
    QString tile_wallpaper;   // "TileWallpaper"
    QString wallpaper_style;  // "WallpaperStyle"
};

// The values of a layout code; nullopt for a code that is not a layout.
std::optional<WallpaperValues> wallpaper_values(int layout);

// The wallpaper bitmap's file name: the executable's name without its
// extension, then "_wallpaper.bmp" ("wintermere_wallpaper.bmp").
QString wallpaper_file_name();

// Saves the box's image as a bitmap `name` in windows_folder(), writes the
// layout's two desktop values ("TileWallpaper" first; a code that is not a
// layout writes neither) and applies the file to the desktop. The bitmap is
// written to a temporary file that replaces the old one only when complete,
// so a failed save leaves the old file as it was. Every step runs only when
// the one before it succeeded; true when all of them did.
bool set_wallpaper_from_picture(const PictureBox& box, int layout, const QString& name);

// Makes the bitmap at `path` the desktop's wallpaper where the desktop offers
// a setting for it: GNOME's org.gnome.desktop.background, through gsettings
// (see external_command.h), with its picture option following the desktop
// values (tiled, stretched or centred). Elsewhere nothing happens. Quiet:
// failures are not reported.
void apply_wallpaper_file(const QString& path);

}  // namespace wm
