#include "audio/mixer_backend.h"

#include "audio/midi_unwrap.h"
#include "audio/sdl_library.h"
#include "platform/regular_file.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
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

// The sound system's functions, once open_device() has loaded them.
const SdlLibrary& sdl() {
    return *sdl_library(nullptr);
}

QString sdl_error() {
    return QString::fromUtf8(sdl().GetError());
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
    QString failure;
    const SdlLibrary* const library = sdl_library(&failure);
    if (library == nullptr && failure.isEmpty()) {
        failure = QStringLiteral("The sound system cannot be loaded.");
    }
    if (library != nullptr) {
        // The program handles SIGTERM and SIGINT itself.
        library->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        library->SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Wintermere");
        if (library->InitSubSystem(SDL_INIT_AUDIO) != 0) {
            failure = QStringLiteral("There is no sound device: %1").arg(sdl_error());
        } else {
            // Decoders that are missing only fail their own songs.
            library->Init(MIX_INIT_MID | MIX_INIT_MP3 | MIX_INIT_OGG | MIX_INIT_FLAC);
            if (library->OpenAudio(kSampleRate, AUDIO_S16SYS, kChannels, kBufferSamples) != 0) {
                failure = QStringLiteral("The sound device cannot be opened: %1").arg(sdl_error());
                library->Quit();
                library->QuitSubSystem(SDL_INIT_AUDIO);
            }
        }
    }
    if (!failure.isEmpty()) {
        d.failure = failure;
        d.failed.start();
        *problem = failure;
        return false;
    }
    library->SetSoundFonts(kSoundFontPath);
    library->HookMusicFinished(&song_finished_on_audio_thread);
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
    const SdlLibrary& library = sdl();
    library.HookMusicFinished(nullptr);
    library.HaltMusic();
    library.CloseAudio();
    library.Quit();
    library.QuitSubSystem(SDL_INIT_AUDIO);
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

qint64 max_song_bytes(Decoder decoder) {
    return decoder == Decoder::Midi ? kMaxMidiBytes : kMaxSongBytes;
}

// The part of a load that follows the opening of the sound device: the sound
// font's check, the reading of the file and the making of its music. It
// touches none of the device's state and may run on any thread while another
// song plays: SDL_mixer makes music without its audio lock, reading only what
// the opening of the device set, and SDL keeps its error text per thread.
// On success *music is the new music and *midi, for a MIDI song, its bytes.
bool make_music(const QString& file, Decoder decoder, Mix_Music** music, QByteArray* midi,
                QString* problem) {
    const qint64 max_bytes = max_song_bytes(decoder);
    QString why;
    if (decoder == Decoder::Midi && !QFileInfo(QString::fromUtf8(kSoundFontPath)).isFile()) {
        *problem = QStringLiteral("MIDI songs need the sound font %1, which is missing.")
                       .arg(QString::fromUtf8(kSoundFontPath));
        return false;
    }
    SDL_RWops* source = nullptr;
    QByteArray bytes;
    if (decoder == Decoder::Midi) {
        // The synthesiser would take any file and play it as silence.
        const std::optional<QByteArray> read = read_regular_file(file, max_bytes, &why);
        if (!read) {
            *problem = QStringLiteral("Cannot open the song %1: %2").arg(file, why);
            return false;
        }
        bytes = standard_midi_file(*read);
        if (bytes.isEmpty()) {
            *problem = QStringLiteral("%1 is not a MIDI song.").arg(file);
            return false;
        }
        source = sdl().RWFromConstMem(bytes.constData(), static_cast<int>(bytes.size()));
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
        source = sdl().RWFromFP(stream, SDL_TRUE);
        if (source == nullptr) {
            std::fclose(stream);
        }
    }
    if (source == nullptr) {
        *problem = QStringLiteral("Cannot read %1: %2").arg(file, sdl_error());
        return false;
    }
    *music = sdl().LoadMUSType_RW(source, music_type(decoder), 1);
    if (*music == nullptr) {
        *problem = QStringLiteral("Cannot play %1: %2").arg(file, sdl_error());
        return false;
    }
    *midi = std::move(bytes);
    return true;
}

// Which file a path named when a song was read ahead, and how it was then.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    bool operator==(const FileStamp& other) const {
        return device == other.device && inode == other.inode && size == other.size &&
               modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec &&
               changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
    }
};

// The stamp of the regular file `file` names (links followed); nothing for
// anything else.
std::optional<FileStamp> stamp_of(const QString& file) {
    struct stat info {};
    if (::stat(QFile::encodeName(file).constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return FileStamp{info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

// Once the sound system has been tried, on the user-interface thread, each
// back end reads ahead the song it was given while it was being loaded.
void read_waiting_songs() {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) {
        return;
    }
    QMetaObject::invokeMethod(
        app,
        [] {
            const std::vector<MixerBackend*> backends = device().backends;
            for (MixerBackend* backend : backends) {
                const std::vector<MixerBackend*>& now = device().backends;
                if (std::find(now.begin(), now.end(), backend) != now.end()) {
                    backend->sound_system_tried();
                }
            }
        },
        Qt::QueuedConnection);
}

}  // namespace

// A song read ahead. Everything but `done` is set before it goes to the
// reader or by the reader, and read only once `done` is true (under the
// reader's mutex, which orders the two).
struct MixerBackend::Ahead {
    QString file;
    Decoder decoder = Decoder::Any;
    FileStamp stamp;
    std::atomic<bool> done{false};
    bool made = false;
    Mix_Music* music = nullptr;
    QByteArray midi;
    QString problem;

    // Frees the music made and never taken, on the user-interface thread.
    ~Ahead() {
        if (music != nullptr) {
            sdl().FreeMusic(music);
        }
    }
};

// The thread that reads the songs ahead: one per back end, from its first
// prepare() to its end, waiting between songs. One thread rather than one per
// song keeps the songs' memory in one place: every thread takes its memory
// from a heap (a malloc arena) of its own, and what one song's synthesiser
// leaves free in one heap serves no song made in another, so that a new
// thread per song would leave the memory of a synthesiser behind in each.
struct MixerBackend::Reader {
    std::mutex mutex;
    std::condition_variable changed;
    Ahead* job = nullptr;  // the song to read, until it is read
    bool quit = false;
    std::thread thread;

    Reader() : thread([this] { run(); }) {}

    ~Reader() {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            quit = true;
        }
        changed.notify_all();
        thread.join();
    }

    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    void run() {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return quit || job != nullptr; });
            if (job == nullptr) {
                break;  // quit, with nothing left to read
            }
            Ahead* const song = job;
            lock.unlock();
            song->made =
                make_music(song->file, song->decoder, &song->music, &song->midi, &song->problem);
            lock.lock();
            song->done = true;
            job = nullptr;
            changed.notify_all();
        }
        lock.unlock();
        // SDL frees its per-thread state (the error text) by itself only for
        // threads it started.
        sdl().TLSCleanup();
    }

    void start(Ahead* song) {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            job = song;
        }
        changed.notify_all();
    }

    void wait_for(const Ahead& song) {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&song] { return song.done.load(); });
    }
};

MixerBackend::MixerBackend() {
    device().backends.push_back(this);
}

MixerBackend::~MixerBackend() {
    unload();
    discard_prepared();
    reader_.reset();
    auto& backends = device().backends;
    backends.erase(std::remove(backends.begin(), backends.end(), this), backends.end());
    if (backends.empty()) {
        close_device();
    }
}

bool MixerBackend::load(const QString& file, Decoder decoder, QString* problem) {
    unload();
    waiting_.reset();  // read here, whatever it was
    if (ahead_ != nullptr && (ahead_->file != file || ahead_->decoder != decoder)) {
        discard_prepared();  // another song: the one read ahead goes
    }
    std::unique_ptr<Ahead> ahead = std::move(ahead_);
    if (ahead != nullptr) {
        reader_->wait_for(*ahead);
        // Taken only while the path names the very file that was read,
        // unchanged; otherwise read anew below, as if never read ahead.
        if (stamp_of(file) == ahead->stamp) {
            ++taken_ahead_;
            if (!ahead->made) {
                *problem = ahead->problem;
                return false;
            }
            music_ = std::exchange(ahead->music, nullptr);
            midi_ = std::move(ahead->midi);
            return true;
        }
        ahead.reset();
    }
    // Only a regular file is a song: a missing one, a folder, a pipe or a
    // device (or a link to one) never opens the sound device, and is never
    // opened itself.
    QString why;
    if (!is_regular_file(file, max_song_bytes(decoder), &why)) {
        *problem = QStringLiteral("Cannot open the song %1: %2").arg(file, why);
        return false;
    }
    if (!open_device(problem)) {
        return false;
    }
    return make_music(file, decoder, &music_, &midi_, problem);
}

void MixerBackend::prepare(const QString& file, Decoder decoder) {
    discard_prepared();
    // What a load refuses before anything is read, it refuses itself, at
    // its own time and in its own words.
    if (!is_regular_file(file, max_song_bytes(decoder))) {
        return;
    }
    const std::optional<FileStamp> stamp = stamp_of(file);
    if (!stamp) {
        return;
    }
    // The first time, the sound system is loaded on a thread of its own and
    // the song read once it is there (sound_system_tried()).
    if (load_sdl_library_in_background(&read_waiting_songs)) {
        waiting_.emplace(file, decoder);
        return;
    }
    QString no_device;
    if (!open_device(&no_device)) {
        return;
    }
    if (reader_ == nullptr) {
        try {
            reader_ = std::make_unique<Reader>();
        } catch (const std::system_error&) {
            return;  // no thread to be had: the load reads the song itself
        }
    }
    ahead_ = std::make_unique<Ahead>();
    ahead_->file = file;
    ahead_->decoder = decoder;
    ahead_->stamp = *stamp;
    reader_->start(ahead_.get());
}

void MixerBackend::sound_system_tried() {
    if (std::optional<std::pair<QString, Decoder>> song = std::exchange(waiting_, std::nullopt)) {
        prepare(song->first, song->second);
    }
}

void MixerBackend::discard_prepared() {
    waiting_.reset();
    // A load of the sound system in the background is waited for as well:
    // what it does at its end reaches the application, which may be about
    // to go.
    finish_sdl_library_load();
    if (ahead_ != nullptr) {
        reader_->wait_for(*ahead_);
        ahead_.reset();
    }
}

bool MixerBackend::prepared_ready() const {
    return ahead_ != nullptr && ahead_->done;
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
    sdl().HaltMusic();
    if (cut_off != 0 && cut_off != play_) {
        report_end(cut_off);
    }
    play_ = ++d.next_play;
    d.sounding = play_;
    if (sdl().PlayMusic(music_, 0) != 0) {
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
        sdl().HaltMusic();
    }
    play_ = 0;
}

void MixerBackend::unload() {
    stop();
    if (music_ != nullptr) {
        sdl().FreeMusic(music_);
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
