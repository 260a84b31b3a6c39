#pragma once
// What the tests of the configuration windows share: a run state with a
// settings store of its own in a scratch home, a test run that records
// what it was given, and the modal windows they open answered by title.

#include "config_ui/configuration_context.h"
#include "config_ui/test_run.h"
#include "platform/settings_store.h"
#include "startup/saver_settings.h"
#include "startup/startup.h"
#include "tests/support/fake_audio_backend.h"
#include "tests/support/fake_volumes.h"
#include "tests/support/test_support.h"
#include "tests/support/window_support.h"

#include <QString>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace wm::test {

// Records every test run: the settings it ran with, whether it ran as a
// test, and what the store held at that moment.
class RecordingTestRun : public SaverTestRun {
  public:
    explicit RecordingTestRun(const SettingsStore& store) : store_(store) {}
    void run(RunState& state) override {
        settings.push_back(state.settings);
        as_test.push_back(state.run.config_preview);
        stored_frame_rate.push_back(
            get_setting(store_, kOptionsSection, QStringLiteral("frame_rate"), QString()));
    }

    std::vector<SaverSettings> settings;
    std::vector<bool> as_test;
    std::vector<QString> stored_frame_rate;

  private:
    const SettingsStore& store_;
};

class ConfigurationTest : public testing::Test {
  protected:
    ConfigurationTest()
        : store(home.config_home() + QStringLiteral("/Quillory Wintermere/settings.ini"), {}) {
        state.run.install_path = home.path() + QStringLiteral("/");
        state.run.picture_folder = state.run.install_path;
        state.run.music_folder = state.run.install_path;
        state.run.picker_folder = state.run.install_path;
        volumes.set({{state.run.install_path, QStringLiteral("Scratch")}});
        state.settings.welcome = 0;
    }

    ConfigurationContext context() { return {state, store, test_run, &volumes, &audio}; }

    // The setting as the store now holds it.
    QString stored(const char* key) {
        const IniSettingsStore fresh(store.user_file(), {});
        return get_setting(fresh, kOptionsSection, QString::fromLatin1(key), QString());
    }

    ScratchHome home;
    IniSettingsStore store;
    RunState state;
    FakeVolumes volumes;
    FakeAudioBackend audio;  // no window opened here reaches a sound device
    RecordingTestRun test_run{store};
    MessageCapture messages;
};

}  // namespace wm::test
