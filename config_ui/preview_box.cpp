#include "config_ui/preview_box.h"

#include <QPaintEvent>
#include <QPainter>

namespace wm {

PreviewBox::PreviewBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool PreviewBox::load_file(const QString& path, const PreviewBox& shown_in) {
    const qreal ratio = shown_in.devicePixelRatioF();
    const QSize box = (QSizeF(shown_in.size()) * ratio).toSize();
    QImage picture = load_preview_picture(path, box);
    if (picture.isNull()) {
        clear();
        return false;
    }
    picture.setDevicePixelRatio(ratio);
    picture_ = std::move(picture);
    update();
    return true;
}

void PreviewBox::show_picture_of(const PreviewBox& source) {
    picture_ = source.picture_;
    update();
}

bool PreviewBox::show_file(const QString& path, PreviewBox& holder) {
    if (!holder.load_file(path, *this)) {
        clear();
        return false;
    }
    show_picture_of(holder);
    return true;
}

void PreviewBox::clear() {
    picture_ = QImage();
    update();
}

Placement PreviewBox::placement() const {
    const QSizeF picture = picture_.deviceIndependentSize();
    return center_control_check_scale(0.0, 0.0, height(), width(), picture.height(),
                                      picture.width(), 100.0);
}

QSize PreviewBox::sizeHint() const {
    return {320, 240};
}

void PreviewBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Dark));
    if (picture_.isNull()) {
        return;
    }
    const Placement p = placement();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(p.left, p.top, p.width, p.height), picture_);
}

}  // namespace wm
