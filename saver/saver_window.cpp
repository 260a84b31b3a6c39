#include "saver/saver_window.h"

#include "audio/mixer_backend.h"
#include "audio/music_lock.h"
#include "platform/engine_host.h"
#include "platform/exit_cleanup.h"
#include "platform/host_window.h"
#include "platform/messages.h"
#include "platform/run_temp_folder.h"
#include "platform/saver_system.h"
#include "platform/termination_signals.h"
#include "startup/startup.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QScreen>
#include <QTimer>

#include <functional>
#include <utility>

namespace wm {
namespace {

// The time box's place and size: 3330 twips below the top, 1185 x 270 twips.
constexpr double kTimeBoxTopTwips = 3330.0;
constexpr double kTimeBoxWidthTwips = 1185.0;
constexpr double kTimeBoxHeightTwips = 270.0;

// Frame times reach their file at least this often (in frames).
constexpr std::uint64_t kFrameTimesFlushFrames = 30;

// The title of the windows other than the full-screen saver's, which a
// second "/s" looks for.
const QString kOtherTitle = QStringLiteral("Wintermere");

// A host waits for its saver to end: a shutdown under a host that is still
// going after this long is cut short once the temporary files are gone.
constexpr int kHostedShutdownGraceMs = 400;

// The clock's font, points on an ordinary screen.
constexpr double kTimeBoxPoints = 9.0;

// A black window over a monitor other than the stage's, passing its input on.
class ScreenCover : public QWidget {
  public:
    // A window of its own, but the saver window's child, so that a modal
    // saver window (a test run) leaves its input alone.
    ScreenCover(QWidget* saver, QScreen* screen, bool stay_on_top,
                std::function<void(QEvent::Type)> input)
        : QWidget(saver, Qt::Window), input_(std::move(input)) {
        setWindowTitle(kOtherTitle);
        setWindowFlag(Qt::FramelessWindowHint, true);
        setWindowFlag(Qt::WindowStaysOnTopHint, stay_on_top);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, Qt::black);
        setPalette(palette);
        setAutoFillBackground(true);
        setMouseTracking(true);
        setFocusPolicy(Qt::StrongFocus);
        setScreen(screen);
        setGeometry(screen->geometry());
        showFullScreen();
    }

  protected:
    void keyPressEvent(QKeyEvent* event) override { pass_on(event); }
    void mousePressEvent(QMouseEvent* event) override { pass_on(event); }
    void mouseMoveEvent(QMouseEvent* event) override { pass_on(event); }

  private:
    void pass_on(QEvent* event) {
        input_(event->type());
        event->accept();
    }
    std::function<void(QEvent::Type)> input_;
};

// A monitor's place in device pixels.
QRect device_geometry(const QScreen* screen) {
    if (screen == nullptr) {
        return {};
    }
    const double ratio = screen->devicePixelRatio();
    const QRect logical = screen->geometry();
    return {QPoint(qRound(logical.x() * ratio), qRound(logical.y() * ratio)),
            QSize(qRound(logical.width() * ratio), qRound(logical.height() * ratio))};
}

// The monitor a host's window lies on: the one its centre is on, else the
// primary one.
QScreen* monitor_of(const HostWindowInfo& window) {
    const QPoint centre =
        window.root_position + QPoint(window.size.width() / 2, window.size.height() / 2);
    for (QScreen* screen : QGuiApplication::screens()) {
        if (device_geometry(screen).contains(centre)) {
            return screen;
        }
    }
    return QGuiApplication::primaryScreen();
}

// Device pixels as the logical pixels of widgets at `ratio`.
QRect logical_rect(const QRect& device, double ratio) {
    return QRectF(device.x() / ratio, device.y() / ratio, device.width() / ratio,
                  device.height() / ratio)
        .toAlignedRect();
}

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
                         const SaverRunOptions& options, AudioBackend* audio)
    : state_(state),
      system_(system),
      host_(host),
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
    time_box_ = text_box(this, QStringLiteral("Time"), Qt::white, kTimeBoxPoints);
    time_box_->setObjectName(QStringLiteral("time_box"));
    info_box_ = text_box(this, QStringLiteral("Info Box"), Qt::green, 8.25);
    info_box_->setObjectName(QStringLiteral("info_box"));

    host_window_ = options.host_window;
    preview_ = options.preview;
    if (!options.frame_times.isEmpty()) {
        frame_times_.setFileName(options.frame_times);
        if (!frame_times_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
            qWarning("Cannot write frame times to %s", qPrintable(options.frame_times));
        }
    }
    // The first painting of the stage is watched for (eventFilter()).
    stage_->installEventFilter(this);
}

SaverWindow::~SaverWindow() {
    // The engine owns the pictures the widgets show: let go of them first.
    stage_->set_box(nullptr);
    set_box(nullptr);
}

int SaverWindow::run() {
    if (hosted()) {
        if (!enter_host_window()) {
            return kExitNoHostWindow;
        }
    } else {
        cover_screens();
    }

    const TerminationSignals stop_signals(
        [this](int signal_number) { end_by_signal(signal_number); }, remove_run_temp_folder_at_once,
        hosted() ? kHostedShutdownGraceMs : kShutdownGraceMs);
    const ExitCleanup display_lost([this] { clean_up_before_exit(); },
                                   remove_run_temp_folder_at_once);
    stop_signal_ = 0;
    running_ = true;
    start_sequence();
    const bool started = !host_gone_;
    if (hosted() && started) {
        show();
    }
    engine_->main_loop(password_in_force_);
    engine_->shutdown();
    running_ = false;
    if (frame_times_.isOpen()) {
        frame_times_.close();
    }
    hide();
    covers_.clear();
    if (!started && stop_signal_ == 0) {
        print_error(QStringLiteral("the host's window 0x%1 went away while the saver started")
                        .arg(host_window_, 0, 16));
        return kExitNoHostWindow;
    }
    return stop_signal_ != 0 ? termination_exit_status(stop_signal_) : 0;
}

void SaverWindow::cover_screens() {
    const bool test_run = state_.run.config_preview;
    QScreen* primary = QGuiApplication::primaryScreen();
    const QRect geometry = primary != nullptr ? primary->geometry() : QRect(0, 0, 800, 600);
    if (!test_run) {
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
    // Without a window manager, full screen alone would give a small window.
    setGeometry(geometry);
    screen_size_ = primary != nullptr ? device_geometry(primary).size() : geometry.size();
    apply_scale(screen_size_);
    showFullScreen();
    raise();
    activateWindow();
    for (QScreen* other : QGuiApplication::screens()) {
        if (other != primary) {
            covers_.push_back(
                std::make_unique<ScreenCover>(this, other, !test_run, [this](QEvent::Type type) {
                    if (type == QEvent::KeyPress) {
                        engine_->exit_rules().key_press();
                    } else if (type == QEvent::MouseButtonPress) {
                        engine_->exit_rules().mouse_down();
                    } else {
                        engine_->exit_rules().mouse_move();
                    }
                }));
        }
    }
}

bool SaverWindow::enter_host_window() {
    QString problem;
    const std::optional<HostWindowInfo> host = query_host_window(host_window_, &problem);
    if (host && host->is_root) {
        problem = QStringLiteral(
                      "0x%1 is the root window, not a screen-saver host's window "
                      "(\"wintermere /s\" runs the saver full screen)")
                      .arg(host_window_, 0, 16);
    }
    if (!host || host->is_root) {
        print_error(problem);
        return false;
    }
    setWindowTitle(kOtherTitle);
    setFocusPolicy(Qt::NoFocus);
    if (!embed_in_host_window(*this, host_window_, &problem)) {
        print_error(problem);
        return false;
    }
    QScreen* monitor = monitor_of(*host);
    screen_size_ = device_geometry(monitor).size();
    pixel_ratio_ = monitor != nullptr ? monitor->devicePixelRatio() : devicePixelRatio();
    // The desktop's wallpaper is no business of a host's saver.
    state_.settings.save_wallpaper = 0;
    apply_scale(host->size);
    if (preview_ || scale_.miniature > 1.0) {
        silence();
    } else {
        music_lock_ = std::make_unique<MusicLock>();
        music_turn_ = std::make_unique<MusicTurn>(
            *music_lock_, monitor == nullptr || monitor == QGuiApplication::primaryScreen());
    }
    host_watch_ = std::make_unique<HostWindowWatch>(
        host_window_, [this](QSize size) { host_window_resized(size); },
        [this] { host_window_gone(); }, host->size);
    // The host may destroy our window alone.
    host_watch_->also_watch(static_cast<std::uint32_t>(winId()));
    return true;
}

void SaverWindow::silence() {
    // A host's preview of the saver: never a sound from it.
    if (state_.settings.mute_audio == 0) {
        state_.settings.mute_audio = 1;
        if (running_) {
            stop_music();
        }
    }
}

void SaverWindow::apply_scale(QSize device_size) {
    const double ratio = pixel_ratio_ > 0.0 ? pixel_ratio_ : devicePixelRatio();
    scale_ = stage_scale(device_size, screen_size_, ratio);
    engine_->set_pixel_ratio(scale_.pixel_ratio);
    set_pixels_per_unit(scale_.pixels_per_unit);
    stage_->set_pixels_per_unit(scale_.pixels_per_unit);
    if (hosted()) {
        // A miniature reaches beyond the host's window, which trims it.
        setGeometry(logical_rect(scale_.area, ratio));
    }
}

void SaverWindow::host_window_resized(QSize device_size) {
    apply_scale(device_size);
    if (scale_.miniature > 1.0) {
        silence();
    }
    if (running_) {
        engine_->resize_window(scale_.drawn);
    }
}

void SaverWindow::host_window_gone() {
    // Our window went with the host's: the run ends as when the host stops it.
    host_gone_ = true;
    engine_->exit_rules().host_stop();
}

void SaverWindow::start_sequence() {
    if (!state_.run.config_preview && !hosted()) {
        // Where the host does not ask for the password itself, the saver must.
        password_in_force_ = system_.platform_id() != kPlatformNt && system_.use_password() != 0;
        if (password_in_force_) {
            system_.set_screen_saver_running(true);
            system_state_changed_ = true;
        }
        hide_cursor(system_);
        cursor_hidden_ = true;
    }
    // The stage's changes go to the display straight from its pixels where
    // the display can take them; the pixels are made where it can read them.
    stage_->present_directly();
    engine_->init_saver(scale_.drawn);
    // The first song is read while the first frames are drawn, once the
    // first scene is on the display (read_ahead()).
    read_ahead_due_ = true;
}

void SaverWindow::read_ahead() {
    // Of a host's processes only the primary monitor's reads, which normally
    // plays.
    if (std::exchange(read_ahead_due_, false) &&
        (music_turn_ == nullptr || music_turn_->primary())) {
        music_.load_ahead(music_control_);
    }
}

void SaverWindow::stage_moved() {
    stage_->setGeometry(logical_rect(engine_->stage_rect(), scale_.pixels_per_unit));
    stage_->show();
    place_controls();
}

void SaverWindow::place_controls() {
    // The clock sits where it sits on the full screen, as small as the
    // stage is in a miniature.
    const double tpx = state_.run.twips_per_pixel_x * scale_.miniature;
    const double tpy = state_.run.twips_per_pixel_y * scale_.miniature;
    const int box_width = static_cast<int>(kTimeBoxWidthTwips / tpx);
    const int box_height = static_cast<int>(kTimeBoxHeightTwips / tpy);
    QFont font = time_box_->font();
    font.setPointSizeF(kTimeBoxPoints / scale_.miniature);
    time_box_->setFont(font);
    time_box_->setGeometry((width() - box_width) / 2, static_cast<int>(kTimeBoxTopTwips / tpy),
                           box_width, box_height);
    time_box_->setAlignment(Qt::AlignCenter);
    time_box_->raise();
    time_box_->setVisible(state_.settings.show_time == 1);
    // The diagnostic line keeps its height: asking the text for one would
    // load its font, for a box that stays hidden.
    info_box_->setGeometry(0, height() - info_box_->height(), width(), info_box_->height());
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
    // No worker may still be reading while the process's statics go.
    music_control_.discard_prepared();
    engine_->finish_sheet_load();
    if (frame_times_.isOpen()) {
        frame_times_.flush();
    }
}

// Inside a host, input is the host's: it never ends the saver.
void SaverWindow::keyPressEvent(QKeyEvent* event) {
    if (hosted()) {
        event->ignore();
        return;
    }
    engine_->exit_rules().key_press();
    event->accept();
}

void SaverWindow::mousePressEvent(QMouseEvent* event) {
    if (hosted()) {
        event->ignore();
        return;
    }
    engine_->exit_rules().mouse_down();
    event->accept();
}

void SaverWindow::mouseMoveEvent(QMouseEvent* event) {
    if (hosted()) {
        event->ignore();
        return;
    }
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
    // Of a host's processes, one per monitor, only one plays.
    if (music_turn_ != nullptr && !music_turn_->may_play()) {
        return;
    }
    music_.music_tick(music_control_);
}

void SaverWindow::stop_music() {
    read_ahead_due_ = false;  // nothing is read for a run that is over
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

void SaverWindow::write_frame_record(const QByteArray& record) {
    if (frame_times_.isOpen()) {
        frame_times_.write(record + '\n');
    }
}

void SaverWindow::frame_drawn(std::uint32_t frame_started) {
    // Where the first frame's pass over the events brought no painting of
    // the stage, the song is read now, before the second frame is drawn.
    read_ahead();
    write_frame_record(QByteArray::number(frame_started));
    if (frame_times_.isOpen() && engine_->frames() % kFrameTimesFlushFrames == 0) {
        frame_times_.flush();
    }
}

void SaverWindow::scene_changed(std::uint32_t began, std::uint32_t ended) {
    write_frame_record("scene " + QByteArray::number(began) + ' ' + QByteArray::number(ended));
}

bool SaverWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == stage_ && event->type() == QEvent::Paint) {
        stage_->removeEventFilter(this);
        // What the painting shows is on its way to the display (put from the
        // stage's pixels, or flushed from the backing store once the painting
        // is over) before the next pass over the events. Opening the sound
        // device and reading the first song then take the rest of the first
        // frame's time rather than holding up the first scene.
        QTimer::singleShot(0, this, [this] {
            write_frame_record("shown " + QByteArray::number(host_.tick_count()));
            read_ahead();
        });
    }
    return PictureBoxWidget::eventFilter(watched, event);
}

}  // namespace wm
