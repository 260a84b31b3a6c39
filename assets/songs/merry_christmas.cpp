// "We Wish You a Merry Christmas" (English traditional) in G major, a brisk
// waltz: intro, three verses each with "Good tidings", a last "We wish you"
// slowing to a held chord. Music box, clarinet and flute take the tune over
// piano, strings, horns and a tuba, with triangle, sleigh bells and
// tambourine.

#include "assets/songs/arrangement.h"
#include "assets/songs/carols.h"
#include "assets/songs/general_midi.h"

namespace wm::media {

namespace {

// Every verse has the same tune; the words here are the first verse's. The
// tune starts on an upbeat, "We", which ends the bar before.
// (We) wish you a mer-ry Christ-mas, we wish you a mer-ry Christ-mas, we
// wish you a mer-ry Christ-mas and a hap-py new
constexpr std::string_view kWeWish =
    "G4:q G4:e A4:e G4:e F#4:e | E4:q C4:q E4:q | A4:q A4:e B4:e A4:e G4:e | F#4:q D4:q D4:q |"
    "B4:q B4:e C5:e B4:e A4:e | G4:q E4:q D4:e D4:e | E4:q A4:q F#4:q |";
constexpr std::string_view kWeWishChords =
    "G:h. | C:h. | A7:h. | D:h. |"
    "B7:h. | Em:h. | C:q D7:h |";
// (Good) tid-ings we bring to you and your kin; good tid-ings for Christ-mas
// and a hap-py new
constexpr std::string_view kGoodTidings =
    "G4:q G4:q G4:q | F#4:h F#4:q | G4:q F#4:q E4:q | D4:h A4:q |"
    "B4:q A4:q G4:q | D5:q D4:q D4:e D4:e | E4:q A4:q F#4:q |";
constexpr std::string_view kGoodTidingsChords =
    "G:h. | D:h. | Em:h A7:q | D:h D7:q |"
    "G:h. | Em7:h. | C:q D7:h |";
// year. Good / year. We: the last bar, with the next line's upbeat.
constexpr std::string_view kYearAndUpbeat = "G4:h D4:q |";
// year, held.
constexpr std::string_view kYearHeld = "G4:h.~ | G4:h.~ | G4:h. |";
constexpr std::string_view kHomeChord = "G:h. |";
constexpr std::string_view kHomeChordHeld = "G:h. | G:h. | G:h. |";

// The intro: "good tidings for Christmas and a happy new year. We".
constexpr std::string_view kIntro =
    "B4:q A4:q G4:q | D5:q D4:q D4:e D4:e | E4:q A4:q F#4:q | G4:h D4:q |";
constexpr std::string_view kIntroChords = "G:h. | Em7:h. | C:q D7:h | G:h. |";

// The waltz: bass on one, chords on two and three.
constexpr std::string_view kOomPahPah = "-:q chord:q chord:q |";
constexpr std::string_view kTubaOnOne = "root:q -:h | fifth:q -:h |";
constexpr std::string_view kPizzicato = "root:q t2:q t3:q |";
constexpr std::string_view kSustained = "chord:h. |";
constexpr std::string_view kHeld = "chord:h.~ | chord:h.~ | chord:h. |";
constexpr std::string_view kHeldBass = "root:h.~ | root:h.~ | root:h. |";

constexpr int kBassFloor = 31;     // roots from G1
constexpr int kPianoFloor = 55;    // chords from G3
constexpr int kStringsFloor = 59;  // pads from B3
constexpr int kHornFloor = 52;
constexpr int kVerseBars = 16;

}  // namespace

QByteArray merry_christmas_midi() {
    Arrangement song({.title = "We Wish You a Merry Christmas",
                      .credit = "English traditional; arranged for Wintermere",
                      .meter = {3, 4},
                      .key_sharps = 1,
                      .quarter_bpm = 152.0});
    const int music_box = song.add_part({.name = "Music box",
                                         .channel = 0,
                                         .program = gm::kMusicBox,
                                         .volume = 100,
                                         .pan = 76,
                                         .reverb = 64});
    const int clarinet = song.add_part(
        {.name = "Clarinet", .channel = 1, .program = gm::kClarinet, .volume = 107, .pan = 52});
    const int flute = song.add_part(
        {.name = "Flute", .channel = 2, .program = gm::kFlute, .volume = 85, .pan = 70});
    const int piano = song.add_part({.name = "Piano",
                                     .channel = 3,
                                     .program = gm::kAcousticGrandPiano,
                                     .volume = 120,
                                     .pan = 44});
    const int strings = song.add_part({.name = "Strings",
                                       .channel = 4,
                                       .program = gm::kStringEnsemble,
                                       .volume = 38,
                                       .pan = 84,
                                       .reverb = 64});
    const int horns = song.add_part({.name = "French horns",
                                     .channel = 5,
                                     .program = gm::kFrenchHorn,
                                     .volume = 60,
                                     .pan = 58,
                                     .reverb = 56});
    const int tuba = song.add_part(
        {.name = "Tuba", .channel = 6, .program = gm::kTuba, .volume = 104, .reverb = 30});
    const int pizzicato = song.add_part({.name = "Pizzicato strings",
                                         .channel = 7,
                                         .program = gm::kPizzicatoStrings,
                                         .volume = 88,
                                         .pan = 90,
                                         .reverb = 50});
    const int drums = song.add_part(
        {.name = "Triangle, bells and tambourine", .channel = 9, .volume = 105, .reverb = 40});

    const std::string verse = joined({kWeWish, kYearAndUpbeat, kGoodTidings, kYearAndUpbeat});
    const std::string chords = joined({kWeWishChords, kHomeChord, kGoodTidingsChords, kHomeChord});
    const std::vector<DrumLine> triangle = {{gm::kOpenTriangle, "x.."}};
    const std::vector<DrumLine> bells = {{gm::kOpenTriangle, "x.."}, {gm::kJingleBell, ".xx"}};
    const std::vector<DrumLine> festive = {
        {gm::kBassDrum, "x.."}, {gm::kJingleBell, "Xxx"}, {gm::kTambourine, ".xx"}};

    // Intro: the music box alone with pizzicato strings.
    const int intro = 0;
    song.melody(music_box, kIntro, intro, {.loud = 78, .transpose = kOctave});
    song.accompany(pizzicato, kIntroChords, kPizzicato, intro,
                   {.loud = 62, .legato = 70, .floor = 43});

    // First verse: music box over the piano's waltz, tuba, triangle.
    const int verse1 = song.bars(4);
    song.melody(music_box, verse, verse1, {.loud = 80, .loud_end = 88, .transpose = kOctave});
    song.accompany(piano, chords, kOomPahPah, verse1,
                   {.loud = 64, .legato = 55, .floor = kPianoFloor});
    song.accompany(tuba, chords, kTubaOnOne, verse1,
                   {.loud = 82, .legato = 60, .floor = kBassFloor});
    song.percussion(drums, triangle, verse1, kVerseBars, {.loud = 54, .loud_end = 62});

    // Second verse ("Now bring us some figgy pudding"): clarinet, strings, sleigh bells.
    const int verse2 = verse1 + song.bars(kVerseBars);
    song.melody(clarinet, verse, verse2, {.loud = 80, .loud_end = 88});
    song.accompany(strings, chords, kSustained, verse2,
                   {.loud = 50, .loud_end = 58, .legato = 100, .floor = kStringsFloor});
    song.accompany(piano, chords, kOomPahPah, verse2,
                   {.loud = 68, .legato = 55, .floor = kPianoFloor});
    song.accompany(tuba, chords, kTubaOnOne, verse2,
                   {.loud = 88, .legato = 60, .floor = kBassFloor});
    song.percussion(drums, bells, verse2, kVerseBars, {.loud = 60, .loud_end = 66});

    // Third verse ("We won't go until we get some"): flute and music box, the
    // clarinet and horns in harmony, everyone in.
    const int verse3 = verse2 + song.bars(kVerseBars);
    song.melody(flute, verse, verse3, {.loud = 90, .transpose = kOctave});
    song.melody(music_box, verse, verse3, {.loud = 56, .transpose = kOctave});
    song.harmony_below(clarinet, verse, chords, verse3, {.loud = 70, .transpose = kOctave});
    song.accompany(horns, chords, kSustained, verse3,
                   {.loud = 54, .legato = 100, .floor = kHornFloor});
    song.accompany(strings, chords, kSustained, verse3,
                   {.loud = 58, .legato = 100, .floor = kStringsFloor});
    song.accompany(piano, chords, kOomPahPah, verse3,
                   {.loud = 72, .legato = 55, .floor = kPianoFloor});
    song.accompany(tuba, chords, kTubaOnOne, verse3,
                   {.loud = 86, .legato = 60, .floor = kBassFloor});
    song.percussion(drums, festive, verse3, kVerseBars, {.loud = 58, .loud_end = 64});

    // Ending: "We wish you a merry Christmas and a happy new year" once more,
    // broadening into a held chord.
    const int ending = verse3 + song.bars(kVerseBars);
    const std::string last_line = joined({kWeWish, kYearHeld});
    const int held = ending + song.bars(7);
    song.ritardando(ending + song.bars(4), held + song.bars(1), 104.0);
    song.melody(flute, last_line, ending, {.loud = 90, .loud_end = 74, .transpose = kOctave});
    song.melody(clarinet, last_line, ending, {.loud = 80, .loud_end = 64});
    song.accompany(strings, kWeWishChords, kSustained, ending,
                   {.loud = 60, .legato = 100, .floor = kStringsFloor});
    song.accompany(horns, kWeWishChords, kSustained, ending,
                   {.loud = 56, .legato = 100, .floor = kHornFloor});
    song.accompany(piano, kWeWishChords, kOomPahPah, ending,
                   {.loud = 70, .legato = 55, .floor = kPianoFloor});
    song.accompany(tuba, kWeWishChords, kTubaOnOne, ending,
                   {.loud = 90, .legato = 60, .floor = kBassFloor});
    song.percussion(drums, triangle, ending, 7, {.loud = 62});
    song.accompany(strings, kHomeChordHeld, kHeld, held,
                   {.loud = 56, .loud_end = 44, .legato = 100, .floor = kStringsFloor});
    song.accompany(horns, kHomeChordHeld, kHeld, held,
                   {.loud = 52, .loud_end = 40, .legato = 100, .floor = kHornFloor});
    song.accompany(piano, kHomeChordHeld, kHeld, held,
                   {.loud = 70, .legato = 100, .floor = kPianoFloor});
    song.accompany(tuba, kHomeChordHeld, kHeldBass, held,
                   {.loud = 80, .legato = 100, .floor = kBassFloor});
    song.percussion(drums, {{gm::kJingleBell, "Xxx"}, {gm::kOpenTriangle, "x.."}}, held, 1,
                    {.loud = 66});
    return song.midi();
}

}  // namespace wm::media
