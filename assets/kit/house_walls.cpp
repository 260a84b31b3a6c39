#include "assets/kit/house_parts.h"

#include "assets/kit/piece_basics.h"

#include <QPainterPath>

#include <algorithm>

namespace wm::media::piece {

namespace {

// A wall face in its own coordinates: x from 0 to width, y from -height (top
// of the wall) to 0 (the ground), with a gable of `gable` above when > 0.
QPainterPath face_path(double width, double height, double gable) {
    QPainterPath path;
    path.moveTo(0, 0);
    path.lineTo(0, -height);
    if (gable > 0.0) {
        path.lineTo(width / 2, -height - gable);
    }
    path.lineTo(width, -height);
    path.lineTo(width, 0);
    path.closeSubpath();
    return path;
}

void paint_wall_texture(QPainter& painter, MediaRandom& rng, double width, double height,
                        double gable, WallKind kind, const QColor& colour, const QColor& trim,
                        int floors) {
    const double top = -height - gable;
    const double line_width = std::max(0.8, height / 160.0);
    switch (kind) {
        case WallKind::Plaster:
            break;
        case WallKind::Boards: {
            const double board = std::max(std::clamp(width / 14.0, 5.0, 28.0), width / 400.0);
            for (double x = board; x < width; x += board) {
                painter.setPen(QPen(darker(colour, 0.28), line_width));
                painter.drawLine(QPointF(x, top), QPointF(x, 0));
                if (rng.chance(0.4)) {
                    painter.fillRect(QRectF(x, top, board, -top),
                                     with_alpha(darker(colour, 0.1), 0.5));
                }
            }
            break;
        }
        case WallKind::Logs: {
            const int logs =
                std::clamp(static_cast<int>(height / std::max(6.0, width / 22.0)), 4, 400);
            const double log = height / logs;
            painter.setPen(Qt::NoPen);
            for (double y = -log; y > top - log; y -= log) {
                QLinearGradient round(0, y, 0, y + log);
                round.setColorAt(0.0, darker(colour, 0.35));
                round.setColorAt(0.35, lighter(colour, 0.12));
                round.setColorAt(0.75, colour);
                round.setColorAt(1.0, darker(colour, 0.45));
                painter.setBrush(round);
                painter.drawRect(QRectF(0, y, width, log));
                // A few knots and cracks.
                for (int k = 0; k < 2; ++k) {
                    if (rng.chance(0.5)) {
                        const double x = rng.range(0.05, 0.95) * width;
                        painter.setBrush(with_alpha(darker(colour, 0.4), 0.7));
                        painter.drawEllipse(QPointF(x, y + log * 0.5), log * 0.18, log * 0.12);
                        painter.setBrush(Qt::NoBrush);
                    }
                }
            }
            break;
        }
        case WallKind::Timbered: {
            const QColor beam = trim;
            const double thick = std::max(2.0, width / 40.0);
            painter.setPen(Qt::NoPen);
            painter.setBrush(beam);
            const double floor_height = height / floors;
            for (int f = 0; f <= floors; ++f) {
                painter.drawRect(QRectF(0, -f * floor_height - thick / 2, width, thick));
            }
            const int posts = 4;
            for (int p = 0; p <= posts; ++p) {
                const double x = std::clamp(width * p / posts - thick / 2, 0.0, width - thick);
                painter.drawRect(QRectF(x, -height, thick, height));
            }
            // Braces across the outer bays of each floor.
            QPen brace(beam, thick * 0.8);
            painter.setPen(brace);
            for (int f = 0; f < floors; ++f) {
                const double y0 = -f * floor_height;
                const double y1 = y0 - floor_height;
                const double bay = width / posts;
                painter.drawLine(QPointF(0, y0), QPointF(bay, y1));
                painter.drawLine(QPointF(width, y0), QPointF(width - bay, y1));
            }
            if (gable > 0.0) {
                painter.drawLine(QPointF(width / 2, -height), QPointF(width / 2, top));
                painter.drawLine(QPointF(width * 0.25, -height),
                                 QPointF(width / 2, -height - gable * 0.55));
                painter.drawLine(QPointF(width * 0.75, -height),
                                 QPointF(width / 2, -height - gable * 0.55));
            }
            painter.setPen(Qt::NoPen);
            break;
        }
        case WallKind::Stone: {
            const double course =
                std::max({std::clamp(height / 14.0, 4.0, 24.0), width / 300.0, height / 300.0});
            painter.setPen(Qt::NoPen);
            int row = 0;
            for (double y = -course; y > top - course; y -= course, ++row) {
                double x = (row % 2) != 0 ? -course * 0.9 : 0.0;
                while (x < width) {
                    const double block = course * rng.range(1.4, 2.4);
                    const QColor shade =
                        rng.chance(0.5) ? lighter(colour, 0.3) : darker(colour, 0.25);
                    const QColor tone = mix(colour, shade, rng.range(0.1, 0.5));
                    painter.setBrush(tone);
                    const double gap = std::max(0.6, course * 0.08);
                    painter.drawRoundedRect(
                        QRectF(x + gap / 2, y + gap / 2, block - gap, course - gap), gap, gap);
                    x += block;
                }
            }
            break;
        }
    }
}

}  // namespace

void paint_face(QPainter& painter, MediaRandom& rng, const FaceLook& look, const Mood& mood) {
    const QPainterPath outline = face_path(look.width, look.height, look.gable);
    painter.setPen(Qt::NoPen);
    // Shadow under the eaves, a little light thrown up by the snow at the foot.
    painter.setBrush(vertical_gradient(-look.height - look.gable, 0,
                                       {{0.0, darker(look.colour, 0.3)},
                                        {0.25, darker(look.colour, 0.08)},
                                        {0.85, look.colour},
                                        {1.0, mix(look.colour, mood.snow_shade, 0.25)}}));
    painter.drawPath(outline);
    painter.save();
    painter.setClipPath(outline, Qt::IntersectClip);
    paint_wall_texture(painter, rng, look.width, look.height, look.gable, look.kind, look.colour,
                       look.trim, look.floors);
    // The eave's soft shadow across the top of the wall.
    painter.fillRect(
        QRectF(0, -look.height - look.gable, look.width, look.height * 0.2 + look.gable),
        vertical_gradient(-look.height, -look.height * 0.8,
                          {{0.0, with_alpha(darker(mood.ambient, 0.6), 0.45)},
                           {1.0, with_alpha(darker(mood.ambient, 0.6), 0.0)}}));
    painter.restore();
    if (look.kind != WallKind::Logs && look.kind != WallKind::Stone) {
        // Corner boards.
        const double board = std::max(1.5, look.width / 30.0);
        painter.setBrush(mix(look.trim, look.colour, 0.35));
        painter.drawRect(QRectF(0, -look.height, board, look.height));
        painter.drawRect(QRectF(look.width - board, -look.height, board, look.height));
    }
}

}  // namespace wm::media::piece
