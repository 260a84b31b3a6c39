#include "assets/bird/robin_painter.h"

#include "assets/bird/wing_shape.h"
#include "assets/kit/paint_kit.h"
#include "sprites/sheet_layout.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace wm::media {

namespace {

// Where the body's centre sits in the cell when the body is at rest.
const QPointF kBodyCentre(77.0, 84.0);
// Cell pixels per unit of the drawing.
constexpr double kBirdSize = 1.2;

// Plumage.
const QColor kBack(116, 94, 64);
const QColor kBackLight(150, 126, 88);
const QColor kOrange(228, 104, 42);
const QColor kOrangeLight(248, 150, 80);
const QColor kBlueGrey(150, 158, 166);
const QColor kBelly(238, 234, 224);
const QColor kUndertail(226, 212, 186);
const QColor kInk(34, 25, 19);
const QColor kEye(20, 15, 13);
const QColor kBeakUpper(56, 46, 40);
const QColor kBeakLower(92, 78, 64);
const QColor kTail(134, 98, 64);
const QColor kTailTip(96, 70, 46);

// Feathers, upper side and underside, at their base and at their tip.
struct FeatherColours {
    QColor upper_base, upper_tip, under_base, under_tip;
};
const FeatherColours kPrimaryColours{QColor(108, 86, 60), QColor(64, 50, 36), QColor(184, 170, 150),
                                     QColor(118, 106, 94)};
const FeatherColours kSecondaryColours{QColor(118, 94, 64), QColor(82, 64, 46),
                                       QColor(190, 174, 154), QColor(136, 122, 106)};
const FeatherColours kCovertColours{QColor(140, 114, 76), QColor(112, 90, 60),
                                    QColor(214, 168, 118), QColor(196, 150, 104)};

// A smooth closed path through `points` (Catmull-Rom curves).
QPainterPath smooth_closed(const QPolygonF& p) {
    const auto n = static_cast<int>(p.size());
    if (n < 3) {
        return {};
    }
    QPainterPath path(p[0]);
    for (int i = 0; i < n; ++i) {
        const QPointF& p0 = p[(i + n - 1) % n];
        const QPointF& p1 = p[i];
        const QPointF& p2 = p[(i + 1) % n];
        const QPointF& p3 = p[(i + 2) % n];
        path.cubicTo(p1 + (p2 - p0) / 6.0, p2 - (p3 - p1) / 6.0, p2);
    }
    path.closeSubpath();
    return path;
}

QPainterPath ellipse(QPointF centre, double rx, double ry, double degrees) {
    QPainterPath path;
    path.addEllipse(QPointF(0, 0), rx, ry);
    QTransform turn;
    turn.translate(centre.x(), centre.y());
    turn.rotate(degrees);
    return turn.map(path);
}

// Side a surface shows: 0 underside .. 1 upper side, with a soft turn.
double upper_share(double facing) {
    const double t = std::clamp((facing + 0.25) / 0.5, 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

QColor shaded(const QColor& colour, double light) {
    const auto channel = [light](int value) {
        return std::clamp(static_cast<int>(std::lround(value * light)), 0, 255);
    };
    return {channel(colour.red()), channel(colour.green()), channel(colour.blue())};
}

// A feather's colour from base to tip, by the side it shows and the light on it.
QLinearGradient feather_fill(const FeatherOutline& feather, const FeatherColours& colours,
                             double light) {
    const double upper = upper_share(feather.facing);
    // Seen edge-on a feather catches less light.
    const double tone = light * (0.8 + 0.2 * std::min(1.0, std::abs(feather.facing) * 2.0));
    QLinearGradient fill(feather.root, feather.tip);
    fill.setColorAt(0.0, shaded(mix(colours.under_base, colours.upper_base, upper), tone));
    fill.setColorAt(1.0, shaded(mix(colours.under_tip, colours.upper_tip, upper), tone));
    return fill;
}

QPen feather_edge() {
    return QPen(shaded(kInk, 1.2), 0.45, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void paint_wing(QPainter& painter, const WingOutline& wing, double light) {
    for (const FeatherOutline& feather : wing.feathers) {
        painter.setBrush(
            feather_fill(feather, feather.primary ? kPrimaryColours : kSecondaryColours, light));
        painter.setPen(feather_edge());
        painter.drawPolygon(feather.outline);
        // The shaft, a fine pale line toward the tip.
        painter.setPen(QPen(with_alpha(QColor(226, 210, 180), 0.35), 0.3));
        painter.drawLine(feather.root, feather.root + (feather.tip - feather.root) * 0.85);
    }
    for (const FeatherOutline& row : wing.coverts) {
        painter.setBrush(feather_fill(row, kCovertColours, light));
        painter.setPen(feather_edge());
        painter.drawPath(smooth_closed(row.outline));
    }
}

void paint_tail(QPainter& painter) {
    // Six feathers in a narrow fan, the outer ones underneath.
    for (const double k : {2.5, -2.5, 1.5, -1.5, 0.5, -0.5}) {
        painter.save();
        painter.translate(-14.0, 2.5 - 0.6 * k);
        painter.rotate(175.0 + 3.6 * k);
        const double length = 31.0 - std::abs(k) * 1.2;
        QPainterPath feather;
        feather.moveTo(0.0, -2.4);
        feather.lineTo(length - 3.5, -3.3);
        feather.quadTo(length + 0.6, -3.2, length, 0.0);
        feather.quadTo(length + 0.6, 3.2, length - 3.5, 3.3);
        feather.lineTo(0.0, 2.4);
        feather.closeSubpath();
        QLinearGradient fill(0.0, 0.0, length, 0.0);
        fill.setColorAt(0.0, kTail);
        fill.setColorAt(1.0, kTailTip);
        painter.setBrush(fill);
        painter.setPen(QPen(with_alpha(kInk, 0.75), 0.4));
        painter.drawPath(feather);
        painter.setPen(QPen(with_alpha(QColor(214, 190, 150), 0.3), 0.3));
        painter.drawLine(QPointF(2.0, 0.0), QPointF(length - 2.0, 0.0));
        painter.restore();
    }
}

// The head and body in their plumage, painted into a layer of their own so
// the colour patches can be laid on with the silhouette as their limit.
void paint_body(QPainter& target) {
    QImage layer(target.device()->width(), target.device()->height(),
                 QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    QPainter painter(&layer);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(target.transform());
    painter.setPen(Qt::NoPen);

    const QPainterPath body = ellipse(QPointF(-1.0, 3.0), 25.0, 19.5, -10.0);
    const QPainterPath head = ellipse(QPointF(21.0, -10.0), 13.0, 13.0, 0.0);
    const QPainterPath neck = ellipse(QPointF(12.0, -4.0), 14.0, 14.0, 0.0);
    const QPainterPath undertail = ellipse(QPointF(-17.0, 10.0), 8.0, 5.0, -20.0);
    painter.setBrush(kUndertail);
    painter.drawPath(undertail);
    const QPainterPath silhouette = body.united(neck).united(head);
    painter.setBrush(kBack);
    painter.drawPath(silhouette);

    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    // The back catches the light from above.
    QLinearGradient back(0.0, -24.0, 0.0, 10.0);
    back.setColorAt(0.0, kBackLight);
    back.setColorAt(1.0, kBack);
    painter.setBrush(back);
    painter.drawRect(QRectF(-30.0, -25.0, 64.0, 50.0));

    const QPainterPath breast = smooth_closed({{31.0, -17.0},
                                               {26.5, -20.5},
                                               {20.0, -19.5},
                                               {14.0, -16.0},
                                               {10.0, -9.0},
                                               {5.0, -3.0},
                                               {-2.0, 5.0},
                                               {-5.0, 13.0},
                                               {0.0, 19.5},
                                               {9.0, 21.5},
                                               {19.0, 14.0},
                                               {26.0, 4.0},
                                               {31.0, -3.0},
                                               {34.0, -8.0},
                                               {35.0, -12.0}});
    painter.setPen(QPen(kBlueGrey, 5.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(breast);
    // A few soft feather edges on the back.
    painter.setPen(QPen(with_alpha(shaded(kBack, 0.6), 0.45), 0.6, Qt::SolidLine, Qt::RoundCap));
    for (const QPointF at : {QPointF(-17.0, -4.0), QPointF(-11.0, -9.0), QPointF(-5.0, -13.0),
                             QPointF(-13.0, 2.0), QPointF(-7.0, -3.0), QPointF(-20.0, 4.0)}) {
        painter.drawArc(QRectF(at - QPointF(3.0, 3.0), QSizeF(6.0, 5.0)), 200 * 16, 140 * 16);
    }
    painter.setPen(Qt::NoPen);
    QRadialGradient belly(QPointF(-2.0, 13.0), 22.0);
    belly.setColorAt(0.0, kBelly);
    belly.setColorAt(0.6, kBelly);
    belly.setColorAt(1.0, kUndertail);
    painter.setBrush(belly);
    painter.drawPath(ellipse(QPointF(-4.0, 15.0), 21.0, 11.0, -12.0));
    QRadialGradient orange(QPointF(20.0, 0.0), 26.0);
    orange.setColorAt(0.0, kOrangeLight);
    orange.setColorAt(0.55, kOrange);
    orange.setColorAt(1.0, shaded(kOrange, 0.85));
    painter.setBrush(orange);
    painter.drawPath(breast);

    // Roundness: light from above and in front, shade underneath and behind.
    QRadialGradient round(QPointF(14.0, -12.0), 46.0);
    round.setColorAt(0.0, with_alpha(Qt::white, 0.10));
    round.setColorAt(0.45, with_alpha(Qt::black, 0.0));
    round.setColorAt(1.0, with_alpha(Qt::black, 0.40));
    painter.setBrush(round);
    painter.drawRect(QRectF(-30.0, -25.0, 64.0, 50.0));

    // The sky's light along the crown and back, so the bird stands out on a
    // night sky too.
    QLinearGradient sheen(0.0, -24.0, 0.0, -4.0);
    sheen.setColorAt(0.0, with_alpha(QColor(255, 246, 226), 0.55));
    sheen.setColorAt(1.0, with_alpha(QColor(255, 246, 226), 0.0));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QBrush(sheen), 2.6));
    painter.drawPath(silhouette);
    painter.end();

    target.save();
    target.resetTransform();
    target.drawImage(QPoint(0, 0), layer);
    target.restore();
}

void paint_head_details(QPainter& painter) {
    // Beak: a fine dark upper mandible over a paler lower one.
    QPolygonF upper;
    upper << QPointF(32.0, -14.2) << QPointF(43.0, -10.8) << QPointF(33.5, -10.4);
    QPolygonF lower;
    lower << QPointF(33.5, -10.6) << QPointF(41.5, -10.4) << QPointF(32.5, -7.6);
    painter.setPen(QPen(kInk, 0.45, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(kBeakLower);
    painter.drawPolygon(lower);
    painter.setBrush(kBeakUpper);
    painter.drawPolygon(upper);

    // The eye, large and dark, with a bright catch-light.
    const QPointF eye(25.5, -12.0);
    QRadialGradient iris(eye + QPointF(-0.8, 0.8), 3.4);
    iris.setColorAt(0.0, QColor(48, 34, 28));
    iris.setColorAt(1.0, kEye);
    painter.setPen(QPen(QColor(70, 50, 38), 0.4));
    painter.setBrush(iris);
    painter.drawEllipse(eye, 3.2, 3.2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(eye + QPointF(1.1, -1.2), 1.1, 1.1);
    painter.setBrush(with_alpha(Qt::white, 0.55));
    painter.drawEllipse(eye + QPointF(-1.2, 1.3), 0.5, 0.5);
}

}  // namespace

void paint_robin(QImage& canvas, const FlapPose& pose) {
    const double scale = static_cast<double>(canvas.width()) / kCellSize;
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    painter.translate(kBodyCentre - QPointF(0.0, pose.lift));
    painter.scale(kBirdSize, kBirdSize);

    // The far wing lies behind the body, in its shadow.
    paint_wing(painter, wing_outline(pose, WingSide::Far), 0.55);
    paint_tail(painter);
    paint_body(painter);
    paint_head_details(painter);
    paint_wing(painter, wing_outline(pose, WingSide::Near), 1.0);
}

}  // namespace wm::media
