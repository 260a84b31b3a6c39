#include "assets/icon/app_icon.h"

#include "assets/kit/canvas.h"
#include "assets/kit/media_random.h"
#include "assets/kit/paint_kit.h"
#include "assets/kit/sky_lights.h"
#include "assets/windows/window_art.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace wm::media {

namespace {

// The icon is composed on a unit square; these place its parts.
constexpr double kMargin = 2.0 / 48.0;  // clear border around the rounded square
constexpr double kCorner = 0.2;         // corner radius of the square
constexpr double kHorizon = 0.66;       // where the sky meets the far hill
constexpr double kRobinHeight = 0.43;
constexpr QPointF kRobinFeet{0.56, 0.75};
constexpr QPointF kMoon{0.28, 0.25};
constexpr double kMoonRadius = 0.12;

// The rounded square the picture fills, in pixels.
QPainterPath emblem_shape(double s) {
    QPainterPath shape;
    const double inset = s * kMargin;
    shape.addRoundedRect(QRectF(inset, inset, s - 2 * inset, s - 2 * inset), s * kCorner,
                         s * kCorner);
    return shape;
}

// The moonlit sky with a few stars, and two snow crystals drifting down
// where the robin looks.
void paint_sky(QPainter& painter, MediaRandom& rng, double s) {
    const QRectF whole(0, 0, s, s);
    paint_night_sky(painter, whole, s * (kHorizon + 0.04));
    MediaRandom stars = rng.fork(1);
    // Kept off the rim, where a star would read as a nick in the edge.
    paint_stars(painter, stars, QRectF(s * 0.1, s * 0.1, s * 0.8, s * (kHorizon - 0.2)),
                std::clamp(static_cast<int>(s * 0.2), 6, 40), std::max(0.5, s / 160.0));
    MediaRandom moon = rng.fork(2);
    paint_moon(painter, moon, QPointF(s * kMoon.x(), s * kMoon.y()), s * kMoonRadius,
               QColor(255, 251, 236), QColor(170, 190, 255));
    // Strokes of at least a pixel, so a small icon keeps its crystal; the
    // second, smaller one only where it has room to be more than a speck.
    const QColor crystal(232, 240, 255);
    const double radius = s * 0.085;
    paint_snowflake(painter, QPointF(s * 0.79, s * 0.2), radius, crystal,
                    std::max(0.13, 0.9 / radius));
    if (s >= 64) {
        paint_snowflake(painter, QPointF(s * 0.6, s * 0.12), s * 0.045, with_alpha(crystal, 0.75),
                        0.14);
    }
}

// A gentle far hill, then the near mound of moonlit snow the robin stands on.
void paint_hills(QPainter& painter, MediaRandom& rng, double s) {
    painter.setPen(Qt::NoPen);
    MediaRandom far = rng.fork(3);
    const auto far_line = ridge_line(far, -4, s + 4, s * kHorizon, s * 0.04, 0.4, 3);
    painter.setBrush(far_hill_gradient(s * (kHorizon - 0.04), s * (kHorizon + 0.14)));
    painter.drawPath(smooth_area_below(far_line, s + 2));

    QPainterPath mound;
    mound.moveTo(-2, s * 0.83);
    mound.cubicTo(s * 0.25, s * 0.7, s * 0.7, s * 0.68, s + 2, s * 0.79);
    mound.lineTo(s + 2, s + 2);
    mound.lineTo(-2, s + 2);
    mound.closeSubpath();
    painter.setBrush(snow_drift_gradient(s * 0.7, s));
    painter.drawPath(mound);
}

// The robin's soft shadow on the snow, then the robin.
void paint_bird(QPainter& painter, double s) {
    const QPointF feet(s * kRobinFeet.x(), s * kRobinFeet.y());
    painter.save();
    painter.translate(feet + QPointF(-s * 0.03, s * 0.01));
    painter.scale(1.0, 0.28);
    paint_glow(painter, QPointF(0, 0), s * 0.2, QColor(96, 116, 176), 0.55);
    painter.restore();
    paint_robin(painter, feet, s * kRobinHeight, true);
}

// The rounded square's edge `inset` pixels in from its outline.
QPainterPath edge_line(double s, double inset) {
    QPainterPath line;
    const double at = s * kMargin + inset;
    line.addRoundedRect(QRectF(at, at, s - 2 * at, s - 2 * at), s * kCorner - inset,
                        s * kCorner - inset);
    return line;
}

// A dark line along the edge, so the snow holds its shape on a light panel,
// and a frosty one inside it, so the sky holds its shape on a dark one.
void paint_rim(QPainter& painter, double s) {
    const double width = std::max(1.0, s / 96.0);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(18, 28, 70, 150), width));
    painter.drawPath(edge_line(s, width / 2));
    painter.setPen(QPen(QColor(210, 224, 255, 70), width));
    painter.drawPath(edge_line(s, width * 1.5));
}

}  // namespace

QImage paint_app_icon(int size) {
    if (size < kSmallestAppIcon || size > kLargestAppIcon) {
        return {};
    }
    const double s = size;
    QImage canvas = new_canvas(QSize(size, size), Qt::transparent);
    QImage shape = new_canvas(QSize(size, size), Qt::transparent);
    {
        QPainter painter(&shape);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(emblem_shape(s), Qt::white);
    }
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        MediaRandom rng(0x1C0Eu);
        paint_sky(painter, rng, s);
        paint_hills(painter, rng, s);
        paint_bird(painter, s);
        // Everything outside the rounded square is cleared, its edge anti-aliased.
        painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        painter.drawImage(0, 0, shape);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        paint_rim(painter, s);
    }
    return finish_canvas_keeping_alpha(canvas, 0x1C0Fu);
}

}  // namespace wm::media
