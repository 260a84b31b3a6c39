#pragma once
// The full-screen saver window: the stage with the birds and the scenes, the
// time of day, and the input that ends it.
//
// run() covers the screen, prepares the engine, runs the main loop until
// input or a stop signal (SIGTERM, SIGINT, SIGHUP, SIGQUIT) ends the saver,
// and then shuts down: music stopped, wallpaper saved when asked, pointer and
// system state given back, temporary files deleted. A shutdown that a signal
// started and that is still not over after kShutdownGraceMs is cut short with
// the temporary files deleted. When the display goes away under the run (Qt
// then ends the process with kExitDisplayLost), the music is stopped and the
// temporary files deleted before the process ends.

#include "audio/media_control.h"
#include "audio/music_player.h"
#include "imaging/picture_box_widget.h"
#include "saver/saver_engine.h"

#include <QFile>
#include <QString>

#include <memory>

class QLabel;

namespace wm {

class AudioBackend;
class EngineHost;
class SaverSystem;
struct RunState;

class SaverWindow : public PictureBoxWidget, private SaverHooks {
  public:
    // `frame_times`: when not empty, a file to which every frame's start
    // (milliseconds of the engine's clock) is appended, one per line.
    // `audio`: where the music plays (it must outlive the window); the
    // program's sound device when null.
    SaverWindow(RunState& state, SaverSystem& system, EngineHost& host,
                const QString& frame_times = {}, AudioBackend* audio = nullptr);
    ~SaverWindow() override;

    // Runs the saver from start to end; returns the exit status: 0, or
    // termination_exit_status() of the signal that stopped it.
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

    RunState& state_;
    SaverSystem& system_;
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
    bool password_in_force_ = false;
    bool system_state_changed_ = false;
    bool cursor_hidden_ = false;
    bool running_ = false;
    int stop_signal_ = 0;
};

}  // namespace wm
