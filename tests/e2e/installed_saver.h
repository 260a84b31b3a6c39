#pragma once
// A private installed copy of the program: the build installed into a
// scratch prefix as a user installs it, with its own settings, data, run and
// home folders, so a test's runs touch nothing of the user's.
//
// With $WM_E2E_INSTALLED_PREFIX set (to "/usr" after installing the Debian
// package, say) the runs use the program installed there instead, with the
// system-wide settings that record its data folder, and nothing is installed.

#include "platform/app_paths.h"
#include "platform/settings_store.h"
#include "tests/support/test_support.h"

#include <QProcessEnvironment>
#include <QString>

namespace wm::e2e {

class InstalledSaver {
  public:
    InstalledSaver();

    // Installs the build into the scratch prefix (which records the data
    // folder in this copy's own settings). On failure *error says why.
    bool install(QString* error);
    // Writes values into the settings section "Options".
    bool set_options(const SettingValues& values, QString* error);

    QString program() const;
    // Runs play their music on SDL's sound driver `driver`: "dummy" (the
    // default) plays into nothing, "disk" writes the samples to `file` in real
    // time, an unknown name stands for a machine without a sound device.
    void set_sound_driver(const QString& driver, const QString& file = {});
    // The environment of a run on the given X display.
    QProcessEnvironment environment(const QString& display) const;

    // The folder of the settings and of the desktop values (registry.ini).
    QString config_folder() const;
    // Where the saved wallpaper bitmap goes.
    QString wallpaper_folder() const;
    // The base of every run's private temporary folder.
    QString runtime_folder() const { return home_.runtime(); }
    // A file in this copy's scratch folder, outside every folder it uses.
    QString scratch_file(const QString& name) const {
        return home_.path() + QLatin1Char('/') + name;
    }

  private:
    QString prefix() const;
    QString user_home() const { return home_.path() + QStringLiteral("/home"); }

    test::ScratchHome home_;
    QString sound_driver_ = QStringLiteral("dummy");
    QString sound_file_;
};

}  // namespace wm::e2e
