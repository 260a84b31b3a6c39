#pragma once
// The picture selection window: the user's own pictures for the saver to
// show instead of the built-in ones. A click on a picture file previews it,
// as does a double click on a chosen entry; "&Ok" stores the list in the
// settings record, "&Cancel" leaves it as it was.

#include "config_ui/custom_files_dialog.h"

#include <memory>

namespace Ui {
class CustomPicturesDialog;
}

namespace wm {

class PreviewBox;
struct RunValues;
struct SaverSettings;

class CustomPicturesDialog : public CustomFilesDialog {
    Q_OBJECT

  public:
    // Edits settings' custom picture list; browsing starts in (and leaves
    // its last folder in) run.picture_folder. `volumes` null means the
    // machine's own drives.
    CustomPicturesDialog(SaverSettings& settings, RunValues& run, QWidget* parent = nullptr,
                         const VolumeSource* volumes = nullptr);
    ~CustomPicturesDialog() override;

    // Previews the picture file `path`; a file that cannot be read as a
    // picture empties the preview. False in that case.
    bool show_picture(const QString& path);

    const PreviewBox& preview() const;

  private:
    void clear_image();

    std::unique_ptr<Ui::CustomPicturesDialog> ui_;
};

}  // namespace wm
