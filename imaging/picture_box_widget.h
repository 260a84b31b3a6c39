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
// Ownership: the widget does not own its box. It attaches itself to the box
// when given one and detaches when it gets another box or goes away; a box
// that goes away first tells the widget, which then shows black.

#include "imaging/picture_box.h"

#include <QRectF>
#include <QWidget>

class QPainter;
class QRegion;

namespace wm {

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

    void picture_changed(const QRect& pixels) override;
    void picture_gone() override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void paint_scaled(QPainter& painter, const QRegion& region);
    // The part of the widget the box covers.
    QRectF shown_area() const;

    PictureBox* box_ = nullptr;
    double ratio_ = 1.0;
};

}  // namespace wm
