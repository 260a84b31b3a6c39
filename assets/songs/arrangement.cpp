#include "assets/songs/arrangement.h"

#include "assets/songs/midi_writer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <numbers>
#include <optional>

namespace wm::media {

namespace {

constexpr std::uint64_t kHumanSeed = 0x57494E54'45524D45ULL;
constexpr int kHumanSpread = 5;  // velocity steps of unevenness
constexpr int kPhraseBars = 4;
constexpr int kPhraseArc = 6;  // velocity added at the height of a phrase
constexpr int kRitardandoStep = kTicksPerQuarter / 2;
// Silence after the last note, so the last chord can ring before the song ends.
constexpr int kTail = kTicksPerQuarter;

constexpr int kControlVolume = 7;
constexpr int kControlPan = 10;
constexpr int kControlReverb = 91;
constexpr int kControlChorus = 93;

constexpr int kAccentDownbeat = 8;
constexpr int kAccentMidBar = 4;
constexpr int kOffBeat = -4;
constexpr int kDrumAccent = 14;
constexpr int kDrumSoft = -18;
constexpr int kLongestDrumNote = kTicksPerQuarter / 4;
// A second voice lies a third to a sixth below the tune.
constexpr int kHarmonyNearest = 3;
constexpr int kHarmonyFarthest = 9;

// Loudness the place in the bar adds: the downbeat most, the middle of a bar
// of an even number of beats a little, notes between the beats less.
int metric_accent(Meter meter, int tick) {
    const int in_bar = tick % meter.bar_ticks();
    const int beats = meter.bar_ticks() / meter.beat_ticks();
    if (in_bar == 0) {
        return kAccentDownbeat;
    }
    if (beats % 2 == 0 && in_bar == meter.bar_ticks() / 2) {
        return kAccentMidBar;
    }
    return in_bar % meter.beat_ticks() == 0 ? 0 : kOffBeat;
}

int pitch_class(int key) {
    return ((key % 12) + 12) % 12;
}

bool in_chord(const Chord& chord, int key) {
    return std::any_of(chord.intervals.begin(), chord.intervals.end(), [&](int interval) {
        return pitch_class(chord.root + interval) == pitch_class(key);
    });
}

// The second note of the major scale of the key below `key`.
int diatonic_third_below(int key_sharps, int key) {
    static constexpr std::array<bool, 12> kMajorScale = {true,  false, true,  false, true,  true,
                                                         false, true,  false, true,  false, true};
    const int tonic = pitch_class(7 * key_sharps);
    int steps = 0;
    for (int below = key - 1; below > key - 12; --below) {
        if (kMajorScale[static_cast<std::size_t>(pitch_class(below - tonic))] && ++steps == 2) {
            return below;
        }
    }
    return key - 3;
}

// The first key at or above `floor` whose pitch class is `pc`.
int key_at_or_above(int floor, int pc) {
    return floor + pitch_class(pc - floor);
}

// The chord's tones stacked upward from the floor, one of each.
std::vector<int> voicing(const Chord& chord, int floor) {
    std::vector<int> keys;
    for (int key = floor; keys.size() < chord.intervals.size(); ++key) {
        if (in_chord(chord, key)) {
            keys.push_back(key);
        }
    }
    return keys;
}

// The keys an accompaniment symbol stands for; nothing for an unknown symbol.
std::optional<std::vector<int>> realise(std::string_view symbol, const Chord& chord, int floor) {
    const int root = key_at_or_above(floor, chord.root);
    const auto interval = [&](std::size_t i, int otherwise) {
        return i < chord.intervals.size() ? chord.intervals[i] : otherwise;
    };
    if (symbol == "root") {
        return std::vector<int>{root};
    }
    if (symbol == "third") {
        return std::vector<int>{root + interval(1, 4)};
    }
    if (symbol == "fifth") {
        const int fifth = root + interval(2, 7);
        return std::vector<int>{fifth >= floor + 12 ? fifth - 12 : fifth};
    }
    if (symbol == "octave") {
        return std::vector<int>{root + 12};
    }
    const std::vector<int> tones = voicing(chord, floor);
    if (symbol == "chord") {
        return tones;
    }
    if (symbol.size() == 2 && symbol[0] == 't' && symbol[1] >= '1' && symbol[1] <= '9') {
        const auto index = static_cast<std::size_t>(symbol[1] - '1');
        const int octaves = static_cast<int>(index / tones.size());
        return std::vector<int>{tones[index % tones.size()] + 12 * octaves};
    }
    return std::nullopt;
}

// The passage's loudness at `tick`, from its ramp, made a little uneven.
int ramp_velocity(MediaRandom& random, const Playing& playing, int at, int length, int tick) {
    const int end_loud = playing.loud_end > 0 ? playing.loud_end : playing.loud;
    const double through =
        length > 0 ? static_cast<double>(tick - at) / static_cast<double>(length) : 0.0;
    const double ramp = playing.loud + (end_loud - playing.loud) * through;
    const int uneven = random.below(kHumanSpread) - kHumanSpread / 2;
    return static_cast<int>(std::lround(ramp)) + uneven;
}

}  // namespace

Arrangement::Arrangement(const SongSetup& setup)
    : title_(setup.title),
      credit_(setup.credit),
      meter_(setup.meter),
      key_sharps_(setup.key_sharps) {
    tempo(0, setup.quarter_bpm);
}

int Arrangement::add_part(const PartSetup& setup) {
    const auto index = static_cast<std::uint64_t>(parts_.size());
    parts_.push_back({std::string(setup.name), setup, {}, MediaRandom(kHumanSeed + index)});
    return static_cast<int>(index);
}

bool Arrangement::note_problem(std::string_view where, const std::string& what) {
    if (problem_.empty()) {
        problem_ = std::string(where) + ": " + what;
    }
    return false;
}

bool Arrangement::ready(int part, int at) {
    if (part < 0 || part >= static_cast<int>(parts_.size())) {
        return note_problem("part", std::to_string(part) + " does not exist");
    }
    return at >= 0 ||
           note_problem(parts_[static_cast<std::size_t>(part)].name, "a passage before the start");
}

std::optional<Timeline> Arrangement::timeline(std::string_view text, std::string_view what) {
    Timeline parsed = parse_timeline(text, meter_);
    if (!parsed.problem.empty()) {
        note_problem(what, parsed.problem + " of \"" + std::string(text.substr(0, 40)) + "...\"");
        return std::nullopt;
    }
    return parsed;
}

std::optional<std::vector<Arrangement::ChordSpan>> Arrangement::chord_chart(std::string_view text) {
    const auto parsed = timeline(text, "chords");
    if (!parsed) {
        return std::nullopt;
    }
    std::vector<ChordSpan> spans;
    for (const TimelineItem& item : parsed->items) {
        std::optional<Chord> chord;
        if (item.symbol != "-") {
            chord = parse_chord(item.symbol);
            if (!chord) {
                note_problem("chords", "unknown chord \"" + std::string(item.symbol) + "\"");
                return std::nullopt;
            }
        }
        // The same chord again only continues the one before.
        if (!spans.empty() && spans.back().chord == chord) {
            spans.back().end = item.start + item.length;
        } else {
            spans.push_back({item.start, item.start + item.length, chord});
        }
    }
    return spans;
}

void Arrangement::add(Part& part, int start, int length, int key, int velocity) {
    if (key < 0 || key > 127) {
        note_problem(part.name, "a note beyond the keyboard at tick " + std::to_string(start));
        return;
    }
    part.notes.push_back({start, std::max(1, length), key, std::clamp(velocity, 1, 127)});
}

void Arrangement::tempo(int tick, double quarter_bpm) {
    if (tick < 0 || !(quarter_bpm > 0.0)) {
        note_problem("tempo", "out of range at tick " + std::to_string(tick));
        return;
    }
    tempos_.erase(std::remove_if(tempos_.begin(), tempos_.end(),
                                 [tick](const auto& entry) { return entry.first >= tick; }),
                  tempos_.end());
    tempos_.emplace_back(tick, quarter_bpm);
}

void Arrangement::ritardando(int from, int to, double final_bpm) {
    if (to <= from || tempos_.empty()) {
        note_problem("ritardando", "ends before it starts");
        return;
    }
    double start_bpm = tempos_.front().second;
    for (const auto& [tick, bpm] : tempos_) {
        if (tick <= from) {
            start_bpm = bpm;
        }
    }
    const int steps = std::max(1, (to - from) / kRitardandoStep);
    for (int i = 0; i < steps; ++i) {
        const double through = static_cast<double>(i + 1) / steps;
        tempo(from + i * (to - from) / steps, start_bpm + (final_bpm - start_bpm) * through);
    }
}

void Arrangement::melody(int part, std::string_view notes, int at, const Playing& playing) {
    const auto tune = timeline(notes, "melody");
    if (!ready(part, at) || !tune) {
        return;
    }
    Part& p = parts_[static_cast<std::size_t>(part)];
    const int phrase = bars(kPhraseBars);
    for (const TimelineItem& item : tune->items) {
        if (item.symbol == "-") {
            continue;
        }
        const auto key = parse_pitch(item.symbol);
        if (!key) {
            note_problem(p.name, "unknown note \"" + std::string(item.symbol) + "\"");
            return;
        }
        const int tick = at + item.start;
        const double height = std::sin(std::numbers::pi * (item.start % phrase) / phrase);
        const int arc = static_cast<int>(std::lround(kPhraseArc * height));
        add(p, tick, item.length * playing.legato / 100, *key + playing.transpose,
            ramp_velocity(p.random, playing, at, tune->length, tick) + metric_accent(meter_, tick) +
                arc);
    }
}

void Arrangement::harmony_below(int part, std::string_view notes, std::string_view chords, int at,
                                const Playing& playing) {
    const auto tune = timeline(notes, "melody");
    const auto chart = chord_chart(chords);
    if (!ready(part, at) || !tune || !chart) {
        return;
    }
    Part& p = parts_[static_cast<std::size_t>(part)];
    int previous = 0;
    for (const TimelineItem& item : tune->items) {
        const auto key = parse_pitch(item.symbol);
        const auto span = std::find_if(chart->begin(), chart->end(), [&](const ChordSpan& s) {
            return s.start <= item.start && item.start < s.end;
        });
        if (!key || span == chart->end() || !span->chord) {
            continue;
        }
        const int tick = at + item.start;
        const int top = *key + playing.transpose;
        // Thirds below the tune. Where the tune is on a tone of the chord, or
        // on a strong beat, and the third is not in the chord: the chord tone
        // nearest the line so far. Passing notes pass in thirds.
        int below = diatonic_third_below(key_sharps_, top);
        const bool harmonic =
            in_chord(*span->chord, top) || metric_accent(meter_, tick) >= kAccentMidBar;
        if (harmonic && !in_chord(*span->chord, below)) {
            const int aim = previous > 0 ? previous : below;
            below = 0;
            for (int candidate = top - kHarmonyNearest; candidate >= top - kHarmonyFarthest;
                 --candidate) {
                if (in_chord(*span->chord, candidate) &&
                    (below == 0 || std::abs(candidate - aim) < std::abs(below - aim))) {
                    below = candidate;
                }
            }
            if (below == 0) {
                continue;
            }
        }
        previous = below;
        add(p, tick, item.length * playing.legato / 100, below,
            ramp_velocity(p.random, playing, at, tune->length, tick) + metric_accent(meter_, tick));
    }
}

void Arrangement::accompany(int part, std::string_view chords, std::string_view pattern, int at,
                            const Playing& playing) {
    const auto chart = chord_chart(chords);
    const auto hits = timeline(pattern, "pattern");
    if (!ready(part, at) || !chart || !hits || chart->empty()) {
        return;
    }
    Part& p = parts_[static_cast<std::size_t>(part)];
    const int length = chart->back().end;
    for (int base = 0; base < length; base += hits->length) {
        for (const TimelineItem& hit : hits->items) {
            int start = base + hit.start;
            const int end = std::min(base + hit.start + hit.length, length);
            while (hit.symbol != "-" && start < end) {
                const auto span = std::find_if(chart->begin(), chart->end(), [&](const auto& s) {
                    return s.start <= start && start < s.end;
                });
                const int piece_end = std::min(end, span->end);
                if (span->chord) {
                    const auto keys = realise(hit.symbol, *span->chord, playing.floor);
                    if (!keys) {
                        note_problem(p.name,
                                     "unknown pattern symbol \"" + std::string(hit.symbol) + "\"");
                        return;
                    }
                    const int tick = at + start;
                    const int loud = ramp_velocity(p.random, playing, at, length, tick) +
                                     metric_accent(meter_, tick);
                    for (const int key : *keys) {
                        add(p, tick, (piece_end - start) * playing.legato / 100,
                            key + playing.transpose, loud);
                    }
                }
                start = piece_end;
            }
        }
    }
}

void Arrangement::percussion(int part, const std::vector<DrumLine>& lines, int at, int bar_count,
                             const Playing& playing) {
    if (!ready(part, at)) {
        return;
    }
    Part& p = parts_[static_cast<std::size_t>(part)];
    const int bar = meter_.bar_ticks();
    const int length = bar * bar_count;
    for (const DrumLine& line : lines) {
        std::string steps;
        std::copy_if(line.steps.begin(), line.steps.end(), std::back_inserter(steps),
                     [](char c) { return c != ' '; });
        if (steps.empty() || bar % static_cast<int>(steps.size()) != 0) {
            note_problem(p.name, "a drum line that does not divide the bar");
            return;
        }
        const int step = bar / static_cast<int>(steps.size());
        for (int b = 0; b < bar_count; ++b) {
            for (std::size_t i = 0; i < steps.size(); ++i) {
                const int tick = at + b * bar + static_cast<int>(i) * step;
                const char c = steps[i];
                if (c == '.') {
                    continue;
                }
                if (c != 'X' && c != 'x' && c != 'o') {
                    note_problem(p.name, std::string("unknown drum step '") + c + "'");
                    return;
                }
                const int accent = c == 'X' ? kDrumAccent : c == 'o' ? kDrumSoft : 0;
                add(p, tick, std::min(step, kLongestDrumNote), line.key,
                    ramp_velocity(p.random, playing, at, length, tick) + accent);
            }
        }
    }
}

QByteArray Arrangement::midi() const {
    if (!problem_.empty() || parts_.empty()) {
        return {};
    }
    int end = 0;
    for (const Part& part : parts_) {
        for (const Sounding& n : part.notes) {
            end = std::max(end, n.start + n.length);
        }
    }
    end += kTail;

    constexpr int kClocksPerQuarter = 24;
    const int clocks_per_click = kClocksPerQuarter * meter_.beat_ticks() / kTicksPerQuarter;
    std::vector<midi::Track> tracks(parts_.size() + 1);
    midi::Track& conductor = tracks.front();
    conductor.name(title_);
    conductor.text(0, credit_);
    conductor.time_signature(0, meter_.beats, meter_.unit, clocks_per_click);
    conductor.key_signature(0, key_sharps_, false);
    for (const auto& [tick, bpm] : tempos_) {
        conductor.tempo(tick, bpm);
    }
    conductor.end_no_earlier_than(end);

    for (std::size_t i = 0; i < parts_.size(); ++i) {
        const PartSetup& setup = parts_[i].setup;
        midi::Track& track = tracks[i + 1];
        track.name(parts_[i].name);
        if (setup.channel != midi::kPercussionChannel) {
            track.program(0, setup.channel, setup.program);
        }
        track.control(0, setup.channel, kControlVolume, setup.volume);
        track.control(0, setup.channel, kControlPan, setup.pan);
        track.control(0, setup.channel, kControlReverb, setup.reverb);
        track.control(0, setup.channel, kControlChorus, setup.chorus);
        for (const Sounding& n : parts_[i].notes) {
            track.note(n.start, n.length, setup.channel, n.key, n.velocity);
        }
        track.end_no_earlier_than(end);
    }
    for (const midi::Track& track : tracks) {
        if (track.refused() > 0) {
            return {};
        }
    }
    return midi::standard_midi_file(tracks, kTicksPerQuarter);
}

}  // namespace wm::media
