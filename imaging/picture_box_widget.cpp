#include "imaging/picture_box_widget.h"

#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

namespace wm {

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
    setFixedSize(box_ != nullptr ? box_->pixel_size() : QSize(0, 0));
}

void PictureBoxWidget::picture_gone() {
    box_ = nullptr;
    update();
}

void PictureBoxWidget::picture_changed(const QRect& pixels) {
    update(pixels);
}

void PictureBoxWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const QRect shown = box_ != nullptr ? QRect(QPoint(0, 0), box_->pixel_size()) : QRect();
    for (const QRect& due : event->region()) {
        const QRect inside = due & shown;
        if (!inside.isEmpty()) {
            painter.drawImage(inside.topLeft(), box_->Image(), inside);
        }
        for (const QRect& outside : QRegion(due).subtracted(inside)) {
            painter.fillRect(outside, Qt::black);
        }
    }
}

}  // namespace wm
