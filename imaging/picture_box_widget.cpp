#include "imaging/picture_box_widget.h"

#include "platform/x11_shm_surface.h"

#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QResizeEvent>
#include <QWindow>

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
        lend_memory(false);
        box_->attach_view(nullptr);
    }
    box_ = box;
    if (box_ != nullptr) {
        box_->attach_view(this);
    }
    lend_memory(direct_ != nullptr);
    follow_showing();
    update();
}

void PictureBoxWidget::fit_to_box() {
    setFixedSize(shown_area().size().toSize());
}

void PictureBoxWidget::set_pixels_per_unit(double ratio) {
    ratio = ratio > 0.0 ? ratio : 1.0;
    if (ratio != ratio_) {
        ratio_ = ratio;
        follow_showing();
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
    follow_showing();
    update();
}

bool PictureBoxWidget::present_directly(QString* why) {
    if (direct_ != nullptr) {
        return true;
    }
    if (window()->windowHandle() == nullptr) {
        if (why != nullptr) {
            *why = QStringLiteral("the widget is in no window yet");
        }
        return false;
    }
    // Asked first, so that a widget on another display keeps no window of
    // its own for nothing.
    if (!X11ShmSurface::display_allows(why)) {
        return false;
    }
    setAttribute(Qt::WA_NativeWindow);
    direct_ = X11ShmSurface::open(static_cast<std::uint32_t>(winId()), why);
    if (direct_ == nullptr) {
        return false;
    }
    if (testAttribute(Qt::WA_TransparentForMouseEvents)) {
        // The pointer passes through the widget's window as through the
        // widget, to the window under it.
        windowHandle()->setFlag(Qt::WindowTransparentForInput);
    }
    lend_memory(true);
    follow_showing();
    return true;
}

void PictureBoxWidget::lend_memory(bool lend) {
    if (box_ == nullptr || direct_ == nullptr) {
        return;
    }
    if (lend) {
        // The box's pixels are born in the shared memory whenever it resizes
        // (one copy of them at a time, never two).
        box_->set_raster_source(
            [surface = direct_.get()](QSize size) { return surface->raster(size); });
    } else {
        box_->set_raster_source({});
    }
}

void PictureBoxWidget::stop_presenting_directly() {
    lend_memory(false);
    direct_.reset();
    follow_showing();
}

bool PictureBoxWidget::puts_box() const {
    if (direct_ == nullptr || box_ == nullptr || ratio_ != 1.0 || devicePixelRatioF() != 1.0) {
        return false;
    }
    const QSize pixels = box_->pixel_size();
    return !pixels.isEmpty() && pixels.width() >= width() && pixels.height() >= height();
}

void PictureBoxWidget::follow_showing() {
    const bool on_screen = puts_box();
    if (on_screen != testAttribute(Qt::WA_PaintOnScreen)) {
        setAttribute(Qt::WA_PaintOnScreen, on_screen);
        // What was put never reached the backing store, and what was
        // painted there is no longer shown from it.
        update();
    }
}

QPaintEngine* PictureBoxWidget::paintEngine() const {
    return testAttribute(Qt::WA_PaintOnScreen) ? nullptr : QWidget::paintEngine();
}

void PictureBoxWidget::resizeEvent(QResizeEvent* event) {
    follow_showing();
    QWidget::resizeEvent(event);
}

void PictureBoxWidget::put(const QRegion& region) {
    if (!puts_box()) {
        // The screen's pixel ratio has changed: painted from now on.
        follow_showing();
        return;
    }
    if (internalWinId() != direct_->window() ||
        (!direct_->holds(box_->Image()) &&
         !box_->adopt_raster(direct_->raster(box_->pixel_size())))) {
        // The widget has another X11 window now, or the shared memory is
        // refused: the box is painted from now on.
        stop_presenting_directly();
        return;
    }
    direct_->put(box_->Image(), region, QPoint(0, 0));
}

void PictureBoxWidget::picture_changed(const QRect& pixels) {
    if (direct_ != nullptr) {
        // A box that has resized may now be put, or no longer.
        follow_showing();
    }
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
    if (testAttribute(Qt::WA_PaintOnScreen)) {
        put(event->region());
        return;
    }
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
