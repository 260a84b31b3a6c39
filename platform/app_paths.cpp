#include "platform/app_paths.h"

#include <QDir>
#include <QtGlobal>

namespace wm {
namespace {

// An XDG base-directory variable: used only when set to an absolute path.
QString xdg_folder(const char* variable, const QString& fallback_below_home) {
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value)) {
        return value;
    }
    return QDir::homePath() + kPathSeparator + fallback_below_home;
}

}  // namespace

QString with_trailing_separator(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(kPathSeparator)) {
        return folder;
    }
    return folder + kPathSeparator;
}

QString user_config_folder() {
    return with_trailing_separator(xdg_folder("XDG_CONFIG_HOME", QStringLiteral(".config"))) +
           kApplicationName + kPathSeparator;
}

QString default_system_config_folder() {
    return QStringLiteral("/etc/xdg/") + kApplicationName + kPathSeparator;
}

QStringList system_config_folders() {
    QStringList folders;
    const QString value = qEnvironmentVariable("XDG_CONFIG_DIRS");
    for (const QString& entry : value.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(entry)) {
            folders << with_trailing_separator(entry) + kApplicationName + kPathSeparator;
        }
    }
    if (folders.isEmpty()) {
        folders << default_system_config_folder();
    }
    return folders;
}

QString windows_folder() {
    const QString folder =
        with_trailing_separator(xdg_folder("XDG_DATA_HOME", QStringLiteral(".local/share"))) +
        kApplicationName + kPathSeparator;
    if (!QDir().mkpath(folder)) {
        return QString();
    }
    return folder;
}

}  // namespace wm
