// The control on the real sound system, SDL2_mixer writing to a file through
// SDL's disk driver: each kind of song gives sound and then the stopped
// status; names and contents the devices do not take fail to open; a stop
// silences at once; one song cuts another off; songs read ahead on a worker
// thread are what their Open would have read, or are read again.

#include "audio/mixer_backend.h"
#include "audio/media_control.h"
#include "audio/sdl_library.h"
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
#include <optional>
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

    // Reads `file` ahead for `device` and waits until the worker is done.
    static void read_ahead(MixerBackend& backend, MediaControl& control, const QString& device,
                           const QString& file) {
        control.prepare(file, device);
        EXPECT_TRUE(wait_for([&] { return backend.prepared_ready(); }, 60000)) << "read ahead";
    }

    // The error of an Open of `file` on `device` by a control that read
    // nothing ahead (empty when it opens).
    static QString open_error(const QString& device, const QString& file) {
        MixerBackend backend;
        MediaControl control(backend);
        control.set_device_type(device);
        control.set_file_name(file);
        control.command(QStringLiteral("Open"));
        return control.error();
    }

    // One of the pack's songs, extracted into the test's folder.
    std::optional<QString> pack_song(int member) {
        PackTable pack;
        const QString base = QStringLiteral(WM_MEDIA_DIR "/pack/images");
        if (load_pack_index(pack, base) != IndexLoad::Loaded) {
            return std::nullopt;
        }
        pack.temp_folder = dir.path() + QLatin1Char('/');
        return extract_member_path(pack, base, member);
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

TEST_F(MixerTest, ASongReadAheadIsTakenByItsOpenAndSounds) {
    const std::optional<QString> song = pack_song(16);
    ASSERT_TRUE(song.has_value());
    const QString note = write(QStringLiteral("note.mid"), test::midi_note());
    MixerBackend backend;
    MediaControl control(backend);
    std::vector<int> statuses;
    control.set_status_handler([&] { statuses.push_back(control.mode()); });
    read_ahead(backend, control, QStringLiteral("Sequencer"), *song);
    EXPECT_TRUE(statuses.empty()) << "reading ahead changes no mode";
    EXPECT_EQ(control.mode(), kModeNotReady);

    // Another song read ahead replaces it; its Open takes it and plays it.
    read_ahead(backend, control, QStringLiteral("Sequencer"), note);
    start(control, QStringLiteral("Sequencer"), note);
    EXPECT_EQ(backend.loads_taken_ahead(), 1u);
    EXPECT_FALSE(backend.prepared_ready()) << "taken, not kept";
    ASSERT_TRUE(wait_for([&] { return control.mode() == kModeStopped; }, 60000));
    EXPECT_EQ(statuses, (std::vector<int>{kModeStopped, kModePlaying, kModeStopped}));
    EXPECT_GT(loud_samples(), 44100 * 2 / 4) << "a quarter of a second at least";

    // Read for one device, opened with another: read anew, as that device
    // reads it.
    read_ahead(backend, control, QStringLiteral("Sequencer"), note);
    control.set_device_type(QStringLiteral("WaveAudio"));
    EXPECT_FALSE(control.command(QStringLiteral("Open")));
    EXPECT_EQ(control.error(), open_error(QStringLiteral("WaveAudio"), note));
    EXPECT_EQ(backend.loads_taken_ahead(), 1u);
}

TEST_F(MixerTest, TheFirstSongReadAheadWaitsForTheSoundSystemToLoad) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const QString note = write(QStringLiteral("note.mid"), test::midi_note());
    const QString sequencer = QStringLiteral("Sequencer");
    // In a process of its own, where nothing has loaded the sound system: it
    // loads on a thread of its own, and the songs read ahead meanwhile wait.
    // The one still wanted is read once it is there and taken by its Open;
    // the one discarded meanwhile is never read.
    EXPECT_EXIT(
        {
            int failed = 0;
            QFile maps(QStringLiteral("/proc/self/maps"));
            if (!maps.open(QIODevice::ReadOnly) || maps.readAll().contains("libSDL2")) {
                failed |= 8;  // linked, or loaded before it was wanted
            }
            MixerBackend dropped;
            MediaControl dropping(dropped);
            dropping.prepare(note, sequencer);
            dropped.discard_prepared();
            MixerBackend backend;
            MediaControl control(backend);
            control.prepare(note, sequencer);
            if (!wait_for([&] { return backend.prepared_ready(); }, 60000)) {
                failed |= 1;
            }
            if (wait_for([&] { return dropped.prepared_ready(); }, 1000)) {
                failed |= 2;
            }
            control.set_device_type(sequencer);
            control.set_file_name(note);
            if (!control.command(QStringLiteral("Open")) || backend.loads_taken_ahead() != 1) {
                failed |= 4;
            }
            dir.remove();  // the process ends here, without the fixture's end
            std::_Exit(failed);
        },
        testing::ExitedWithCode(0), "");
}

TEST(SoundSystem, ALibraryThatIsMissingOrLacksAFunctionIsAProblemNamed) {
    QString problem;
    EXPECT_EQ(
        open_sdl_library("libwintermere-no-such-sdl.so.0", "libSDL2_mixer-2.0.so.0", &problem),
        nullptr);
    EXPECT_TRUE(problem.startsWith(QStringLiteral("The sound system cannot be loaded: ")));
    EXPECT_TRUE(problem.contains(QStringLiteral("libwintermere-no-such-sdl.so.0")))
        << qPrintable(problem);

    problem.clear();
    EXPECT_EQ(open_sdl_library("libSDL2-2.0.so.0", "libwintermere-no-such-mixer.so.0", &problem),
              nullptr);
    EXPECT_TRUE(problem.contains(QStringLiteral("libwintermere-no-such-mixer.so.0")))
        << qPrintable(problem);

    // A library that loads but is not SDL_mixer.
    problem.clear();
    EXPECT_EQ(open_sdl_library("libSDL2-2.0.so.0", "libz.so.1", &problem), nullptr);
    EXPECT_TRUE(problem.startsWith(QStringLiteral("The sound system lacks Mix_Init: ")))
        << qPrintable(problem);

    const std::unique_ptr<SdlLibrary> library =
        open_sdl_library("libSDL2-2.0.so.0", "libSDL2_mixer-2.0.so.0", &problem);
    ASSERT_NE(library, nullptr) << qPrintable(problem);
    EXPECT_NE(library->HaltMusic, nullptr);
}

TEST_F(MixerTest, ASongIsReadAheadWhileAnotherPlaysOn) {
    const EnvGuard real_time("SDL_DISKAUDIODELAY", std::nullopt);
    const QString long_wave = write(QStringLiteral("long.wav"), test::wave_tone(120.0, 330.0));
    const QString note = write(QStringLiteral("note.mid"), test::midi_note());
    MixerBackend backend;
    MediaControl control(backend);
    ASSERT_NO_FATAL_FAILURE(start(control, QStringLiteral("WaveAudio"), long_wave));
    read_ahead(backend, control, QStringLiteral("Sequencer"), note);
    EXPECT_EQ(control.mode(), kModePlaying);
    const qint64 read_at = QFile(output_file).size();
    ASSERT_TRUE(wait_for(
        [&] { return QFile(output_file).size() > read_at + 8 * kDeviceBufferBytes; }, 10000));
    EXPECT_GT(loud_samples(read_at), 0) << "the song played on meanwhile";
    EXPECT_EQ(control.mode(), kModePlaying);

    start(control, QStringLiteral("Sequencer"), note);
    EXPECT_EQ(backend.loads_taken_ahead(), 1u);
    EXPECT_EQ(control.mode(), kModePlaying);
}

TEST_F(MixerTest, WhatFailsToReadAheadFailsItsOpenInTheSameWords) {
    const struct {
        const char* name;
        QByteArray bytes;
        const char* device;
        const char* says;
    } cases[] = {
        {"tone.wav", test::wave_tone(0.2, 440.0), "Sequencer", "not a MIDI song"},
        {"tone.mp3", test::mp3_tone(0.5), "WaveAudio", "Cannot play"},
        {"noise.mp3", QByteArray(4096, '\x5a'), "MPEGVideo", "Cannot play"},
        {"empty.mid", QByteArray(), "Sequencer", "not a MIDI song"},
    };
    MixerBackend backend;
    MediaControl control(backend);
    std::uint64_t taken = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = write(QLatin1String(c.name), c.bytes);
        const QString device = QLatin1String(c.device);
        const QString unprepared = open_error(device, file);
        ASSERT_TRUE(unprepared.contains(QLatin1String(c.says))) << qPrintable(unprepared);
        read_ahead(backend, control, device, file);
        control.set_device_type(device);
        control.set_file_name(file);
        EXPECT_FALSE(control.command(QStringLiteral("Open")));
        EXPECT_EQ(control.error(), unprepared);
        EXPECT_EQ(control.mode(), kModeNotReady);
        EXPECT_EQ(backend.loads_taken_ahead(), ++taken) << "the failure read ahead was taken";
    }
}

TEST_F(MixerTest, SpecialFilesAreNotReadAheadAndOpenNoDevice) {
    const QString pipe = dir.filePath(QStringLiteral("pipe.mid"));
    ASSERT_TRUE(test::make_fifo(pipe));
    const QString zero = dir.filePath(QStringLiteral("zero.mp3"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    const QString folder = dir.filePath(QStringLiteral("x.mid"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("x.mid")));
    const QString absent = dir.filePath(QStringLiteral("absent.wav"));
    const struct {
        QString file;
        const char* device;
        const char* says;
    } cases[] = {
        {pipe, "Sequencer", "a named pipe"},
        {zero, "MPEGVideo", "a device"},
        {folder, "Sequencer", "a folder"},
        {absent, "WaveAudio", "No such file"},
    };
    MixerBackend backend;
    MediaControl control(backend);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        control.prepare(c.file, QLatin1String(c.device));
        EXPECT_FALSE(backend.prepared_ready());
        control.set_device_type(QLatin1String(c.device));
        control.set_file_name(c.file);
        EXPECT_FALSE(control.command(QStringLiteral("Open")));
        EXPECT_TRUE(control.error().contains(c.file)) << qPrintable(control.error());
        EXPECT_TRUE(control.error().contains(QLatin1String(c.says))) << qPrintable(control.error());
    }
    EXPECT_EQ(backend.loads_taken_ahead(), 0u);
    EXPECT_FALSE(QFile::exists(output_file)) << "no sound device was opened for them";
}

TEST_F(MixerTest, AFileChangedSinceItWasReadAheadIsReadAgain) {
    const QByteArray midi = test::midi_note();
    const QByteArray wave = test::wave_tone(0.2, 440.0);
    const QString file = write(QStringLiteral("song.mid"), midi);
    const QString sequencer = QStringLiteral("Sequencer");
    MixerBackend backend;
    MediaControl control(backend);
    control.set_device_type(sequencer);
    control.set_file_name(file);
    const auto rewrite = [&](const QByteArray& bytes) {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(out.write(bytes), bytes.size());
    };

    // A song that became something else.
    read_ahead(backend, control, sequencer, file);
    rewrite(wave);
    EXPECT_FALSE(control.command(QStringLiteral("Open")));
    EXPECT_TRUE(control.error().contains(QStringLiteral("not a MIDI song")));

    // Something else that became a song.
    read_ahead(backend, control, sequencer, file);
    rewrite(midi);
    EXPECT_TRUE(control.command(QStringLiteral("Open"))) << qPrintable(control.error());

    // The very same bytes, but another file put in its place.
    read_ahead(backend, control, sequencer, file);
    const QString copy = write(QStringLiteral("copy.mid"), midi);
    ASSERT_TRUE(
        ::rename(QFile::encodeName(copy).constData(), QFile::encodeName(file).constData()) == 0);
    EXPECT_TRUE(control.command(QStringLiteral("Open"))) << qPrintable(control.error());
    EXPECT_EQ(backend.loads_taken_ahead(), 0u) << "each of them read anew";

    // A pipe in its place is refused unopened, without waiting.
    read_ahead(backend, control, sequencer, file);
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(test::make_fifo(file));
    EXPECT_FALSE(control.command(QStringLiteral("Open")));
    EXPECT_TRUE(control.error().contains(QStringLiteral("a named pipe")))
        << qPrintable(control.error());
    ASSERT_TRUE(QFile::remove(file));
    EXPECT_EQ(backend.loads_taken_ahead(), 0u);

    // Unchanged, it is taken.
    write(QStringLiteral("song.mid"), midi);
    read_ahead(backend, control, sequencer, file);
    EXPECT_TRUE(control.command(QStringLiteral("Open"))) << qPrintable(control.error());
    EXPECT_EQ(backend.loads_taken_ahead(), 1u);
}

TEST_F(MixerTest, ReadingAheadEndsSafelyWhenItsBackEndOrItsSongGoes) {
    const std::optional<QString> song = pack_song(14);
    ASSERT_TRUE(song.has_value());
    const QString sequencer = QStringLiteral("Sequencer");
    // Gone while the worker reads (the sanitizers watch the worker's end).
    for (int i = 0; i < 3; ++i) {
        MixerBackend backend;
        MediaControl control(backend);
        control.prepare(*song, sequencer);
    }
    {
        MixerBackend backend;
        backend.prepare(*song, Decoder::Midi);
    }
    // Gone once read, never taken: its synthesiser is freed with it.
    {
        MixerBackend backend;
        MediaControl control(backend);
        read_ahead(backend, control, sequencer, *song);
    }
    // Another song opened instead, and one read ahead and then let go.
    const QString wave = write(QStringLiteral("tone.wav"), test::wave_tone(0.3, 440.0));
    MixerBackend backend;
    MediaControl control(backend);
    read_ahead(backend, control, sequencer, *song);
    start(control, QStringLiteral("WaveAudio"), wave);
    EXPECT_FALSE(backend.prepared_ready());
    EXPECT_TRUE(wait_for([&] { return control.mode() == kModeStopped; }, 20000));
    read_ahead(backend, control, sequencer, *song);
    control.discard_prepared();
    EXPECT_FALSE(backend.prepared_ready());
    control.set_file_name(*song);
    control.set_device_type(sequencer);
    EXPECT_TRUE(control.command(QStringLiteral("Open"))) << qPrintable(control.error());
    EXPECT_EQ(backend.loads_taken_ahead(), 0u);
}

}  // namespace
}  // namespace wm
