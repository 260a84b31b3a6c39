#pragma once
// The songs of a run, one after another: the pack's four songs or the user's
// own list, in order or at random, each played on a multimedia control with
// the device type its file name calls for. The saver's main loop looks in
// every two seconds (music_tick) and starts the next song once the last one
// has ended; the music selection window uses the same play and stop to let
// the user listen to a file.
//
// With load_ahead() the saver has each song read ahead, so that a music check
// starting one does not hold a frame up: the next song is chosen (and a pack
// song extracted) as soon as the song before it is over, or could not be
// played, and the control reads it while the frames go on; the check then
// opens exactly that song. The order of the songs, the check that starts
// each and the handling of songs that cannot be played are the same either
// way.

#include <QSet>
#include <QString>

#include <functional>
#include <optional>

namespace wm {

class EngineHost;
class MediaControl;
struct SaverSettings;

// The pack's songs are members kFirstSongMember .. kFirstSongMember + 3:
// song n is member n + 13.
inline constexpr int kPackSongs = 4;
inline constexpr int kFirstSongMember = 14;

// The device type setting that opens `path`, chosen by the last three
// characters of the path upper-cased: "MID" and "RMI" the MIDI one, "WAV" the
// wave one, "MP3" the MP3 one (as set, even when empty). Nothing for anything
// else: the control then keeps the device type it had.
std::optional<QString> device_type_for(const QString& path, const SaverSettings& settings);

class MusicPlayer {
  public:
    // Gives the path of pack member `position`, extracted to a file, or
    // nothing when that fails (the song is then skipped like one that
    // cannot be played).
    using PackMember = std::function<std::optional<QString>(int position)>;

    // `host` lets events run between the commands. `pack_member` may be empty
    // where only play_music_file() and stop_music() are used.
    MusicPlayer(const SaverSettings& settings, EngineHost& host, PackMember pack_member = {});

    // Chooses where the list starts: music_index becomes 0 .. n - 1 at
    // random, so that the first music_tick() plays a random song even when
    // the songs go in order. A song chosen before is forgotten.
    void pick_first_song();

    // From now on the songs `control` plays for music_tick() are read ahead:
    // the first one now (call this once the pack can be read, after
    // pick_first_song()), each later one as soon as the song before it is
    // over (a song that has ended is closed at once, so that its synthesiser
    // is gone before the next one is made) or has failed. Nothing is read in
    // a muted run.
    void load_ahead(MediaControl& control);

    // Unless a song is playing, starts the next one (or a random one with
    // "random_music"). A song that cannot be played is closed again and the
    // next call moves on to the song after it.
    void music_tick(MediaControl& control);

    // Stops and closes what the control was playing, then opens `path` with
    // its device type and plays it. False, with the control closed and
    // nothing playing, when the open or the play failed.
    bool play_music_file(const QString& path, MediaControl& control);

    // Stops and closes the control's device, and lets a song read ahead go
    // (should a music check come after all, it opens the song chosen for it).
    void stop_music(MediaControl& control);

    // The control's status event: a stopped control means no song plays.
    void status_changed(const MediaControl& control);

    // Position of the current song in the list in use (1-based once a song
    // has been chosen).
    int music_index() const { return music_index_; }
    // 1 while a song plays; 0 before the first and after each one's end.
    int music_playing() const { return music_playing_; }

  private:
    // A song chosen for the next music check: its position in the list and
    // its file (nothing when the pack's member could not be extracted).
    struct Choice {
        int index = 0;
        std::optional<QString> file;
    };

    // The user's list is played only when switched on and not empty.
    bool user_list() const;
    int song_count() const;
    // The song after the current one, or one drawn at random.
    Choice choose_next();
    // Chooses the next song unless chosen already, and has it read ahead.
    void look_ahead();
    // Stop and Close, letting events run after each.
    void halt(MediaControl& control);

    const SaverSettings& settings_;
    EngineHost& host_;
    PackMember pack_member_;
    int music_index_ = 0;
    int music_playing_ = 0;
    // The control songs are read ahead for (see load_ahead()), and the song
    // chosen for the next check.
    MediaControl* ahead_ = nullptr;
    std::optional<Choice> next_;
    // Failures logged (file and reason), so that each is logged once.
    QSet<QString> reported_;
};

}  // namespace wm
