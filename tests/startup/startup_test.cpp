#include "startup/startup.h"

#include "platform/settings_store.h"
#include "tests/support/test_support.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace wm {
namespace {

// Records which mode start-up entered and what it handed over.
class RecordingHost : public ModeHost {
  public:
    bool saver_window_exists(const QString& title) override {
        asked_title = title;
        return saver_already_running;
    }
    int open_configuration(RunState& state) override { return record("configuration", state); }
    int open_saver(RunState& state) override { return record("saver", state); }
    int load_preview(RunState& state) override { return record("preview", state); }
    int change_password(RunState& state) override { return record("password", state); }
    int open_pack_builder(RunState& state) override { return record("builder", state); }
    int open_hosted_saver(RunState& state, const HostOptions& host) override {
        hosted_window = host.window;
        settings = state.settings;
        return record("hosted", state);
    }

    bool saver_already_running = false;
    QString asked_title;
    QStringList calls;
    RunValues seen;
    std::uint32_t hosted_window = 0;
    SaverSettings settings;

  private:
    int record(const char* what, const RunState& state) {
        calls << QString::fromLatin1(what);
        seen = state.run;
        return 7;
    }
};

class StartupTest : public ::testing::Test {
  protected:
    void install_at(const QByteArray& path) {
        const QString file =
            home_.config_home() + QStringLiteral("/Quillory Wintermere/settings.ini");
        QDir().mkpath(QFileInfo(file).absolutePath());
        ASSERT_TRUE(test::write_file(
            file, "[Config]\ninstall_path=" + path + "\n[Options]\nframe_rate=45\n"));
    }
    int start(const char* line, ScreenResolution screen = {}) {
        const IniSettingsStore store;
        return run_startup(QString::fromLatin1(line), store, screen, host_, state_);
    }
    test::ScratchHome home_;
    RecordingHost host_;
    RunState state_;
};

TEST_F(StartupTest, EachSwitchEntersItsMode) {
    install_at("/opt/wintermere/");
    const std::pair<const char*, const char*> cases[] = {
        {"", "configuration"},  {"/c", "configuration"}, {"/c:1234", "configuration"},
        {"/s", "saver"},        {"/S", "saver"},         {"/Sxyz", "saver"},
        {"/p 1234", "preview"}, {"/a 5", "password"},    {"/m", "builder"},
    };
    for (const auto& [line, mode] : cases) {
        host_.calls.clear();
        EXPECT_EQ(start(line), 7) << line;
        EXPECT_EQ(host_.calls, QStringList{QString::fromLatin1(mode)}) << line;
    }
    for (const char* line : {"-s", "s", "/x", "//s"}) {
        host_.calls.clear();
        EXPECT_EQ(start(line), 0) << line;
        EXPECT_TRUE(host_.calls.isEmpty()) << line;
    }
}

TEST_F(StartupTest, TheWindowNumberReachesPreviewAndPasswordOnly) {
    install_at("/opt/wintermere/");
    start("/p 1234");
    EXPECT_EQ(host_.seen.host_window, 1234);
    start("/p");
    EXPECT_EQ(host_.seen.host_window, 0);
    start("/a 77");
    EXPECT_EQ(host_.seen.host_window, 77);
    start("/c:1234");
    EXPECT_EQ(host_.seen.host_window, 0);
    start("/p 99999999999");
    EXPECT_EQ(host_.seen.host_window, 0);
}

TEST_F(StartupTest, ASecondSaverEndsQuietly) {
    install_at("/opt/wintermere/");
    host_.saver_already_running = true;
    EXPECT_EQ(start("/s"), 0);
    EXPECT_TRUE(host_.calls.isEmpty());
    EXPECT_EQ(host_.asked_title, QStringLiteral("Screen Saver Main Form"));
}

TEST_F(StartupTest, PerRunValuesComeFromTheInstallPathAndTheScreen) {
    install_at("/opt/wintermere");
    start("/s", {120.0, 96.0});
    EXPECT_EQ(host_.seen.install_path, QStringLiteral("/opt/wintermere/"));
    EXPECT_EQ(host_.seen.picture_folder, QStringLiteral("/opt/wintermere/"));
    EXPECT_EQ(host_.seen.music_folder, QStringLiteral("/opt/wintermere/"));
    EXPECT_EQ(host_.seen.picker_folder, QStringLiteral("/opt/wintermere/"));
    EXPECT_EQ(host_.seen.twips_per_pixel_x, 12);
    EXPECT_EQ(host_.seen.twips_per_pixel_y, 15);
    EXPECT_FALSE(host_.seen.config_preview);
    EXPECT_EQ(state_.settings.frame_rate, 45);

    install_at("/opt/wintermere/");
    start("/s");
    EXPECT_EQ(host_.seen.install_path, QStringLiteral("/opt/wintermere/"));
}

TEST(TwipsPerPixel, RoundsHalfToEven) {
    EXPECT_EQ(twips_per_pixel(96.0), 15);
    EXPECT_EQ(twips_per_pixel(144.0), 10);
    EXPECT_EQ(twips_per_pixel(72.0), 20);
    EXPECT_EQ(twips_per_pixel(1440.0 / 14.5), 14);
    EXPECT_EQ(twips_per_pixel(1440.0 / 15.5), 16);
    EXPECT_EQ(twips_per_pixel(0.0), 15);
    EXPECT_EQ(twips_per_pixel(-3.0), 15);
}

TEST_F(StartupTest, AMissingInstallPathStopsEveryModeWithTheMessage) {
    for (const char* line : {"", "/c", "/s", "/p 1", "/a 1", "/m", "xyz"}) {
        test::MessageCapture messages;
        EXPECT_EQ(start(line), kExitInstallPathError) << line;
        ASSERT_EQ(messages.messages().size(), 1u) << line;
        EXPECT_EQ(messages.messages()[0].caption, QStringLiteral("Wintermere"));
        EXPECT_EQ(
            messages.messages()[0].text,
            QStringLiteral("Install path error! Please uninstall, then Reinstall this program!"));
    }
    EXPECT_TRUE(host_.calls.isEmpty());
    EXPECT_TRUE(host_.asked_title.isEmpty());
    // Nothing was written to the store.
    EXPECT_TRUE(QDir(home_.config_home()).isEmpty());

    install_at("");
    test::MessageCapture messages;
    EXPECT_EQ(start("/s"), kExitInstallPathError);
    EXPECT_EQ(messages.messages().size(), 1u);
}

TEST_F(StartupTest, AHostsRunTakesItsOptionsOverTheStoredSettingsForThatRunOnly) {
    install_at("/opt/wintermere");
    HostOptions options;
    options.window = 0x400007;
    options.birds = 0;
    options.mute = true;
    const IniSettingsStore store;
    EXPECT_EQ(run_hack_startup(options, store, {}, host_, state_), 7);
    EXPECT_EQ(host_.calls, QStringList{QStringLiteral("hosted")});
    EXPECT_EQ(host_.hosted_window, 0x400007u);
    EXPECT_EQ(host_.seen.install_path, QStringLiteral("/opt/wintermere/"));
    EXPECT_EQ(host_.settings.frame_rate, 45) << "the stored value, not given by the host";
    EXPECT_EQ(host_.settings.objects_off, 1);
    EXPECT_EQ(host_.settings.mute_audio, 1);
    EXPECT_EQ(load_settings(store).mute_audio, 0) << "nothing of the run was stored";
    EXPECT_TRUE(host_.asked_title.isEmpty()) << "a host's run never looks for another saver";
}

TEST_F(StartupTest, AHostsRunWithoutAnInstallPathStopsWithTheMessage) {
    test::MessageCapture messages;
    HostOptions options;
    options.window = 5;
    const IniSettingsStore store;
    EXPECT_EQ(run_hack_startup(options, store, {}, host_, state_), kExitInstallPathError);
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(host_.calls.isEmpty());
}

}  // namespace
}  // namespace wm
