#include "startup/desktop_mode_host.h"

#include "config_ui/configuration_dialog.h"
#include "config_ui/test_run.h"
#include "pack/pack_builder_dialog.h"
#include "platform/host_password.h"
#include "platform/qt_engine_host.h"
#include "platform/saver_system.h"
#include "platform/settings_store.h"
#include "platform/x11_windows.h"
#include "saver/saver_window.h"

#include <QApplication>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace wm {
namespace {

// A mode whose window has not been built says so and ends; it never pretends.
int not_available(const char* what) {
    std::fprintf(stderr, "wintermere: %s is not available in this build\n", what);
    return kExitModeNotAvailable;
}

// Windows need a display; without one the mode says so and ends.
bool has_display(const char* what) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
        return true;
    }
    std::fprintf(stderr, "wintermere: %s needs a display (none was found)\n", what);
    return false;
}

// A developer's diagnostic after the switch: "--frame-times FILE".
QString frame_times_file() {
    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype at = arguments.indexOf(QStringLiteral("--frame-times"));
    return at >= 0 && at + 1 < arguments.size() ? arguments.at(at + 1) : QString();
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

int DesktopModeHost::open_saver(RunState& state) {
    if (!has_display("the saver")) {
        return kExitModeNotAvailable;
    }
    QtEngineHost host;
    LinuxSaverSystem system;
    SaverWindow window(state, system, host, frame_times_file());
    return window.run();
}

int DesktopModeHost::load_preview(RunState&) {
    return not_available("the preview (/p)");
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
