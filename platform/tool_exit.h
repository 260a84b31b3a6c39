#pragma once
// What the command-line tools and the program share: their exit statuses,
// how they report, and their answers to --help and --version.

#include "platform/version.h"

#include <QByteArray>
#include <QChar>
#include <QLatin1String>
#include <QString>
#include <QtGlobal>

#include <cerrno>
#include <cstddef>
#include <cstdio>

namespace wm {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // the work failed
inline constexpr int kExitUsage = 2;    // wrong arguments

// Prints "tool: text" as one line on standard error.
inline void print_tool_error(const char* tool, const QString& text) {
    std::fprintf(stderr, "%s: %s\n", tool, text.toLocal8Bit().constData());
}

// Prints the usage lines on standard error; the status for wrong arguments.
inline int print_usage(const char* lines) {
    std::fputs(lines, stderr);
    return kExitUsage;
}

// A line of a usage listing: the indented entry ("--birds N", "/p N",
// "list DIR"), then its help from a fixed column.
inline QString usage_line(const QString& entry, const QString& help) {
    constexpr qsizetype kColumn = 24;
    return (QStringLiteral("  ") + entry).leftJustified(kColumn - 1) + QLatin1Char(' ') + help +
           QLatin1Char('\n');
}

// Text the user passed, fit to quote in a one-line error: line breaks, tabs
// and other control characters are written as escapes ("\n", "\t", "\x1b").
inline QString one_line(const QString& text) {
    QString line;
    for (const QChar c : text) {
        if (c == QLatin1Char('\n')) {
            line += QLatin1String("\\n");
        } else if (c == QLatin1Char('\t')) {
            line += QLatin1String("\\t");
        } else if (c.category() == QChar::Other_Control) {
            line += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        } else {
            line += c;
        }
    }
    return line;
}

// Prints "tool: error" and, on a line of its own, where the options are
// explained; the status for wrong arguments. `error` is one line.
inline int print_option_error(const char* tool, const QString& error) {
    print_tool_error(tool, error);
    std::fprintf(stderr, "Try \"%s --help\" for the options.\n", tool);
    return kExitUsage;
}

// Writes `text` (the answer to --help, say) on standard output: the status of
// a request that was met, or of a failure (said on standard error) when the
// output could not take it.
inline int print_answer(const char* tool, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    errno = 0;
    const bool written = std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()),
                                     stdout) == static_cast<std::size_t>(bytes.size()) &&
                         std::fflush(stdout) == 0;
    if (!written) {
        const int error = errno;
        print_tool_error(
            tool, QStringLiteral("cannot write to standard output: %1")
                      .arg(error != 0 ? qt_error_string(error) : QStringLiteral("write error")));
        return kExitFailure;
    }
    return kExitSuccess;
}

// --version: "tool major.minor.revision" on standard output.
inline int print_version(const char* tool) {
    return print_answer(
        tool, QStringLiteral("%1 %2\n").arg(QLatin1String(tool), QLatin1String(kVersionText)));
}

}  // namespace wm
