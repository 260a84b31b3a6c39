#include "assets/windows/window_art.h"

#include "assets/kit/canvas.h"
#include "assets/kit/paint_kit.h"
#include "assets/kit/ridges.h"
#include "assets/kit/sky_lights.h"

#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace wm::media {

namespace {

constexpr double kPi = std::numbers::pi;

// A cottage standing on `base` (bottom centre), `width` wide, windows lit.
void paint_cottage(QPainter& painter, MediaRandom& rng, QPointF base, double width) {
    painter.save();
    painter.setPen(Qt::NoPen);
    const double wall_h = width * 0.55;
    const QRectF wall(base.x() - width / 2, base.y() - wall_h, width, wall_h);
    // Light from the windows spills onto the snow in front.
    paint_glow(painter, QPointF(base.x(), base.y() + width * 0.05), width * 0.9,
               QColor(255, 190, 110), 0.35);
    painter.setBrush(vertical_gradient(wall.top(), wall.bottom(),
                                       {{0.0, QColor(92, 58, 44)}, {1.0, QColor(54, 34, 30)}}));
    painter.drawRect(wall);
    // Chimney, then the roof under its blanket of snow.
    painter.setBrush(QColor(70, 48, 44));
    painter.drawRect(
        QRectF(base.x() + width * 0.18, wall.top() - width * 0.5, width * 0.12, width * 0.4));
    QPainterPath roof;
    roof.moveTo(wall.left() - width * 0.12, wall.top() + width * 0.04);
    roof.lineTo(base.x(), wall.top() - width * 0.42);
    roof.lineTo(wall.right() + width * 0.12, wall.top() + width * 0.04);
    roof.closeSubpath();
    painter.setBrush(QColor(50, 36, 40));
    painter.drawPath(roof);
    QPainterPath snow;
    snow.moveTo(wall.left() - width * 0.16, wall.top() + width * 0.02);
    snow.lineTo(base.x(), wall.top() - width * 0.47);
    snow.lineTo(wall.right() + width * 0.16, wall.top() + width * 0.02);
    snow.quadTo(wall.right(), wall.top() + width * 0.1, base.x() + width * 0.2,
                wall.top() - width * 0.02);
    snow.quadTo(base.x(), wall.top() + width * 0.08, base.x() - width * 0.25,
                wall.top() + width * 0.0);
    snow.quadTo(wall.left(), wall.top() + width * 0.12, wall.left() - width * 0.16,
                wall.top() + width * 0.02);
    painter.setBrush(
        vertical_gradient(wall.top() - width * 0.47, wall.top() + width * 0.1,
                          {{0.0, QColor(250, 252, 255)}, {1.0, QColor(190, 205, 240)}}));
    painter.drawPath(snow);
    painter.setBrush(QColor(245, 248, 255));
    painter.drawRoundedRect(
        QRectF(base.x() + width * 0.16, wall.top() - width * 0.54, width * 0.16, width * 0.06),
        width * 0.03, width * 0.03);
    // Two warm windows and a door.
    const double pane = width * 0.17;
    for (const double at : {-0.28, 0.12}) {
        const QRectF window(base.x() + width * at, wall.top() + wall_h * 0.28, pane, pane);
        paint_glow(painter, window.center(), pane * 1.6, QColor(255, 200, 120), 0.45);
        painter.setBrush(
            vertical_gradient(window.top(), window.bottom(),
                              {{0.0, QColor(255, 236, 170)}, {1.0, QColor(250, 170, 80)}}));
        painter.drawRect(window);
        painter.setBrush(QColor(60, 38, 30));
        painter.drawRect(QRectF(window.center().x() - pane * 0.05, window.top(), pane * 0.1, pane));
        painter.drawRect(
            QRectF(window.left(), window.center().y() - pane * 0.05, pane, pane * 0.1));
    }
    painter.setBrush(QColor(40, 26, 22));
    painter.drawRect(QRectF(base.x() - width * 0.05, wall.bottom() - wall_h * 0.55, width * 0.13,
                            wall_h * 0.55));
    // Smoke curling from the chimney.
    QPointF puff(base.x() + width * 0.24, wall.top() - width * 0.6);
    for (int i = 0; i < 6; ++i) {
        const double r = width * (0.06 + 0.035 * i);
        paint_glow(painter, puff, r, QColor(200, 210, 235), 0.28 - 0.04 * i);
        puff += QPointF(width * rng.range(0.02, 0.1), -width * 0.12);
    }
    painter.restore();
}

// Large snow crystals drifting in the sky above `horizon`, one to each slice
// of the width so they spread out, none inside `clear`.
void paint_crystals(QPainter& painter, MediaRandom& rng, const QRectF& area, double horizon,
                    int count, const QRectF& clear) {
    for (int i = 0; i < count; ++i) {
        for (int attempt = 0; attempt < 40; ++attempt) {
            const double across = (i + rng.range(0.1, 0.9)) / count;
            const QPointF at(area.left() + area.width() * across,
                             area.top() + area.height() * rng.range(0.04, 0.55));
            if (clear.contains(at) || at.y() > horizon - area.height() * 0.04) {
                continue;
            }
            const double size = area.height() * rng.range(0.012, 0.03);
            paint_snowflake(painter, at, size,
                            with_alpha(QColor(225, 236, 255), rng.range(0.35, 0.7)), 0.09);
            break;
        }
    }
}

}  // namespace

void paint_night_sky(QPainter& painter, const QRectF& area, double horizon_y) {
    painter.fillRect(area, vertical_gradient(area.top(), horizon_y,
                                             {{0.0, QColor(5, 9, 30)},
                                              {0.5, QColor(16, 30, 76)},
                                              {0.82, QColor(44, 66, 128)},
                                              {1.0, QColor(92, 108, 168)}}));
}

QLinearGradient far_hill_gradient(double top, double bottom) {
    return vertical_gradient(top, bottom,
                             {{0.0, QColor(168, 184, 226)}, {1.0, QColor(128, 146, 198)}});
}

QLinearGradient snow_drift_gradient(double top, double bottom) {
    return vertical_gradient(top, bottom,
                             {{0.0, QColor(246, 249, 255)}, {1.0, QColor(214, 224, 248)}});
}

void paint_winter_night(QPainter& painter, const QRectF& area, std::uint64_t seed,
                        const NightLayout& layout) {
    MediaRandom rng(seed);
    painter.save();
    painter.setClipRect(area);
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = area.width();
    const double h = area.height();
    const double x0 = area.left();
    const double y0 = area.top();
    const double horizon = y0 + h * layout.horizon;

    paint_night_sky(painter, area, horizon + h * 0.05);
    MediaRandom stars = rng.fork(1);
    const auto star_count = static_cast<int>(layout.star_density * w * (horizon - y0) / 1000.0);
    paint_stars(painter, stars, QRectF(x0, y0, w, horizon - y0), star_count,
                std::clamp(h / 260.0, 0.8, 2.4));
    const double moon_r = h * layout.moon_radius;
    MediaRandom moon = rng.fork(10);
    paint_moon(painter, moon, QPointF(x0 + w * layout.moon.x(), y0 + h * layout.moon.y()), moon_r,
               QColor(255, 251, 236), QColor(170, 190, 255));
    painter.setPen(Qt::NoPen);

    // Far mountains, their snowy faces catching the moonlight.
    MediaRandom far = rng.fork(2);
    const auto peaks = ridge_line(far, x0 - 4, x0 + w + 4, horizon - h * 0.07, h * 0.1, 0.55, 7);
    painter.setBrush(vertical_gradient(
        horizon - h * 0.2, horizon + h * 0.05,
        {{0.0, QColor(150, 165, 210)}, {0.5, QColor(96, 112, 168)}, {1.0, QColor(72, 88, 146)}}));
    painter.drawPath(area_below(peaks, y0 + h));

    // The far hills, with a line of small dark pines.
    MediaRandom hills = rng.fork(3);
    const auto far_hill = ridge_line(hills, x0 - 4, x0 + w + 4, horizon, h * 0.035, 0.45, 6);
    painter.setBrush(far_hill_gradient(horizon - h * 0.03, horizon + h * 0.12));
    painter.drawPath(smooth_area_below(far_hill, y0 + h));
    MediaRandom distant = rng.fork(4);
    const auto tree_count = static_cast<int>(w / std::max(h * 0.03, 3.0));
    for (int i = 0; i < tree_count; ++i) {
        if (!distant.chance(0.55)) {
            continue;
        }
        const double x = x0 + w * (i + distant.uniform()) / tree_count;
        paint_pine(painter, distant, QPointF(x, line_height(far_hill, x) + h * 0.012),
                   h * distant.range(0.035, 0.07), QColor(44, 62, 96), QColor(150, 165, 205), 0.3);
    }

    // The near hill of moonlit snow.
    MediaRandom near = rng.fork(5);
    const double near_top = horizon + h * 0.13;
    const auto near_hill = ridge_line(near, x0 - 4, x0 + w + 4, near_top, h * 0.05, 0.4, 5);
    painter.setBrush(vertical_gradient(near_top - h * 0.06, y0 + h,
                                       {{0.0, QColor(232, 238, 252)},
                                        {0.35, QColor(196, 210, 242)},
                                        {1.0, QColor(150, 170, 220)}}));
    painter.drawPath(smooth_area_below(near_hill, y0 + h));

    if (layout.cottage) {
        const double cx = x0 + w * layout.cottage_at;
        paint_cottage(painter, near, QPointF(cx, line_height(near_hill, cx) + h * 0.03), h * 0.14);
    }

    // Snowy pines on the near hill, gathered toward the sides.
    MediaRandom pines = rng.fork(6);
    for (int i = 0; i < layout.pines; ++i) {
        const bool left = i % 2 == 0;
        const double side = pines.uniform() * pines.uniform() * 0.3;
        const double fx = left ? side : 1.0 - side;
        const double x = x0 + w * fx;
        const double ground = line_height(near_hill, x) + h * pines.range(0.02, 0.12);
        paint_pine(painter, pines, QPointF(x, ground), h * pines.range(0.16, 0.3),
                   QColor(22, 58, 62), QColor(232, 240, 252), 0.4);
    }

    // The foreground drift, brightest along its crest.
    MediaRandom drift = rng.fork(7);
    const auto bank = ridge_line(drift, x0 - 4, x0 + w + 4, y0 + h * 0.93, h * 0.04, 0.4, 4);
    painter.setBrush(snow_drift_gradient(y0 + h * 0.86, y0 + h));
    painter.drawPath(smooth_area_below(bank, y0 + h + 2));

    MediaRandom crystals = rng.fork(9);
    paint_crystals(painter, crystals, area, horizon, layout.crystals,
                   QRectF(x0 + w * layout.lettering.x(), y0 + h * layout.lettering.y(),
                          w * layout.lettering.width(), h * layout.lettering.height()));

    MediaRandom flakes = rng.fork(8);
    paint_snowfall(painter, flakes, area, static_cast<int>(w * h / 900.0), 0.5,
                   std::clamp(h / 180.0, 1.0, 3.5), QColor(240, 245, 255));
    painter.restore();
}

void paint_snowflake(QPainter& painter, QPointF centre, double radius, const QColor& colour,
                     double weight) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(centre);
    QPen pen(colour, std::max(0.5, radius * weight));
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    for (int arm = 0; arm < 6; ++arm) {
        painter.save();
        painter.rotate(arm * 60.0 - 90.0);
        painter.drawLine(QPointF(0, 0), QPointF(radius, 0));
        for (const double at : {0.45, 0.72}) {
            const double side = radius * (at < 0.5 ? 0.3 : 0.2);
            const double a = 55.0 * kPi / 180.0;
            painter.drawLine(QPointF(radius * at, 0),
                             QPointF(radius * at + side * std::cos(a), side * std::sin(a)));
            painter.drawLine(QPointF(radius * at, 0),
                             QPointF(radius * at + side * std::cos(a), -side * std::sin(a)));
        }
        painter.restore();
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QPointF(0, 0), radius * (0.04 + weight), radius * (0.04 + weight));
    painter.restore();
}

QImage paint_winter_vignette(QSize size) {
    QImage canvas = new_canvas(size);
    {
        QPainter painter(&canvas);
        NightLayout layout;
        layout.horizon = 0.55;
        layout.moon = QPointF(0.72, 0.24);
        layout.moon_radius = 0.09;
        layout.pines = 3;
        paint_winter_night(painter, QRectF(QPointF(0, 0), QSizeF(size)), 0x5EED0B0Du, layout);
    }
    return finish_canvas(canvas, 0x5EED0B0Eu);
}

}  // namespace wm::media
