#pragma once
// PictureBoxWidget: a window that shows a PictureBox.
//
// The widget shows the box's pixels from its top-left corner, black where
// it is larger than the box: 1:1 by default, or `pixels_per_unit` box pixels
// to each of the widget's own (logical) pixels. A ratio equal to the screen's
// device pixel ratio shows the box 1:1 in device pixels, sharp on a dense
// screen; a larger one shows a miniature of a larger box. It is the box's view: every rectangle the
// box says changed is scheduled for repainting, and a repaint draws only the
// rectangles due, straight from the box's persistent image; nothing else is
// ever painted under or over it.
//
// Where the display allows it, the widget can also put the box on the
// display itself (present_directly): the widget gets an X11 window of its
// own and the box's pixels live in memory shared with the X server. While
// the box is shown 1:1 in device pixels and covers the widget, Qt paints
// nothing of the widget: every change, and every part of the window the
// server exposes, goes from that memory straight to the window, with no
// painting, no copy into the backing store of the widget's top-level window
// (whose memory under the widget is never touched) and no wait for the
// server. Otherwise the widget is painted as before.
//
// Qt gives the siblings of a widget with a window of its own windows too,
// so the widgets over this one still show over it, but around what they
// paint they show their parent, not the box. The widget has no children of
// its own while it presents directly. A widget that is transparent for
// mouse events when it starts to present directly gets a window the
// pointer passes through as well.
//
// Ownership: the widget does not own its box. It attaches itself to the box
// when given one and detaches when it gets another box or goes away; a box
// that goes away first tells the widget, which then shows black.

#include "imaging/picture_box.h"

#include <QRectF>
#include <QRegion>
#include <QWidget>

#include <memory>

class QPainter;
class QString;

namespace wm {

class X11ShmSurface;

class PictureBoxWidget : public QWidget, public PictureView {
  public:
    explicit PictureBoxWidget(PictureBox* box = nullptr, QWidget* parent = nullptr);
    ~PictureBoxWidget() override;
    PictureBoxWidget(const PictureBoxWidget&) = delete;
    PictureBoxWidget& operator=(const PictureBoxWidget&) = delete;

    PictureBox* box() const { return box_; }
    // Shows `box` instead (nullptr: nothing, all black) and repaints.
    void set_box(PictureBox* box);

    // Fixes the widget's size to the box's pixel size (0 x 0 without a box).
    // The widget does not follow later resizes of the box by itself.
    void fit_to_box();

    // Box pixels to each widget pixel (values that are not above 0 count
    // as 1); repaints when it changes.
    void set_pixels_per_unit(double ratio);
    double pixels_per_unit() const { return ratio_; }

    // From now on puts the box on the display straight from its pixels
    // (above). False, with the reason in `why`, and nothing changed, where
    // the display or the window does not allow it; true when the widget
    // does so already.
    bool present_directly(QString* why = nullptr);
    bool presents_directly() const { return direct_ != nullptr; }

    void picture_changed(const QRect& pixels) override;
    void picture_gone() override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // None while Qt paints nothing of the widget (above).
    QPaintEngine* paintEngine() const override;

  private:
    void paint_scaled(QPainter& painter, const QRegion& region);
    // The part of the widget the box covers.
    QRectF shown_area() const;
    // Paints everything from now on, as without present_directly.
    void stop_presenting_directly();
    // Has the box take the memory for its pixels from the shared memory
    // (`lend`), or from its own again.
    void lend_memory(bool lend);
    // True when the box can be put: the widget presents directly and shows
    // the box 1:1 in device pixels over the whole widget.
    bool puts_box() const;
    // Has Qt paint the widget or leave it to the puts, as puts_box() says.
    void follow_showing();
    // Puts `region` of the box onto the widget's window.
    void put(const QRegion& region);

    PictureBox* box_ = nullptr;
    double ratio_ = 1.0;
    std::unique_ptr<X11ShmSurface> direct_;
};

}  // namespace wm
