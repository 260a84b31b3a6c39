#include "audio/mixer_backend.h"

#include "audio/midi_unwrap.h"
#include "platform/regular_file.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMetaObject>

#include <SDL.h>
#include <SDL_mixer.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

namespace wm {
namespace {

constexpr int kSampleRate = 44100;
constexpr int kChannels = 2;
constexpr int kBufferSamples = 2048;
// How long a failed opening of the sound device is remembered.
constexpr qint64 kRetryDeviceMs = 60000;

// The one sound device all back ends share. Everything here belongs to the
// user-interface thread except `sounding`, which SDL's audio thread reads.
struct MixerDevice {
    std::vector<MixerBackend*> backends;
    bool open = false;
    QString failure;
    QElapsedTimer failed;
    std::uint64_t next_play = 0;
    // The play whose song is on the device now; 0 when none is (or when its
    // end has already been reported).
    std::atomic<std::uint64_t> sounding{0};
};

// Never destroyed: SDL's audio thread may look at it until the very end.
MixerDevice& device() {
    static MixerDevice* const the_device = new MixerDevice;
    return *the_device;
}

QString sdl_error() {
    return QString::fromUtf8(SDL_GetError());
}

// Hands the end of play `play` to its back end, on the user-interface thread.
void report_end(std::uint64_t play) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) {
        return;
    }
    QMetaObject::invokeMethod(
        app,
        [play] {
            // Copied: a back end may go while it handles its song's end.
            const std::vector<MixerBackend*> backends = device().backends;
            for (MixerBackend* backend : backends) {
                if (backend->song_ended(play)) {
                    return;
                }
            }
        },
        Qt::QueuedConnection);
}

// SDL_mixer calls this on its audio thread when a song has played to its end
// (and on the calling thread from Mix_HaltMusic, when `sounding` is 0).
void song_finished_on_audio_thread() {
    const std::uint64_t play = device().sounding.exchange(0);
    if (play != 0) {
        report_end(play);
    }
}

bool open_device(QString* problem) {
    MixerDevice& d = device();
    if (d.open) {
        return true;
    }
    if (d.failed.isValid() && !d.failed.hasExpired(kRetryDeviceMs)) {
        *problem = d.failure;
        return false;
    }
    // The program handles SIGTERM and SIGINT itself.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Wintermere");
    QString failure;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        failure = QStringLiteral("There is no sound device: %1").arg(sdl_error());
    } else {
        // Decoders that are missing only fail their own songs.
        Mix_Init(MIX_INIT_MID | MIX_INIT_MP3 | MIX_INIT_OGG | MIX_INIT_FLAC);
        if (Mix_OpenAudio(kSampleRate, AUDIO_S16SYS, kChannels, kBufferSamples) != 0) {
            failure = QStringLiteral("The sound device cannot be opened: %1").arg(sdl_error());
            Mix_Quit();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
    }
    if (!failure.isEmpty()) {
        d.failure = failure;
        d.failed.start();
        *problem = failure;
        return false;
    }
    Mix_SetSoundFonts(kSoundFontPath);
    Mix_HookMusicFinished(&song_finished_on_audio_thread);
    d.open = true;
    d.failed.invalidate();
    return true;
}

void close_device() {
    MixerDevice& d = device();
    if (!d.open) {
        return;
    }
    d.sounding = 0;
    Mix_HookMusicFinished(nullptr);
    Mix_HaltMusic();
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    d.open = false;
}

// No MIDI song is anywhere near this long.
constexpr qint64 kMaxMidiBytes = 16 * 1024 * 1024;
// Nor any other song file: a wave file cannot be larger.
constexpr qint64 kMaxSongBytes = qint64{4} << 30;

Mix_MusicType music_type(Decoder decoder) {
    switch (decoder) {
        case Decoder::Wave:
            return MUS_WAV;
        case Decoder::Midi:
            return MUS_MID;
        case Decoder::Any:
            break;
    }
    return MUS_NONE;  // told by the content
}

}  // namespace

MixerBackend::MixerBackend() {
    device().backends.push_back(this);
}

MixerBackend::~MixerBackend() {
    unload();
    auto& backends = device().backends;
    backends.erase(std::remove(backends.begin(), backends.end(), this), backends.end());
    if (backends.empty()) {
        close_device();
    }
}

bool MixerBackend::load(const QString& file, Decoder decoder, QString* problem) {
    unload();
    const qint64 max_bytes = decoder == Decoder::Midi ? kMaxMidiBytes : kMaxSongBytes;
    // Only a regular file is a song: a missing one, a folder, a pipe or a
    // device (or a link to one) never opens the sound device, and is never
    // opened itself.
    QString why;
    if (!is_regular_file(file, max_bytes, &why)) {
        *problem = QStringLiteral("Cannot open the song %1: %2").arg(file, why);
        return false;
    }
    if (!open_device(problem)) {
        return false;
    }
    if (decoder == Decoder::Midi && !QFileInfo(QString::fromUtf8(kSoundFontPath)).isFile()) {
        *problem = QStringLiteral("MIDI songs need the sound font %1, which is missing.")
                       .arg(QString::fromUtf8(kSoundFontPath));
        return false;
    }
    SDL_RWops* source = nullptr;
    if (decoder == Decoder::Midi) {
        // The synthesiser would take any file and play it as silence.
        const std::optional<QByteArray> bytes = read_regular_file(file, max_bytes, &why);
        if (!bytes) {
            *problem = QStringLiteral("Cannot open the song %1: %2").arg(file, why);
            return false;
        }
        midi_ = standard_midi_file(*bytes);
        if (midi_.isEmpty()) {
            *problem = QStringLiteral("%1 is not a MIDI song.").arg(file);
            return false;
        }
        source = SDL_RWFromConstMem(midi_.constData(), static_cast<int>(midi_.size()));
    } else {
        // Streamed from a descriptor opened as a regular file, without
        // waiting: the path may have become a pipe since it was looked at.
        const int fd = open_regular_file(file, max_bytes, &why);
        FILE* stream = fd < 0 ? nullptr : ::fdopen(fd, "rb");
        if (stream == nullptr) {
            if (fd >= 0) {
                ::close(fd);
            }
            *problem = QStringLiteral("Cannot open the song %1: %2").arg(file, why);
            return false;
        }
        source = SDL_RWFromFP(stream, SDL_TRUE);
        if (source == nullptr) {
            std::fclose(stream);
        }
    }
    if (source == nullptr) {
        *problem = QStringLiteral("Cannot read %1: %2").arg(file, sdl_error());
        return false;
    }
    music_ = Mix_LoadMUSType_RW(source, music_type(decoder), 1);
    if (music_ == nullptr) {
        *problem = QStringLiteral("Cannot play %1: %2").arg(file, sdl_error());
        return false;
    }
    return true;
}

bool MixerBackend::play(std::function<void()> finished, QString* problem) {
    if (music_ == nullptr) {
        *problem = QStringLiteral("No song is loaded.");
        return false;
    }
    MixerDevice& d = device();
    // Whatever sounds now stops first, so that no end of it can be taken for
    // the end of this play. Another back end's song ends here.
    const std::uint64_t cut_off = d.sounding.exchange(0);
    Mix_HaltMusic();
    if (cut_off != 0 && cut_off != play_) {
        report_end(cut_off);
    }
    play_ = ++d.next_play;
    d.sounding = play_;
    if (Mix_PlayMusic(music_, 0) != 0) {
        d.sounding = 0;
        play_ = 0;
        *problem = QStringLiteral("Cannot play: %1").arg(sdl_error());
        return false;
    }
    finished_ = std::move(finished);
    return true;
}

void MixerBackend::stop() {
    if (play_ == 0) {
        return;
    }
    std::uint64_t mine = play_;
    // Only this back end's own song is halted; one that has just ended by
    // itself is left, and its end is ignored below.
    if (device().sounding.compare_exchange_strong(mine, 0)) {
        Mix_HaltMusic();
    }
    play_ = 0;
}

void MixerBackend::unload() {
    stop();
    if (music_ != nullptr) {
        Mix_FreeMusic(music_);
        music_ = nullptr;
    }
    midi_.clear();
    finished_ = nullptr;
}

bool MixerBackend::song_ended(std::uint64_t play) {
    if (play == 0 || play != play_) {
        return false;
    }
    play_ = 0;
    // Copied and called last: the handler may end this back end.
    const std::function<void()> finished = finished_;
    if (finished) {
        finished();
    }
    return true;
}

}  // namespace wm
