#pragma once
// The preview boxes of the picture windows: `source_image` holds the picture
// loaded for a preview (it is never shown), `destination_image` shows it
// placed by center_control_check_scale, at the display's full resolution.

#include "config_ui/picture_preview.h"

#include <QImage>
#include <QString>
#include <QWidget>

namespace wm {

class PreviewBox : public QWidget {
    Q_OBJECT

  public:
    explicit PreviewBox(QWidget* parent = nullptr);

    // Loads `path` decoded for a box the size of `shown_in` (at its device
    // pixel ratio). False, with the box emptied, when the file cannot be
    // read as a picture.
    bool load_file(const QString& path, const PreviewBox& shown_in);

    // Shows `source`'s picture, placed in scaling mode at 100 %.
    void show_picture_of(const PreviewBox& source);

    // The preview of a file: loads `path` into `holder` decoded for this box
    // and shows it here. A file that cannot be read as a picture empties
    // both, and gives false.
    bool show_file(const QString& path, PreviewBox& holder);

    // Empties the box.
    void clear();

    const QImage& picture() const { return picture_; }
    bool has_picture() const { return !picture_.isNull(); }
    // Where the picture is drawn, in the widget's own (logical) pixels.
    Placement placement() const;

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage picture_;
};

}  // namespace wm
