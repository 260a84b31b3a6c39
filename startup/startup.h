#pragma once
// The entry procedure: find the installation, set up the values every part
// of a run shares, load the settings and enter the mode the switch selects.

#include "startup/command_line.h"
#include "startup/host_options.h"
#include "startup/saver_settings.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace wm {

class SettingsStore;

// The title of the full-screen saver window, searched for across processes.
inline const QString kSaverWindowTitle = QStringLiteral("Screen Saver Main Form");

inline const QString kInstallPathError =
    QStringLiteral("Install path error! Please uninstall, then Reinstall this program!");

// Values set once at start-up and shared by the whole run.
struct RunValues {
    QString install_path;    // ends in the path separator; the pack is install_path + "images"
    QString picture_folder;  // last folder browsed for pictures
    QString music_folder;    // last folder browsed for music
    QString picker_folder;   // the folder picker's current folder
    std::int16_t twips_per_pixel_x = 15;
    std::int16_t twips_per_pixel_y = 15;
    std::int32_t host_window = 0;  // the window number after /P or /A
    bool config_preview = false;   // true while a configuration window runs a test
};

// Everything start-up hands to the mode it enters; it lives for the process.
struct RunState {
    RunValues run;
    SaverSettings settings;
};

// Twips per pixel for a logical resolution (1440 twips to the inch), rounded
// half to even; 15 at 96 dots per inch. An unusable resolution counts as 96.
std::int16_t twips_per_pixel(double logical_dpi);

// What each mode does. The program opens its windows; tests record the calls.
// Each returns the process's exit status once the mode has ended.
class ModeHost {
  public:
    virtual ~ModeHost() = default;
    virtual bool saver_window_exists(const QString& title) = 0;
    virtual int open_configuration(RunState& state) = 0;
    virtual int open_saver(RunState& state) = 0;
    virtual int load_preview(RunState& state) = 0;
    virtual int change_password(RunState& state) = 0;
    virtual int open_pack_builder(RunState& state) = 0;
    // The saver inside the screen-saver host's X11 window `host.window`.
    virtual int open_hosted_saver(RunState& state, const HostOptions& host) = 0;
};

// Exit status when "install_path" is missing.
inline constexpr int kExitInstallPathError = 1;

struct ScreenResolution {
    double dpi_x = 96.0;
    double dpi_y = 96.0;
};

// Runs start-up for a command line and returns the exit status. `state`
// receives the run's values and settings (it must outlive any window).
int run_startup(const QString& command_line, const SettingsStore& store, ScreenResolution screen,
                ModeHost& host, RunState& state);

// Start-up for a Linux screen-saver host's command line (a "hack" run): the
// same values and settings as run_startup, the options given overriding the
// stored settings for this run only, then the saver in the host's window.
// A missing "install_path" ends it as in run_startup.
int run_hack_startup(const HostOptions& options, const SettingsStore& store,
                     ScreenResolution screen, ModeHost& host, RunState& state);

}  // namespace wm
