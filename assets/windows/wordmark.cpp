#include "assets/windows/wordmark.h"

#include "assets/kit/media_random.h"
#include "assets/windows/shading.h"
#include "assets/windows/window_art.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainterPath>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <vector>

namespace wm::media {

namespace {

// The i is set dotless; a snowflake takes the place of its dot.
const QString kLettering = QStringLiteral("W\u0131ntermere");
const QString kDottedLettering = QStringLiteral("Wintermere");

const QString kSerif = QStringLiteral("Liberation Serif");
const QString kSans = QStringLiteral("Liberation Sans");

QFont lettering_font(double pixel_size) {
    QFont font(kSerif);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixel_size))));
    font.setBold(true);
    font.setItalic(true);
    font.setLetterSpacing(QFont::PercentageSpacing, 103.0);
    return font;
}

// A single-channel picture of floats, addressed with clamping at the edges.
class Plane {
  public:
    Plane(int width, int height)
        : width_(width),
          height_(height),
          values_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0.0f) {}

    int width() const { return width_; }
    int height() const { return height_; }
    float at(int x, int y) const {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) {
            return 0.0f;
        }
        return values_[index(x, y)];
    }
    float& operator()(int x, int y) { return values_[index(x, y)]; }

  private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }
    int width_;
    int height_;
    std::vector<float> values_;
};

// Three passes of a box blur of `radius` each way: close to a Gaussian.
Plane blurred(const Plane& source, double radius) {
    const int r = std::max(1, static_cast<int>(std::lround(radius / 1.7)));
    Plane a = source;
    Plane b(source.width(), source.height());
    const float scale = 1.0f / static_cast<float>(2 * r + 1);
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < a.height(); ++y) {
            float sum = 0.0f;
            for (int x = -r; x <= r; ++x) {
                sum += a.at(x, y);
            }
            for (int x = 0; x < a.width(); ++x) {
                b(x, y) = sum * scale;
                sum += a.at(x + r + 1, y) - a.at(x - r, y);
            }
        }
        for (int x = 0; x < a.width(); ++x) {
            float sum = 0.0f;
            for (int y = -r; y <= r; ++y) {
                sum += b.at(x, y);
            }
            for (int y = 0; y < a.height(); ++y) {
                a(x, y) = sum * scale;
                sum += b.at(x, y + r + 1) - b.at(x, y - r);
            }
        }
    }
    return a;
}

// Coverage of `path` drawn at `scale` after moving it by `offset`.
Plane coverage(const QPainterPath& path, QSize size, QPointF offset, double scale) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        painter.translate(offset);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawPath(path);
    }
    Plane plane(size.width(), size.height());
    for (int y = 0; y < size.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            plane(x, y) = static_cast<float>(qAlpha(row[x])) / 255.0f;
        }
    }
    return plane;
}

// Snow lying on the upward-facing ledges of the letters above the row
// `lowest`: where there is letter just below (within the snow's depth) and
// open air a little above.
Plane snow_caps(const Plane& letters, double unit, double lowest, std::uint64_t seed) {
    const int w = letters.width();
    const int h = letters.height();
    const int into = std::max(1, static_cast<int>(std::lround(2.5 * unit)));
    const int sideways = std::max(1, static_cast<int>(std::lround(2.2 * unit)));
    // Depth of snow above the ledge varies in soft lumps along the line.
    MediaRandom rng(seed);
    const double lump = 9.0 * unit;
    std::vector<double> knots(static_cast<std::size_t>(w / lump) + 3);
    for (double& knot : knots) {
        knot = rng.uniform();
    }
    Plane raw(w, h);
    for (int x = 0; x < w; ++x) {
        const double f = x / lump;
        const auto k = static_cast<std::size_t>(f);
        const double t = f - static_cast<double>(k);
        const double s = t * t * (3.0 - 2.0 * t);
        const double n = knots[k] + (knots[k + 1] - knots[k]) * s;
        const int depth = std::max(1, static_cast<int>(std::lround(unit * (3.0 + 4.5 * n))));
        for (int y = 0; y < h; ++y) {
            float below = 0.0f;
            for (int j = 0; j <= depth && below < 1.0f; ++j) {
                below = std::max(below, letters.at(x, y + j));
            }
            if (below <= 0.0f) {
                continue;
            }
            float above = 0.0f;
            for (int s2 = -sideways; s2 <= sideways && above < 1.0f; ++s2) {
                above = std::max(above, letters.at(x + s2, y - into));
            }
            const float height =
                smoothstep(static_cast<float>(lowest + 2.0 * unit),
                           static_cast<float>(lowest - 2.0 * unit), static_cast<float>(y));
            raw(x, y) = below * (1.0f - above) * height;
        }
    }
    Plane soft = blurred(raw, 1.6 * unit);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            soft(x, y) = smoothstep(0.35f, 0.6f, soft(x, y));
        }
    }
    return soft;
}

// Premultiplied linear-ish RGBA layer built up with "over".
struct Pixel {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
};

void over(Pixel& dst, float r, float g, float b, float alpha) {
    dst.r = r * alpha + dst.r * (1.0f - alpha);
    dst.g = g * alpha + dst.g * (1.0f - alpha);
    dst.b = b * alpha + dst.b * (1.0f - alpha);
    dst.a = alpha + dst.a * (1.0f - alpha);
}

// Light from the upper left on a soft height made from a coverage.
float relief(const Plane& height, int x, int y, int step) {
    return height.at(x + step, y + step) - height.at(x - step, y - step);
}

}  // namespace

QString missing_lettering_font() {
    for (const QString& family : {kSerif, kSans}) {
        if (QFontInfo(QFont(family)).family() != family) {
            return family;
        }
    }
    return {};
}

namespace {

// Where the dot of the i would be: the smallest outline of "Wi" set in
// place, kerning included.
QRectF dot_of_the_i(const QFont& font) {
    QPainterPath dotted;
    dotted.addText(0.0, 0.0, font, kDottedLettering.left(2));
    QRectF dot;
    for (const QPolygonF& outline : dotted.toSubpathPolygons()) {
        const QRectF box = outline.boundingRect();
        if (dot.isNull() || box.width() * box.height() < dot.width() * dot.height()) {
            dot = box;
        }
    }
    return dot;
}

// The layer averaged down by `factor` in each direction into device pixels.
QImage averaged_down(const std::vector<Pixel>& layer, QSize fine, int factor) {
    const QSize size(fine.width() / factor, fine.height() / factor);
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    const float share = 1.0f / static_cast<float>(factor * factor);
    const auto byte = [share](float v) {
        return std::clamp(static_cast<int>(std::lround(v * share * 255.0f)), 0, 255);
    };
    for (int y = 0; y < size.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            Pixel sum;
            for (int j = 0; j < factor; ++j) {
                for (int i = 0; i < factor; ++i) {
                    const Pixel& p = layer[static_cast<std::size_t>(y * factor + j) *
                                               static_cast<std::size_t>(fine.width()) +
                                           static_cast<std::size_t>(x * factor + i)];
                    sum.r += p.r;
                    sum.g += p.g;
                    sum.b += p.b;
                    sum.a += p.a;
                }
            }
            row[x] = qRgba(byte(sum.r), byte(sum.g), byte(sum.b), byte(sum.a));
        }
    }
    return picture;
}

// The lettering with its snow, outline, shadow and glow, in a picture of
// `size` whose baseline starts at `origin` (in the picture's pixels).
QImage lettering_picture(const QPainterPath& letters, QSize size, QPointF origin,
                         double pixel_size) {
    // Worked out at three times the size, then averaged down.
    constexpr int kFine = 3;
    const QSize fine = size * kFine;
    const double unit = pixel_size * kFine / 100.0;
    const Plane body = coverage(letters, fine, origin, kFine);
    // Top and bottom of the capitals, for the letters' gradient; snow stays
    // on the upper ledges, clear of the feet.
    const double cap_top = (origin.y() - pixel_size * 0.68) * kFine;
    const double base = origin.y() * kFine;
    const Plane snow = snow_caps(body, unit, base - pixel_size * 0.3 * kFine, 0x5A0Cu);
    Plane whole(fine.width(), fine.height());
    for (int y = 0; y < fine.height(); ++y) {
        for (int x = 0; x < fine.width(); ++x) {
            whole(x, y) = std::max(body.at(x, y), snow.at(x, y));
        }
    }
    const Plane glow = blurred(whole, 12.0 * unit);
    const Plane halo = blurred(whole, 3.2 * unit);
    const Plane body_height = blurred(body, 2.2 * unit);
    const Plane snow_height = blurred(snow, 1.8 * unit);
    const int shadow_dx = static_cast<int>(std::lround(2.5 * unit));
    const int shadow_dy = static_cast<int>(std::lround(4.0 * unit));
    const int step = std::max(1, static_cast<int>(std::lround(1.5 * unit)));

    std::vector<Pixel> layer(static_cast<std::size_t>(fine.width()) *
                             static_cast<std::size_t>(fine.height()));
    for (int y = 0; y < fine.height(); ++y) {
        const float t =
            std::clamp(static_cast<float>((y - cap_top) / (base - cap_top)), 0.0f, 1.0f);
        // Frosty blue: pale at the top of the letters, deep toward the baseline.
        const float br = 0.80f + (0.22f - 0.80f) * t;
        const float bg = 0.90f + (0.40f - 0.90f) * t;
        const float bb = 1.00f + (0.82f - 1.00f) * t;
        for (int x = 0; x < fine.width(); ++x) {
            Pixel& p = layer[static_cast<std::size_t>(y) * static_cast<std::size_t>(fine.width()) +
                             static_cast<std::size_t>(x)];
            // A pale glow, a dark drop shadow and a dark outline behind...
            over(p, 0.72f, 0.82f, 1.0f, 0.5f * glow.at(x, y));
            over(p, 0.01f, 0.02f, 0.08f, 0.8f * halo.at(x - shadow_dx, y - shadow_dy));
            over(p, 0.04f, 0.07f, 0.2f, smoothstep(0.03f, 0.3f, halo.at(x, y)));
            // ...the letters, lit along their upper left edges...
            const float lit = std::clamp(relief(body_height, x, y, step) * 1.6f, -1.0f, 1.0f);
            float r = br;
            float g = bg;
            float b = bb;
            if (lit > 0.0f) {
                r += (1.0f - r) * lit;
                g += (1.0f - g) * lit;
                b += (1.0f - b) * lit;
            } else {
                r *= 1.0f + 0.7f * lit;
                g *= 1.0f + 0.7f * lit;
                b *= 1.0f + 0.5f * lit;
            }
            over(p, r, g, b, body.at(x, y));
            // ...and the snow on them, blue where it turns from the light.
            const float shade = std::clamp(-relief(snow_height, x, y, step) * 1.4f, 0.0f, 1.0f);
            over(p, 1.0f - 0.25f * shade, 1.0f - 0.17f * shade, 1.0f - 0.04f * shade,
                 snow.at(x, y));
        }
    }
    return averaged_down(layer, fine, kFine);
}

}  // namespace

void paint_wordmark(QPainter& painter, QPointF baseline_centre, double pixel_size) {
    // The lettering is laid on whole device pixels, so it is worked out in
    // them: a painter that scales (a picture painted at twice its size)
    // scales the place and the size.
    const QTransform to_device = painter.transform();
    baseline_centre = to_device.map(baseline_centre);
    pixel_size *= std::sqrt(std::abs(to_device.determinant()));
    if (pixel_size < 4.0) {
        return;
    }
    const QFont font = lettering_font(pixel_size);
    QPainterPath letters;
    letters.addText(0.0, 0.0, font, kLettering);
    const QRectF bounds = letters.boundingRect();
    const double margin = std::ceil(pixel_size * 0.35);

    // Lay the picture on whole device pixels, carrying the fraction into the drawing.
    const double width = QFontMetricsF(font).horizontalAdvance(kLettering);
    const QPointF corner(baseline_centre.x() - width / 2.0 + bounds.left() - margin,
                         baseline_centre.y() + bounds.top() - margin);
    const QPoint pixel_corner(static_cast<int>(std::floor(corner.x())),
                              static_cast<int>(std::floor(corner.y())));
    const QPointF origin =
        corner - QPointF(pixel_corner) - bounds.topLeft() + QPointF(margin, margin);
    const QSize size(static_cast<int>(std::ceil(bounds.width() + 2 * margin)) + 1,
                     static_cast<int>(std::ceil(bounds.height() + 2 * margin)) + 1);

    painter.save();
    painter.resetTransform();
    painter.drawImage(pixel_corner, lettering_picture(letters, size, origin, pixel_size));
    // The snowflake dot, white over a dark outline of itself so it reads.
    const QRectF dot = dot_of_the_i(font);
    const QPointF dot_centre = QPointF(pixel_corner) + origin + dot.center();
    const double radius = std::max(1.5, dot.width() * 0.9);
    paint_snowflake(painter, dot_centre, radius * 1.1, QColor(8, 16, 48, 200), 0.3);
    paint_snowflake(painter, dot_centre, radius, QColor(250, 252, 255), 0.13);
    painter.restore();
}

// A line of small lettering centred at `centre`, with a soft dark halo so it
// reads over sky or hills.
void paint_tagline(QPainter& painter, QPointF centre, double pixel_size, const QString& text) {
    QFont font(kSans);
    font.setPixelSize(std::max(1, static_cast<int>(pixel_size)));
    font.setItalic(true);
    font.setLetterSpacing(QFont::PercentageSpacing, 112.0);
    QPainterPath path;
    path.addText(0.0, 0.0, font, text);
    path.translate(centre.x() - QFontMetricsF(font).horizontalAdvance(text) / 2.0, centre.y());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const double halo = std::max(1.0, pixel_size * 0.12);
    for (int ring = 3; ring >= 1; --ring) {
        painter.setPen(
            QPen(QColor(6, 12, 40, 50), halo * ring, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(232, 240, 255));
    painter.drawPath(path);
    painter.restore();
}

}  // namespace wm::media
