#include "config_ui/picture_preview.h"

#include "imaging/dib_section.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImageIOHandler>
#include <QImageReader>

#include <algorithm>
#include <cmath>

namespace wm {
namespace {

// The box a preview is decoded for when its own size is not known yet.
constexpr QSize kDefaultPreviewBox{640, 480};

QString tr_preview(const char* text) {
    return QCoreApplication::translate("PicturePreview", text);
}

bool within_surface_limits(QSize size) {
    return size.width() <= cDIBSection::kMaxDimension &&
           size.height() <= cDIBSection::kMaxDimension &&
           cDIBSection::bytes_per_scan_line(size.width()) * size.height() <=
               cDIBSection::kMaxImageBytes;
}

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
    const auto fail = [&](const QString& why) {
        if (problem != nullptr) {
            *problem = why;
        }
        return QImage();
    };
    if (!QFileInfo(path).isFile()) {
        return fail(tr_preview("not a file"));
    }
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (!stored.isValid() || stored.isEmpty()) {
        return fail(reader.errorString());
    }
    if (!within_surface_limits(stored)) {
        return fail(tr_preview("the picture is too large (%1 x %2)")
                        .arg(stored.width())
                        .arg(stored.height()));
    }
    // The size the picture shows at once its orientation tag is applied.
    const bool turned = (reader.transformation() & QImageIOHandler::TransformationRotate90) != 0;
    const QSize shown = turned ? stored.transposed() : stored;
    if (!box.isValid() || box.isEmpty()) {
        box = kDefaultPreviewBox;
    }
    const Placement place = center_control_check_scale(0.0, 0.0, box.height(), box.width(),
                                                       shown.height(), shown.width(), 100.0);
    // Decoded at the size it is drawn, never above its own.
    QSize wanted(std::clamp(static_cast<int>(std::lround(place.width)), 1, shown.width()),
                 std::clamp(static_cast<int>(std::lround(place.height)), 1, shown.height()));
    if (wanted != shown) {
        reader.setScaledSize(turned ? wanted.transposed() : wanted);
    }
    QImage picture = reader.read();
    if (picture.isNull()) {
        return fail(reader.errorString());
    }
    return picture;
}

}  // namespace wm
