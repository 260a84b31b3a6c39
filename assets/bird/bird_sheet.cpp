#include "assets/bird/bird_sheet.h"

#include "assets/bird/cell_resolve.h"
#include "assets/bird/flap_cycle.h"
#include "assets/bird/robin_painter.h"

#include <QPainter>

namespace wm::media {

namespace {

// The silhouette's rim: a warm near-black that holds the outline on snow.
const QColor kRim(30, 21, 16);

}  // namespace

BirdSheets paint_bird_sheets() {
    QImage sprite(kSheetWidth, kSheetHeight, QImage::Format_RGB32);
    QImage mask(kSheetWidth, kSheetHeight, QImage::Format_RGB32);
    sprite.fill(Qt::black);
    mask.fill(Qt::white);
    QImage canvas(kCellSize * kSupersample, kCellSize * kSupersample,
                  QImage::Format_ARGB32_Premultiplied);
    for (int n = 1; n <= kFlapCells; ++n) {
        canvas.fill(Qt::transparent);
        paint_robin(canvas, flap_pose(static_cast<double>(n - 1) / kFlapCells));
        resolve_cell(canvas, sprite, mask, sheet_cell(n).topLeft(), kRim);
    }
    // Flying left is the same cycle seen in a mirror; the lower half is read
    // right to left, so the mirrored upper half keeps the steps in order.
    const QRect upper(0, 0, kSheetWidth, kSheetHeight / 2);
    QPainter(&sprite).drawImage(0, kSheetHeight / 2, sprite.copy(upper).mirrored(true, false));
    QPainter(&mask).drawImage(0, kSheetHeight / 2, mask.copy(upper).mirrored(true, false));
    return {sprite, mask};
}

void draw_bird_cell(QPainter& painter, QPoint at, const BirdSheets& sheets, int n) {
    const QRect cell = sheet_cell(n);
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    painter.drawImage(at, sheets.mask, cell);
    painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    painter.drawImage(at, sheets.sprite, cell);
    painter.restore();
}

}  // namespace wm::media
