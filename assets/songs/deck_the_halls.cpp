// "Deck the Halls" (the Welsh "Nos Galan") in F major: three verses after a
// short intro, each fuller than the last, and a slowing "fa la la" to end.
// Oboe and flute sing; harp, strings and horns accompany over a bass, with
// tambourine and triangle.

#include "assets/songs/arrangement.h"
#include "assets/songs/carols.h"
#include "assets/songs/general_midi.h"

namespace wm::media {

namespace {

// Every verse has the same tune; the words here are the first verse's.
// Deck the halls with boughs of hol-ly, fa la la la la, la la la la.
// 'Tis the sea-son to be jol-ly, fa la la la la, la la la la.
constexpr std::string_view kHollyLine =
    "C5:q. Bb4:e A4:q G4:q | F4:q G4:q A4:q F4:q |"
    "G4:e A4:e Bb4:e G4:e A4:q. G4:e | F4:q E4:q F4:h |";
constexpr std::string_view kHollyChords = "F:h. C7:q | F:h Dm:h | C7:h F:h | F:q C7:q F:h |";
// Don we now our gay ap-par-el, fa la la, la la la, la la la.
constexpr std::string_view kDonWeNow =
    "G4:q. A4:e Bb4:q G4:q | A4:q. Bb4:e C5:q G4:q |"
    "A4:e B4:e C5:q D5:e E5:e F5:q | E5:q D5:q C5:h |";
constexpr std::string_view kDonWeNowChords = "Gm:h C7:h | F:h C:h | Dm:q C:q G:q G7:q | C:h C7:h |";
// Troll the an-cient Yule-tide car-ol, fa la la la la, la la la la.
constexpr std::string_view kTrollTheCarol =
    "C5:q. Bb4:e A4:q G4:q | F4:q G4:q A4:q F4:q |"
    "D5:e D5:e D5:e D5:e C5:q. Bb4:e | A4:q G4:q F4:h |";
constexpr std::string_view kTrollTheCarolChords =
    "F:h. C7:q | F:h Dm:h | Bb:h C7:h | F:q C7:q F:h |";
// The last "fa la la" once more, slower, and the last chord held.
constexpr std::string_view kFaLaLa = "D5:e D5:e D5:e D5:e C5:q. Bb4:e | A4:q G4:q F4:h~ | F4:w |";
constexpr std::string_view kFaLaLaChords = "Bb:h C7:h | F:q C7:q F:h | F:w |";

constexpr std::string_view kWalkingBass = "root:h fifth:h |";
constexpr std::string_view kHarpRipple = "t1:e t2:e t3:e t4:e t5:e t4:e t3:e t2:e |";
constexpr std::string_view kSustained = "chord:w |";
constexpr std::string_view kHeldEnd = "chord:w | chord:w | chord:w |";
constexpr std::string_view kHeldBassEnd = "root:h fifth:h | root:h fifth:h | root:w |";

constexpr int kBassFloor = 36;     // roots from C2
constexpr int kHarpFloor = 53;     // broken chords from F3
constexpr int kStringsFloor = 57;  // pads from A3
constexpr int kHornFloor = 53;

}  // namespace

QByteArray deck_the_halls_midi() {
    Arrangement song({.title = "Deck the Halls",
                      .credit = "Welsh traditional (Nos Galan); arranged for Wintermere",
                      .meter = {4, 4},
                      .key_sharps = -1,
                      .quarter_bpm = 112.0});
    const int oboe = song.add_part(
        {.name = "Oboe", .channel = 0, .program = gm::kOboe, .volume = 101, .pan = 54});
    const int flute = song.add_part(
        {.name = "Flute", .channel = 1, .program = gm::kFlute, .volume = 88, .pan = 74});
    const int harp = song.add_part({.name = "Harp",
                                    .channel = 2,
                                    .program = gm::kOrchestralHarp,
                                    .volume = 74,
                                    .pan = 40,
                                    .reverb = 60});
    const int strings = song.add_part({.name = "Strings",
                                       .channel = 3,
                                       .program = gm::kStringEnsemble,
                                       .volume = 35,
                                       .pan = 84,
                                       .reverb = 64});
    const int horns = song.add_part({.name = "French horns",
                                     .channel = 4,
                                     .program = gm::kFrenchHorn,
                                     .volume = 71,
                                     .pan = 60,
                                     .reverb = 56});
    const int bass = song.add_part(
        {.name = "Bass", .channel = 5, .program = gm::kContrabass, .volume = 83, .reverb = 30});
    const int drums = song.add_part(
        {.name = "Tambourine and triangle", .channel = 9, .volume = 103, .reverb = 40});

    const std::string verse = joined({kHollyLine, kHollyLine, kDonWeNow, kTrollTheCarol});
    const std::string chords =
        joined({kHollyChords, kHollyChords, kDonWeNowChords, kTrollTheCarolChords});
    const std::vector<DrumLine> light = {{gm::kOpenTriangle, "x......."},
                                         {gm::kTambourine, "..o...o."}};
    const std::vector<DrumLine> lively = {{gm::kOpenTriangle, "x......."},
                                          {gm::kTambourine, "..x...x."},
                                          {gm::kBassDrum, "x...x..."}};
    const std::vector<DrumLine> festive = {
        {gm::kTambourine, "oxoXoxoX"}, {gm::kBassDrum, "x...x..."}, {gm::kSideStick, "..x...x."}};

    // Intro: the last line on flute and harp.
    const int intro = 0;
    song.melody(flute, kTrollTheCarol, intro, {.loud = 72, .loud_end = 64, .transpose = kOctave});
    song.accompany(harp, kTrollTheCarolChords, kHarpRipple, intro,
                   {.loud = 60, .legato = 100, .floor = kHarpFloor});
    song.accompany(bass, kTrollTheCarolChords, kWalkingBass, intro,
                   {.loud = 70, .legato = 80, .floor = kBassFloor});

    // First verse: the oboe over harp and bass.
    const int verse1 = song.bars(4);
    song.melody(oboe, verse, verse1, {.loud = 72, .loud_end = 82});
    song.accompany(harp, chords, kHarpRipple, verse1,
                   {.loud = 58, .loud_end = 64, .legato = 100, .floor = kHarpFloor});
    song.accompany(bass, chords, kWalkingBass, verse1,
                   {.loud = 76, .legato = 80, .floor = kBassFloor});
    song.percussion(drums, light, verse1, 16, {.loud = 58, .loud_end = 66});

    // Second verse: the flute, the oboe in harmony, strings.
    const int verse2 = song.bars(20);
    song.melody(flute, verse, verse2, {.loud = 82, .loud_end = 88, .transpose = kOctave});
    song.harmony_below(oboe, verse, chords, verse2,
                       {.loud = 66, .loud_end = 72, .transpose = kOctave});
    song.accompany(strings, chords, kSustained, verse2,
                   {.loud = 54, .loud_end = 62, .legato = 100, .floor = kStringsFloor});
    song.accompany(harp, chords, kHarpRipple, verse2,
                   {.loud = 60, .legato = 100, .floor = kHarpFloor});
    song.accompany(bass, chords, kWalkingBass, verse2,
                   {.loud = 82, .legato = 80, .floor = kBassFloor});
    song.percussion(drums, lively, verse2, 16, {.loud = 66, .loud_end = 72});

    // Third verse: flute and oboe together, horns in harmony, the full beat.
    const int verse3 = song.bars(36);
    song.melody(flute, verse, verse3, {.loud = 92, .transpose = kOctave});
    song.melody(oboe, verse, verse3, {.loud = 80});
    song.harmony_below(horns, verse, chords, verse3, {.loud = 64, .legato = 90});
    song.accompany(strings, chords, kSustained, verse3,
                   {.loud = 64, .legato = 100, .floor = kStringsFloor});
    song.accompany(harp, chords, kHarpRipple, verse3,
                   {.loud = 64, .legato = 100, .floor = kHarpFloor});
    song.accompany(bass, chords, kWalkingBass, verse3,
                   {.loud = 90, .legato = 80, .floor = kBassFloor});
    song.percussion(drums, festive, verse3, 16, {.loud = 72, .loud_end = 78});

    // Ending: the last "fa la la" again, broadening, and a held chord.
    const int ending = song.bars(52);
    song.ritardando(ending, song.bars(54), 76.0);
    song.melody(flute, kFaLaLa, ending, {.loud = 84, .loud_end = 66, .transpose = kOctave});
    song.melody(oboe, kFaLaLa, ending, {.loud = 72, .loud_end = 56});
    song.accompany(strings, kFaLaLaChords, kHeldEnd, ending,
                   {.loud = 64, .loud_end = 48, .legato = 100, .floor = kStringsFloor});
    song.accompany(horns, kFaLaLaChords, kHeldEnd, ending,
                   {.loud = 60, .loud_end = 44, .legato = 100, .floor = kHornFloor});
    song.accompany(harp, kFaLaLaChords, kHarpRipple, ending,
                   {.loud = 62, .loud_end = 46, .legato = 100, .floor = kHarpFloor});
    song.accompany(bass, kFaLaLaChords, kHeldBassEnd, ending,
                   {.loud = 84, .loud_end = 64, .legato = 95, .floor = kBassFloor});
    song.percussion(drums, {{gm::kOpenTriangle, "x......."}}, ending, 3,
                    {.loud = 60, .loud_end = 40});
    return song.midi();
}

}  // namespace wm::media
