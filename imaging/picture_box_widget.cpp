#include "imaging/picture_box_widget.h"

#include "platform/x11_shm_surface.h"

#include <QEvent>
#include <QMoveEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <utility>

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

bool PictureBoxWidget::present_directly(QString* why) {
    if (direct_ != nullptr) {
        return true;
    }
    QWidget* host = native_host();
    if (host == nullptr || host->windowHandle() == nullptr) {
        if (why != nullptr) {
            *why = QStringLiteral("the widget is in no window yet");
        }
        return false;
    }
    direct_ = X11ShmSurface::open(static_cast<std::uint32_t>(host->winId()), why);
    if (direct_ == nullptr) {
        return false;
    }
    host->windowHandle()->installEventFilter(this);
    lend_memory(true);
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

QWidget* PictureBoxWidget::native_host() {
    return internalWinId() != 0 ? this : nativeParentWidget();
}

void PictureBoxWidget::stop_presenting_directly() {
    lend_memory(false);
    direct_.reset();
    // What was put straight on the display never reached the backing store.
    update();
}

void PictureBoxWidget::moveEvent(QMoveEvent* event) {
    // Qt moves an opaque widget by moving its pixels within the backing
    // store, which the changes put straight on the display never reached.
    if (direct_ != nullptr) {
        update();
    }
    QWidget::moveEvent(event);
}

bool PictureBoxWidget::eventFilter(QObject* watched, QEvent* event) {
    if (direct_ != nullptr && event->type() == QEvent::Expose) {
        QWidget* host = native_host();
        if (host != nullptr && watched == host->windowHandle()) {
            // Qt shows an exposed window from its backing store, which the
            // changes put straight on the display never reached: a repaint
            // that is due makes it paint before it shows.
            update();
        }
    }
    return QWidget::eventFilter(watched, event);
}

QRegion PictureBoxWidget::covered(const QWidget* host) const {
    QRegion over;
    const auto add_widgets = [&](const QObjectList& objects, qsizetype from,
                                 const QWidget* parent) {
        for (qsizetype i = from; i < objects.size(); ++i) {
            const auto* widget = qobject_cast<const QWidget*>(objects[i]);
            if (widget != nullptr && !widget->isWindow() && widget->isVisible()) {
                over += QRect(mapFrom(parent, widget->pos()), widget->size());
            }
        }
    };
    add_widgets(children(), 0, this);
    for (const QWidget* w = this; w != host && w->parentWidget() != nullptr;
         w = w->parentWidget()) {
        const QObjectList& siblings = w->parentWidget()->children();
        add_widgets(siblings, siblings.indexOf(w) + 1, w->parentWidget());
    }
    return over;
}

void PictureBoxWidget::put_due() {
    put_posted_ = false;
    const QRegion due = std::exchange(due_, QRegion());
    QWidget* host = native_host();
    const bool shown = direct_ != nullptr && box_ != nullptr && !box_->pixel_size().isEmpty() &&
                       ratio_ == 1.0 && devicePixelRatioF() == 1.0 && isVisible() &&
                       host != nullptr && host->windowHandle() != nullptr &&
                       host->windowHandle()->isExposed();
    if (!shown) {
        update(due);
        return;
    }
    if (host->internalWinId() != direct_->window() ||
        (!direct_->holds(box_->Image()) &&
         !box_->adopt_raster(direct_->raster(box_->pixel_size())))) {
        // The widget has moved to another X11 window, or the shared memory
        // is refused: the box is painted from now on.
        stop_presenting_directly();
        return;
    }
    const QRegion over = covered(host);
    const QRegion inside = due & QRect(QPoint(0, 0), box_->pixel_size());
    direct_->put(box_->Image(), (inside & visibleRegion()) - over, mapTo(host, QPoint(0, 0)));
    // Black beyond the box, and what lies under other widgets, is painted.
    const QRegion painted = (due - inside) | (due & over);
    if (!painted.isEmpty()) {
        update(painted);
    }
}

void PictureBoxWidget::picture_changed(const QRect& pixels) {
    if (direct_ != nullptr && ratio_ == 1.0) {
        due_ += pixels;
        if (!std::exchange(put_posted_, true)) {
            QMetaObject::invokeMethod(this, &PictureBoxWidget::put_due, Qt::QueuedConnection);
        }
        return;
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
