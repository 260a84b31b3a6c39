// The pictures stored with the windows: the 256-colour preview still and the
// quantiser and resampler behind it, the border pieces as the stage tiles
// them, the window pictures and title card at their sizes, and the
// program's icon in the same style.

#include "assets/windows/window_pictures.h"
#include "assets/icon/app_icon.h"
#include "assets/kit/image_files.h"
#include "assets/windows/palette_quantiser.h"
#include "assets/windows/preview_still.h"
#include "assets/windows/resample.h"
#include "assets/windows/window_art.h"
#include "assets/windows/wordmark.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QSet>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace wm::test {
namespace {

using media::paint_border_pieces;
using media::paint_preview_full_colour;
using media::paint_preview_still;
using media::quantise_to_indexed;
using media::resample_linear_light;

// Mean of |a - b| over every channel of every pixel; the pictures must match in size.
double mean_difference(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0.0;
    for (int row = 0; row < x.height(); ++row) {
        for (int column = 0; column < x.width(); ++column) {
            const QRgb p = x.pixel(column, row);
            const QRgb q = y.pixel(column, row);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * x.width() * x.height());
}

double mean_luma(const QImage& picture) {
    double sum = 0.0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            sum += qGray(picture.pixel(x, y));
        }
    }
    return sum / (picture.width() * picture.height());
}

int distinct_colours(const QImage& picture) {
    QSet<QRgb> seen;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            seen.insert(picture.pixel(x, y));
        }
    }
    return static_cast<int>(seen.size());
}

TEST(WindowPreviewStill, IsA256ColourMiniatureCloseToItsFullColourPainting) {
    const QImage still = paint_preview_still();
    ASSERT_EQ(still.size(), QSize(150, 112));
    EXPECT_EQ(still.format(), QImage::Format_Indexed8);
    EXPECT_LE(still.colorCount(), 256);
    // A real picture, not a flat one: most of the palette is in use.
    QSet<int> used;
    for (int y = 0; y < still.height(); ++y) {
        for (int x = 0; x < still.width(); ++x) {
            used.insert(still.pixelIndex(x, y));
        }
    }
    EXPECT_GE(used.size(), 128);
    // Rows are padded to whole words, and a BMP carries the padding: it is
    // cleared, so the file's bytes never depend on stale memory.
    for (int y = 0; y < still.height(); ++y) {
        const uchar* line = still.constScanLine(y);
        for (auto x = static_cast<qsizetype>(still.width()); x < still.bytesPerLine(); ++x) {
            EXPECT_EQ(line[x], 0) << "row " << y;
        }
    }
    // The dither keeps each pixel near the full-colour painting, and averaged
    // over a few pixels it is nearer still.
    const QImage full = paint_preview_full_colour();
    ASSERT_EQ(full.size(), still.size());
    EXPECT_LT(mean_difference(full, still), 4.0);
    const QSize coarse(30, 28);
    EXPECT_LT(
        mean_difference(resample_linear_light(full, coarse), resample_linear_light(still, coarse)),
        1.5);
}

TEST(WindowPaletteQuantiser, KeepsFewColoursExactlyAndDithersTheRestFaithfully) {
    // A picture of 200 distinct colours comes back exactly.
    QImage few(40, 20, QImage::Format_RGB32);
    for (int y = 0; y < few.height(); ++y) {
        for (int x = 0; x < few.width(); ++x) {
            const int n = (x + y * few.width()) % 200;
            few.setPixel(x, y, qRgb(n, 255 - n, (n * 7) % 256));
        }
    }
    const QImage kept = quantise_to_indexed(few, 256);
    EXPECT_EQ(kept.format(), QImage::Format_Indexed8);
    EXPECT_EQ(kept.colorCount(), 200);
    EXPECT_EQ(mean_difference(few, kept), 0.0);

    // A smooth grey ramp in eight colours: the error diffusion keeps the
    // brightness of every narrow band of columns (nearest colours alone would
    // be off by up to half a palette step).
    QImage ramp(256, 32, QImage::Format_RGB32);
    for (int y = 0; y < ramp.height(); ++y) {
        for (int x = 0; x < ramp.width(); ++x) {
            ramp.setPixel(x, y, qRgb(x, x, x));
        }
    }
    const QImage eight = quantise_to_indexed(ramp, 8);
    EXPECT_EQ(eight.colorCount(), 8);
    for (int x = 32; x < 224; x += 8) {
        EXPECT_NEAR(mean_luma(eight.copy(x, 0, 8, 32)), mean_luma(ramp.copy(x, 0, 8, 32)), 3.0)
            << "columns from " << x;
    }

    // The palette is sorted dark to light, and the same picture gives the same bytes.
    EXPECT_EQ(quantise_to_indexed(ramp, 8), eight);
    for (int i = 0; i + 1 < eight.colorCount(); ++i) {
        EXPECT_LT(qGray(eight.color(i)), qGray(eight.color(i + 1)));
    }
    // Asked for fewer than two colours, it still gives a picture of at most two.
    const QImage one = quantise_to_indexed(ramp, 1);
    EXPECT_GE(one.colorCount(), 1);
    EXPECT_LE(one.colorCount(), 2);
    EXPECT_TRUE(quantise_to_indexed(QImage(), 256).isNull());
}

TEST(WindowResampler, AveragesLightNotNumbers) {
    // Fine black and white stripes shrink to the grey that gives off the same
    // light: 50% linear is 188 in sRGB, not 128.
    QImage stripes(64, 8, QImage::Format_RGB32);
    for (int x = 0; x < stripes.width(); ++x) {
        for (int y = 0; y < stripes.height(); ++y) {
            stripes.setPixel(x, y, x % 2 == 0 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        }
    }
    const QImage grey = resample_linear_light(stripes, QSize(16, 2));
    EXPECT_EQ(grey.size(), QSize(16, 2));
    EXPECT_NEAR(qRed(grey.pixel(5, 1)), 188, 1);
    // Uneven shares: 3 columns into 2, every colour kept where the picture is flat.
    QImage flat(3, 3, QImage::Format_RGB32);
    flat.fill(qRgb(10, 120, 240));
    const QImage shrunk = resample_linear_light(flat, QSize(2, 2));
    EXPECT_EQ(shrunk.pixel(1, 1), qRgb(10, 120, 240));
    EXPECT_TRUE(resample_linear_light(QImage(), QSize(2, 2)).isNull());
    EXPECT_TRUE(resample_linear_light(flat, QSize(0, 2)).isNull());
}

// The pieces, where the stage reads them.
struct Pieces {
    QImage top, bottom, left, right, top_left, top_right, bottom_right, bottom_left;
};

Pieces cut_pieces(const QImage& border) {
    const auto piece = [&border](int x, int y) { return border.copy(x, y, 8, 8); };
    return {piece(8, 0), piece(8, 72), piece(0, 8),   piece(72, 64),
            piece(0, 0), piece(72, 0), piece(72, 72), piece(0, 72)};
}

QImage column(const QImage& piece, int x) {
    return piece.copy(x, 0, 1, piece.height());
}
QImage row(const QImage& piece, int y) {
    return piece.copy(0, y, piece.width(), 1);
}

// The largest change between neighbouring columns (or rows) inside a piece,
// over `count` pixels of each from `first`.
double largest_step(const QImage& piece, bool across, int first = 0, int count = 8) {
    double largest = 0.0;
    for (int i = 0; i + 1 < 8; ++i) {
        const double step = across ? mean_difference(piece.copy(i, first, 1, count),
                                                     piece.copy(i + 1, first, 1, count))
                                   : mean_difference(piece.copy(first, i, count, 1),
                                                     piece.copy(first, i + 1, count, 1));
        largest = std::max(largest, step);
    }
    return largest;
}

TEST(WindowBorderPieces, EdgesTileSeamlesslyCornersMeetThemAndLightFallsFromTheTopLeft) {
    const QImage border = paint_border_pieces().convertToFormat(QImage::Format_RGB32);
    ASSERT_GE(border.width(), 80);
    ASSERT_GE(border.height(), 80);
    const Pieces p = cut_pieces(border);

    // Laid end to end, the seam between two pieces is no harsher than the
    // steps inside one.
    EXPECT_LE(mean_difference(column(p.top, 7), column(p.top, 0)), largest_step(p.top, true));
    EXPECT_LE(mean_difference(column(p.bottom, 7), column(p.bottom, 0)),
              largest_step(p.bottom, true));
    EXPECT_LE(mean_difference(row(p.left, 7), row(p.left, 0)), largest_step(p.left, false));
    EXPECT_LE(mean_difference(row(p.right, 7), row(p.right, 0)), largest_step(p.right, false));

    // Each corner continues the edges it touches as the stage places them:
    // along the shared line, apart from the one mitre pixel at its inner
    // end, no harsher than the steps inside the edge piece.
    const auto outer_column = [](const QImage& piece, int x, bool mitre_at_bottom) {
        return piece.copy(x, mitre_at_bottom ? 0 : 1, 1, 7);
    };
    const auto outer_row = [](const QImage& piece, int y, bool mitre_at_right) {
        return piece.copy(mitre_at_right ? 0 : 1, y, 7, 1);
    };
    const auto step = [](const QImage& edge, bool across, bool mitre_at_far_end) {
        return largest_step(edge, across, mitre_at_far_end ? 0 : 1, 7);
    };
    EXPECT_LE(mean_difference(outer_column(p.top_left, 7, true), outer_column(p.top, 0, true)),
              step(p.top, true, true));
    EXPECT_LE(mean_difference(outer_row(p.top_left, 7, true), outer_row(p.left, 0, true)),
              step(p.left, false, true));
    EXPECT_LE(mean_difference(outer_column(p.top, 7, true), outer_column(p.top_right, 0, true)),
              step(p.top, true, true));
    EXPECT_LE(mean_difference(outer_row(p.top_right, 7, false), outer_row(p.right, 0, false)),
              step(p.right, false, false));
    EXPECT_LE(
        mean_difference(outer_column(p.bottom, 7, false), outer_column(p.bottom_right, 0, false)),
        step(p.bottom, true, false));
    EXPECT_LE(mean_difference(outer_row(p.right, 7, false), outer_row(p.bottom_right, 0, false)),
              step(p.right, false, false));
    EXPECT_LE(
        mean_difference(outer_column(p.bottom_left, 7, false), outer_column(p.bottom, 0, false)),
        step(p.bottom, true, false));
    EXPECT_LE(mean_difference(outer_row(p.left, 7, true), outer_row(p.bottom_left, 0, true)),
              step(p.left, false, true));
    // A corner is not just an edge piece: it turns.
    EXPECT_GT(mean_difference(p.top_left, p.top), 2.0 * largest_step(p.top, true));

    // Top and left rails face the light, bottom and right turn from it.
    EXPECT_GT(mean_luma(p.top), mean_luma(p.bottom) + 8.0);
    EXPECT_GT(mean_luma(p.left), mean_luma(p.right) + 8.0);
    EXPECT_GT(mean_luma(p.top_left), mean_luma(p.bottom_right) + 8.0);
}

// The smallest rectangle holding every pixel whose alpha exceeds `threshold`.
QRect ink_bounds(const QImage& layer, int threshold) {
    QRect bounds;
    for (int y = 0; y < layer.height(); ++y) {
        for (int x = 0; x < layer.width(); ++x) {
            if (qAlpha(layer.pixel(x, y)) > threshold) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

QImage clear_layer(QSize size) {
    QImage layer(size, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    return layer;
}

TEST(WindowArt, NightStaysInItsAreaAndFollowsItsSeed) {
    const auto night = [](std::uint64_t seed) {
        QImage canvas(300, 200, QImage::Format_RGB32);
        canvas.fill(qRgb(255, 0, 255));
        QPainter painter(&canvas);
        media::NightLayout layout;
        layout.cottage = true;
        layout.crystals = 4;
        media::paint_winter_night(painter, QRectF(50, 40, 200, 120), seed, layout);
        return canvas;
    };
    const QImage picture = night(7);
    const QRect area(50, 40, 200, 120);
    int outside_touched = 0;
    int inside_untouched = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const bool magenta = picture.pixel(x, y) == qRgb(255, 0, 255);
            if (area.contains(x, y)) {
                inside_untouched += magenta ? 1 : 0;
            } else {
                outside_touched += magenta ? 0 : 1;
            }
        }
    }
    EXPECT_EQ(outside_touched, 0);
    EXPECT_EQ(inside_untouched, 0);
    EXPECT_EQ(night(7), picture);
    EXPECT_NE(night(8), picture);
}

TEST(WindowArt, RobinFacesItsWayAndStandsOnItsTwig) {
    // The red breast is on the side the robin faces.
    const auto breast_side = [](bool facing_right) {
        QImage layer = clear_layer(QSize(200, 120));
        QPainter painter(&layer);
        media::paint_robin(painter, QPointF(100, 110), 90, facing_right);
        painter.end();
        double sum = 0.0;
        int count = 0;
        for (int y = 0; y < layer.height(); ++y) {
            for (int x = 0; x < layer.width(); ++x) {
                const QColor c = QColor::fromRgba(layer.pixel(x, y));
                if (c.alpha() == 255 && c.red() > 180 && c.green() < 130) {
                    sum += x;
                    ++count;
                }
            }
        }
        EXPECT_GT(count, 100);
        return count > 0 ? sum / count : 100.0;
    };
    EXPECT_GT(breast_side(true), 110.0);
    EXPECT_LT(breast_side(false), 90.0);

    // The perch it is given lies on the twig: wood or snow just under its feet.
    QImage layer = clear_layer(QSize(240, 140));
    QPainter painter(&layer);
    media::MediaRandom rng(3);
    const QPointF perch =
        media::paint_snowy_twig(painter, rng, QPointF(10, 90), QPointF(230, 100), 12, 0.5);
    EXPECT_NEAR(perch.x(), 120.0, 8.0);
    const int x = static_cast<int>(perch.x());
    int solid_below = 0;
    for (int y = static_cast<int>(perch.y()); y < static_cast<int>(perch.y()) + 8; ++y) {
        solid_below += qAlpha(layer.pixel(x, y)) == 255 ? 1 : 0;
    }
    EXPECT_GE(solid_below, 6);
    EXPECT_LT(qAlpha(layer.pixel(x, static_cast<int>(perch.y()) - 14)), 255);
    // A twig of no length draws nothing and gives back its start.
    QImage empty = clear_layer(QSize(40, 40));
    QPainter nothing(&empty);
    EXPECT_EQ(media::paint_snowy_twig(nothing, rng, QPointF(20, 20), QPointF(20, 20), 6, 0.5),
              QPointF(20, 20));
    nothing.end();
    EXPECT_TRUE(ink_bounds(empty, 0).isEmpty());
}

TEST(WindowArt, LetteringSitsCentredOnItsBaseline) {
    QImage layer = clear_layer(QSize(700, 240));
    QPainter painter(&layer);
    media::paint_wordmark(painter, QPointF(330, 150), 80);
    media::paint_wordmark(painter, QPointF(20, 20), 2);  // too small to letter: nothing
    painter.end();
    // The solid letters (not their glow): centred across, standing on the baseline.
    const QRect letters = ink_bounds(layer, 230);
    ASSERT_FALSE(letters.isEmpty());
    EXPECT_NEAR(letters.center().x(), 330, 12);
    EXPECT_NEAR(letters.bottom(), 150, 12);
    EXPECT_NEAR(letters.top(), 150 - 80 * 0.8, 12);
    EXPECT_EQ(qAlpha(layer.pixel(20, 20)), 0);
}

TEST(WindowPictures, AreRichPicturesAtTheirSizes) {
    struct Expected {
        const char* name;
        QImage picture;
        QSize size;
    };
    const Expected pictures[] = {
        {"configuration", media::paint_configuration_picture(), QSize(960, 400)},
        {"about", media::paint_about_picture(), QSize(320, 320)},
        {"welcome", media::paint_welcome_picture(), QSize(400, 560)},
        {"title card", media::paint_title_card(QSize(800, 600)), QSize(800, 600)},
    };
    for (const Expected& expected : pictures) {
        EXPECT_EQ(expected.picture.size(), expected.size) << expected.name;
        // Painted scenes, not fills: many colours, dark sky and bright snow.
        EXPECT_GT(distinct_colours(expected.picture), 2000) << expected.name;
        const QImage top = expected.picture.copy(0, 0, expected.size.width(), 8);
        const QImage bottom =
            expected.picture.copy(0, expected.size.height() - 8, expected.size.width(), 8);
        EXPECT_LT(mean_luma(top), 60.0) << expected.name;
        EXPECT_GT(mean_luma(bottom), 180.0) << expected.name;
    }
    // A title card of any size, even a silly one, is painted without failing.
    EXPECT_EQ(media::paint_title_card(QSize(320, 90)).size(), QSize(320, 90));
    EXPECT_FALSE(media::paint_title_card(QSize(-4, 0)).isNull());
}

// Alpha of every pixel, counted as clear (0), solid (255) or in between.
struct AlphaCounts {
    int clear = 0;
    int partial = 0;
    int solid = 0;
};

AlphaCounts count_alpha(const QImage& picture, const QRect& area) {
    AlphaCounts counts;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const int alpha = qAlpha(picture.pixel(x, y));
            (alpha == 0 ? counts.clear : alpha == 255 ? counts.solid : counts.partial) += 1;
        }
    }
    return counts;
}

TEST(AppIcon, IsDrawnAtEachSizeClearAroundItsRoundedSquareAndSolidWithin) {
    for (const int size : media::kAppIconSizes) {
        SCOPED_TRACE(size);
        const QImage icon = media::paint_app_icon(size);
        ASSERT_EQ(icon.size(), QSize(size, size));
        ASSERT_EQ(icon.format(), QImage::Format_ARGB32);

        // A clear border all round, clear corners cut by the rounding, and
        // what is clear is clear black, so the file carries no stray colour.
        const QRect whole = icon.rect();
        for (const QRect& strip : {QRect(0, 0, size, 1), QRect(0, size - 1, size, 1),
                                   QRect(0, 0, 1, size), QRect(size - 1, 0, 1, size)}) {
            EXPECT_EQ(count_alpha(icon, strip).clear, size);
        }
        const int corner = size * 7 / 100;
        for (const QPoint at :
             {QPoint(corner, corner), QPoint(size - 1 - corner, corner),
              QPoint(corner, size - 1 - corner), QPoint(size - 1 - corner, size - 1 - corner)}) {
            EXPECT_EQ(icon.pixel(at), 0u) << at.x() << "," << at.y();
        }
        // Solid through its middle; the rounded corners are anti-aliased.
        const QRect middle(size / 8, size / 8, size * 3 / 4, size * 3 / 4);
        EXPECT_EQ(count_alpha(icon, middle).solid, middle.width() * middle.height());
        const AlphaCounts all = count_alpha(icon, whole);
        EXPECT_GT(all.partial, size / 2);
        EXPECT_GT(all.solid, size * size * 3 / 4);

        // A picture, not a fill: night sky above, bright snow below, the
        // moon high on the left and the robin's red breast.
        int colours = 0;
        {
            QSet<QRgb> seen;
            for (int y = 0; y < size; ++y) {
                for (int x = 0; x < size; ++x) {
                    seen.insert(icon.pixel(x, y));
                }
            }
            colours = static_cast<int>(seen.size());
        }
        EXPECT_GT(colours, size * size / 8);
        const auto band_luma = [&icon, size](double top, double left, double width) {
            return mean_luma(icon.copy(static_cast<int>(size * left), static_cast<int>(size * top),
                                       static_cast<int>(size * width), std::max(2, size / 24)));
        };
        EXPECT_LT(band_luma(0.5, 0.1, 0.3), 110.0);
        EXPECT_GT(band_luma(0.9, 0.2, 0.6), 190.0);
        EXPECT_GT(mean_luma(icon.copy(size / 5, size / 5, size / 10, size / 10)), 200.0);
        int breast = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const QRgb pixel = icon.pixel(x, y);
                breast += qRed(pixel) > 180 && qGreen(pixel) < 130 && qBlue(pixel) < 100 ? 1 : 0;
            }
        }
        EXPECT_GT(breast, size * size / 100);
    }
    // At 48 pixels the straight sides fall on whole pixels, so they are sharp.
    const QImage small = media::paint_app_icon(48);
    EXPECT_EQ(qAlpha(small.pixel(1, 24)), 0);
    EXPECT_EQ(qAlpha(small.pixel(2, 24)), 255);
    EXPECT_EQ(qAlpha(small.pixel(24, 45)), 255);
    EXPECT_EQ(qAlpha(small.pixel(24, 46)), 0);
}

TEST(AppIcon, GivesTheSameBytesEveryTimeAndRefusesSizesItCannotDraw) {
    for (const int size : media::kAppIconSizes) {
        const QImage icon = media::paint_app_icon(size);
        const QByteArray png = media::encode_png(icon);
        EXPECT_EQ(media::encode_png(media::paint_app_icon(size)), png) << size;
        // The file keeps every pixel, alpha and all.
        EXPECT_EQ(QImage::fromData(png, "PNG").convertToFormat(QImage::Format_ARGB32), icon)
            << size;
    }

    const QImage smallest = media::paint_app_icon(media::kSmallestAppIcon);
    ASSERT_EQ(smallest.size(), QSize(media::kSmallestAppIcon, media::kSmallestAppIcon));
    EXPECT_EQ(qAlpha(smallest.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(smallest.pixel(8, 8)), 255);
    for (const int wrong : {media::kSmallestAppIcon - 1, media::kLargestAppIcon + 1, 0, -48,
                            std::numeric_limits<int>::max()}) {
        EXPECT_TRUE(media::paint_app_icon(wrong).isNull()) << wrong;
        EXPECT_TRUE(media::encode_png(media::paint_app_icon(wrong)).isEmpty()) << wrong;
    }
}

}  // namespace
}  // namespace wm::test
