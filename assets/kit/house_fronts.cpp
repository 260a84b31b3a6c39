#include "assets/kit/house_parts.h"

#include "assets/kit/piece_basics.h"
#include "assets/kit/snow_lip.h"

#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace wm::media::piece {

namespace {

void paint_wreath(QPainter& painter, MediaRandom& rng, QPointF centre, double radius) {
    painter.save();
    painter.setPen(Qt::NoPen);
    const QColor green(38, 92, 58);
    painter.setBrush(darker(green, 0.3));
    QPainterPath ring;
    ring.addEllipse(centre, radius, radius);
    ring.addEllipse(centre, radius * 0.5, radius * 0.5);
    painter.drawPath(ring);
    // Tufts of fir around the ring.
    const int tufts = 14;
    for (int i = 0; i < tufts; ++i) {
        const double angle = 2 * std::numbers::pi * i / tufts + rng.range(-0.1, 0.1);
        const QPointF at = centre + QPointF(std::cos(angle), std::sin(angle)) * radius * 0.75;
        painter.setBrush(mix(green, QColor(90, 140, 80), rng.range(0.0, 0.5)));
        painter.drawEllipse(at, radius * 0.3, radius * 0.22);
    }
    for (int i = 0; i < 6; ++i) {
        const double angle = 2 * std::numbers::pi * i / 6 + 0.4;
        const QPointF at = centre + QPointF(std::cos(angle), std::sin(angle)) * radius * 0.78;
        painter.setBrush(QColor(200, 30, 35));
        painter.drawEllipse(at, radius * 0.11, radius * 0.11);
    }
    // A red bow at the bottom.
    const QPointF knot = centre + QPointF(0, radius * 0.8);
    painter.setBrush(QColor(190, 25, 35));
    QPainterPath bow;
    bow.moveTo(knot);
    bow.cubicTo(knot + QPointF(-radius * 0.6, -radius * 0.4),
                knot + QPointF(-radius * 0.6, radius * 0.4), knot);
    bow.cubicTo(knot + QPointF(radius * 0.6, -radius * 0.4),
                knot + QPointF(radius * 0.6, radius * 0.4), knot);
    painter.drawPath(bow);
    QPainterPath tails;
    tails.moveTo(knot);
    tails.lineTo(knot + QPointF(-radius * 0.35, radius * 0.7));
    tails.lineTo(knot + QPointF(-radius * 0.15, radius * 0.7));
    tails.closeSubpath();
    tails.moveTo(knot);
    tails.lineTo(knot + QPointF(radius * 0.35, radius * 0.7));
    tails.lineTo(knot + QPointF(radius * 0.15, radius * 0.7));
    tails.closeSubpath();
    painter.drawPath(tails);
    painter.restore();
}

}  // namespace

void paint_lantern(QPainter& painter, QPointF top, double size, const Mood& mood) {
    painter.save();
    painter.setPen(Qt::NoPen);
    {
        const Additive light(painter);
        paint_glow(painter, top + QPointF(0, size * 0.9), size * 5.0, mood.lamp, 0.5 * mood.glow);
    }
    const QColor iron(30, 28, 32);
    painter.setBrush(iron);
    QPainterPath hood;
    hood.moveTo(top + QPointF(-size * 0.55, size * 0.35));
    hood.lineTo(top + QPointF(0, -size * 0.1));
    hood.lineTo(top + QPointF(size * 0.55, size * 0.35));
    hood.closeSubpath();
    painter.drawPath(hood);
    const QRectF glass(top.x() - size * 0.38, top.y() + size * 0.35, size * 0.76, size * 1.0);
    QRadialGradient flame(glass.center(), size * 0.6);
    flame.setColorAt(0.0, lighter(mood.lamp, 0.7));
    flame.setColorAt(1.0, mood.lamp);
    painter.setBrush(flame);
    painter.drawRect(glass);
    painter.setBrush(iron);
    painter.drawRect(QRectF(glass.left() - size * 0.06, glass.bottom(), glass.width() + size * 0.12,
                            size * 0.14));
    painter.setBrush(mood.snow);
    painter.drawEllipse(
        QRectF(top.x() - size * 0.45, top.y() - size * 0.15, size * 0.9, size * 0.35));
    painter.restore();
}

void paint_door(QPainter& painter, MediaRandom& rng, const QRectF& rect, const QColor& colour,
                const QColor& trim, bool wreath, const Mood& mood) {
    painter.save();
    painter.setPen(Qt::NoPen);
    const QColor door = in_light(colour, mood, 0.85);
    // Frame.
    const double frame = rect.width() * 0.1;
    painter.setBrush(in_light(trim, mood, 0.85));
    QPainterPath outer;
    outer.addRoundedRect(rect.adjusted(-frame, -frame, frame, 0), frame, frame);
    painter.drawPath(outer);
    painter.setBrush(vertical_gradient(rect.top(), rect.bottom(),
                                       {{0.0, darker(door, 0.15)}, {1.0, darker(door, 0.35)}}));
    painter.drawRect(rect);
    // Planks and a small lit window.
    painter.setPen(QPen(darker(door, 0.4), std::max(0.7, rect.width() / 40.0)));
    for (int i = 1; i < 4; ++i) {
        const double x = rect.left() + rect.width() * i / 4.0;
        painter.drawLine(QPointF(x, rect.top() + rect.height() * 0.35), QPointF(x, rect.bottom()));
    }
    painter.setPen(Qt::NoPen);
    const QRectF pane(rect.left() + rect.width() * 0.22, rect.top() + rect.height() * 0.08,
                      rect.width() * 0.56, rect.height() * 0.2);
    if (mood.glow > 0.0) {
        QRadialGradient warm(pane.center(), pane.width() * 0.6);
        warm.setColorAt(0.0, lighter(mood.lamp, 0.3));
        warm.setColorAt(1.0, darker(mood.lamp, 0.15));
        painter.setBrush(warm);
    } else {
        painter.setBrush(darker(mood.ambient, 0.3));
    }
    painter.drawRoundedRect(pane, pane.height() * 0.3, pane.height() * 0.3);
    painter.setBrush(QColor(210, 175, 90));
    painter.drawEllipse(
        QPointF(rect.right() - rect.width() * 0.16, rect.center().y() + rect.height() * 0.08),
        rect.width() * 0.05, rect.width() * 0.05);
    if (wreath) {
        paint_wreath(painter, rng, QPointF(rect.center().x(), rect.top() + rect.height() * 0.47),
                     rect.width() * 0.28);
    }
    // A snowy step.
    painter.setBrush(mix(mood.snow, mood.snow_shade, 0.2));
    painter.drawRoundedRect(QRectF(rect.left() - frame * 2, rect.bottom() - rect.height() * 0.04,
                                   rect.width() + frame * 4, rect.height() * 0.1),
                            frame, frame);
    painter.restore();
}

void paint_awning(QPainter& painter, MediaRandom& rng, const QRectF& window, const QColor& colour,
                  const Mood& mood, double facing) {
    const double reach = window.height() * 0.4;
    const double top = window.top() - reach * 0.55;
    const double left = window.left() - reach * 0.3;
    const double right = window.right() + reach * 0.3;
    const double bottom = top + reach * 0.75;
    const QPolygonF canopy({QPointF(left + reach * 0.2, top), QPointF(right - reach * 0.2, top),
                            QPointF(right, bottom), QPointF(left, bottom)});
    const QColor stripe = in_light(colour, mood, facing);
    const QColor cream = in_light(QColor(240, 232, 214), mood, facing);
    const int stripes = std::max(3, static_cast<int>((right - left) / (reach * 0.45)));
    const double band = (right - left) / stripes;
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(vertical_gradient(bottom, bottom + reach * 0.5,
                                       {{0.0, with_alpha(darker(mood.ambient, 0.5), 0.3)},
                                        {1.0, with_alpha(darker(mood.ambient, 0.5), 0.0)}}));
    painter.drawRect(QRectF(left, bottom, right - left, reach * 0.5));
    painter.setClipRegion(
        QRegion(canopy.toPolygon())
            .united(QRegion(QRectF(left, bottom - 1, right - left, reach * 0.3).toAlignedRect())),
        Qt::IntersectClip);
    for (int i = 0; i < stripes; ++i) {
        painter.setBrush((i % 2) == 0 ? stripe : cream);
        painter.drawRect(QRectF(left + i * band, top, band + 0.5, bottom - top));
        // A scallop hanging under each stripe.
        painter.drawEllipse(QPointF(left + (i + 0.5) * band, bottom), band * 0.5, reach * 0.18);
    }
    painter.setBrush(vertical_gradient(top, bottom,
                                       {{0.0, with_alpha(darker(mood.ambient, 0.4), 0.0)},
                                        {1.0, with_alpha(darker(mood.ambient, 0.4), 0.25)}}));
    painter.drawRect(QRectF(left, top, right - left, bottom - top));
    painter.restore();
    paint_snow_lip(painter, rng, QPointF(left + reach * 0.2, top),
                   QPointF(right - reach * 0.2, top), reach * 0.2, reach * 0.05, mood, false);
}

}  // namespace wm::media::piece
