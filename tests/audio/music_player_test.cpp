// The songs of a run: the order after a random first song, the user's list,
// device types by file name, songs that cannot be played, and the same songs
// read ahead.

#include "audio/music_player.h"
#include "audio/media_control.h"
#include "platform/run_random.h"
#include "startup/saver_settings.h"
#include "tests/support/fake_audio_backend.h"
#include "tests/support/virtual_host.h"
#include "tests/support/warning_log.h"

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
    // Pack members as extracted files, but member 15, which fails to
    // extract; every member asked for is noted in `asked`.
    static MusicPlayer::PackMember failing_at_15(std::vector<int>& asked) {
        return [&asked](int n) -> std::optional<QString> {
            asked.push_back(n);
            if (n == 15) {
                return std::nullopt;
            }
            return member_file(n);
        };
    }

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
    MusicPlayer failing{settings, host, failing_at_15(asked)};
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

// The same run twice, one player reading each song ahead and one not: what
// they play, in what order, and what the sound system was asked.
class ReadAheadTest : public PlayerTest {
  protected:
    ReadAheadTest() {
        ahead_control.set_status_handler([this] { ahead_player.status_changed(ahead_control); });
    }

    // Plays `songs` songs on each player from the same seed, one tick each
    // (and one more while it plays), every song ending before the next
    // tick; `members` and `ahead_members` get the members each extracted.
    void play_both(std::uint64_t seed, int songs) {
        seed_run_random(seed);
        player.pick_first_song();
        play_songs(songs);
        player.stop_music(control);  // the device is not shared
        seed_run_random(seed);
        ahead_player.pick_first_song();
        ahead_player.load_ahead(ahead_control);
        for (int i = 0; i < songs; ++i) {
            ahead_player.music_tick(ahead_control);
            EXPECT_EQ(ahead_player.music_playing(), 1) << "song " << i;
            ahead_player.music_tick(ahead_control);
            ahead_backend.end_song();
            EXPECT_EQ(ahead_player.music_playing(), 0);
        }
    }

    std::vector<int> ahead_members;
    MusicPlayer ahead_player{settings, host, [this](int n) {
                                 ahead_members.push_back(n);
                                 return member_file(n);
                             }};
    FakeAudioBackend ahead_backend;
    MediaControl ahead_control{ahead_backend};
};

TEST_F(ReadAheadTest, EachSongIsReadAtTheEndOfTheLastAndOpenedAtTheNextTick) {
    for (std::uint64_t seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        members.clear();
        ahead_members.clear();
        backend.loads.clear();
        ahead_backend.loads.clear();
        ahead_backend.prepares.clear();
        ahead_backend.calls.clear();
        play_both(seed, 6);
        EXPECT_EQ(ahead_backend.files(), backend.files()) << "the same songs in the same order";
        EXPECT_TRUE(backend.prepares.empty()) << "nothing read ahead without load_ahead()";

        // One extraction and one preparation per song, the last one's
        // successor already read when the last song ended.
        ASSERT_EQ(ahead_members.size(), members.size() + 1);
        EXPECT_EQ(std::vector<int>(ahead_members.begin(), ahead_members.end() - 1), members);
        ASSERT_EQ(ahead_backend.prepares.size(), 7u);
        for (std::size_t i = 0; i < ahead_backend.loads.size(); ++i) {
            EXPECT_EQ(ahead_backend.loads[i].file, ahead_backend.prepares[i].file);
            EXPECT_TRUE(ahead_backend.loads[i].prepared) << "song " << i;
        }
        // Read before its tick; the song before it closed first.
        const QString first = member_file(members[0]);
        const QString second = member_file(members[1]);
        EXPECT_EQ(
            ahead_backend.calls.mid(0, 6),
            (QStringList{QStringLiteral("prepare ") + first, QStringLiteral("load ") + first,
                         QStringLiteral("play ") + first, QStringLiteral("unload ") + first,
                         QStringLiteral("prepare ") + second, QStringLiteral("load ") + second}));
    }
}

TEST_F(ReadAheadTest, TheSongEndsClosedAndItsTickOpensWhatWasChosenForIt) {
    seed_run_random(2);
    ahead_player.pick_first_song();
    ahead_player.load_ahead(ahead_control);
    ASSERT_EQ(ahead_members.size(), 1u) << "the first song is chosen at once";
    EXPECT_EQ(ahead_player.music_index(), ahead_members[0] - 14) << "but not yet current";
    ahead_player.music_tick(ahead_control);
    EXPECT_EQ(ahead_player.music_index(), ahead_members[0] - 13);
    ahead_backend.end_song();
    EXPECT_EQ(ahead_control.mode(), kModeNotReady) << "closed at its end";
    EXPECT_TRUE(ahead_backend.loaded.isEmpty());
    ASSERT_EQ(ahead_members.size(), 2u);
    EXPECT_EQ(ahead_player.music_index(), ahead_members[0] - 13) << "until the next tick";
    ahead_player.music_tick(ahead_control);
    EXPECT_EQ(ahead_player.music_index(), ahead_members[1] - 13);
    EXPECT_EQ(ahead_members.size(), 2u) << "nothing extracted at the tick";

    // A stop is no song's end: nothing is chosen or read then.
    const std::size_t prepares = ahead_backend.prepares.size();
    ahead_player.stop_music(ahead_control);
    EXPECT_EQ(ahead_backend.prepares.size(), prepares);
    EXPECT_EQ(ahead_members.size(), 2u);
}

TEST_F(ReadAheadTest, RandomSongsAreDrawnOncePerSongAndPlayedAsDrawn) {
    settings.random_music = 1;
    play_both(11, 12);
    ASSERT_EQ(ahead_members.size(), members.size() + 1);
    EXPECT_EQ(std::vector<int>(ahead_members.begin(), ahead_members.end() - 1), members)
        << "the same draws, in the same order";
    for (std::size_t i = 0; i < members.size(); ++i) {
        EXPECT_EQ(ahead_backend.loads[i].file, member_file(ahead_members[i]));
        EXPECT_TRUE(ahead_backend.loads[i].prepared);
    }
}

TEST_F(ReadAheadTest, ASongThatFailsIsReportedOnceAndSkippedAsWithoutReadingAhead) {
    use_list({QStringLiteral("/m/missing.wav"), QStringLiteral("/m/good.wav")});
    ahead_backend.unreadable.insert(QStringLiteral("/m/missing.wav"));
    test::WarningLog warnings;
    ahead_player.load_ahead(ahead_control);
    ASSERT_EQ(ahead_backend.calls, QStringList{QStringLiteral("prepare /m/missing.wav")});

    // The check fails the song read ahead as the load fails it, and the next
    // song is read at once.
    ahead_player.music_tick(ahead_control);
    EXPECT_EQ(ahead_player.music_index(), 1);
    EXPECT_EQ(ahead_player.music_playing(), 0);
    EXPECT_EQ(ahead_control.mode(), kModeNotReady);
    EXPECT_EQ(warnings.count_naming(QStringLiteral("/m/missing.wav")), 1);
    EXPECT_TRUE(warnings.lines().at(0).contains(QStringLiteral("unreadable")));
    EXPECT_EQ(ahead_backend.calls.last(), QStringLiteral("prepare /m/good.wav"));

    // The next check moves on to it, and round again to the failing one.
    ahead_player.music_tick(ahead_control);
    EXPECT_EQ(ahead_player.music_index(), 2);
    EXPECT_EQ(ahead_player.music_playing(), 1);
    EXPECT_TRUE(ahead_backend.loads.back().prepared);
    ahead_backend.end_song();
    ahead_player.music_tick(ahead_control);
    EXPECT_EQ(ahead_player.music_index(), 1);
    EXPECT_EQ(ahead_player.music_playing(), 0);
    EXPECT_EQ(warnings.count_naming(QStringLiteral("/m/missing.wav")), 1) << "logged once";

    // Without a device every check fails, each at the next song.
    ahead_backend.device_present = false;
    for (int i = 0; i < 4; ++i) {
        ahead_player.music_tick(ahead_control);
        EXPECT_EQ(ahead_player.music_index(), i % 2 == 0 ? 2 : 1);
        EXPECT_EQ(ahead_player.music_playing(), 0);
    }
}

TEST_F(ReadAheadTest, APackSongThatCannotBeExtractedIsSkippedAndTheNextOneRead) {
    std::vector<int> asked;
    MusicPlayer failing{settings, host, failing_at_15(asked)};
    ahead_control.set_status_handler([&] { failing.status_changed(ahead_control); });
    failing.pick_first_song();
    failing.load_ahead(ahead_control);
    std::vector<int> played;
    for (int tick = 0; tick < 6; ++tick) {
        const std::size_t loads_before = ahead_backend.loads.size();
        failing.music_tick(ahead_control);
        if (failing.music_playing() == 1) {
            played.push_back(failing.music_index() + 13);
            EXPECT_TRUE(ahead_backend.loads.back().prepared);
            ahead_backend.end_song();
        } else {
            EXPECT_EQ(failing.music_index(), 2) << "only member 15 fails";
            EXPECT_EQ(ahead_backend.loads.size(), loads_before) << "nothing opened";
        }
    }
    for (std::size_t i = 1; i < asked.size(); ++i) {
        EXPECT_EQ(asked[i], (asked[i - 1] - 13) % 4 + 14) << "each song once, in order";
    }
    EXPECT_EQ(asked.size(), 7u);
    EXPECT_EQ(std::count(played.begin(), played.end(), 15), 0);
    EXPECT_GE(played.size(), 4u);
}

TEST_F(ReadAheadTest, AMutedRunReadsNothingAndAStopLetsTheSongReadAheadGo) {
    settings.mute_audio = 1;
    ahead_player.pick_first_song();
    ahead_player.load_ahead(ahead_control);
    EXPECT_TRUE(ahead_backend.calls.isEmpty());
    EXPECT_TRUE(ahead_members.empty());

    settings.mute_audio = 0;
    ahead_player.load_ahead(ahead_control);
    ASSERT_EQ(ahead_members.size(), 1u);
    ahead_player.stop_music(ahead_control);
    EXPECT_FALSE(ahead_backend.prepare_pending());
    EXPECT_EQ(ahead_backend.calls.last(),
              QStringLiteral("discard ") + member_file(ahead_members[0]));
    // A check after all opens the song chosen for it, read then.
    ahead_player.music_tick(ahead_control);
    EXPECT_EQ(ahead_members.size(), 1u);
    ASSERT_EQ(ahead_backend.loads.size(), 1u);
    EXPECT_EQ(ahead_backend.loads[0].file, member_file(ahead_members[0]));
    EXPECT_FALSE(ahead_backend.loads[0].prepared);
}

TEST_F(ReadAheadTest, AFileOfNoKnownTypeIsReadWithTheDeviceTypeItsOpenWillHave) {
    use_list({QStringLiteral("/m/first.mid"), QStringLiteral("/m/second.ogg")});
    ahead_player.load_ahead(ahead_control);
    ahead_player.music_tick(ahead_control);
    ahead_backend.end_song();
    ASSERT_EQ(ahead_backend.prepares.size(), 2u);
    EXPECT_EQ(ahead_backend.prepares[1].decoder, Decoder::Midi) << "the type song 1 left";
    ahead_player.music_tick(ahead_control);
    ASSERT_EQ(ahead_backend.loads.size(), 2u);
    EXPECT_EQ(ahead_backend.loads[1].decoder, Decoder::Midi);
    EXPECT_TRUE(ahead_backend.loads[1].prepared);
}

}  // namespace
}  // namespace wm
