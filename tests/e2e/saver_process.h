#pragma once
// One run of the installed program on a virtual display, and what it said.

#include "tests/e2e/installed_saver.h"
#include "tests/e2e/x_display.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace wm::e2e {

class SaverProcess {
  public:
    SaverProcess(const InstalledSaver& saver, const XDisplay& display);
    // Ends a run that is still going, so no test leaves one behind.
    ~SaverProcess();
    SaverProcess(const SaverProcess&) = delete;
    SaverProcess& operator=(const SaverProcess&) = delete;

    // Starts the program with the arguments; false when it could not start.
    bool start(const QStringList& args);
    // Whether it still runs (asks the system: no event loop runs here).
    bool running();
    // Waits up to `ms` for the end; true when the program has ended.
    bool wait_for_end(int ms);
    // Sends SIGTERM, as a screen-saver host does to stop a saver.
    void terminate() { process_.terminate(); }

    // Sends a signal to the running program.
    void send_signal(int signal_number);
    // The process id while it runs (0 otherwise).
    qint64 pid() const { return process_.processId(); }

    // True when the program ended by itself with status 0.
    bool ended_cleanly();
    // The status it ended with by itself; -1 while it runs or when it crashed.
    int exit_status();
    // How the run ended and what it wrote on standard error, for messages.
    QString report();

  private:
    QProcess process_;
    QString errors_;
};

}  // namespace wm::e2e
