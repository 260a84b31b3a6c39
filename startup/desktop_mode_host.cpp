#include "startup/desktop_mode_host.h"

#include "config_ui/configuration_dialog.h"
#include "config_ui/test_run.h"
#include "pack/pack_builder_dialog.h"
#include "platform/host_password.h"
#include "platform/messages.h"
#include "platform/qt_engine_host.h"
#include "platform/saver_system.h"
#include "platform/settings_store.h"
#include "platform/x11_windows.h"
#include "saver/saver_window.h"
#include "startup/still_preview.h"

#include <QApplication>
#include <QCoreApplication>
#include <QStringList>

namespace wm {
namespace {

// Windows need a display; without one the mode says so and ends.
bool has_display(const char* what) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
        return true;
    }
    print_error(QStringLiteral("%1 needs a display (none was found)").arg(QLatin1String(what)));
    return false;
}

}  // namespace

bool DesktopModeHost::saver_window_exists(const QString& title) {
    return wm::saver_window_exists(title);
}

int DesktopModeHost::open_configuration(RunState& state) {
    if (!has_display("the configuration window")) {
        return kExitModeNotAvailable;
    }
    IniSettingsStore store;
    DesktopTestRun test_run;
    ConfigurationDialog window({state, store, test_run});
    window.exec();
    return 0;
}

namespace {

int run_saver(RunState& state, const SaverRunOptions& options, const char* what) {
    if (!has_display(what)) {
        return kExitModeNotAvailable;
    }
    QtEngineHost host;
    LinuxSaverSystem system;
    SaverWindow window(state, system, host, options);
    return window.run();
}

}  // namespace

int DesktopModeHost::open_saver(RunState& state) {
    return run_saver(state, {frame_times_, 0, false}, "the saver");
}

int DesktopModeHost::open_hosted_saver(RunState& state, const HostOptions& host) {
    return run_saver(state, {frame_times_, host.window, host.preview},
                     "the saver in a host's window");
}

int DesktopModeHost::load_preview(RunState& state) {
    if (!has_display("the preview (/p)")) {
        return kExitModeNotAvailable;
    }
    return run_still_preview(state.run.host_window);
}

int DesktopModeHost::change_password(RunState& state) {
    change_host_password(QStringLiteral("SCRSAVE"), state.run.host_window);
    return 0;
}

int DesktopModeHost::open_pack_builder(RunState& state) {
    if (!has_display("the pack builder")) {
        return kExitModeNotAvailable;
    }
    PackBuilderDialog builder(state.run);
    builder.exec();
    return 0;
}

}  // namespace wm
