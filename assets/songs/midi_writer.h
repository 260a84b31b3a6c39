#pragma once
// A Standard MIDI File writer: tracks of timed events, written as format 1
// with variable-length delta times and exact chunk lengths.
//
// Every value is checked against MIDI's ranges. A value out of range is
// refused (the call returns false and the event is counted, never written),
// so a slip in a score cannot produce a file that players misread.

#include <QByteArray>

#include <cstdint>
#include <string_view>
#include <vector>

namespace wm::media::midi {

// The largest number a variable-length quantity can hold (four bytes of seven bits).
inline constexpr std::uint32_t kMaxVariableLength = 0x0FFFFFFF;
// The percussion channel of General MIDI (channel 10, counted from 0).
inline constexpr int kPercussionChannel = 9;

// Appends `value` as a variable-length quantity: seven bits a byte, most
// significant first, the high bit set on every byte but the last. Above
// kMaxVariableLength nothing is written and the answer is false.
bool append_variable_length(QByteArray& out, std::uint32_t value);

// One track chunk. Events may be added in any order; the chunk lists them by
// time, and at equal times: meta events, note offs, channel settings, note ons.
class Track {
  public:
    // Meta events.
    bool name(std::string_view text);
    bool text(int tick, std::string_view text);
    bool tempo(int tick, double quarter_notes_per_minute);
    // `denominator` is the note value of the beat (a power of two);
    // `clocks_per_click` the MIDI clocks (24 a quarter) between metronome clicks.
    bool time_signature(int tick, int numerator, int denominator, int clocks_per_click);
    // `sharps` from -7 (seven flats) to 7.
    bool key_signature(int tick, int sharps, bool minor);

    // Channel events; channels count from 0.
    bool program(int tick, int channel, int program);
    bool control(int tick, int channel, int controller, int value);
    // A note of `length` ticks (at least 1). A note that starts while the same
    // key still sounds on its channel cuts the earlier one short there, so
    // every note on meets its own note off.
    bool note(int tick, int length, int channel, int key, int velocity);

    // The track ends no earlier than `tick` (a tail after the last note).
    void end_no_earlier_than(int tick);

    // How many events were refused as out of range.
    int refused() const { return refused_; }

    // The "MTrk" chunk: its length, the events with delta times, End of Track.
    QByteArray chunk() const;

  private:
    struct Timed {
        int tick;
        int rank;  // order among events at the same tick
        int order;
        QByteArray bytes;
    };
    struct Note {
        int start;
        int end;
        int channel;
        int key;
        int velocity;
        int order;
    };

    bool refuse();
    bool meta(int tick, int type, const QByteArray& data);
    bool channel_event(int tick, int rank, QByteArray bytes);
    std::vector<Timed> note_events() const;

    std::vector<Timed> events_;
    std::vector<Note> notes_;
    int end_ = 0;
    int order_ = 0;
    int refused_ = 0;
};

// A format 1 file: the header chunk and the tracks in order. Empty when there
// are no tracks or more than a file can count, or the division is not 1..32767.
QByteArray standard_midi_file(const std::vector<Track>& tracks, int ticks_per_quarter);

}  // namespace wm::media::midi
