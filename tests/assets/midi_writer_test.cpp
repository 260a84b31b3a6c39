// The Standard MIDI File writer: the byte-level pieces players depend on,
// read back with the tests' own reader.

#include "assets/songs/midi_writer.h"
#include "tests/assets/midi_file_reader.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace wm::test {
namespace {

using media::midi::append_variable_length;
using media::midi::standard_midi_file;
using media::midi::Track;

// The events of one track, without the closing End of Track.
std::vector<midi::Event> events_of(const Track& track) {
    const midi::MidiFile file = midi::read_midi_file(standard_midi_file({track}, 480));
    EXPECT_EQ(file.problem, "");
    if (file.tracks.size() != 1) {
        return {};
    }
    auto events = file.tracks[0].events;
    events.pop_back();
    return events;
}

std::string describe(const midi::Event& e) {
    if (e.status == 0xFF) {
        return "meta " + std::to_string(e.meta_type) + " @" + std::to_string(e.tick);
    }
    const char* kind = e.is_note_on()     ? "on "
                       : e.is_note_off()  ? "off "
                       : e.kind() == 0xC0 ? "program "
                                          : "control ";
    return kind + std::to_string(e.data[0]) + " @" + std::to_string(e.tick);
}

TEST(MidiWriter, VariableLengthQuantitiesAtTheirBoundaries) {
    const std::vector<std::pair<std::uint32_t, const char*>> cases = {
        {0, "00"},         {127, "7f"},         {128, "8100"},         {16383, "ff7f"},
        {16384, "818000"}, {2097151, "ffff7f"}, {2097152, "81808000"}, {0x0FFFFFFF, "ffffff7f"}};
    for (const auto& [value, hex] : cases) {
        QByteArray out;
        EXPECT_TRUE(append_variable_length(out, value)) << value;
        EXPECT_EQ(out.toHex(), QByteArray(hex)) << value;
        qsizetype at = 0;
        EXPECT_EQ(midi::read_variable_length(out, at), value);
        EXPECT_EQ(at, out.size());
    }
    QByteArray untouched("ab");
    EXPECT_FALSE(append_variable_length(untouched, 0x10000000));
    EXPECT_FALSE(append_variable_length(untouched, UINT32_MAX));
    EXPECT_EQ(untouched, QByteArray("ab"));
}

TEST(MidiWriter, HeaderAndChunkLengthsAreExact) {
    Track conductor;
    conductor.name("Test");
    conductor.tempo(0, 120.0);
    Track part;
    part.program(0, 0, 73);
    part.note(0, 480, 0, 60, 90);
    part.note(480, 200000, 0, 62, 80);  // a delta time of three bytes
    const QByteArray file = standard_midi_file({conductor, part}, 480);

    // MThd, length 6, format 1, two tracks, 480 ticks a quarter.
    EXPECT_EQ(file.left(14).toHex(), QByteArray("4d546864000000060001000201e0"));
    qsizetype at = 14;
    int chunks = 0;
    while (at + 8 <= file.size()) {
        EXPECT_EQ(file.mid(at, 4), QByteArray("MTrk"));
        const auto length = static_cast<qsizetype>((static_cast<std::uint8_t>(file[at + 4]) << 24) |
                                                   (static_cast<std::uint8_t>(file[at + 5]) << 16) |
                                                   (static_cast<std::uint8_t>(file[at + 6]) << 8) |
                                                   static_cast<std::uint8_t>(file[at + 7]));
        at += 8 + length;
        // Every chunk closes with End of Track: FF 2F 00.
        EXPECT_EQ(file.mid(at - 3, 3).toHex(), QByteArray("ff2f00"));
        ++chunks;
    }
    EXPECT_EQ(chunks, 2);
    EXPECT_EQ(at, file.size());

    const midi::MidiFile read = midi::read_midi_file(file);
    ASSERT_EQ(read.problem, "");
    EXPECT_EQ(read.format, 1);
    EXPECT_EQ(read.division, 480);
    EXPECT_EQ(midi::track_notes(read.tracks[1]).back().end, 200480u);
}

TEST(MidiWriter, MetaEventsCarryTheirValues) {
    Track track;
    track.name("Carol");
    track.tempo(0, 120.0);              // 500000 microseconds a quarter
    track.time_signature(0, 6, 8, 36);  // dotted-quarter clicks
    track.key_signature(0, -1, false);  // one flat, major
    track.tempo(960, 81.0);             // 740741 microseconds
    const auto events = events_of(track);
    ASSERT_EQ(events.size(), 5u);
    EXPECT_TRUE(events[0].is_meta(midi::kMetaTrackName));
    EXPECT_EQ(std::string(events[0].data.begin(), events[0].data.end()), "Carol");
    EXPECT_EQ(events[1].data, (std::vector<std::uint8_t>{0x07, 0xA1, 0x20}));
    EXPECT_EQ(events[2].data, (std::vector<std::uint8_t>{6, 3, 36, 8}));
    EXPECT_EQ(events[3].data, (std::vector<std::uint8_t>{0xFF, 0}));
    EXPECT_EQ(events[4].tick, 960u);
    EXPECT_EQ(events[4].data, (std::vector<std::uint8_t>{0x0B, 0x4D, 0x85}));
}

TEST(MidiWriter, EventsAtTheSameTickComeInPlayingOrder) {
    Track track;
    // Added out of order on purpose.
    track.note(480, 480, 0, 64, 90);
    track.note(0, 480, 0, 60, 90);
    track.control(480, 0, 7, 100);
    track.text(480, "here");
    track.program(0, 0, 73);
    std::vector<std::string> order;
    for (const auto& e : events_of(track)) {
        order.push_back(describe(e));
    }
    EXPECT_EQ(order,
              (std::vector<std::string>{"program 73 @0", "on 60 @0", "meta 1 @480", "off 60 @480",
                                        "control 7 @480", "on 64 @480", "off 64 @960"}));

    // The same key struck again while it sounds: the first note ends there.
    Track repeated;
    repeated.note(0, 960, 1, 67, 80);
    repeated.note(480, 480, 1, 67, 80);
    // Two notes of one key struck together are one note, the longer and louder.
    repeated.note(0, 100, 2, 70, 50);
    repeated.note(0, 300, 2, 70, 90);
    const auto file = midi::read_midi_file(standard_midi_file({repeated}, 480));
    ASSERT_EQ(file.problem, "");
    int unmatched = -1;
    const auto notes = midi::track_notes(file.tracks[0], &unmatched);
    EXPECT_EQ(unmatched, 0);
    ASSERT_EQ(notes.size(), 3u);
    std::vector<std::string> spans;
    for (const auto& n : notes) {
        spans.push_back(std::to_string(n.key) + " " + std::to_string(n.start) + "-" +
                        std::to_string(n.end) + " v" + std::to_string(n.velocity));
    }
    std::sort(spans.begin(), spans.end());
    EXPECT_EQ(spans, (std::vector<std::string>{"67 0-480 v80", "67 480-960 v80", "70 0-300 v90"}));
}

TEST(MidiWriter, RefusesValuesOutsideMidiRanges) {
    Track track;
    EXPECT_FALSE(track.note(0, 480, 0, 128, 90));
    EXPECT_FALSE(track.note(0, 480, 0, -1, 90));
    EXPECT_FALSE(track.note(0, 480, 0, 60, 0));
    EXPECT_FALSE(track.note(0, 480, 0, 60, 128));
    EXPECT_FALSE(track.note(0, 480, 16, 60, 90));
    EXPECT_FALSE(track.note(0, 480, -1, 60, 90));
    EXPECT_FALSE(track.note(-1, 480, 0, 60, 90));
    EXPECT_FALSE(track.note(0, 0, 0, 60, 90));
    EXPECT_FALSE(track.note(0, -480, 0, 60, 90));
    EXPECT_FALSE(track.note(INT_MAX, 10, 0, 60, 90));
    EXPECT_FALSE(track.program(0, 0, 128));
    EXPECT_FALSE(track.control(0, 0, 7, 128));
    EXPECT_FALSE(track.control(0, 0, 128, 0));
    EXPECT_FALSE(track.tempo(0, 0.0));
    EXPECT_FALSE(track.tempo(0, -90.0));
    EXPECT_FALSE(track.tempo(0, std::nan("")));
    EXPECT_FALSE(track.tempo(0, 1.0));  // slower than three bytes of microseconds hold
    EXPECT_FALSE(track.time_signature(0, 4, 3, 24));
    EXPECT_FALSE(track.time_signature(0, 0, 4, 24));
    EXPECT_FALSE(track.key_signature(0, 8, false));
    EXPECT_EQ(track.refused(), 20);
    EXPECT_TRUE(track.note(0, 1, 15, 127, 127));

    // What was refused is simply missing; the file stays sound.
    const auto file = midi::read_midi_file(standard_midi_file({track}, 480));
    ASSERT_EQ(file.problem, "");
    EXPECT_EQ(file.tracks[0].events.size(), 3u);

    EXPECT_TRUE(standard_midi_file({}, 480).isEmpty());
    EXPECT_TRUE(standard_midi_file({track}, 0).isEmpty());
    EXPECT_TRUE(standard_midi_file({track}, 0x8000).isEmpty());
}

}  // namespace
}  // namespace wm::test
