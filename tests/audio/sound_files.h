#pragma once
// Short test songs made on the spot: a sine tone as a RIFF wave file, one
// note as a MIDI file, and a steady tone as an MPEG-1 Layer III stream.

#include <QByteArray>

namespace wm::test {

// 16-bit mono PCM at 22050 Hz: `seconds` of a sine at `hertz`.
QByteArray wave_tone(double seconds, double hertz);

// A Standard MIDI File: middle C on the piano for half a second.
QByteArray midi_note();

// `midi` wrapped as a RIFF MIDI file (.rmi).
QByteArray rmi_file(const QByteArray& midi);

// MPEG-1 Layer III, 48 kHz mono at 64 kbit/s, about `seconds` long: every
// granule holds one spectral line, which decodes to a tone near 440 Hz.
QByteArray mp3_tone(double seconds);

}  // namespace wm::test
