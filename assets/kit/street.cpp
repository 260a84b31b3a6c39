#include "assets/kit/street.h"

#include "assets/kit/building_snow.h"
#include "assets/kit/piece_basics.h"
#include "assets/kit/ridges.h"
#include "assets/kit/snow_lip.h"

#include <QPainterPath>

#include <algorithm>

namespace wm::media {

using namespace piece;

void paint_fence(QPainter& painter, MediaRandom& caller, const std::vector<QPointF>& ground,
                 double height, const QColor& wood, FenceKind kind, const Mood& mood) {
    MediaRandom rng = caller.split();
    if (ground.size() < 2 || !(height > 0.0) || !usable(height) ||
        !std::all_of(ground.begin(), ground.end(), [](QPointF p) { return usable(p); })) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const auto ground_at = [&ground](double x) { return line_height(ground, x); };
    const double left = ground.front().x();
    const double right = ground.back().x();
    const QColor lit = in_light(wood, mood, 0.9);
    const QColor shade = darker(lit, 0.3);
    const bool picket = kind == FenceKind::Picket;
    const double spacing = std::max(picket ? height * 0.34 : height * 1.7,
                                    (ground.back().x() - ground.front().x()) / 1000.0);
    const double post = picket ? spacing * 0.58 : height * 0.13;
    // Rails first, behind the pickets.
    const std::vector<double> rails =
        picket ? std::vector<double>{0.3, 0.72} : std::vector<double>{0.35, 0.78};
    const double rail = picket ? height * 0.07 : height * 0.11;
    const double step = std::max({2.0, spacing / 3, (right - left) / 1000.0});
    for (const double level : rails) {
        QPainterPath bar;
        bar.moveTo(left, ground_at(left) - height * level - rail / 2);
        for (double x = left + step; x < right + step; x += step) {
            const double at = std::min(x, right);
            bar.lineTo(at, ground_at(at) - height * level - rail / 2);
        }
        for (double x = right; x > left - step; x -= step) {
            const double at = std::max(x, left);
            bar.lineTo(at, ground_at(at) - height * level + rail / 2);
        }
        bar.closeSubpath();
        painter.setBrush(picket ? shade : lit);
        painter.drawPath(bar);
        if (!picket || level > 0.5) {
            for (double x = left; x < right; x += spacing) {
                const double to = std::min(right, x + spacing);
                paint_snow_lip(painter, rng, QPointF(x, ground_at(x) - height * level - rail / 2),
                               QPointF(to, ground_at(to) - height * level - rail / 2), rail * 0.8,
                               rail * 0.3, mood, false);
            }
        }
    }
    if (mood.shadow > 0.0) {
        // Each post's shadow stretched across the snow away from the light.
        painter.setBrush(with_alpha(mood.snow_shade, mood.shadow * 0.45));
        const QPointF fall(-mood.light_side * height * 1.1, height * 0.28);
        for (double x = left + spacing * 0.3; x < right; x += spacing) {
            const QPointF foot(x, ground_at(x));
            painter.drawPolygon(QPolygonF(
                {foot + QPointF(-post / 2, 0), foot + QPointF(post / 2, 0),
                 foot + fall + QPointF(post / 2, 0), foot + fall + QPointF(-post / 2, 0)}));
        }
    }
    for (double x = left + spacing * 0.3; x < right; x += spacing) {
        const double foot = ground_at(x);
        const double tall = height * (picket ? rng.range(0.97, 1.03) : 1.08);
        QPainterPath board;
        board.moveTo(x - post / 2, foot);
        board.lineTo(x - post / 2, foot - tall + (picket ? post * 0.5 : 0.0));
        if (picket) {
            board.lineTo(x, foot - tall);
        }
        board.lineTo(x + post / 2, foot - tall + (picket ? post * 0.5 : 0.0));
        board.lineTo(x + post / 2, foot);
        board.closeSubpath();
        QLinearGradient grain(x - post / 2, 0, x + post / 2, 0);
        grain.setColorAt(0.0, lighter(lit, 0.08));
        grain.setColorAt(1.0, shade);
        painter.setBrush(grain);
        painter.drawPath(board);
        // A cap of snow on the top.
        const double cap = post * (picket ? 0.5 : 0.55);
        QPainterPath hat;
        const double crown = foot - tall + (picket ? post * 0.2 : 0.0);
        hat.moveTo(x - post * 0.62, crown + cap * 0.55);
        hat.quadTo(x - post * 0.6, crown - cap * 1.1, x + rng.range(-0.1, 0.1) * post,
                   crown - cap * 1.05);
        hat.quadTo(x + post * 0.65, crown - cap * 1.0, x + post * 0.62, crown + cap * 0.5);
        hat.quadTo(x, crown + cap * 0.85, x - post * 0.62, crown + cap * 0.55);
        painter.setBrush(
            vertical_gradient(crown - cap, crown + cap,
                              {{0.0, mood.snow}, {1.0, mix(mood.snow, mood.snow_shade, 0.6)}}));
        painter.drawPath(hat);
    }
    // Snow banked along the foot.
    const double stretch = std::max(height * 2.0, (right - left) / 200.0);
    for (double x = left; x < right; x += stretch) {
        const double to = std::min(right, x + stretch);
        paint_drift(painter, rng, QPointF(x, ground_at(x)), QPointF(to, ground_at(to)),
                    height * 0.14, mood);
    }
    painter.restore();
}

void paint_lamp_post(QPainter& painter, MediaRandom& caller, QPointF base, double height,
                     const Mood& mood) {
    MediaRandom rng = caller.split();
    if (!(height > 0.0) || !usable(height) || !usable(base)) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    paint_light_pool(painter, base + QPointF(0, height * 0.03), height * 0.9, mood, 1.0);
    const QColor iron = in_light(QColor(40, 42, 48), mood, 0.9);
    const double foot = height * 0.05;
    const double lamp = height * 0.16;
    const double pole_top = base.y() - height + lamp * 1.2;
    QPainterPath pole;
    pole.moveTo(base.x() - foot * 0.8, base.y());
    pole.lineTo(base.x() - foot * 0.6, base.y() - height * 0.1);
    pole.lineTo(base.x() - foot * 0.25, base.y() - height * 0.14);
    pole.lineTo(base.x() - foot * 0.18, pole_top);
    pole.lineTo(base.x() + foot * 0.18, pole_top);
    pole.lineTo(base.x() + foot * 0.25, base.y() - height * 0.14);
    pole.lineTo(base.x() + foot * 0.6, base.y() - height * 0.1);
    pole.lineTo(base.x() + foot * 0.8, base.y());
    pole.closeSubpath();
    painter.setBrush(iron);
    painter.drawPath(pole);
    painter.drawRect(QRectF(base.x() - foot * 0.6, pole_top - foot * 0.2, foot * 1.2, foot * 0.3));
    // The lantern: glass widening upward under a hat.
    const QPointF lantern(base.x(), pole_top - lamp * 0.55);
    {
        const Additive light(painter);
        paint_glow(painter, lantern, height * 0.55, mood.lamp, 0.45 * mood.glow);
        paint_glow(painter, lantern, height * 0.16, lighter(mood.lamp, 0.3), 0.5 * mood.glow);
    }
    QPainterPath glass;
    glass.moveTo(lantern + QPointF(-lamp * 0.25, lamp * 0.5));
    glass.lineTo(lantern + QPointF(-lamp * 0.38, -lamp * 0.45));
    glass.lineTo(lantern + QPointF(lamp * 0.38, -lamp * 0.45));
    glass.lineTo(lantern + QPointF(lamp * 0.25, lamp * 0.5));
    glass.closeSubpath();
    QRadialGradient flame(lantern, lamp * 0.6);
    flame.setColorAt(0.0, lighter(mood.lamp, 0.75));
    flame.setColorAt(1.0, mix(mood.lamp, lighter(mood.lamp, 0.3), mood.glow));
    painter.setBrush(flame);
    painter.drawPath(glass);
    painter.setBrush(iron);
    painter.drawRect(
        QRectF(lantern.x() - lamp * 0.03, lantern.y() - lamp * 0.45, lamp * 0.06, lamp * 0.95));
    QPainterPath hat;
    hat.moveTo(lantern + QPointF(-lamp * 0.55, -lamp * 0.42));
    hat.lineTo(lantern + QPointF(0, -lamp * 0.85));
    hat.lineTo(lantern + QPointF(lamp * 0.55, -lamp * 0.42));
    hat.closeSubpath();
    painter.drawPath(hat);
    painter.drawEllipse(lantern + QPointF(0, -lamp * 0.9), lamp * 0.07, lamp * 0.07);
    paint_snow_lip(painter, rng, lantern + QPointF(-lamp * 0.5, -lamp * 0.5),
                   lantern + QPointF(0, -lamp * 0.8), lamp * 0.14, 0.0, mood, false);
    paint_snow_lip(painter, rng, lantern + QPointF(0, -lamp * 0.8),
                   lantern + QPointF(lamp * 0.5, -lamp * 0.5), lamp * 0.14, lamp * 0.04, mood,
                   false);
    paint_drift(painter, rng, base + QPointF(-foot * 2.2, 0), base + QPointF(foot * 2.2, 0),
                foot * 0.8, mood);
    painter.restore();
}

void paint_light_string(QPainter& painter, MediaRandom& caller, QPointF a, QPointF b, double sag,
                        int bulbs, double bulb_radius, double glow) {
    MediaRandom rng = caller.split();
    if (bulbs <= 0 || !(bulb_radius > 0.0) || !usable(bulb_radius) || !usable(a) || !usable(b) ||
        !usable(std::abs(sag))) {
        return;
    }
    bulbs = std::min(bulbs, 2000);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath wire;
    wire.moveTo(a);
    wire.quadTo((a + b) / 2 + QPointF(0, sag * 2), b);
    painter.setPen(QPen(QColor(25, 30, 25, 200), std::max(0.6, bulb_radius * 0.3)));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(wire);
    painter.setPen(Qt::NoPen);
    static const QColor kColours[] = {QColor(255, 70, 60), QColor(255, 200, 80),
                                      QColor(90, 220, 120), QColor(90, 160, 255),
                                      QColor(255, 140, 60)};
    const int offset = rng.below(5);
    for (int i = 0; i < bulbs; ++i) {
        const double t = (i + 0.5) / bulbs;
        const QPointF at = wire.pointAtPercent(t) + QPointF(0, bulb_radius * 0.9);
        const QColor colour = kColours[(i + offset) % 5];
        if (glow > 0.0) {
            const Additive light(painter);
            paint_glow(painter, at, bulb_radius * 6.0, colour, 0.4 * glow);
        }
        painter.setBrush(mix(colour, QColor(255, 255, 255), 0.35 * glow));
        painter.drawEllipse(at, bulb_radius * 0.8, bulb_radius);
    }
    painter.restore();
}

}  // namespace wm::media
