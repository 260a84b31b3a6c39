// The test run of the configuration windows with a real saver window on the
// virtual clock: it runs as a test with the settings as saved, input ends
// it, and one run after another works and leaves no temporary file.

#include "config_ui/test_run.h"

#include "platform/settings_store.h"
#include "saver/saver_window.h"
#include "tests/saver/saver_fixture.h"
#include "tests/support/fake_audio_backend.h"
#include "tests/support/fake_saver_system.h"

#include <QApplication>
#include <QDirIterator>
#include <QKeyEvent>

#include <gtest/gtest.h>

namespace wm {
namespace {

// A test run: the saver window on a virtual clock, ended by a key.
class VirtualTestRun : public SaverTestRun {
  public:
    void run(RunState& state) override {
        test::VirtualHost host(0);
        SaverWindow window(state, system, host, {}, &audio);
        // Long enough for the first song to start.
        host.at(5000, [&] {
            as_test.push_back(state.run.config_preview);
            frame_rates.push_back(state.settings.frame_rate);
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
            QApplication::sendEvent(&window, &key);
        });
        window.run();
        visible_after.push_back(window.isVisible());
        music_after.push_back(audio.playing);
    }

    test::FakeSaverSystem system;
    test::FakeAudioBackend audio;
    std::vector<bool> as_test;
    std::vector<int> frame_rates;
    std::vector<bool> visible_after;
    std::vector<bool> music_after;
};

class TestRunTest : public test::SaverRun {
  protected:
    IniSettingsStore store{home.config_home() + QStringLiteral("/Quillory Wintermere/settings.ini"),
                           {}};
    VirtualTestRun runner;
};

int files_below(const QString& folder) {
    int count = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        ++count;
    }
    return count;
}

TEST_F(TestRunTest, RunsTheSaverAsATestWithTheSavedSettingsOneRunAfterAnother) {
    state.settings.frame_rate = 100;  // beyond the range: the store brings it to 60
    state.settings.mute_audio = 0;
    start_test_run(state, store, runner);
    state.settings.frame_rate = 12;
    start_test_run(state, store, runner);
    EXPECT_EQ(runner.as_test, (std::vector<bool>{true, true}));
    EXPECT_EQ(runner.frame_rates, (std::vector<int>{60, 12}));
    EXPECT_EQ(runner.visible_after, (std::vector<bool>{false, false}));
    // Each run played its music and stopped it as it ended.
    EXPECT_GE(runner.audio.plays, 2);
    EXPECT_EQ(runner.music_after, (std::vector<bool>{false, false}));
    EXPECT_FALSE(state.run.config_preview);
    // A test run leaves the pointer and the system as they were.
    EXPECT_EQ(runner.system.cursor_count, 0);
    EXPECT_TRUE(runner.system.calls.isEmpty());
    EXPECT_EQ(files_below(home.runtime()), 0);
    EXPECT_EQ(get_setting(store, kOptionsSection, QStringLiteral("frame_rate"), {}),
              QStringLiteral("12"));
}

TEST_F(TestRunTest, SettingsThatCannotBeSavedStillRunAsChosen) {
    ASSERT_TRUE(test::write_file(home.path() + QStringLiteral("/blocked"), "x"));
    IniSettingsStore blocked(home.path() + QStringLiteral("/blocked/settings.ini"), {});
    state.settings.frame_rate = 14;
    start_test_run(state, blocked, runner);
    EXPECT_EQ(runner.frame_rates, std::vector<int>{14});
    EXPECT_EQ(messages.messages().size(), 1u);
}

}  // namespace
}  // namespace wm
