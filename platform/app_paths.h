#pragma once
// Where the program keeps its files on this desktop, and the folder-path
// conventions every subsystem shares.

#include <QString>
#include <QStringList>

namespace wm {

// The application's name in the settings store and in its folders.
inline const QString kApplicationName = QStringLiteral("Quillory Wintermere");

// The folder separator of this platform; folder paths always end with it.
inline constexpr QChar kPathSeparator = QLatin1Char('/');

// The path with one separator at its end (an empty path stays empty).
QString with_trailing_separator(const QString& folder);

// The per-user settings folder: $XDG_CONFIG_HOME (or ~/.config) + application name.
QString user_config_folder();

// The system-wide settings folder a system install writes:
// /etc/xdg + application name.
QString default_system_config_folder();

// The system-wide settings folders, in order of preference: each entry of
// $XDG_CONFIG_DIRS (or /etc/xdg) + application name.
QStringList system_config_folders();

// The per-user data folder that persists between runs ($XDG_DATA_HOME or
// ~/.local/share, + application name), created when missing. This is where the
// wallpaper bitmap is kept. Empty when it cannot be created.
QString windows_folder();

}  // namespace wm
