#pragma once
// Short external commands (a desktop's settings tool, for instance), run to
// completion with a time limit so that the caller is never held up for long.
//
// Every command goes through run_command(), so tests can put a runner of their
// own in place and see exactly what would have been run.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace wm {

// How long a command may take to start, and then to finish, before it is
// given up (and killed).
inline constexpr int kCommandTimeoutMs = 2000;

// Runs `program` with `arguments`: its standard output when it started,
// finished in time and exited with status 0; nullopt otherwise.
using CommandRunner =
    std::function<std::optional<QByteArray>(const QString& program, const QStringList& arguments)>;

std::optional<QByteArray> run_command(const QString& program, const QStringList& arguments);

// Replaces the way commands are run; returns the runner that was in place
// (empty for the built-in one). Pass an empty runner to restore the default.
CommandRunner set_command_runner(CommandRunner runner);

}  // namespace wm
