#pragma once
// The text in which the songs are written: one token per note, chord or
// accompaniment hit, "SYMBOL:LENGTH", bars closed by "|".
//
//   "E4:q E4:q E4:h | E4:q. F4:e G4:h |"     notes (C4 is middle C, key 60)
//   "G:h D7:h | Am:w |"                       chords
//   "root:h fifth:h | -:q chord:q -:h |"      accompaniment patterns
//
// Lengths: w h q e s (whole to sixteenth), each dot adds half again. A "~"
// after the length ties the token to the next one with the same symbol; "-"
// is a rest. Every bar must add up to exactly one bar of the meter, which
// catches most slips made while entering a tune.

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wm::media {

inline constexpr int kTicksPerQuarter = 480;

struct Meter {
    int beats = 4;  // per bar
    int unit = 4;   // note value of one beat: 4 quarter, 8 eighth

    constexpr int unit_ticks() const { return 4 * kTicksPerQuarter / unit; }
    constexpr int bar_ticks() const { return beats * unit_ticks(); }
    // 6/8, 9/8, 12/8: the felt beat is three units long.
    constexpr bool compound() const { return unit == 8 && beats % 3 == 0 && beats > 3; }
    constexpr int beat_ticks() const { return compound() ? 3 * unit_ticks() : unit_ticks(); }
};

struct TimelineItem {
    std::string_view symbol;  // "-" for a rest
    int start = 0;
    int length = 0;
};

struct Timeline {
    std::vector<TimelineItem> items;
    int length = 0;
    std::string problem;  // empty when the text is sound
};

Timeline parse_timeline(std::string_view text, Meter meter);

// Passages one after another, as one text.
std::string joined(std::initializer_list<std::string_view> passages);

// "C4" is 60, "F#4" 66, "Bb3" 58; nothing for a name that is not a MIDI key.
std::optional<int> parse_pitch(std::string_view name);
// "q" is kTicksPerQuarter, "h." three quarters; nothing for anything else.
std::optional<int> parse_length(std::string_view name);

struct Chord {
    int root = 0;                // pitch class, C = 0
    std::vector<int> intervals;  // semitones above the root, the root first
    bool operator==(const Chord&) const = default;
};

// "G", "Am", "D7", "F#m7", "Cmaj7", "Bdim", "Dsus4", "F6", "Em6".
std::optional<Chord> parse_chord(std::string_view name);

}  // namespace wm::media
