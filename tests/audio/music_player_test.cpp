// The songs of a run: the order after a random first song, the user's list,
// device types by file name, and songs that cannot be played.

#include "audio/music_player.h"
#include "audio/media_control.h"
#include "platform/run_random.h"
#include "startup/saver_settings.h"
#include "tests/support/fake_audio_backend.h"
#include "tests/support/virtual_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <vector>

namespace wm {
namespace {

using test::FakeAudioBackend;

class PlayerTest : public testing::Test {
  protected:
    PlayerTest() {
        control.set_status_handler([this] { player.status_changed(control); });
    }

    // The pack's member n, as extraction names it.
    static QString member_file(int n) { return QStringLiteral("/tmp/run/member%1.mid").arg(n); }

    // Plays `songs` songs to their end, one music tick each, and gives the
    // members or files that were opened.
    QStringList play_songs(int songs) {
        backend.loads.clear();
        for (int i = 0; i < songs; ++i) {
            player.music_tick(control);
            EXPECT_EQ(player.music_playing(), 1) << "song " << i;
            player.music_tick(control);  // still playing: nothing happens
            backend.end_song();
            EXPECT_EQ(player.music_playing(), 0);
        }
        return backend.files();
    }

    void use_list(const QStringList& files) {
        settings.custom_music_flag = 1;
        settings.custom_audio_files_total = static_cast<int>(files.size());
        settings.custom_audio_paths = {QString()};
        for (const QString& file : files) {
            settings.custom_audio_paths.push_back(file);
        }
    }

    SaverSettings settings;
    test::VirtualHost host;
    std::vector<int> members;
    MusicPlayer player{settings, host, [this](int n) {
                           members.push_back(n);
                           return member_file(n);
                       }};
    FakeAudioBackend backend;
    MediaControl control{backend};
};

TEST_F(PlayerTest, PackSongsFollowTheRandomFirstInOrder) {
    for (std::uint64_t seed = 1; seed <= 8; ++seed) {
        seed_run_random(seed);
        player.pick_first_song();
        const int first = player.music_index() + 1;
        ASSERT_GE(first, 1);
        ASSERT_LE(first, 4);
        members.clear();
        const QStringList files = play_songs(6);
        std::vector<int> expected;
        for (int i = 0; i < 6; ++i) {
            expected.push_back((first - 1 + i) % 4 + 1 + 13);
        }
        EXPECT_EQ(members, expected) << "first song " << first;
        EXPECT_EQ(files.first(), member_file(first + 13));
        EXPECT_EQ(backend.loads.front().decoder, Decoder::Midi);
    }
}

TEST_F(PlayerTest, RandomMusicDrawsEverySong) {
    settings.random_music = 1;
    seed_run_random(3);
    player.pick_first_song();
    play_songs(40);
    std::set<int> drawn(members.begin(), members.end());
    EXPECT_EQ(drawn, (std::set<int>{14, 15, 16, 17}));
}

TEST_F(PlayerTest, AUserListOfOnePlaysItAgainAfterItsEnd) {
    use_list({QStringLiteral("/music/only.wav")});
    player.pick_first_song();
    EXPECT_EQ(player.music_index(), 0);
    EXPECT_EQ(play_songs(3), QStringList(3, QStringLiteral("/music/only.wav")));
    EXPECT_TRUE(members.empty()) << "the pack is not touched";
    EXPECT_EQ(backend.loads[0].decoder, Decoder::Wave);
}

TEST_F(PlayerTest, AnEmptyUserListPlaysThePacksSongs) {
    use_list({});
    player.pick_first_song();
    play_songs(2);
    EXPECT_EQ(members.size(), 2u);

    // A total above the paths held counts only those paths.
    use_list({QStringLiteral("/music/a.mid")});
    settings.custom_audio_files_total = 5;
    members.clear();
    EXPECT_EQ(play_songs(2), QStringList(2, QStringLiteral("/music/a.mid")));
    EXPECT_TRUE(members.empty());
}

TEST_F(PlayerTest, TheDeviceTypeFollowsTheLastThreeLettersOfThePath) {
    settings.mp3_devicename = QStringLiteral("mpegvideo");
    EXPECT_EQ(device_type_for(QStringLiteral("/m/song.Mp3"), settings),
              QStringLiteral("mpegvideo"));
    EXPECT_EQ(device_type_for(QStringLiteral("/m/song.rmi"), settings),
              QStringLiteral("Sequencer"));
    EXPECT_EQ(device_type_for(QStringLiteral("/m/song.WAV"), settings),
              QStringLiteral("WaveAudio"));
    EXPECT_EQ(device_type_for(QStringLiteral("False"), settings), std::nullopt);
    EXPECT_EQ(device_type_for(QStringLiteral("/m/song.ogg"), settings), std::nullopt);

    use_list({QStringLiteral("/m/first.Mp3"), QStringLiteral("/m/second.ogg"),
              QStringLiteral("/m/third.mid"), QStringLiteral("/m/fourth.ogg")});
    std::vector<QString> device_types;
    for (int i = 0; i < 4; ++i) {
        player.music_tick(control);
        device_types.push_back(control.device_type());
        backend.end_song();
    }
    EXPECT_EQ(device_types,
              (std::vector<QString>{QStringLiteral("mpegvideo"), QStringLiteral("mpegvideo"),
                                    QStringLiteral("Sequencer"), QStringLiteral("Sequencer")}));
    EXPECT_EQ(backend.loads[1].decoder, Decoder::Any) << "the ogg file opened as the mp3 before";

    // A device name cleared in the settings is no name at all: the wave file
    // does not take the type before it (MIDI) but is told by its content.
    settings.wav_devicename.clear();
    EXPECT_EQ(device_type_for(QStringLiteral("/m/song.wav"), settings), QString());
    backend.loads.clear();
    EXPECT_TRUE(player.play_music_file(QStringLiteral("/m/song.wav"), control));
    EXPECT_EQ(control.device_type(), QString());
    ASSERT_EQ(backend.loads.size(), 1u);
    EXPECT_EQ(backend.loads[0].decoder, Decoder::Any);
}

TEST_F(PlayerTest, ASongThatCannotPlayIsClosedAndTheNextTickMovesOn) {
    use_list({QStringLiteral("/m/missing.wav"), QStringLiteral("/m/other.xyz"),
              QStringLiteral("/m/song.mid"), QStringLiteral("/m/refused.wav")});
    backend.unreadable.insert(QStringLiteral("/m/missing.wav"));
    settings.midi_devicename = QStringLiteral("NoSuchDevice");

    // Song 1: the file cannot be read.
    player.music_tick(control);
    EXPECT_EQ(player.music_index(), 1);
    EXPECT_EQ(player.music_playing(), 0);
    EXPECT_EQ(control.mode(), kModeNotReady);

    // Song 2 opens with the device type song 1 left, and plays.
    player.music_tick(control);
    EXPECT_EQ(player.music_index(), 2);
    EXPECT_EQ(player.music_playing(), 1);
    EXPECT_EQ(control.device_type(), QStringLiteral("WaveAudio"));
    backend.end_song();

    // Song 3's device type names no device: nothing is read at all.
    const std::size_t loads_before = backend.loads.size();
    player.music_tick(control);
    EXPECT_EQ(player.music_index(), 3);
    EXPECT_EQ(player.music_playing(), 0);
    EXPECT_EQ(backend.loads.size(), loads_before);

    // Song 4 opens but the device refuses to play it.
    backend.refuse_play = true;
    EXPECT_FALSE(player.play_music_file(QStringLiteral("/m/refused.wav"), control));
    EXPECT_EQ(player.music_playing(), 0);
    EXPECT_EQ(control.mode(), kModeNotReady);
    EXPECT_TRUE(backend.loaded.isEmpty());
    player.music_tick(control);
    EXPECT_EQ(player.music_index(), 4);
    EXPECT_EQ(player.music_playing(), 0);

    // And round again to song 1.
    backend.refuse_play = false;
    player.music_tick(control);
    EXPECT_EQ(player.music_index(), 1);
}

TEST_F(PlayerTest, APackSongThatCannotBeExtractedIsSkippedWithoutOpeningAnything) {
    // Member 15 fails to extract; no stand-in name for the failure (a file
    // named "False" in the working folder, say) may ever be opened instead.
    std::vector<int> asked;
    MusicPlayer failing{settings, host, [&](int n) -> std::optional<QString> {
                            asked.push_back(n);
                            if (n == 15) {
                                return std::nullopt;
                            }
                            return member_file(n);
                        }};
    control.set_status_handler([&] { failing.status_changed(control); });
    seed_run_random(5);
    failing.pick_first_song();
    for (int tick = 0; tick < 5; ++tick) {
        const std::size_t loads_before = backend.loads.size();
        failing.music_tick(control);
        if (asked.back() == 15) {
            EXPECT_EQ(backend.loads.size(), loads_before) << "nothing opened";
            EXPECT_EQ(failing.music_playing(), 0);
            EXPECT_EQ(control.mode(), kModeNotReady);
        } else {
            EXPECT_EQ(failing.music_playing(), 1);
            backend.end_song();
        }
    }
    ASSERT_EQ(asked.size(), 5u);
    EXPECT_NE(std::find(asked.begin(), asked.end(), 15), asked.end());
    for (std::size_t i = 1; i < asked.size(); ++i) {
        EXPECT_EQ(asked[i], (asked[i - 1] - 13) % 4 + 14) << "the next tick moves on";
    }
    for (const FakeAudioBackend::Load& load : backend.loads) {
        EXPECT_TRUE(load.file.startsWith(QStringLiteral("/tmp/run/member")))
            << qPrintable(load.file);
    }
}

TEST_F(PlayerTest, WithoutASoundDeviceEveryTickFailsQuietly) {
    backend.device_present = false;
    player.pick_first_song();
    for (int i = 0; i < 6; ++i) {
        player.music_tick(control);
        EXPECT_EQ(player.music_playing(), 0);
        EXPECT_EQ(control.mode(), kModeNotReady);
    }
    EXPECT_EQ(members.size(), 6u) << "one attempt per tick, each at the next song";
}

TEST_F(PlayerTest, EachSongOpensNotifyingNotWaitingNotShared) {
    control.set_notify(false);
    control.set_wait(true);
    control.set_shareable(true);
    ASSERT_TRUE(player.play_music_file(QStringLiteral("/m/a.wav"), control));
    EXPECT_TRUE(control.notify());
    EXPECT_FALSE(control.wait());
    EXPECT_FALSE(control.shareable());
    EXPECT_EQ(control.file_name(), QStringLiteral("/m/a.wav"));
    EXPECT_EQ(control.mode(), kModePlaying);
}

TEST_F(PlayerTest, StopMusicSilencesAndClosesLettingEventsRunBetween) {
    player.music_tick(control);
    ASSERT_TRUE(backend.playing);
    const std::uint64_t yields = host.yields();
    player.stop_music(control);
    EXPECT_FALSE(backend.playing);
    EXPECT_TRUE(backend.loaded.isEmpty());
    EXPECT_EQ(player.music_playing(), 0);
    EXPECT_EQ(control.mode(), kModeNotReady);
    EXPECT_EQ(host.yields() - yields, 2u);
}

}  // namespace
}  // namespace wm
