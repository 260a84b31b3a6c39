#include "saver/saver_engine.h"

#include "assets/window_assets.h"
#include "pack/pack_extract.h"
#include "pack/pack_index.h"
#include "platform/engine_host.h"
#include "platform/run_random.h"
#include "saver/wallpaper.h"
#include "sprites/sprite_sheets.h"
#include "sprites/stage_setup.h"
#include "startup/saver_settings.h"
#include "startup/startup.h"

#include <QDateTime>
#include <QLocale>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <utility>

namespace wm {
namespace {

// A scene change always picks one of the twenty effects at random and
// stretches the picture to the largest size that fits the stage.
constexpr double kStretch = 1.0;

// The message of a scene whose caption list is empty.
const QString kNoCaptions = QStringLiteral("Please edit your captions!");

// Music is looked after at most this often.
constexpr std::uint32_t kMusicCheckMs = 2000;

// n + 1, or 1 after the last.
int next_position(int position, int n) {
    return position + 1 > n ? 1 : position + 1;
}

void copy_stage(PictureBox& to, const PictureBox& from) {
    to.set_pixel_size(from.pixel_width(), from.pixel_height());
    box_blt(to, 0, 0, from.pixel_width(), from.pixel_height(), from, 0, 0, RasterOp::kSrcCopy);
}

}  // namespace

std::uint32_t frame_length_ms(int frame_rate) {
    const int rate = std::max(frame_rate, 1);
    std::uint32_t elapsed = 1;
    while (1000 / elapsed > static_cast<std::uint32_t>(rate)) {
        ++elapsed;
    }
    return elapsed;
}

QString time_of_day_text(int hour, int minute, int second) {
    const QLocale locale = QLocale::system();
    QString designator = hour < 12 ? locale.amText() : locale.pmText();
    if (designator.isEmpty()) {
        designator = hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
    }
    const int twelve = hour % 12 == 0 ? 12 : hour % 12;
    return QStringLiteral("%1:%2:%3 %4")
        .arg(twelve, 2, 10, QLatin1Char('0'))
        .arg(minute, 2, 10, QLatin1Char('0'))
        .arg(second, 2, 10, QLatin1Char('0'))
        .arg(designator);
}

SaverEngine::SaverEngine(EngineHost& host, RunState& state, SaverHooks& hooks)
    : host_(host),
      state_(state),
      hooks_(hooks),
      transitions_(host),
      exit_rules_(host, flags_, transitions_, state.settings.mouse_sensitivity) {}

void SaverEngine::init_saver(QSize window) {
    flags_.starting = true;
    const SaverSettings& settings = state_.settings;
    caption_index_ = 0;
    sprites_.init_flight_direction();
    hooks_.pick_first_song();
    transitions_.shuffle_dissolve_order();
    pack_base_ = state_.run.install_path + QStringLiteral("images");
    read_pack_index(pack_, pack_base_);
    pictures_.border.load_picture(window_picture(WindowPicture::Border));
    // The sheets are decoded while the first scene is made; the first frame
    // waits for them.
    sheet_load_ = std::make_unique<SpriteSheetLoad>(pack_, pack_base_);
    sheets_loaded_ = false;
    // A user's list that is switched on but empty shows the pack's pictures.
    custom_count_ = list_in_use(settings.custom_picture_files_total, settings.custom_picture_paths);
    custom_pictures_ = settings.custom_picture_flag == 1 && custom_count_ >= 1;
    setup_stage(window);
    sprites_.init_sprites(stage_rect_.width(), stage_rect_.height(), settings.sprite_active);
}

void SaverEngine::set_pixel_ratio(double ratio) {
    pixel_ratio_ = std::isfinite(ratio) && ratio >= 1.0 ? ratio : 1.0;
}

void SaverEngine::resize_window(QSize window) {
    if (window.isValid() && window != window_) {
        pending_window_ = window;
    } else {
        pending_window_.reset();
    }
}

void SaverEngine::follow_window_size() {
    if (const std::optional<QSize> window = std::exchange(pending_window_, std::nullopt)) {
        sprites_.retire_all_sprites();
        setup_stage(*window);
        sprites_.init_sprites(stage_rect_.width(), stage_rect_.height(),
                              state_.settings.sprite_active);
        scene_started_ = host_.tick_count();
    }
}

void SaverEngine::setup_stage(QSize window) {
    window_ = window;
    const StageLayout layout =
        stage_layout(window, state_.settings.scale_background == 1, pixel_ratio_);
    pictures_.form.set_back_colour(Qt::black);
    if (layout.ascreen.contains(QRect(QPoint(0, 0), window))) {
        // The stage covers the whole window and with it the border: the
        // window's own picture would never be seen, and its view shows black
        // beyond its pixels anyway. A full screen's worth is spared.
        pictures_.form.empty();
    } else {
        pictures_.form.set_pixel_size(window.width(), window.height());
        pictures_.form.Cls();
        draw_border(pictures_.form, pictures_.border, layout);
    }
    stage_rect_ = layout.ascreen;
    for (PictureBox* box : {&pictures_.ascreen, &pictures_.main}) {
        box->set_back_colour(Qt::black);
        box->set_pixel_size(layout.stage.width(), layout.stage.height());
        box->Cls();
    }
    // The view takes the stage's place before the scene is made: the
    // window's first painting then shows the scene, not black where the
    // stage is yet to be.
    hooks_.stage_moved();
    transitions_.set_abort_transition(false);
    pack_picture_count_ = 10;

    picture_index_ = random_position(picture_count());
    show_scene_or_keep(kNoEffect);
}

void SaverEngine::show_scene_or_keep(int effect) {
    const std::optional<CaptionStyle> style = caption_style(next_caption());
    PictureBox& ascreen = pictures_.ascreen;
    const int count = picture_count();
    const int tries = std::clamp(count, 1, kMaxPicturesTried);
    SceneOutcome outcome = SceneOutcome::kPictureSkipped;
    for (int tried = 1;; ++tried) {
        if (const std::optional<QString> file = picture_file()) {
            outcome = transitions_.transition_to_picture(*file, pictures_.work, ascreen,
                                                         pictures_.main, effect, kStretch, style);
        }
        if (outcome == SceneOutcome::kShown || tried >= tries) {
            break;
        }
        // Input gets its turn between tries; once the saver is to end, the
        // scene stays as it is.
        host_.yield_once();
        if (transitions_.abort_transition() || flags_.close_pending ||
            (flags_.saver_running && !flags_.keep_running)) {
            break;
        }
        picture_index_ = next_position(picture_index_, count);
    }
    transitions_.set_abort_transition(false);
    if (outcome == SceneOutcome::kPictureSkipped) {
        if (effect == kNoEffect) {
            // No first picture: the stage stays black, with its caption.
            ascreen.Cls();
            if (style) {
                paint_caption(ascreen, *style);
            }
        } else {
            // The scene stays; the birds retired for the change leave the screen.
            box_blt(ascreen, 0, 0, pictures_.main.pixel_width(), pictures_.main.pixel_height(),
                    pictures_.main, 0, 0, RasterOp::kSrcCopy);
        }
    }
    // `work` keeps the picture it took (and nothing more: no frame is drawn
    // there), for an empty name in a user's list, which shows it again.
    copy_stage(pictures_.main, ascreen);
}

std::optional<CaptionStyle> SaverEngine::caption_style(const QString& text) const {
    const SaverSettings& settings = state_.settings;
    if (settings.captions_off == 1) {
        return std::nullopt;
    }
    return CaptionStyle{text,
                        7,
                        QStringLiteral("Arial"),
                        settings.captions_size * pixel_ratio_,
                        caption_color(settings.captions_color),
                        settings.captions_bold == 1,
                        settings.captions_italic == 1};
}

QString SaverEngine::next_caption() {
    const SaverSettings& settings = state_.settings;
    if (settings.captions_off == 1) {
        return {};
    }
    const int total =
        std::min(settings.captions_total, static_cast<int>(settings.captions.size()) - 1);
    if (total <= 0) {
        return kNoCaptions;
    }
    caption_index_ = next_position(caption_index_, total);
    const int shown = settings.captions_random == 1 ? random_position(total) : caption_index_;
    return settings.captions[static_cast<std::size_t>(shown)];
}

int SaverEngine::picture_count() const {
    return custom_pictures_ ? custom_count_ : pack_picture_count_;
}

std::optional<QString> SaverEngine::extract_pack_member(int position) {
    QString problem;
    std::optional<QString> path = extract_member_path(pack_, pack_base_, position, &problem);
    if (!path) {
        const QString failure = QString::number(position) + QLatin1Char('\n') + problem;
        if (!reported_members_.contains(failure)) {
            reported_members_.insert(failure);
            qWarning("Cannot extract member %d of the pack %s: %s", position,
                     qPrintable(pack_base_), qPrintable(problem));
        }
    }
    return path;
}

std::optional<QString> SaverEngine::picture_file() {
    if (custom_pictures_) {
        return state_.settings.custom_picture_paths[static_cast<std::size_t>(picture_index_)];
    }
    return extract_pack_member(picture_index_);
}

void SaverEngine::choose_picture() {
    const int n = picture_count();
    picture_index_ = state_.settings.random_pictures == 1 ? random_position(n)
                                                          : next_position(picture_index_, n);
}

void SaverEngine::change_scene() {
    sprites_.retire_all_sprites();
    choose_picture();
    show_scene_or_keep(kRandomEffect);
    ++scene_changes_;
    scene_started_ = host_.tick_count();
}

void SaverEngine::finish_sheet_load() {
    if (sheet_load_ != nullptr) {
        sheets_loaded_ = sheet_load_->finish(pictures_.sprite, pictures_.mask);
        sheet_load_.reset();
    }
}

void SaverEngine::draw_frame() {
    finish_sheet_load();
    // The birds are composed on the visible stage itself: its view repaints
    // only when events run, and update_sprites lets them run only after its
    // last slot, when the frame is whole.
    PictureBox& stage = pictures_.ascreen;
    sprites_.erase_sprites(stage, pictures_.main);
    if (state_.settings.objects_off == 0 && sheets_loaded_) {
        sprites_.spawn_step();
    }
    sprites_.update_sprites(stage, pictures_.sprite, pictures_.mask, host_);
    sprites_.present_frame(stage, stage);
}

void SaverEngine::pace_frame(std::uint32_t frame_started) {
    // Input gets its turn at least once a frame; then sleep out the rest of
    // the frame, or until input ends the saver.
    host_.yield_once();
    if (flags_.keep_running) {
        wait_until(host_, frame_started + frame_length_ms(state_.settings.frame_rate),
                   [this] { return !flags_.keep_running; });
    }
    const std::uint32_t elapsed = std::max<std::uint32_t>(host_.tick_count() - frame_started, 1);
    measured_frame_rate_ = static_cast<int>(1000 / elapsed);
}

void SaverEngine::main_loop(bool password_in_force) {
    const SaverSettings& settings = state_.settings;
    const std::uint32_t scene_ms =
        1000u * static_cast<std::uint32_t>(std::max(settings.scene_duration, 1));
    flags_.starting = false;
    flags_.saver_running = true;
    flags_.keep_running = true;
    while (flags_.keep_running) {
        clock_second_ = -1;
        music_checked_ = host_.tick_count();
        scene_started_ = music_checked_;
        do {
            follow_window_size();
            const std::uint32_t frame_started = host_.tick_count();
            draw_frame();
            // Elapsed times are unsigned differences: a clock that wraps
            // round never stops the music or the scenes.
            if (settings.mute_audio == 0 && host_.tick_count() - music_checked_ > kMusicCheckMs) {
                hooks_.music_tick();
                music_checked_ = host_.tick_count();
            }
            if (host_.tick_count() - scene_started_ > scene_ms) {
                const std::uint32_t began = host_.tick_count();
                change_scene();
                hooks_.scene_changed(began, host_.tick_count());
            }
            // The clock shows whole seconds: the local time (time zone and
            // all) is worked out only once a new second has begun.
            const qint64 second = QDateTime::currentMSecsSinceEpoch() / 1000;
            if (settings.show_time != 0 && second != clock_second_) {
                clock_second_ = second;
                const QTime now = QTime::currentTime();
                hooks_.show_time_of_day(time_of_day_text(now.hour(), now.minute(), now.second()));
            }
            if (std::exchange(flags_.close_pending, false)) {
                flags_.keep_running = false;  // a close that came while starting
            }
            pace_frame(frame_started);
            ++frames_;
            hooks_.frame_drawn(frame_started);
        } while (flags_.keep_running);

        if (password_in_force && !flags_.stopped_by_host && !hooks_.verify_password()) {
            // Refused: the saver goes on with the current scene, new timers
            // and nothing left over from the input that stopped it.
            flags_.keep_running = true;
            transitions_.set_abort_transition(false);
        }
    }
    flags_.saver_running = false;
}

void SaverEngine::shutdown() {
    if (std::exchange(shut_down_, true)) {
        return;
    }
    const SaverSettings& settings = state_.settings;
    finish_sheet_load();
    hooks_.stop_music();
    if (settings.save_wallpaper == 1) {
        if (settings.objects_off == 0) {
            sprites_.erase_sprites(pictures_.ascreen, pictures_.main);
            sprites_.update_sprites(pictures_.ascreen, pictures_.sprite, pictures_.mask, host_);
        }
        sprites_.present_frame(pictures_.ascreen, pictures_.ascreen);
        set_wallpaper_from_picture(pictures_.ascreen, static_cast<int>(WallpaperLayout::kStretched),
                                   wallpaper_file_name());
    }
    for (PictureBox* box : {&pictures_.work, &pictures_.main, &pictures_.sprite, &pictures_.mask,
                            &pictures_.border}) {
        box->empty();
    }
    hooks_.restore_system_state();
    delete_temp_files(pack_);
}

}  // namespace wm
