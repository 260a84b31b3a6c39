#include "startup/host_options.h"

#include "platform/tool_exit.h"

#include <algorithm>
#include <array>
#include <limits>

namespace wm {
namespace {

enum class Key {
    Root,
    WindowId,
    SceneDuration,
    FrameRate,
    Birds,
    NoCaptions,
    Clock,
    NoClock,
    FillScreen,
    Framed,
    Mute,
    FrameTimes,
};

enum class Takes { Nothing, Number, WindowId, Text };

struct OptionInfo {
    Key key;
    const char* name;  // without its dashes
    Takes takes;
    IntRange range;          // for Takes::Number
    const char* value_name;  // how the usage shows the value
    const char* help;        // "%1..%2" stands for the range
};

constexpr std::array<OptionInfo, 12> kOptions{{
    {Key::Root, "root", Takes::Nothing, {}, "", "draw in the window $XSCREENSAVER_WINDOW names"},
    {Key::WindowId,
     "window-id",
     Takes::WindowId,
     {},
     "ID",
     "draw in the X window ID (0x and hex, or decimal)"},
    {Key::SceneDuration, "scene-duration", Takes::Number, kSceneDurationRange, "N",
     "seconds each scene is shown (%1..%2)"},
    {Key::FrameRate, "frame-rate", Takes::Number, kFrameRateRange, "N",
     "frames per second (%1..%2)"},
    {Key::Birds, "birds", Takes::Number, kBirdsRange, "N",
     "birds in the scene, 0 for none (%1..%2)"},
    {Key::NoCaptions, "no-captions", Takes::Nothing, {}, "", "show no captions"},
    {Key::Clock, "clock", Takes::Nothing, {}, "", "show the time of day"},
    {Key::NoClock, "no-clock", Takes::Nothing, {}, "", "hide the time of day"},
    {Key::FillScreen, "fill-screen", Takes::Nothing, {}, "", "scale the scene to fill the screen"},
    {Key::Framed, "framed", Takes::Nothing, {}, "", "keep the 800 x 600 stage in its border"},
    {Key::Mute, "mute", Takes::Nothing, {}, "", "play no music"},
    {Key::FrameTimes,
     "frame-times",
     Takes::Text,
     {},
     "FILE",
     "(for developers) write each frame's start time to FILE"},
}};

const QString kWindowIdForms =
    QStringLiteral("a window id is 0x and hexadecimal digits, or decimal digits, and not 0");

const OptionInfo* find_option(const QString& name) {
    for (const OptionInfo& option : kOptions) {
        if (name == QLatin1String(option.name)) {
            return &option;
        }
    }
    return nullptr;
}

QString range_text(IntRange range) {
    return QStringLiteral("%1..%2").arg(range.low).arg(range.high);
}

// An option as written, split into its dashes, its name and an "=value".
struct Written {
    QString dashes;
    QString name;
    std::optional<QString> value;
};

// Nothing for a plain word, for "-" and for a lone "--".
std::optional<Written> split_option(const QString& argument) {
    const qsizetype dashes = argument.startsWith(QLatin1String("--")) ? 2
                             : argument.startsWith(QLatin1Char('-'))  ? 1
                                                                      : 0;
    if (dashes == 0 || argument.size() == dashes) {
        return std::nullopt;
    }
    Written written{argument.left(dashes), argument.mid(dashes), std::nullopt};
    const qsizetype equals = written.name.indexOf(QLatin1Char('='));
    if (equals >= 0) {
        written.value = written.name.mid(equals + 1);
        written.name.truncate(equals);
    }
    return written;
}

// One of our options, with one dash or two: a host's command line starts so.
bool is_our_option(const QString& argument) {
    const std::optional<Written> written = split_option(argument);
    return written && find_option(written->name) != nullptr;
}

// Optional sign and ASCII digits only; a value beyond int's range is held at
// its ends (it is outside every option's range either way).
std::optional<int> parse_whole(const QString& text) {
    qsizetype at = 0;
    bool negative = false;
    if (!text.isEmpty() && (text.front() == QLatin1Char('-') || text.front() == QLatin1Char('+'))) {
        negative = text.front() == QLatin1Char('-');
        at = 1;
    }
    if (at == text.size()) {
        return std::nullopt;
    }
    long long value = 0;
    constexpr long long kCap = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
    for (; at < text.size(); ++at) {
        const char16_t c = text.at(at).unicode();
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        value = std::min(value * 10 + (c - u'0'), kCap);
    }
    if (negative) {
        value = -value;
    }
    if (value > std::numeric_limits<int>::max()) {
        return std::numeric_limits<int>::max();
    }
    return static_cast<int>(std::max<long long>(value, std::numeric_limits<int>::min()));
}

void set_number(HostOptions& options, Key key, int value) {
    switch (key) {
        case Key::SceneDuration:
            options.scene_duration = value;
            break;
        case Key::FrameRate:
            options.frame_rate = value;
            break;
        case Key::Birds:
            options.birds = value;
            break;
        default:
            break;
    }
}

void set_flag(HostOptions& options, Key key, bool& root) {
    switch (key) {
        case Key::Root:
            root = true;
            break;
        case Key::NoCaptions:
            options.captions = false;
            break;
        case Key::Clock:
            options.clock = true;
            break;
        case Key::NoClock:
            options.clock = false;
            break;
        case Key::FillScreen:
            options.fill_screen = true;
            break;
        case Key::Framed:
            options.fill_screen = false;
            break;
        case Key::Mute:
            options.mute = true;
            break;
        default:
            break;
    }
}

// "--frame-times FILE" (or "--frame-times=FILE") after a Windows-style switch.
QString frame_times_after_switch(const QStringList& arguments) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--frame-times")) {
            return i + 1 < arguments.size() ? arguments.at(i + 1) : QString();
        }
        if (argument.startsWith(QLatin1String("--frame-times="))) {
            return argument.mid(QLatin1String("--frame-times=").size());
        }
    }
    return QString();
}

// The error as one printable line: what the host passed may hold line
// breaks and other control characters, which are written as escapes.
HostCommandLine failure(const QString& error) {
    HostCommandLine line;
    line.kind = HostCommandLine::Kind::Error;
    line.error = one_line(error);
    return line;
}

constexpr QLatin1String kHelp("--help");
constexpr QLatin1String kVersion("--version");

// What "--help" or "--version" among the arguments asks for, if either stands there.
std::optional<HostCommandLine::Kind> request_of(const QStringList& arguments) {
    if (arguments.contains(kHelp)) {
        return HostCommandLine::Kind::Help;
    }
    if (arguments.contains(kVersion)) {
        return HostCommandLine::Kind::Version;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::uint32_t> parse_window_id(const QString& text) {
    const bool hex = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    const QString digits = hex ? text.mid(2) : text;
    if (digits.isEmpty()) {
        return std::nullopt;
    }
    const unsigned base = hex ? 16 : 10;
    std::uint64_t value = 0;
    for (QChar c : digits) {
        const char16_t u = c.unicode();
        unsigned digit = 0;
        if (u >= u'0' && u <= u'9') {
            digit = u - u'0';
        } else if (hex && u >= u'a' && u <= u'f') {
            digit = u - u'a' + 10;
        } else if (hex && u >= u'A' && u <= u'F') {
            digit = u - u'A' + 10;
        } else {
            return std::nullopt;
        }
        value = value * base + digit;
        if (value > std::numeric_limits<std::uint32_t>::max()) {
            return std::nullopt;
        }
    }
    if (value == 0) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

HostCommandLine parse_host_command_line(const QStringList& arguments,
                                        const QString& xscreensaver_window) {
    if (arguments.isEmpty() ||
        !(arguments.front().startsWith(QLatin1String("--")) || is_our_option(arguments.front()))) {
        HostCommandLine windows;
        windows.options.frame_times = frame_times_after_switch(arguments);
        return windows;
    }

    if (const std::optional<HostCommandLine::Kind> request = request_of(arguments)) {
        HostCommandLine line;
        line.kind = *request;
        return line;
    }

    HostOptions options;
    bool root = false;
    std::optional<std::uint32_t> window_id;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const std::optional<Written> written = split_option(argument);
        if (!written) {
            return failure(QStringLiteral("unexpected argument \"%1\"").arg(argument));
        }
        const QString shown = written->dashes + written->name;
        if (shown == kHelp || shown == kVersion) {
            return failure(QStringLiteral("%1 takes no value").arg(shown));
        }
        const OptionInfo* option = find_option(written->name);
        if (option == nullptr) {
            return failure(QStringLiteral("unknown option \"%1\"").arg(shown));
        }
        if (option->takes == Takes::Nothing) {
            if (written->value) {
                return failure(QStringLiteral("%1 takes no value").arg(shown));
            }
            set_flag(options, option->key, root);
            continue;
        }

        // The value: after "=", else the next argument unless that is one of
        // our options (then the value was left out).
        QString value;
        if (written->value) {
            value = *written->value;
        } else if (i + 1 < arguments.size() && !is_our_option(arguments.at(i + 1))) {
            value = arguments.at(++i);
        }
        if (value.isEmpty()) {
            switch (option->takes) {
                case Takes::Number:
                    return failure(QStringLiteral("%1 needs a value (a whole number %2)")
                                       .arg(shown, range_text(option->range)));
                case Takes::WindowId:
                    return failure(
                        QStringLiteral("%1 needs a value (%2)").arg(shown, kWindowIdForms));
                default:
                    return failure(QStringLiteral("%1 needs a value (%2)")
                                       .arg(shown, QLatin1String(option->value_name)));
            }
        }

        switch (option->takes) {
            case Takes::Number: {
                const std::optional<int> number = parse_whole(value);
                if (!number) {
                    return failure(QStringLiteral("%1: \"%2\" is not a whole number (%3)")
                                       .arg(shown, value, range_text(option->range)));
                }
                if (*number < option->range.low || *number > option->range.high) {
                    return failure(QStringLiteral("%1: %2 is outside the range %3")
                                       .arg(shown, value, range_text(option->range)));
                }
                set_number(options, option->key, *number);
                break;
            }
            case Takes::WindowId:
                window_id = parse_window_id(value);
                if (!window_id) {
                    return failure(QStringLiteral("%1: \"%2\" is not a window id (%3)")
                                       .arg(shown, value, kWindowIdForms));
                }
                break;
            case Takes::Text:
                options.frame_times = value;
                break;
            case Takes::Nothing:
                break;
        }
    }

    if (window_id) {
        options.window = *window_id;
        options.preview = true;
    } else if (root) {
        if (xscreensaver_window.isEmpty()) {
            return failure(QStringLiteral(
                "--root draws in the window $XSCREENSAVER_WINDOW names, which the screen-saver "
                "host sets, but it is not set (give --window-id ID to name the window)"));
        }
        const std::optional<std::uint32_t> host_window = parse_window_id(xscreensaver_window);
        if (!host_window) {
            return failure(QStringLiteral("$XSCREENSAVER_WINDOW is \"%1\", not a window id (%2)")
                               .arg(xscreensaver_window, kWindowIdForms));
        }
        options.window = *host_window;
    } else {
        return failure(
            QStringLiteral("no window to draw in: give --root (the screen-saver host sets "
                           "$XSCREENSAVER_WINDOW) or --window-id ID"));
    }

    HostCommandLine line;
    line.kind = HostCommandLine::Kind::Hack;
    line.options = options;
    return line;
}

void apply_host_options(const HostOptions& options, SaverSettings& settings) {
    if (options.scene_duration) {
        settings.scene_duration = *options.scene_duration;
    }
    if (options.frame_rate) {
        settings.frame_rate = *options.frame_rate;
    }
    if (options.birds) {
        // No birds is its own setting; the number shown keeps what was stored.
        if (*options.birds == 0) {
            settings.objects_off = 1;
        } else {
            settings.objects_off = 0;
            settings.sprite_active = *options.birds;
        }
    }
    if (options.captions) {
        settings.captions_off = *options.captions ? 0 : 1;
    }
    if (options.clock) {
        settings.show_time = *options.clock ? 1 : 0;
    }
    if (options.fill_screen) {
        settings.scale_background = *options.fill_screen ? 1 : 0;
    }
    if (options.mute) {
        settings.mute_audio = *options.mute ? 1 : 0;
    }
}

QString host_options_usage() {
    QString usage;
    for (const OptionInfo& option : kOptions) {
        QString entry = QStringLiteral("--") + QLatin1String(option.name);
        if (option.takes != Takes::Nothing) {
            entry += QLatin1Char(' ') + QLatin1String(option.value_name);
        }
        QString help = QLatin1String(option.help);
        if (option.takes == Takes::Number) {
            help = help.arg(option.range.low).arg(option.range.high);
        }
        usage += usage_line(entry, help);
    }
    return usage;
}

}  // namespace wm
