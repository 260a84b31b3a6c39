// Fuzzes the reading of the host's command line. The input is the arguments
// after the program's name, separated by NUL bytes, in UTF-8.
//
// Besides "no crash, no hang" it holds the reader to its rules: the switch is
// the first two characters upper-cased ("/C" for none) and picks the mode of
// that text; the window number depends on nothing before the third character,
// ignores blanks anywhere, and reads back any 32-bit number written after a
// switch. The same arguments as a Linux host's command line: one kind of
// answer, an error of one line, a window that is never 0 for a hack run, and
// option values within their ranges.

#include "fuzz/fuzz_support.h"
#include "startup/command_line.h"
#include "startup/host_options.h"

#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstring>

using wm::fuzz::check;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    wm::fuzz::quiet_output();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t length) {
    const QByteArray input = wm::fuzz::input_bytes(bytes, length);
    QStringList arguments;
    for (const QByteArray& part : input.split('\0')) {
        arguments << QString::fromUtf8(part);
    }
    const QString line = wm::command_line_text(arguments);
    check(line == arguments.join(QLatin1Char(' ')), "the command line is not its arguments joined");

    const QString switch_text = wm::switch_text(line);
    check(switch_text == (line.isEmpty() ? QStringLiteral("/C") : line.left(2).toUpper()),
          "the switch is not the first two characters upper-cased", switch_text);
    const wm::Mode mode = wm::mode_of_switch(switch_text);
    const QStringList switches{QStringLiteral("/C"), QStringLiteral("/S"), QStringLiteral("/P"),
                               QStringLiteral("/A"), QStringLiteral("/M")};
    check((mode == wm::Mode::Unknown) == !switches.contains(switch_text),
          "a switch picks the wrong kind of mode", switch_text);

    const std::int32_t window = wm::parse_host_window(line);
    const QString rest = line.mid(2);
    check(wm::parse_host_window(QStringLiteral("/x") + rest) == window,
          "the window number depends on the switch", line);
    QString spread;
    for (const QChar c : rest) {
        spread += c;
        spread += QLatin1Char(' ');
    }
    check(wm::parse_host_window(QStringLiteral("/p\t") + spread) == window,
          "blanks between the characters change the window number", line);

    // A number written after the switch reads as itself.
    std::int32_t number = 0;
    std::memcpy(&number, input.leftJustified(sizeof number, '\0').constData(), sizeof number);
    const QString written = QStringLiteral("/p ") + QString::number(number);
    check(wm::parse_host_window(written) == number, "a written window number reads otherwise",
          written);

    using Kind = wm::HostCommandLine::Kind;
    const wm::HostCommandLine host =
        wm::parse_host_command_line(arguments, arguments.value(0).mid(2));
    const bool host_like =
        !arguments.isEmpty() && arguments.first().startsWith(QLatin1String("--"));
    check(!host_like || host.kind != Kind::Windows, "a -- line was taken for a switch", line);
    if (host.kind == Kind::Error) {
        check(!host.error.isEmpty() && !host.error.contains(QLatin1Char('\n')),
              "a host line's error is not one line", host.error);
    } else if (host.kind == Kind::Hack) {
        const wm::HostOptions& o = host.options;
        check(o.window != 0, "a hack run without a window", line);
        const auto within = [](const std::optional<int>& value, wm::IntRange range) {
            return !value || (*value >= range.low && *value <= range.high);
        };
        check(within(o.scene_duration, wm::kSceneDurationRange) &&
                  within(o.frame_rate, wm::kFrameRateRange) && within(o.birds, wm::kBirdsRange),
              "an option value outside its range", line);
        wm::SaverSettings settings;
        wm::apply_host_options(o, settings);
        check(settings.sprite_active >= wm::kSpriteActiveRange.low &&
                  settings.sprite_active <= wm::kSpriteActiveRange.high,
              "the birds left their range", line);
    }
    return 0;
}
