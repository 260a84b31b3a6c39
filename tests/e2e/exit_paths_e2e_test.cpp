// Every way a running saver is told to stop from outside: the signals a
// host, a terminal or a closing session sends, and the X server going away.
// Each must end the run promptly through its own shutdown, remove the run's
// private temporary folder with the pack members in it, and end with a
// status that says what happened.

#include "platform/termination_signals.h"
#include "tests/e2e/e2e_support.h"
#include "tests/e2e/saver_e2e_fixture.h"
#include "tests/e2e/saver_process.h"
#include "tests/support/test_support.h"

#include <QImage>

#include <csignal>

#include <gtest/gtest.h>

namespace wm::e2e {
namespace {

class ExitPathsE2eTest : public SaverE2eTest {
  protected:
    // Runs with music and birds, so that they have temporary files and a song
    // playing when they are stopped.
    void SetUp() override {
        SaverE2eTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(
            set_options({{QStringLiteral("mute_audio"), QStringLiteral("0")},
                         {QStringLiteral("objects_off"), QStringLiteral("0")}}));
        saver_.set_sound_driver(QStringLiteral("disk"), sound_file());
    }

    void start_busy_run(SaverProcess& run) {
        QImage shot;
        ASSERT_NO_FATAL_FAILURE(start_saver(run, &shot));
        ASSERT_TRUE(poll_until(kFirstSoundMs, [&] { return test::loud_samples(sound_file()) > 0; }))
            << "no music: " << text(run.report());
        ASSERT_FALSE(own_run_files().isEmpty()) << "the running saver keeps its pack members";
    }

    // After the end: the run shut down in order (the watchdog that cuts a
    // hung shutdown short never had to act) and nothing of it is left.
    void expect_cleaned_up(SaverProcess& run) {
        EXPECT_FALSE(run.report().contains(QLatin1String(kShutdownCutShortText).trimmed()))
            << text(run.report());
        EXPECT_TRUE(own_run_files().isEmpty())
            << "left in XDG_RUNTIME_DIR: " << text(own_run_files().join(QStringLiteral(", ")))
            << "; " << text(run.report());
    }

    QString sound_file() const { return saver_.scratch_file(QStringLiteral("sound.raw")); }
};

TEST_F(ExitPathsE2eTest, EachStopSignalEndsTheRunAndCleansUp) {
    struct Case {
        int signal_number;
        const char* name;
        int status;
    };
    // A host's SIGTERM and a terminal's Ctrl-C are the normal ways to stop
    // a saver; a hang-up or a quit request says that the session went away.
    for (const Case& c :
         {Case{SIGTERM, "SIGTERM", 0}, Case{SIGINT, "SIGINT", 0},
          Case{SIGHUP, "SIGHUP", 128 + SIGHUP}, Case{SIGQUIT, "SIGQUIT", 128 + SIGQUIT}}) {
        SCOPED_TRACE(c.name);
        SaverProcess run(saver_, display_);
        ASSERT_NO_FATAL_FAILURE(start_busy_run(run));
        run.send_signal(c.signal_number);
        ASSERT_TRUE(run.wait_for_end(kEndMs))
            << c.name << " did not end the saver within " << kEndMs / 1000 << " s";
        EXPECT_EQ(run.exit_status(), c.status) << text(run.report());
        expect_cleaned_up(run);
    }
}

TEST_F(ExitPathsE2eTest, LosingTheDisplayEndsTheRunAndCleansUp) {
    SaverProcess run(saver_, display_);
    ASSERT_NO_FATAL_FAILURE(start_busy_run(run));
    display_.stop();
    ASSERT_TRUE(run.wait_for_end(kEndMs))
        << "the saver went on without its display: " << text(run.report());
    EXPECT_EQ(run.exit_status(), 1) << text(run.report());
    expect_cleaned_up(run);
}

}  // namespace
}  // namespace wm::e2e
