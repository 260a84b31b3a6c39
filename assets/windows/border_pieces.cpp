#include "assets/windows/window_pictures.h"

#include "assets/windows/shading.h"
#include "assets/windows/window_art.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

namespace wm::media {

// The border is a small silver picture frame with a gilt string of pearls
// along its inner lip. It is rendered as a height field lit from the upper
// left: the moulding climbs steeply from its outer edge onto a rounded bead,
// steps down over a groove and a fillet to the pearls, and drops to the
// picture, so the outward faces of the top and left rails catch the light
// while those of the bottom and right rails turn from it. The corners are
// mitred. The pieces are cut from a whole frame of 80 x 80 whose pearls
// repeat every 4 pixels, so each edge piece tiles every 8 pixels and each
// corner meets its edges exactly.

namespace {

constexpr int kSide = 80;
constexpr int kRail = 8;
constexpr int kSubsamples = 6;  // per pixel and axis

using Vec = std::array<double, 3>;

Vec normalised(const Vec& v) {
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    return {v[0] / length, v[1] / length, v[2] / length};
}

double dot(const Vec& a, const Vec& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

double bump(double x, double centre, double width) {
    const double u = (x - centre) / width;
    return std::exp(-u * u);
}

// Where the pearls of the inner lip lie across the rail.
constexpr double kPearlCentre = 6.15;
constexpr double kPearlRadius = 0.8;
constexpr double kPearlPitch = 4.0;

// Height of the moulding at `depth` pixels in from the outer edge and
// `along` pixels along the rail.
double height(double depth, double along) {
    // A steep outer face, a rounded bead, a fine groove and a flat fillet.
    double h = 3.0 * smoothstep(0.0, 1.0, depth);
    const double bead = (depth - 2.3) / 1.3;
    h += 1.5 * std::sqrt(std::max(0.0, 1.0 - bead * bead));
    h -= 0.8 * bump(depth, 3.75, 0.3);
    h += 0.4 * smoothstep(3.9, 5.0, depth);
    // The seat of the pearls.
    h -= 1.4 * smoothstep(5.0, 5.4, depth);
    // The pearls: half ellipsoids, long along the rail.
    const double across = (depth - kPearlCentre) / kPearlRadius;
    const double phase = std::fmod(along, kPearlPitch) - kPearlPitch / 2.0;
    const double lengthwise = phase / (kPearlPitch * 0.5);
    const double pearl = 1.0 - across * across - lengthwise * lengthwise;
    if (pearl > 0.0) {
        h += 1.4 * std::sqrt(pearl);
    }
    // The sight edge drops steeply to the picture.
    h -= 4.0 * smoothstep(7.0, 7.9, depth);
    return h;
}

// The surface's base colour (linear light) at `depth`.
Vec albedo(double depth, double along) {
    const Vec silver = {0.34, 0.38, 0.46};
    const Vec gold = {0.80, 0.55, 0.20};
    const Vec shadow = {0.05, 0.05, 0.06};
    const double across = (depth - kPearlCentre) / kPearlRadius;
    const double phase = std::fmod(along, kPearlPitch) - kPearlPitch / 2.0;
    const double lengthwise = phase / (kPearlPitch * 0.5);
    const double in_pearl = smoothstep(1.15, 0.85, across * across + lengthwise * lengthwise);
    const double in_sight = smoothstep(7.3, 7.9, depth);
    Vec colour{};
    for (std::size_t c = 0; c < 3; ++c) {
        colour[c] = silver[c] + (gold[c] - silver[c]) * in_pearl;
        colour[c] += (shadow[c] - colour[c]) * in_sight;
    }
    return colour;
}

// Light reaching the hollows: less in the incised line and under the pearls.
double occlusion(double depth, double along) {
    const double phase = std::fmod(along, kPearlPitch) - kPearlPitch / 2.0;
    const double between = bump(std::abs(phase), kPearlPitch / 2.0, 0.5);
    return 1.0 - 0.45 * bump(depth, 3.75, 0.3) - 0.35 * bump(depth, 5.4, 0.35) -
           0.25 * between * bump(depth, kPearlCentre, 0.8);
}

// One sample of the frame, linear RGB: `x`, `y` in pixels from the top left.
Vec shade(double x, double y) {
    // The rail this point belongs to (mitred corners), its depth, and the
    // directions along it and inward.
    const double distances[4] = {y, x, kSide - y, kSide - x};  // top, left, bottom, right
    const auto rail = static_cast<std::size_t>(
        std::min_element(std::begin(distances), std::end(distances)) - std::begin(distances));
    const double depth = distances[rail];
    const bool horizontal = rail == 0 || rail == 2;
    const double along = horizontal ? x : y;
    static constexpr double kInwardX[4] = {0.0, 1.0, 0.0, -1.0};
    static constexpr double kInwardY[4] = {1.0, 0.0, -1.0, 0.0};

    constexpr double e = 0.02;
    const double slope_in = (height(depth + e, along) - height(depth - e, along)) / (2.0 * e);
    const double slope_along = (height(depth, along + e) - height(depth, along - e)) / (2.0 * e);
    const double gx = slope_in * kInwardX[rail] + (horizontal ? slope_along : 0.0);
    const double gy = slope_in * kInwardY[rail] + (horizontal ? 0.0 : slope_along);
    const Vec normal = normalised({-gx, -gy, 1.0});

    const Vec light = normalised({-1.0, -1.1, 1.2});
    const Vec halfway = normalised({light[0], light[1], light[2] + 1.0});
    const double diffuse = std::max(0.0, dot(normal, light));
    const double specular = std::pow(std::max(0.0, dot(normal, halfway)), 14.0);
    // A little cool sky light from straight ahead keeps the shaded rails readable.
    const double fill = 0.12 + 0.1 * normal[2];
    const Vec base = albedo(depth, along);
    const double ao = occlusion(depth, along);
    Vec colour{};
    for (std::size_t c = 0; c < 3; ++c) {
        // Metal: the highlight takes the colour of the metal, brightened.
        const double sheen = 0.55 * base[c] + 0.45;
        colour[c] = (base[c] * (fill + 1.1 * diffuse) + 1.2 * specular * sheen) * ao;
    }
    return colour;
}

}  // namespace

QImage paint_border_pieces() {
    QImage frame(kSide, kSide, QImage::Format_RGB32);
    // The middle holds a small winter night, so the picture previews the frame.
    const QRect inside(kRail, kRail, kSide - 2 * kRail, kSide - 2 * kRail);
    {
        QPainter painter(&frame);
        painter.drawImage(inside.topLeft(), paint_winter_vignette(inside.size()));
    }
    for (int y = 0; y < kSide; ++y) {
        auto* row = reinterpret_cast<QRgb*>(frame.scanLine(y));
        for (int x = 0; x < kSide; ++x) {
            if (inside.contains(x, y)) {
                continue;
            }
            Vec sum = {0.0, 0.0, 0.0};
            for (int sy = 0; sy < kSubsamples; ++sy) {
                for (int sx = 0; sx < kSubsamples; ++sx) {
                    const Vec sample =
                        shade(x + (sx + 0.5) / kSubsamples, y + (sy + 0.5) / kSubsamples);
                    for (std::size_t c = 0; c < 3; ++c) {
                        sum[c] += sample[c];
                    }
                }
            }
            constexpr double kCount = kSubsamples * kSubsamples;
            row[x] =
                qRgb(srgb_byte_from_linear(sum[0] / kCount), srgb_byte_from_linear(sum[1] / kCount),
                     srgb_byte_from_linear(sum[2] / kCount));
        }
    }
    return frame;
}

}  // namespace wm::media
