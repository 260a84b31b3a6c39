#pragma once
// A song as the generator arranges it: a meter, a key, a tempo map and
// instrument parts, filled from note tables, chord charts and accompaniment
// patterns (see score_text.h), then written as a Standard MIDI File with a
// conductor track and one track per part.
//
// Passages start on bar lines. Velocities follow the music: a ramp over each
// passage, accents on the strong beats, an arc over each four-bar phrase of a
// tune, and a little unevenness from a fixed seed, so the same source always
// writes the same bytes.

#include "assets/kit/media_random.h"
#include "assets/songs/score_text.h"

#include <QByteArray>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wm::media {

// Semitones in an octave: a part an octave up is transposed by this much.
inline constexpr int kOctave = 12;

struct SongSetup {
    std::string_view title = {};
    std::string_view credit = {};  // written as a text event
    Meter meter = {};
    int key_sharps = 0;  // flats negative
    double quarter_bpm = 120.0;
};

// Volumes are set song by song against the sound font the saver plays
// through (TimGM6mb): its string ensemble sounds about four times louder than
// its flute at the same settings, its glockenspiel, piano and tuba much softer.
struct PartSetup {
    std::string_view name = {};
    int channel = 0;  // from 0; 9 is General MIDI percussion
    int program = 0;  // General MIDI, from 0; not sent on the percussion channel
    int volume = 100;
    int pan = 64;  // 0 left, 64 centre, 127 right
    int reverb = 40;
    int chorus = 0;
};

// How a passage is played.
struct Playing {
    int loud = 80;      // velocity at the start of the passage
    int loud_end = 0;   // velocity at its end; 0: as at the start
    int transpose = 0;  // semitones
    int legato = 95;    // sounding part of each written length, percent
    int floor = 48;     // lowest key of chord voicings; bass roots lie in the octave above it
};

// One line of a percussion grid: a General MIDI percussion key and one bar of
// equal steps, "X" accented, "x" played, "o" soft, "." silent; spaces only group.
struct DrumLine {
    int key;
    std::string_view steps;
};

class Arrangement {
  public:
    explicit Arrangement(const SongSetup& setup);

    int bars(int count) const { return count * meter_.bar_ticks(); }
    int add_part(const PartSetup& setup);

    // The tempo from `tick` on. A ritardando eases, an eighth at a time, from
    // the tempo in force at `from` to `final_bpm` at `to`.
    void tempo(int tick, double quarter_bpm);
    void ritardando(int from, int to, double final_bpm);

    // A tune from a note table.
    void melody(int part, std::string_view notes, int at, const Playing& playing);
    // A second voice under a tune: thirds below it in the key; where the third
    // is not in the chord but the tune is, or the beat is strong, the chord
    // tone a third to a sixth below that moves least.
    void harmony_below(int part, std::string_view notes, std::string_view chords, int at,
                       const Playing& playing);
    // An accompaniment: `pattern`, whole bars repeated, played on the chords
    // of `chords`. A hit that meets a change of chord is split there, so every
    // tone belongs to the chord sounding. Symbols: root, third, fifth, octave
    // (a bass line from the floor), chord (all tones from the floor), t1 to t9
    // (chord tones upward from the floor, for broken chords), "-" silence.
    void accompany(int part, std::string_view chords, std::string_view pattern, int at,
                   const Playing& playing);
    // Percussion: every line's bar, `bar_count` times.
    void percussion(int part, const std::vector<DrumLine>& lines, int at, int bar_count,
                    const Playing& playing);

    // What could not be arranged, with the bar; empty when all went well.
    const std::string& problem() const { return problem_; }
    // The file; empty when there is a problem.
    QByteArray midi() const;

  private:
    struct Sounding {
        int start;
        int length;
        int key;
        int velocity;
    };
    struct Part {
        std::string name;  // kept: the setup's name need not outlive add_part
        PartSetup setup;
        std::vector<Sounding> notes;
        MediaRandom random;
    };
    struct ChordSpan {
        int start;
        int end;
        std::optional<Chord> chord;
    };

    bool note_problem(std::string_view where, const std::string& what);
    bool ready(int part, int at);
    std::optional<Timeline> timeline(std::string_view text, std::string_view what);
    std::optional<std::vector<ChordSpan>> chord_chart(std::string_view text);
    void add(Part& part, int start, int length, int key, int velocity);

    std::string title_;
    std::string credit_;
    Meter meter_;
    int key_sharps_;
    std::vector<Part> parts_;
    std::vector<std::pair<int, double>> tempos_;
    std::string problem_;
};

}  // namespace wm::media
