#pragma once
// What the configuration windows work on: the run's values and settings,
// the store the settings are saved to, and how a test run is made; tests
// give their own drives, sound system and test run.

namespace wm {

class AudioBackend;
class SaverTestRun;
class SettingsStore;
class VolumeSource;
struct RunState;

struct ConfigurationContext {
    RunState& state;
    SettingsStore& store;
    SaverTestRun& test_run;
    const VolumeSource* volumes = nullptr;  // null: the machine's own drives
    AudioBackend* audio = nullptr;          // null: the program's sound device
};

}  // namespace wm
