#include "saver/saver_window.h"

#include "audio/mixer_backend.h"
#include "platform/exit_cleanup.h"
#include "platform/run_temp_folder.h"
#include "platform/saver_system.h"
#include "platform/termination_signals.h"
#include "startup/startup.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

namespace wm {
namespace {

// The time box's place and size: 3330 twips below the top, 1185 x 270 twips.
constexpr double kTimeBoxTopTwips = 3330.0;
constexpr double kTimeBoxWidthTwips = 1185.0;
constexpr double kTimeBoxHeightTwips = 270.0;

// Frame times reach their file at least this often (in frames).
constexpr std::uint64_t kFrameTimesFlushFrames = 30;

QLabel* text_box(QWidget* parent, const QString& text, const QColor& colour, double points) {
    auto* box = new QLabel(text, parent);
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(true);
    box->setFont(font);
    QPalette palette = box->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Window, Qt::black);
    box->setPalette(palette);
    box->setAutoFillBackground(true);
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    box->hide();
    return box;
}

}  // namespace

SaverWindow::SaverWindow(RunState& state, SaverSystem& system, EngineHost& host,
                         const QString& frame_times, AudioBackend* audio)
    : state_(state),
      system_(system),
      engine_(std::make_unique<SaverEngine>(host, state, static_cast<SaverHooks&>(*this))),
      own_audio_(audio == nullptr ? std::make_unique<MixerBackend>() : nullptr),
      music_control_(audio != nullptr ? *audio : *own_audio_),
      music_(state.settings, host,
             [this](int position) { return engine_->extract_pack_member(position); }) {
    music_control_.set_status_handler([this] { music_.status_changed(music_control_); });
    setWindowTitle(kSaverWindowTitle);
    set_box(&engine_->pictures().form);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);

    stage_ = new PictureBoxWidget(&engine_->pictures().ascreen, this);
    stage_->setObjectName(QStringLiteral("ascreen"));
    // Input over the stage is the window's input.
    stage_->setAttribute(Qt::WA_TransparentForMouseEvents);
    stage_->hide();
    time_box_ = text_box(this, QStringLiteral("Time"), Qt::white, 9.0);
    time_box_->setObjectName(QStringLiteral("time_box"));
    info_box_ = text_box(this, QStringLiteral("Info Box"), Qt::green, 8.25);
    info_box_->setObjectName(QStringLiteral("info_box"));

    if (!frame_times.isEmpty()) {
        frame_times_.setFileName(frame_times);
        if (!frame_times_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
            qWarning("Cannot write frame times to %s", qPrintable(frame_times));
        }
    }
}

SaverWindow::~SaverWindow() {
    // The engine owns the pictures the widgets show: let go of them first.
    stage_->set_box(nullptr);
    set_box(nullptr);
}

int SaverWindow::run() {
    const bool test_run = state_.run.config_preview;
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect geometry = screen != nullptr ? screen->geometry() : QRect(0, 0, 800, 600);
    if (!test_run) {
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
    // Without a window manager, full screen alone would give a small window.
    setGeometry(geometry);
    showFullScreen();
    raise();
    activateWindow();

    const TerminationSignals stop_signals(
        [this](int signal_number) { end_by_signal(signal_number); },
        remove_run_temp_folder_at_once);
    const ExitCleanup display_lost([this] { clean_up_before_exit(); },
                                   remove_run_temp_folder_at_once);
    stop_signal_ = 0;
    running_ = true;
    start_sequence();
    engine_->main_loop(password_in_force_);
    engine_->shutdown();
    running_ = false;
    if (frame_times_.isOpen()) {
        frame_times_.close();
    }
    hide();
    return stop_signal_ != 0 ? termination_exit_status(stop_signal_) : 0;
}

void SaverWindow::start_sequence() {
    if (!state_.run.config_preview) {
        // Where the host does not ask for the password itself, the saver must.
        password_in_force_ = system_.platform_id() != kPlatformNt && system_.use_password() != 0;
        if (password_in_force_) {
            system_.set_screen_saver_running(true);
            system_state_changed_ = true;
        }
        hide_cursor(system_);
        cursor_hidden_ = true;
    }
    engine_->init_saver(geometry().size());
    stage_->setGeometry(engine_->stage_rect());
    stage_->show();
    place_controls();
}

void SaverWindow::place_controls() {
    const double tpx = state_.run.twips_per_pixel_x;
    const double tpy = state_.run.twips_per_pixel_y;
    const int box_width = static_cast<int>(kTimeBoxWidthTwips / tpx);
    const int box_height = static_cast<int>(kTimeBoxHeightTwips / tpy);
    time_box_->setGeometry((width() - box_width) / 2, static_cast<int>(kTimeBoxTopTwips / tpy),
                           box_width, box_height);
    time_box_->setAlignment(Qt::AlignCenter);
    time_box_->raise();
    time_box_->setVisible(state_.settings.show_time == 1);
    info_box_->setGeometry(0, height() - info_box_->sizeHint().height(), width(),
                           info_box_->sizeHint().height());
}

void SaverWindow::end_by_signal(int signal_number) {
    // The host ends the saver; after the loop, the run is ending anyway. The
    // first signal is the one the exit status tells of.
    if (stop_signal_ == 0) {
        stop_signal_ = signal_number;
    }
    engine_->exit_rules().host_stop();
}

void SaverWindow::clean_up_before_exit() {
    // The process ends as soon as this returns, from inside the event loop:
    // only what outlasts the process is seen to. The display is gone, so
    // nothing here may draw or run events (the event loop would end the
    // process at once): the music stops on its control directly, not
    // through the player, which lets events run between its steps.
    remove_run_temp_folder();
    music_control_.command(QStringLiteral("Stop"));
    music_control_.command(QStringLiteral("Close"));
    if (frame_times_.isOpen()) {
        frame_times_.flush();
    }
}

void SaverWindow::keyPressEvent(QKeyEvent* event) {
    engine_->exit_rules().key_press();
    event->accept();
}

void SaverWindow::mousePressEvent(QMouseEvent* event) {
    engine_->exit_rules().mouse_down();
    event->accept();
}

void SaverWindow::mouseMoveEvent(QMouseEvent* event) {
    engine_->exit_rules().mouse_move();
    event->accept();
}

void SaverWindow::closeEvent(QCloseEvent* event) {
    if (!running_ || engine_->exit_rules().close_request()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void SaverWindow::show_time_of_day(const QString& text) {
    if (time_box_->text() != text) {
        time_box_->setText(text);
    }
}

bool SaverWindow::verify_password() {
    restore_cursor(system_);
    const bool accepted = system_.verify_password(this);
    if (!accepted) {
        hide_cursor(system_);
    }
    return accepted;
}

void SaverWindow::pick_first_song() {
    music_.pick_first_song();
}

void SaverWindow::music_tick() {
    music_.music_tick(music_control_);
}

void SaverWindow::stop_music() {
    music_.stop_music(music_control_);
}

void SaverWindow::restore_system_state() {
    if (cursor_hidden_) {
        restore_cursor(system_);
        cursor_hidden_ = false;
    }
    if (system_state_changed_) {
        system_.set_screen_saver_running(false);
        system_state_changed_ = false;
    }
}

void SaverWindow::frame_drawn(std::uint32_t frame_started) {
    if (!frame_times_.isOpen()) {
        return;
    }
    frame_times_.write(QByteArray::number(frame_started) + '\n');
    if (engine_->frames() % kFrameTimesFlushFrames == 0) {
        frame_times_.flush();
    }
}

}  // namespace wm
