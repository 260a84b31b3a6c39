// The text the songs are written in, and the arranger that plays it: slips
// in a note table are caught with their bar, and accompaniment follows the
// chords.

#include "assets/songs/arrangement.h"
#include "assets/songs/score_text.h"
#include "tests/assets/midi_file_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace wm::test {
namespace {

using media::kTicksPerQuarter;
using media::Meter;

TEST(MidiScoreText, PitchNamesAndLengths) {
    EXPECT_EQ(media::parse_pitch("C4"), 60);
    EXPECT_EQ(media::parse_pitch("A4"), 69);
    EXPECT_EQ(media::parse_pitch("F#4"), 66);
    EXPECT_EQ(media::parse_pitch("Bb3"), 58);
    EXPECT_EQ(media::parse_pitch("Cb4"), 59);
    EXPECT_EQ(media::parse_pitch("C-1"), 0);
    EXPECT_EQ(media::parse_pitch("G9"), 127);
    for (const char* bad : {"G#9", "C10", "C-2", "H4", "c4", "C", "4", "C#", "C4x", ""}) {
        EXPECT_EQ(media::parse_pitch(bad), std::nullopt) << bad;
    }

    EXPECT_EQ(media::parse_length("w"), 4 * kTicksPerQuarter);
    EXPECT_EQ(media::parse_length("h."), 3 * kTicksPerQuarter);
    EXPECT_EQ(media::parse_length("q.."), 7 * kTicksPerQuarter / 4);
    EXPECT_EQ(media::parse_length("e"), kTicksPerQuarter / 2);
    EXPECT_EQ(media::parse_length("s"), kTicksPerQuarter / 4);
    for (const char* bad : {"x", "", ".", "q,", "s...."}) {
        EXPECT_EQ(media::parse_length(bad), std::nullopt) << bad;
    }
}

TEST(MidiScoreText, BarsMustAddUpAndTiesJoinNotes) {
    const Meter common{4, 4};
    const auto tune = media::parse_timeline("C4:q. D4:e E4:h | -:q F4:q G4:h|A4:w|", common);
    ASSERT_EQ(tune.problem, "");
    ASSERT_EQ(tune.items.size(), 7u);
    EXPECT_EQ(tune.items[1].start, 3 * kTicksPerQuarter / 2);
    EXPECT_EQ(tune.items[3].symbol, "-");
    EXPECT_EQ(tune.items[6].symbol, "A4");
    EXPECT_EQ(tune.items[6].start, 8 * kTicksPerQuarter);
    EXPECT_EQ(tune.length, 12 * kTicksPerQuarter);

    const auto tied = media::parse_timeline("C5:q. G4:e E4:q | C4:h.~ | C4:h. |", {6, 8});
    ASSERT_EQ(tied.problem, "");
    ASSERT_EQ(tied.items.size(), 4u);
    EXPECT_EQ(tied.items[3].length, 6 * kTicksPerQuarter);

    // Each slip is reported with the bar it is in.
    const std::vector<std::pair<const char*, const char*>> slips = {
        {"C4:q C4:q |", "bar 1"}, {"C4:w | C4:h C4:q |", "bar 2"}, {"C4:w | D4:h. E4:h |", "bar 2"},
        {"C4:w | D4:w", "bar 2"}, {"C4:h~ D4:h |", "bar 1"},       {"C4:w~ |", "bar 2"},
        {"C4:x C4:w |", "bar 1"}, {"C4:w | C4 |", "bar 2"},        {"", "bar 1"},
    };
    for (const auto& [text, where] : slips) {
        const auto parsed = media::parse_timeline(text, common);
        EXPECT_NE(parsed.problem.find(where), std::string::npos)
            << "\"" << text << "\": " << parsed.problem;
        EXPECT_TRUE(parsed.items.empty()) << text;
    }
}

TEST(MidiScoreText, ChordNames) {
    EXPECT_EQ(media::parse_chord("G"), (media::Chord{7, {0, 4, 7}}));
    EXPECT_EQ(media::parse_chord("Am"), (media::Chord{9, {0, 3, 7}}));
    EXPECT_EQ(media::parse_chord("D7"), (media::Chord{2, {0, 4, 7, 10}}));
    EXPECT_EQ(media::parse_chord("F#m7"), (media::Chord{6, {0, 3, 7, 10}}));
    EXPECT_EQ(media::parse_chord("Bb"), (media::Chord{10, {0, 4, 7}}));
    EXPECT_EQ(media::parse_chord("Cb"), (media::Chord{11, {0, 4, 7}}));
    for (const char* bad : {"", "H", "g", "Gx", "C#7b9", "-"}) {
        EXPECT_EQ(media::parse_chord(bad), std::nullopt) << bad;
    }
}

// Keys sounding at `tick` in a file's notes.
std::set<int> keys_at(const std::vector<midi::Sounding>& notes, std::uint32_t tick) {
    std::set<int> keys;
    for (const auto& n : notes) {
        if (n.start == tick) {
            keys.insert(n.key);
        }
    }
    return keys;
}

TEST(MidiArrangement, AccompanimentFollowsTheChords) {
    media::Arrangement song({.title = "Test", .meter = {4, 4}});
    const int piano = song.add_part({.name = "Piano"});
    const int bass = song.add_part({.name = "Bass", .channel = 1});
    // A whole-bar chord over a change at the half bar splits there.
    song.accompany(piano, "C:h G7:h | F:w |", "chord:w |", 0, {.floor = 48});
    song.accompany(bass, "C:h G7:h | F:w |", "root:q fifth:q root:q fifth:q |", 0, {.floor = 36});
    const auto file = midi::read_midi_file(song.midi());
    ASSERT_EQ(file.problem, "");
    ASSERT_EQ(file.tracks.size(), 3u);
    const auto chords = midi::track_notes(file.tracks[1]);
    EXPECT_EQ(keys_at(chords, 0), (std::set<int>{48, 52, 55}));        // C3 E3 G3
    EXPECT_EQ(keys_at(chords, 960), (std::set<int>{50, 53, 55, 59}));  // D3 F3 G3 B3
    EXPECT_EQ(keys_at(chords, 1920), (std::set<int>{48, 53, 57}));     // C3 F3 A3
    const auto line = midi::track_notes(file.tracks[2]);
    std::vector<int> roots;
    for (const auto& n : line) {
        roots.push_back(n.key);
    }
    // C2 G2 G2 D2 | F2 C2 F2 C2: roots in the octave above the floor, and a
    // fifth that would leave it turns to the fourth below.
    EXPECT_EQ(roots, (std::vector<int>{36, 43, 43, 38, 41, 36, 41, 36}));
}

TEST(MidiArrangement, ReportsWhatItCannotPlay) {
    using Song = media::Arrangement;
    const std::vector<std::pair<std::function<void(Song&, int)>, const char*>> faults = {
        {[](Song& s, int p) { s.melody(p, "C4:h | C4:h. |", 0, {}); }, "bar 1"},
        {[](Song& s, int p) { s.melody(p, "G9:h. |", 0, {.transpose = 12}); },
         "beyond the keyboard"},
        {[](Song& s, int p) { s.accompany(p, "Q:h. |", "chord:h. |", 0, {}); }, "unknown chord"},
        {[](Song& s, int p) { s.accompany(p, "C:h. |", "bass:h. |", 0, {}); },
         "unknown pattern symbol"},
        {[](Song& s, int p) {
             s.percussion(p, {{42, "x.x.x.x"}}, 0, 1, {});
         },
         "does not divide"},
        {[](Song& s, int p) { s.melody(p, "C4:h. |", -480, {}); }, "before the start"},
        {[](Song& s, int p) { s.melody(p + 1, "C4:h. |", 0, {}); }, "does not exist"},
        {[](Song& s, int) { s.ritardando(960, 480, 60.0); }, "ends before it starts"},
    };
    for (const auto& [arrange, expected] : faults) {
        Song song({.title = "Test", .meter = {3, 4}});
        arrange(song, song.add_part({.name = "Flute"}));
        EXPECT_THAT(song.problem(), ::testing::HasSubstr(expected));
        EXPECT_TRUE(song.midi().isEmpty()) << expected;
    }
}

}  // namespace
}  // namespace wm::test
