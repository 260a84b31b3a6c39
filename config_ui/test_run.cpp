#include "config_ui/test_run.h"

#include "platform/qt_engine_host.h"
#include "platform/saver_system.h"
#include "platform/settings_store.h"
#include "saver/saver_window.h"
#include "startup/startup.h"

#include <cstdio>
#include <cstdlib>

namespace wm {

void DesktopTestRun::run(RunState& state) {
    QtEngineHost host;
    LinuxSaverSystem system;
    SaverWindow window(state, system, host, {}, audio_);
    // The configuration windows below wait for it, as for any modal window.
    window.setWindowModality(Qt::ApplicationModal);
    const int status = window.run();
    if (window.stop_signal() != 0) {
        // A signal meant for the whole program (a host or the session stopping
        // it, Ctrl-C in a terminal) ends configuration mode too, now that the
        // saver has cleaned up. The settings were saved before the run (or the
        // user was told they could not be); configuration mode holds nothing
        // else that a signal would otherwise have saved.
        std::fflush(nullptr);
        std::_Exit(status);
    }
}

void start_test_run(RunState& state, SettingsStore& store, SaverTestRun& runner) {
    RunState test{state.run, state.settings};
    if (save_settings(state.settings, store)) {
        // What a real run would read: the store, with its ranges applied.
        test.settings = load_settings(store);
    }
    test.run.config_preview = true;
    runner.run(test);
}

}  // namespace wm
