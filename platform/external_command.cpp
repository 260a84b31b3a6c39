#include "platform/external_command.h"

#include <QProcess>

namespace wm {
namespace {

CommandRunner& installed_runner() {
    static CommandRunner runner;
    return runner;
}

// The built-in runner: a child process with no input, whose error output is
// dropped so that a failing tool stays quiet.
std::optional<QByteArray> run_process(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(kCommandTimeoutMs)) {
        return std::nullopt;
    }
    if (!process.waitForFinished(kCommandTimeoutMs)) {
        process.kill();
        process.waitForFinished(kCommandTimeoutMs);
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        return std::nullopt;
    }
    return process.readAllStandardOutput();
}

}  // namespace

std::optional<QByteArray> run_command(const QString& program, const QStringList& arguments) {
    const CommandRunner& runner = installed_runner();
    return runner ? runner(program, arguments) : run_process(program, arguments);
}

CommandRunner set_command_runner(CommandRunner runner) {
    CommandRunner previous = std::move(installed_runner());
    installed_runner() = std::move(runner);
    return previous;
}

}  // namespace wm
