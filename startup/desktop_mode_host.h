#pragma once
// The modes as this build of the program runs them on the desktop.

#include "startup/startup.h"

#include <QString>

#include <cstdint>
#include <utility>

namespace wm {

// The program's exit statuses:
//   0    the mode ended as it should: input ended the saver, or SIGTERM or
//        SIGINT stopped it (see termination_exit_status());
//   1    "install_path" is missing (kExitInstallPathError), or the display
//        went away under the saver (kExitDisplayLost, Qt's own status);
//   2    there is no display for the mode's window (kExitModeNotAvailable),
//        or a host's command line cannot be used (kExitBadHostCommandLine);
//   3    the host's window is not a window, or went away while the saver
//        or preview started (kExitNoHostWindow);
//   129  SIGHUP stopped the saver, 131 SIGQUIT (128 + the signal).
// A saver stopped by a signal cleans up as after a key, or, should its
// shutdown take longer than kShutdownGraceMs, is cut short after removing
// its temporary files, with the same status.

// Exit status of a mode that needs a display when there is none.
inline constexpr int kExitModeNotAvailable = 2;

class DesktopModeHost : public ModeHost {
  public:
    // `frame_times`: a developer's diagnostic, the file a saver run writes
    // its frames' start times to (none when empty).
    explicit DesktopModeHost(QString frame_times = {}) : frame_times_(std::move(frame_times)) {}

    bool saver_window_exists(const QString& title) override;
    int open_configuration(RunState& state) override;
    int open_saver(RunState& state) override;
    int load_preview(RunState& state) override;
    int change_password(RunState& state) override;
    int open_pack_builder(RunState& state) override;
    int open_hosted_saver(RunState& state, const HostOptions& host) override;

  private:
    QString frame_times_;
};

}  // namespace wm
