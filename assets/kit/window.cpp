#include "assets/kit/window.h"

#include "assets/kit/piece_basics.h"
#include "assets/kit/snow_lip.h"

#include <QPainterPath>
#include <QPainterPathStroker>

#include <algorithm>

namespace wm::media {

using namespace piece;

void paint_window(QPainter& painter, MediaRandom& caller, const QRectF& rect, double lit,
                  const QColor& frame, const QColor& shutters, bool arched, const Mood& mood) {
    MediaRandom rng = caller.split();
    if (!(rect.width() > 0.0) || !(rect.height() > 0.0) || !usable(rect.width()) ||
        !usable(rect.height()) || !usable(rect.topLeft())) {
        return;
    }
    painter.save();
    painter.setPen(Qt::NoPen);
    const double w = rect.width();
    const double h = rect.height();
    const double border = std::max(0.8, w * 0.1);
    const double glow = lit * mood.glow;
    if (glow > 0.0) {
        const Additive light(painter);
        paint_glow(painter, rect.center(), std::max(w, h) * 1.6, mood.lamp, 0.36 * glow);
    }
    if (shutters.alpha() > 0) {
        for (const double x : {rect.left() - border - w * 0.46, rect.right() + border}) {
            const QRectF leaf(x, rect.top() - border * 0.3, w * 0.46, h + border * 0.6);
            painter.setBrush(shutters);
            painter.drawRect(leaf);
            painter.setPen(QPen(darker(shutters, 0.35), std::max(0.6, border * 0.35)));
            for (int i = 1; i < 6; ++i) {
                const double y = leaf.top() + leaf.height() * i / 6.0;
                painter.drawLine(QPointF(leaf.left() + border * 0.4, y),
                                 QPointF(leaf.right() - border * 0.4, y));
            }
            painter.setPen(Qt::NoPen);
        }
    }
    QPainterPath glass;
    if (arched) {
        glass.moveTo(rect.bottomLeft());
        glass.lineTo(rect.left(), rect.top() + w / 2);
        glass.arcTo(QRectF(rect.left(), rect.top(), w, w), 180.0, -180.0);
        glass.lineTo(rect.bottomRight());
        glass.closeSubpath();
    } else {
        glass.addRect(rect);
    }
    // The frame: the glass grown by the border.
    painter.setBrush(frame);
    QPainterPathStroker grow;
    grow.setWidth(border * 2);
    grow.setJoinStyle(Qt::MiterJoin);
    painter.drawPath(grow.createStroke(glass).united(glass));
    if (lit > 0.0) {
        QRadialGradient warm(QPointF(rect.center().x(), rect.top() + h * 0.62),
                             std::max(w, h) * 0.75);
        warm.setColorAt(0.0, mix(lighter(mood.lamp, 0.6), mood.lamp, 1.0 - lit));
        warm.setColorAt(0.55, mood.lamp);
        warm.setColorAt(1.0, darker(mood.lamp, 0.3));
        painter.setBrush(warm);
        painter.drawPath(glass);
        painter.save();
        painter.setClipPath(glass, Qt::IntersectClip);
        if (arched) {
            // Leaded glass: a warmer, redder head over golden panes.
            painter.setBrush(vertical_gradient(rect.top(), rect.top() + h * 0.5,
                                               {{0.0, with_alpha(QColor(230, 90, 60), 0.45)},
                                                {1.0, with_alpha(QColor(230, 90, 60), 0.0)}}));
            painter.drawRect(rect);
            painter.setPen(QPen(with_alpha(frame, 0.5), std::max(0.5, border * 0.25)));
            painter.setBrush(Qt::NoBrush);
            for (double y = rect.top() + w * 0.75; y < rect.bottom();
                 y += std::max(w * 0.45, h / 40.0)) {
                painter.drawLine(QPointF(rect.left(), y), QPointF(rect.right(), y));
            }
            painter.drawEllipse(QPointF(rect.center().x(), rect.top() + w * 0.42), w * 0.2,
                                w * 0.2);
            painter.setPen(Qt::NoPen);
        } else {
            // Curtains tied back at the sides.
            painter.setBrush(
                with_alpha(mix(darker(mood.lamp, 0.25), QColor(150, 40, 30), 0.55), 0.9));
            for (const int dir : {-1, 1}) {
                const double edge = dir < 0 ? rect.left() : rect.right();
                QPainterPath curtain;
                curtain.moveTo(edge, rect.top() - border);
                curtain.lineTo(edge - dir * w * 0.34, rect.top() - border);
                curtain.quadTo(edge - dir * w * 0.08, rect.top() + h * 0.45, edge - dir * w * 0.12,
                               rect.top() + h * 0.62);
                curtain.lineTo(edge, rect.top() + h * 0.68);
                curtain.closeSubpath();
                painter.drawPath(curtain);
            }
        }
        painter.restore();
    } else {
        QLinearGradient night(rect.topLeft(), rect.bottomRight());
        const QColor pane = darker(mood.ambient, 0.45);
        night.setColorAt(0.0, lighter(pane, 0.18));
        night.setColorAt(0.4, pane);
        night.setColorAt(1.0, darker(pane, 0.3));
        painter.setBrush(night);
        painter.drawPath(glass);
    }
    // Glazing bars.
    painter.setBrush(frame);
    const double bar = std::max(0.6, border * 0.55);
    painter.drawRect(QRectF(rect.center().x() - bar / 2, rect.top(), bar, h));
    painter.drawRect(QRectF(rect.left(), rect.top() + h * (arched ? 0.5 : 0.42) - bar / 2, w, bar));
    // Snow on the sill and on the lintel.
    paint_snow_lip(painter, rng, QPointF(rect.left() - border * 1.2, rect.bottom() + border),
                   QPointF(rect.right() + border * 1.2, rect.bottom() + border), border * 1.3,
                   border * 0.5, mood, false);
    if (!arched) {
        paint_snow_lip(painter, rng, QPointF(rect.left() - border * 0.8, rect.top() - border),
                       QPointF(rect.right() + border * 0.8, rect.top() - border), border * 0.9, 0.0,
                       mood, false);
    }
    painter.restore();
}

}  // namespace wm::media
