// "Jingle Bells" (James Lord Pierpont, 1857) in G major, brisk and felt in
// two: intro, verse, chorus, second verse, chorus, a slowing tag and a long
// last chord. Flute, clarinet and glockenspiel sing; piano, strings and
// bass accompany; sleigh bells and light drums drive it along.

#include "assets/songs/arrangement.h"
#include "assets/songs/carols.h"
#include "assets/songs/general_midi.h"

namespace wm::media {

namespace {

constexpr std::string_view kVerse =
    // Dash-ing through the snow, in a one-horse o-pen sleigh,
    "D4:q B4:q A4:q G4:q | D4:h. D4:e D4:e | D4:q B4:q A4:q G4:q | E4:w |"
    // O'er the fields we go, laugh-ing all the way;
    "E4:q C5:q B4:q A4:q | F#4:w | D5:q D5:q C5:q A4:q | B4:w |"
    // Bells on bob-tail ring, mak-ing spir-its bright; what
    "D4:q B4:q A4:q G4:q | D4:w | D4:q B4:q A4:q G4:q | E4:h. E4:q |"
    // fun it is to ride and sing a sleigh-ing song to-night!
    "E4:q C5:q B4:q A4:q | D5:q D5:q D5:q D5:q | E5:q D5:q C5:q A4:q | G4:h -:h |";
constexpr std::string_view kVerseChords =
    "G:w | G:w | G:w | C:w |"
    "Am:w | D:w | D7:w | G:w |"
    "G:w | G:w | G:w | C:w |"
    "Am:w | G:w | Am:h D7:h | G:h D7:h |";

// Jin-gle bells, jin-gle bells, jin-gle all the way!
constexpr std::string_view kJingleBells =
    "B4:q B4:q B4:h | B4:q B4:q B4:h | B4:q D5:q G4:q. A4:e | B4:w |";
constexpr std::string_view kJingleBellsChords = "G:w | G:w | G:w | G:h G7:h |";
// Oh what fun it is to ride in a one-horse o-pen sleigh, hey!
constexpr std::string_view kFunHey =
    "C5:q C5:q C5:q. C5:e | C5:q B4:q B4:q B4:e B4:e | B4:q A4:q A4:q B4:q | A4:h D5:h |";
constexpr std::string_view kFunHeyChords = "C:w | C:q G:h. | A7:w | D:h D7:h |";
// Oh what fun it is to ride in a one-horse o-pen sleigh!
constexpr std::string_view kFunSleigh =
    "C5:q C5:q C5:q. C5:e | C5:q B4:q B4:q B4:e B4:e | D5:q D5:q C5:q A4:q | G4:w |";
constexpr std::string_view kFunSleighChords = "C:w | C:q G:h. | D7:w | G:w |";

// The held last chord, a bar and three beats.
constexpr std::string_view kLastNote = "G4:w~ | G4:h. -:q |";
constexpr std::string_view kLastChord = "G:w | G:w |";
constexpr std::string_view kHeld = "chord:w~ | chord:h. -:q |";
constexpr std::string_view kHeldBass = "root:w~ | root:h. -:q |";

// Accompaniment: bass on the half notes, the piano's chords between them.
constexpr std::string_view kTwoBeatBass = "root:h fifth:h |";
constexpr std::string_view kAfterBeats = "-:q chord:q -:q chord:q |";
constexpr std::string_view kRipple = "t1:e t2:e t3:e t4:e t5:e t4:e t3:e t2:e |";
constexpr std::string_view kSustained = "chord:w |";

constexpr int kBassFloor = 36;     // roots from C2
constexpr int kPianoFloor = 55;    // chords from G3
constexpr int kStringsFloor = 60;  // pads from C4

}  // namespace

QByteArray jingle_bells_midi() {
    Arrangement song({.title = "Jingle Bells",
                      .credit = "James Lord Pierpont (1857); arranged for Wintermere",
                      .meter = {4, 4},
                      .key_sharps = 1,
                      .quarter_bpm = 138.0});
    const int flute = song.add_part(
        {.name = "Flute", .channel = 0, .program = gm::kFlute, .volume = 88, .pan = 72});
    const int clarinet = song.add_part(
        {.name = "Clarinet", .channel = 1, .program = gm::kClarinet, .volume = 104, .pan = 52});
    const int glockenspiel = song.add_part({.name = "Glockenspiel",
                                            .channel = 2,
                                            .program = gm::kGlockenspiel,
                                            .volume = 127,
                                            .pan = 88,
                                            .reverb = 60});
    const int piano = song.add_part({.name = "Piano",
                                     .channel = 3,
                                     .program = gm::kAcousticGrandPiano,
                                     .volume = 120,
                                     .pan = 44});
    const int strings = song.add_part({.name = "Strings",
                                       .channel = 4,
                                       .program = gm::kStringEnsemble,
                                       .volume = 40,
                                       .pan = 80,
                                       .reverb = 64});
    const int bass = song.add_part(
        {.name = "Bass", .channel = 5, .program = gm::kAcousticBass, .volume = 96, .reverb = 24});
    const int drums =
        song.add_part({.name = "Sleigh bells and drums", .channel = 9, .volume = 90, .reverb = 36});

    const std::string chorus = joined({kJingleBells, kFunHey, kJingleBells, kFunSleigh});
    const std::string chorus_chords =
        joined({kJingleBellsChords, kFunHeyChords, kJingleBellsChords, kFunSleighChords});
    const std::vector<DrumLine> bells_on_beats = {{gm::kJingleBell, "x.x.x.x."}};
    const std::vector<DrumLine> bells_in_eighths = {{gm::kJingleBell, "XoxoXoxo"}};
    const std::vector<DrumLine> full_kit = {{gm::kJingleBell, "XoxoXoxo"},
                                            {gm::kBassDrum, "x...x..."},
                                            {gm::kSideStick, "..x...x."},
                                            {gm::kTambourine, "..x...x."}};

    // Intro: the chorus's last line on the glockenspiel, sleigh bells coming in.
    const int intro = 0;
    song.melody(glockenspiel, kFunSleigh, intro, {.loud = 100, .transpose = kOctave});
    song.accompany(piano, kFunSleighChords, kAfterBeats, intro,
                   {.loud = 68, .legato = 60, .floor = kPianoFloor});
    song.accompany(bass, kFunSleighChords, kTwoBeatBass, intro,
                   {.loud = 80, .legato = 85, .floor = kBassFloor});
    song.percussion(drums, bells_on_beats, intro, 4, {.loud = 45, .loud_end = 75});

    // First verse: the clarinet alone over a light accompaniment.
    const int verse1 = song.bars(4);
    song.melody(clarinet, kVerse, verse1, {.loud = 70, .loud_end = 80});
    song.accompany(piano, kVerseChords, kAfterBeats, verse1,
                   {.loud = 62, .loud_end = 70, .legato = 60, .floor = kPianoFloor});
    song.accompany(bass, kVerseChords, kTwoBeatBass, verse1,
                   {.loud = 78, .legato = 85, .floor = kBassFloor});
    song.percussion(drums, bells_on_beats, verse1, 16, {.loud = 55, .loud_end = 65});

    // First chorus: flute and glockenspiel, strings, the full beat.
    const int chorus1 = song.bars(20);
    song.melody(flute, chorus, chorus1, {.loud = 88, .transpose = kOctave});
    song.melody(glockenspiel, chorus, chorus1, {.loud = 84, .transpose = kOctave});
    song.accompany(strings, chorus_chords, kSustained, chorus1,
                   {.loud = 60, .legato = 100, .floor = kStringsFloor});
    song.accompany(piano, chorus_chords, kAfterBeats, chorus1,
                   {.loud = 74, .legato = 60, .floor = kPianoFloor});
    song.accompany(bass, chorus_chords, kTwoBeatBass, chorus1,
                   {.loud = 88, .legato = 85, .floor = kBassFloor});
    song.percussion(drums, full_kit, chorus1, 16, {.loud = 72});

    // Second verse: the flute, the clarinet a third below, rippling piano.
    const int verse2 = song.bars(36);
    song.melody(flute, kVerse, verse2, {.loud = 74, .loud_end = 84, .transpose = kOctave});
    song.harmony_below(clarinet, kVerse, kVerseChords, verse2,
                       {.loud = 58, .loud_end = 66, .transpose = kOctave});
    song.accompany(piano, kVerseChords, kRipple, verse2,
                   {.loud = 58, .loud_end = 66, .legato = 100, .floor = kPianoFloor});
    song.accompany(strings, kVerseChords, kSustained, verse2,
                   {.loud = 44, .loud_end = 54, .legato = 100, .floor = kStringsFloor});
    song.accompany(bass, kVerseChords, kTwoBeatBass, verse2,
                   {.loud = 76, .legato = 85, .floor = kBassFloor});
    song.percussion(drums, bells_in_eighths, verse2, 16, {.loud = 52, .loud_end = 66});

    // Last chorus: everyone, the clarinet in harmony.
    const int chorus2 = song.bars(52);
    song.melody(flute, chorus, chorus2, {.loud = 94, .transpose = kOctave});
    song.harmony_below(clarinet, chorus, chorus_chords, chorus2,
                       {.loud = 74, .transpose = kOctave});
    song.melody(glockenspiel, chorus, chorus2, {.loud = 90, .transpose = kOctave});
    song.accompany(strings, chorus_chords, kSustained, chorus2,
                   {.loud = 68, .legato = 100, .floor = kStringsFloor});
    song.accompany(piano, chorus_chords, kAfterBeats, chorus2,
                   {.loud = 78, .legato = 60, .floor = kPianoFloor});
    song.accompany(bass, chorus_chords, kTwoBeatBass, chorus2,
                   {.loud = 92, .legato = 85, .floor = kBassFloor});
    song.percussion(drums, full_kit, chorus2, 16, {.loud = 78});

    // Tag: the last line once more, slowing down, then the long last chord.
    const int tag = song.bars(68);
    song.melody(flute, kFunSleigh, tag, {.loud = 86, .loud_end = 76, .transpose = kOctave});
    song.melody(glockenspiel, kFunSleigh, tag, {.loud = 82, .transpose = kOctave});
    song.accompany(strings, kFunSleighChords, kSustained, tag,
                   {.loud = 62, .legato = 100, .floor = kStringsFloor});
    song.accompany(piano, kFunSleighChords, kAfterBeats, tag,
                   {.loud = 70, .legato = 60, .floor = kPianoFloor});
    song.accompany(bass, kFunSleighChords, kTwoBeatBass, tag,
                   {.loud = 84, .legato = 85, .floor = kBassFloor});
    song.percussion(drums, bells_on_beats, tag, 4, {.loud = 70, .loud_end = 58});
    song.ritardando(tag + song.bars(2), song.bars(72), 100.0);

    const int last = song.bars(72);
    song.tempo(last, 92.0);
    song.melody(flute, kLastNote, last, {.loud = 70, .transpose = kOctave});
    song.melody(glockenspiel, kLastNote, last, {.loud = 76, .transpose = kOctave, .legato = 50});
    song.accompany(strings, kLastChord, kHeld, last,
                   {.loud = 62, .loud_end = 50, .legato = 100, .floor = kStringsFloor});
    song.accompany(piano, kLastChord, kHeld, last,
                   {.loud = 68, .legato = 100, .floor = kPianoFloor});
    song.accompany(bass, kLastChord, kHeldBass, last,
                   {.loud = 80, .legato = 100, .floor = kBassFloor});
    song.percussion(drums, {{gm::kJingleBell, "Xxxx xxxx xxxx oooo"}}, last, 1,
                    {.loud = 70, .loud_end = 40});
    return song.midi();
}

}  // namespace wm::media
