#include "assets/bird/bird_sheet.h"

#include <QPainter>

#include <cmath>
#include <numbers>

namespace wm::media {

// Rough bird until the real one is drawn.
BirdSheets paint_bird_sheets() {
    QImage sprite(kSheetWidth, kSheetHeight, QImage::Format_RGB32);
    QImage mask(kSheetWidth, kSheetHeight, QImage::Format_RGB32);
    sprite.fill(Qt::black);
    mask.fill(Qt::white);
    for (int n = 1; n <= kFlapCells; ++n) {
        const QRect cell = sheet_cell(n);
        const double phase = 2.0 * std::numbers::pi * (n - 1) / kFlapCells;
        const double lift = std::sin(phase) * 40.0;
        QPolygonF body;
        body << QPointF(35, 75) << QPointF(75, 60) << QPointF(115, 72) << QPointF(75, 90);
        QPolygonF wing;
        wing << QPointF(60, 72) << QPointF(90, 72) << QPointF(70, 75 - lift);
        for (QImage* target : {&sprite, &mask}) {
            QPainter painter(target);
            painter.translate(cell.topLeft());
            const bool is_mask = target == &mask;
            painter.setPen(Qt::NoPen);
            painter.setBrush(is_mask ? QColor(Qt::black) : QColor(200, 40, 30));
            painter.drawPolygon(body);
            painter.setBrush(is_mask ? QColor(Qt::black) : QColor(120, 70, 40));
            painter.drawPolygon(wing);
        }
    }
    const QImage upper_sprite =
        sprite.copy(0, 0, kSheetWidth, kSheetHeight / 2).mirrored(true, false);
    const QImage upper_mask = mask.copy(0, 0, kSheetWidth, kSheetHeight / 2).mirrored(true, false);
    QPainter(&sprite).drawImage(0, kSheetHeight / 2, upper_sprite);
    QPainter(&mask).drawImage(0, kSheetHeight / 2, upper_mask);
    return {sprite, mask};
}

}  // namespace wm::media
