#include "sprites/stage_setup.h"

#include "imaging/picture_box.h"
#include "imaging/transition.h"
#include "platform/rounding.h"

#include <algorithm>
#include <cmath>

namespace wm {
namespace {

struct Piece {
    int left;
    int top;
};

constexpr Piece kTopEdge{8, 0};
constexpr Piece kBottomEdge{8, 72};
constexpr Piece kLeftEdge{0, 8};
constexpr Piece kRightEdge{72, 64};
constexpr Piece kTopLeft{0, 0};
constexpr Piece kTopRight{72, 0};
constexpr Piece kBottomRight{72, 72};
constexpr Piece kBottomLeft{0, 72};

void put(PictureBox& form, const PictureBox& border, Piece piece, double x, double y) {
    blit_boxes(form, x, y, kBorderPiece, kBorderPiece, border, piece.left, piece.top,
               RasterOp::kSrcCopy);
}

}  // namespace

StageLayout stage_layout(QSize window, bool fill_screen, double pixel_ratio) {
    StageLayout layout;
    const double ratio = std::isfinite(pixel_ratio) ? std::clamp(pixel_ratio, 1.0, 8.0) : 1.0;
    const QSize framed(round_to_int(kFixedStageSize.width() * ratio),
                       round_to_int(kFixedStageSize.height() * ratio));
    // A window too small for the framed stage (a host's) is filled instead
    // of showing a part of the stage.
    const bool fill =
        fill_screen || window.width() < framed.width() || window.height() < framed.height();
    layout.stage = fill ? window : framed;
    const double w = layout.stage.width();
    const double h = layout.stage.height();
    layout.ascreen =
        QRect(round_to_int((window.width() - w) / 2.0), round_to_int((window.height() - h) / 2.0),
              layout.stage.width(), layout.stage.height());
    layout.x1 = window.width() / 2.0 - w / 2.0 - kBorderPiece;
    layout.y1 = window.height() / 2.0 - h / 2.0 - kBorderPiece;
    layout.x2 = layout.x1 + w + kBorderPiece;
    layout.y2 = layout.y1 + h + kBorderPiece;
    return layout;
}

void draw_border(PictureBox& form, const PictureBox& border, const StageLayout& layout) {
    const int across = static_cast<int>(std::floor((layout.x2 - layout.x1) / kBorderPiece));
    for (int j = 0; j <= across; ++j) {
        put(form, border, kTopEdge, layout.x1 + kBorderPiece * j, layout.y1);
        put(form, border, kBottomEdge, layout.x1 + kBorderPiece * j, layout.y2);
    }
    const int down = static_cast<int>(std::floor((layout.y2 - layout.y1) / kBorderPiece));
    for (int j = 0; j <= down; ++j) {
        put(form, border, kLeftEdge, layout.x1, layout.y1 + kBorderPiece * j);
        put(form, border, kRightEdge, layout.x2, layout.y1 + kBorderPiece * j);
    }
    put(form, border, kTopLeft, layout.x1, layout.y1);
    put(form, border, kTopRight, layout.x2, layout.y1);
    put(form, border, kBottomRight, layout.x2, layout.y2);
    put(form, border, kBottomLeft, layout.x1, layout.y2);
}

}  // namespace wm
