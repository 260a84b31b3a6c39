// wintermere: the screen saver's one executable. Windows-style hosts start
// it with a switch (/s, /c, /p N, /a N, /m); the Linux screen-saver hosts
// run it as a "hack" with --root or --window-id ID. See the README and
// wintermere(1).

#include "platform/messages.h"
#include "platform/settings_store.h"
#include "platform/tool_exit.h"
#include "platform/x11_windows.h"
#include "startup/desktop_mode_host.h"
#include "startup/host_options.h"
#include "startup/startup.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <QScreen>
#include <QtGlobal>

#include <fontconfig/fontconfig.h>

#include <clocale>
#include <memory>
#include <system_error>
#include <thread>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

constexpr char kProgram[] = "wintermere";

// The answer to --help: it fits a terminal, and the manual page says the rest.
QString help_text() {
    using wm::usage_line;
    return QStringLiteral(
               "usage: wintermere [/c | /s | /p N | /a N | /m]\n"
               "       wintermere --root | --window-id ID [OPTION]...\n"
               "       wintermere --help | --version\n"
               "Wintermere, a seasonal animated screen saver.\n"
               "\n"
               "Switches of the Windows-style hosts (the first two characters count, in any\n"
               "letter case; a line that is neither a switch nor a host's ends at once):\n") +
           usage_line(QStringLiteral("(nothing), /c"),
                      QStringLiteral("open the configuration window")) +
           usage_line(QStringLiteral("/s"), QStringLiteral("run the saver full screen")) +
           usage_line(QStringLiteral("/p N"),
                      QStringLiteral("show the still preview in the host's window N (decimal)")) +
           usage_line(QStringLiteral("/a N"),
                      QStringLiteral("change the password; ends at once (the locker owns it)")) +
           usage_line(QStringLiteral("/m"), QStringLiteral("open the pack builder")) +
           QStringLiteral(
               "\n"
               "Options of the Linux screen-saver hosts (XScreenSaver, MATE, xfce), for this\n"
               "run only; one dash or two, a value after a blank or \"=\":\n") +
           wm::host_options_usage() + QStringLiteral("\nWith two dashes only:\n") +
           usage_line(QStringLiteral("--help"), QStringLiteral("show this help and exit")) +
           usage_line(QStringLiteral("--version"), QStringLiteral("show the version and exit")) +
           QStringLiteral(
               "\n"
               "See wintermere(1) for the exit statuses, the files and the environment.\n");
}

// Reading the font configuration takes milliseconds that the first text
// drawn would wait for: it is read on a thread of its own while the
// application connects to the display, and is there when Qt first asks.
class FontConfigWarmUp {
  public:
    FontConfigWarmUp() {
        // The locale is set first, as the application sets it, so that the
        // two threads never touch it at once.
        std::setlocale(LC_ALL, "");
        try {
            thread_ = std::thread([] { FcInit(); });
        } catch (const std::system_error&) {
            // No thread to be had: Qt reads the configuration when it needs it.
        }
    }
    ~FontConfigWarmUp() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    FontConfigWarmUp(const FontConfigWarmUp&) = delete;
    FontConfigWarmUp& operator=(const FontConfigWarmUp&) = delete;

  private:
    std::thread thread_;
};

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
#if defined(__GLIBC__)
    // Every picture raster (a stage, a decoded photograph) is a block of
    // megabytes. glibc would raise its mmap threshold to the largest block
    // freed so far and then keep such blocks in the heap, resident long after
    // they are freed: a fixed threshold maps each one on its own and gives it
    // back to the system when it goes. It stays above the few hundred
    // kilobytes Qt's painter takes and frees on every frame, which the heap
    // hands out again without a trip to the system.
    mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
#endif
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const wm::HostCommandLine host_line =
        wm::parse_host_command_line(arguments, qEnvironmentVariable("XSCREENSAVER_WINDOW"));
    switch (host_line.kind) {
        case wm::HostCommandLine::Kind::Help:
            return wm::print_answer(kProgram, help_text());
        case wm::HostCommandLine::Kind::Version:
            return wm::print_version(kProgram);
        case wm::HostCommandLine::Kind::Error:
            return wm::print_option_error(kProgram, host_line.error);
        case wm::HostCommandLine::Kind::Windows:
        case wm::HostCommandLine::Kind::Hack:
            break;
    }
    const bool hack = host_line.kind == wm::HostCommandLine::Kind::Hack;
    const QString command_line = wm::command_line_text(arguments);
    const wm::Mode mode =
        hack ? wm::Mode::Unknown : wm::mode_of_switch(wm::switch_text(command_line));
    const bool in_host_window = hack || mode == wm::Mode::Preview;
    // Only the windows a user works in need the icon; looking it up in the
    // icon theme takes milliseconds the saver's start can do without.
    const bool user_windows = mode == wm::Mode::Configuration || mode == wm::Mode::PackBuilder;
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
        std::unique_ptr<QApplication> gui;
        {
            const FontConfigWarmUp fonts;
            gui = std::make_unique<QApplication>(argc, argv);
        }
        if (user_windows) {
            // The windows carry the installed icon, and the desktop matches
            // them to the settings' menu entry.
            QGuiApplication::setDesktopFileName(QStringLiteral("wintermere-settings"));
            QGuiApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("wintermere")));
        }
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
