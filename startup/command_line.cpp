#include "startup/command_line.h"

#include "platform/rounding.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace wm {

QString command_line_text(const QStringList& arguments_after_program) {
    return arguments_after_program.join(QLatin1Char(' '));
}

QString switch_text(const QString& command_line) {
    const QString head = command_line.left(2).toUpper();
    return head.isEmpty() ? QStringLiteral("/C") : head;
}

Mode mode_of_switch(const QString& text) {
    if (text == QLatin1String("/C")) {
        return Mode::Configuration;
    }
    if (text == QLatin1String("/S")) {
        return Mode::Saver;
    }
    if (text == QLatin1String("/P")) {
        return Mode::Preview;
    }
    if (text == QLatin1String("/A")) {
        return Mode::ChangePassword;
    }
    if (text == QLatin1String("/M")) {
        return Mode::PackBuilder;
    }
    return Mode::Unknown;
}

std::int32_t parse_host_window(const QString& command_line) {
    // Gather the characters of the number, skipping blanks anywhere.
    std::string number;
    enum class Stage { Sign, Whole, Fraction, ExponentSign, Exponent } stage = Stage::Sign;
    const QString text = command_line.mid(2);
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == ' ' || u == '\t' || u == '\n') {
            continue;
        }
        const bool digit = u >= '0' && u <= '9';
        if (stage == Stage::Sign && (u == '+' || u == '-')) {
            number += static_cast<char>(u);
            stage = Stage::Whole;
        } else if ((stage == Stage::Sign || stage == Stage::Whole) && digit) {
            number += static_cast<char>(u);
            stage = Stage::Whole;
        } else if ((stage == Stage::Sign || stage == Stage::Whole) && u == '.') {
            number += '.';
            stage = Stage::Fraction;
        } else if (stage == Stage::Fraction && digit) {
            number += static_cast<char>(u);
        } else if ((stage == Stage::Whole || stage == Stage::Fraction) &&
                   (u == 'e' || u == 'E' || u == 'd' || u == 'D')) {
            number += 'e';
            stage = Stage::ExponentSign;
        } else if (stage == Stage::ExponentSign && (u == '+' || u == '-')) {
            number += static_cast<char>(u);
            stage = Stage::Exponent;
        } else if ((stage == Stage::ExponentSign || stage == Stage::Exponent) && digit) {
            number += static_cast<char>(u);
            stage = Stage::Exponent;
        } else {
            break;
        }
    }
    // from_chars reads the longest valid prefix ("12e" reads as 12; "-" alone
    // reads nothing and stays 0) and, unlike strtod, ignores the locale.
    if (!number.empty() && number.front() == '+') {
        number.erase(0, 1);
    }
    double value = 0.0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    const double rounded = round_half_even(value);
    if (!std::isfinite(rounded) || rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max()) {
        return 0;
    }
    return static_cast<std::int32_t>(rounded);
}

}  // namespace wm
