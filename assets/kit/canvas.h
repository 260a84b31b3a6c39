#pragma once
// Deep canvases: pictures are painted with 16 bits per channel, so gradients
// and glows stay smooth, and are brought down to 8 bits only at the end with
// a fine dither, so broad skies show no bands.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QSize>

#include <cstdint>

namespace wm::media {

// A canvas of `size` in QImage::Format_RGBA64_Premultiplied filled with `fill`.
QImage new_canvas(QSize size, const QColor& fill = Qt::black);

// The canvas in QImage::Format_RGB32 (alpha dropped), each channel rounded
// after adding triangular noise of one 8-bit step drawn from `seed`.
QImage finish_canvas(const QImage& canvas, std::uint64_t seed);

// The canvas in QImage::Format_ARGB32, for pictures with see-through parts:
// each colour channel dithered as above, alpha rounded without noise, so what
// is clear stays exactly clear (0x00000000) and what is solid exactly solid.
QImage finish_canvas_keeping_alpha(const QImage& canvas, std::uint64_t seed);

// Where a scene paints: a deep canvas of the picture's size with an
// anti-aliased painter on it that draws no outlines, and the picture's
// measures: width w, height h and the unit u that scales lengths composed
// for a picture 1080 pixels high, so a scene paints alike at any size.
class SceneCanvas {
  public:
    // Sizes a scene can be painted at: 1 to 16384 pixels each way. Scenes
    // paint nothing (a null picture) at any other size.
    static bool usable(QSize size);

    explicit SceneCanvas(QSize size);
    SceneCanvas(const SceneCanvas&) = delete;
    SceneCanvas& operator=(const SceneCanvas&) = delete;

    QPainter& painter() { return painter_; }
    // Ends the painting: the picture brought down to 8 bits with `seed`'s dither.
    QImage finish(std::uint64_t seed);

    const double w;
    const double h;
    const double u;

  private:
    QImage canvas_;
    QPainter painter_;
};

}  // namespace wm::media
