// "Silent Night" (Franz Xaver Gruber, 1818) in C major, 6/8, slow and
// gentle: an intro on the celesta, a verse on the flute over harp and bass,
// a verse on the strings with the choir and a clarinet below, and the last
// line again, slowing to a held chord. No percussion.

#include "assets/songs/arrangement.h"
#include "assets/songs/carols.h"
#include "assets/songs/general_midi.h"

namespace wm::media {

namespace {

// Si-lent night, / ho-ly night,
constexpr std::string_view kNight = "G4:q. A4:e G4:q | E4:h. |";
constexpr std::string_view kNightChords = "C:h. | C:h. |";
// all is calm, all is bright
constexpr std::string_view kAllIsCalm = "D5:h D5:q | B4:h. | C5:h C5:q | G4:h. |";
constexpr std::string_view kAllIsCalmChords = "G:h. | G7:h. | C:h. | C:h. |";
// round yon vir-gin mo-ther and child, / ho-ly in-fant so ten-der and mild,
constexpr std::string_view kRoundYon = "A4:h A4:q | C5:q. B4:e A4:q | G4:q. A4:e G4:q | E4:h. |";
constexpr std::string_view kRoundYonChords = "F:h. | F:h. | C:h. | C:h. |";
// sleep in heav-en-ly peace,
constexpr std::string_view kSleep = "D5:h D5:q | F5:q. D5:e B4:q | C5:h. | E5:h. |";
constexpr std::string_view kSleepChords = "G:h. | G7:h. | C:h. | C:h. |";
// sleep in heav-en-ly peace.
constexpr std::string_view kSleepInPeace = "C5:q. G4:e E4:q | G4:q. F4:e D4:q | C4:h.~ | C4:h. |";
constexpr std::string_view kSleepInPeaceChords = "C:h. | G7:h. | C:h. | C:h. |";

constexpr std::string_view kHarpWaves = "t1:e t2:e t3:e t4:e t3:e t2:e |";
constexpr std::string_view kHarpLastWave = "t1:e t2:e t3:e t4:e t5:e t6:e | t7:h. |";
constexpr std::string_view kLongChords = "chord:h.~ | chord:h. |";
constexpr std::string_view kLongRoots = "root:h.~ | root:h. |";

constexpr int kBassFloor = 36;   // roots from C2
constexpr int kHarpFloor = 48;   // broken chords from C3
constexpr int kPadFloor = 55;    // pads from G3
constexpr int kChoirFloor = 60;  // the choir from middle C
constexpr double kDottedQuarterBpm = 54.0;
constexpr double kQuartersPerDottedQuarter = 1.5;

}  // namespace

QByteArray silent_night_midi() {
    Arrangement song({.title = "Silent Night",
                      .credit = "Franz Xaver Gruber (1818); arranged for Wintermere",
                      .meter = {6, 8},
                      .key_sharps = 0,
                      .quarter_bpm = kDottedQuarterBpm * kQuartersPerDottedQuarter});
    const int flute = song.add_part({.name = "Flute",
                                     .channel = 0,
                                     .program = gm::kFlute,
                                     .volume = 117,
                                     .pan = 70,
                                     .reverb = 70});
    const int celesta = song.add_part({.name = "Celesta",
                                       .channel = 1,
                                       .program = gm::kCelesta,
                                       .volume = 120,
                                       .pan = 86,
                                       .reverb = 80});
    const int violins = song.add_part({.name = "Violins",
                                       .channel = 2,
                                       .program = gm::kStringEnsemble,
                                       .volume = 52,
                                       .pan = 56,
                                       .reverb = 72});
    const int clarinet = song.add_part({.name = "Clarinet",
                                        .channel = 3,
                                        .program = gm::kClarinet,
                                        .volume = 96,
                                        .pan = 44,
                                        .reverb = 64});
    const int harp = song.add_part({.name = "Harp",
                                    .channel = 4,
                                    .program = gm::kOrchestralHarp,
                                    .volume = 94,
                                    .pan = 36,
                                    .reverb = 80});
    const int choir = song.add_part({.name = "Choir",
                                     .channel = 5,
                                     .program = gm::kChoirAahs,
                                     .volume = 77,
                                     .pan = 72,
                                     .reverb = 90});
    const int pad = song.add_part({.name = "Strings",
                                   .channel = 6,
                                   .program = gm::kSlowStrings,
                                   .volume = 94,
                                   .pan = 92,
                                   .reverb = 80});
    const int bass = song.add_part({.name = "Contrabass",
                                    .channel = 7,
                                    .program = gm::kContrabass,
                                    .volume = 93,
                                    .reverb = 60});

    const std::string verse =
        joined({kNight, kNight, kAllIsCalm, kRoundYon, kRoundYon, kSleep, kSleepInPeace});
    const std::string chords =
        joined({kNightChords, kNightChords, kAllIsCalmChords, kRoundYonChords, kRoundYonChords,
                kSleepChords, kSleepInPeaceChords});
    const std::string sleeps = joined({kSleep, kSleepInPeace});
    const std::string sleeps_chords = joined({kSleepChords, kSleepInPeaceChords});

    // Intro: the last line on the celesta over the harp.
    const int intro = 0;
    song.melody(celesta, kSleepInPeace, intro, {.loud = 80, .transpose = kOctave});
    song.accompany(harp, kSleepInPeaceChords, kHarpWaves, intro,
                   {.loud = 46, .legato = 100, .floor = kHarpFloor});
    song.accompany(bass, kSleepInPeaceChords, kLongRoots, intro,
                   {.loud = 50, .legato = 100, .floor = kBassFloor});

    // First verse: the flute, softly accompanied.
    const int verse1 = song.bars(4);
    song.melody(flute, verse, verse1, {.loud = 64, .loud_end = 70});
    song.accompany(harp, chords, kHarpWaves, verse1,
                   {.loud = 48, .loud_end = 54, .legato = 100, .floor = kHarpFloor});
    song.accompany(pad, chords, kLongChords, verse1,
                   {.loud = 38, .loud_end = 46, .legato = 100, .floor = kPadFloor});
    song.accompany(bass, chords, kLongRoots, verse1,
                   {.loud = 54, .legato = 100, .floor = kBassFloor});

    // Second verse: the strings sing, the choir holds the chords, a clarinet
    // below; the celesta joins for "sleep in heavenly peace".
    const int verse2 = song.bars(28);
    song.melody(violins, verse, verse2, {.loud = 68, .loud_end = 76});
    song.harmony_below(clarinet, verse, chords, verse2, {.loud = 50, .loud_end = 56});
    song.accompany(choir, chords, kLongChords, verse2,
                   {.loud = 50, .loud_end = 58, .legato = 100, .floor = kChoirFloor});
    song.accompany(harp, chords, kHarpWaves, verse2,
                   {.loud = 50, .legato = 100, .floor = kHarpFloor});
    song.accompany(bass, chords, kLongRoots, verse2,
                   {.loud = 58, .legato = 100, .floor = kBassFloor});
    song.melody(celesta, sleeps, verse2 + song.bars(16),
                {.loud = 68, .loud_end = 62, .transpose = kOctave});

    // Coda: the last line once more on the flute, slowing, fading.
    const int coda = song.bars(52);
    song.ritardando(coda, song.bars(55), 54.0);
    song.melody(flute, kSleepInPeace, coda, {.loud = 60, .loud_end = 46});
    song.melody(celesta, kSleepInPeace, coda, {.loud = 60, .loud_end = 52, .transpose = kOctave});
    song.accompany(pad, kSleepInPeaceChords, kLongChords, coda,
                   {.loud = 44, .loud_end = 34, .legato = 100, .floor = kPadFloor});
    song.accompany(choir, kSleepInPeaceChords, kLongChords, coda,
                   {.loud = 46, .loud_end = 34, .legato = 100, .floor = kChoirFloor});
    song.accompany(harp, kSleepInPeaceChords, kHarpLastWave, coda,
                   {.loud = 48, .loud_end = 36, .legato = 100, .floor = kHarpFloor});
    song.accompany(bass, kSleepInPeaceChords, kLongRoots, coda,
                   {.loud = 52, .loud_end = 42, .legato = 100, .floor = kBassFloor});
    return song.midi();
}

}  // namespace wm::media
