// Fuzzes the unwrapping of a song's Standard MIDI File (plain, or the "data"
// chunk of a RIFF MIDI file). What comes out is empty or a Standard MIDI File
// taken whole from the input: a plain one is the input itself, a wrapped one
// a stretch of it after a RIFF header.

#include "audio/midi_unwrap.h"
#include "fuzz/fuzz_support.h"

#include <cstddef>
#include <cstdint>

using wm::fuzz::check;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    wm::fuzz::quiet_output();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t length) {
    const QByteArray file = wm::fuzz::input_bytes(bytes, length);
    const QByteArray midi = wm::standard_midi_file(file);
    if (file.startsWith("MThd")) {
        check(midi == file, "a plain MIDI file did not come out whole");
        return 0;
    }
    if (midi.isEmpty()) {
        return 0;
    }
    check(midi.startsWith("MThd"), "what came out is not a MIDI file");
    check(file.startsWith("RIFF") && file.mid(8, 4) == "RMID",
          "a MIDI file came out of a file that is no RIFF MIDI file");
    // The same bytes may stand in an earlier chunk too.
    bool in_data_chunk = false;
    for (qsizetype at = file.indexOf(midi, 20); at >= 0 && !in_data_chunk;
         at = file.indexOf(midi, at + 1)) {
        in_data_chunk = file.mid(at - 8, 4) == "data";
    }
    check(in_data_chunk, "what came out is not the inside of a data chunk");
    return 0;
}
