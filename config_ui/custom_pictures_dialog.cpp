#include "config_ui/custom_pictures_dialog.h"

#include "config_ui/preview_box.h"
#include "startup/saver_settings.h"
#include "startup/startup.h"
#include "ui_custom_pictures_dialog.h"

namespace wm {
namespace {

const QString kPicturePatterns = QStringLiteral("*.gif;*.bmp;*.jpg");

}  // namespace

CustomPicturesDialog::CustomPicturesDialog(SaverSettings& settings, RunValues& run, QWidget* parent,
                                           const VolumeSource* volumes)
    : CustomFilesDialog({settings.custom_picture_files_total, settings.custom_picture_paths},
                        run.picture_folder, volumes, parent),
      ui_(std::make_unique<Ui::CustomPicturesDialog>()) {
    ui_->setupUi(this);
    attach({ui_->Drive1, ui_->Dir1, ui_->File1, ui_->List2, ui_->Command1, ui_->Command2,
            ui_->Command5, ui_->Command3, ui_->Command6},
           kPicturePatterns);
    connect(&browsing(), &BrowsingLists::file_clicked, this, [this](const QString& path) {
        if (path.size() > 3) {
            show_picture(path);
        }
    });
    connect(&browsing(), &BrowsingLists::folder_changed, this, &CustomPicturesDialog::clear_image);
    connect(ui_->List2, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { show_picture(item->text()); });
}

CustomPicturesDialog::~CustomPicturesDialog() = default;

bool CustomPicturesDialog::show_picture(const QString& path) {
    return ui_->destination_image->show_file(path, *ui_->source_image);
}

const PreviewBox& CustomPicturesDialog::preview() const {
    return *ui_->destination_image;
}

void CustomPicturesDialog::clear_image() {
    ui_->source_image->clear();
    ui_->destination_image->clear();
}

}  // namespace wm
