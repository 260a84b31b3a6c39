#include "audio/music_player.h"

#include "audio/media_control.h"
#include "platform/engine_host.h"
#include "platform/run_random.h"
#include "startup/saver_settings.h"

#include <QtGlobal>

#include <utility>

namespace wm {

std::optional<QString> device_type_for(const QString& path, const SaverSettings& settings) {
    const QString extension = path.right(3).toUpper();
    if (extension == QLatin1String("MID") || extension == QLatin1String("RMI")) {
        return settings.midi_devicename;
    }
    if (extension == QLatin1String("WAV")) {
        return settings.wav_devicename;
    }
    if (extension == QLatin1String("MP3")) {
        return settings.mp3_devicename;
    }
    return std::nullopt;
}

MusicPlayer::MusicPlayer(const SaverSettings& settings, EngineHost& host, PackMember pack_member)
    : settings_(settings), host_(host), pack_member_(std::move(pack_member)) {}

bool MusicPlayer::user_list() const {
    return settings_.custom_music_flag == 1 &&
           list_in_use(settings_.custom_audio_files_total, settings_.custom_audio_paths) >= 1;
}

int MusicPlayer::song_count() const {
    return user_list()
               ? list_in_use(settings_.custom_audio_files_total, settings_.custom_audio_paths)
               : kPackSongs;
}

void MusicPlayer::pick_first_song() {
    music_index_ = random_position(song_count()) - 1;
    next_.reset();
}

MusicPlayer::Choice MusicPlayer::choose_next() {
    const int count = song_count();
    Choice choice;
    choice.index = music_index_ + 1;
    if (choice.index > count || choice.index < 1) {
        choice.index = 1;
    }
    if (settings_.random_music == 1) {
        choice.index = random_position(count);
    }
    if (user_list()) {
        choice.file = settings_.custom_audio_paths[static_cast<std::size_t>(choice.index)];
    } else if (pack_member_) {
        choice.file = pack_member_(choice.index + kFirstSongMember - 1);
    } else {
        choice.file = QString();  // nothing to play: the control says so
    }
    return choice;
}

void MusicPlayer::load_ahead(MediaControl& control) {
    ahead_ = &control;
    look_ahead();
}

void MusicPlayer::look_ahead() {
    if (ahead_ == nullptr || settings_.mute_audio != 0) {
        return;
    }
    if (!next_) {
        next_ = choose_next();
    }
    if (next_->file) {
        // The device type the check's "Open" will have: the file's own, or
        // the one the control has now.
        const QString& path = *next_->file;
        ahead_->prepare(path, device_type_for(path, settings_).value_or(ahead_->device_type()));
    }
}

void MusicPlayer::music_tick(MediaControl& control) {
    if (music_playing_ == 1) {
        return;
    }
    halt(control);
    const Choice choice = next_ ? *std::exchange(next_, std::nullopt) : choose_next();
    music_index_ = choice.index;
    // No file to open: the next tick moves on, as after a failed song.
    if (!choice.file || !play_music_file(*choice.file, control)) {
        look_ahead();
    }
}

bool MusicPlayer::play_music_file(const QString& path, MediaControl& control) {
    control.command(QStringLiteral("Stop"));
    host_.yield_once();
    control.command(QStringLiteral("Close"));
    host_.yield_once();
    control.set_notify(true);
    control.set_wait(false);
    control.set_shareable(false);
    if (const std::optional<QString> device_type = device_type_for(path, settings_)) {
        control.set_device_type(*device_type);
    }
    control.set_file_name(path);
    // Only a song that really plays counts as playing: one that fails is
    // closed again, and the next tick goes on to the next song.
    bool played = control.command(QStringLiteral("Open"));
    if (played) {
        music_playing_ = 1;
        played = control.command(QStringLiteral("Play"));
    }
    if (!played) {
        const QString failure = path + QLatin1Char('\n') + control.error();
        if (!reported_.contains(failure)) {
            reported_.insert(failure);
            qWarning("Cannot play the song %s: %s", qPrintable(path), qPrintable(control.error()));
        }
        control.command(QStringLiteral("Close"));
        music_playing_ = 0;
        return false;
    }
    host_.yield_once();
    return true;
}

void MusicPlayer::halt(MediaControl& control) {
    control.command(QStringLiteral("Stop"));
    host_.yield_once();
    control.command(QStringLiteral("Close"));
    host_.yield_once();
    music_playing_ = 0;
}

void MusicPlayer::stop_music(MediaControl& control) {
    halt(control);
    control.discard_prepared();
}

void MusicPlayer::status_changed(const MediaControl& control) {
    if (control.mode() != kModeStopped) {
        return;
    }
    music_playing_ = 0;
    if (&control == ahead_ && control.song_over()) {
        // The song is over: it goes now, before the next one is read, so
        // that the two are never held at once.
        ahead_->command(QStringLiteral("Close"));
        look_ahead();
    }
}

}  // namespace wm
