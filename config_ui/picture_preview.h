#pragma once
// The picture previews of the browsing windows: where a picture goes in its
// preview box, and the picture decoded at the size it will be shown.

#include "imaging/fit_picture.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace wm {

// How center_control_check_scale fits a picture.
enum class FitMode {
    Scaling,     // fill the box in one direction (percent of it), centred
    ShrinkOnly,  // keep the picture's size unless it is larger than the box
};

// Where a picture goes: left, top, width and height, as a fit gives them.
using Placement = FitResult;

// Places a picture of pic_width x pic_height in a box of box_width x
// box_height, keeping its proportions and centring it.
// - Scaling: a landscape (or square) picture takes percent % of the box's
//   width, or of its height when that is the tighter limit; a portrait one
//   takes percent % of the box's height, or of its width when the box is
//   too narrow for that. The offsets move the result.
// - ShrinkOnly: the picture keeps its size, shrunk to the box's width and
//   then height where it is larger; offsets and percent are not used.
// A negative left or top becomes 0. A picture without a usable size (a side
// <= 0) gets an empty placement.
Placement center_control_check_scale(double top_offset, double left_offset, double box_height,
                                     double box_width, double pic_height, double pic_width,
                                     double percent, FitMode mode = FitMode::Scaling);

// Decodes the picture file `path` for a preview box of `box` device pixels
// (640 x 480 when it has no size yet) through the loader the saver uses
// (load_picture_file), with its decoders and limits: scaled to the size it
// is drawn at and decoded no larger than that needs, so that a photograph of
// many megapixels decodes in a moment, and, unlike the saver's scenes, with
// its orientation tag applied (photographs from cameras and phones show
// upright). A null image, with the reason in `problem` when given, for a
// file that is no regular file, cannot be read as a picture, or whose header
// claims a size beyond what the saver's surfaces accept.
QImage load_preview_picture(const QString& path, QSize box, QString* problem = nullptr);

}  // namespace wm
