// wintermere: the screen saver's one executable. Windows-style hosts start
// it with a switch (/s, /c, /p N, /a N, /m); the Linux screen-saver hosts
// run it as a "hack" with --root or --window-id ID. See the README.

#include "platform/messages.h"
#include "platform/settings_store.h"
#include "platform/x11_windows.h"
#include "startup/desktop_mode_host.h"
#include "startup/host_options.h"
#include "startup/startup.h"

#include <QApplication>
#include <QCoreApplication>
#include <QScreen>
#include <QtGlobal>

#include <memory>

namespace {

// A graphical application needs a display; without one, messages go to
// standard error and the modes that need windows say they cannot run.
bool can_open_windows(bool x11_only) {
    if (!x11_only && (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ||
                      !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))) {
        return true;
    }
    return wm::x11_display_reachable();
}

}  // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const wm::HostCommandLine host_line =
        wm::parse_host_command_line(arguments, qEnvironmentVariable("XSCREENSAVER_WINDOW"));
    if (host_line.kind == wm::HostCommandLine::Kind::Error) {
        wm::print_error(host_line.error);
        return wm::kExitBadHostCommandLine;
    }
    const bool hack = host_line.kind == wm::HostCommandLine::Kind::Hack;
    const QString command_line = wm::command_line_text(arguments);
    const bool in_host_window =
        hack || wm::mode_of_switch(wm::switch_text(command_line)) == wm::Mode::Preview;
    if (in_host_window) {
        // The host's window is an X11 window, in a Wayland session too.
        qputenv("QT_QPA_PLATFORM", "xcb");
        // Nothing but the host's window may be drawn in: messages go to
        // standard error, never into a window of their own.
        wm::set_message_handler([](const wm::Message& message) { wm::print_error(message.text); });
    }

    std::unique_ptr<QCoreApplication> app;
    wm::ScreenResolution screen;
    if (can_open_windows(in_host_window)) {
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
    wm::DesktopModeHost host(host_line.options.frame_times);
    wm::RunState state;
    if (hack) {
        return wm::run_hack_startup(host_line.options, store, screen, host, state);
    }
    return wm::run_startup(command_line, store, screen, host, state);
}
