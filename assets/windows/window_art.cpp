#include "assets/windows/window_art.h"

#include "assets/kit/canvas.h"
#include "assets/kit/paint_kit.h"

#include <QPainterPath>
#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace wm::media {

namespace {

constexpr double kPi = std::numbers::pi;

void paint_sky(QPainter& painter, const QRectF& area, double horizon_y) {
    painter.fillRect(area, vertical_gradient(area.top(), horizon_y,
                                             {{0.0, QColor(5, 9, 30)},
                                              {0.5, QColor(16, 30, 76)},
                                              {0.82, QColor(44, 66, 128)},
                                              {1.0, QColor(92, 108, 168)}}));
}

void paint_moon(QPainter& painter, QPointF centre, double radius) {
    paint_glow(painter, centre, radius * 7.0, QColor(170, 190, 255), 0.22);
    paint_glow(painter, centre, radius * 2.6, QColor(225, 232, 255), 0.35);
    painter.save();
    painter.setPen(Qt::NoPen);
    QRadialGradient disc(centre - QPointF(radius * 0.3, radius * 0.3), radius * 1.4);
    disc.setColorAt(0.0, QColor(255, 253, 240));
    disc.setColorAt(1.0, QColor(226, 224, 206));
    painter.setBrush(disc);
    painter.drawEllipse(centre, radius, radius);
    // A few soft seas on its face.
    painter.setBrush(QColor(170, 170, 160, 40));
    painter.drawEllipse(centre + QPointF(radius * 0.25, -radius * 0.2), radius * 0.32,
                        radius * 0.26);
    painter.drawEllipse(centre + QPointF(-radius * 0.3, radius * 0.3), radius * 0.22, radius * 0.2);
    painter.drawEllipse(centre + QPointF(radius * 0.05, radius * 0.45), radius * 0.15,
                        radius * 0.12);
    painter.restore();
}

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

}  // namespace

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

    paint_sky(painter, area, horizon + h * 0.05);
    MediaRandom stars = rng.fork(1);
    const auto star_count = static_cast<int>(layout.star_density * w * (horizon - y0) / 1000.0);
    paint_stars(painter, stars, QRectF(x0, y0, w, horizon - y0), star_count,
                std::clamp(h / 260.0, 0.8, 2.4));
    const double moon_r = h * layout.moon_radius;
    paint_moon(painter, QPointF(x0 + w * layout.moon.x(), y0 + h * layout.moon.y()), moon_r);
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
    painter.setBrush(
        vertical_gradient(horizon - h * 0.03, horizon + h * 0.12,
                          {{0.0, QColor(168, 184, 226)}, {1.0, QColor(128, 146, 198)}}));
    painter.drawPath(smooth_area_below(far_hill, y0 + h));
    MediaRandom distant = rng.fork(4);
    const auto tree_count = static_cast<int>(w / std::max(h * 0.03, 3.0));
    for (int i = 0; i < tree_count; ++i) {
        if (!distant.chance(0.55)) {
            continue;
        }
        const double x = x0 + w * (i + distant.uniform()) / tree_count;
        const auto at = std::clamp(
            static_cast<std::size_t>((x - x0 + 4) / (w + 8) * static_cast<double>(far_hill.size())),
            std::size_t{0}, far_hill.size() - 1);
        paint_pine(painter, distant, QPointF(x, far_hill[at].y() + h * 0.012),
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
        const auto at = std::clamp(static_cast<std::size_t>((cx - x0 + 4) / (w + 8) *
                                                            static_cast<double>(near_hill.size())),
                                   std::size_t{0}, near_hill.size() - 1);
        paint_cottage(painter, near, QPointF(cx, near_hill[at].y() + h * 0.03), h * 0.14);
    }

    // Snowy pines on the near hill, gathered toward the sides.
    MediaRandom pines = rng.fork(6);
    for (int i = 0; i < layout.pines; ++i) {
        const bool left = i % 2 == 0;
        const double side = pines.uniform() * pines.uniform() * 0.3;
        const double fx = left ? side : 1.0 - side;
        const double x = x0 + w * fx;
        const auto at = std::clamp(static_cast<std::size_t>((x - x0 + 4) / (w + 8) *
                                                            static_cast<double>(near_hill.size())),
                                   std::size_t{0}, near_hill.size() - 1);
        const double ground = near_hill[at].y() + h * pines.range(0.02, 0.12);
        paint_pine(painter, pines, QPointF(x, ground), h * pines.range(0.16, 0.3),
                   QColor(22, 58, 62), QColor(232, 240, 252), 0.4);
    }

    // The foreground drift, with a soft blue shadow along its crest.
    MediaRandom drift = rng.fork(7);
    const auto bank = ridge_line(drift, x0 - 4, x0 + w + 4, y0 + h * 0.93, h * 0.04, 0.4, 4);
    painter.setBrush(vertical_gradient(
        y0 + h * 0.86, y0 + h, {{0.0, QColor(246, 249, 255)}, {1.0, QColor(214, 224, 248)}}));
    painter.drawPath(smooth_area_below(bank, y0 + h + 2));

    MediaRandom crystals = rng.fork(9);
    const QRectF clear(x0 + w * layout.lettering.x(), y0 + h * layout.lettering.y(),
                       w * layout.lettering.width(), h * layout.lettering.height());
    // One crystal to each slice of the width, so they spread across the sky.
    for (int i = 0; i < layout.crystals; ++i) {
        for (int attempt = 0; attempt < 40; ++attempt) {
            const double across = (i + crystals.range(0.1, 0.9)) / layout.crystals;
            const QPointF at(x0 + w * across, y0 + h * crystals.range(0.04, 0.55));
            if (clear.contains(at) || at.y() > horizon - h * 0.04) {
                continue;
            }
            const double size = h * crystals.range(0.012, 0.03);
            paint_snowflake(painter, at, size,
                            with_alpha(QColor(225, 236, 255), crystals.range(0.35, 0.7)), 0.09);
            break;
        }
    }

    MediaRandom flakes = rng.fork(8);
    paint_snowfall(painter, flakes, area, static_cast<int>(w * h / 900.0), 0.5,
                   std::clamp(h / 180.0, 1.0, 3.5), QColor(240, 245, 255));
    painter.restore();
}

void paint_robin(QPainter& painter, QPointF feet, double height, bool facing_right) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(feet);
    painter.scale(facing_right ? height : -height, height);
    painter.setPen(Qt::NoPen);

    const QColor brown(112, 86, 62);
    const QColor dark_brown(70, 52, 40);
    const QColor breast(226, 96, 44);
    const QColor belly(240, 236, 226);

    // Legs.
    QPen leg(QColor(60, 40, 34), 0.035);
    leg.setCapStyle(Qt::RoundCap);
    painter.setPen(leg);
    painter.drawLine(QPointF(-0.02, -0.2), QPointF(-0.05, 0.0));
    painter.drawLine(QPointF(0.1, -0.2), QPointF(0.1, 0.0));
    painter.setPen(Qt::NoPen);

    // Tail, tilted up behind.
    QPainterPath tail;
    tail.moveTo(-0.28, -0.42);
    tail.lineTo(-0.78, -0.2);
    tail.quadTo(-0.8, -0.1, -0.72, -0.08);
    tail.lineTo(-0.22, -0.28);
    tail.closeSubpath();
    painter.setBrush(dark_brown);
    painter.drawPath(tail);

    // Round body and head.
    QPainterPath bird;
    bird.addEllipse(QPointF(0.0, -0.44), 0.42, 0.34);
    bird.addEllipse(QPointF(0.26, -0.78), 0.24, 0.23);
    bird.setFillRule(Qt::WindingFill);
    QRadialGradient body(QPointF(-0.05, -0.75), 0.75);
    body.setColorAt(0.0, brown.lighter(125));
    body.setColorAt(1.0, dark_brown);
    painter.setBrush(body);
    painter.drawPath(bird);

    // The red breast and face, then the pale belly, both inside the body.
    painter.save();
    painter.setClipPath(bird);
    QRadialGradient red(QPointF(0.3, -0.6), 0.45);
    red.setColorAt(0.0, breast.lighter(115));
    red.setColorAt(0.7, breast);
    red.setColorAt(1.0, breast.darker(140));
    painter.setBrush(red);
    painter.drawEllipse(QPointF(0.26, -0.55), 0.3, 0.34);
    painter.setBrush(belly);
    painter.drawEllipse(QPointF(0.05, -0.12), 0.34, 0.18);
    painter.restore();

    // The folded wing.
    painter.save();
    painter.translate(-0.08, -0.5);
    painter.rotate(-18.0);
    QLinearGradient wing(QPointF(0.0, -0.18), QPointF(0.0, 0.18));
    wing.setColorAt(0.0, brown);
    wing.setColorAt(1.0, dark_brown);
    painter.setBrush(wing);
    painter.drawEllipse(QPointF(0.0, 0.0), 0.32, 0.17);
    painter.setPen(QPen(QColor(50, 38, 30, 150), 0.018));
    painter.drawLine(QPointF(-0.2, 0.04), QPointF(0.15, 0.02));
    painter.drawLine(QPointF(-0.24, 0.1), QPointF(0.08, 0.09));
    painter.restore();

    // Beak and eye with its glint.
    QPainterPath beak;
    beak.moveTo(0.46, -0.83);
    beak.lineTo(0.6, -0.78);
    beak.lineTo(0.46, -0.74);
    beak.closeSubpath();
    painter.setBrush(QColor(50, 36, 30));
    painter.drawPath(beak);
    painter.setBrush(QColor(20, 14, 12));
    painter.drawEllipse(QPointF(0.34, -0.84), 0.05, 0.05);
    painter.setBrush(QColor(255, 255, 255, 220));
    painter.drawEllipse(QPointF(0.35, -0.855), 0.016, 0.016);
    painter.restore();
}

QPointF paint_snowy_twig(QPainter& painter, MediaRandom& rng, QPointF from, QPointF to,
                         double thickness, double perch_at) {
    const QPointF d = to - from;
    const double length = std::hypot(d.x(), d.y());
    if (length <= 0.0 || thickness <= 0.0) {
        return from;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QPointF forward = d / length;
    const QPointF normal(-forward.y(), forward.x());
    const QPointF up = normal.y() < 0 ? normal : -normal;
    // A gentle sag along the middle.
    constexpr int kSteps = 32;
    std::vector<QPointF> spine;
    std::vector<double> width;
    for (int i = 0; i <= kSteps; ++i) {
        const double t = static_cast<double>(i) / kSteps;
        spine.push_back(from + d * t - up * (length * 0.04 * 4.0 * t * (1.0 - t)));
        width.push_back(thickness * (1.0 - 0.65 * t));
    }
    const auto point_at = [&](double t) {
        const auto i = std::clamp(static_cast<std::size_t>(std::lround(t * kSteps)), std::size_t{0},
                                  spine.size() - 1);
        return i;
    };

    // Side shoots reaching forward and up, snow lying along each.
    QPainterPath wood;
    std::vector<QPainterPath> tufts;
    for (const double t : {0.28, 0.55, 0.78}) {
        const std::size_t at = point_at(t);
        const QPointF base = spine[at] + up * width[at] * 0.2;
        const double w = width[at] * 0.4;
        const double reach = length * rng.range(0.2, 0.26) * (1.0 - 0.4 * t);
        const QPointF tip = base + forward * (reach * 0.82) + up * (reach * 0.57);
        const QPointF bow = (base + tip) / 2.0 + up * (reach * 0.06) - forward * (reach * 0.04);
        QPainterPath shoot;
        shoot.moveTo(base - forward * w);
        shoot.quadTo(bow - forward * (w * 0.5), tip);
        shoot.quadTo(bow + forward * (w * 0.8) - up * (w * 0.4), base + forward * w);
        shoot.closeSubpath();
        wood.addPath(shoot);
        QPainterPath line;
        const QPointF lift = up * (w * 0.75) - forward * (w * 0.3);
        line.moveTo(base + (tip - base) * 0.25 + lift);
        line.quadTo(bow + lift, base + (tip - base) * 0.78 + lift * 0.8);
        QPainterPathStroker stroker;
        stroker.setWidth(w * 1.3);
        stroker.setCapStyle(Qt::RoundCap);
        tufts.push_back(stroker.createStroke(line));
    }
    QPainterPath limb;
    limb.moveTo(spine.front() + up * width.front() / 2);
    for (std::size_t i = 1; i < spine.size(); ++i) {
        limb.lineTo(spine[i] + up * width[i] / 2);
    }
    limb.quadTo(spine.back() + forward * width.back(), spine.back() - up * width.back() / 2);
    for (std::size_t i = spine.size(); i-- > 0;) {
        limb.lineTo(spine[i] - up * width[i] / 2);
    }
    limb.closeSubpath();
    wood.addPath(limb);
    wood.setFillRule(Qt::WindingFill);
    QLinearGradient bark(from + up * thickness * 0.5, from - up * thickness * 0.5);
    bark.setColorAt(0.0, QColor(122, 92, 70));
    bark.setColorAt(0.45, QColor(78, 56, 44));
    bark.setColorAt(1.0, QColor(40, 28, 26));
    painter.setBrush(bark);
    painter.drawPath(wood);

    // Red berries hanging under the limb.
    const std::size_t cluster = point_at(0.66);
    const double berry = std::max(1.2, thickness * 0.32);
    for (const QPointF offset : {QPointF(-1.1, 1.5), QPointF(0.9, 1.7), QPointF(0.0, 2.9)}) {
        const QPointF centre =
            spine[cluster] + forward * (offset.x() * berry) - up * (offset.y() * berry);
        QRadialGradient shine(centre - QPointF(berry * 0.35, berry * 0.35), berry * 1.2);
        shine.setColorAt(0.0, QColor(255, 120, 110));
        shine.setColorAt(0.5, QColor(200, 24, 30));
        shine.setColorAt(1.0, QColor(110, 8, 20));
        painter.setBrush(shine);
        painter.drawEllipse(centre, berry, berry);
    }

    // Snow along the top of the limb, lumpy, thinning toward the tip.
    QPainterPath snow;
    std::vector<QPointF> crest;
    // Soft drifts rather than jitter: depths at every fourth step, eased between.
    std::vector<double> drifts(kSteps / 4 + 2);
    for (double& drift : drifts) {
        drift = rng.range(0.6, 1.25);
    }
    for (std::size_t i = 0; i < spine.size(); ++i) {
        const double t = static_cast<double>(i) / kSteps;
        const double f = static_cast<double>(i) / 4.0;
        const auto k = static_cast<std::size_t>(f);
        const double e = (f - static_cast<double>(k)) * (f - static_cast<double>(k)) *
                         (3.0 - 2.0 * (f - static_cast<double>(k)));
        const double drift = drifts[k] + (drifts[k + 1] - drifts[k]) * e;
        const double lump = thickness * (0.8 - 0.5 * t) * drift;
        crest.push_back(spine[i] + up * (width[i] * 0.5 + lump));
    }
    snow.moveTo(spine.front() + up * width.front() * 0.1);
    snow.lineTo(crest.front());
    for (std::size_t i = 1; i + 1 < crest.size(); ++i) {
        snow.quadTo(crest[i], (crest[i] + crest[i + 1]) / 2.0);
    }
    snow.lineTo(crest.back());
    snow.quadTo(spine.back() + forward * width.back() * 1.5,
                spine.back() + up * width.back() * 0.1);
    for (std::size_t i = spine.size(); i-- > 0;) {
        const double sag = (i % 3 == 1) ? 0.05 : 0.2;
        snow.lineTo(spine[i] + up * width[i] * sag);
    }
    snow.closeSubpath();
    for (const QPainterPath& tuft : tufts) {
        snow.addPath(tuft);
    }
    snow.setFillRule(Qt::WindingFill);
    const QPainterPath blanket = snow.simplified();
    QLinearGradient shade(from + up * thickness * 1.6, from);
    shade.setColorAt(0.0, QColor(253, 254, 255));
    shade.setColorAt(0.6, QColor(232, 240, 255));
    shade.setColorAt(1.0, QColor(178, 196, 238));
    painter.setBrush(shade);
    painter.setPen(QPen(QColor(120, 142, 196, 190), std::max(0.6, thickness * 0.09)));
    painter.drawPath(blanket);
    painter.restore();

    const std::size_t perch = point_at(perch_at);
    return spine[perch] + up * (width[perch] * 0.5 + thickness * 0.35);
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
