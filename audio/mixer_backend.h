#pragma once
// The sound system of the running program: songs played through SDL2_mixer,
// MIDI on FluidSynth with the General MIDI sound font.
//
// All back ends share the one sound device, opened when the first song is
// loaded (so a run that never plays touches no device) and closed when the
// last back end goes. Without a usable device, loads fail with the reason and
// the program carries on silently; a failed opening is retried at most once a
// minute, so that a missing sound card costs nothing per song. A song's end,
// which SDL reports on its audio thread, is handed to the user-interface
// thread through Qt's event queue. Only one song sounds at a time: playing one
// ends the song of any other back end.

#include "audio/audio_backend.h"

#include <QByteArray>

#include <cstdint>

struct _Mix_Music;

namespace wm {

// The General MIDI sound font the MIDI songs are played with.
inline constexpr const char* kSoundFontPath = "/usr/share/sounds/sf2/TimGM6mb.sf2";

class MixerBackend : public AudioBackend {
  public:
    MixerBackend();
    ~MixerBackend() override;
    MixerBackend(const MixerBackend&) = delete;
    MixerBackend& operator=(const MixerBackend&) = delete;

    bool load(const QString& file, Decoder decoder, QString* problem) override;
    bool play(std::function<void()> finished, QString* problem) override;
    void stop() override;
    void unload() override;

    // The end of play `play`, on the user-interface thread: true when it was
    // this back end's current play, whose end is then reported.
    bool song_ended(std::uint64_t play);

  private:
    _Mix_Music* music_ = nullptr;
    // A MIDI song's bytes, read whole, while the song is loaded.
    QByteArray midi_;
    // This back end's current play; 0 when none plays.
    std::uint64_t play_ = 0;
    std::function<void()> finished_;
};

}  // namespace wm
