// End-to-end tests of the full-screen saver, "wintermere /s": the installed
// program on a virtual display of its own (Xvfb, 1280 x 720, 24-bit), driven
// with xdotool as a user drives it and judged from screenshots (ImageMagick
// import) by pixel statistics.
//
// Every case installs the build into a scratch prefix (the install records
// the data folder in that copy's own settings, as a user install does) and
// keeps its settings, data, run and home folders private, so nothing of the
// user's is read or changed. Runs are silent (mute_audio 1, SDL's dummy sound
// device; the music cases listen through SDL's disk driver) and show no clock
// (show_time 0); cases that compare screenshots turn the birds off
// (objects_off 1) so that the picture holds still.
//
// Deadlines only bound a wait for something to happen (the first picture,
// the end of the process); no case asserts how fast it happens. Run them with
//   ctest --test-dir BUILD -L e2e --output-on-failure
// They need Xvfb, xdotool and ImageMagick (scripts/setup.sh installs them).

#include "platform/registry.h"
#include "tests/e2e/e2e_support.h"
#include "tests/e2e/saver_e2e_fixture.h"
#include "tests/e2e/saver_process.h"
#include "tests/e2e/screen_stats.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QThread>

#include <algorithm>
#include <cstdint>
#include <functional>

#include <gtest/gtest.h>

namespace wm::e2e {
namespace {

TEST_F(SaverE2eTest, CoversTheScreenWithAPictureAndItsCaption) {
    // A big caption stands out from any snow in the pictures.
    ASSERT_NO_FATAL_FAILURE(set_options({{QStringLiteral("captions_size"), QStringLiteral("60")}}));
    SaverProcess run(saver_, display_);
    QImage shot;
    ASSERT_NO_FATAL_FAILURE(start_saver(run, &shot));

    const QStringList windows = display_.windows_titled(kTitle);
    ASSERT_EQ(windows.size(), 1);
    const QRect geometry = display_.window_geometry(windows.first());
    EXPECT_EQ(geometry, QRect(QPoint(0, 0), kScreen))
        << "the window is " << text(geometry) << ", not the whole screen";

    const QRect screen(QPoint(0, 0), kScreen);
    EXPECT_GT(distinct_colours(shot, screen), kPictureColours);
    // Every part of the screen shows the picture: no band stays black.
    for (const QRect& edge : {QRect(0, 0, 1280, 24), QRect(0, 696, 1280, 24), QRect(0, 0, 24, 720),
                              QRect(1256, 0, 24, 720)}) {
        EXPECT_GT(distinct_colours(shot, edge), 1) << "uniform band " << text(edge);
    }
    // The caption is drawn after the picture: give it a moment.
    const QRect middle(240, 260, 800, 200);
    constexpr int kCaptionPixels = 6000;
    poll_until(kEndMs, [&] {
        shot = display_.screenshot();
        return count_near(shot, middle, kWhite, 8) >= kCaptionPixels;
    });
    EXPECT_GE(count_near(shot, middle, kWhite, 8), kCaptionPixels)
        << "too few white caption pixels in the middle of the screen";
    EXPECT_TRUE(run.running()) << text(run.report());
}

TEST_F(SaverE2eTest, WithoutScalingTheStageIs800By600InTheMiddle) {
    ASSERT_NO_FATAL_FAILURE(
        set_options({{QStringLiteral("scale_background"), QStringLiteral("0")}}));
    SaverProcess run(saver_, display_);
    QImage shot;
    const QRect stage(240, 60, 800, 600);
    ASSERT_NO_FATAL_FAILURE(start_saver(run, &shot, stage));

    EXPECT_GT(distinct_colours(shot, stage), kPictureColours);
    // Beyond the stage and its 8-pixel border the window stays black.
    for (const QRect& outside : {QRect(0, 0, 1280, 48), QRect(0, 672, 1280, 48),
                                 QRect(0, 0, 228, 720), QRect(1052, 0, 228, 720)}) {
        const int area = outside.width() * outside.height();
        EXPECT_EQ(count_near(shot, outside, kBlack, 0), area) << "not black: " << text(outside);
    }
}

TEST_F(SaverE2eTest, TheSceneChangesAfterTheSceneDuration) {
    ASSERT_NO_FATAL_FAILURE(
        set_options({{QStringLiteral("scene_duration"), QStringLiteral("10")}}));
    SaverProcess run(saver_, display_);
    QImage first;
    ASSERT_NO_FATAL_FAILURE(start_saver(run, &first));

    // The bottom of the screen, well away from the caption: every two of
    // the pictures differ in most of it.
    const QRect bottom(0, 540, 1280, 180);
    constexpr double kNewPicture = 0.4;
    constexpr int kSceneChangeMs = 17000;
    double changed = 0;
    poll_until(kSceneChangeMs, [&] {
        changed = changed_fraction(first, display_.screenshot(), bottom, kChangeThreshold);
        return changed > kNewPicture || !run.running();
    });
    EXPECT_GT(changed, kNewPicture)
        << "the picture did not change within " << kSceneChangeMs / 1000 << " s of a 10 s scene";
    EXPECT_TRUE(run.running()) << text(run.report());
}

TEST_F(SaverE2eTest, AKeyPressOrAMouseButtonEndsIt) {
    ASSERT_NO_FATAL_FAILURE(set_options({{QStringLiteral("objects_off"), QStringLiteral("0")}}));
    for (const QStringList& input : {QStringList{QStringLiteral("key"), QStringLiteral("space")},
                                     QStringList{QStringLiteral("click"), QStringLiteral("1")}}) {
        SCOPED_TRACE(text(input.join(QLatin1Char(' '))));
        SaverProcess run(saver_, display_);
        QImage shot;
        ASSERT_NO_FATAL_FAILURE(start_saver(run, &shot));
        end_by_input(run, input);
        EXPECT_TRUE(display_.windows_titled(kTitle).isEmpty());
    }
}

TEST_F(SaverE2eTest, MouseMovesUpToTheSensitivityLeaveItRunning) {
    ASSERT_NO_FATAL_FAILURE(set_options({{QStringLiteral("mouse_sensitivity"), QStringLiteral("7")},
                                         {QStringLiteral("objects_off"), QStringLiteral("0")}}));
    ASSERT_TRUE(display_.xdotool(
        {QStringLiteral("mousemove"), QStringLiteral("640"), QStringLiteral("360")}));
    SaverProcess run(saver_, display_);
    QImage shot;
    ASSERT_NO_FATAL_FAILURE(start_saver(run, &shot));

    // Small moves, each to a new spot a few pixels on, spaced so that each
    // arrives as an event of its own.
    int moves = 0;
    auto move = [&] {
        ++moves;
        ASSERT_TRUE(display_.xdotool({QStringLiteral("mousemove"), QString::number(640 + 3 * moves),
                                      QStringLiteral("360")}));
        QThread::msleep(150);
    };
    while (moves < 7) {
        ASSERT_NO_FATAL_FAILURE(move());
    }
    EXPECT_FALSE(run.wait_for_end(2000)) << "seven moves ended it: " << text(run.report());
    // The eighth should end it; a few more allow for moves a busy saver
    // received as one. All of them fall within ten seconds of the first.
    while (run.running() && moves < 20) {
        ASSERT_NO_FATAL_FAILURE(move());
    }
    EXPECT_TRUE(run.wait_for_end(kEndMs)) << moves << " moves within ten seconds did not end it";
    EXPECT_TRUE(run.ended_cleanly()) << text(run.report());
}

TEST_F(SaverE2eTest, MusicSoundsAndSigtermEndsItCleanly) {
    // With music and birds, so that the run has temporary files to clean up.
    ASSERT_NO_FATAL_FAILURE(set_options({{QStringLiteral("mute_audio"), QStringLiteral("0")},
                                         {QStringLiteral("objects_off"), QStringLiteral("0")}}));
    const QString sound = saver_.scratch_file(QStringLiteral("sound.raw"));
    saver_.set_sound_driver(QStringLiteral("disk"), sound);
    SaverProcess run(saver_, display_);
    QImage shot;
    ASSERT_NO_FATAL_FAILURE(start_saver(run, &shot));
    // The first song starts at the main loop's first music check, two
    // seconds in; under the sanitizers the program may start slowly.
    EXPECT_TRUE(poll_until(kFirstSoundMs, [&] { return test::loud_samples(sound) > kLoudSamples; }))
        << "no music within " << kFirstSoundMs / 1000 << " s: " << test::loud_samples(sound)
        << " loud samples in " << QFileInfo(sound).size() << " bytes; " << text(run.report());
    const QStringList while_running = own_run_files();
    ASSERT_FALSE(while_running.isEmpty()) << "the running saver keeps its pack members here";

    run.terminate();
    EXPECT_TRUE(run.wait_for_end(kEndMs))
        << "SIGTERM did not end the saver within " << kEndMs / 1000 << " s";
    EXPECT_TRUE(run.ended_cleanly()) << text(run.report());
    EXPECT_TRUE(own_run_files().isEmpty())
        << "left in XDG_RUNTIME_DIR: " << text(own_run_files().join(QStringLiteral(", ")))
        << " (while running: " << text(while_running.join(QStringLiteral(", "))) << ")";
}

TEST_F(SaverE2eTest, MutedOrWithoutASoundDeviceItRunsSilently) {
    const QString sound = saver_.scratch_file(QStringLiteral("sound.raw"));
    saver_.set_sound_driver(QStringLiteral("disk"), sound);
    for (const bool muted : {true, false}) {
        SCOPED_TRACE(muted ? "muted" : "no sound device");
        ASSERT_NO_FATAL_FAILURE(set_options(
            {{QStringLiteral("mute_audio"), muted ? QStringLiteral("1") : QStringLiteral("0")}}));
        if (!muted) {
            saver_.set_sound_driver(QStringLiteral("no-such-sound-driver"));
        }
        SaverProcess run(saver_, display_);
        QImage shot;
        ASSERT_NO_FATAL_FAILURE(start_saver(run, &shot));
        // Past the first music checks.
        QThread::msleep(kQuietRunMs);
        EXPECT_TRUE(run.running()) << text(run.report());
        ASSERT_NO_FATAL_FAILURE(
            end_by_input(run, {QStringLiteral("key"), QStringLiteral("space")}));
        if (muted) {
            EXPECT_FALSE(QFileInfo::exists(sound)) << "a muted run opened the sound device";
        } else {
            EXPECT_TRUE(run.report().contains(QStringLiteral("There is no sound device")))
                << "the songs were not even tried: " << text(run.report());
        }
    }
}

TEST_F(SaverE2eTest, SavesTheLastSceneAsTheWallpaper) {
    ASSERT_NO_FATAL_FAILURE(set_options({{QStringLiteral("save_wallpaper"), QStringLiteral("1")}}));
    SaverProcess run(saver_, display_);
    QImage shot;
    ASSERT_NO_FATAL_FAILURE(start_saver(run, &shot));
    shot = display_.screenshot();
    ASSERT_NO_FATAL_FAILURE(end_by_input(run, {QStringLiteral("key"), QStringLiteral("space")}));

    // The bitmap of the screen, and nothing half-written beside it.
    const QString folder = saver_.wallpaper_folder();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("wintermere_wallpaper.bmp")})
        << text(everything_in(folder).join(QStringLiteral(", ")));
    QImage wallpaper;
    ASSERT_TRUE(wallpaper.load(folder + QStringLiteral("wintermere_wallpaper.bmp"), "BMP"))
        << "no readable bitmap in " << text(folder);
    EXPECT_EQ(wallpaper.size(), kScreen)
        << "the bitmap is " << wallpaper.width() << " x " << wallpaper.height();
    const QRect screen(QPoint(0, 0), kScreen);
    EXPECT_LT(changed_fraction(wallpaper.convertToFormat(QImage::Format_RGB32), shot, screen,
                               kChangeThreshold),
              0.05)
        << "the bitmap is not the scene that was on the screen";

    // The desktop shows it stretched, not tiled.
    const Registry registry(saver_.config_folder() + QStringLiteral("registry.ini"));
    const auto user = static_cast<std::uint32_t>(RootKey::CurrentUser);
    const QString desktop = QStringLiteral("Control Panel\\Desktop");
    EXPECT_EQ(text(registry.read_string(user, desktop, QStringLiteral("TileWallpaper"))), "0");
    EXPECT_EQ(text(registry.read_string(user, desktop, QStringLiteral("WallpaperStyle"))), "2");
}

TEST_F(SaverE2eTest, ASecondSaverEndsAtOnce) {
    ASSERT_NO_FATAL_FAILURE(set_options({{QStringLiteral("objects_off"), QStringLiteral("0")}}));
    SaverProcess first(saver_, display_);
    QImage shot;
    ASSERT_NO_FATAL_FAILURE(start_saver(first, &shot));

    SaverProcess second(saver_, display_);
    ASSERT_TRUE(second.start({QStringLiteral("/s")})) << text(second.report());
    EXPECT_TRUE(second.wait_for_end(kEndMs))
        << "a second saver did not end within " << kEndMs / 1000 << " s";
    EXPECT_TRUE(second.ended_cleanly()) << text(second.report());
    EXPECT_EQ(display_.windows_titled(kTitle).size(), 1);
    EXPECT_TRUE(first.running()) << "the first saver ended: " << text(first.report());
    ASSERT_NO_FATAL_FAILURE(end_by_input(first, {QStringLiteral("key"), QStringLiteral("space")}));
}

}  // namespace
}  // namespace wm::e2e
