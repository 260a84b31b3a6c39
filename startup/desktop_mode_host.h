#pragma once
// The modes as this build of the program runs them on the desktop.

#include "startup/startup.h"

namespace wm {

// Exit status of a mode whose window this build does not have.
inline constexpr int kExitModeNotAvailable = 2;

class DesktopModeHost : public ModeHost {
  public:
    bool saver_window_exists(const QString& title) override;
    int open_configuration(RunState& state) override;
    int open_saver(RunState& state) override;
    int load_preview(RunState& state) override;
    int change_password(RunState& state) override;
    int open_pack_builder(RunState& state) override;
};

}  // namespace wm
