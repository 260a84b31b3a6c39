#pragma once
// The General MIDI numbers the songs use: instrument programs (counted from
// 0, as sent in a program change) and keys of the percussion channel.

namespace wm::media::gm {

// Programs.
inline constexpr int kAcousticGrandPiano = 0;
inline constexpr int kCelesta = 8;
inline constexpr int kGlockenspiel = 9;
inline constexpr int kMusicBox = 10;
inline constexpr int kAcousticBass = 32;
inline constexpr int kContrabass = 43;
inline constexpr int kPizzicatoStrings = 45;
inline constexpr int kOrchestralHarp = 46;
inline constexpr int kStringEnsemble = 48;
inline constexpr int kSlowStrings = 49;
inline constexpr int kChoirAahs = 52;
inline constexpr int kTuba = 58;
inline constexpr int kFrenchHorn = 60;
inline constexpr int kOboe = 68;
inline constexpr int kClarinet = 71;
inline constexpr int kFlute = 73;

// Percussion keys (channel 10).
inline constexpr int kBassDrum = 36;
inline constexpr int kSideStick = 37;
inline constexpr int kTambourine = 54;
inline constexpr int kOpenTriangle = 81;
inline constexpr int kJingleBell = 83;

}  // namespace wm::media::gm
