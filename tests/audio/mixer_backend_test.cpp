// The control on the real sound system, SDL2_mixer writing to a file through
// SDL's disk driver: each kind of song gives sound and then the stopped
// status; names and contents the devices do not take fail to open; a stop
// silences at once; one song cuts another off.

#include "audio/mixer_backend.h"
#include "audio/media_control.h"
#include "pack/pack_extract.h"
#include "pack/pack_index.h"
#include "tests/audio/sound_files.h"
#include "tests/support/hostile_files.h"
#include "tests/support/test_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

namespace wm {
namespace {

using test::EnvGuard;

// The device writes 2048 frames of 4 bytes at a time.
constexpr qint64 kDeviceBufferBytes = 2048 * 4;

bool wait_for(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.hasExpired(ms)) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
    return true;
}

class MixerTest : public testing::Test {
  protected:
    QString write(const QString& name, const QByteArray& bytes) {
        return test::write_file_in(dir, name, bytes);
    }

    qint64 loud_samples(qint64 from = 0) const { return test::loud_samples(output_file, from); }

    // Opens `file` on `device` with notify on, and plays it.
    static void start(MediaControl& control, const QString& device, const QString& file) {
        control.set_notify(true);
        control.set_device_type(device);
        control.set_file_name(file);
        EXPECT_TRUE(control.command(QStringLiteral("Open"))) << qPrintable(control.error());
        EXPECT_TRUE(control.command(QStringLiteral("Play"))) << qPrintable(control.error());
    }

    // Plays `file` on `device` to its end; the statuses seen.
    std::vector<int> play_to_end(const QString& device, const QString& file) {
        std::vector<int> statuses;
        {
            MixerBackend backend;
            MediaControl control(backend);
            control.set_status_handler([&] { statuses.push_back(control.mode()); });
            start(control, device, file);
            EXPECT_TRUE(wait_for([&] { return control.mode() == kModeStopped; }, 60000));
        }
        return statuses;
    }

    QTemporaryDir dir;
    QString output_file = dir.filePath(QStringLiteral("device.raw"));
    EnvGuard driver{"SDL_AUDIODRIVER", QStringLiteral("disk")};
    EnvGuard disk_file{"SDL_DISKAUDIOFILE", output_file};
    // As fast as the songs can be made, not in real time.
    EnvGuard no_delay{"SDL_DISKAUDIODELAY", QStringLiteral("0")};
};

TEST_F(MixerTest, APackSongSoundsOnTheSequencerAndThenStops) {
    PackTable pack;
    const QString base = QStringLiteral(WM_MEDIA_DIR "/pack/images");
    ASSERT_EQ(load_pack_index(pack, base), IndexLoad::Loaded);
    pack.temp_folder = dir.path() + QLatin1Char('/');
    // The shortest of the four songs.
    const std::optional<QString> song = extract_member_path(pack, base, 16);
    ASSERT_TRUE(song.has_value());
    ASSERT_TRUE(song->endsWith(QLatin1String(".mid")));

    EXPECT_EQ(play_to_end(QStringLiteral("Sequencer"), *song),
              (std::vector<int>{kModeStopped, kModePlaying, kModeStopped}));
    EXPECT_GT(loud_samples(), 44100 * 2 * 30) << "at least half a minute of music";
}

TEST_F(MixerTest, AWaveFileSoundsAndThenStops) {
    const QString file = write(QStringLiteral("tone.wav"), test::wave_tone(1.0, 440.0));
    const std::vector<int> statuses = play_to_end(QStringLiteral("WaveAudio"), file);
    EXPECT_EQ(statuses.at(2), kModeStopped);
    // One second at 44.1 kHz in two channels, give or take the resampling.
    EXPECT_NEAR(static_cast<double>(loud_samples()), 88200.0, 4000.0);
}

TEST_F(MixerTest, ARiffMidiFileSoundsOnTheSequencerToo) {
    const QString file = write(QStringLiteral("note.rmi"), test::rmi_file(test::midi_note()));
    const std::vector<int> statuses = play_to_end(QStringLiteral("sequencer"), file);
    EXPECT_EQ(statuses.at(2), kModeStopped);
    EXPECT_GT(loud_samples(), 44100 * 2 / 4) << "a quarter of a second at least";
}

TEST_F(MixerTest, AnMp3FileSoundsOnTheMpegPlayerAndThenStops) {
    const QString file = write(QStringLiteral("tone.mp3"), test::mp3_tone(2.0));
    const std::vector<int> statuses = play_to_end(QStringLiteral("MPEGVideo"), file);
    EXPECT_EQ(statuses.at(2), kModeStopped);
    EXPECT_GT(loud_samples(), 44100 * 2 * 3 / 2) << "most of the two seconds";
}

TEST_F(MixerTest, DevicesRefuseNamesAndContentsTheyDoNotTake) {
    const QString wave = write(QStringLiteral("tone.wav"), test::wave_tone(0.2, 440.0));
    MixerBackend backend;
    MediaControl control(backend);
    control.set_file_name(wave);
    control.set_device_type(QStringLiteral("AVIVideo"));
    EXPECT_FALSE(control.command(QStringLiteral("Open")));
    EXPECT_EQ(control.mode(), kModeNotReady);
    EXPECT_FALSE(QFile::exists(output_file)) << "no device was opened for an unknown type";

    control.set_device_type(QStringLiteral("Sequencer"));
    EXPECT_FALSE(control.command(QStringLiteral("Open"))) << "a wave file is no MIDI song";
    EXPECT_TRUE(control.error().contains(QStringLiteral("not a MIDI song")));

    control.set_file_name(write(QStringLiteral("tone.mp3"), test::mp3_tone(0.5)));
    control.set_device_type(QStringLiteral("WaveAudio"));
    EXPECT_FALSE(control.command(QStringLiteral("Open"))) << "an MP3 file is no wave file";

    control.set_file_name(dir.filePath(QStringLiteral("absent.wav")));
    control.set_device_type(QStringLiteral("WaveAudio"));
    EXPECT_FALSE(control.command(QStringLiteral("Open")));
    EXPECT_TRUE(control.error().contains(QStringLiteral("absent.wav")));

    control.set_file_name(wave);
    EXPECT_TRUE(control.command(QStringLiteral("Open"))) << qPrintable(control.error());
}

TEST_F(MixerTest, SpecialFilesAreRefusedUnopenedAndOpenNoDevice) {
    // A pipe would hold the window up for ever, /dev/zero would be played as
    // endless noise or read without end, a folder is no song.
    const QString pipe = dir.filePath(QStringLiteral("pipe.wav"));
    ASSERT_TRUE(test::make_fifo(pipe));
    const QString pipe_midi = dir.filePath(QStringLiteral("pipe.mid"));
    ASSERT_TRUE(test::make_fifo(pipe_midi));
    const QString zero = dir.filePath(QStringLiteral("zero.mp3"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    const QString folder = dir.filePath(QStringLiteral("x.mp3"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("x.mp3")));
    const struct {
        QString file;
        const char* device;
        const char* says;
    } cases[] = {
        {pipe, "WaveAudio", "a named pipe"},
        {pipe, "MPEGVideo", "a named pipe"},
        {pipe_midi, "Sequencer", "a named pipe"},
        {zero, "MPEGVideo", "a device"},
        {zero, "Sequencer", "a device"},
        {folder, "MPEGVideo", "a folder"},
        {folder, "", "a folder"},
    };
    MixerBackend backend;
    MediaControl control(backend);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString() + " " + c.device);
        control.set_device_type(QLatin1String(c.device));
        control.set_file_name(c.file);
        EXPECT_FALSE(control.command(QStringLiteral("Open")));
        EXPECT_EQ(control.mode(), kModeNotReady);
        EXPECT_TRUE(control.error().contains(c.file)) << qPrintable(control.error());
        EXPECT_TRUE(control.error().contains(QLatin1String(c.says))) << qPrintable(control.error());
    }
    EXPECT_FALSE(QFile::exists(output_file)) << "no sound device was opened for them";
}

TEST_F(MixerTest, AStopSilencesAtOnceAndReportsNoEnd) {
    // In real time, so that the song is surely still playing when stopped.
    const EnvGuard real_time("SDL_DISKAUDIODELAY", std::nullopt);
    const QString file = write(QStringLiteral("long.wav"), test::wave_tone(120.0, 330.0));
    MixerBackend backend;
    MediaControl control(backend);
    ASSERT_NO_FATAL_FAILURE(start(control, QStringLiteral("WaveAudio"), file));
    ASSERT_TRUE(
        wait_for([&] { return QFile(output_file).size() > 20 * kDeviceBufferBytes; }, 10000));
    ASSERT_EQ(control.mode(), kModePlaying);
    ASSERT_TRUE(control.command(QStringLiteral("Stop")));
    const qint64 stopped_at = QFile(output_file).size();
    std::vector<int> statuses;
    control.set_status_handler([&] { statuses.push_back(control.mode()); });
    // Let the device write on: silence, after the buffer it had in hand.
    ASSERT_TRUE(wait_for(
        [&] { return QFile(output_file).size() > stopped_at + 40 * kDeviceBufferBytes; }, 10000));
    EXPECT_GT(loud_samples(), 0);
    EXPECT_EQ(loud_samples(stopped_at + 2 * kDeviceBufferBytes), 0);
    EXPECT_TRUE(statuses.empty());
    EXPECT_EQ(control.mode(), kModeStopped);
}

TEST_F(MixerTest, OneSongCutsAnotherOffWhichThenReportsItsEnd) {
    const QString first = write(QStringLiteral("first.wav"), test::wave_tone(120.0, 330.0));
    const QString second = write(QStringLiteral("second.wav"), test::wave_tone(0.5, 550.0));
    MixerBackend first_backend;
    MixerBackend second_backend;
    MediaControl one(first_backend);
    MediaControl two(second_backend);
    one.set_shareable(true);
    two.set_shareable(true);
    start(one, QStringLiteral("WaveAudio"), first);
    start(two, QStringLiteral("WaveAudio"), second);
    EXPECT_EQ(two.mode(), kModePlaying);
    EXPECT_TRUE(wait_for([&] { return one.mode() == kModeStopped; }, 5000));
    EXPECT_TRUE(wait_for([&] { return two.mode() == kModeStopped; }, 20000));
}

}  // namespace
}  // namespace wm
