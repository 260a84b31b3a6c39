#pragma once
// A strict Standard MIDI File reader for the tests, written apart from the
// generator's writer so that one does not merely agree with the other: it
// checks the header, every chunk length against the events inside, End of
// Track closing every track, and pairs note ons with note offs.

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace wm::test::midi {

struct Event {
    std::uint32_t tick = 0;
    std::uint8_t status = 0;  // channel status, 0xFF meta, 0xF0 or 0xF7 system exclusive
    std::uint8_t meta_type = 0;
    std::vector<std::uint8_t> data;  // channel: the data bytes; otherwise the payload

    int kind() const { return status & 0xF0; }
    int channel() const { return status & 0x0F; }
    bool is_meta(int type) const { return status == 0xFF && meta_type == type; }
    bool is_note_on() const { return kind() == 0x90 && data.size() == 2 && data[1] > 0; }
    bool is_note_off() const {
        return data.size() == 2 && (kind() == 0x80 || (kind() == 0x90 && data[1] == 0));
    }
    bool is_program_change() const { return kind() == 0xC0; }
};

struct TrackChunk {
    std::vector<Event> events;
};

struct MidiFile {
    int format = -1;
    int division = 0;  // ticks a quarter note
    std::vector<TrackChunk> tracks;
    std::string problem;  // empty when the file is sound
};

inline constexpr int kMetaText = 0x01;
inline constexpr int kMetaTrackName = 0x03;
inline constexpr int kMetaEndOfTrack = 0x2F;
inline constexpr int kMetaTempo = 0x51;
inline constexpr int kMetaTimeSignature = 0x58;
inline constexpr int kMetaKeySignature = 0x59;

// One variable-length quantity at `at`, which moves past it; nothing when it
// runs off the end or is longer than four bytes.
std::optional<std::uint32_t> read_variable_length(const QByteArray& bytes, qsizetype& at);

MidiFile read_midi_file(const QByteArray& bytes);

// A note as it sounds: from its note on to the matching note off.
struct Sounding {
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    int channel = 0;
    int key = 0;
    int velocity = 0;
};

// The notes of a track; `unmatched` counts note ons without a note off and
// note offs without a note on.
std::vector<Sounding> track_notes(const TrackChunk& track, int* unmatched = nullptr);
std::vector<Sounding> all_notes(const MidiFile& file);

// The tick at which the last track ends, and that moment in seconds from the
// tempo map (tempo events of every track; 120 a minute until the first).
std::uint32_t last_tick(const MidiFile& file);
double seconds_at(const MidiFile& file, std::uint32_t tick);
// Tempos in quarter notes a minute, in file order.
std::vector<double> tempos(const MidiFile& file);
// Ticks a bar from the first time signature (4/4 when there is none).
int bar_ticks(const MidiFile& file);
std::string track_name(const TrackChunk& track);

// "C4" for 60, "F#4" for 66.
std::string pitch_name(int key);
// A track's notes bar by bar, "12: D5 q  B4 q ...", for reading a tune back.
std::string listing(const MidiFile& file, const TrackChunk& track);

}  // namespace wm::test::midi
