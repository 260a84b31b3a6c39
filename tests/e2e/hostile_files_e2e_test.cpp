// End-to-end runs of the installed saver over picture and music lists that
// name every kind of file a careless or hostile list may hold: empty,
// truncated and damaged files, headers that claim pictures far larger than
// any screen, special files (a pipe, a folder, a link to a device) and
// missing ones, beside good pictures and a good song. The saver must go on
// showing and playing what it can, change scenes on time, never take more
// memory than a screen's pictures need, never stop for a message box, and
// end at once when asked.

#include "tests/audio/sound_files.h"
#include "tests/e2e/e2e_support.h"
#include "tests/e2e/saver_e2e_fixture.h"
#include "tests/e2e/saver_process.h"
#include "tests/e2e/screen_stats.h"
#include "tests/support/hostile_files.h"
#include "tests/support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <csignal>
#include <vector>

#include <gtest/gtest.h>

namespace wm::e2e {
namespace {

// Peak memory (VmHWM) a run may reach: a few screens' pictures and the
// program's own, far below what any of the hostile headers would cost.
constexpr qint64 kPeakMemoryBytes = qint64{300} << 20;
// Scenes last ten seconds; allow a busy machine a few more.
constexpr int kSceneMs = 10000;
constexpr int kSceneSlackMs = 7000;
// A screenshot within this share of a picture shows that picture.
constexpr double kSamePicture = 0.1;

// The process's peak resident memory in bytes, from /proc; -1 when unknown.
qint64 peak_memory(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').front().toLongLong() * 1024;
        }
    }
    return -1;
}

class HostileFilesE2eTest : public SaverE2eTest {
  protected:
    void SetUp() override {
        SaverE2eTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(folder()));
    }

    QString folder() const { return saver_.scratch_file(QStringLiteral("lists")); }
    QString path(const QString& name) const { return folder() + QLatin1Char('/') + name; }
    QString file(const QString& name, const QByteArray& bytes) {
        EXPECT_TRUE(test::write_file(path(name), bytes)) << text(path(name));
        return path(name);
    }

    // Every hostile kind of picture file, in the order the list names them.
    QStringList hostile_pictures() {
        const QByteArray whole = test::jpeg_bytes(test::colourful_picture(640, 360, 90));
        QStringList list = {
            file(QStringLiteral("zero.jpg"), QByteArray()),
            file(QStringLiteral("truncated.jpg"), whole.left(whole.size() * 3 / 5)),
            file(QStringLiteral("huge.jpg"), test::jpeg_claiming(60000, 60000)),
            file(QStringLiteral("huge.png"), test::png_claiming(30000, 30000)),
            file(QStringLiteral("broken.gif"), test::broken_gif()),
            file(QStringLiteral("upside.bmp"), test::bmp_with_negative_height()),
            path(QStringLiteral("x.jpg")),
            path(QStringLiteral("y.jpg")),
            path(QStringLiteral("missing.jpg")),
            path(QStringLiteral("zero-device.jpg")),
        };
        EXPECT_TRUE(QDir().mkpath(path(QStringLiteral("x.jpg"))));
        EXPECT_TRUE(test::make_fifo(path(QStringLiteral("y.jpg"))));
        EXPECT_TRUE(
            QFile::link(QStringLiteral("/dev/zero"), path(QStringLiteral("zero-device.jpg"))));
        return list;
    }

    // The options of a custom list `prefix` ("custom_picture" or "custom_audio").
    static void add_list(SettingValues& values, const QString& prefix, const QStringList& files) {
        values.emplace_back(prefix + QStringLiteral("_files_total"), QString::number(files.size()));
        for (int n = 1; n <= files.size(); ++n) {
            values.emplace_back(prefix + QStringLiteral("_paths") + QString::number(n),
                                files[n - 1]);
        }
    }
};

TEST_F(HostileFilesE2eTest, GoodPicturesAndTheGoodSongAmongHostileFilesShowAndPlayOnTime) {
    const QImage good[2] = {test::colourful_picture(kScreen.width(), kScreen.height(), 0),
                            test::colourful_picture(kScreen.width(), kScreen.height(), 180)};
    QStringList pictures = hostile_pictures();
    pictures << file(QStringLiteral("good1.jpg"), test::jpeg_bytes(good[0], 95))
             << file(QStringLiteral("good2.jpg"), test::jpeg_bytes(good[1], 95));

    const QStringList songs = {
        file(QStringLiteral("zero.mid"), QByteArray()),
        file(QStringLiteral("words.mp3"), QByteArray("These are words, not music.\n")),
        file(QStringLiteral("huge.wav"), test::wave_claiming_gigabytes()),
        path(QStringLiteral("pipe.wav")),
        file(QStringLiteral("good.wav"), test::wave_tone(60.0, 440.0)),
    };
    ASSERT_TRUE(test::make_fifo(path(QStringLiteral("pipe.wav"))));

    SettingValues values = {{QStringLiteral("custom_picture_flag"), QStringLiteral("1")},
                            {QStringLiteral("custom_music_flag"), QStringLiteral("1")},
                            {QStringLiteral("mute_audio"), QStringLiteral("0")},
                            {QStringLiteral("random_pictures"), QStringLiteral("0")},
                            {QStringLiteral("random_music"), QStringLiteral("0")},
                            {QStringLiteral("scene_duration"), QStringLiteral("10")},
                            {QStringLiteral("captions_off"), QStringLiteral("1")}};
    add_list(values, QStringLiteral("custom_picture"), pictures);
    add_list(values, QStringLiteral("custom_audio"), songs);
    ASSERT_NO_FATAL_FAILURE(set_options(values));
    const QString sound = saver_.scratch_file(QStringLiteral("sound.raw"));
    saver_.set_sound_driver(QStringLiteral("disk"), sound);

    SaverProcess run(saver_, display_);
    QImage shot;
    ASSERT_NO_FATAL_FAILURE(start_saver(run, &shot));

    // The good pictures take turns, with the truncated one (shown as far as
    // it goes) between them once a round: the other hostile entries are
    // passed over, not waited on. Four turns take the list through at least
    // one whole round.
    const QRect screen(QPoint(0, 0), kScreen);
    std::vector<int> turns;
    poll_until(7 * (kSceneMs + kSceneSlackMs), [&] {
        const QImage now = display_.screenshot();
        for (int n = 0; n < 2; ++n) {
            if (changed_fraction(now, good[n], screen, kChangeThreshold) < kSamePicture &&
                (turns.empty() || turns.back() != n)) {
                turns.push_back(n);
            }
        }
        return turns.size() >= 4 || !run.running();
    });
    EXPECT_GE(turns.size(), 4u) << "the good pictures took " << turns.size() << " turns; "
                                << text(run.report());

    EXPECT_TRUE(poll_until(kFirstSoundMs, [&] { return test::loud_samples(sound) > kLoudSamples; }))
        << "the good song never sounded: " << test::loud_samples(sound) << " loud samples; "
        << text(run.report());

    const qint64 peak = peak_memory(run.pid());
    EXPECT_GT(peak, 0);
    EXPECT_LT(peak, kPeakMemoryBytes) << "peak memory " << (peak >> 20) << " MB";

    ASSERT_TRUE(run.running()) << text(run.report());
    ASSERT_NO_FATAL_FAILURE(end_by_input(run, {QStringLiteral("key"), QStringLiteral("space")}));
    EXPECT_TRUE(own_run_files().isEmpty()) << text(own_run_files().join(QStringLiteral(", ")));

    // Each unusable picture is told once on standard error, however often
    // the list came round, and never in a box on the screen.
    const QString said = run.report();
    for (const QString& name :
         {QStringLiteral("zero.jpg"), QStringLiteral("huge.jpg"), QStringLiteral("huge.png"),
          QStringLiteral("broken.gif"), QStringLiteral("upside.bmp"), QStringLiteral("x.jpg"),
          QStringLiteral("y.jpg"), QStringLiteral("missing.jpg"),
          QStringLiteral("zero-device.jpg")}) {
        EXPECT_EQ(said.count(path(name) + QLatin1Char(':')), 1)
            << text(name) << " in: " << text(said);
    }
}

TEST_F(HostileFilesE2eTest, OnlyUnreadablePicturesShowABlackStageWithItsCaptionAndSigtermEndsIt) {
    QStringList pictures = hostile_pictures();
    pictures.removeAll(path(QStringLiteral("truncated.jpg")));
    SettingValues values = {{QStringLiteral("custom_picture_flag"), QStringLiteral("1")},
                            {QStringLiteral("captions_size"), QStringLiteral("60")},
                            {QStringLiteral("scene_duration"), QStringLiteral("10")}};
    add_list(values, QStringLiteral("custom_picture"), pictures);
    ASSERT_NO_FATAL_FAILURE(set_options(values));

    SaverProcess run(saver_, display_);
    ASSERT_TRUE(run.start({QStringLiteral("/s")})) << text(run.report());
    // The caption in white on black, and nothing else.
    const QRect middle(240, 260, 800, 200);
    constexpr int kCaptionPixels = 6000;
    QImage shot;
    const bool captioned = poll_until(kFirstPictureMs, [&] {
        if (!run.running() || display_.windows_titled(kTitle).isEmpty()) {
            return !run.running();
        }
        shot = display_.screenshot();
        return count_near(shot, middle, kWhite, 8) >= kCaptionPixels;
    });
    ASSERT_TRUE(run.running()) << text(run.report());
    ASSERT_TRUE(captioned) << "no caption within " << kFirstPictureMs / 1000 << " s; "
                           << text(run.report());
    const QRect bottom(0, 560, 1280, 160);
    EXPECT_EQ(count_near(shot, bottom, kBlack, 0), bottom.width() * bottom.height())
        << "the stage below the caption is not black";
    // Past a scene change it still runs, and a host's SIGTERM ends it.
    EXPECT_FALSE(run.wait_for_end(kSceneMs + 2000)) << text(run.report());
    run.terminate();
    EXPECT_TRUE(run.wait_for_end(kEndMs)) << "SIGTERM did not end the saver";
    EXPECT_TRUE(own_run_files().isEmpty()) << text(own_run_files().join(QStringLiteral(", ")));
}

}  // namespace
}  // namespace wm::e2e
