// End to end, configuration mode: the installed program started without a
// switch on a virtual display of its own, driven with xdotool by keyboard
// and mouse as a user drives it; the settings file it leaves behind, and
// then the saver ("/s") showing the change.

#include "platform/settings_store.h"
#include "tests/e2e/e2e_support.h"
#include "tests/e2e/installed_saver.h"
#include "tests/e2e/saver_process.h"
#include "tests/e2e/screen_stats.h"
#include "tests/e2e/x_display.h"

#include <QDir>
#include <QImage>

#include <csignal>

#include <gtest/gtest.h>

namespace wm::e2e {
namespace {

const QSize kScreen(1280, 720);
const QString kConfigurationTitle = QStringLiteral("Wintermere - Configuration");
const QString kWelcomeTitle = QStringLiteral("Welcome To Wintermere");
const QString kSaverTitle = QStringLiteral("Screen Saver Main Form");
// Start-up runs under the sanitizers, maybe beside other tests on two cores.
constexpr int kWindowMs = 20000;
constexpr int kEndMs = 10000;

class ConfigurationE2eTest : public ::testing::Test {
  protected:
    ConfigurationE2eTest() : display_(kScreen) {}

    void SetUp() override {
        ASSERT_TRUE(display_.error().isEmpty()) << text(display_.error());
        QString error;
        ASSERT_TRUE(saver_.install(&error)) << text(error);
        ASSERT_TRUE(saver_.set_options({{QStringLiteral("mute_audio"), QStringLiteral("1")},
                                        {QStringLiteral("show_time"), QStringLiteral("0")},
                                        {QStringLiteral("objects_off"), QStringLiteral("1")},
                                        {QStringLiteral("scale_background"), QStringLiteral("1")},
                                        {QStringLiteral("welcome"), QStringLiteral("1")}},
                                       &error))
            << text(error);
    }

    // Waits until `count` windows have the title; gives their ids.
    QStringList wait_for_windows(const QString& title, int count, SaverProcess& run) {
        QStringList windows;
        const bool seen = poll_until(kWindowMs, [&] {
            windows = display_.windows_titled(title);
            return windows.size() == count || !run.running();
        });
        EXPECT_TRUE(seen && windows.size() == count)
            << count << " windows titled \"" << text(title) << "\" expected, " << windows.size()
            << " seen; " << text(run.report());
        return windows;
    }

    // Keys as a user presses them into the window. With no window manager
    // on the display to hand the keyboard to the window a user turns to, the
    // test does that itself.
    void keys(const QString& window, const QStringList& keys) {
        ASSERT_TRUE(display_.xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"),
                                      window, QStringLiteral("5"), QStringLiteral("5")}));
        ASSERT_TRUE(
            display_.xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window}));
        for (const QString& key : keys) {
            ASSERT_TRUE(display_.xdotool({QStringLiteral("key"), key})) << text(key);
        }
    }

    QString stored(const char* key) const {
        const IniSettingsStore store(saver_.config_folder() + QStringLiteral("settings.ini"), {});
        return get_setting(store, QStringLiteral("Options"), QString::fromLatin1(key), {});
    }

    XDisplay display_;
    InstalledSaver saver_;
};

TEST_F(ConfigurationE2eTest, AnOptionChangedByKeyboardAndMouseIsSavedAndTheSaverShowsIt) {
    SaverProcess config(saver_, display_);
    ASSERT_TRUE(config.start({})) << text(config.report());

    // The welcome window greets first; Enter continues.
    const QStringList welcome = wait_for_windows(kWelcomeTitle, 1, config);
    ASSERT_EQ(welcome.size(), 1);
    ASSERT_NO_FATAL_FAILURE(keys(welcome.first(), {QStringLiteral("Return")}));
    ASSERT_TRUE(
        poll_until(kWindowMs, [&] { return display_.windows_titled(kWelcomeTitle).isEmpty(); }));
    const QStringList configuration = wait_for_windows(kConfigurationTitle, 1, config);
    ASSERT_EQ(configuration.size(), 1);

    // "More &Options" by its access key.
    ASSERT_NO_FATAL_FAILURE(keys(configuration.first(), {QStringLiteral("alt+o")}));
    const QStringList both = wait_for_windows(kConfigurationTitle, 2, config);
    ASSERT_EQ(both.size(), 2);
    const QString options = both.at(0) == configuration.first() ? both.at(1) : both.at(0);

    // "&Device Types" opens its window and Escape closes it; the keyboard is
    // back where the window opened it, on the first option, and nine steps
    // on is "Scale Images To Full Screen", which the space bar unticks.
    ASSERT_NO_FATAL_FAILURE(keys(options, {QStringLiteral("alt+d")}));
    const QStringList device_types =
        wait_for_windows(QStringLiteral("Audio Device Types"), 1, config);
    ASSERT_EQ(device_types.size(), 1);
    ASSERT_NO_FATAL_FAILURE(keys(device_types.first(), {QStringLiteral("Escape")}));
    ASSERT_TRUE(poll_until(kWindowMs, [&] {
        return display_.windows_titled(QStringLiteral("Audio Device Types")).isEmpty();
    }));
    QStringList steps(9, QStringLiteral("Tab"));
    steps << QStringLiteral("space");
    ASSERT_NO_FATAL_FAILURE(keys(options, steps));

    // "&Ok" with the mouse: the button at the window's lower right corner.
    const QRect window = display_.window_geometry(options);
    ASSERT_FALSE(window.isEmpty());
    ASSERT_TRUE(display_.xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), options,
                                  QString::number(window.width() - 30),
                                  QString::number(window.height() - 24), QStringLiteral("click"),
                                  QStringLiteral("1")}));
    ASSERT_EQ(wait_for_windows(kConfigurationTitle, 1, config).size(), 1);
    EXPECT_EQ(stored("scale_background"), QStringLiteral("0"))
        << "the options window saves as it closes";

    // "&Preview", twice: each time the saver runs as a test until a key
    // ends it, and the configuration window is back.
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        ASSERT_NO_FATAL_FAILURE(keys(configuration.first(), {QStringLiteral("alt+p")}));
        const QStringList test_run = wait_for_windows(kSaverTitle, 1, config);
        ASSERT_EQ(test_run.size(), 1);
        // Input counts once the saver runs: when its first picture is up
        // beside where the configuration window stands.
        ASSERT_TRUE(poll_until(kWindowMs, [&] {
            const QImage screen = display_.screenshot();
            return !screen.isNull() && distinct_colours(screen, QRect(245, 150, 120, 420)) > 1000;
        })) << "the test run showed no picture";
        ASSERT_NO_FATAL_FAILURE(keys(test_run.first(), {QStringLiteral("space")}));
        ASSERT_TRUE(poll_until(kWindowMs, [&] {
            return display_.windows_titled(kSaverTitle).isEmpty();
        })) << "the test run did not end on a key";
        EXPECT_EQ(display_.windows_titled(kConfigurationTitle), configuration);
    }

    // "&Exit" ends configuration mode.
    ASSERT_NO_FATAL_FAILURE(keys(configuration.first(), {QStringLiteral("alt+e")}));
    ASSERT_TRUE(config.wait_for_end(kEndMs)) << "the configuration window did not end";
    EXPECT_TRUE(config.ended_cleanly()) << text(config.report());
    EXPECT_EQ(stored("scale_background"), QStringLiteral("0"));
    EXPECT_EQ(stored("welcome"), QStringLiteral("1"));

    // The saver now shows the 800 x 600 stage in the middle, black around it.
    SaverProcess saver(saver_, display_);
    ASSERT_TRUE(saver.start({QStringLiteral("/s")})) << text(saver.report());
    const QRect stage(240, 60, 800, 600);
    QImage shot;
    const bool shown = poll_until(kWindowMs, [&] {
        if (!saver.running() || display_.windows_titled(kSaverTitle).isEmpty()) {
            return !saver.running();
        }
        shot = display_.screenshot();
        return !shot.isNull() && distinct_colours(shot, stage) > 5000;
    });
    ASSERT_TRUE(shown && saver.running()) << text(saver.report());
    for (const QRect& outside : {QRect(0, 0, 1280, 48), QRect(0, 672, 1280, 48)}) {
        EXPECT_EQ(count_near(shot, outside, qRgb(0, 0, 0), 0), outside.width() * outside.height())
            << "not black: " << text(outside);
    }
    saver.terminate();
    EXPECT_TRUE(saver.wait_for_end(kEndMs));
}

TEST_F(ConfigurationE2eTest, ASignalDuringATestRunEndsConfigurationModeWithTheRunCleanedUp) {
    SaverProcess config(saver_, display_);
    ASSERT_TRUE(config.start({})) << text(config.report());
    const QStringList welcome = wait_for_windows(kWelcomeTitle, 1, config);
    ASSERT_EQ(welcome.size(), 1);
    ASSERT_NO_FATAL_FAILURE(keys(welcome.first(), {QStringLiteral("Return")}));
    const QStringList configuration = wait_for_windows(kConfigurationTitle, 1, config);
    ASSERT_EQ(configuration.size(), 1);
    ASSERT_NO_FATAL_FAILURE(keys(configuration.first(), {QStringLiteral("alt+p")}));
    ASSERT_EQ(wait_for_windows(kSaverTitle, 1, config).size(), 1);
    const QString runtime = saver_.runtime_folder();
    const auto run_folders = [&runtime] {
        return QDir(runtime).entryList({QStringLiteral("wintermere-*")},
                                       QDir::Dirs | QDir::NoDotAndDotDot);
    };
    ASSERT_TRUE(poll_until(kWindowMs, [&] { return !run_folders().isEmpty(); }))
        << "the test run keeps its pack members in a folder of its own";

    // A session going away hangs up on the program.
    config.send_signal(SIGHUP);
    ASSERT_TRUE(config.wait_for_end(kEndMs)) << "SIGHUP left configuration mode running";
    EXPECT_EQ(config.exit_status(), 128 + SIGHUP) << text(config.report());
    EXPECT_TRUE(run_folders().isEmpty()) << text(run_folders().join(QStringLiteral(", ")));
}

TEST_F(ConfigurationE2eTest, ThePackBuilderOpensAndTheProgramEndsWithIt) {
    SaverProcess builder(saver_, display_);
    ASSERT_TRUE(builder.start({QStringLiteral("/m")})) << text(builder.report());
    const QStringList window = wait_for_windows(QStringLiteral("Select A Graphic"), 1, builder);
    ASSERT_EQ(window.size(), 1);
    ASSERT_NO_FATAL_FAILURE(keys(window.first(), {QStringLiteral("Escape")}));
    ASSERT_TRUE(builder.wait_for_end(kEndMs)) << "the pack builder did not end with its window";
    EXPECT_TRUE(builder.ended_cleanly()) << text(builder.report());
}

}  // namespace
}  // namespace wm::e2e
