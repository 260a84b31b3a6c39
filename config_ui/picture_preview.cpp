#include "config_ui/picture_preview.h"

#include "imaging/picture_file.h"

#include <algorithm>

namespace wm {
namespace {

// The box a preview is decoded for when its own size is not known yet.
constexpr QSize kDefaultPreviewBox{640, 480};

}  // namespace

Placement center_control_check_scale(double top_offset, double left_offset, double box_height,
                                     double box_width, double pic_height, double pic_width,
                                     double percent, FitMode mode) {
    if (!(pic_width > 0.0) || !(pic_height > 0.0)) {
        return {};
    }
    const double aspect = pic_width / pic_height;
    Placement p;
    if (mode == FitMode::Scaling) {
        const double s = percent / 100.0;
        if (pic_width >= pic_height) {
            p.width = box_width * s;
            p.height = p.width / aspect;
            if (p.height > box_height * s) {
                p.height = box_height * s;
                p.width = p.height * aspect;
            }
        } else {
            p.height = box_height * s;
            p.width = p.height * aspect;
            // A box narrower than the picture is tall would cut its sides off.
            if (p.width > box_width * s) {
                p.width = box_width * s;
                p.height = p.width / aspect;
            }
        }
        p.left = left_offset + (box_width - p.width) / 2.0;
        p.top = top_offset + (box_height - p.height) / 2.0;
    } else {
        p.width = pic_width;
        p.height = pic_height;
        if (p.width >= box_width) {
            p.width = box_width;
            p.height = p.width / aspect;
        }
        if (p.height > box_height) {
            p.height = box_height;
            p.width = p.height * aspect;
        }
        p.left = (box_width - p.width) / 2.0;
        p.top = (box_height - p.height) / 2.0;
    }
    p.left = std::max(p.left, 0.0);
    p.top = std::max(p.top, 0.0);
    return p;
}

QImage load_preview_picture(const QString& path, QSize box, QString* problem) {
    if (!box.isValid() || box.isEmpty()) {
        box = kDefaultPreviewBox;
    }
    PictureFileOptions options;
    options.fit_into = box;
    options.exact_fit = true;
    options.apply_orientation = true;
    return load_picture_file(path, options, problem).value_or(QImage());
}

}  // namespace wm
