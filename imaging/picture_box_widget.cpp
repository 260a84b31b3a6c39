#include "imaging/picture_box_widget.h"

#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cmath>

namespace wm {
namespace {

// Qt's raster engine hands an image drawing of more than 95 rows to its
// thread pool in bands of 64 and waits for them. For the small rectangles
// of a frame the hand-over to the pool's threads costs more than the copy
// itself, so the rows are given to it in bands it copies on this thread.
constexpr int kBandRows = 64;

void draw_in_bands(QPainter& painter, const QImage& image, const QRect& area) {
    for (int top = area.top(); top <= area.bottom(); top += kBandRows) {
        const QRect band(area.left(), top, area.width(),
                         std::min(kBandRows, area.bottom() + 1 - top));
        painter.drawImage(band.topLeft(), image, band);
    }
}

}  // namespace

PictureBoxWidget::PictureBoxWidget(PictureBox* box, QWidget* parent) : QWidget(parent) {
    // Every pixel is painted by paintEvent: no background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    set_box(box);
}

PictureBoxWidget::~PictureBoxWidget() {
    set_box(nullptr);
}

void PictureBoxWidget::set_box(PictureBox* box) {
    if (box == box_) {
        return;
    }
    // Another view may have taken the old box meanwhile; leave that one be.
    if (box_ != nullptr && box_->view() == this) {
        box_->attach_view(nullptr);
    }
    box_ = box;
    if (box_ != nullptr) {
        box_->attach_view(this);
    }
    update();
}

void PictureBoxWidget::fit_to_box() {
    setFixedSize(shown_area().size().toSize());
}

void PictureBoxWidget::set_pixels_per_unit(double ratio) {
    ratio = ratio > 0.0 ? ratio : 1.0;
    if (ratio != ratio_) {
        ratio_ = ratio;
        update();
    }
}

QRectF PictureBoxWidget::shown_area() const {
    if (box_ == nullptr) {
        return {};
    }
    return {0.0, 0.0, box_->pixel_width() / ratio_, box_->pixel_height() / ratio_};
}

void PictureBoxWidget::picture_gone() {
    box_ = nullptr;
    update();
}

void PictureBoxWidget::picture_changed(const QRect& pixels) {
    if (ratio_ == 1.0) {
        update(pixels);
        return;
    }
    const QRectF area(pixels.x() / ratio_, pixels.y() / ratio_, pixels.width() / ratio_,
                      pixels.height() / ratio_);
    // Smooth scaling reaches a pixel beyond the changed ones.
    update(area.toAlignedRect().adjusted(-1, -1, 1, 1));
}

void PictureBoxWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (ratio_ != 1.0) {
        paint_scaled(painter, event->region());
        return;
    }
    const QRect shown = shown_area().toRect();
    for (const QRect& due : event->region()) {
        const QRect inside = due & shown;
        if (!inside.isEmpty()) {
            draw_in_bands(painter, box_->Image(), inside);
        }
        for (const QRect& outside : QRegion(due).subtracted(inside)) {
            painter.fillRect(outside, Qt::black);
        }
    }
}

void PictureBoxWidget::paint_scaled(QPainter& painter, const QRegion& region) {
    // Device pixels that fall on box pixels one to one need no smoothing.
    if (std::abs(ratio_ - devicePixelRatioF()) > 1e-6) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
    }
    const QRectF shown = shown_area();
    const QRect covered = shown.toAlignedRect();
    for (const QRect& due : region) {
        const QRectF inside = QRectF(due) & shown;
        if (!inside.isEmpty()) {
            const QRectF source(inside.x() * ratio_, inside.y() * ratio_, inside.width() * ratio_,
                                inside.height() * ratio_);
            painter.drawImage(inside, box_->Image(), source);
        }
        for (const QRect& outside : QRegion(due).subtracted(covered)) {
            painter.fillRect(outside, Qt::black);
        }
    }
}

}  // namespace wm
