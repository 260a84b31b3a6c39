// The village pictures and the building kit they share: a house stays inside
// the bounds it reports and a house showing its left side is the mirror of
// one showing its right; snow lies on top of an edge whichever way it runs;
// the ground under a house or fence follows its line and stays level past
// its ends; helpers given unusable sizes paint nothing; the five pictures keep their
// caption band calm and paint the same scene at any size.

#include "assets/kit/bare_tree.h"
#include "assets/kit/church.h"
#include "assets/kit/house.h"
#include "assets/kit/mood.h"
#include "assets/kit/sky_lights.h"
#include "assets/kit/smoke.h"
#include "assets/kit/snow_lip.h"
#include "assets/kit/street.h"
#include "assets/kit/tree_line.h"
#include "assets/kit/window.h"
#include "assets/scenes/scenes.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace wm::test {
namespace {

using media::DoorAt;
using media::House;
using media::Mood;
using media::RoofKind;
using media::WallKind;

// Daylight without glows or cast shadows: everything painted belongs to the
// house itself.
const Mood kPlainDay{QColor(140, 168, 214), 0.1, -1.0, QColor(250, 252, 255), QColor(156, 178, 224),
                     QColor(255, 196, 110), 0.0, 0.0};

QImage transparent_canvas(QSize size) {
    QImage canvas(size, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    return canvas;
}

// The smallest rectangle holding every pixel with any paint on it.
QRect painted_area(const QImage& canvas) {
    QRect area;
    for (int y = 0; y < canvas.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        for (int x = 0; x < canvas.width(); ++x) {
            if (qAlpha(row[x]) > 0) {
                area = area.united(QRect(x, y, 1, 1));
            }
        }
    }
    return area;
}

House sample_house(RoofKind roof, int side) {
    House house;
    house.base = QPointF(200, 560);
    house.width = 200;
    house.wall_height = 150;
    house.roof_height = 120;
    house.depth = 90;
    house.side = side;
    house.roof = roof;
    house.walls = WallKind::Logs;
    house.shutters = QColor(70, 110, 96);
    house.floors = 2;
    house.lit = 0.5;
    house.wreath = true;
    house.lights = true;
    house.smoke = false;
    return house;
}

TEST(SettlementKit, HousesStayInsideTheBoundsTheyReport) {
    for (const RoofKind roof : {RoofKind::GableFront, RoofKind::EaveFront}) {
        for (const int side : {1, -1}) {
            const House house = sample_house(roof, side);
            QImage canvas = transparent_canvas(QSize(600, 640));
            media::HouseMarks marks;
            {
                QPainter painter(&canvas);
                media::MediaRandom rng(7);
                marks = media::paint_house(painter, rng, house, kPlainDay);
            }
            const QRectF bounds = media::house_bounds(house);
            const QRect painted = painted_area(canvas);
            const std::string what = std::string(roof == RoofKind::GableFront ? "gable" : "eave") +
                                     (side > 0 ? " right" : " left");
            EXPECT_EQ(marks.bounds, bounds) << what;
            EXPECT_TRUE(bounds.adjusted(-1, -1, 1, 1).contains(QRectF(painted))) << what;
            // The bounds are not loose either: the paint reaches close to each side.
            EXPECT_GT(painted.width(), bounds.width() * 0.88) << what;
            EXPECT_GT(painted.height(), bounds.height() * 0.88) << what;
            EXPECT_NEAR(marks.door.y(), house.base.y(), 0.5) << what;
            EXPECT_GT(marks.door.x(), house.base.x()) << what;
            EXPECT_LT(marks.door.x(), house.base.x() + house.width) << what;
            // Smoke leaves the chimney above the roof's eave, inside the house's span.
            EXPECT_LT(marks.chimney_top.y(), house.base.y() - house.wall_height) << what;
            EXPECT_TRUE(bounds.contains(marks.chimney_top)) << what;
        }
    }
}

TEST(SettlementKit, AHouseShowingItsLeftSideIsTheMirrorOfOneShowingItsRight) {
    for (const RoofKind roof : {RoofKind::GableFront, RoofKind::EaveFront}) {
        // The house's middle is the canvas's middle, so mirroring the canvas
        // mirrors the house.
        const QSize size(600, 640);
        const auto paint = [&](int side) {
            House house = sample_house(roof, side);
            Mood mood = kPlainDay;
            mood.light_side = -0.8 * side;
            QImage canvas = transparent_canvas(size);
            QPainter painter(&canvas);
            media::MediaRandom rng(11);
            media::paint_house(painter, rng, house, mood);
            return canvas;
        };
        const QImage right = paint(1);
        const QImage left = paint(-1).mirrored(true, false);
        double difference = 0.0;
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                const QRgb a = right.pixel(x, y);
                const QRgb b = left.pixel(x, y);
                difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                              std::abs(qBlue(a) - qBlue(b)) + std::abs(qAlpha(a) - qAlpha(b));
            }
        }
        const double painted_pixels = painted_area(right).width() * painted_area(right).height();
        EXPECT_LT(difference / painted_pixels, 1.0);
        EXPECT_EQ(painted_area(right), painted_area(left));
    }
}

TEST(SettlementKit, SnowLiesOnTopOfAnEdgeWhicheverWayItRuns) {
    media::MediaRandom rng(3);
    const QPointF a(100, 200);
    const QPointF b(300, 200);
    for (const auto& [from, to] : {std::pair{a, b}, std::pair{b, a}}) {
        const QRectF box = media::snow_lip_path(rng, from, to, 10, 6).boundingRect();
        EXPECT_NEAR(box.left(), 95, 1.0);
        EXPECT_NEAR(box.right(), 305, 1.0);
        EXPECT_LT(box.top(), 200 - 8.5);   // the snow's body above the edge
        EXPECT_GT(box.top(), 200 - 12.5);  // no higher than its bumps
        EXPECT_GT(box.bottom(), 200 + 2);  // it hangs over the edge
        EXPECT_LT(box.bottom(), 200 + 6 * 1.8);
    }
    // A rising edge (a gable's left side) has its snow up and to the left.
    const QPainterPath rake = media::snow_lip_path(rng, QPointF(0, 100), QPointF(100, 0), 10, 0);
    EXPECT_TRUE(rake.contains(QPointF(50, 50) + QPointF(-4, -4)));
    EXPECT_FALSE(rake.contains(QPointF(50, 50) + QPointF(6, 6)));
    // Nothing to lie on, or nothing to lie there.
    EXPECT_TRUE(media::snow_lip_path(rng, a, a, 10, 6).isEmpty());
    EXPECT_TRUE(media::snow_lip_path(rng, a, b, 0, 6).isEmpty());
    EXPECT_TRUE(media::snow_lip_path(rng, a, QPointF(NAN, 3), 10, 6).isEmpty());
}

TEST(SettlementKit, HelpersGivenUnusableSizesPaintNothing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QImage canvas = transparent_canvas(QSize(200, 200));
    {
        QPainter painter(&canvas);
        media::MediaRandom rng(5);
        // Sizes that are not numbers, endless, negative, nothing or absurd.
        for (const double bad : {nan, inf, -inf, -5.0, 0.0, 1e12}) {
            House house = sample_house(RoofKind::GableFront, 1);
            house.base = QPointF(50, 150);
            house.width = bad;
            EXPECT_TRUE(media::paint_house(painter, rng, house, kPlainDay).bounds.isNull());
            EXPECT_TRUE(media::house_bounds(house).isNull());
            house.width = 100;
            house.wall_height = bad;
            EXPECT_TRUE(media::paint_house(painter, rng, house, kPlainDay).bounds.isNull());

            media::Church church;
            church.base = QPointF(100, 150);
            church.spire_height = bad;
            media::paint_church(painter, rng, church, kPlainDay);
            media::paint_fence(painter, rng, {QPointF(0, 150), QPointF(200, 150)}, bad,
                               QColor(200, 180, 160), media::FenceKind::Picket, kPlainDay);
            media::paint_lamp_post(painter, rng, QPointF(100, 190), bad, kPlainDay);
            media::paint_light_string(painter, rng, QPointF(0, 10), QPointF(200, 10), 5, 10, bad,
                                      1.0);
            media::paint_bare_tree(painter, rng, QPointF(100, 190), bad, QColor(90, 80, 70),
                                   kPlainDay);
            media::paint_tree_line(painter, rng, 0, 200, 190, bad, QColor(40, 60, 50),
                                   QColor(250, 250, 255));
            media::paint_smoke(painter, rng, QPointF(100, 100), bad, 10, QColor(200, 200, 200),
                               1.0);
            media::paint_moon(painter, rng, QPointF(100, 100), bad, Qt::white,
                              QColor(200, 200, 255));
            media::paint_window(painter, rng, QRectF(50, 50, bad, 40), 1.0, QColor(240, 240, 240),
                                QColor(0, 0, 0, 0), false, kPlainDay);
        }
        // Places that are not numbers, endless or absurdly far.
        for (const double bad : {nan, inf, -inf, 1e12}) {
            House house = sample_house(RoofKind::EaveFront, -1);
            house.base = QPointF(bad, 150);
            EXPECT_TRUE(media::paint_house(painter, rng, house, kPlainDay).bounds.isNull());
            media::paint_fence(painter, rng, {QPointF(bad, 150), QPointF(200, 150)}, 40,
                               QColor(200, 180, 160), media::FenceKind::Rails, kPlainDay);
            media::paint_light_string(painter, rng, QPointF(0, 10), QPointF(bad, 10), 5, 10, 2,
                                      1.0);
            media::paint_tree_line(painter, rng, bad, 200, 190, 50, QColor(40, 60, 50),
                                   QColor(250, 250, 255));
            media::paint_lamp_post(painter, rng, QPointF(100, bad), 100, kPlainDay);
        }
        // Too few points for a fence, no bulbs on a string.
        media::paint_fence(painter, rng, {QPointF(0, 150)}, 40, QColor(200, 180, 160),
                           media::FenceKind::Picket, kPlainDay);
        media::paint_light_string(painter, rng, QPointF(0, 10), QPointF(200, 10), 5, 0, 2, 1.0);
    }
    EXPECT_TRUE(painted_area(canvas).isNull());
}

// The share of pixels brighter than luma 200 in the band the caption is
// drawn over: the middle 60% of the width, 43%..57% of the height.
double caption_band_glare(const QImage& picture) {
    const int left = picture.width() * 20 / 100;
    const int right = picture.width() * 80 / 100;
    const int top = picture.height() * 43 / 100;
    const int bottom = picture.height() * 57 / 100;
    int bright = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const QRgb pixel = picture.pixel(x, y);
            if (0.299 * qRed(pixel) + 0.587 * qGreen(pixel) + 0.114 * qBlue(pixel) > 200.0) {
                ++bright;
            }
        }
    }
    return static_cast<double>(bright) / ((right - left) * (bottom - top));
}

// How many of the 8 x 8 tiles of two same-sized pictures differ by more than
// 12 grey levels on average: few when they show the same scene.
int differing_tiles(const QImage& a, const QImage& b) {
    const QImage grey_a = a.convertToFormat(QImage::Format_Grayscale8);
    const QImage grey_b = b.convertToFormat(QImage::Format_Grayscale8);
    int differing = 0;
    for (int ty = 0; ty < 8; ++ty) {
        for (int tx = 0; tx < 8; ++tx) {
            double sum = 0.0;
            int count = 0;
            for (int y = ty * a.height() / 8; y < (ty + 1) * a.height() / 8; ++y) {
                for (int x = tx * a.width() / 8; x < (tx + 1) * a.width() / 8; ++x) {
                    sum += std::abs(grey_a.constScanLine(y)[x] - grey_b.constScanLine(y)[x]);
                    ++count;
                }
            }
            if (sum / count > 12.0) {
                ++differing;
            }
        }
    }
    return differing;
}

TEST(SettlementScenes, KeepTheirCaptionBandCalmAndPaintTheSameSceneAtAnySize) {
    const struct {
        const char* name;
        QImage (*paint)(QSize);
    } scenes[] = {{"snowy_village", media::paint_snowy_village},
                  {"snowman_garden", media::paint_snowman_garden},
                  {"chimney_cabin", media::paint_chimney_cabin},
                  {"starry_church", media::paint_starry_church},
                  {"town_square_tree", media::paint_town_square_tree}};
    for (const auto& scene : scenes) {
        const QImage large = scene.paint(QSize(960, 540));
        ASSERT_EQ(large.size(), QSize(960, 540)) << scene.name;
        EXPECT_EQ(large.format(), QImage::Format_RGB32) << scene.name;
        EXPECT_LE(caption_band_glare(large), 0.1) << scene.name;
        const QImage small = scene.paint(QSize(480, 270));
        ASSERT_EQ(small.size(), QSize(480, 270)) << scene.name;
        const QImage shrunk =
            large.scaled(small.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        // Small trees are drawn with fewer tiers when small; everything else
        // must stand where it stood.
        EXPECT_LE(differing_tiles(small, shrunk), 3) << scene.name;
    }
}

}  // namespace
}  // namespace wm::test
