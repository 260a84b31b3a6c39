#pragma once
// What the multimedia control asks of the sound system: load one song with a
// given decoder (or have it read ahead, so that its load is quick), play it,
// stop it, let it go. The real back end plays through SDL2_mixer; tests put a
// recording one in its place.

#include <QString>

#include <functional>
#include <optional>

namespace wm {

// How a song is decoded, chosen by the device type a control opens it with.
enum class Decoder {
    Wave,  // RIFF wave files only
    Midi,  // Standard MIDI files, played on a General MIDI synthesiser
    Any,   // whatever the content is: MP3 above all, also Ogg, FLAC, wave, MIDI
};

// The decoder behind a device type name, compared without regard to case:
// "WaveAudio" (wave), "Sequencer" (MIDI), "MPEGVideo" (any, as the system's
// universal media player plays everything). No name at all lets the file's
// content choose, as the system does when a file is opened without a device
// type. Other names name no device.
std::optional<Decoder> decoder_for_device(const QString& device_type);

class AudioBackend {
  public:
    virtual ~AudioBackend() = default;

    // Reads `file` for playing with `decoder`, replacing a song loaded
    // before. False, with the reason in `problem`, when there is no sound
    // device or the file cannot be read with that decoder.
    virtual bool load(const QString& file, Decoder decoder, QString* problem) = 0;

    // Starts the loaded song from its beginning. `finished` runs once on the
    // user-interface thread, from its event queue, when the song has ended
    // by itself; never after stop(), unload() or the back end's end.
    virtual bool play(std::function<void()> finished, QString* problem) = 0;

    // Silences the song at once; it stays loaded.
    virtual void stop() = 0;

    // Stops and forgets the loaded song.
    virtual void unload() = 0;

    // Starts reading `file` for `decoder` ahead of its load(), where the
    // back end can do that off the user-interface thread; a later load() of
    // the same file with the same decoder then takes what was read, with the
    // very result (or failure) a load() of its own would have had. Replaces
    // a song read ahead before; the song loaded now plays on untouched. Does
    // nothing by default.
    virtual void prepare(const QString& /*file*/, Decoder /*decoder*/) {}

    // Forgets a song read ahead and not loaded yet. Nothing by default.
    virtual void discard_prepared() {}
};

}  // namespace wm
