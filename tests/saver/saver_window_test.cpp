// The saver window around the engine: pointer and system state, the
// password where the saver must ask for it, input reaching the exit rules,
// and the shutdown whichever way the run ends.

#include "saver/saver_window.h"
#include "platform/external_command.h"
#include "saver/wallpaper.h"
#include "tests/saver/saver_fixture.h"
#include "tests/support/fake_audio_backend.h"
#include "tests/support/fake_saver_system.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <functional>

namespace wm {
namespace {

class SaverWindowRun : public test::SaverRun {
  protected:
    // Runs a whole saver in a window on the virtual clock, its music
    // played on `audio`.
    void run_window(const std::function<void(SaverWindow&)>& script) {
        host = std::make_unique<test::VirtualHost>(0);
        SaverWindow window(state, system, *host, {}, &audio);
        script(window);
        EXPECT_EQ(window.run(), 0);
        EXPECT_FALSE(window.isVisible());
        frames = window.engine().frames();
    }

    static void press_key(QWidget& window) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QApplication::sendEvent(&window, &key);
    }

    test::FakeSaverSystem system;
    test::FakeAudioBackend audio;
    std::uint64_t frames = 0;
};

TEST_F(SaverWindowRun, HidesThePointerWhileItRunsAndEndsOnAKey) {
    run_window([&](SaverWindow& window) {
        host->at(100, [&] {
            EXPECT_LT(system.cursor_count, -5);
            EXPECT_EQ(window.windowTitle(), QStringLiteral("Screen Saver Main Form"));
            EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
            press_key(window);
        });
    });
    EXPECT_GE(system.cursor_count, 6);
    EXPECT_EQ(system.count(QStringLiteral("verify_password")), 0) << "the host asks, not us";
    EXPECT_TRUE(system.running_reports.empty());
    EXPECT_EQ(frames, 4u);
}

TEST_F(SaverWindowRun, WhereTheSaverMustAskItAsksUntilTheRightPassword) {
    system.platform = 1;
    system.password_switch = 1;
    system.verify_answers = {false, true};
    run_window([&](SaverWindow& window) {
        host->at(100, [&] { press_key(window); });
        host->at(200, [&] {
            EXPECT_LT(system.cursor_count, -5) << "hidden again after the refusal";
            press_key(window);
        });
    });
    EXPECT_EQ(system.count(QStringLiteral("verify_password")), 2);
    EXPECT_EQ(system.running_reports, (std::vector<bool>{true, false}));
    EXPECT_GE(system.cursor_count, 6);
}

TEST_F(SaverWindowRun, MouseMovesCountAndButtonsEnd) {
    run_window([&](SaverWindow& window) {
        host->at(100, [&] {
            for (int i = 0; i < 7; ++i) {
                QMouseEvent move(QEvent::MouseMove, QPointF(10 + i, 10), QPointF(10 + i, 10),
                                 Qt::NoButton, Qt::NoButton, Qt::NoModifier);
                QApplication::sendEvent(&window, &move);
            }
            EXPECT_TRUE(window.engine().flags().keep_running);
        });
        host->at(300, [&] {
            QMouseEvent click(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5),
                              Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&window, &click);
        });
    });
    EXPECT_EQ(frames, 10u);
}

TEST_F(SaverWindowRun, ATestRunLeavesThePointerAndTheSystemAlone) {
    state.run.config_preview = true;
    system.platform = 1;
    system.password_switch = 1;
    state.settings.show_time = 1;
    run_window([&](SaverWindow& window) {
        host->at(100, [&] {
            EXPECT_FALSE(window.windowFlags() & Qt::WindowStaysOnTopHint);
            const auto* time_box = window.findChild<QLabel*>(QStringLiteral("time_box"));
            ASSERT_NE(time_box, nullptr);
            EXPECT_TRUE(time_box->isVisible());
            EXPECT_TRUE(time_box->text().contains(QLatin1Char(':')));
            press_key(window);
        });
    });
    EXPECT_EQ(system.cursor_count, 0);
    EXPECT_TRUE(system.calls.isEmpty());
}

TEST_F(SaverWindowRun, ACloseIsRefusedWhileRunningAndEndsTheLoop) {
    run_window([&](SaverWindow& window) { host->at(100, [&] { EXPECT_FALSE(window.close()); }); });
    EXPECT_EQ(frames, 4u);
}

TEST_F(SaverWindowRun, TheStageIsInPlaceBeforeAnyPaintingCanShowItsScene) {
    // Each pass over the events may paint the window. From the first one
    // after the stage's boxes take their size (the first scene is made in
    // them, and its passes come next), the stage's view must be shown where
    // the stage goes, or the window shows black there before the scene.
    bool looked = false;
    std::function<void(SaverWindow&)> look = [&](SaverWindow& window) {
        const QSize size = window.engine().pictures().ascreen.pixel_size();
        if (size.isEmpty()) {
            host->at(host->now() + 1, [&] { look(window); });  // the next yield
            return;
        }
        looked = true;
        const QWidget* stage = window.findChild<QWidget*>(QStringLiteral("ascreen"));
        ASSERT_NE(stage, nullptr);
        EXPECT_TRUE(stage->isVisibleTo(&window));
        EXPECT_EQ(stage->geometry(), window.engine().stage_rect());
        EXPECT_EQ(stage->size(), size);
    };
    run_window([&](SaverWindow& window) {
        host->set_yield_cost(1);  // each yield a tick, so that `look` sees every one
        host->at(0, [&] { look(window); });
        host->at(1000, [&] { press_key(window); });
    });
    EXPECT_TRUE(looked);
}

TEST_F(SaverWindowRun, TheLastSceneBecomesTheWallpaper) {
    QStringList commands;
    const CommandRunner previous = set_command_runner(
        [&](const QString& program, const QStringList& arguments) -> std::optional<QByteArray> {
            commands << program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
            return std::nullopt;  // no desktop settings here
        });
    state.settings.save_wallpaper = 1;
    run_window([&](SaverWindow& window) { host->at(100, [&] { press_key(window); }); });
    set_command_runner(previous);
    const QImage saved(home.data_home() + QStringLiteral("/Quillory Wintermere/") +
                       wallpaper_file_name());
    EXPECT_EQ(saved.size(), QSize(800, 600));
    EXPECT_FALSE(commands.isEmpty());
}

TEST_F(SaverWindowRun, PlaysThePacksSongsInTurnAndStopsThemAtTheEnd) {
    state.settings.mute_audio = 0;
    int first = 0;
    run_window([&](SaverWindow& window) {
        host->at(2500, [&] {
            ASSERT_EQ(audio.loads.size(), 1u) << "the first check, two seconds in";
            EXPECT_TRUE(audio.playing);
            EXPECT_EQ(audio.loads[0].decoder, Decoder::Midi);
            first = window.music().music_index();
            EXPECT_EQ(audio.loads[0].bytes, test::test_song(first));
            audio.end_song();
        });
        host->at(5000, [&] {
            ASSERT_EQ(audio.loads.size(), 2u) << "the next song at the next check";
            EXPECT_EQ(audio.loads[1].bytes, test::test_song(first % 4 + 1));
            EXPECT_TRUE(audio.playing);
            press_key(window);
        });
    });
    EXPECT_FALSE(audio.playing);
    EXPECT_TRUE(audio.loaded.isEmpty()) << "stopped and closed at the end";
    EXPECT_FALSE(QFile::exists(audio.loads[0].file)) << "the extracted song is deleted";
}

TEST_F(SaverWindowRun, MutedItNeverOpensTheMusic) {
    state.settings.mute_audio = 1;
    run_window([&](SaverWindow& window) { host->at(7000, [&] { press_key(window); }); });
    EXPECT_TRUE(audio.loads.empty());
}

}  // namespace
}  // namespace wm
