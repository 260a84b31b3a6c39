// The saver's engine on the virtual clock: frame pacing, scene timing,
// music checks, sprites on and off, captions, pictures, passwords, and the
// ways a run can fail and must still go on.

#include "platform/run_temp_folder.h"
#include "tests/imaging/effect_durations.h"
#include "tests/imaging/jpeg_maker.h"
#include "tests/imaging/largest_allocation.h"
#include "tests/saver/saver_fixture.h"
#include "tests/support/hostile_files.h"
#include "tests/support/warning_log.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace wm {
namespace {

using test::SaverRun;

// A run over a user's picture list.
class PictureList : public SaverRun {
  protected:
    void use_pictures(const QStringList& files) {
        state.settings.custom_picture_flag = 1;
        state.settings.custom_picture_files_total = static_cast<int>(files.size());
        state.settings.custom_picture_paths = {QString()};
        for (const QString& file : files) {
            state.settings.custom_picture_paths.push_back(file);
        }
    }

    // Every hostile kind of picture file a list may name: empty and garbage
    // files, headers claiming pictures far beyond any surface, a progressive
    // JPEG of thousands of empty scans, special files and a missing one.
    QStringList hostile_pictures() {
        const QString folder = home.path() + QStringLiteral("/hostile/");
        EXPECT_TRUE(QDir().mkpath(folder));
        const auto file = [&](const QString& name, const QByteArray& bytes) {
            EXPECT_TRUE(test::write_file(folder + name, bytes)) << qPrintable(name);
            return folder + name;
        };
        QStringList list = {
            file(QStringLiteral("zero.jpg"), QByteArray()),
            file(QStringLiteral("words.png"), QByteArray("no picture at all")),
            file(QStringLiteral("huge.jpg"), test::jpeg_claiming(60000, 60000)),
            file(QStringLiteral("progressive.jpg"), test::make_empty_scans(32768, 32768, 1)),
            file(QStringLiteral("scans.jpg"), test::make_empty_scans(8000, 8000, 2000)),
            file(QStringLiteral("huge.png"), test::png_claiming(30000, 30000)),
            file(QStringLiteral("upside.bmp"), test::bmp_with_negative_height()),
            folder + QStringLiteral("x.jpg"),
            folder + QStringLiteral("y.jpg"),
            folder + QStringLiteral("y.png"),
            folder + QStringLiteral("zero-device.jpg"),
            folder + QStringLiteral("missing.jpg"),
        };
        EXPECT_TRUE(QDir(folder).mkdir(QStringLiteral("x.jpg")));
        EXPECT_TRUE(test::make_fifo(folder + QStringLiteral("y.jpg")));
        EXPECT_TRUE(test::make_fifo(folder + QStringLiteral("y.png")));
        EXPECT_TRUE(
            QFile::link(QStringLiteral("/dev/zero"), folder + QStringLiteral("zero-device.jpg")));
        return list;
    }
};

TEST(FramePacing, ShortestFrames) {
    EXPECT_EQ(frame_length_ms(30), 33u);
    EXPECT_EQ(frame_length_ms(60), 17u);
    EXPECT_EQ(frame_length_ms(10), 91u);
    EXPECT_EQ(frame_length_ms(0), 501u);  // never a division by zero
}

TEST(TimeOfDay, TwelveHourClock) {
    EXPECT_TRUE(time_of_day_text(0, 5, 9).startsWith(QStringLiteral("12:05:09 ")));
    EXPECT_TRUE(time_of_day_text(13, 0, 0).startsWith(QStringLiteral("01:00:00 ")));
    EXPECT_TRUE(time_of_day_text(12, 30, 59).startsWith(QStringLiteral("12:30:59 ")));
    EXPECT_NE(time_of_day_text(9, 0, 0).mid(9), time_of_day_text(21, 0, 0).mid(9));
}

TEST_F(SaverRun, FramesLastTheirRatesLength) {
    for (const int rate : {30, 60, 10}) {
        SCOPED_TRACE(rate);
        state.settings.frame_rate = rate;
        hooks.frames.clear();
        start();
        const std::uint32_t length = frame_length_ms(rate);
        // A key in the middle of the fifth frame's wait ends the loop after it.
        key_at(1000 + 4 * length + length / 2);
        engine->main_loop(false);
        ASSERT_EQ(hooks.frames.size(), 5u);
        for (std::size_t i = 0; i < hooks.frames.size(); ++i) {
            EXPECT_EQ(hooks.frames[i], 1000 + i * length);
        }
        EXPECT_EQ(host->now(), 1000 + 4 * length + length / 2) << "no sleep after the key";
        EXPECT_EQ(engine->measured_frame_rate(), static_cast<int>(1000 / (length / 2)));
        EXPECT_FALSE(engine->flags().saver_running);
    }
}

TEST_F(SaverRun, ScenesChangeAfterTheirTimeCountedFromTheTransitionsEnd) {
    state.settings.random_pictures = 0;
    start(0);
    const int first_picture = engine->picture_index();
    // Frames start every 33 ms; 10032 is the first start more than 10 s on.
    host->at(10031, [&] { EXPECT_EQ(engine->scene_changes(), 0); });
    host->at(10032 + 2021, [&] {
        ASSERT_EQ(engine->scene_changes(), 1);
        const std::uint32_t first_end =
            10032 + test::kEffectMs800x600[engine->transitions().last_effect()];
        EXPECT_EQ(engine->scene_started(), first_end);
        EXPECT_EQ(engine->picture_index(), first_picture % 10 + 1);
        EXPECT_TRUE(stage_shows(400, 160, test::pack_picture_colour(first_picture % 10 + 1)));
        // The next change waits 10 s from the end of the first transition:
        // frames start every 33 ms from there.
        host->at(first_end + 10031, [&] { EXPECT_EQ(engine->scene_changes(), 1); });
        host->at(first_end + 10032 + 2021, [&, first_end] {
            EXPECT_EQ(engine->scene_changes(), 2);
            EXPECT_EQ(
                engine->scene_started(),
                first_end + 10032 + test::kEffectMs800x600[engine->transitions().last_effect()]);
        });
    });
    key_at(10032 + 2021 + 10032 + 2021 + 1);
    engine->main_loop(false);
    EXPECT_EQ(engine->scene_changes(), 2);
    EXPECT_EQ(engine->picture_index(), (first_picture + 1) % 10 + 1);
}

TEST_F(SaverRun, MusicIsCheckedEveryTwoSecondsUnlessMuted) {
    start(0);
    key_at(9990);
    engine->main_loop(false);
    EXPECT_TRUE(hooks.music_ticks.empty());
    EXPECT_EQ(hooks.first_songs, 1);

    state.settings.mute_audio = 0;
    start(0);
    key_at(9990);
    engine->main_loop(false);
    // The first frames more than 2000 ms after the last check.
    EXPECT_EQ(hooks.music_ticks, (std::vector<std::uint32_t>{2013, 4026, 6039, 8052}));
}

TEST_F(SaverRun, TheTimeOfDayIsShownOnceASecondOfTheWallClock) {
    state.settings.show_time = 1;
    start(0);
    key_at(33 * 300);
    const qint64 first_second = QDateTime::currentMSecsSinceEpoch() / 1000;
    engine->main_loop(false);
    const qint64 last_second = QDateTime::currentMSecsSinceEpoch() / 1000;
    // Three hundred frames on the virtual clock, in however many seconds
    // of the real one they took: the clock is told each of those seconds
    // at most once, and each time a new text.
    ASSERT_GE(engine->frames(), 300u);
    ASSERT_FALSE(hooks.times.empty());
    EXPECT_LE(static_cast<qint64>(hooks.times.size()), last_second - first_second + 1);
    for (std::size_t i = 1; i < hooks.times.size(); ++i) {
        EXPECT_NE(hooks.times[i], hooks.times[i - 1]);
    }
}

TEST_F(SaverRun, BirdsFlyUnlessSwitchedOff) {
    start(0);
    key_at(33 * 19 + 1);
    engine->main_loop(false);
    EXPECT_EQ(engine->sprites().count_active_sprites(), 1) << "launched on the 20th frame";
    EXPECT_EQ(engine->sprites().slot(1).active, 1);

    // Off: nothing is launched, yet a bird already flying moves, is drawn
    // and presented every frame.
    state.settings.objects_off = 1;
    start(0);
    Sprites& sprites = engine->sprites();
    sprites.set_animation(1, 1, 0);
    sprites.place_sprite(1, 100, 100, 1);
    sprites.set_motion(1, 3.0, 0, 0, 0, 0, 0, -150, -150, 950, 750);
    key_at(33 * 99 + 1);
    engine->main_loop(false);
    EXPECT_EQ(sprites.count_active_sprites(), 1);
    EXPECT_EQ(sprites.spawn_tick(), 0);
    EXPECT_DOUBLE_EQ(sprites.slot(1).x, 100 + 3.0 * 100);
    // The bird's white body is on the stage where it was last presented.
    const int body_x = static_cast<int>(sprites.slot(1).last_x) + 75;
    EXPECT_TRUE(stage_shows(body_x, 100 + 75, Qt::white));
}

TEST_F(SaverRun, CaptionsInOrderAndTheirFallbacks) {
    start();
    // The first scene took caption 1.
    EXPECT_EQ(engine->caption_index(), 1);
    QStringList shown;
    for (int i = 0; i < 6; ++i) {
        shown << engine->next_caption();
    }
    const auto& captions = state.settings.captions;
    EXPECT_EQ(shown, (QStringList{captions[2], captions[3], captions[4], captions[5], captions[1],
                                  captions[2]}));

    state.settings.captions_total = 0;
    EXPECT_EQ(engine->next_caption(), QStringLiteral("Please edit your captions!"));
    state.settings.captions_off = 1;
    EXPECT_EQ(engine->next_caption(), QString());
}

TEST_F(SaverRun, PackPicturesWrapFromTenToOne) {
    start();
    std::vector<int> seen{engine->picture_index()};
    for (int i = 0; i < 11; ++i) {
        engine->change_scene();
        seen.push_back(engine->picture_index());
        EXPECT_TRUE(stage_shows(400, 160, test::pack_picture_colour(engine->picture_index())));
    }
    for (std::size_t i = 1; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i], seen[i - 1] % 10 + 1);
    }
}

TEST_F(PictureList, AnUnreadablePictureIsPassedOverForTheNextOne) {
    const QString good = home.path() + QStringLiteral("/good.jpg");
    ASSERT_TRUE(test::write_file(
        good, test::make_jpeg(160, 90, [](int, int) { return qRgb(200, 40, 40); })));
    use_pictures({home.path() + QStringLiteral("/missing.png"), good});
    start();
    // Whichever the first draw was, the good picture shows.
    ASSERT_EQ(engine->picture_index(), 2);
    ASSERT_TRUE(stage_shows(400, 160, QColor(200, 40, 40)));
    for (int change = 0; change < 3; ++change) {
        host->advance(5000);
        engine->change_scene();
        EXPECT_EQ(engine->picture_index(), 2) << "the missing one costs no scene";
        EXPECT_TRUE(stage_shows(400, 160, QColor(200, 40, 40)));
        EXPECT_EQ(engine->scene_started(), host->now());
        EXPECT_EQ(engine->pictures().main.Image(), engine->pictures().ascreen.Image());
    }
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(PictureList, OnlyUnreadablePicturesLeaveABlackStageWithItsCaptionAndTheSaverResponsive) {
    const QStringList hostile = hostile_pictures();
    use_pictures(hostile);
    test::WarningLog log;
    start(0);
    const auto black_with_caption = [&] {
        int white = 0;
        for (int x = 0; x < 800; ++x) {
            white += stage_shows(x, 300, Qt::white) ? 1 : 0;
        }
        return stage_shows(10, 10, Qt::black) && stage_shows(790, 590, Qt::black) && white > 10;
    };
    EXPECT_TRUE(black_with_caption());
    // Frames start every 33 ms: the scenes change at 10032 and 20064 (no
    // effect runs for a scene that stays), and a key ends the saver at once.
    host->at(10031, [&] { EXPECT_EQ(engine->scene_changes(), 0); });
    host->at(10033, [&] {
        EXPECT_EQ(engine->scene_changes(), 1);
        EXPECT_EQ(engine->scene_started(), 10032u);
        EXPECT_TRUE(black_with_caption());
    });
    key_at(25000);
    engine->main_loop(false);
    EXPECT_EQ(host->now(), 25000u);
    EXPECT_EQ(engine->scene_changes(), 2);
    EXPECT_TRUE(black_with_caption());
    // Tried three times over, told once each, and never in a box.
    EXPECT_TRUE(messages.messages().empty());
    for (const QString& file : hostile) {
        EXPECT_EQ(log.count_naming(QStringLiteral("Skipping picture ") + file + QLatin1Char(':')),
                  1)
            << qPrintable(file);
    }
}

TEST_F(PictureList, AmongEveryHostileKindTheGoodPictureShowsAndScenesChangeOnTime) {
    const QString good = home.path() + QStringLiteral("/good.jpg");
    ASSERT_TRUE(test::write_file(
        good, test::make_jpeg(160, 90, [](int, int) { return qRgb(40, 200, 40); })));
    QStringList list = hostile_pictures();
    list.insert(list.size() / 2, good);
    const int good_index = static_cast<int>(list.indexOf(good)) + 1;
    use_pictures(list);
    state.settings.random_pictures = 0;

    const test::LargestAllocation largest;
    start(0);
    EXPECT_EQ(engine->picture_index(), good_index);
    EXPECT_TRUE(stage_shows(400, 160, QColor(40, 200, 40)));
    // The first change comes at the first frame more than 10 s on and runs
    // its effect; the next one 10 s after that effect's end.
    std::uint32_t first_end = 0;
    host->at(10032 + 2021, [&] {
        ASSERT_EQ(engine->scene_changes(), 1);
        first_end = 10032 + test::kEffectMs800x600[engine->transitions().last_effect()];
        EXPECT_EQ(engine->scene_started(), first_end);
        EXPECT_EQ(engine->picture_index(), good_index);
        EXPECT_TRUE(stage_shows(400, 160, QColor(40, 200, 40)));
        host->at(first_end + 10031, [&] { EXPECT_EQ(engine->scene_changes(), 1); });
    });
    key_at(10032 + 2021 + 10032 + 2021 + 1);
    engine->main_loop(false);
    EXPECT_EQ(engine->scene_changes(), 2);
    EXPECT_EQ(engine->picture_index(), good_index);
    EXPECT_TRUE(stage_shows(400, 160, QColor(40, 200, 40)));
    EXPECT_TRUE(messages.messages().empty());
    // Nothing near the size any hostile header claims was ever allocated:
    // the largest blocks are the stage's own pictures.
    EXPECT_LT(largest.bytes(), std::size_t{8} << 20);
}

TEST_F(SaverRun, AFailedExtractionIsNeverLoadedUnderAnyName) {
    // A picture named as extract_member() names a failure, where a loader
    // given that text would find it.
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(home.path()));
    ASSERT_TRUE(
        test::write_file(home.path() + QStringLiteral("/False"),
                         test::make_jpeg(160, 90, [](int, int) { return qRgb(250, 250, 0); })));
    state.settings.random_pictures = 0;
    start();
    const int first = engine->picture_index();
    const QImage scene = engine->pictures().ascreen.Image().copy();
    // The pack's data goes: every later extraction fails.
    ASSERT_TRUE(QFile::remove(state.run.install_path + QStringLiteral("images.img")));
    test::WarningLog log;
    EXPECT_FALSE(engine->extract_pack_member(first % 10 + 1).has_value());
    engine->change_scene();
    EXPECT_FALSE(stage_shows(400, 160, QColor(250, 250, 0)));
    EXPECT_EQ(engine->pictures().ascreen.Image(), scene) << "the scene stays";
    EXPECT_EQ(engine->scene_started(), host->now());
    EXPECT_GE(log.count_naming(QStringLiteral("Cannot extract member")), 1);
    QDir::setCurrent(before);
}

TEST_F(PictureList, AGapInTheListShowsTheLastPictureAgain) {
    const QString red = home.path() + QStringLiteral("/red.jpg");
    const QString blue = home.path() + QStringLiteral("/blue.jpg");
    ASSERT_TRUE(
        test::write_file(red, test::make_jpeg(160, 90, [](int, int) { return qRgb(250, 0, 0); })));
    ASSERT_TRUE(
        test::write_file(blue, test::make_jpeg(160, 90, [](int, int) { return qRgb(0, 0, 250); })));
    use_pictures({red, QString(), blue});
    state.settings.random_pictures = 0;
    state.settings.captions_off = 1;
    start();
    while (engine->picture_index() != 1) {
        engine->change_scene();
    }
    ASSERT_TRUE(stage_shows(400, 160, QColor(250, 0, 0)));
    engine->change_scene();
    EXPECT_EQ(engine->picture_index(), 2) << "the gap is a scene of its own";
    EXPECT_TRUE(stage_shows(400, 160, QColor(250, 0, 0)));
    engine->change_scene();
    EXPECT_TRUE(stage_shows(400, 160, QColor(0, 0, 250)));
    // The picture of the stage is kept, not a frame of the stage's size.
    EXPECT_EQ(engine->pictures().work.pixel_size(), QSize(160, 90));
}

TEST_F(SaverRun, AnEmptyUserListShowsThePacksPictures) {
    state.settings.custom_picture_flag = 1;
    state.settings.custom_picture_files_total = 0;
    start();
    EXPECT_TRUE(stage_shows(400, 160, test::pack_picture_colour(engine->picture_index())));
}

TEST_F(SaverRun, WithoutAPackTheStageIsBlackWithItsCaptionAndNoBirds) {
    state.run.install_path = home.path() + QStringLiteral("/nowhere/");
    start(0);
    EXPECT_TRUE(stage_shows(10, 10, Qt::black));
    int white = 0;
    for (int x = 0; x < 800; ++x) {
        white += stage_shows(x, 300, Qt::white) ? 1 : 0;
    }
    EXPECT_GT(white, 10) << "the caption";
    key_at(33 * 40);
    engine->main_loop(false);
    EXPECT_EQ(engine->sprites().count_active_sprites(), 0);
}

TEST_F(SaverRun, ARefusedPasswordResumesWithTheNextEffectIntact) {
    start(0);
    hooks.answers = {false, true};
    key_at(500);
    host->at(600, [&] {
        EXPECT_TRUE(engine->flags().keep_running);
        EXPECT_FALSE(engine->transitions().abort_transition());
    });
    key_at(1000);
    engine->main_loop(true);
    EXPECT_EQ(hooks.password_asks, 2);
    EXPECT_FALSE(engine->flags().saver_running);
}

TEST_F(SaverRun, AfterARefusalTheSceneAndMusicTimersStartAgain) {
    state.settings.mute_audio = 0;
    start(0);
    hooks.answers = {false};
    key_at(9000);  // refused: the saver goes on from 9000
    host->at(10100, [&] { EXPECT_EQ(engine->scene_changes(), 0) << "the old timer is gone"; });
    host->at(19031, [&] { EXPECT_EQ(engine->scene_changes(), 0); });
    key_at(19032 + 2021);
    engine->main_loop(true);
    EXPECT_EQ(engine->scene_changes(), 1);
    // Music checks: every 2 s from the start, then from the resume.
    ASSERT_GE(hooks.music_ticks.size(), 5u);
    EXPECT_EQ(hooks.music_ticks[3], 8052u);
    EXPECT_EQ(hooks.music_ticks[4], 11013u);
}

TEST_F(SaverRun, TheHostEndsTheSaverWithoutAPassword) {
    start(0);
    hooks.answers = {false};
    host->at(500, [&] { engine->exit_rules().host_stop(); });
    engine->main_loop(true);
    EXPECT_EQ(hooks.password_asks, 0);
    EXPECT_FALSE(engine->flags().saver_running);
}

TEST_F(SaverRun, ACloseWhileStartingEndsAfterTheFirstFrame) {
    start();
    EXPECT_FALSE(engine->exit_rules().close_request());
    engine->main_loop(false);
    EXPECT_EQ(engine->frames(), 1u);
    // While running, a close is refused and ends the loop.
    start();
    host->at(host->now() + 100, [&] { EXPECT_FALSE(engine->exit_rules().close_request()); });
    engine->main_loop(false);
    EXPECT_EQ(engine->frames(), 4u);
}

TEST_F(SaverRun, TheClockWrappingRoundStopsNothing) {
    state.settings.mute_audio = 0;
    start(0xFFFFFFFFu - 3000);
    key_at(0xFFFFFFFFu - 3000 + 10032 + 2100);
    engine->main_loop(false);
    EXPECT_EQ(engine->scene_changes(), 1);
    EXPECT_GE(hooks.music_ticks.size(), 4u);
}

TEST_F(SaverRun, ShutdownDeletesTheTemporaryFilesOnce) {
    start();
    const QString temp = run_temp_folder();
    ASSERT_FALSE(QDir(temp).entryList(QDir::Files).isEmpty());
    engine->shutdown();
    engine->shutdown();
    EXPECT_FALSE(QDir(temp).exists());
    EXPECT_EQ(hooks.music_stops, 1);
    EXPECT_EQ(hooks.restores, 1);
}

// The box around the caption's white face in the stage.
QRect caption_extent(const PictureBox& stage) {
    QRect extent;
    const QImage& image = stage.Image();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == qRgb(255, 255, 255)) {
                extent |= QRect(x, y, 1, 1);
            }
        }
    }
    return extent;
}

TEST_F(SaverRun, OnADenseScreenTheFramedStageAndItsCaptionGrowByTheRatio) {
    state.settings.objects_off = 1;
    start(0, {900, 700});
    EXPECT_EQ(engine->stage_rect(), QRect(50, 50, 800, 600));
    const QRect ordinary = caption_extent(engine->pictures().ascreen);
    ASSERT_FALSE(ordinary.isEmpty());

    start(0, {1800, 1400}, 2.0);
    EXPECT_EQ(engine->stage_rect(), QRect(100, 100, 1600, 1200));
    const QRect dense = caption_extent(engine->pictures().ascreen);
    EXPECT_NEAR(dense.width(), 2.0 * ordinary.width(), 0.1 * ordinary.width());
    EXPECT_NEAR(dense.height(), 2.0 * ordinary.height(), 0.15 * ordinary.height());
    EXPECT_NEAR(dense.center().x(), 800, 4) << "still centred";
}

TEST_F(SaverRun, TheStageFollowsANewWindowSizeBeforeTheNextFrameWithANewScene) {
    state.settings.scale_background = 1;
    start(0, {900, 700});
    EXPECT_EQ(engine->stage_rect(), QRect(0, 0, 900, 700));
    host->at(1000, [this] { engine->resize_window({640, 480}); });
    std::size_t frames_at_resize = 0;
    host->at(1010, [&] {
        frames_at_resize = hooks.frames.size();
        EXPECT_EQ(engine->stage_rect(), QRect(0, 0, 900, 700)) << "not within a frame";
    });
    host->at(1100, [this] {
        EXPECT_EQ(engine->stage_rect(), QRect(0, 0, 640, 480));
        EXPECT_EQ(engine->pictures().ascreen.pixel_size(), QSize(640, 480));
        EXPECT_EQ(engine->pictures().main.pixel_size(), QSize(640, 480));
        EXPECT_TRUE(stage_shows(320, 100, test::pack_picture_colour(engine->picture_index())));
    });
    key_at(10500);
    engine->main_loop(false);
    EXPECT_GT(frames_at_resize, 0u);
    EXPECT_EQ(engine->scene_changes(), 0) << "the scene time starts again with the new size";
}

}  // namespace
}  // namespace wm
