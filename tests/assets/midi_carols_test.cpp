// The four built-in songs as files: sound Standard MIDI Files, long enough,
// arranged for several instruments, with percussion where the song wants it
// and no wrong notes against the chords on the strong beats.

#include "assets/songs/carols.h"
#include "tests/assets/midi_file_reader.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace wm::test {
namespace {

constexpr int kPercussionChannel = 9;
constexpr int kJingleBellKey = 83;

struct Song {
    const char* name;
    QByteArray (*make)();
    bool percussion;
};

void PrintTo(const Song& song, std::ostream* out) {
    *out << song.name;
}

class CarolSong : public ::testing::TestWithParam<Song> {
  protected:
    void SetUp() override {
        bytes_ = GetParam().make();
        file_ = midi::read_midi_file(bytes_);
        ASSERT_EQ(file_.problem, "");
    }
    QByteArray bytes_;
    midi::MidiFile file_;
};

TEST_P(CarolSong, IsASoundStandardMidiFile) {
    EXPECT_EQ(file_.format, 1);
    EXPECT_EQ(file_.division, 480);
    ASSERT_GE(file_.tracks.size(), 5u);
    for (std::size_t i = 0; i < file_.tracks.size(); ++i) {
        const auto& track = file_.tracks[i];
        EXPECT_FALSE(midi::track_name(track).empty()) << "track " << i;
        int unmatched = -1;
        const auto notes = midi::track_notes(track, &unmatched);
        EXPECT_EQ(unmatched, 0) << "track " << i;
        EXPECT_EQ(notes.empty(), i == 0) << "track " << i << ": only the conductor has no notes";
    }
    // The conductor sets the tempo, metre and key before anything sounds.
    std::set<int> conductor_meta;
    for (const auto& e : file_.tracks[0].events) {
        if (e.status == 0xFF && e.tick == 0) {
            conductor_meta.insert(e.meta_type);
        }
    }
    for (const int meta : {midi::kMetaTrackName, midi::kMetaTempo, midi::kMetaTimeSignature,
                           midi::kMetaKeySignature}) {
        EXPECT_TRUE(conductor_meta.count(meta)) << "meta " << meta;
    }
    // The same source writes the same bytes.
    EXPECT_EQ(GetParam().make(), bytes_);
}

TEST_P(CarolSong, LastsOneToThreeMinutesAndSlowsAtTheEnd) {
    const double seconds = midi::seconds_at(file_, midi::last_tick(file_));
    EXPECT_GE(seconds, 60.0);
    EXPECT_LE(seconds, 180.0);
    const auto tempos = midi::tempos(file_);
    ASSERT_GE(tempos.size(), 2u);
    EXPECT_LT(tempos.back(), tempos.front() * 0.85) << "a ritardando at the end";
    // The last note has died away before the file ends, and not long before.
    std::uint32_t last_note = 0;
    for (const auto& n : midi::all_notes(file_)) {
        last_note = std::max(last_note, n.end);
    }
    EXPECT_LE(last_note, midi::last_tick(file_));
    EXPECT_LT(seconds - midi::seconds_at(file_, last_note), 3.0);
}

TEST_P(CarolSong, IsArrangedForSeveralInstruments) {
    std::map<int, int> program_of_channel;
    std::set<int> percussion_keys;
    for (const auto& track : file_.tracks) {
        for (const auto& e : track.events) {
            if (e.is_program_change()) {
                program_of_channel[e.channel()] = e.data[0];
            }
            if (e.is_note_on() && e.channel() == kPercussionChannel) {
                percussion_keys.insert(e.data[0]);
            }
        }
    }
    EXPECT_GE(program_of_channel.size(), 4u);
    std::set<int> programs;
    for (const auto& [channel, program] : program_of_channel) {
        programs.insert(program);
    }
    EXPECT_GE(programs.size(), 4u);
    EXPECT_FALSE(program_of_channel.count(kPercussionChannel));
    EXPECT_EQ(!percussion_keys.empty(), GetParam().percussion);
    if (std::string(GetParam().name) == "jingle_bells") {
        EXPECT_TRUE(percussion_keys.count(kJingleBellKey)) << "sleigh bells";
    }
}

// A minor second (or major seventh) between any two notes sounding together
// on a downbeat means a wrong note in a tune or a wrong chord under it.
TEST_P(CarolSong, NoSemitoneClashesOnDownbeats) {
    std::vector<midi::Sounding> pitched;
    for (const auto& n : midi::all_notes(file_)) {
        if (n.channel != kPercussionChannel) {
            pitched.push_back(n);
        }
    }
    const auto bar = static_cast<std::uint32_t>(midi::bar_ticks(file_));
    ASSERT_GT(bar, 0u);
    for (std::uint32_t tick = 0; tick < midi::last_tick(file_); tick += bar) {
        std::set<int> classes;
        std::string sounding;
        for (const auto& n : pitched) {
            if (n.start <= tick && tick < n.end) {
                classes.insert(n.key % 12);
                // Appended in two steps: GCC 12 at -O3 takes `" " + std::string` for a
                // copy of an impossible length (a -Wstringop-overflow false positive).
                sounding += ' ';
                sounding += midi::pitch_name(n.key);
            }
        }
        for (const int pc : classes) {
            EXPECT_FALSE(classes.count((pc + 1) % 12))
                << "bar " << tick / bar << " (from 0):" << sounding;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    BuiltInSongs, CarolSong,
    ::testing::Values(Song{"jingle_bells", media::jingle_bells_midi, true},
                      Song{"deck_the_halls", media::deck_the_halls_midi, true},
                      Song{"merry_christmas", media::merry_christmas_midi, true},
                      Song{"silent_night", media::silent_night_midi, false}),
    [](const ::testing::TestParamInfo<Song>& song) { return std::string(song.param.name); });

}  // namespace
}  // namespace wm::test
