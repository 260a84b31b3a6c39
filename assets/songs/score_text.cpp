#include "assets/songs/score_text.h"

#include <array>
#include <charconv>

namespace wm::media {

namespace {

// Semitones of the natural notes above C.
std::optional<int> natural_pitch_class(char letter) {
    switch (letter) {
        case 'C':
            return 0;
        case 'D':
            return 2;
        case 'E':
            return 4;
        case 'F':
            return 5;
        case 'G':
            return 7;
        case 'A':
            return 9;
        case 'B':
            return 11;
        default:
            return std::nullopt;
    }
}

// The root of a note or chord name, "F#" or "Bb"; `rest` is what follows it.
std::optional<int> parse_root(std::string_view name, std::string_view& rest) {
    if (name.empty()) {
        return std::nullopt;
    }
    auto pitch_class = natural_pitch_class(name[0]);
    if (!pitch_class) {
        return std::nullopt;
    }
    std::size_t used = 1;
    if (name.size() > 1 && (name[1] == '#' || name[1] == 'b')) {
        *pitch_class += name[1] == '#' ? 1 : -1;
        used = 2;
    }
    rest = name.substr(used);
    return *pitch_class;
}

std::string describe(std::string_view what, int bar) {
    return std::string(what) + " in bar " + std::to_string(bar);
}

// `token` in double quotes followed by `rest`, for problem texts. (Built by
// appending: concatenating temporaries here upsets GCC 12's overflow checks
// at -O3.)
std::string quoted(std::string_view token, std::string_view rest) {
    std::string text;
    text.reserve(token.size() + rest.size() + 2);
    text += '"';
    text += token;
    text += '"';
    text += rest;
    return text;
}

}  // namespace

std::optional<int> parse_pitch(std::string_view name) {
    std::string_view octave_text;
    const auto pitch_class = parse_root(name, octave_text);
    if (!pitch_class || octave_text.empty()) {
        return std::nullopt;
    }
    int octave = 0;
    const char* first = octave_text.data();
    const char* last = first + octave_text.size();
    const auto [end, error] = std::from_chars(first, last, octave);
    if (error != std::errc() || end != last || octave < -1 || octave > 9) {
        return std::nullopt;
    }
    const int key = 12 * (octave + 1) + *pitch_class;
    if (key < 0 || key > 127) {
        return std::nullopt;
    }
    return key;
}

std::optional<int> parse_length(std::string_view name) {
    if (name.empty()) {
        return std::nullopt;
    }
    int length = 0;
    switch (name[0]) {
        case 'w':
            length = 4 * kTicksPerQuarter;
            break;
        case 'h':
            length = 2 * kTicksPerQuarter;
            break;
        case 'q':
            length = kTicksPerQuarter;
            break;
        case 'e':
            length = kTicksPerQuarter / 2;
            break;
        case 's':
            length = kTicksPerQuarter / 4;
            break;
        default:
            return std::nullopt;
    }
    int added = length;
    for (const char c : name.substr(1)) {
        if (c != '.' || added % 2 != 0) {
            return std::nullopt;
        }
        added /= 2;
        length += added;
    }
    return length;
}

Timeline parse_timeline(std::string_view text, Meter meter) {
    Timeline timeline;
    const int bar = meter.bar_ticks();
    int bar_number = 1;
    int bar_start = 0;
    int position = 0;
    bool tied = false;
    const auto fail = [&](std::string_view what) {
        timeline.problem = describe(what, bar_number);
        timeline.items.clear();
        return timeline;
    };
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == ' ' || text[at] == '\n' || text[at] == '\t') {
            ++at;
            continue;
        }
        // A bar line is a token of its own, spaces or not.
        const std::size_t end =
            text[at] == '|' ? at + 1 : std::min(text.find_first_of(" \n\t|", at), text.size());
        const std::string_view token = text.substr(at, end - at);
        at = end;
        if (token == "|") {
            if (position - bar_start != bar) {
                return fail("a bar of " + std::to_string(position - bar_start) + " ticks, not " +
                            std::to_string(bar) + ",");
            }
            bar_start = position;
            ++bar_number;
            continue;
        }
        const std::size_t colon = token.rfind(':');
        if (colon == std::string_view::npos || colon == 0) {
            return fail(quoted(token, " (not SYMBOL:LENGTH)"));
        }
        const std::string_view symbol = token.substr(0, colon);
        std::string_view length_text = token.substr(colon + 1);
        const bool ties_on = !length_text.empty() && length_text.back() == '~';
        if (ties_on) {
            length_text.remove_suffix(1);
        }
        const auto length = parse_length(length_text);
        if (!length) {
            return fail(quoted(token, " (unknown length)"));
        }
        if (tied) {
            TimelineItem& previous = timeline.items.back();
            if (previous.symbol != symbol) {
                return fail("a tie from " + quoted(previous.symbol, " to ") + quoted(symbol, ""));
            }
            previous.length += *length;
        } else {
            timeline.items.push_back({symbol, position, *length});
        }
        tied = ties_on;
        position += *length;
        if (position - bar_start > bar) {
            return fail(quoted(token, " running past the bar line"));
        }
    }
    if (tied) {
        return fail("a tie to nothing");
    }
    if (position != bar_start) {
        return fail("an unfinished bar");
    }
    if (position == 0) {
        return fail("no music");
    }
    timeline.length = position;
    return timeline;
}

std::string joined(std::initializer_list<std::string_view> passages) {
    std::string text;
    for (const std::string_view passage : passages) {
        text += passage;
        text += ' ';
    }
    return text;
}

std::optional<Chord> parse_chord(std::string_view name) {
    struct Quality {
        std::string_view suffix;
        std::vector<int> intervals;
    };
    static const std::array<Quality, 9> kQualities{{
        {"", {0, 4, 7}},
        {"m", {0, 3, 7}},
        {"7", {0, 4, 7, 10}},
        {"m7", {0, 3, 7, 10}},
        {"maj7", {0, 4, 7, 11}},
        {"dim", {0, 3, 6}},
        {"sus4", {0, 5, 7}},
        {"6", {0, 4, 7, 9}},
        {"m6", {0, 3, 7, 9}},
    }};
    std::string_view suffix;
    const auto root = parse_root(name, suffix);
    if (!root) {
        return std::nullopt;
    }
    for (const Quality& quality : kQualities) {
        if (quality.suffix == suffix) {
            return Chord{(*root + 12) % 12, quality.intervals};
        }
    }
    return std::nullopt;
}

}  // namespace wm::media
