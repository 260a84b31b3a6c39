// wintermere-register-install: the installer's step that records where the
// program's data folder is ("install_path" in section "Config"). The program
// itself only ever reads that value.
//
//   wintermere-register-install system DATA_FOLDER [DESTDIR]
//       writes the system-wide settings file (below DESTDIR when given)
//   wintermere-register-install user DATA_FOLDER
//       writes the installing user's own settings file
//
// Every other key in the file is kept.

#include "platform/app_paths.h"
#include "platform/settings_store.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    const bool system = !args.isEmpty() && args[0] == QLatin1String("system");
    const bool user = !args.isEmpty() && args[0] == QLatin1String("user");
    if ((!system && !user) || args.size() < 2 || args.size() > 3 || (user && args.size() != 2) ||
        !QDir::isAbsolutePath(args[1])) {
        std::fprintf(stderr,
                     "usage: wintermere-register-install system DATA_FOLDER [DESTDIR]\n"
                     "       wintermere-register-install user DATA_FOLDER\n"
                     "DATA_FOLDER must be an absolute path\n");
        return 2;
    }
    const QString data_folder = wm::with_trailing_separator(QDir::cleanPath(args[1]));
    QString file;
    if (system) {
        const QString destdir = args.size() == 3 ? args[2] : QString();
        file = QDir::cleanPath(destdir + wm::default_system_config_folder()) +
               QStringLiteral("/settings.ini");
    } else {
        file = wm::user_config_folder() + QStringLiteral("settings.ini");
    }
    wm::IniSettingsStore store(file, {});
    QString error;
    if (!store.write(QStringLiteral("Config"), {{QStringLiteral("install_path"), data_folder}},
                     &error)) {
        std::fprintf(stderr, "wintermere-register-install: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("-- Recorded install_path %s in %s\n", qPrintable(data_folder), qPrintable(file));
    return 0;
}
