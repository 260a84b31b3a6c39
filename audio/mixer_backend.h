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
//
// A song can be read ahead (prepare()): the reading and the making of its
// music (for MIDI, a FluidSynth synthesiser with the sound font, the costly
// part) run on a thread of the back end's own, while the user-interface
// thread goes on; the song's load() then only takes the result. Playing,
// stopping and freeing music stay on the user-interface thread.

#include "audio/audio_backend.h"

#include <QByteArray>

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

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

    // The file is looked at here (a missing file, a special one and no sound
    // device start nothing: the load then fails as it would have anyway) and
    // the sound device opened; the rest of the load runs on the back end's
    // reader thread. A load() of the same file and decoder waits for the
    // reader if it is still busy and takes its result while the path names
    // the same regular file, unchanged since (device, inode, size,
    // modification and change times); otherwise the song is read anew. A
    // load() of anything else, or the back end's end, lets the song read
    // ahead go (waiting for the reader first).
    // Until the sound system has been loaded, a prepare() (of any back end)
    // leaves the song waiting while it is loaded on a thread of its own (the
    // first such call starts it); the song is read once the loading has
    // ended (sound_system_tried()), unless a load() or a discard_prepared()
    // came first.
    void prepare(const QString& file, Decoder decoder) override;
    // Lets the song read ahead go, waiting for the reader first, and for a
    // loading of the sound system in the background.
    void discard_prepared() override;
    // Reads ahead the song left waiting for the sound system, if any: on the
    // user-interface thread, once the sound system has been tried.
    void sound_system_tried();

    // Whether a song read ahead is waiting and the reader is done with it.
    bool prepared_ready() const;
    // How many loads took what was read ahead (a song, or why it fails).
    std::uint64_t loads_taken_ahead() const { return taken_ahead_; }

    // The end of play `play`, on the user-interface thread: true when it was
    // this back end's current play, whose end is then reported.
    bool song_ended(std::uint64_t play);

  private:
    struct Ahead;
    struct Reader;

    _Mix_Music* music_ = nullptr;
    // A MIDI song's bytes, read whole, while the song is loaded.
    QByteArray midi_;
    // This back end's current play; 0 when none plays.
    std::uint64_t play_ = 0;
    std::function<void()> finished_;
    // The thread reading songs ahead, once one has been, and the song read
    // ahead, while one is.
    std::unique_ptr<Reader> reader_;
    std::unique_ptr<Ahead> ahead_;
    // The song to read ahead once the sound system is loaded.
    std::optional<std::pair<QString, Decoder>> waiting_;
    std::uint64_t taken_ahead_ = 0;
};

}  // namespace wm
