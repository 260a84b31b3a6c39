#pragma once
// Finding the Standard MIDI File inside a song file.

#include <QByteArray>

namespace wm {

// The Standard MIDI File in `file`: the file itself, or the "data" chunk of
// a RIFF MIDI file (.rmi). Empty when it is neither.
QByteArray standard_midi_file(const QByteArray& file);

}  // namespace wm
