// The landscape kit's geometry, and the landscape pictures painted at a
// smaller size than the pack's.

#include "assets/kit/aurora.h"
#include "assets/kit/canvas.h"
#include "assets/kit/ice.h"
#include "assets/kit/media_random.h"
#include "assets/kit/mountains.h"
#include "assets/kit/ridges.h"
#include "assets/kit/snow_ground.h"
#include "assets/kit/spruces.h"
#include "assets/kit/weather.h"
#include "assets/scenes/scenes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace wm::media {
namespace {

// Alpha of a canvas pixel, 0..1.
double alpha_at(const QImage& canvas, int x, int y) {
    return static_cast<double>(canvas.pixelColor(x, y).alphaF());
}

TEST(LineGeometry, HeightsSaddlesAndValleys) {
    const std::vector<QPointF> line{{0, 10}, {10, 20}, {20, 0}};
    EXPECT_DOUBLE_EQ(line_height(line, 5), 15);
    EXPECT_DOUBLE_EQ(line_height(line, 15), 10);
    EXPECT_DOUBLE_EQ(line_height(line, 10), 20);
    EXPECT_DOUBLE_EQ(line_height(line, -5), 10);
    EXPECT_DOUBLE_EQ(line_height(line, 25), 0);
    EXPECT_DOUBLE_EQ(line_height({}, 3), 0);
    // A line standing upright or of one point still answers.
    EXPECT_DOUBLE_EQ(line_height({QPointF(4, 7), QPointF(4, 9)}, 4), 7.0);
    EXPECT_DOUBLE_EQ(line_height({QPointF(4, 7)}, 9), 7.0);

    // The saddle is the lowest point on screen (largest y), in either direction;
    // the first of equal points wins.
    const std::vector<QPointF> ridge{{0, 5}, {1, 30}, {2, 12}, {3, 30}, {4, 2}};
    EXPECT_EQ(saddle_between(ridge, 0, 4), 1u);
    EXPECT_EQ(saddle_between(ridge, 4, 2), 3u);
    EXPECT_EQ(saddle_between(ridge, 2, 2), 2u);

    // A valley leaves its middle where it was and lifts the ends evenly.
    std::vector<QPointF> valley{{0, 50}, {50, 50}, {100, 50}};
    open_valley(valley, 50, 50, 10);
    EXPECT_DOUBLE_EQ(valley[0].y(), 40);
    EXPECT_DOUBLE_EQ(valley[1].y(), 50);
    EXPECT_DOUBLE_EQ(valley[2].y(), 40);
    open_valley(valley, 50, 0, 10);  // no width: left alone
    EXPECT_DOUBLE_EQ(valley[0].y(), 40);
}

RangeShape test_shape() {
    RangeShape shape;
    shape.left = 0;
    shape.right = 1000;
    shape.foot = 600;
    shape.bottom = 700;
    shape.crag = 10;
    // The third peak stands inside the first one's flank and cannot be seen.
    shape.peaks = {{300, 200, 1, 1}, {700, 300, 1, 1}, {340, 450, 1, 1}};
    return shape;
}

TEST(MountainRange, RisesFromItsFootToTheSummitsThatCanBeSeen) {
    MediaRandom rng(7);
    const MountainRange range = make_range(rng, test_shape());
    ASSERT_GE(range.ridge.size(), 2u);
    EXPECT_DOUBLE_EQ(range.ridge.front().x(), 0);
    EXPECT_DOUBLE_EQ(range.ridge.back().x(), 1000);
    for (std::size_t i = 1; i < range.ridge.size(); ++i) {
        EXPECT_GT(range.ridge[i].x(), range.ridge[i - 1].x()) << i;
        EXPECT_LE(range.ridge[i].y(), 600.0) << i;
    }
    bool first = false;
    bool second = false;
    for (std::size_t k = 0; k < range.summits.size(); ++k) {
        const std::size_t s = range.summits[k];
        ASSERT_LT(s, range.ridge.size());
        if (k > 0) {
            EXPECT_GT(s, range.summits[k - 1]);
        }
        // A summit is the highest point around it.
        for (std::size_t i = s > 5 ? s - 5 : 0; i < std::min(range.ridge.size(), s + 6); ++i) {
            EXPECT_GE(range.ridge[i].y(), range.ridge[s].y()) << "summit " << k;
        }
        const QPointF top = range.ridge[s];
        first = first || (std::abs(top.x() - 300) < 15 && std::abs(top.y() - 200) < 40);
        second = second || (std::abs(top.x() - 700) < 15 && std::abs(top.y() - 300) < 40);
        EXPECT_FALSE(top.x() > 328 && top.x() < 352) << "the hidden peak counted as a summit";
    }
    EXPECT_TRUE(first);
    EXPECT_TRUE(second);

    // Shapes with nothing to show give nothing, or a flat foot.
    RangeShape empty = test_shape();
    empty.right = empty.left;
    EXPECT_TRUE(make_range(rng, empty).ridge.empty());
    RangeShape sunken = test_shape();
    sunken.peaks = {{500, 650, 1, 1}};
    const MountainRange flat = make_range(rng, sunken);
    EXPECT_TRUE(flat.summits.empty());
    for (const QPointF& p : flat.ridge) {
        EXPECT_LE(p.y(), 600.0);
    }
}

RangeLook test_look() {
    RangeLook look;
    look.snow = QColor(240, 240, 250);
    look.rock = QColor(80, 80, 90);
    look.shade = QColor(120, 140, 200);
    look.rim = Qt::white;
    look.haze = QColor(150, 170, 200);
    look.haze_top = 0.2;
    look.haze_foot = 0.6;
    look.snow_cover = 0.7;
    look.detail = 1.0;
    look.glaciers = true;
    return look;
}

// Ribs, glaciers, rim light and haze all stay inside the range's outline.
TEST(MountainRange, PaintsNothingAboveItsRidgeAndCoversWhatLiesBelow) {
    MediaRandom rng(11);
    RangeShape shape;
    shape.left = 0;
    shape.right = 400;
    shape.foot = 250;
    shape.bottom = 300;
    shape.crag = 8;
    shape.peaks = {{120, 60, 1.2, 1.0}, {290, 100, 0.9, 1.1}};
    const MountainRange range = make_range(rng, shape);
    QImage canvas = new_canvas(QSize(400, 300), Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        paint_range(painter, range, test_look());
    }
    for (int x = 0; x < 400; x += 7) {
        const double ridge = line_height(range.ridge, x + 0.5);
        for (int y = 0; y < static_cast<int>(ridge) - 3; ++y) {
            ASSERT_EQ(alpha_at(canvas, x, y), 0.0) << x << "," << y;
        }
        EXPECT_GT(alpha_at(canvas, x, 295), 0.999) << x;
    }
}

TEST(Drift, CrestLiesOnWholePixelsAndItsSnowStaysUnderIt) {
    MediaRandom rng(5);
    const std::vector<QPointF> crest = drift_crest(rng, {10.3, 200.7, 100, 12, 2.0, 3});
    ASSERT_GE(crest.size(), 2u);
    EXPECT_DOUBLE_EQ(crest.front().x(), 10);
    EXPECT_DOUBLE_EQ(crest.back().x(), 201);
    for (std::size_t i = 1; i < crest.size(); ++i) {
        const double step = crest[i].x() - crest[i - 1].x();
        EXPECT_GT(step, 0.0);
        EXPECT_LE(step, 3.0);
        EXPECT_EQ(step, std::floor(step));
    }
    for (const QPointF& p : crest) {
        EXPECT_NEAR(p.y(), 100.0, 12.0 * 1.5);
    }
    EXPECT_TRUE(drift_crest(rng, {50, 50, 100, 12, 2.0, 3}).empty());

    QImage canvas = new_canvas(QSize(220, 200), Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        DriftLook look;
        look.lit = Qt::white;
        look.body = QColor(200, 210, 230);
        look.shadow = QColor(100, 120, 180);
        look.rim = Qt::white;
        look.depth = 60;
        paint_drift(painter, crest, 200, look);
    }
    for (int x = 12; x < 200; x += 5) {
        const double top = line_height(crest, x + 0.5);
        EXPECT_EQ(alpha_at(canvas, x, static_cast<int>(top) - 3), 0.0) << x;
        EXPECT_GT(alpha_at(canvas, x, static_cast<int>(top) + 3), 0.999) << x;
    }
}

// The bounds of everything painted on a transparent canvas (empty when nothing is).
QRect painted_bounds(const QImage& canvas) {
    QRect bounds;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if (alpha_at(canvas, x, y) > 0.0) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

TEST(Trees, StandOnTheirGroundWithinTheirSize) {
    SpruceLook spruce;
    spruce.needles = QColor(20, 40, 40);
    spruce.needles_lit = QColor(40, 70, 60);
    spruce.snow = Qt::white;
    spruce.snow_shade = QColor(150, 170, 210);
    for (std::uint64_t seed = 1; seed <= 4; ++seed) {
        MediaRandom rng(seed);
        QImage canvas = new_canvas(QSize(300, 300), Qt::transparent);
        {
            QPainter painter(&canvas);
            painter.setRenderHint(QPainter::Antialiasing);
            paint_spruce(painter, rng, QPointF(150, 280), 240, spruce);
        }
        const QRect bounds = painted_bounds(canvas);
        EXPECT_GE(bounds.top(), 280 - 240 * 1.1) << seed;
        EXPECT_LE(bounds.top(), 280 - 240 * 0.95) << seed;
        EXPECT_EQ(bounds.bottom(), 279) << seed;
        EXPECT_GE(bounds.left(), 150 - 240 * 0.4) << seed;
        EXPECT_LE(bounds.right(), 150 + 240 * 0.4) << seed;
        // A solid crown down the middle, from near the top to the ground.
        for (int y = 280 - 220; y < 280; y += 4) {
            EXPECT_GT(alpha_at(canvas, 150, y), 0.99) << seed << " at " << y;
        }
    }

    // A treeline fills the ground under it and rises no higher than its tallest trees.
    MediaRandom rng(9);
    QImage canvas = new_canvas(QSize(400, 200), Qt::transparent);
    const std::vector<QPointF> ground{{0, 120}, {200, 100}, {400, 130}};
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        paint_treeline(painter, rng, ground, 200, 40, 10, {Qt::black, Qt::white, 0.5, true});
    }
    for (int x = 0; x < 400; x += 9) {
        const double y = line_height(ground, x + 0.5);
        EXPECT_GT(alpha_at(canvas, x, static_cast<int>(y) + 8), 0.99) << x;
        for (int above = 0; above < static_cast<int>(y - 40 * 1.3) - 2; ++above) {
            ASSERT_EQ(alpha_at(canvas, x, above), 0.0) << x << "," << above;
        }
    }
}

TEST(LandscapeHelpers, PaintNothingForEmptyOrDegenerateInput) {
    QImage canvas = new_canvas(QSize(64, 64), Qt::transparent);
    {
        QPainter painter(&canvas);
        MediaRandom rng(3);
        paint_range(painter, MountainRange{}, test_look());
        AuroraLook aurora;
        aurora.left = 40;
        aurora.right = 10;
        aurora.height = 20;
        paint_aurora(painter, rng, aurora);
        paint_cloud(painter, rng, QPointF(30, 30), 0, 10, Qt::white, Qt::gray);
        paint_mist(painter, rng, QRectF(0, 30, 64, 0), Qt::white, 1.0);
        paint_ice_cracks(painter, rng, QRectF(0, 30, 64, 0), 10, 1, Qt::black, Qt::white);
        paint_ice_snow(painter, rng, QRectF(0, 30, 0, 20), 10, 1, Qt::white, Qt::gray);
        paint_drift(painter, {QPointF(5, 5)}, 60, DriftLook{});
        paint_snow_mound(painter, rng, QPointF(30, 30), 0, 10, DriftLook{});
        paint_grass_tuft(painter, rng, QPointF(30, 30), 0, Qt::black, QPointF(5, 0), Qt::gray);
        paint_cast_shadow(painter, QPointF(30, 30), QPointF(0, 0), 10, 2, Qt::black);
        paint_spruce(painter, rng, QPointF(30, 60), 0, SpruceLook{});
        paint_treeline(painter, rng, {QPointF(0, 40)}, 64, 20, 5, TreelineLook{});
        paint_treeline(painter, rng, {QPointF(0, 40), QPointF(64, 40)}, 64, 20, 0, TreelineLook{});
    }
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            ASSERT_EQ(alpha_at(canvas, x, y), 0.0) << x << "," << y;
        }
    }
}

// The pictures are laid out in proportion to their size: at half the pack's
// size they still keep the caption's band calm.
TEST(LandscapeScenes, KeepTheCaptionBandReadableAtHalfSize) {
    const QSize size(960, 540);
    for (QImage (*paint)(QSize) : {paint_pine_forest_dusk, paint_frozen_lake, paint_northern_lights,
                                   paint_snowfield_sunrise, paint_moonlit_peaks}) {
        const QImage picture = paint(size);
        ASSERT_EQ(picture.size(), size);
        EXPECT_EQ(picture.format(), QImage::Format_RGB32);
        const QRect band(size.width() / 5, size.height() * 43 / 100, size.width() * 3 / 5,
                         size.height() * 14 / 100);
        int bright = 0;
        for (int y = band.top(); y <= band.bottom(); ++y) {
            for (int x = band.left(); x <= band.right(); ++x) {
                const QRgb p = picture.pixel(x, y);
                bright += 0.299 * qRed(p) + 0.587 * qGreen(p) + 0.114 * qBlue(p) > 200.0 ? 1 : 0;
            }
        }
        EXPECT_LE(bright, band.width() * band.height() / 10);
    }
}

}  // namespace
}  // namespace wm::media
