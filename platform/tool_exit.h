#pragma once
// What the command-line tools share: their exit statuses and how they report.

#include <QString>

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

}  // namespace wm
