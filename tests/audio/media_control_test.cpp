// The multimedia control: device type names, the modes its commands walk
// through, the status event, failures that leave it closed, the shareable
// switch, the wait switch, and songs read ahead.

#include "audio/media_control.h"
#include "tests/support/fake_audio_backend.h"

#include <gtest/gtest.h>

#include <vector>

namespace wm {
namespace {

using test::FakeAudioBackend;

class ControlTest : public testing::Test {
  protected:
    ControlTest() {
        control.set_status_handler([this] { reported.push_back(control.mode()); });
    }

    bool open(MediaControl& on, const QString& device, const QString& file) {
        on.set_device_type(device);
        on.set_file_name(file);
        return on.command(QStringLiteral("Open"));
    }

    FakeAudioBackend backend;
    MediaControl control{backend};
    std::vector<int> reported;
};

TEST(DeviceTypes, NameTheirDecodersInAnyCase) {
    EXPECT_EQ(decoder_for_device(QStringLiteral("WaveAudio")), Decoder::Wave);
    EXPECT_EQ(decoder_for_device(QStringLiteral("waveaudio")), Decoder::Wave);
    EXPECT_EQ(decoder_for_device(QStringLiteral("Sequencer")), Decoder::Midi);
    EXPECT_EQ(decoder_for_device(QStringLiteral(" SEQUENCER ")), Decoder::Midi);
    EXPECT_EQ(decoder_for_device(QStringLiteral("MPEGVideo")), Decoder::Any);
    EXPECT_EQ(decoder_for_device(QStringLiteral("CDAudio")), std::nullopt);
    EXPECT_EQ(decoder_for_device(QString()), Decoder::Any);
    EXPECT_EQ(decoder_for_device(QStringLiteral("  ")), Decoder::Any);
}

TEST_F(ControlTest, CommandsWalkTheModesAndReportEachChange) {
    EXPECT_EQ(control.mode(), kModeNotReady);
    ASSERT_TRUE(open(control, QStringLiteral("Sequencer"), QStringLiteral("/m/song.mid")));
    ASSERT_EQ(backend.loads.size(), 1u);
    EXPECT_EQ(backend.loads[0].decoder, Decoder::Midi);
    EXPECT_TRUE(control.command(QStringLiteral("play")));
    EXPECT_TRUE(backend.playing);
    EXPECT_TRUE(control.command(QStringLiteral("STOP")));
    EXPECT_FALSE(backend.playing);
    EXPECT_TRUE(control.command(QStringLiteral("Close")));
    EXPECT_TRUE(backend.loaded.isEmpty());
    EXPECT_EQ(reported,
              (std::vector<int>{kModeStopped, kModePlaying, kModeStopped, kModeNotReady}));
    EXPECT_TRUE(control.error().isEmpty());

    // Stop and Close on a closed device do nothing and change nothing.
    reported.clear();
    EXPECT_TRUE(control.command(QStringLiteral("Stop")));
    EXPECT_TRUE(control.command(QStringLiteral("Close")));
    EXPECT_TRUE(reported.empty());
    EXPECT_FALSE(control.command(QStringLiteral("Eject")));
    EXPECT_TRUE(control.error().contains(QStringLiteral("Eject")));
}

TEST_F(ControlTest, ASongsEndIsReportedOnlyWithNotifyOn) {
    control.set_notify(true);
    ASSERT_TRUE(open(control, QStringLiteral("WaveAudio"), QStringLiteral("/m/a.wav")));
    ASSERT_TRUE(control.command(QStringLiteral("Play")));
    reported.clear();
    backend.end_song();
    EXPECT_EQ(control.mode(), kModeStopped);
    EXPECT_EQ(reported, (std::vector<int>{kModeStopped}));

    // Played again, with notify off: the mode still turns, silently.
    control.set_notify(false);
    ASSERT_TRUE(control.command(QStringLiteral("Play")));
    reported.clear();
    backend.end_song();
    EXPECT_EQ(control.mode(), kModeStopped);
    EXPECT_TRUE(reported.empty());
}

TEST_F(ControlTest, FailuresLeaveTheDeviceClosedAndSayWhy) {
    EXPECT_FALSE(open(control, QStringLiteral("CDAudio"), QStringLiteral("/m/a.wav")));
    EXPECT_TRUE(control.error().contains(QStringLiteral("CDAudio")));
    EXPECT_TRUE(backend.loads.empty()) << "an unknown device reads nothing";

    EXPECT_FALSE(open(control, QStringLiteral("WaveAudio"), QString()));
    EXPECT_TRUE(backend.loads.empty());

    backend.unreadable.insert(QStringLiteral("/m/bad.wav"));
    EXPECT_FALSE(open(control, QStringLiteral("WaveAudio"), QStringLiteral("/m/bad.wav")));
    EXPECT_EQ(control.error(), QStringLiteral("unreadable"));
    EXPECT_EQ(control.mode(), kModeNotReady);

    EXPECT_FALSE(control.command(QStringLiteral("Play")));
    EXPECT_FALSE(control.error().isEmpty());

    backend.refuse_play = true;
    ASSERT_TRUE(open(control, QStringLiteral("WaveAudio"), QStringLiteral("/m/good.wav")));
    EXPECT_FALSE(control.command(QStringLiteral("Play")));
    EXPECT_EQ(control.mode(), kModeStopped) << "a refused play keeps the mode";
    EXPECT_EQ(reported, (std::vector<int>{kModeStopped}));
}

TEST_F(ControlTest, OpeningAgainClosesTheFirstSong) {
    ASSERT_TRUE(open(control, QStringLiteral("WaveAudio"), QStringLiteral("/m/a.wav")));
    ASSERT_TRUE(control.command(QStringLiteral("Play")));
    ASSERT_TRUE(open(control, QStringLiteral("MPEGVideo"), QStringLiteral("/m/b.mp3")));
    EXPECT_FALSE(backend.playing);
    EXPECT_EQ(backend.loaded, QStringLiteral("/m/b.mp3"));
    EXPECT_EQ(control.mode(), kModeStopped);
}

TEST_F(ControlTest, ADeviceThatIsNotShareableBelongsToOneControl) {
    FakeAudioBackend other_backend;
    MediaControl other(other_backend);
    ASSERT_TRUE(open(control, QStringLiteral("WaveAudio"), QStringLiteral("/m/a.wav")));
    EXPECT_FALSE(open(other, QStringLiteral("WaveAudio"), QStringLiteral("/m/b.wav")));
    EXPECT_TRUE(other.error().contains(QStringLiteral("in use")));
    other.set_shareable(true);
    EXPECT_FALSE(open(other, QStringLiteral("WaveAudio"), QStringLiteral("/m/b.wav")))
        << "the first holder did not share";

    control.set_shareable(true);
    ASSERT_TRUE(open(control, QStringLiteral("WaveAudio"), QStringLiteral("/m/a.wav")));
    EXPECT_TRUE(open(other, QStringLiteral("WaveAudio"), QStringLiteral("/m/b.wav")));

    control.command(QStringLiteral("Close"));
    other.set_shareable(false);
    EXPECT_TRUE(open(other, QStringLiteral("WaveAudio"), QStringLiteral("/m/b.wav")));
}

TEST_F(ControlTest, AClosedControlNoLongerHoldsTheDevice) {
    {
        FakeAudioBackend gone_backend;
        MediaControl gone(gone_backend);
        ASSERT_TRUE(open(gone, QStringLiteral("WaveAudio"), QStringLiteral("/m/a.wav")));
        ASSERT_TRUE(gone.command(QStringLiteral("Play")));
        EXPECT_FALSE(open(control, QStringLiteral("WaveAudio"), QStringLiteral("/m/b.wav")));
    }
    EXPECT_TRUE(open(control, QStringLiteral("WaveAudio"), QStringLiteral("/m/b.wav")))
        << "a control closes its device when it goes";
}

TEST_F(ControlTest, WithWaitOnPlayReturnsOnlyAfterTheSongsEnd) {
    control.set_wait(true);
    control.set_notify(true);
    ASSERT_TRUE(open(control, QStringLiteral("WaveAudio"), QStringLiteral("/m/a.wav")));
    backend.end_song_later();
    EXPECT_TRUE(control.command(QStringLiteral("Play")));
    EXPECT_EQ(control.mode(), kModeStopped);
    EXPECT_EQ(reported, (std::vector<int>{kModeStopped, kModePlaying, kModeStopped}));

    // A stop from an event ends the wait as well.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [this] { control.command(QStringLiteral("Stop")); },
        Qt::QueuedConnection);
    EXPECT_TRUE(control.command(QStringLiteral("Play")));
    EXPECT_FALSE(backend.playing);
}

TEST_F(ControlTest, APlayThatWaitsInsideAnotherEndsBothWaits) {
    control.set_wait(true);
    ASSERT_TRUE(open(control, QStringLiteral("WaveAudio"), QStringLiteral("/m/a.wav")));
    bool inner_returned = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [&] {
            backend.end_song_later();
            control.command(QStringLiteral("Play"));
            inner_returned = true;
        },
        Qt::QueuedConnection);
    EXPECT_TRUE(control.command(QStringLiteral("Play")));
    EXPECT_TRUE(inner_returned);
    EXPECT_EQ(control.mode(), kModeStopped);
}

TEST_F(ControlTest, APrepareReadsAheadWithTheDeviceTypesDecoderAndTouchesNothingElse) {
    control.set_notify(true);
    ASSERT_TRUE(open(control, QStringLiteral("WaveAudio"), QStringLiteral("/m/a.wav")));
    ASSERT_TRUE(control.command(QStringLiteral("Play")));
    reported.clear();
    control.prepare(QStringLiteral("/m/next.mid"), QStringLiteral(" sequencer"));
    ASSERT_EQ(backend.prepares.size(), 1u);
    EXPECT_EQ(backend.prepares[0].file, QStringLiteral("/m/next.mid"));
    EXPECT_EQ(backend.prepares[0].decoder, Decoder::Midi);
    EXPECT_TRUE(backend.playing) << "the song playing plays on";
    EXPECT_EQ(control.mode(), kModePlaying);
    EXPECT_EQ(control.file_name(), QStringLiteral("/m/a.wav"));
    EXPECT_EQ(control.device_type(), QStringLiteral("WaveAudio"));
    EXPECT_TRUE(reported.empty());

    // Its Open takes it.
    ASSERT_TRUE(open(control, QStringLiteral("Sequencer"), QStringLiteral("/m/next.mid")));
    ASSERT_EQ(backend.loads.size(), 2u);
    EXPECT_TRUE(backend.loads[1].prepared);

    // Nothing to read for a device type that names no device, or no file;
    // the Open says why, as ever.
    control.prepare(QStringLiteral("/m/c.wav"), QStringLiteral("CDAudio"));
    control.prepare(QString(), QStringLiteral("WaveAudio"));
    EXPECT_EQ(backend.prepares.size(), 1u);
    control.prepare(QStringLiteral("/m/any"), QString());
    ASSERT_EQ(backend.prepares.size(), 2u);
    EXPECT_EQ(backend.prepares[1].decoder, Decoder::Any);

    // Discarded on request, and when the control goes.
    control.discard_prepared();
    EXPECT_FALSE(backend.prepare_pending());
    {
        MediaControl gone(backend);
        gone.prepare(QStringLiteral("/m/d.wav"), QStringLiteral("WaveAudio"));
        EXPECT_TRUE(backend.prepare_pending());
    }
    EXPECT_FALSE(backend.prepare_pending());
}

TEST_F(ControlTest, ASongOverIsToldFromAStoppedSongUntilTheNextCommand) {
    control.set_notify(true);
    ASSERT_TRUE(open(control, QStringLiteral("WaveAudio"), QStringLiteral("/m/a.wav")));
    ASSERT_TRUE(control.command(QStringLiteral("Play")));
    EXPECT_FALSE(control.song_over());
    bool over_when_reported = false;
    control.set_status_handler([&] { over_when_reported = control.song_over(); });
    backend.end_song();
    EXPECT_TRUE(over_when_reported);
    EXPECT_TRUE(control.song_over());
    ASSERT_TRUE(control.command(QStringLiteral("Play")));
    EXPECT_FALSE(control.song_over());
    ASSERT_TRUE(control.command(QStringLiteral("Stop")));
    EXPECT_FALSE(over_when_reported) << "a stop is no song's end";
    EXPECT_FALSE(control.song_over());
}

TEST(ControlLife, AControlEndedByItsOwnStatusEventWaitsNoLonger) {
    FakeAudioBackend backend;
    auto* control = new MediaControl(backend);
    control->set_wait(true);
    control->set_notify(true);
    control->set_device_type(QStringLiteral("WaveAudio"));
    control->set_file_name(QStringLiteral("/m/a.wav"));
    ASSERT_TRUE(control->command(QStringLiteral("Open")));
    control->set_status_handler([&] {
        if (control->mode() == kModeStopped && backend.plays == 1) {
            delete control;
        }
    });
    backend.end_song_later();
    // Returns into a control that is gone: the sanitizers watch this.
    control->command(QStringLiteral("Play"));
    EXPECT_TRUE(backend.loaded.isEmpty());

    // Ended as its song starts, the handler replacing itself first.
    control = new MediaControl(backend);
    control->set_wait(true);
    control->set_device_type(QStringLiteral("WaveAudio"));
    control->set_file_name(QStringLiteral("/m/b.wav"));
    ASSERT_TRUE(control->command(QStringLiteral("Open")));
    control->set_status_handler([&] {
        if (control->mode() == kModePlaying) {
            control->set_status_handler([] {});
            delete control;
        }
    });
    control->command(QStringLiteral("Play"));
    EXPECT_TRUE(backend.loaded.isEmpty());
}

}  // namespace
}  // namespace wm
