#include "tests/e2e/installed_saver.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace wm::e2e {
namespace {

constexpr int kInstallMs = 60000;

// The prefix of a program installed beforehand; empty for the build's own copy.
QString installed_prefix() {
    return qEnvironmentVariable("WM_E2E_INSTALLED_PREFIX");
}

}  // namespace

InstalledSaver::InstalledSaver() {
    QDir().mkpath(user_home());
}

bool InstalledSaver::install(QString* error) {
    if (!installed_prefix().isEmpty()) {
        if (!QFileInfo(program()).isExecutable()) {
            *error = QStringLiteral("no program installed at ") + program();
            return false;
        }
        return true;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home_.config_home());
    env.insert(QStringLiteral("XDG_CONFIG_DIRS"), home_.system_config());
    env.insert(QStringLiteral("WM_INSTALL_SCOPE"), QStringLiteral("user"));
    env.remove(QStringLiteral("DESTDIR"));
    QProcess cmake;
    cmake.setProcessEnvironment(env);
    cmake.setProcessChannelMode(QProcess::MergedChannels);
    cmake.start(QStringLiteral(WM_CMAKE),
                {QStringLiteral("--install"), QStringLiteral(WM_BUILD_DIR),
                 QStringLiteral("--prefix"), prefix()});
    if (!cmake.waitForFinished(kInstallMs) || cmake.exitStatus() != QProcess::NormalExit ||
        cmake.exitCode() != 0) {
        *error = QStringLiteral("installing the build failed: ") +
                 QString::fromLocal8Bit(cmake.readAll());
        return false;
    }
    return true;
}

bool InstalledSaver::set_options(const SettingValues& values, QString* error) {
    IniSettingsStore store(config_folder() + QStringLiteral("settings.ini"), {});
    return store.write(QStringLiteral("Options"), values, error);
}

QString InstalledSaver::prefix() const {
    const QString installed = installed_prefix();
    return installed.isEmpty() ? home_.path() + QStringLiteral("/prefix") : installed;
}

QString InstalledSaver::program() const {
    return prefix() + QStringLiteral("/bin/wintermere");
}

QProcessEnvironment InstalledSaver::environment(const QString& display) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("HOME"), user_home());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home_.config_home());
    if (installed_prefix().isEmpty()) {
        env.insert(QStringLiteral("XDG_CONFIG_DIRS"), home_.system_config());
    } else {
        env.remove(QStringLiteral("XDG_CONFIG_DIRS"));  // the package's /etc/xdg
    }
    env.insert(QStringLiteral("XDG_DATA_HOME"), home_.data_home());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home_.runtime());
    // No desktop session to change and no sound out of a test.
    env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), sound_driver_);
    env.remove(QStringLiteral("SDL_DISKAUDIODELAY"));
    if (sound_file_.isEmpty()) {
        env.remove(QStringLiteral("SDL_DISKAUDIOFILE"));
    } else {
        env.insert(QStringLiteral("SDL_DISKAUDIOFILE"), sound_file_);
    }
    return env;
}

void InstalledSaver::set_sound_driver(const QString& driver, const QString& file) {
    sound_driver_ = driver;
    sound_file_ = file;
}

QString InstalledSaver::config_folder() const {
    return home_.config_home() + kPathSeparator + kApplicationName + kPathSeparator;
}

QString InstalledSaver::wallpaper_folder() const {
    return home_.data_home() + kPathSeparator + kApplicationName + kPathSeparator;
}

}  // namespace wm::e2e
