#pragma once
// PictureBox: the program's picture holder (the visible stage, the scene
// background, the frame being composed, the sprite sheets, the border).
//
// A box is a 32-bit raster (QImage::Format_RGB32) of a size in pixels, with:
//  - a current picture (Picture), the background that Cls restores;
//  - the persistent image (Image), the raster itself: everything drawn or
//    copied into the box stays there, so a window showing the box can always
//    repaint from it (automatic redraw is always on);
//  - units: coordinates and sizes are in the box's ScaleMode, twips or
//    pixels; twips convert to pixels with the box's twips per pixel and are
//    rounded half to even;
//  - text: font name, size in points, bold, italic, the fore colour, a
//    current position, measuring (TextWidth, TextHeight) and Print, which
//    draws at the current position with a transparent background.
//
// Rectangle copies between boxes (box_blt) work in pixels with the three
// raster operations, clipped at both boxes' edges. A box may be shown by a
// PictureView, which is told every rectangle of pixels that changed.

#include "imaging/raster_op.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

namespace wm {

enum class ScaleMode { kTwips, kPixels };

// Something that shows a box on screen and repaints the pixels it is told
// changed. After a resize the rectangle covers the old size as well.
class PictureView {
  public:
    virtual ~PictureView() = default;
    virtual void picture_changed(const QRect& pixels) = 0;
    // The box it shows is going away; the view must forget it.
    virtual void picture_gone() = 0;
};

class PictureBox {
  public:
    // An empty box (0 x 0 pixels) in pixel units, 15 twips per pixel both
    // ways, black background, white text in 8-point "Arial".
    PictureBox();
    // Tells its view that it goes.
    ~PictureBox();
    PictureBox(const PictureBox&) = delete;
    PictureBox& operator=(const PictureBox&) = delete;

    // --- Size and units -------------------------------------------------
    QSize pixel_size() const { return image_.size(); }
    int pixel_width() const { return image_.width(); }
    int pixel_height() const { return image_.height(); }

    // Resizes the raster. What was drawn stays at the top-left corner; new
    // pixels take the background colour. Sides below 0 count as 0; a box
    // with a side of 0 is 0 x 0 and every drawing on it does nothing. A size
    // beyond 32768 pixels a side or 2^27 pixels in all is refused (the box
    // keeps its size).
    void set_pixel_size(int width, int height);

    ScaleMode scale_mode() const { return scale_mode_; }
    void set_scale_mode(ScaleMode mode) { scale_mode_ = mode; }
    // Twips per pixel across and down (values below 1 count as 1).
    void set_twips_per_pixel(int across, int down);

    // The drawable size in the box's units.
    double ScaleWidth() const;
    double ScaleHeight() const;
    // Resizes the box to a size in its own units.
    void set_scale_size(double width, double height);

    // A length in the box's units as pixels (rounded half to even) and back.
    int to_pixels_x(double units) const;
    int to_pixels_y(double units) const;
    double from_pixels_x(int pixels) const;
    double from_pixels_y(int pixels) const;

    // --- Picture and image -----------------------------------------------
    const QImage& Picture() const { return picture_; }
    // Makes `picture` the current picture (converted to Format_RGB32) and
    // shows it: the image becomes the background colour with the picture at
    // the top-left corner. With AutoSize on, the box first takes the
    // picture's size. A null picture clears the current picture.
    void set_picture(const QImage& picture);
    // Loads `picture` at its own size: the box takes the picture's size and
    // shows it, whatever AutoSize says (a picture beyond the box's size
    // limits is shown at the box's present size instead).
    void load_picture(const QImage& picture);
    bool AutoSize() const { return auto_size_; }
    void set_auto_size(bool on) { auto_size_ = on; }

    // The persistent image, the box's pixels.
    const QImage& Image() const { return image_; }

    // Drops the current picture and every pixel: the box becomes 0 x 0.
    void empty();

    QColor BackColor() const { return back_colour_; }
    void set_back_colour(const QColor& colour) { back_colour_ = colour; }

    // Clears the drawing: background colour, the current picture at the
    // top-left corner, current position (0, 0).
    void Cls();

    // Paints `picture` scaled (smoothly) into the rectangle (x, y, width,
    // height) given in the box's units; pixels outside the box are cut.
    void PaintPicture(const QImage& picture, double x, double y, double width, double height);

    // --- Text -------------------------------------------------------------
    QString FontName() const { return font_.family(); }
    void set_font_name(const QString& name);  // an empty name is ignored
    double FontSize() const { return font_.pointSizeF(); }
    void set_font_size(double points);  // sizes <= 0 are ignored, above 2048 count as 2048
    bool FontBold() const { return font_.bold(); }
    void set_font_bold(bool on) { font_.setBold(on); }
    bool FontItalic() const { return font_.italic(); }
    void set_font_italic(bool on) { font_.setItalic(on); }
    const QFont& font() const { return font_; }

    QColor ForeColor() const { return fore_colour_; }
    void set_fore_colour(const QColor& colour) { fore_colour_ = colour; }

    double CurrentX() const { return current_x_; }
    double CurrentY() const { return current_y_; }
    void set_current_position(double x, double y);

    // The width and height `text` takes in the current font, in box units:
    // whole pixels at 96 dpi, the advance of the text and the height of a
    // line (ascent + descent).
    double TextWidth(const QString& text) const;
    double TextHeight(const QString& text) const;

    // Draws `text` in the fore colour with the top-left corner of its line
    // at the current position; the position then moves to the start of the
    // next line (x 0, y + TextHeight).
    void Print(const QString& text);

    // --- Showing ----------------------------------------------------------
    // The view is told of every change; nullptr detaches. The box does not
    // own the view, and the view must detach before it goes.
    void attach_view(PictureView* view) { view_ = view; }
    PictureView* view() const { return view_; }

    // Tells the view (if any) that `pixels` changed; the rectangle is cut to the box.
    void changed(const QRect& pixels);

    // Raw pixels for copies between boxes; whoever writes calls changed().
    QImage& raster() { return image_; }
    // Moves the box's pixels into `raster` (Format_RGB32, the box's size,
    // its pixels shared with no other image) and draws there from then on,
    // until the box resizes or takes a picture's pixels as its own. False,
    // and nothing changed, for a raster of another size or format.
    bool adopt_raster(QImage raster);
    // Where the box takes the memory for its pixels when it resizes:
    // `source` gives a raster of the size asked (Format_RGB32, shared with
    // no other image, its pixels undefined), or a null image for memory of
    // the box's own. An empty function: always the box's own.
    using RasterSource = std::function<QImage(QSize)>;
    void set_raster_source(RasterSource source) { raster_source_ = std::move(source); }

  private:
    bool resize_raster(int width, int height);
    void tell_resized(const QSize& old_size);
    void paint_background();
    int units_per_pixel_x() const;
    int units_per_pixel_y() const;
    QFontMetrics metrics() const;

    QImage image_;
    QImage picture_;
    QColor back_colour_;
    QColor fore_colour_;
    QFont font_;
    ScaleMode scale_mode_ = ScaleMode::kPixels;
    int twips_x_ = 15;
    int twips_y_ = 15;
    double current_x_ = 0.0;
    double current_y_ = 0.0;
    bool auto_size_ = false;
    PictureView* view_ = nullptr;
    RasterSource raster_source_;
};

// One rectangle copy in pixels from `source` (sx, sy) to `dest` (x, y) of
// width x height, with a raster operation, clipped at both boxes' edges (a
// part that lies outside either box is cut; nothing is an error). Source and
// destination may be the same box. The destination's view is told the
// rectangle that changed.
void box_blt(PictureBox& dest, int x, int y, int width, int height, const PictureBox& source,
             int sx, int sy, RasterOp rop);

// Where a sheet and its mask draw anything: per row of the sheet, the runs
// of pixels whose masked drawing changes the destination (mask not white or
// colour not black). Elsewhere the drawing leaves every pixel as it was.
// A solid run draws the sheet's colour whatever lies under it (the mask has
// no bit the colour lacks), so drawing it is a plain copy of the colour.
struct InkRun {
    int begin;
    int end;  // one past the last
    bool solid;
};
class SheetInk {
  public:
    SheetInk() = default;
    SheetInk(const QImage& sprite, const QImage& mask);
    // The runs of sheet row y, in order; none outside the sheet.
    const std::vector<InkRun>& row(int y) const;
    QSize size() const { return size_; }
    // The smallest rectangle holding all the ink inside `area` (sheet
    // pixels); empty when there is none.
    QRect bounds(const QRect& area) const;

  private:
    QSize size_;
    std::vector<std::vector<InkRun>> rows_;
};

// The masked drawing of a cell of a sheet: `mask` (sx, sy) copied to `dest`
// (x, y) with kSrcAnd, then `sprite` (sx, sy) over it with kSrcPaint, done
// in one pass with the same result; clipped at every box's edges. With the
// sheets' ink (of the same size), only the pixels it names are visited.
void box_blt_masked(PictureBox& dest, int x, int y, int width, int height, const PictureBox& sprite,
                    const PictureBox& mask, int sx, int sy, const SheetInk* ink = nullptr);

// Undoes the masked drawing of the sheet rectangle `cell` at (x, y): copies
// from `clean` to `dest`, both at (x, y), just the pixels that drawing
// could have changed (where `ink` has ink), clipped at both boxes' edges.
void restore_ink(PictureBox& dest, const PictureBox& clean, int x, int y, const QRect& cell,
                 const SheetInk& ink);

}  // namespace wm
