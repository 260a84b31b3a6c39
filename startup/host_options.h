#pragma once
// The command line of the Linux screen-saver hosts (XScreenSaver, MATE and
// xfce4-screensaver): the window to draw in and the options that override the
// stored settings for one run. A command line that is not of this kind is
// left to the Windows-style switches (/s, /c, /p N, /a N, /m).

#include "platform/tool_exit.h"
#include "startup/saver_settings.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace wm {

// What the host asked for. Only the options given override the settings.
struct HostOptions {
    std::uint32_t window = 0;  // the X window to draw in (never 0 for a hack run)
    // The window was named by --window-id, as XScreenSaver's settings dialog
    // names its preview area (its full-screen runs use $XSCREENSAVER_WINDOW).
    bool preview = false;
    std::optional<int> scene_duration;  // --scene-duration N (seconds)
    std::optional<int> frame_rate;      // --frame-rate N
    std::optional<int> birds;           // --birds N (0: no birds)
    std::optional<bool> captions;       // false with --no-captions
    std::optional<bool> clock;          // --clock / --no-clock
    std::optional<bool> fill_screen;    // --fill-screen / --framed
    std::optional<bool> mute;           // true with --mute
    QString frame_times;                // --frame-times FILE (a developer's diagnostic)
};

struct HostCommandLine {
    enum class Kind {
        Windows,  // a Windows-style switch: start-up reads it as before
        Hack,     // a host's command line, read into `options`
        Error,    // a host's command line that cannot be used: `error` says why
        Help,     // "--help" stands on a host's command line: show the usage
        Version,  // "--version" does (and "--help" does not): show the version
    };
    Kind kind = Kind::Windows;
    // For Kind::Hack everything the host gave; for Kind::Windows only
    // frame_times (from "--frame-times FILE" after the switch).
    HostOptions options;
    // One line without the program's name; the caller prints
    // "wintermere: <error>" and a pointer to --help on standard error and
    // exits with status 2.
    QString error;
};

// The exit status for a host's command line that cannot be used.
inline constexpr int kExitBadHostCommandLine = kExitUsage;

// The options take their values from these ranges.
inline constexpr IntRange kBirdsRange{0, kSpriteActiveRange.high};

// Reads the arguments after the program's name. `xscreensaver_window` is the
// value of $XSCREENSAVER_WINDOW (empty when it is not set); it names the
// window for --root unless --window-id names one.
//
// The line is a host's when its first argument starts with "--" or is one of
// the options below spelt with one dash. Options take one dash or two, and a
// value either as the next argument or after "=" ("--birds=5"). "--help" and
// "--version" (two dashes only, no value) win over everything else on a
// host's line, "--help" over "--version".
HostCommandLine parse_host_command_line(const QStringList& arguments_after_program,
                                        const QString& xscreensaver_window);

// An X window id: "0x" (or "0X") and hexadecimal digits, or decimal digits;
// 1 to 0xFFFFFFFF. Anything else, including surrounding blanks, gives nothing.
std::optional<std::uint32_t> parse_window_id(const QString& text);

// Writes the options given into `settings`; the others leave it as it is.
void apply_host_options(const HostOptions& options, SaverSettings& settings);

// The host options, one line each ("  --birds N   ...").
QString host_options_usage();

}  // namespace wm
