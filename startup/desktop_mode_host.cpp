#include "startup/desktop_mode_host.h"

#include "platform/host_password.h"
#include "platform/x11_windows.h"

#include <cstdio>

namespace wm {
namespace {

// A mode whose window has not been built says so and ends; it never pretends.
int not_available(const char* what) {
    std::fprintf(stderr, "wintermere: %s is not available in this build\n", what);
    return kExitModeNotAvailable;
}

}  // namespace

bool DesktopModeHost::saver_window_exists(const QString& title) {
    return wm::saver_window_exists(title);
}

int DesktopModeHost::open_configuration(RunState&) {
    return not_available("the configuration window (/c)");
}

int DesktopModeHost::open_saver(RunState&) {
    return not_available("the full-screen saver (/s)");
}

int DesktopModeHost::load_preview(RunState&) {
    return not_available("the preview (/p)");
}

int DesktopModeHost::change_password(RunState& state) {
    change_host_password(QStringLiteral("SCRSAVE"), state.run.host_window);
    return 0;
}

int DesktopModeHost::open_pack_builder(RunState&) {
    return not_available("the pack builder window (/m)");
}

}  // namespace wm
