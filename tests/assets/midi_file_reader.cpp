#include "tests/assets/midi_file_reader.h"

#include <algorithm>
#include <array>
#include <deque>
#include <map>
#include <sstream>
#include <utility>

namespace wm::test::midi {

namespace {

constexpr double kDefaultQuarterBpm = 120.0;

std::uint8_t at_byte(const QByteArray& bytes, qsizetype at) {
    return static_cast<std::uint8_t>(bytes[at]);
}

std::uint32_t big_endian(const QByteArray& bytes, qsizetype at, int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        value = (value << 8) | at_byte(bytes, at + i);
    }
    return value;
}

// Data bytes that follow a channel status.
int channel_data_length(int kind) {
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

// Reads the events of one track chunk's body; the problem, if any, is returned.
std::string read_track(const QByteArray& body, TrackChunk& track) {
    qsizetype at = 0;
    std::uint32_t tick = 0;
    std::uint8_t running = 0;
    bool ended = false;
    while (at < body.size()) {
        if (ended) {
            return "bytes after End of Track";
        }
        const auto delta = read_variable_length(body, at);
        if (!delta || at >= body.size()) {
            return "an event cut off by the chunk length";
        }
        tick += *delta;
        Event event;
        event.tick = tick;
        std::uint8_t status = at_byte(body, at);
        if (status & 0x80) {
            ++at;
        } else if (running != 0) {
            status = running;  // running status: the data starts here
        } else {
            return "a data byte where a status was due";
        }
        event.status = status;
        if (status == 0xFF || status == 0xF0 || status == 0xF7) {
            if (status == 0xFF) {
                if (at >= body.size()) {
                    return "a meta event cut off by the chunk length";
                }
                event.meta_type = at_byte(body, at++);
            }
            const auto length = read_variable_length(body, at);
            if (!length || *length > static_cast<std::uint32_t>(body.size() - at)) {
                return "a meta or system exclusive event longer than its chunk";
            }
            event.data.assign(body.begin() + at, body.begin() + at + *length);
            at += *length;
            running = 0;
            ended = event.is_meta(kMetaEndOfTrack);
            if (ended && !event.data.empty()) {
                return "an End of Track with data";
            }
        } else if (status >= 0xF0) {
            return "a system message that does not belong in a file";
        } else {
            const int count = channel_data_length(status & 0xF0);
            if (at + count > body.size()) {
                return "a channel event cut off by the chunk length";
            }
            for (int i = 0; i < count; ++i) {
                const std::uint8_t value = at_byte(body, at++);
                if (value & 0x80) {
                    return "a data byte above 127";
                }
                event.data.push_back(value);
            }
            running = status;
        }
        track.events.push_back(std::move(event));
    }
    return ended ? std::string() : "a track without End of Track";
}

}  // namespace

std::optional<std::uint32_t> read_variable_length(const QByteArray& bytes, qsizetype& at) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        if (at >= bytes.size()) {
            return std::nullopt;
        }
        const std::uint8_t b = at_byte(bytes, at++);
        value = (value << 7) | (b & 0x7Fu);
        if (!(b & 0x80)) {
            return value;
        }
    }
    return std::nullopt;
}

MidiFile read_midi_file(const QByteArray& bytes) {
    MidiFile file;
    const auto fail = [&](const std::string& problem) {
        file.problem = problem;
        return file;
    };
    if (bytes.size() < 14 || !bytes.startsWith("MThd")) {
        return fail("no MThd header");
    }
    const std::uint32_t header_length = big_endian(bytes, 4, 4);
    if (header_length < 6 || header_length > static_cast<std::uint32_t>(bytes.size() - 8)) {
        return fail("a header of the wrong length");
    }
    file.format = static_cast<int>(big_endian(bytes, 8, 2));
    const auto track_count = big_endian(bytes, 10, 2);
    const auto division = big_endian(bytes, 12, 2);
    if (file.format > 2 || (division & 0x8000u) || division == 0) {
        return fail("an unknown format or division");
    }
    file.division = static_cast<int>(division);
    qsizetype at = 8 + static_cast<qsizetype>(header_length);
    while (at < bytes.size()) {
        if (bytes.size() - at < 8) {
            return fail("a chunk header cut short");
        }
        const QByteArray type = bytes.mid(at, 4);
        const std::uint32_t length = big_endian(bytes, at + 4, 4);
        at += 8;
        if (length > static_cast<std::uint32_t>(bytes.size() - at)) {
            return fail("a chunk longer than the file");
        }
        if (type == "MTrk") {
            TrackChunk track;
            const std::string problem = read_track(bytes.mid(at, length), track);
            if (!problem.empty()) {
                return fail("track " + std::to_string(file.tracks.size()) + ": " + problem);
            }
            file.tracks.push_back(std::move(track));
        }
        at += length;
    }
    if (file.tracks.size() != track_count) {
        return fail("the header counts " + std::to_string(track_count) + " tracks, the file has " +
                    std::to_string(file.tracks.size()));
    }
    return file;
}

std::vector<Sounding> track_notes(const TrackChunk& track, int* unmatched) {
    std::map<std::pair<int, int>, std::deque<Event>> sounding;
    std::vector<Sounding> notes;
    int stray = 0;
    for (const Event& e : track.events) {
        const auto key =
            std::make_pair(e.channel(), e.is_note_on() || e.is_note_off() ? e.data[0] : 0);
        if (e.is_note_on()) {
            sounding[key].push_back(e);
        } else if (e.is_note_off()) {
            auto& waiting = sounding[key];
            if (waiting.empty()) {
                ++stray;
                continue;
            }
            const Event on = waiting.front();
            waiting.pop_front();
            notes.push_back({on.tick, e.tick, on.channel(), on.data[0], on.data[1]});
        }
    }
    for (const auto& [key, waiting] : sounding) {
        stray += static_cast<int>(waiting.size());
    }
    if (unmatched != nullptr) {
        *unmatched = stray;
    }
    std::sort(notes.begin(), notes.end(),
              [](const Sounding& a, const Sounding& b) { return a.start < b.start; });
    return notes;
}

std::vector<Sounding> all_notes(const MidiFile& file) {
    std::vector<Sounding> notes;
    for (const TrackChunk& track : file.tracks) {
        const auto more = track_notes(track);
        notes.insert(notes.end(), more.begin(), more.end());
    }
    return notes;
}

std::uint32_t last_tick(const MidiFile& file) {
    std::uint32_t last = 0;
    for (const TrackChunk& track : file.tracks) {
        if (!track.events.empty()) {
            last = std::max(last, track.events.back().tick);
        }
    }
    return last;
}

double seconds_at(const MidiFile& file, std::uint32_t tick) {
    std::vector<std::pair<std::uint32_t, double>> changes;  // tick, microseconds a quarter
    for (const TrackChunk& track : file.tracks) {
        for (const Event& e : track.events) {
            if (e.is_meta(kMetaTempo) && e.data.size() == 3) {
                const double micros = (e.data[0] << 16) | (e.data[1] << 8) | e.data[2];
                changes.emplace_back(e.tick, micros);
            }
        }
    }
    std::stable_sort(changes.begin(), changes.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    double seconds = 0.0;
    std::uint32_t from = 0;
    double micros = 60'000'000.0 / kDefaultQuarterBpm;
    const auto pass = [&](std::uint32_t to) {
        seconds += static_cast<double>(to - from) / file.division * micros / 1'000'000.0;
        from = to;
    };
    for (const auto& [change, value] : changes) {
        if (change >= tick) {
            break;
        }
        pass(change);
        micros = value;
    }
    pass(tick);
    return seconds;
}

std::vector<double> tempos(const MidiFile& file) {
    std::vector<double> found;
    for (const TrackChunk& track : file.tracks) {
        for (const Event& e : track.events) {
            if (e.is_meta(kMetaTempo) && e.data.size() == 3) {
                const int micros = (e.data[0] << 16) | (e.data[1] << 8) | e.data[2];
                found.push_back(60'000'000.0 / micros);
            }
        }
    }
    return found;
}

int bar_ticks(const MidiFile& file) {
    for (const TrackChunk& track : file.tracks) {
        for (const Event& e : track.events) {
            if (e.is_meta(kMetaTimeSignature) && e.data.size() == 4) {
                return e.data[0] * file.division * 4 / (1 << e.data[1]);
            }
        }
    }
    return 4 * file.division;
}

std::string track_name(const TrackChunk& track) {
    for (const Event& e : track.events) {
        if (e.is_meta(kMetaTrackName)) {
            return std::string(e.data.begin(), e.data.end());
        }
    }
    return {};
}

std::string pitch_name(int key) {
    static constexpr std::array<const char*, 12> kNames = {"C",  "C#", "D",  "D#", "E",  "F",
                                                           "F#", "G",  "G#", "A",  "A#", "B"};
    return std::string(kNames[static_cast<std::size_t>(key % 12)]) + std::to_string(key / 12 - 1);
}

std::string listing(const MidiFile& file, const TrackChunk& track) {
    const int bar = bar_ticks(file);
    const int quarter = file.division;
    const auto length_name = [&](std::uint32_t start, std::uint32_t next) {
        const int ticks = static_cast<int>(next - start);
        static const std::array<std::pair<int, const char*>, 8> kLengths = {
            {{16, "w"}, {12, "h."}, {8, "h"}, {6, "q."}, {4, "q"}, {3, "e."}, {2, "e"}, {1, "s"}}};
        for (const auto& [sixteenths, name] : kLengths) {
            if (ticks == sixteenths * quarter / 4) {
                return std::string(name);
            }
        }
        return std::to_string(ticks);
    };
    std::ostringstream out;
    int shown_bar = -1;
    const auto notes = track_notes(track);
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const int this_bar = static_cast<int>(notes[i].start) / bar;
        if (this_bar != shown_bar) {
            out << (shown_bar < 0 ? "" : "\n") << this_bar << ":";
            shown_bar = this_bar;
        }
        // The written length runs to the next onset, or the note's own end.
        const std::uint32_t next = i + 1 < notes.size() && notes[i + 1].start > notes[i].start
                                       ? notes[i + 1].start
                                       : notes[i].end;
        out << "  " << pitch_name(notes[i].key) << " " << length_name(notes[i].start, next);
    }
    out << "\n";
    return out.str();
}

}  // namespace wm::test::midi
