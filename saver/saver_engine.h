#pragma once
// The saver's engine: the start of a run, the main loop with its frame
// pacing, the scene changes with their captions, and the end of a run.
//
// It draws into picture boxes and reaches the rest of the desktop only
// through its EngineHost (clock, events) and SaverHooks (the window's
// controls, the password, music), so tests run it on a virtual clock.

#include "imaging/picture_box.h"
#include "imaging/transition.h"
#include "pack/pack_table.h"
#include "sprites/sprite_sheets.h"
#include "sprites/sprites.h"
#include "startup/exit_rules.h"

#include <QRect>
#include <QSet>
#include <QSize>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace wm {

class EngineHost;
struct RunState;

// The most pictures one scene change tries before it keeps the scene.
inline constexpr int kMaxPicturesTried = 100;

// The pictures of a run: the saver window's own drawing (the border round
// the stage), the visible stage, and the hidden ones.
struct SaverPictures {
    PictureBox form;     // the whole window
    PictureBox ascreen;  // the stage the user sees
    PictureBox work;     // where a scene's picture loads; it keeps the last one
    PictureBox main;     // the scene's clean background with its caption
    PictureBox sprite;   // the bird sheet
    PictureBox mask;     // its mask
    PictureBox border;   // the border pieces
};

// What the engine asks of the window and of the other subsystems.
class SaverHooks {
  public:
    virtual ~SaverHooks() = default;
    // The time of day for the time box ("hh:mm:ss AMPM").
    virtual void show_time_of_day(const QString& text) = 0;
    // The stop with a password in force: true ends the saver, false (a wrong
    // or cancelled password) goes on. The hook shows and hides the pointer.
    virtual bool verify_password() = 0;
    // Music: the first song, the check every two seconds, the stop.
    virtual void pick_first_song() {}
    virtual void music_tick() {}
    virtual void stop_music() {}
    // Gives the pointer and the system's state back (between the wallpaper
    // and the deletion of the temporary files at shutdown).
    virtual void restore_system_state() {}
    // Each frame, once drawn and paced, with the tick it started at.
    virtual void frame_drawn(std::uint32_t /*frame_started*/) {}
    // A scene change of the main loop ran from tick `began` to `ended`.
    virtual void scene_changed(std::uint32_t /*began*/, std::uint32_t /*ended*/) {}
    // The stage was laid out for the window (stage_rect()), at the start and
    // for each new window size; its boxes are sized and black, and the scene
    // is made next.
    virtual void stage_moved() {}
};

// The frame pacing rule: a frame of `elapsed_ms` (at least 1) is long enough
// for `frame_rate` when 1000 / elapsed_ms, in whole frames, is at most it.
// Returns the shortest such frame: 33 ms for 30, 17 for 60, 91 for 10.
std::uint32_t frame_length_ms(int frame_rate);

// "hh:mm:ss AM" / "hh:mm:ss PM": twelve-hour clock, two digits each.
QString time_of_day_text(int hour, int minute, int second);

class SaverEngine {
  public:
    SaverEngine(EngineHost& host, RunState& state, SaverHooks& hooks);

    // Prepares every part for a run in a window of `window` pixels: the
    // flight direction, the first song, the dissolve order, the pack, the
    // sprite sheets, the stage with the first scene, the sprites.
    void init_saver(QSize window);

    // On a dense screen, how many device pixels the stage's pixels stand
    // for an ordinary screen's one: captions and the framed stage grow by
    // as much, so that they look as large (1 unless set, before
    // init_saver).
    void set_pixel_ratio(double ratio);
    // The window takes a new size while the saver runs: the main loop lays
    // the stage out anew for it before its next frame, with a new scene.
    void resize_window(QSize window);

    // Runs frames until input ends the saver (and, where a password is in
    // force, the password is accepted). `password_in_force`: ask before
    // ending.
    void main_loop(bool password_in_force);

    // The next scene: retire the sprites, choose the picture and caption,
    // run the transition, take the new scene as background.
    void change_scene();
    // The caption for the next scene (empty when captions are off).
    QString next_caption();
    // Extracts member `position` of the run's pack; its path, or nothing
    // when that fails (the reason is logged once per member and reason).
    // Callers never see a stand-in path for a failure.
    std::optional<QString> extract_pack_member(int position);

    // The end of a run: stop the music, save the wallpaper when asked,
    // release the hidden pictures, restore the system's state (hook), delete
    // the temporary files. Safe to call more than once; only the first acts.
    void shutdown();
    // Waits for the sprite sheets init_saver() began to load (the first
    // frame and shutdown() do), once; a run that ends early calls it too.
    void finish_sheet_load();

    SaverPictures& pictures() { return pictures_; }
    ExitRules& exit_rules() { return exit_rules_; }
    const SaverFlags& flags() const { return flags_; }
    Sprites& sprites() { return sprites_; }
    Transitions& transitions() { return transitions_; }
    // Where the stage lies in the window, pixels.
    QRect stage_rect() const { return stage_rect_; }
    int picture_index() const { return picture_index_; }
    int caption_index() const { return caption_index_; }
    std::uint32_t scene_started() const { return scene_started_; }
    int measured_frame_rate() const { return measured_frame_rate_; }
    std::uint64_t frames() const { return frames_; }
    int scene_changes() const { return scene_changes_; }

  private:
    void setup_stage(QSize window);
    // Applies a size resize_window() asked for.
    void follow_window_size();
    // Shows the picture at picture_index_ with `effect`. One that cannot be
    // shown is passed over for the next in the list's order, so that a
    // broken entry costs no scene, until one shows or every picture (at most
    // kMaxPicturesTried) has been tried once, with a yield for input between
    // tries and no further try once input has come. When none shows, the
    // scene stays (the first one: a black stage with its caption).
    void show_scene_or_keep(int effect);
    // How many pictures the run shows in turn, and the file of the one at
    // picture_index_ (extracted from the pack when it is the pack's).
    int picture_count() const;
    std::optional<QString> picture_file();
    void choose_picture();
    std::optional<CaptionStyle> caption_style(const QString& text) const;
    void draw_frame();
    void pace_frame(std::uint32_t frame_started);

    EngineHost& host_;
    RunState& state_;
    SaverHooks& hooks_;
    SaverPictures pictures_;
    SaverFlags flags_;
    Transitions transitions_;
    ExitRules exit_rules_;
    Sprites sprites_;
    PackTable pack_;
    QString pack_base_;
    QRect stage_rect_;
    QSize window_;
    std::optional<QSize> pending_window_;
    double pixel_ratio_ = 1.0;
    int picture_index_ = 0;
    int caption_index_ = 0;
    int pack_picture_count_ = 10;
    bool custom_pictures_ = false;
    int custom_count_ = 0;  // pictures in the user's list
    std::unique_ptr<SpriteSheetLoad> sheet_load_;
    bool sheets_loaded_ = false;
    bool shut_down_ = false;
    std::uint32_t scene_started_ = 0;
    std::uint32_t music_checked_ = 0;
    // The second of the wall clock the time of day was last shown for.
    qint64 clock_second_ = -1;
    int measured_frame_rate_ = 0;
    std::uint64_t frames_ = 0;
    int scene_changes_ = 0;
    // Extraction failures logged (member and reason), each once.
    QSet<QString> reported_members_;
};

}  // namespace wm
