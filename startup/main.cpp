// wintermere: the screen saver's one executable. The screen-saver host starts
// it with a switch (/s, /c, /p N, /a N, /m); see the README.

#include "platform/settings_store.h"
#include "platform/x11_windows.h"
#include "startup/desktop_mode_host.h"
#include "startup/startup.h"

#include <QApplication>
#include <QCoreApplication>
#include <QScreen>
#include <QtGlobal>

#include <memory>

namespace {

// A graphical application needs a display; without one, messages go to
// standard error and the modes that need windows say they cannot run.
bool can_open_windows() {
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ||
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        return true;
    }
    return wm::x11_display_reachable();
}

}  // namespace

int main(int argc, char** argv) {
    std::unique_ptr<QCoreApplication> app;
    wm::ScreenResolution screen;
    if (can_open_windows()) {
        auto gui = std::make_unique<QApplication>(argc, argv);
        if (const QScreen* primary = QGuiApplication::primaryScreen()) {
            screen = {primary->logicalDotsPerInchX(), primary->logicalDotsPerInchY()};
        }
        app = std::move(gui);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("Wintermere"));

    const wm::IniSettingsStore store;
    wm::DesktopModeHost host;
    wm::RunState state;
    const QString command_line = wm::command_line_text(QCoreApplication::arguments().mid(1));
    return wm::run_startup(command_line, store, screen, host, state);
}
