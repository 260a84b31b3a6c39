// End-to-end tests of the saver inside the hosts of a Linux desktop: a real
// XScreenSaver daemon that runs "wintermere --root" in its own window when it
// blanks the screen; the small preview window of a settings dialog, which
// this test makes itself as such a dialog does and hands over with
// "--window-id"; and a desk of two monitors side by side.
//
// Like the other end-to-end cases, each runs the installed program on a
// private virtual display with private folders and judges it from
// screenshots. Times that a host cares about (how soon the saver ends once
// told) are printed and recorded as test properties; the assertions only
// bound them generously.

#include "platform/termination_signals.h"
#include "tests/e2e/e2e_support.h"
#include "tests/e2e/installed_saver.h"
#include "tests/e2e/saver_e2e_fixture.h"
#include "tests/e2e/saver_process.h"
#include "tests/e2e/screen_stats.h"
#include "tests/e2e/x_display.h"
#include "tests/e2e/xscreensaver_host.h"
#include "tests/support/test_support.h"
#include "tests/support/x_test_client.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QList>
#include <QProcess>
#include <QRect>
#include <QThread>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

namespace wm::e2e {
namespace {

// A colour no picture, caption or bird is painted in over a large area: the
// desktop's background, and the background of the preview window before the
// saver draws into it.
constexpr QRgb kDesktop = 0xff2b4c7e;
constexpr QRgb kHostBackground = 0xffff00ff;
// Every two pictures differ in most of the bottom of the stage.
constexpr double kNewPicture = 0.4;
// A bird flapping and flying for a second changes more pixels than this.
constexpr int kBirdPixels = 100;
// A 10 s scene (the shortest) under the sanitizers, at XScreenSaver's nice 10.
constexpr int kSceneChangeMs = 25000;

// Prints how long something a host waits for took, and records it.
void report_time(const char* what, qint64 ms, const QString& note = {}) {
    std::cout << "[   TIME   ] " << what << ": " << ms << " ms"
              << (note.isEmpty() ? std::string() : "; " + text(note)) << std::endl;
    ::testing::Test::RecordProperty(what, static_cast<int>(ms));
}

int pixels_in(const QRect& r) {
    return r.width() * r.height();
}

// Of the runs' entries in XDG_RUNTIME_DIR (`own`, relative to `runtime`),
// those in or of a run's private temporary folder. Other entries there (the
// user's music lock, a file that stays) are not left-overs.
QStringList run_folders(const QString& runtime, const QStringList& own) {
    QStringList folders;
    for (const QString& entry : own) {
        if (QFileInfo(runtime + QLatin1Char('/') + entry.section(QLatin1Char('/'), 0, 0)).isDir()) {
            folders << entry;
        }
    }
    return folders;
}

// -- A client of the display, as a host program is ---------------------------

// Makes windows as a settings dialog makes its preview, and watches the root
// window's children: every window mapped as a top-level window is noted.
class XClient : public test::XTestClient {
  public:
    // No server (an empty name) gives no connection, never one to $DISPLAY.
    explicit XClient(const XDisplay& display) : XTestClient(display.name()) { listen_to_root(); }

    // A mapped top-level window with a solid background; 0 on failure.
    xcb_window_t create_window(const QRect& geometry, QRgb background) {
        const xcb_window_t window =
            make_window(root(), geometry,
                        test::XWindowOptions().unmapped().with_background(background & 0xffffffu));
        set_text(window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, QByteArrayLiteral("Preview"));
        xcb_map_window(connection(), window);
        sync();
        own_.push_back(window);
        const bool shown = poll_until(kEndMs, [&] { return viewable(window); });
        return shown ? window : 0;
    }

    // The top-level windows, not this client's, that were mapped since the
    // client connected (even those unmapped again since).
    QList<xcb_window_t> others_mapped() {
        sync();
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection())) {
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event);
                if (std::find(own_.begin(), own_.end(), map->window) == own_.end() &&
                    !others_.contains(map->window)) {
                    others_ << map->window;
                }
            }
            std::free(event);
        }
        return others_;
    }

  private:
    std::vector<xcb_window_t> own_;
    QList<xcb_window_t> others_;
};

QString hex(std::uint64_t id) {
    return QStringLiteral("0x") + QString::number(id, 16);
}

QString ids(const QList<xcb_window_t>& windows) {
    QStringList all;
    for (const xcb_window_t w : windows) {
        all << hex(w);
    }
    return all.join(QStringLiteral(", "));
}

// -- Under XScreenSaver --------------------------------------------------------

using XScreenSaverE2eTest = SaverE2eTest;

TEST_F(XScreenSaverE2eTest, ItDrawsTheScenesInXScreenSaversWindowAndEndsWhenUnblanked) {
    ASSERT_NO_FATAL_FAILURE(
        set_options({{QStringLiteral("mute_audio"), QStringLiteral("0")},
                     {QStringLiteral("objects_off"), QStringLiteral("0")},
                     {QStringLiteral("scene_duration"), QStringLiteral("10")}}));
    const QString sound = saver_.scratch_file(QStringLiteral("sound.raw"));
    saver_.set_sound_driver(QStringLiteral("disk"), sound);
    XScreenSaverHost host(saver_, display_);
    QString error;
    ASSERT_TRUE(host.start(saver_.program(), {QStringLiteral("--root")}, &error)) << text(error);
    ASSERT_TRUE(host.activate(&error)) << text(error);

    pid_t hack = 0;
    ASSERT_TRUE(poll_until(kFirstPictureMs, [&] { return (hack = host.hack_pid()) != 0; }))
        << "XScreenSaver did not run the saver within " << kFirstPictureMs / 1000
        << " s; it said: " << text(host.log());
    const QRect screen(QPoint(0, 0), kScreen);
    QImage first;
    const bool shown = poll_until(kFirstPictureMs, [&] {
        first = display_.screenshot();
        return !host.hack_running() ||
               (!first.isNull() && distinct_colours(first, screen) > kPictureColours);
    });
    ASSERT_TRUE(host.hack_running()) << "the saver ended: " << text(host.log());
    ASSERT_TRUE(shown) << "no picture on the screen within " << kFirstPictureMs / 1000
                       << " s of the start: " << distinct_colours(first, screen)
                       << " colours; XScreenSaver said: " << text(host.log());

    // The birds fly and flap: shots a second apart differ. A still picture
    // does not, but a transition to the next scene does, for a second or
    // two; so most pairs of a few seconds' shots must differ, not just one.
    constexpr int kPairs = 6;
    constexpr int kMovingPairs = 4;
    QList<int> moved;
    for (int pair = 0; pair < kPairs; ++pair) {
        const QImage before = display_.screenshot();
        QThread::msleep(1000);
        moved << static_cast<int>(
            changed_fraction(before, display_.screenshot(), screen, kChangeThreshold) *
            pixels_in(screen));
    }
    const auto moving =
        std::count_if(moved.begin(), moved.end(), [](int pixels) { return pixels >= kBirdPixels; });
    QStringList counts;
    for (const int pixels : moved) {
        counts << QString::number(pixels);
    }
    EXPECT_GE(moving, kMovingPairs)
        << "pixels changed a second apart: " << text(counts.join(QStringLiteral(", ")));

    // A new picture comes within a scene's time (and its transition).
    const QImage later = display_.screenshot();
    const QRect bottom(0, 540, 1280, 180);
    double changed = 0;
    poll_until(kSceneChangeMs, [&] {
        changed = changed_fraction(later, display_.screenshot(), bottom, kChangeThreshold);
        return changed > kNewPicture || !host.hack_running();
    });
    EXPECT_GT(changed, kNewPicture)
        << "the picture did not change within " << kSceneChangeMs / 1000 << " s of a 10 s scene";
    EXPECT_TRUE(poll_until(kFirstSoundMs, [&] { return test::loud_samples(sound) > 0; }))
        << "no music under XScreenSaver";
    const QStringList while_running = run_folders(saver_.runtime_folder(), own_run_files());
    EXPECT_FALSE(while_running.isEmpty()) << "the running saver keeps its pack members here";
    ASSERT_EQ(host.hack_pid(), hack) << "XScreenSaver restarted the saver: " << text(host.log());

    // Unblanking: XScreenSaver sends SIGTERM; the saver should be gone
    // within a second. A 5 s bound leaves room for the sanitizers.
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(host.deactivate(&error)) << text(error);
    const qint64 told = clock.elapsed();
    const ProcessEnd end = host.wait_for_end(hack, kEndMs);
    ASSERT_TRUE(end.ended) << "the saver still runs " << kEndMs / 1000
                           << " s after the screen was unblanked";
    report_time("end_after_unblank_ms", told + end.after_ms,
                QStringLiteral("the saver ") + end.describe());
    if (end.collected) {
        EXPECT_TRUE(end.exited && end.status == 0) << text(end.describe());
    }
    EXPECT_FALSE(host.hack_running());
    const qint64 sound_size = QFileInfo(sound).size();
    QThread::msleep(1000);
    EXPECT_EQ(QFileInfo(sound).size(), sound_size) << "the music goes on after the end";
    const QStringList left = run_folders(saver_.runtime_folder(), own_run_files());
    EXPECT_TRUE(left.isEmpty()) << "left in XDG_RUNTIME_DIR: "
                                << text(left.join(QStringLiteral(", "))) << " (while running: "
                                << text(while_running.join(QStringLiteral(", "))) << ")";
}

// -- In a settings dialog's preview window ----------------------------------------

class PreviewE2eTest : public SaverE2eTest {
  protected:
    void SetUp() override {
        SaverE2eTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        QString error;
        ASSERT_TRUE(display_.paint_root(kDesktop, &error)) << text(error);
        ASSERT_TRUE(client_.ok()) << "no connection to " << text(display_.name());
    }

    // Runs the program with `args` on the display until it ends (at most
    // kEndMs); *status and *errors receive how it ended and its standard error.
    bool run_to_end(const QStringList& args, int* status, QString* errors, qint64* ms) {
        QProcess run;
        run.setProcessEnvironment(saver_.environment(display_.name()));
        run.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer clock;
        clock.start();
        run.start(saver_.program(), args);
        const bool ended = run.waitForFinished(kEndMs);
        *ms = clock.elapsed();
        if (!ended) {
            run.kill();
            run.waitForFinished(kEndMs);
        }
        *status = run.exitStatus() == QProcess::NormalExit ? run.exitCode() : -1;
        *errors = QString::fromLocal8Bit(run.readAllStandardError());
        return ended;
    }

    XClient client_{display_};
};

TEST_F(PreviewE2eTest, AMiniatureFillsTheHostWindowSilentlyAndEndsWithIt) {
    // A big caption, so that it shows in the miniature; music on, so that a
    // preview that played it would be heard; the wallpaper asked for, which
    // no host's saver may change.
    ASSERT_NO_FATAL_FAILURE(set_options({{QStringLiteral("captions_size"), QStringLiteral("60")},
                                         {QStringLiteral("mute_audio"), QStringLiteral("0")},
                                         {QStringLiteral("save_wallpaper"), QStringLiteral("1")}}));
    const QString sound = saver_.scratch_file(QStringLiteral("sound.raw"));
    saver_.set_sound_driver(QStringLiteral("disk"), sound);
    const QRect area(200, 150, 400, 300);
    const xcb_window_t preview = client_.create_window(area, kHostBackground);
    ASSERT_NE(preview, 0u) << "the preview window did not show";

    SaverProcess run(saver_, display_);
    QElapsedTimer since_start;
    since_start.start();
    ASSERT_TRUE(run.start({QStringLiteral("--root"), QStringLiteral("--window-id"), hex(preview)}))
        << text(run.report());
    QImage shot;
    const bool shown = poll_until(kFirstPictureMs, [&] {
        shot = display_.screenshot();
        return !run.running() || (!shot.isNull() && distinct_colours(shot, area) > kPictureColours);
    });
    ASSERT_TRUE(run.running()) << "it ended before showing a picture: " << text(run.report());
    ASSERT_TRUE(shown) << "no picture in the preview window within " << kFirstPictureMs / 1000
                       << " s; " << text(run.report());

    // The picture fills the window: no band along an edge is uniform and
    // nothing of the window's own background is left.
    for (const QRect& edge : {QRect(200, 150, 400, 4), QRect(200, 446, 400, 4),
                              QRect(200, 150, 4, 300), QRect(596, 150, 4, 300)}) {
        EXPECT_GT(distinct_colours(shot, edge), 1) << "uniform band " << text(edge);
    }
    EXPECT_LT(count_near(shot, area, kHostBackground, 0), pixels_in(area) / 200)
        << "the window's background shows through";
    // It draws only in its window: the desktop around it is untouched.
    for (const QRect& around : {QRect(180, 130, 440, 20), QRect(180, 450, 440, 20),
                                QRect(180, 150, 20, 300), QRect(600, 150, 20, 300)}) {
        EXPECT_EQ(count_near(shot, around, kDesktop, 0), pixels_in(around))
            << "drawn outside the window: " << text(around);
    }
    // The caption, scaled down with the rest, in the middle of the window.
    const QRect middle(260, 230, 280, 140);
    constexpr int kCaptionPixels = 250;
    poll_until(kEndMs, [&] {
        shot = display_.screenshot();
        return count_near(shot, middle, kWhite, 8) >= kCaptionPixels;
    });
    EXPECT_GE(count_near(shot, middle, kWhite, 8), kCaptionPixels)
        << "too few white caption pixels in the middle of the preview";

    // Past the first music checks (two seconds into the run) with time to
    // spare: nothing was played.
    QThread::msleep(static_cast<unsigned long>(std::max<qint64>(0, 6000 - since_start.elapsed())));
    EXPECT_EQ(test::loud_samples(sound), 0) << "the preview played music";
    EXPECT_TRUE(client_.others_mapped().isEmpty())
        << "windows of its own: " << text(ids(client_.others_mapped()));
    ASSERT_TRUE(run.running()) << text(run.report());

    // The dialog closes the preview: the saver should be gone within a
    // second, bounded here by kEndMs.
    client_.destroy(preview);
    QElapsedTimer clock;
    clock.start();
    const bool ended = run.wait_for_end(kEndMs);
    ASSERT_TRUE(ended) << "it still runs " << kEndMs / 1000 << " s after its window was destroyed";
    report_time("end_after_window_destroyed_ms", clock.elapsed());
    EXPECT_TRUE(run.ended_cleanly()) << text(run.report());
    const QStringList left = run_folders(saver_.runtime_folder(), own_run_files());
    EXPECT_TRUE(left.isEmpty()) << "left in XDG_RUNTIME_DIR: "
                                << text(left.join(QStringLiteral(", ")));
    EXPECT_TRUE(everything_in(saver_.wallpaper_folder()).isEmpty()) << "a wallpaper was saved";
    EXPECT_TRUE(client_.others_mapped().isEmpty())
        << "windows of its own: " << text(ids(client_.others_mapped()));
}

// A host runs one process per monitor, each in its own window: one of them
// plays the music, and when it ends no other takes the music over.
TEST_F(PreviewE2eTest, OfAHostsProcessesOnePlaysAndTheMusicEndsWithIt) {
    ASSERT_NO_FATAL_FAILURE(set_options({{QStringLiteral("mute_audio"), QStringLiteral("0")}}));
    const QRect areas[2] = {QRect(0, 0, 700, 400), QRect(580, 320, 700, 400)};
    std::vector<std::unique_ptr<SaverProcess>> runs;
    QString sounds[2];
    for (int i = 0; i < 2; ++i) {
        const xcb_window_t window = client_.create_window(areas[i], kHostBackground);
        ASSERT_NE(window, 0u);
        sounds[i] = saver_.scratch_file(QStringLiteral("sound%1.raw").arg(i));
        saver_.set_sound_driver(QStringLiteral("disk"), sounds[i]);
        const test::EnvGuard host_window("XSCREENSAVER_WINDOW", hex(window));
        runs.push_back(std::make_unique<SaverProcess>(saver_, display_));
        ASSERT_TRUE(runs.back()->start({QStringLiteral("--root")})) << text(runs.back()->report());
    }
    int playing = -1;
    poll_until(kFirstPictureMs + kFirstSoundMs, [&] {
        for (int i = 0; i < 2; ++i) {
            if (test::loud_samples(sounds[i]) >= kLoudSamples) {
                playing = i;
            }
        }
        return playing >= 0 || !runs[0]->running() || !runs[1]->running();
    });
    ASSERT_GE(playing, 0) << "neither played; " << text(runs[0]->report()) << "; "
                          << text(runs[1]->report());
    const int other = 1 - playing;
    // Well past every try at the lock (the first three checks, two seconds apart).
    QThread::msleep(8000);
    EXPECT_EQ(test::loud_samples(sounds[other]), 0) << "both played";

    // The playing one ends; the other stays silent.
    runs[playing]->terminate();
    ASSERT_TRUE(runs[playing]->wait_for_end(kEndMs));
    EXPECT_TRUE(runs[playing]->ended_cleanly()) << text(runs[playing]->report());
    // Within the host's short grace, not cut short by the watchdog.
    EXPECT_FALSE(runs[playing]->report().contains(QLatin1String(kShutdownCutShortText).trimmed()))
        << text(runs[playing]->report());
    QThread::msleep(static_cast<unsigned long>(kQuietRunMs));
    EXPECT_TRUE(runs[other]->running()) << text(runs[other]->report());
    EXPECT_EQ(test::loud_samples(sounds[other]), 0) << "the music went on in the other process";
}

TEST_F(PreviewE2eTest, AWindowIdThatNamesNoWindowIsRefusedAtOnce) {
    const xcb_window_t preview = client_.create_window(QRect(200, 150, 400, 300), kHostBackground);
    ASSERT_NE(preview, 0u) << "the preview window did not show";
    struct Case {
        const char* what;
        QString id;
    };
    const QList<Case> cases = {
        {"an id no window has", hex(client_.unused_id())},
        {"a pixmap", hex(client_.make_pixmap())},
        {"None", QStringLiteral("0")},
        // Cut to 32 bits it would be the preview window.
        {"a number beyond 32 bits", hex((std::uint64_t{1} << 32) | preview)},
        {"not a number", QStringLiteral("0xwindow")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int status = 0;
        QString errors;
        qint64 ms = 0;
        const bool ended = run_to_end(
            {QStringLiteral("--root"), QStringLiteral("--window-id"), c.id}, &status, &errors, &ms);
        ASSERT_TRUE(ended) << "--window-id " << text(c.id) << " still runs after " << kEndMs / 1000
                           << " s";
        report_time("end_after_bad_window_id_ms", ms, QStringLiteral("--window-id ") + c.id);
        EXPECT_GT(status, 0) << "--window-id " << text(c.id) << " ended with status " << status
                             << "; it said: " << text(errors);
        // One line says what is wrong; a command line that cannot be read
        // (status 2) is followed by the pointer to --help.
        QStringList lines = errors.trimmed().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        if (status == 2 && !lines.isEmpty() &&
            lines.back() == QLatin1String("Try \"wintermere --help\" for the options.")) {
            lines.removeLast();
        }
        EXPECT_EQ(lines.size(), 1)
            << "--window-id " << text(c.id) << ": not a one-line message: " << text(errors);
        EXPECT_TRUE(client_.others_mapped().isEmpty())
            << "windows of its own: " << text(ids(client_.others_mapped()));
    }
    EXPECT_TRUE(client_.viewable(preview));
}

// -- Two monitors --------------------------------------------------------------------

constexpr QSize kDesk(2560, 1024);
constexpr QRect kLeft(0, 0, 1280, 1024);
constexpr QRect kRight(1280, 0, 1280, 1024);

class TwoMonitorsE2eTest : public ::testing::Test {
  protected:
    TwoMonitorsE2eTest() : display_(kDesk, {kLeft, kRight}) {}

    void SetUp() override {
        ASSERT_TRUE(display_.error().isEmpty()) << text(display_.error());
        QString error;
        ASSERT_TRUE(display_.paint_root(kDesktop, &error)) << text(error);
        ASSERT_TRUE(saver_.install(&error)) << text(error);
        ASSERT_TRUE(saver_.set_options({{QStringLiteral("mute_audio"), QStringLiteral("1")},
                                        {QStringLiteral("show_time"), QStringLiteral("0")}},
                                       &error))
            << text(error);
    }

    XDisplay display_;
    InstalledSaver saver_;
};

TEST_F(TwoMonitorsE2eTest, TheSaverCoversBothAndInputOnTheSecondEndsIt) {
    const QImage desktop = display_.screenshot();
    ASSERT_EQ(count_near(desktop, kRight, kDesktop, 0), pixels_in(kRight))
        << "the desktop's background is not the colour it was given";
    const QPoint on_second = kRight.center();
    for (const QStringList& input : {QStringList{QStringLiteral("key"), QStringLiteral("space")},
                                     QStringList{QStringLiteral("click"), QStringLiteral("1")}}) {
        SCOPED_TRACE(text(input.join(QLatin1Char(' '))));
        ASSERT_TRUE(display_.xdotool({QStringLiteral("mousemove"), QString::number(on_second.x()),
                                      QString::number(on_second.y())}));
        SaverProcess run(saver_, display_);
        ASSERT_TRUE(run.start({QStringLiteral("/s")})) << text(run.report());
        QImage shot;
        const bool covered = poll_until(kFirstPictureMs, [&] {
            if (!run.running()) {
                return true;  // reported below
            }
            if (display_.windows_titled(kTitle).isEmpty()) {
                return false;
            }
            shot = display_.screenshot();
            return !shot.isNull() && distinct_colours(shot, kLeft) > kPictureColours &&
                   count_near(shot, kRight, kDesktop, 0) < pixels_in(kRight) / 1000;
        });
        ASSERT_TRUE(run.running()) << "the saver ended at once: " << text(run.report());
        EXPECT_TRUE(covered) << "within " << kFirstPictureMs / 1000
                             << " s: " << distinct_colours(shot, kLeft)
                             << " colours on the primary monitor, "
                             << count_near(shot, kRight, kDesktop, 0)
                             << " pixels of the desktop's background on the second";
        ASSERT_TRUE(display_.xdotool(input)) << "xdotool " << text(input.join(QLatin1Char(' ')));
        EXPECT_TRUE(run.wait_for_end(kEndMs))
            << "xdotool " << text(input.join(QLatin1Char(' ')))
            << " on the second monitor did not end the saver within " << kEndMs / 1000 << " s";
        EXPECT_TRUE(run.ended_cleanly()) << text(run.report());
    }
}

}  // namespace
}  // namespace wm::e2e
