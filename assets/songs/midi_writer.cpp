#include "assets/songs/midi_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace wm::media::midi {

namespace {

// Every tick must stay a delta time a variable-length quantity can hold.
constexpr std::int64_t kMaxTick = kMaxVariableLength;
constexpr int kMaxTempo = 0xFFFFFF;  // microseconds a quarter, three bytes
constexpr int kMaxTracks = 0xFFFF;
constexpr int kMaxDivision = 0x7FFF;

// Order of events that share a tick.
constexpr int kRankMeta = 0;
constexpr int kRankNoteOff = 1;
constexpr int kRankSetting = 2;
constexpr int kRankNoteOn = 3;

constexpr int kMetaText = 0x01;
constexpr int kMetaTrackName = 0x03;
constexpr int kMetaEndOfTrack = 0x2F;
constexpr int kMetaTempo = 0x51;
constexpr int kMetaTimeSignature = 0x58;
constexpr int kMetaKeySignature = 0x59;

constexpr int kNoteOff = 0x80;
constexpr int kNoteOn = 0x90;
constexpr int kControlChange = 0xB0;
constexpr int kProgramChange = 0xC0;
constexpr int kReleaseVelocity = 64;

bool valid_tick(std::int64_t tick) {
    return tick >= 0 && tick <= kMaxTick;
}
bool data_byte(int value) {
    return value >= 0 && value <= 127;
}
bool valid_channel(int channel) {
    return channel >= 0 && channel <= 15;
}

char byte(int value) {
    return static_cast<char>(static_cast<std::uint8_t>(value));
}

void append_big_endian(QByteArray& out, std::uint32_t value, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) {
        out.append(byte(static_cast<int>((value >> shift) & 0xFFu)));
    }
}

QByteArray chunk_bytes(const char* type, const QByteArray& body) {
    QByteArray out(type, 4);
    append_big_endian(out, static_cast<std::uint32_t>(body.size()), 4);
    return out + body;
}

}  // namespace

bool append_variable_length(QByteArray& out, std::uint32_t value) {
    if (value > kMaxVariableLength) {
        return false;
    }
    char groups[4];
    int count = 0;
    do {
        groups[count++] = byte(static_cast<int>(value & 0x7Fu));
        value >>= 7;
    } while (value != 0);
    while (count > 1) {
        out.append(static_cast<char>(groups[--count] | '\x80'));
    }
    out.append(groups[0]);
    return true;
}

bool Track::refuse() {
    ++refused_;
    return false;
}

bool Track::meta(int tick, int type, const QByteArray& data) {
    if (!valid_tick(tick)) {
        return refuse();
    }
    QByteArray bytes;
    bytes.append('\xFF');
    bytes.append(byte(type));
    append_variable_length(bytes, static_cast<std::uint32_t>(data.size()));
    bytes += data;
    events_.push_back({tick, kRankMeta, order_++, bytes});
    return true;
}

bool Track::channel_event(int tick, int rank, QByteArray bytes) {
    if (!valid_tick(tick)) {
        return refuse();
    }
    events_.push_back({tick, rank, order_++, std::move(bytes)});
    return true;
}

bool Track::name(std::string_view text) {
    if (text.size() > kMaxVariableLength) {
        return refuse();
    }
    return meta(0, kMetaTrackName, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
}

bool Track::text(int tick, std::string_view text) {
    if (text.size() > kMaxVariableLength) {
        return refuse();
    }
    return meta(tick, kMetaText, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
}

bool Track::tempo(int tick, double quarter_notes_per_minute) {
    if (!std::isfinite(quarter_notes_per_minute) || quarter_notes_per_minute <= 0.0) {
        return refuse();
    }
    const double micros = std::round(60'000'000.0 / quarter_notes_per_minute);
    if (micros < 1.0 || micros > kMaxTempo) {
        return refuse();
    }
    QByteArray data;
    append_big_endian(data, static_cast<std::uint32_t>(micros), 3);
    return meta(tick, kMetaTempo, data);
}

bool Track::time_signature(int tick, int numerator, int denominator, int clocks_per_click) {
    int power = 0;
    while (power < 8 && (1 << power) < denominator) {
        ++power;
    }
    if (numerator < 1 || numerator > 255 || denominator < 1 || (1 << power) != denominator ||
        clocks_per_click < 1 || clocks_per_click > 255) {
        return refuse();
    }
    constexpr int kThirtySecondsPerQuarter = 8;
    QByteArray data;
    data.append(byte(numerator));
    data.append(byte(power));
    data.append(byte(clocks_per_click));
    data.append(byte(kThirtySecondsPerQuarter));
    return meta(tick, kMetaTimeSignature, data);
}

bool Track::key_signature(int tick, int sharps, bool minor) {
    if (sharps < -7 || sharps > 7) {
        return refuse();
    }
    QByteArray data;
    data.append(byte(sharps));  // two's complement: flats are negative
    data.append(minor ? '\x01' : '\x00');
    return meta(tick, kMetaKeySignature, data);
}

bool Track::program(int tick, int channel, int program) {
    if (!valid_channel(channel) || !data_byte(program)) {
        return refuse();
    }
    QByteArray bytes;
    bytes.append(byte(kProgramChange | channel));
    bytes.append(byte(program));
    return channel_event(tick, kRankSetting, bytes);
}

bool Track::control(int tick, int channel, int controller, int value) {
    if (!valid_channel(channel) || !data_byte(controller) || !data_byte(value)) {
        return refuse();
    }
    QByteArray bytes;
    bytes.append(byte(kControlChange | channel));
    bytes.append(byte(controller));
    bytes.append(byte(value));
    return channel_event(tick, kRankSetting, bytes);
}

bool Track::note(int tick, int length, int channel, int key, int velocity) {
    const std::int64_t end = static_cast<std::int64_t>(tick) + length;
    if (!valid_tick(tick) || length < 1 || !valid_tick(end) || !valid_channel(channel) ||
        !data_byte(key) || velocity < 1 || velocity > 127) {
        return refuse();
    }
    notes_.push_back({tick, static_cast<int>(end), channel, key, velocity, order_++});
    return true;
}

void Track::end_no_earlier_than(int tick) {
    if (valid_tick(tick)) {
        end_ = std::max(end_, tick);
    }
}

std::vector<Track::Timed> Track::note_events() const {
    // Per channel and key in time order: a note that starts while the previous
    // one sounds ends the previous one there; two that start together are one.
    std::vector<Note> notes = notes_;
    std::sort(notes.begin(), notes.end(), [](const Note& a, const Note& b) {
        if (a.channel != b.channel) {
            return a.channel < b.channel;
        }
        if (a.key != b.key) {
            return a.key < b.key;
        }
        if (a.start != b.start) {
            return a.start < b.start;
        }
        return a.order < b.order;
    });
    std::vector<Note> kept;
    for (const Note& n : notes) {
        if (!kept.empty() && kept.back().channel == n.channel && kept.back().key == n.key) {
            Note& last = kept.back();
            if (last.start == n.start) {
                last.end = std::max(last.end, n.end);
                last.velocity = std::max(last.velocity, n.velocity);
                continue;
            }
            last.end = std::min(last.end, n.start);
        }
        kept.push_back(n);
    }
    std::vector<Timed> events;
    for (const Note& n : kept) {
        QByteArray on;
        on.append(byte(kNoteOn | n.channel));
        on.append(byte(n.key));
        on.append(byte(n.velocity));
        QByteArray off;
        off.append(byte(kNoteOff | n.channel));
        off.append(byte(n.key));
        off.append(byte(kReleaseVelocity));
        events.push_back({n.start, kRankNoteOn, n.order, on});
        events.push_back({n.end, kRankNoteOff, n.order, off});
    }
    return events;
}

QByteArray Track::chunk() const {
    std::vector<Timed> events = events_;
    const std::vector<Timed> notes = note_events();
    events.insert(events.end(), notes.begin(), notes.end());
    std::stable_sort(events.begin(), events.end(), [](const Timed& a, const Timed& b) {
        if (a.tick != b.tick) {
            return a.tick < b.tick;
        }
        if (a.rank != b.rank) {
            return a.rank < b.rank;
        }
        return a.order < b.order;
    });
    QByteArray body;
    int now = 0;
    for (const Timed& e : events) {
        append_variable_length(body, static_cast<std::uint32_t>(e.tick - now));
        body += e.bytes;
        now = e.tick;
    }
    append_variable_length(body, static_cast<std::uint32_t>(std::max(0, end_ - now)));
    body.append('\xFF');
    body.append(byte(kMetaEndOfTrack));
    body.append('\x00');
    return chunk_bytes("MTrk", body);
}

QByteArray standard_midi_file(const std::vector<Track>& tracks, int ticks_per_quarter) {
    if (tracks.empty() || tracks.size() > static_cast<std::size_t>(kMaxTracks) ||
        ticks_per_quarter < 1 || ticks_per_quarter > kMaxDivision) {
        return {};
    }
    constexpr std::uint32_t kFormat = 1;
    QByteArray header;
    append_big_endian(header, kFormat, 2);
    append_big_endian(header, static_cast<std::uint32_t>(tracks.size()), 2);
    append_big_endian(header, static_cast<std::uint32_t>(ticks_per_quarter), 2);
    QByteArray file = chunk_bytes("MThd", header);
    for (const Track& track : tracks) {
        file += track.chunk();
    }
    return file;
}

}  // namespace wm::media::midi
