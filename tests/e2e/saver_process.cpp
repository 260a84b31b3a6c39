#include "tests/e2e/saver_process.h"

#include <csignal>

namespace wm::e2e {
namespace {

constexpr int kStartMs = 10000;
constexpr int kCleanupMs = 5000;

}  // namespace

SaverProcess::SaverProcess(const InstalledSaver& saver, const XDisplay& display) {
    process_.setProgram(saver.program());
    process_.setProcessEnvironment(saver.environment(display.name()));
    process_.setStandardOutputFile(QProcess::nullDevice());
}

SaverProcess::~SaverProcess() {
    if (running()) {
        process_.terminate();
        if (!process_.waitForFinished(kCleanupMs)) {
            process_.kill();
            process_.waitForFinished(kCleanupMs);
        }
    }
}

bool SaverProcess::start(const QStringList& args) {
    process_.setArguments(args);
    process_.start();
    return process_.waitForStarted(kStartMs);
}

bool SaverProcess::running() {
    if (process_.state() == QProcess::NotRunning) {
        return false;
    }
    process_.waitForFinished(0);
    return process_.state() != QProcess::NotRunning;
}

bool SaverProcess::wait_for_end(int ms) {
    return !running() || process_.waitForFinished(ms);
}

void SaverProcess::send_signal(int signal_number) {
    if (running()) {
        ::kill(static_cast<pid_t>(process_.processId()), signal_number);
    }
}

int SaverProcess::exit_status() {
    if (running() || process_.exitStatus() != QProcess::NormalExit) {
        return -1;
    }
    return process_.exitCode();
}

bool SaverProcess::ended_cleanly() {
    return !running() && process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
}

QString SaverProcess::report() {
    errors_ += QString::fromLocal8Bit(process_.readAllStandardError());
    QString how;
    if (running()) {
        how = QStringLiteral("still running");
    } else if (process_.exitStatus() == QProcess::CrashExit) {
        how = QStringLiteral("crashed");
    } else {
        how = QStringLiteral("ended with status %1").arg(process_.exitCode());
    }
    const QString said = errors_.trimmed();
    return QStringLiteral("wintermere %1 %2")
               .arg(process_.arguments().join(QLatin1Char(' ')), how) +
           (said.isEmpty() ? QString() : QStringLiteral("; it said: ") + said);
}

}  // namespace wm::e2e
