#include "assets/kit/buildings.h"

#include "assets/kit/paint_kit.h"

#include <QTransform>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace wm::media {

namespace {

// How far a side wall rises on the screen for each pixel it recedes, and how
// much shorter it looks than it is.
constexpr double kRise = 0.22;
constexpr double kForeshorten = 0.6;
// The largest size, in pixels, any part is painted at; larger or non-finite
// sizes are refused, so bad input cannot spin a loop for ever.
constexpr double kLargest = 8192.0;

bool usable(double size) {
    return std::isfinite(size) && size >= 0.0 && size <= kLargest;
}

// A generator of a helper's own, seeded by one draw from the caller's: the
// caller's sequence moves on by exactly one number however much detail the
// helper paints, so a scene's layout does not shift with the picture's size.
MediaRandom own_stream(MediaRandom& caller) {
    return caller.fork(caller.next());
}

bool usable(QPointF point) {
    return std::isfinite(point.x()) && std::isfinite(point.y()) &&
           std::abs(point.x()) <= kLargest * 4 && std::abs(point.y()) <= kLargest * 4;
}

QPointF lerp(QPointF a, QPointF b, double t) {
    return a + (b - a) * t;
}

double length(QPointF v) {
    return std::hypot(v.x(), v.y());
}

QColor darker(const QColor& colour, double t) {
    return mix(colour, QColor(0, 0, 0), t);
}

QColor lighter(const QColor& colour, double t) {
    return mix(colour, QColor(255, 255, 255), t);
}

// A surface's colour in the mood: sunk toward the ambient light by the dark,
// darker still the more it is turned from the light (`facing` 1 .. 0).
QColor in_light(const QColor& colour, const Mood& mood, double facing) {
    const QColor night = mix(colour, mood.ambient, mood.darkness * 0.8);
    return mix(night, darker(mood.ambient, 0.45), (1.0 - facing) * 0.45);
}

// Plus-blending for light: glows brighten what is under them.
class Additive {
  public:
    explicit Additive(QPainter& painter) : painter_(painter) {
        painter_.save();
        painter_.setCompositionMode(QPainter::CompositionMode_Plus);
    }
    ~Additive() { painter_.restore(); }
    Additive(const Additive&) = delete;
    Additive& operator=(const Additive&) = delete;

  private:
    QPainter& painter_;
};

// A ring of snow heaped along a -> b on the ground, up to `height` high.
QPainterPath drift_path(MediaRandom& rng, QPointF a, QPointF b, double height) {
    QPainterPath path;
    const int bumps = std::clamp(static_cast<int>(length(b - a) / (height * 2.5)), 2, 200);
    path.moveTo(a + QPointF(0, height * 0.4));
    path.quadTo(a + QPointF(0, -height * 0.3),
                lerp(a, b, 0.5 / bumps) + QPointF(0, -height * rng.range(0.6, 1.0)));
    for (int i = 1; i < bumps; ++i) {
        const double t = (i + 0.5) / bumps;
        const QPointF top = lerp(a, b, t) + QPointF(0, -height * rng.range(0.55, 1.0));
        const QPointF dip =
            lerp(a, b, static_cast<double>(i) / bumps) + QPointF(0, -height * rng.range(0.5, 0.8));
        path.quadTo(dip, top);
    }
    path.quadTo(b + QPointF(0, -height * 0.3), b + QPointF(0, height * 0.4));
    path.closeSubpath();
    return path;
}

void paint_drift(QPainter& painter, MediaRandom& rng, QPointF a, QPointF b, double height,
                 const Mood& mood) {
    const QPainterPath path = drift_path(rng, a, b, height);
    const QRectF box = path.boundingRect();
    painter.setPen(Qt::NoPen);
    painter.setBrush(vertical_gradient(box.top(), box.bottom(),
                                       {{0.0, mood.snow},
                                        {0.6, mix(mood.snow, mood.snow_shade, 0.25)},
                                        {1.0, mix(mood.snow, mood.snow_shade, 0.35)}}));
    painter.drawPath(path);
}

// A pool of warm light on the snow at `centre`: the snow takes on the
// lamp's colour rather than burning to white.
void paint_light_pool(QPainter& painter, QPointF centre, double radius, const Mood& mood,
                      double strength) {
    if (mood.glow <= 0.0 || strength <= 0.0) {
        return;
    }
    painter.save();
    painter.translate(centre);
    painter.scale(1.0, 0.3);
    paint_glow(painter, QPointF(0, 0), radius, lighter(mood.lamp, 0.15),
               0.6 * mood.glow * strength);
    painter.restore();
}

// The smallest convex polygon around `points` (counter-clockwise on screen).
QPolygonF convex_hull(std::vector<QPointF> points) {
    if (points.size() < 3) {
        return QPolygonF(QList<QPointF>(points.begin(), points.end()));
    }
    std::sort(points.begin(), points.end(), [](QPointF a, QPointF b) {
        return a.x() < b.x() || (a.x() == b.x() && a.y() < b.y());
    });
    const auto turn = [](QPointF o, QPointF a, QPointF b) {
        return (a.x() - o.x()) * (b.y() - o.y()) - (a.y() - o.y()) * (b.x() - o.x());
    };
    std::vector<QPointF> hull;
    for (int pass = 0; pass < 2; ++pass) {
        const std::size_t start = hull.size();
        for (const QPointF& point : points) {
            while (hull.size() >= start + 2 &&
                   turn(hull[hull.size() - 2], hull.back(), point) <= 0.0) {
                hull.pop_back();
            }
            hull.push_back(point);
        }
        hull.pop_back();
        std::reverse(points.begin(), points.end());
    }
    return QPolygonF(QList<QPointF>(hull.begin(), hull.end()));
}

// The shadow a box standing on `footprint` casts on the snow along `fall`:
// soft-edged, fading away from its foot.
void paint_cast_shadow(QPainter& painter, const QPolygonF& footprint, QPointF fall,
                       const Mood& mood) {
    if (mood.shadow <= 0.0 || footprint.size() < 3) {
        return;
    }
    painter.save();
    painter.setPen(Qt::NoPen);
    const QPointF centre = footprint.boundingRect().center();
    const QColor shade = darker(mood.snow_shade, 0.1);
    // Three overlapping shapes, each a little longer and fainter: a penumbra.
    for (const double reach : {0.8, 1.0, 1.2}) {
        std::vector<QPointF> corners;
        for (const QPointF& corner : footprint) {
            corners.push_back(corner);
            corners.push_back(corner + fall * reach);
        }
        const QPolygonF outline = convex_hull(corners);
        QLinearGradient fade(centre, centre + fall * reach);
        fade.setColorAt(0.0, with_alpha(shade, mood.shadow * 0.4));
        fade.setColorAt(1.0, with_alpha(shade, 0.0));
        painter.setBrush(fade);
        painter.drawPolygon(outline);
    }
    painter.restore();
}

// ----- walls ---------------------------------------------------------------

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
                    const QColor tone =
                        mix(colour, rng.chance(0.5) ? lighter(colour, 0.3) : darker(colour, 0.25),
                            rng.range(0.1, 0.5));
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

struct FaceLook {
    double width;
    double height;
    double gable;
    WallKind kind;
    QColor colour;  // already in the mood's light
    QColor trim;
    int floors;
};

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

// ----- doors ---------------------------------------------------------------

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

// ----- roofs and chimneys --------------------------------------------------

// Snow on a roof slope turned `facing` (1 .. 0) to the light.
QColor roof_snow(const Mood& mood, double facing) {
    return mix(mood.snow, mood.snow_shade, (1.0 - facing) * 0.8);
}

void paint_chimney(QPainter& painter, MediaRandom& rng, QPointF foot, double width, double rise,
                   double roof_facing, const Mood& mood, bool smoke) {
    painter.save();
    painter.setPen(Qt::NoPen);
    const QColor brick(150, 72, 55);
    const double top = foot.y() - rise;
    const QPointF back(width * 0.45, -width * 0.45 * kRise);
    const QRectF front(foot.x() - width / 2, top, width, rise + width * 0.6);
    // Side face, then the front with courses of bricks.
    QPolygonF side;
    side << front.topRight() << front.topRight() + back << front.bottomRight() + back
         << front.bottomRight();
    painter.setBrush(in_light(brick, mood, 0.45));
    painter.drawPolygon(side);
    const QColor face = in_light(brick, mood, 0.85);
    painter.setBrush(face);
    painter.drawRect(front);
    painter.setPen(QPen(darker(face, 0.3), std::max(0.6, width / 30.0)));
    const double course = std::max(width / 4.0, (rise + width) / 40.0);
    int row = 0;
    for (double y = top + course; y < front.bottom(); y += course, ++row) {
        painter.drawLine(QPointF(front.left(), y), QPointF(front.right(), y));
        const double offset = (row % 2) != 0 ? width / 4.0 : width / 2.0;
        painter.drawLine(QPointF(front.left() + offset, y - course),
                         QPointF(front.left() + offset, y));
    }
    painter.setPen(Qt::NoPen);
    // The cap, snow on it, snow heaped at its foot.
    const QRectF cap(front.left() - width * 0.12, top - width * 0.12, width * 1.24, width * 0.2);
    painter.setBrush(in_light(QColor(90, 80, 80), mood, 0.8));
    painter.drawRect(cap);
    paint_snow_lip(painter, rng, cap.topLeft() + QPointF(width * 0.05, 0),
                   cap.topRight() + back * 0.7, width * 0.22, width * 0.05, mood, false);
    QPainterPath mound;
    mound.moveTo(foot.x() - width * 1.1, foot.y() + width * 0.65);
    mound.cubicTo(foot.x() - width * 0.7, foot.y() + width * 0.2, foot.x() - width * 0.5,
                  foot.y() + width * 0.02, foot.x() + width * 0.1, foot.y() + width * 0.02);
    mound.cubicTo(foot.x() + width * 0.6, foot.y() + width * 0.02, foot.x() + width * 0.8,
                  foot.y() + width * 0.2, foot.x() + width * 1.2, foot.y() + width * 0.6);
    mound.closeSubpath();
    const QColor heaped = roof_snow(mood, roof_facing);
    painter.setBrush(vertical_gradient(foot.y(), foot.y() + width * 0.65,
                                       {{0.0, lighter(heaped, 0.05)}, {1.0, heaped}}));
    painter.drawPath(mound);
    painter.restore();
    if (smoke) {
        const QColor puff = mix(lighter(mood.ambient, 0.55), QColor(200, 195, 200), 0.4);
        paint_smoke(painter, rng, QPointF(foot.x() + width * 0.1, top - width * 0.2), rise * 3.5,
                    -rise * 1.6 * mood.light_side, puff, 0.45);
    }
}

// The snow-covered slope of a roof from its ridge (a -> b) down to its eave
// (a -> b), lit from the ridge, with a few soft ripples the wind left.
void paint_roof_plane(QPainter& painter, MediaRandom& rng, QPointF ridge_a, QPointF ridge_b,
                      QPointF eave_a, QPointF eave_b, const Mood& mood, double facing) {
    const QPolygonF plane({ridge_a, ridge_b, eave_b, eave_a});
    QLinearGradient snow(lerp(ridge_a, ridge_b, 0.5), lerp(eave_a, eave_b, 0.5));
    const QColor lit = roof_snow(mood, facing);
    snow.setColorAt(0.0, lighter(lit, 0.08));
    snow.setColorAt(0.7, lit);
    snow.setColorAt(1.0, mix(lit, mood.snow_shade, 0.35));
    painter.setPen(Qt::NoPen);
    painter.setBrush(snow);
    painter.drawPolygon(plane);
    const double slope = length(lerp(eave_a, eave_b, 0.5) - lerp(ridge_a, ridge_b, 0.5));
    if (slope < 20.0) {
        return;
    }
    painter.save();
    painter.setClipRegion(QRegion(plane.toPolygon()), Qt::IntersectClip);
    painter.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        const double at = rng.range(0.25, 0.8);
        const QPointF a = lerp(ridge_a, eave_a, at);
        const QPointF b = lerp(ridge_b, eave_b, at + rng.range(-0.08, 0.08));
        QPainterPath ripple;
        ripple.moveTo(a);
        const int waves = 3;
        for (int k = 1; k <= waves; ++k) {
            const QPointF to = lerp(a, b, static_cast<double>(k) / waves);
            const QPointF bend =
                lerp(a, b, (k - 0.5) / waves) +
                (lerp(eave_a, eave_b, 0.5) - lerp(ridge_a, ridge_b, 0.5)) * rng.range(-0.06, 0.06);
            ripple.quadTo(bend, to);
        }
        painter.setPen(
            QPen(with_alpha(mood.snow_shade, 0.1), slope * 0.06, Qt::SolidLine, Qt::RoundCap));
        painter.drawPath(ripple);
        painter.setPen(
            QPen(with_alpha(lighter(lit, 0.3), 0.16), slope * 0.025, Qt::SolidLine, Qt::RoundCap));
        painter.drawPath(ripple.translated(0, -slope * 0.035));
    }
    painter.restore();
}

struct WindowSlot {
    QRectF rect;
    double lit;
    bool shop;
};

// Windows of a face laid out in rows, leaving the middle of the ground floor
// to a door when `door` is set. Returns the door's rectangle (empty if none).
// Windows of a house's face, `width` wide, laid out in rows, the middle of
// the ground floor left to a door when `door` is set, or the ground floor
// given over to a shop front when `shop` is. Returns the door (empty if none).
QRectF lay_out_windows(MediaRandom& rng, const House& house, double width, int per_row, bool door,
                       bool shop, std::vector<WindowSlot>& placed) {
    QRectF door_rect;
    const int floors = std::clamp(house.floors, 1, 8);
    const bool tall = house.arched;
    const double floor_height = house.wall_height / floors;
    for (int floor = 0; floor < floors; ++floor) {
        const double lit_chance = floor < house.lit_floors ? house.lit : 0.0;
        if (shop && floor == 0) {
            const double door_width = std::min(width * 0.2, floor_height * 0.42);
            const double door_height = floor_height * 0.74;
            door_rect = QRectF(width * 0.07, -door_height, door_width, door_height);
            placed.push_back(
                {QRectF(width * 0.34, -floor_height * 0.8, width * 0.58, floor_height * 0.56),
                 lit_chance > 0.0 ? 1.0 : 0.0, true});
            continue;
        }
        const bool with_door = door && floor == 0;
        const int count = per_row + (with_door ? 1 : 0);
        if (count <= 0) {
            continue;
        }
        const double slot = width / count;
        const double window_height = floor_height * (tall ? 0.62 : 0.46);
        const double window_width = std::min(window_height * (tall ? 0.42 : 0.78), slot * 0.6);
        const double middle = -(floor + (tall ? 0.47 : 0.56)) * floor_height;
        for (int i = 0; i < count; ++i) {
            const double centre = slot * (i + 0.5);
            if (with_door && i == count / 2) {
                const double door_width = std::min(slot * 0.55, floor_height * 0.42);
                const double door_height = floor_height * 0.74;
                door_rect = QRectF(centre - door_width / 2, -door_height, door_width, door_height);
                continue;
            }
            const double lit = rng.chance(lit_chance) ? rng.range(0.75, 1.0) : 0.0;
            placed.push_back({QRectF(centre - window_width / 2, middle - window_height / 2,
                                     window_width, window_height),
                              lit, false});
        }
    }
    return door_rect;
}

// A striped canopy over a shop window, its edge cut in scallops, snow on top.
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

struct Openings {
    std::vector<WindowSlot> windows;
    QRectF door;
};

void paint_openings(QPainter& painter, MediaRandom& rng, const Openings& openings,
                    const House& house, const Mood& mood, double facing) {
    const QColor frame = in_light(house.trim, mood, facing);
    const QColor shutters =
        house.shutters.alpha() == 0 ? house.shutters : in_light(house.shutters, mood, facing);
    for (const WindowSlot& slot : openings.windows) {
        paint_window(painter, rng, slot.rect, slot.lit, frame,
                     slot.shop ? QColor(0, 0, 0, 0) : shutters, house.arched, mood);
        if (slot.shop && house.awning.alpha() > 0) {
            paint_awning(painter, rng, slot.rect, house.awning, mood, facing);
        }
    }
    if (!openings.door.isEmpty()) {
        paint_door(painter, rng, openings.door, house.door, house.trim, house.wreath, mood);
        if (house.door_lantern) {
            paint_lantern(painter,
                          QPointF(openings.door.right() + openings.door.width() * 0.45,
                                  openings.door.top() + openings.door.height() * 0.12),
                          openings.door.width() * 0.3, mood);
        }
    }
}

// Light pools on the snow under the ground-floor windows and the door of a
// face; `map` takes the face's coordinates to the picture's.
void paint_pools(QPainter& painter, const Openings& openings, const QTransform& map,
                 const Mood& mood, double floor_height, double door_strength) {
    for (const WindowSlot& slot : openings.windows) {
        if (slot.lit > 0.0 && slot.rect.bottom() > -floor_height) {
            const QPointF foot = map.map(QPointF(slot.rect.center().x(), 0));
            paint_light_pool(painter, foot + QPointF(0, slot.rect.width() * 0.9),
                             slot.rect.width() * 3.0, mood, slot.lit);
        }
    }
    if (!openings.door.isEmpty()) {
        const QPointF foot = map.map(QPointF(openings.door.center().x(), 0));
        paint_light_pool(painter, foot + QPointF(0, openings.door.width() * 0.6),
                         openings.door.width() * 4.0, mood, door_strength);
    }
}

// Where every part of a house goes, laid out with its side wall on the right
// (a house showing its left side is painted mirrored).
struct HouseFrame {
    double x0 = 0;  // front wall
    double x1 = 0;
    double ground = 0;
    double eave = 0;
    QPointF back;  // the side wall's run across the screen
    double side_length = 1;
    double overhang = 0;
    double snow = 0;    // thickness of the snow on the roof's edges
    double fascia = 0;  // the roof boards' edge
    // GableFront: the gable's top and the ends of its two edges.
    // EaveFront: the front eave's ends and the ridge's ends.
    QPointF apex;
    QPointF left_eave;
    QPointF right_eave;
    QPointF ridge_left;
    QPointF ridge_right;
    QPointF back_eave;  // EaveFront: the back end of the gable's edge
    QPointF chimney_foot;
    double chimney_width = 0;
    double chimney_rise = 0;
    double drift = 0;
};

HouseFrame frame_of(const House& house) {
    HouseFrame f;
    const double width = std::max(1.0, house.width);
    f.x0 = house.base.x();
    f.x1 = f.x0 + width;
    f.ground = house.base.y();
    f.eave = f.ground - house.wall_height;
    f.back = QPointF(std::max(0.0, house.depth), -std::max(0.0, house.depth) * kRise);
    f.side_length = std::max(1.0, house.depth / kForeshorten);
    f.overhang = width * 0.06 + house.roof_height * 0.06;
    f.snow = std::max(1.0, house.roof_height * 0.13);
    f.fascia = std::max(1.0, house.roof_height * 0.07);
    f.drift = house.wall_height * 0.1;
    const double rise = house.roof_height;
    if (house.roof == RoofKind::GableFront) {
        const double slope = rise / (width / 2);
        f.apex = QPointF((f.x0 + f.x1) / 2, f.eave - rise);
        f.left_eave = QPointF(f.x0 - f.overhang, f.eave + f.overhang * slope);
        f.right_eave = QPointF(f.x1 + f.overhang, f.eave + f.overhang * slope);
        f.chimney_width = std::min(width * 0.11, rise * 0.3);
        f.chimney_foot =
            lerp(f.apex, f.right_eave, 0.4) + f.back * std::clamp(house.chimney_at, 0.15, 0.85);
    } else {
        // The eave comes forward of the wall, down the roof's slope.
        const double forward = 0.1;
        const QPointF ahead = -f.back * forward + QPointF(0, 2 * rise * forward);
        f.left_eave = QPointF(f.x0 - f.overhang, f.eave) + ahead;
        f.right_eave = QPointF(f.x1 + f.overhang, f.eave) + ahead;
        f.ridge_left = QPointF(f.x0 - f.overhang, f.eave - rise) + f.back / 2;
        f.ridge_right = QPointF(f.x1 + f.overhang, f.eave - rise) + f.back / 2;
        f.back_eave = QPointF(f.x1 + f.overhang, f.eave) + f.back - ahead;
        f.chimney_width = std::min(width * 0.07, rise * 0.3);
        const double along = std::clamp(house.chimney_at, 0.1, 0.9);
        f.chimney_foot = lerp(lerp(f.left_eave, f.right_eave, along),
                              lerp(f.ridge_left, f.ridge_right, along), 0.62);
    }
    f.chimney_rise = rise * (house.roof == RoofKind::GableFront ? 0.55 : 0.72);
    return f;
}

// A house whose sizes and place can be painted: finite, not negative, not huge,
// with some width and some wall.
bool house_is_usable(const House& house) {
    return usable(house.base) && usable(house.width) && usable(house.wall_height) &&
           usable(house.roof_height) && usable(house.depth) && house.width > 0.0 &&
           house.wall_height > 0.0;
}

QRectF unmirrored_bounds(const House& house, const HouseFrame& f) {
    const double margin = f.snow * 1.3;
    double left = f.left_eave.x() - margin;
    double right = f.x1 + f.back.x();
    double top = 0;
    if (house.roof == RoofKind::GableFront) {
        right = std::max(right, f.right_eave.x() + f.back.x()) + margin;
        top = f.apex.y() + f.back.y() - margin;
    } else {
        right = std::max(right, f.back_eave.x()) + margin;
        top = f.ridge_left.y() - margin;
    }
    if (house.chimney) {
        top = std::min(top, f.chimney_foot.y() - f.chimney_rise - f.chimney_width * 0.7);
    }
    left = std::min(left, f.x0 - f.drift);
    right = std::max(right, f.x1 + f.back.x() + f.drift);
    const double bottom = f.ground + house.wall_height * 0.08 + 2.0;
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

// The mirror that shows a house's left side: a reflection about its middle.
QTransform mirror_of(const House& house, const HouseFrame& f) {
    if (house.side >= 0) {
        return {};
    }
    return QTransform(-1, 0, 0, 1, f.x0 + f.x1, 0);
}

void paint_gable_roof(QPainter& painter, MediaRandom& rng, const House& house, const HouseFrame& f,
                      const Mood& mood) {
    const QPointF board(0, f.fascia);
    painter.setPen(Qt::NoPen);
    painter.setBrush(in_light(house.roof_colour, mood, 0.75));
    painter.drawPolygon(QPolygonF({f.left_eave, f.apex, f.right_eave, f.right_eave + board,
                                   f.apex + board * 1.15, f.left_eave + board}));
    painter.drawPolygon(QPolygonF({f.right_eave, f.right_eave + f.back,
                                   f.right_eave + f.back + board, f.right_eave + board}));
    const double facing = mood.light_side > 0 ? 0.95 : 0.6;
    paint_roof_plane(painter, rng, f.apex + f.back, f.apex, f.right_eave + f.back, f.right_eave,
                     mood, facing);
    paint_snow_lip(painter, rng, f.apex + f.back, f.right_eave + f.back, f.snow * 0.5, 0.0, mood,
                   false);
    paint_snow_lip(painter, rng, f.apex, f.apex + f.back, f.snow * 0.55, 0.0, mood, false);
    if (house.chimney) {
        paint_chimney(painter, rng, f.chimney_foot, f.chimney_width, f.chimney_rise, facing, mood,
                      house.smoke);
    }
    paint_snow_lip(painter, rng, f.right_eave, f.right_eave + f.back, f.snow * 0.9, f.snow * 0.7,
                   mood, true);
    if (house.lights) {
        paint_light_string(painter, rng, f.left_eave + board * 1.4, f.apex + board * 1.6,
                           f.fascia * 0.8, 9, f.fascia * 0.32, mood.glow);
        paint_light_string(painter, rng, f.apex + board * 1.6, f.right_eave + board * 1.4,
                           f.fascia * 0.8, 9, f.fascia * 0.32, mood.glow);
    }
    paint_snow_lip(painter, rng, f.left_eave, f.apex, f.snow, f.fascia * 0.6, mood, false);
    paint_snow_lip(painter, rng, f.apex, f.right_eave, f.snow, f.fascia * 0.6, mood, false);
}

void paint_eave_roof(QPainter& painter, MediaRandom& rng, const House& house, const HouseFrame& f,
                     const Mood& mood) {
    const QPointF board(0, f.fascia);
    painter.setPen(Qt::NoPen);
    painter.setBrush(in_light(house.roof_colour, mood, 0.75));
    painter.drawPolygon(
        QPolygonF({f.left_eave, f.right_eave, f.right_eave + board, f.left_eave + board}));
    painter.setBrush(in_light(house.roof_colour, mood, 0.5));
    painter.drawPolygon(QPolygonF({f.right_eave, f.ridge_right, f.back_eave, f.back_eave + board,
                                   f.ridge_right + board * 1.15, f.right_eave + board}));
    paint_roof_plane(painter, rng, f.ridge_left, f.ridge_right, f.left_eave, f.right_eave, mood,
                     0.9);
    paint_snow_lip(painter, rng, f.ridge_left, f.ridge_right, f.snow * 0.55, 0.0, mood, false);
    paint_snow_lip(painter, rng, f.ridge_right, f.back_eave, f.snow * 0.8, f.fascia * 0.6, mood,
                   false);
    if (house.chimney) {
        paint_chimney(painter, rng, f.chimney_foot, f.chimney_width, f.chimney_rise, 0.9, mood,
                      house.smoke);
    }
    paint_snow_lip(painter, rng, f.left_eave, f.ridge_left, f.snow * 0.6, 0.0, mood, false);
    paint_snow_lip(painter, rng, f.right_eave, f.ridge_right, f.snow * 0.8, f.fascia * 0.4, mood,
                   false);
    if (house.lights) {
        const double inset = f.overhang * 0.7;
        paint_light_string(painter, rng, f.left_eave + QPointF(inset, f.fascia * 1.5),
                           f.right_eave + QPointF(-inset, f.fascia * 1.5), f.fascia * 1.2,
                           std::max(4, static_cast<int>((f.x1 - f.x0) / (f.fascia * 3.5))),
                           f.fascia * 0.32, mood.glow);
    }
    paint_snow_lip(painter, rng, f.left_eave, f.right_eave, f.snow, f.snow * 0.8, mood, true);
}

}  // namespace

QPainterPath snow_lip_path(MediaRandom& caller, QPointF a, QPointF b, double thickness,
                           double hang) {
    MediaRandom rng = own_stream(caller);
    QPainterPath path;
    const QPointF along = b - a;
    const double span = length(along);
    if (!(span > 0.0) || !(thickness > 0.0) || !usable(a) || !usable(b) || !usable(thickness) ||
        !usable(hang)) {
        return path;
    }
    hang = std::max(0.0, hang);
    const QPointF e = along / span;
    QPointF up(e.y(), -e.x());
    if (up.y() > 0.0 || (up.y() == 0.0 && up.x() < 0.0)) {
        up = -up;
    }
    const QPointF down = -up;
    const QPointF start = a - e * thickness * 0.5;
    const QPointF end = b + e * thickness * 0.5;
    const int bumps = std::clamp(static_cast<int>(span / (thickness * 2.5)), 1, 400);
    path.moveTo(start + down * hang * 0.3);
    path.quadTo(start + up * thickness, a + up * thickness * rng.range(0.85, 1.0));
    for (int i = 1; i <= bumps; ++i) {
        const double t = static_cast<double>(i) / bumps;
        const QPointF crest = lerp(a, b, t - 0.5 / bumps) + up * thickness * rng.range(1.0, 1.2);
        path.quadTo(crest, lerp(a, b, t) + up * thickness * rng.range(0.85, 1.0));
    }
    path.quadTo(end + up * thickness, end + down * hang * 0.3);
    // The underside hangs in scallops back toward a.
    const double scallop = std::max(hang, thickness) * 1.8;
    const int scallops = std::clamp(static_cast<int>(span / scallop), 1, 400);
    path.quadTo(end + down * hang, b + down * hang * rng.range(0.4, 0.7));
    // Uneven scallops: each joint nudged along the edge, each dip its own depth.
    double previous = 1.0;
    for (int i = scallops - 1; i >= 0; --i) {
        const double t = i == 0 ? 0.0 : (i + rng.range(-0.3, 0.3)) / static_cast<double>(scallops);
        const double middle = (t + previous) / 2;
        path.quadTo(lerp(a, b, middle) + down * hang * rng.range(1.1, 1.9),
                    lerp(a, b, t) + down * hang * rng.range(0.35, 0.75));
        previous = t;
    }
    path.quadTo(start + down * hang, start + down * hang * 0.3);
    path.closeSubpath();
    return path;
}

void paint_snow_lip(QPainter& painter, MediaRandom& caller, QPointF a, QPointF b, double thickness,
                    double hang, const Mood& mood, bool icicles) {
    MediaRandom rng = own_stream(caller);
    const QPainterPath lip = snow_lip_path(rng, a, b, thickness, hang);
    if (lip.isEmpty()) {
        return;
    }
    painter.save();
    painter.setPen(Qt::NoPen);
    const QPointF e = (b - a) / length(b - a);
    QPointF up(e.y(), -e.x());
    if (up.y() > 0.0 || (up.y() == 0.0 && up.x() < 0.0)) {
        up = -up;
    }
    if (icicles) {
        const int count = std::clamp(static_cast<int>(length(b - a) / (thickness * 0.8)), 1, 300);
        for (int i = 0; i < count; ++i) {
            if (!rng.chance(0.6)) {
                continue;
            }
            const QPointF root = lerp(a, b, rng.range(0.04, 0.96)) - up * hang * 0.5;
            const double reach =
                (hang + thickness) * rng.range(0.5, 2.2) * (rng.chance(0.2) ? 1.7 : 1.0);
            const double half = thickness * rng.range(0.1, 0.2);
            QPainterPath icicle;
            icicle.moveTo(root + QPointF(-half, 0));
            icicle.quadTo(root + QPointF(-half * 0.3, reach * 0.5), root + QPointF(0, reach));
            icicle.quadTo(root + QPointF(half * 0.3, reach * 0.5), root + QPointF(half, 0));
            icicle.closeSubpath();
            painter.setBrush(
                vertical_gradient(root.y(), root.y() + reach,
                                  {{0.0, with_alpha(mix(mood.snow, mood.snow_shade, 0.3), 0.95)},
                                   {1.0, with_alpha(lighter(mood.snow, 0.3), 0.35)}}));
            painter.drawPath(icicle);
        }
    }
    QLinearGradient shade(a + up * thickness, a - up * std::max(hang, thickness * 0.3));
    shade.setColorAt(0.0, lighter(mood.snow, 0.06));
    shade.setColorAt(0.45, mood.snow);
    shade.setColorAt(1.0, mix(mood.snow, mood.snow_shade, 0.75));
    painter.setBrush(shade);
    painter.drawPath(lip);
    painter.restore();
}

void paint_window(QPainter& painter, MediaRandom& caller, const QRectF& rect, double lit,
                  const QColor& frame, const QColor& shutters, bool arched, const Mood& mood) {
    MediaRandom rng = own_stream(caller);
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

QRectF house_bounds(const House& house) {
    if (!house_is_usable(house)) {
        return {};
    }
    const HouseFrame f = frame_of(house);
    return mirror_of(house, f).mapRect(unmirrored_bounds(house, f));
}

HouseMarks paint_house(QPainter& painter, MediaRandom& caller, const House& house,
                       const Mood& scene_mood) {
    MediaRandom rng = own_stream(caller);
    if (!house_is_usable(house)) {
        return {};
    }
    const HouseFrame f = frame_of(house);
    const QTransform mirror = mirror_of(house, f);
    Mood mood = scene_mood;
    if (house.side < 0) {
        mood.light_side = -mood.light_side;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(mirror, true);
    const QTransform outer = painter.transform();

    const double width = f.x1 - f.x0;
    const bool gable_front = house.roof == RoofKind::GableFront;
    {
        const QPointF foot(f.x0, f.ground);
        const double reach = (house.wall_height + house.roof_height * 0.6) * 1.3;
        QPolygonF footprint;
        footprint << foot << QPointF(f.x1, f.ground) << QPointF(f.x1, f.ground) + f.back
                  << foot + f.back;
        paint_cast_shadow(painter, footprint, QPointF(-mood.light_side * reach, -reach * 0.1),
                          mood);
    }
    const double side_facing = mood.light_side > 0 ? 1.0 : 0.55;
    const double front_facing = mood.light_side > 0 ? 0.8 : 0.92;
    const QTransform front_map = QTransform::fromTranslate(f.x0, f.ground);
    const QTransform side_map(f.back.x() / f.side_length, f.back.y() / f.side_length, 0, 1, f.x1,
                              f.ground);
    const int floors = std::clamp(house.floors, 1, 8);

    Openings front;
    Openings side;
    front.door = lay_out_windows(rng, house, width, house.front_windows,
                                 house.door_at == DoorAt::Front, house.shop, front.windows);
    side.door = lay_out_windows(rng, house, f.side_length, house.side_windows,
                                house.door_at == DoorAt::Side, false, side.windows);
    // A small window up in the gable.
    const double attic = house.roof_height * 0.24;
    const QRectF attic_rect(-attic * 0.4, -house.wall_height - house.roof_height * 0.42 - attic / 2,
                            attic * 0.8, attic);
    if (house.roof_height > house.wall_height / floors * 0.45) {
        const double chance = house.lit_floors > floors ? house.lit * 0.7 : 0.0;
        const double lit = rng.chance(chance) ? rng.range(0.6, 0.9) : 0.0;
        (gable_front ? front : side)
            .windows.push_back(
                {attic_rect.translated((gable_front ? width : f.side_length) / 2, 0), lit, false});
    }

    const auto paint_wall = [&](const QTransform& map, double face_width, double gable,
                                double facing, const Openings& openings) {
        painter.setTransform(map * outer);
        paint_face(painter, rng,
                   {face_width, house.wall_height, gable, house.walls,
                    in_light(house.wall, mood, facing), in_light(house.trim, mood, facing), floors},
                   mood);
        paint_openings(painter, rng, openings, house, mood, facing);
    };
    if (house.depth > 0.0) {
        paint_wall(side_map, f.side_length, gable_front ? 0.0 : house.roof_height, side_facing,
                   side);
    }
    paint_wall(front_map, width, gable_front ? house.roof_height : 0.0, front_facing, front);
    painter.setTransform(outer);
    if (house.walls == WallKind::Logs) {
        // Log ends stacked at the corner.
        const int logs =
            std::max(4, static_cast<int>(house.wall_height / std::max(6.0, width / 22.0)));
        const double log = house.wall_height / logs;
        painter.setPen(Qt::NoPen);
        for (int i = 0; i < logs; ++i) {
            const QPointF centre(f.x1 + log * 0.15, f.ground - (i + 0.5) * log);
            painter.setBrush(in_light(darker(house.wall, 0.1), mood, front_facing));
            painter.drawEllipse(centre, log * 0.55, log * 0.5);
            painter.setBrush(in_light(lighter(house.wall, 0.25), mood, front_facing));
            painter.drawEllipse(centre, log * 0.36, log * 0.32);
        }
    }

    if (gable_front) {
        paint_gable_roof(painter, rng, house, f, mood);
    } else {
        paint_eave_roof(painter, rng, house, f, mood);
    }

    paint_drift(painter, rng, QPointF(f.x0 - f.drift, f.ground), QPointF(f.x1, f.ground), f.drift,
                mood);
    if (house.depth > 0.0) {
        paint_drift(painter, rng, QPointF(f.x1, f.ground), QPointF(f.x1, f.ground) + f.back,
                    f.drift * 0.8, mood);
    }
    const double floor_height = house.wall_height / floors;
    const double door_light = house.door_lantern ? 1.0 : 0.45;
    paint_pools(painter, front, front_map, mood, floor_height, door_light);
    if (house.depth > 0.0) {
        paint_pools(painter, side, side_map, mood, floor_height, door_light);
    }
    painter.restore();

    HouseMarks marks;
    const QRectF& door = house.door_at == DoorAt::Side ? side.door : front.door;
    const QTransform& door_map = house.door_at == DoorAt::Side ? side_map : front_map;
    marks.door = mirror.map(door_map.map(QPointF(door.center().x(), 0)));
    marks.chimney_top = mirror.map(
        QPointF(f.chimney_foot.x(), f.chimney_foot.y() - f.chimney_rise - f.chimney_width * 0.2));
    marks.bounds = mirror.mapRect(unmirrored_bounds(house, f));
    return marks;
}

QPointF paint_church(QPainter& painter, MediaRandom& caller, const Church& church,
                     const Mood& scene_mood) {
    MediaRandom rng = own_stream(caller);
    for (const double size : {church.nave_width, church.nave_height, church.tower_width,
                              church.tower_height, church.spire_height, church.depth}) {
        if (!usable(size) || size <= 0.0) {
            return church.base;
        }
    }
    if (!usable(church.base)) {
        return church.base;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    Mood mood = scene_mood;
    const double tower_width = church.tower_width;
    const double tower_left = church.base.x() - tower_width * 0.75;
    QTransform mirror;
    if (church.tower_side > 0) {
        // Laid out with the tower on the left, shown mirrored.
        mirror = QTransform(-1, 0, 0, 1, 2 * church.base.x() + church.nave_width, 0);
        mood.light_side = -mood.light_side;
    }
    painter.setTransform(mirror, true);
    const QTransform outer = painter.transform();
    const double ground = church.base.y();
    const double top = ground - church.tower_height;
    const QPointF back(church.depth * 0.7, -church.depth * 0.7 * kRise);
    const double side_facing = mood.light_side > 0 ? 1.0 : 0.55;
    const double front_facing = mood.light_side > 0 ? 0.8 : 0.92;
    const QColor stone = church.wall;

    // The tower's side, behind the nave.
    QPolygonF tower_side({QPointF(tower_left + tower_width, ground),
                          QPointF(tower_left + tower_width, top),
                          QPointF(tower_left + tower_width, top) + back,
                          QPointF(tower_left + tower_width, ground) + back});
    painter.setPen(Qt::NoPen);
    painter.setBrush(in_light(stone, mood, side_facing));
    painter.drawPolygon(tower_side);
    {
        const QTransform side_map(back.x() / (tower_width * 0.8), back.y() / (tower_width * 0.8), 0,
                                  1, tower_left + tower_width, ground);
        painter.setTransform(side_map * outer);
        const double opening = tower_width * 0.16;
        paint_window(painter, rng,
                     QRectF(tower_width * 0.4 - opening / 2, -church.tower_height * 0.9, opening,
                            church.tower_height * 0.12),
                     0.0, in_light(stone, mood, side_facing), QColor(0, 0, 0, 0), true, mood);
        painter.setTransform(outer);
    }

    // The nave, its door in the tower.
    House nave;
    nave.base = church.base;
    nave.width = church.nave_width;
    nave.wall_height = church.nave_height;
    nave.roof_height = church.nave_height * 0.7;
    nave.depth = church.depth;
    nave.side = 1;
    nave.roof = RoofKind::EaveFront;
    nave.walls = WallKind::Plaster;
    nave.wall = stone;
    nave.roof_colour = church.roof_colour;
    nave.trim = lighter(stone, 0.2);
    nave.front_windows = 4;
    nave.side_windows = 1;
    nave.lit = church.lit;
    nave.door_at = DoorAt::None;
    nave.arched = true;
    nave.chimney = false;
    painter.setTransform(outer);
    paint_house(painter, rng, nave, mood);
    painter.setTransform(outer);

    // The tower's front: stone, a door, a clock, the belfry.
    painter.setTransform(QTransform::fromTranslate(tower_left, ground) * outer);
    const FaceLook tower{tower_width,
                         church.tower_height,
                         0.0,
                         WallKind::Stone,
                         in_light(stone, mood, front_facing),
                         lighter(stone, 0.2),
                         1};
    paint_face(painter, rng, tower, mood);
    const double door_width = tower_width * 0.34;
    const QRectF door(tower_width / 2 - door_width / 2, -door_width * 1.9, door_width,
                      door_width * 1.9);
    paint_window(painter, rng, door.adjusted(0, 0, 0, -door_width * 0.1), church.lit * 0.8,
                 in_light(QColor(90, 60, 40), mood, front_facing), QColor(0, 0, 0, 0), true, mood);
    paint_window(painter, rng,
                 QRectF(tower_width / 2 - tower_width * 0.09, -church.tower_height * 0.52,
                        tower_width * 0.18, tower_width * 0.34),
                 church.lit, in_light(lighter(stone, 0.2), mood, front_facing), QColor(0, 0, 0, 0),
                 true, mood);
    const QPointF clock(tower_width / 2, -church.tower_height * 0.72);
    const double clock_radius = tower_width * 0.2;
    painter.setBrush(in_light(QColor(60, 50, 45), mood, front_facing));
    painter.drawEllipse(clock, clock_radius * 1.15, clock_radius * 1.15);
    painter.setBrush(mix(QColor(250, 240, 215), mood.lamp, 0.3 * mood.glow));
    painter.drawEllipse(clock, clock_radius, clock_radius);
    if (mood.glow > 0.0) {
        const Additive light(painter);
        paint_glow(painter, clock, clock_radius * 2.2, mood.lamp, 0.25 * mood.glow);
    }
    painter.setPen(QPen(QColor(40, 35, 35), clock_radius * 0.12, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(clock, clock + QPointF(0, -clock_radius * 0.75));
    painter.drawLine(clock, clock + QPointF(clock_radius * 0.45, clock_radius * 0.2));
    painter.setPen(Qt::NoPen);
    const double opening = tower_width * 0.2;
    for (const double x : {tower_width * 0.3, tower_width * 0.7}) {
        paint_window(painter, rng,
                     QRectF(x - opening / 2, -church.tower_height * 0.94, opening,
                            church.tower_height * 0.13),
                     0.0, in_light(lighter(stone, 0.15), mood, front_facing), QColor(0, 0, 0, 0),
                     true, mood);
    }
    painter.setTransform(outer);

    // A ledge round the tower's top and the spire on it.
    const double ledge = tower_width * 0.08;
    const QPointF front_left(tower_left - ledge, top);
    const QPointF front_right(tower_left + tower_width + ledge, top);
    painter.setBrush(in_light(darker(stone, 0.15), mood, front_facing));
    painter.drawRect(
        QRectF(front_left.x(), top - ledge * 0.6, front_right.x() - front_left.x(), ledge * 1.2));
    painter.setBrush(in_light(darker(stone, 0.15), mood, side_facing));
    painter.drawPolygon(QPolygonF(
        {front_right + QPointF(0, -ledge * 0.6), front_right + back + QPointF(0, -ledge * 0.6),
         front_right + back + QPointF(0, ledge * 0.6), front_right + QPointF(0, ledge * 0.6)}));
    paint_snow_lip(painter, rng, front_left, front_right, ledge * 1.1, ledge * 0.7, mood, true);
    paint_snow_lip(painter, rng, front_right, front_right + back, ledge, ledge * 0.5, mood, false);
    // The spire stands inside the ledge, slender, on a square foot.
    const double inset = tower_width * 0.12;
    const QPointF spire_left = QPointF(tower_left + inset, top) + back * 0.1;
    const QPointF spire_right = QPointF(tower_left + tower_width - inset, top) + back * 0.1;
    const QPointF spire_back = back * 0.8;
    const QPointF tip =
        (spire_left + spire_right + spire_back) / 2 + QPointF(0, -church.spire_height);
    const QColor slate = church.roof_colour;
    // A little pinnacle on each corner of the tower.
    const auto pinnacle = [&](QPointF foot, double facing) {
        const double half = ledge * 0.7;
        painter.setBrush(in_light(slate, mood, facing));
        painter.drawPolygon(QPolygonF(
            {foot + QPointF(-half, 0), foot + QPointF(half, 0), foot + QPointF(0, -ledge * 5.0)}));
        painter.setBrush(mood.snow);
        painter.drawEllipse(foot + QPointF(0, -ledge * 0.2), half * 1.2, half * 0.45);
    };
    pinnacle(front_right + back + QPointF(-ledge * 0.6, -ledge * 0.5), side_facing);
    painter.setBrush(in_light(slate, mood, front_facing));
    painter.drawPolygon(QPolygonF({spire_left, spire_right, tip}));
    painter.setBrush(in_light(slate, mood, side_facing * 0.8));
    painter.drawPolygon(QPolygonF({spire_right, spire_right + spire_back, tip}));
    // Snow caught on the spire's edges and heaped at its foot.
    painter.setBrush(with_alpha(mood.snow, 0.85));
    for (const QPointF& foot : {spire_left, spire_right, spire_right + spire_back}) {
        const QPointF edge = tip - foot;
        const QPointF normal(-edge.y(), edge.x());
        const QPointF across = normal / length(normal) * ledge * 0.3;
        painter.drawPolygon(QPolygonF({foot - across, foot + across, lerp(foot, tip, 0.8)}));
    }
    paint_snow_lip(painter, rng, spire_left, spire_right, ledge * 0.8, ledge * 0.3, mood, false);
    paint_snow_lip(painter, rng, spire_right, spire_right + spire_back, ledge * 0.7, ledge * 0.3,
                   mood, false);
    pinnacle(front_left + QPointF(ledge * 0.6, -ledge * 0.5), front_facing);
    pinnacle(front_right + QPointF(-ledge * 0.6, -ledge * 0.5), front_facing);
    // A gilded cross.
    const double arm = church.spire_height * 0.06;
    painter.setPen(
        QPen(QColor(215, 180, 95), std::max(1.0, arm * 0.28), Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(tip, tip + QPointF(0, -arm * 2.2));
    painter.drawLine(tip + QPointF(-arm * 0.7, -arm * 1.5), tip + QPointF(arm * 0.7, -arm * 1.5));
    painter.setPen(Qt::NoPen);
    paint_drift(painter, rng, QPointF(tower_left - ledge, ground),
                QPointF(tower_left + tower_width, ground), church.nave_height * 0.1, mood);
    painter.restore();
    return mirror.map(tip + QPointF(0, -arm * 2.2));
}

void paint_fence(QPainter& painter, MediaRandom& caller, const std::vector<QPointF>& ground,
                 double height, const QColor& wood, FenceKind kind, const Mood& mood) {
    MediaRandom rng = own_stream(caller);
    if (ground.size() < 2 || !(height > 0.0) || !usable(height) ||
        !std::all_of(ground.begin(), ground.end(), [](QPointF p) { return usable(p); })) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const auto ground_at = [&ground](double x) {
        for (std::size_t i = 1; i < ground.size(); ++i) {
            if (x <= ground[i].x() || i + 1 == ground.size()) {
                const double span = ground[i].x() - ground[i - 1].x();
                const double t =
                    span != 0.0 ? std::clamp((x - ground[i - 1].x()) / span, 0.0, 1.0) : 0.0;
                return ground[i - 1].y() + (ground[i].y() - ground[i - 1].y()) * t;
            }
        }
        return ground.back().y();
    };
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
    MediaRandom rng = own_stream(caller);
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
    MediaRandom rng = own_stream(caller);
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

namespace {

struct Bough {
    QPointF from;
    QPointF to;
    QPointF bend;
    double width;
};

void grow_bough(MediaRandom& rng, QPointF from, double angle, double reach, double width, int level,
                std::vector<Bough>& boughs) {
    const QPointF direction(std::sin(angle), -std::cos(angle));
    const QPointF to = from + direction * reach;
    const QPointF bend = lerp(from, to, 0.5) +
                         QPointF(-direction.y(), direction.x()) * reach * rng.range(-0.12, 0.12);
    boughs.push_back({from, to, bend, width});
    if (level <= 0) {
        return;
    }
    // Boughs fork from along the limb and at its end, spreading up and out.
    const int children = level > 3 ? 3 : 2;
    for (int i = 0; i < children; ++i) {
        const double side = (i % 2 == 0 ? 1.0 : -1.0) * (rng.chance(0.5) ? 1.0 : -1.0);
        const bool end = i == 0;
        const double spread = end ? rng.range(-0.25, 0.25) : side * rng.range(0.5, 0.95);
        const double child_angle = std::clamp(angle * 0.85 + spread, -1.7, 1.7);
        const QPointF start = end ? to : lerp(from, to, rng.range(0.35, 0.85));
        const double shrink = end ? rng.range(0.72, 0.85) : rng.range(0.55, 0.75);
        grow_bough(rng, start, child_angle, reach * shrink, width * (end ? 0.68 : 0.55), level - 1,
                   boughs);
    }
}

}  // namespace

void paint_bare_tree(QPainter& painter, MediaRandom& caller, QPointF base, double height,
                     const QColor& bark, const Mood& mood) {
    MediaRandom rng = own_stream(caller);
    if (!(height > 0.0) || !usable(height) || !usable(base)) {
        return;
    }
    std::vector<Bough> boughs;
    grow_bough(rng, base, rng.range(-0.05, 0.05), height * 0.26, height * 0.07, 6, boughs);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    QPainterPath wood;
    QPainterPath snow;
    for (const Bough& bough : boughs) {
        const QPointF along = bough.to - bough.from;
        const double span = length(along);
        if (span <= 0.0) {
            continue;
        }
        const QPointF across = QPointF(-along.y(), along.x()) / span;
        const double w0 = bough.width / 2;
        const double w1 = bough.width * 0.31;
        QPainterPath limb;
        limb.moveTo(bough.from + across * w0);
        limb.quadTo(bough.bend + across * (w0 + w1) / 2, bough.to + across * w1);
        limb.lineTo(bough.to - across * w1);
        limb.quadTo(bough.bend - across * (w0 + w1) / 2, bough.from - across * w0);
        limb.closeSubpath();
        wood.addPath(limb);
        // Snow rests on the upper side of boughs that lean out.
        const QPointF up = across.y() < 0 ? across : -across;
        if (std::abs(along.x()) > span * 0.25 && bough.width > height * 0.004) {
            const double lie = bough.width * 0.45;
            QPainterPath cap;
            cap.moveTo(lerp(bough.from, bough.to, 0.1) + up * w0 * 0.6);
            cap.quadTo(bough.bend + up * (w0 + lie), lerp(bough.to, bough.from, 0.15) + up * w1);
            cap.quadTo(bough.bend + up * w0 * 0.5, lerp(bough.from, bough.to, 0.1) + up * w0 * 0.6);
            snow.addPath(cap);
        }
    }
    painter.setBrush(in_light(bark, mood, 0.8));
    painter.drawPath(wood.simplified());
    painter.setBrush(mood.snow);
    painter.drawPath(snow);
    paint_drift(painter, rng, base + QPointF(-height * 0.08, 0), base + QPointF(height * 0.08, 0),
                height * 0.03, mood);
    painter.restore();
}

void paint_tree_line(QPainter& painter, MediaRandom& caller, double left, double right, double base,
                     double height, const QColor& colour, const QColor& snow) {
    MediaRandom rng = own_stream(caller);
    if (!(height > 0.0) || !usable(height) || !(right > left) || !usable(std::abs(left)) ||
        !usable(std::abs(right)) || !usable(std::abs(base))) {
        return;
    }
    QPainterPath trees;
    QPainterPath caps;
    double x = left - height * 0.2;
    int guard = 0;
    while (x < right + height * 0.2 && ++guard < 20000) {
        const double tall = height * rng.range(0.5, 1.0);
        const double half = tall * rng.range(0.17, 0.24);
        const double foot = base + height * rng.range(0.0, 0.12);
        const int tiers = 4;
        QPainterPath tree;
        tree.moveTo(x, foot - tall);
        for (int t = 1; t <= tiers; ++t) {
            const double f = static_cast<double>(t) / tiers;
            tree.lineTo(x + half * f, foot - tall + tall * f);
            if (t < tiers) {
                tree.lineTo(x + half * f * 0.55, foot - tall + tall * f * 0.92);
            }
        }
        for (int t = tiers; t >= 1; --t) {
            const double f = static_cast<double>(t) / tiers;
            if (t < tiers) {
                tree.lineTo(x - half * f * 0.55, foot - tall + tall * f * 0.92);
            }
            tree.lineTo(x - half * f, foot - tall + tall * f);
        }
        tree.closeSubpath();
        trees.addPath(tree);
        // Snow lying along the lower edge of each tier, heavier on the lit side.
        for (int t = 1; t <= tiers; ++t) {
            const double f = static_cast<double>(t) / tiers;
            const double y = foot - tall + tall * f;
            const double reach = half * f;
            const double lift = tall * 0.03;
            QPainterPath band;
            band.moveTo(x - reach, y);
            band.quadTo(x - reach * 0.3, y - tall * f * 0.1, x + reach * 0.55, y - tall * f * 0.05);
            band.lineTo(x + reach * 0.55, y - tall * f * 0.05 - lift * 0.4);
            band.quadTo(x - reach * 0.3, y - tall * f * 0.1 - lift, x - reach, y);
            band.closeSubpath();
            caps.addPath(band);
        }
        x += tall * rng.range(0.12, 0.32);
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(trees);
    painter.setBrush(with_alpha(snow, 0.5));
    painter.drawPath(caps);
    painter.restore();
}

void paint_smoke(QPainter& painter, MediaRandom& caller, QPointF origin, double rise, double drift,
                 const QColor& colour, double opacity) {
    MediaRandom rng = own_stream(caller);
    if (!(rise > 0.0) || !usable(rise) || !usable(std::abs(drift)) || !usable(origin)) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // Puffs that swell and thin as they climb and lean with the wind.
    const int puffs = 36;
    const double phase = rng.range(0.0, 6.28);
    for (int i = 0; i < puffs; ++i) {
        const double t = static_cast<double>(i) / (puffs - 1);
        const double radius = rise * (0.04 + 0.2 * t) * rng.range(0.75, 1.25);
        const double curl = std::sin(phase + t * 9.0) * rise * 0.05 * (0.3 + t);
        const QPointF at =
            origin +
            QPointF(drift * std::pow(t, 1.5) + curl + rng.range(-0.3, 0.3) * radius, -rise * t);
        const double fade = std::pow(1.0 - t, 1.2) * std::min(1.0, 0.2 + t * 3.0);
        paint_glow(painter, at, radius, colour, opacity * 0.3 * fade);
    }
    painter.restore();
}

void paint_moon(QPainter& painter, QPointF centre, double radius, const QColor& halo) {
    if (!(radius > 0.0) || !usable(radius) || !usable(centre)) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    {
        const Additive light(painter);
        paint_glow(painter, centre, radius * 9.0, halo, 0.18);
        paint_glow(painter, centre, radius * 3.0, halo, 0.3);
    }
    QRadialGradient face(centre - QPointF(radius * 0.3, radius * 0.3), radius * 1.3);
    face.setColorAt(0.0, QColor(255, 253, 242));
    face.setColorAt(0.7, QColor(246, 240, 222));
    face.setColorAt(1.0, QColor(225, 220, 205));
    painter.setBrush(face);
    painter.drawEllipse(centre, radius, radius);
    // Faint seas.
    const struct {
        double x, y, rx, ry;
    } seas[] = {{-0.3, -0.25, 0.28, 0.22},
                {0.15, -0.35, 0.2, 0.16},
                {0.25, 0.1, 0.3, 0.24},
                {-0.2, 0.35, 0.18, 0.14},
                {0.5, -0.05, 0.12, 0.15}};
    painter.setClipRegion(QRegion(
        QRectF(centre.x() - radius, centre.y() - radius, radius * 2, radius * 2).toAlignedRect(),
        QRegion::Ellipse));
    for (const auto& sea : seas) {
        painter.save();
        painter.translate(centre + QPointF(sea.x, sea.y) * radius);
        painter.scale(1.0, sea.ry / sea.rx);
        paint_glow(painter, QPointF(0, 0), sea.rx * radius * 1.3, QColor(150, 146, 150), 0.45);
        painter.restore();
    }
    painter.restore();
}

void paint_vignette(QPainter& painter, const QRectF& frame, const QColor& colour, double strength) {
    if (frame.isEmpty() || !usable(frame.width()) || !usable(frame.height()) ||
        !usable(frame.topLeft())) {
        return;
    }
    painter.save();
    painter.translate(frame.center());
    painter.scale(frame.width() / frame.height(), 1.0);
    const double radius = frame.height() * 0.5 * 1.45;
    QRadialGradient shade(QPointF(0, 0), radius);
    shade.setColorAt(0.0, with_alpha(colour, 0.0));
    shade.setColorAt(0.55, with_alpha(colour, 0.0));
    shade.setColorAt(0.8, with_alpha(colour, strength * 0.45));
    shade.setColorAt(1.0, with_alpha(colour, strength));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    const double half_width = frame.width() / 2 / (frame.width() / frame.height());
    painter.drawRect(QRectF(-half_width, -frame.height() / 2, half_width * 2, frame.height()));
    painter.restore();
}

}  // namespace wm::media
