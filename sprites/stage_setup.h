#pragma once
// Where the stage lies in the saver window, and the border round it.
//
// The stage fills the screen, or is an 800 x 600 picture centred in the
// window inside an 8-pixel border drawn from the border pieces.

#include <QRect>
#include <QSize>

namespace wm {

class PictureBox;

inline constexpr QSize kFixedStageSize{800, 600};
inline constexpr int kBorderPiece = 8;

struct StageLayout {
    QSize stage;    // W x H, pixels
    QRect ascreen;  // the stage's place in the window
    // The border's corners: the top-left pixels of its corner pieces (reals,
    // as the window's centre may fall between pixels).
    double x1 = 0.0;
    double y1 = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
};

// The layout in a window of `window` pixels: the whole window when
// `fill_screen` or when the window is smaller than 800 x 600, else 800 x 600
// centred. On a dense screen, `pixel_ratio`
// device pixels stand for one pixel of an ordinary one: the framed stage
// takes that many times its size (whole pixels) to look as large.
StageLayout stage_layout(QSize window, bool fill_screen, double pixel_ratio = 1.0);

// Draws the border round the stage into the window's own picture from the
// pieces in `border` (8 x 8 each: edges at (8, 0) top, (8, 72) bottom,
// (0, 8) left, (72, 64) right; corners at (0, 0), (72, 0), (72, 72),
// (0, 72)). Pieces that fall outside the window are cut.
void draw_border(PictureBox& form, const PictureBox& border, const StageLayout& layout);

}  // namespace wm
