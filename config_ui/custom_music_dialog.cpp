#include "config_ui/custom_music_dialog.h"

#include "audio/mixer_backend.h"
#include "startup/saver_settings.h"
#include "startup/startup.h"
#include "ui_custom_music_dialog.h"

#include <QListWidget>
#include <QScopedValueRollback>

#include <utility>

namespace wm {

CustomMusicDialog::CustomMusicDialog(SaverSettings& settings, RunValues& run, QWidget* parent,
                                     AudioBackend* audio, const VolumeSource* volumes)
    : CustomFilesDialog({settings.custom_audio_files_total, settings.custom_audio_paths},
                        run.music_folder, volumes, parent),
      ui_(std::make_unique<Ui::CustomMusicDialog>()),
      own_audio_(audio == nullptr ? std::make_unique<MixerBackend>() : nullptr),
      control_(audio != nullptr ? *audio : *own_audio_),
      player_(settings, host_) {
    ui_->setupUi(this);
    control_.set_status_handler([this] { player_.status_changed(control_); });

    attach({ui_->Drive1, ui_->Dir1, ui_->File1, ui_->List2, ui_->Command1, ui_->Command2,
            ui_->Command5, ui_->Command3, ui_->Command6},
           kMusicFilePatterns);
    connect(&browsing(), &BrowsingLists::file_clicked, this, &CustomMusicDialog::preview);
    connect(ui_->List2, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { preview(item->text()); });
}

CustomMusicDialog::~CustomMusicDialog() = default;

void CustomMusicDialog::preview(const QString& path) {
    if (closing_ || !isVisible()) {
        return;
    }
    next_preview_ = path;
    if (previewing_) {
        return;  // the play under way takes it up when it is done
    }
    const QScopedValueRollback busy(previewing_, true);
    while (next_preview_ && !closing_ && isVisible()) {
        const QString file = *std::exchange(next_preview_, std::nullopt);
        player_.play_music_file(file, control_);
    }
    next_preview_.reset();
    if (closing_ || !isVisible()) {
        // The window closed while the file was being opened: its sound
        // must not outlive it.
        player_.stop_music(control_);
    }
}

void CustomMusicDialog::closing() {
    const QScopedValueRollback guard(closing_, true);
    player_.stop_music(control_);
}

}  // namespace wm
