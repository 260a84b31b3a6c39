#pragma once
// The saver window: the stage with the birds and the scenes, the time of
// day, and the input that ends it.
//
// run() covers the screen (or enters the host's window, below), prepares the
// engine, runs the main loop until
// input or a stop signal (SIGTERM, SIGINT, SIGHUP, SIGQUIT) ends the saver,
// and then shuts down: music stopped, wallpaper saved when asked, pointer and
// system state given back, temporary files deleted. A shutdown that a signal
// started and that is still not over after kShutdownGraceMs is cut short with
// the temporary files deleted. When the display goes away under the run (Qt
// then ends the process with kExitDisplayLost), the music is stopped and the
// temporary files deleted before the process ends.
//
// Full screen, the window covers the primary monitor with the stage and
// every other monitor with black, and input on any of them ends the saver.
// Inside a screen-saver host's window (a "hack" of XScreenSaver, MATE or
// xfce) it draws only in that window, as a child of it: the stage is the
// window's size and follows its resizes; input is the host's, so it neither
// ends the saver nor touches the pointer; there is no password and nothing
// stays on top, and the wallpaper is left alone. The run ends on the host's
// SIGTERM (with a shorter grace for its shutdown) or when the host destroys
// its window or ours. Of the processes a host runs, one per monitor, only one
// plays music (MusicTurn); a host's preview is silent, and a window much
// smaller than its monitor shows a miniature of the saver (StageScale).

#include "audio/media_control.h"
#include "audio/music_player.h"
#include "imaging/picture_box_widget.h"
#include "platform/host_window.h"
#include "saver/saver_engine.h"
#include "saver/stage_scale.h"

#include <QFile>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QLabel;

namespace wm {

class AudioBackend;
class EngineHost;
class HostWindowWatch;
class MusicLock;
class MusicTurn;
class SaverSystem;
struct RunState;

// How a run is set up, besides the settings.
struct SaverRunOptions {
    // When not empty, a file to which the run's times are appended in
    // milliseconds of the engine's clock, one record a line: every frame's
    // start (the tick alone), "shown T" once, when the first painting of the
    // stage has reached the display, and "scene B E" for every scene change
    // of the main loop (from its start to the end of its transition).
    QString frame_times;
    // The X11 window of a screen-saver host to run inside; 0 for full screen.
    std::uint32_t host_window = 0;
    // That window is the preview area of a host's settings dialog: the run
    // is silent, as in any window small enough for a miniature.
    bool preview = false;
};

class SaverWindow : public PictureBoxWidget, private SaverHooks {
  public:
    // `audio`: where the music plays (it must outlive the window); the
    // program's sound device when null.
    SaverWindow(RunState& state, SaverSystem& system, EngineHost& host,
                const SaverRunOptions& options = {}, AudioBackend* audio = nullptr);
    ~SaverWindow() override;

    // Runs the saver from start to end; returns the exit status: 0, or
    // termination_exit_status() of the signal that stopped it, or
    // kExitNoHostWindow.
    int run();
    // The signal that stopped the run (0 when none did).
    int stop_signal() const { return stop_signal_; }

    SaverEngine& engine() { return *engine_; }
    const MusicPlayer& music() const { return music_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    bool hosted() const { return host_window_ != 0; }
    // Covers every monitor: the stage on the primary one, black elsewhere.
    void cover_screens();
    // Becomes a child of the host's window; false (with the reason on
    // standard error) when that is not a window.
    bool enter_host_window();
    void host_window_resized(QSize device_size);
    void host_window_gone();
    void apply_scale(QSize device_size);
    // No music for the rest of the run (stopped if it plays).
    void silence();
    void start_sequence();
    void place_controls();
    void end_by_signal(int signal_number);
    void clean_up_before_exit();

    // SaverHooks
    void show_time_of_day(const QString& text) override;
    bool verify_password() override;
    void pick_first_song() override;
    void music_tick() override;
    void stop_music() override;
    void restore_system_state() override;
    void frame_drawn(std::uint32_t frame_started) override;
    void scene_changed(std::uint32_t began, std::uint32_t ended) override;
    void stage_moved() override;

    // After the first painting of the stage: notes it in the frame times and
    // has the first song read ahead.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Has the songs read ahead from now on, once a run has started.
    void read_ahead();
    void write_frame_record(const QByteArray& record);

    RunState& state_;
    SaverSystem& system_;
    EngineHost& host_;
    std::unique_ptr<SaverEngine> engine_;
    // The music: the sound system (when the window has its own), the
    // control the songs play on, and the player choosing them.
    std::unique_ptr<AudioBackend> own_audio_;
    MediaControl music_control_;
    MusicPlayer music_;
    PictureBoxWidget* stage_ = nullptr;
    QLabel* time_box_ = nullptr;
    QLabel* info_box_ = nullptr;
    QFile frame_times_;
    bool read_ahead_due_ = false;
    // Inside a host: its window, its watch, and the music's turn.
    std::uint32_t host_window_ = 0;
    bool preview_ = false;
    double pixel_ratio_ = 0.0;  // the host window's monitor's (0: this window's)
    std::unique_ptr<HostWindowWatch> host_watch_;
    std::unique_ptr<MusicLock> music_lock_;
    std::unique_ptr<MusicTurn> music_turn_;
    bool host_gone_ = false;
    QSize screen_size_;  // the monitor's size, device pixels
    StageScale scale_;
    // Full screen: the black windows on the other monitors.
    std::vector<std::unique_ptr<QWidget>> covers_;
    bool password_in_force_ = false;
    bool system_state_changed_ = false;
    bool cursor_hidden_ = false;
    bool running_ = false;
    int stop_signal_ = 0;
};

}  // namespace wm
