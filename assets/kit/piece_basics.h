#pragma once
// What every painted village piece (house, church, fence, tree...) shares.
// Each piece takes its sizes in pixels, so a picture scales by handing in
// scaled sizes, and refuses sizes that are not finite, negative or beyond
// kLargest: nothing is painted. Each takes one number from the generator it
// is given and scatters its detail from a generator of its own.

#include "assets/kit/media_random.h"
#include "assets/kit/mood.h"
#include "assets/kit/paint_kit.h"

#include <QColor>
#include <QPainter>
#include <QPointF>

#include <cmath>

namespace wm::media::piece {

// The largest size, in pixels, any part is painted at; larger or non-finite
// sizes are refused, so bad input cannot spin a loop for ever.
constexpr double kLargest = 8192.0;

inline bool usable(double size) {
    return std::isfinite(size) && size >= 0.0 && size <= kLargest;
}

inline bool usable(QPointF point) {
    return std::isfinite(point.x()) && std::isfinite(point.y()) &&
           std::abs(point.x()) <= kLargest * 4 && std::abs(point.y()) <= kLargest * 4;
}

inline QPointF lerp(QPointF a, QPointF b, double t) {
    return a + (b - a) * t;
}

inline double length(QPointF v) {
    return std::hypot(v.x(), v.y());
}

inline QColor darker(const QColor& colour, double t) {
    return mix(colour, QColor(0, 0, 0), t);
}

inline QColor lighter(const QColor& colour, double t) {
    return mix(colour, QColor(255, 255, 255), t);
}

// A surface's colour in the mood: sunk toward the ambient light by the dark,
// darker still the more it is turned from the light (`facing` 1 .. 0).
inline QColor in_light(const QColor& colour, const Mood& mood, double facing) {
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

}  // namespace wm::media::piece
