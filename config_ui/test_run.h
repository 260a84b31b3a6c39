#pragma once
// The test run of the configuration windows: the full saver, as "/s" runs
// it with the settings just chosen, but in a window that is not kept on
// top, with the pointer visible and no password; any input ends it and the
// window that started it comes back.

#include <memory>

namespace wm {

class AudioBackend;
class SettingsStore;
struct RunState;

// Runs the saver once for a test; returns when input has ended it. A stop
// signal (SIGTERM, SIGINT, SIGHUP, SIGQUIT) during the run ends the whole
// program once the saver has cleaned up, with the saver's exit status.
class SaverTestRun {
  public:
    virtual ~SaverTestRun() = default;
    // `state.run.config_preview` is true while this runs.
    virtual void run(RunState& state) = 0;
};

// The saver on this desktop: its window, the system's pointer and the
// program's sound device (or `audio`, which must outlive the runs).
class DesktopTestRun : public SaverTestRun {
  public:
    explicit DesktopTestRun(AudioBackend* audio = nullptr) : audio_(audio) {}
    void run(RunState& state) override;

  private:
    AudioBackend* audio_;
};

// "&Preview": saves the settings, then runs the saver as a test with the
// settings as the store now holds them, exactly what "/s" would read. When
// they cannot be saved the user is told, and the test runs with the
// settings in memory. The run's values (folders, flags) are the caller's.
void start_test_run(RunState& state, SettingsStore& store, SaverTestRun& runner);

}  // namespace wm
