#include "startup/startup.h"

#include "platform/app_paths.h"
#include "platform/messages.h"
#include "platform/rounding.h"
#include "platform/settings_store.h"

#include <cmath>
#include <limits>

namespace wm {

std::int16_t twips_per_pixel(double logical_dpi) {
    if (!std::isfinite(logical_dpi) || logical_dpi < 1.0) {
        logical_dpi = 96.0;
    }
    const double twips = round_half_even(1440.0 / logical_dpi);
    return static_cast<std::int16_t>(
        std::min(twips, double{std::numeric_limits<std::int16_t>::max()}));
}

namespace {

// The values every mode shares and the settings; false (after telling the
// user) when "install_path" is missing.
bool prepare_run(const SettingsStore& store, ScreenResolution screen, RunState& state) {
    state.run = RunValues{};  // config_preview starts False

    const QString install_path =
        get_setting(store, kConfigSection, QStringLiteral("install_path"), QString());
    if (install_path.isEmpty()) {
        show_message(kProductName, kInstallPathError, MessageIcon::None);
        return false;
    }
    state.run.install_path = with_trailing_separator(install_path);
    state.run.picture_folder = state.run.install_path;
    state.run.music_folder = state.run.install_path;
    state.run.picker_folder = state.run.install_path;
    state.run.twips_per_pixel_x = twips_per_pixel(screen.dpi_x);
    state.run.twips_per_pixel_y = twips_per_pixel(screen.dpi_y);

    state.settings = load_settings(store);
    return true;
}

}  // namespace

int run_startup(const QString& command_line, const SettingsStore& store, ScreenResolution screen,
                ModeHost& host, RunState& state) {
    if (!prepare_run(store, screen, state)) {
        return kExitInstallPathError;
    }
    switch (mode_of_switch(switch_text(command_line))) {
        case Mode::Configuration:
            // A window number after /C (as in /c:1234) is not used.
            return host.open_configuration(state);
        case Mode::Saver:
            if (host.saver_window_exists(kSaverWindowTitle)) {
                return 0;  // a saver already runs; this copy ends quietly
            }
            return host.open_saver(state);
        case Mode::Preview:
            state.run.host_window = parse_host_window(command_line);
            return host.load_preview(state);
        case Mode::ChangePassword:
            state.run.host_window = parse_host_window(command_line);
            return host.change_password(state);
        case Mode::PackBuilder:
            return host.open_pack_builder(state);
        case Mode::Unknown:
            break;
    }
    return 0;
}

int run_hack_startup(const HostOptions& options, const SettingsStore& store,
                     ScreenResolution screen, ModeHost& host, RunState& state) {
    if (!prepare_run(store, screen, state)) {
        return kExitInstallPathError;
    }
    apply_host_options(options, state.settings);
    return host.open_hosted_saver(state, options);
}

}  // namespace wm
