// The sprites over the scene: masked drawing at rounded positions, the
// restoring of last cells, and the rectangles presented.

#include "imaging/picture_box.h"
#include "sprites/sprites.h"
#include "tests/sprites/sprite_boxes.h"

#include <gtest/gtest.h>

#include <tuple>

namespace wm {
namespace {

using test::composite;
using test::fill_box;
using test::patterned_image;

// `image` with `rect` (cut at its edges) taken from `source`.
QImage with_copy(QImage image, const QImage& source, const QRect& rect) {
    const QRect cut = rect & image.rect();
    for (int y = cut.top(); y <= cut.bottom(); ++y) {
        for (int x = cut.left(); x <= cut.right(); ++x) {
            image.setPixel(x, y, source.pixel(x, y));
        }
    }
    return image;
}

TEST(SpriteDrawing, MaskIsAndedThenColourOredAtTheRoundedPosition) {
    PictureBox work;
    PictureBox sprite;
    PictureBox mask;
    const QImage background = patterned_image(800, 600, 1);
    fill_box(work, background);
    fill_box(sprite, test::colour_sheet());
    fill_box(mask, test::mask_sheet());
    Sprites sprites;
    sprites.init_sprites(800, 600, 3);
    // Halves round to the even pixel: (10.5, 20.5) -> (10, 20),
    // (61.5, 70.5) -> (62, 70); the third hangs over the right edge.
    sprites.place_sprite(1, 10.5, 20.5, 3);
    sprites.place_sprite(2, 61.5, 70.5, 30);
    sprites.place_sprite(3, 700.4, 520.6, 48);

    QImage expected = background;
    for (int n = 1; n <= 3; ++n) {
        sprites.draw_sprite(n, work, sprite, mask);
    }
    composite(expected, mask.Image(), sprite.Image(), sheet_cell(3), 10, 20);
    composite(expected, mask.Image(), sprite.Image(), sheet_cell(30), 62, 70);
    composite(expected, mask.Image(), sprite.Image(), sheet_cell(48), 700, 521);
    EXPECT_EQ(work.Image(), expected);
    // The higher slot covers the lower where their birds overlap.
    const QRect front = sheet_cell(30);
    EXPECT_EQ(work.Image().pixel(62 + 30, 70 + 40),
              sprite.Image().pixel(front.x() + 30, front.y() + 40));
    // Stray bits of the colour sheet show over the background.
    EXPECT_NE(work.Image(), background);
}

TEST(SpriteErase, RestoresOnlyTheLastShownCells) {
    PictureBox work;
    PictureBox main;
    const QImage drawn = patterned_image(800, 600, 1);
    const QImage clean = patterned_image(800, 600, 2);
    fill_box(work, drawn);
    fill_box(main, clean);
    Sprites sprites;
    sprites.init_sprites(800, 600, 3);
    const auto last_shown = [&](int n, double x, double y, int frame, int needs_erase) {
        SpriteRecord& s = sprites.slot(n);
        s.last_x = x;
        s.last_y = y;
        s.last_frame = frame;
        s.needs_erase = needs_erase;
    };
    last_shown(1, 10.5, 20.5, 3, 1);     // retired since: still restored
    last_shown(2, 300, 300, 5, 0);       // nothing to restore
    last_shown(3, 700.5, 551.5, 40, 1);  // cut at the edges
    last_shown(4, 400, 100, 1, 1);       // beyond N
    sprites.place_sprite(2, 300, 300, 5);

    sprites.erase_sprites(work, main);
    QImage expected = with_copy(drawn, clean, QRect(10, 20, 150, 150));
    expected = with_copy(expected, clean, QRect(700, 552, 150, 150));
    EXPECT_EQ(work.Image(), expected);
    EXPECT_EQ(sprites.slot(1).needs_erase, 0);
    EXPECT_EQ(sprites.slot(3).needs_erase, 0);
    EXPECT_EQ(sprites.slot(4).needs_erase, 1);

    // Done once: a second erase restores nothing more.
    fill_box(work, drawn);
    sprites.erase_sprites(work, main);
    EXPECT_EQ(work.Image(), drawn);
}

// Where the drawing of sheet rectangle `cell` puts ink, relative to its
// corner: mask not white or colour not black.
QRect ink_box(const QImage& colour, const QImage& mask, const QRect& cell) {
    QRect box;
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        for (int x = cell.left(); x <= cell.right(); ++x) {
            if (mask.pixel(x, y) != qRgb(255, 255, 255) || colour.pixel(x, y) != qRgb(0, 0, 0)) {
                box |= QRect(x - cell.x(), y - cell.y(), 1, 1);
            }
        }
    }
    return box;
}

// Sprites drawn once through sheets whose ink is a small block per cell.
struct InkedSprites {
    InkedSprites() {
        QImage colour;
        QImage cutout;
        test::compact_sheets(colour, cutout);
        fill_box(sprite, colour);
        fill_box(mask, cutout);
        fill_box(work, patterned_image(800, 600, 1));
        fill_box(ascreen, patterned_image(800, 600, 1));
        sprites.init_sprites(800, 600, 3);
    }
    // Draws and presents slot n at (x, y) with `frame`, as a frame does.
    void show(int n, double x, double y, int frame) {
        sprites.place_sprite(n, x, y, frame);
        sprites.draw_sprite(n, work, sprite, mask);
        sprites.present_frame(ascreen, work);
    }
    QRect ink_at(int frame, int x, int y) const {
        return ink_box(sprite.Image(), mask.Image(), sheet_cell(frame)).translated(x, y);
    }
    PictureBox sprite;
    PictureBox mask;
    PictureBox work;
    PictureBox ascreen;
    Sprites sprites;
};

TEST(SpriteErase, OnceSpritesAreDrawnRestoresJustTheirInk) {
    InkedSprites set;
    set.show(1, 10.5, 20.5, 3);     // drawn at (10, 20)
    set.show(2, 730.5, 571.5, 40);  // at (730, 572), cut at the edges
    const QImage drawn = patterned_image(800, 600, 4);
    const QImage clean = patterned_image(800, 600, 2);
    fill_box(set.work, drawn);
    PictureBox main;
    fill_box(main, clean);

    set.sprites.erase_sprites(set.work, main);
    QImage expected = drawn;
    for (const auto& [frame, x, y] : {std::tuple{3, 10, 20}, std::tuple{40, 730, 572}}) {
        const QRect cell = sheet_cell(frame);
        for (int dy = 0; dy < cell.height(); ++dy) {
            for (int dx = 0; dx < cell.width(); ++dx) {
                const QPoint at(x + dx, y + dy);
                const QPoint on_sheet(cell.x() + dx, cell.y() + dy);
                if (expected.rect().contains(at) &&
                    (set.mask.Image().pixel(on_sheet) != qRgb(255, 255, 255) ||
                     set.sprite.Image().pixel(on_sheet) != qRgb(0, 0, 0))) {
                    expected.setPixel(at, clean.pixel(at));
                }
            }
        }
    }
    EXPECT_EQ(set.work.Image(), expected);
    // The ink is much smaller than the cells: the rest stayed as it was.
    EXPECT_NE(set.work.Image(), with_copy(drawn, clean, QRect(10, 20, 150, 150)));
    EXPECT_EQ(set.sprites.slot(1).needs_erase, 0);
}

TEST(SpritePresent, OnceSpritesAreDrawnCopiesTheInkOfBothPlaces) {
    struct Case {
        const char* what;
        double last_x, last_y;
        int last_frame;
        double x, y;
        int frame;
        QPoint last_at, now_at;  // the rounded places
    };
    const Case cases[] = {
        {"moving right", 100, 200, 1, 102.2, 200, 2, {100, 200}, {102, 200}},
        {"halves round to even", 302.5, 300.5, 7, 299.5, 301.5, 8, {302, 300}, {300, 302}},
        {"launched far away", 600, 400, 5, -149, 40, 1, {600, 400}, {-149, 40}},
        {"standing still", 42.5, 17.5, 9, 42.5, 17.5, 10, {42, 18}, {42, 18}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        InkedSprites set;
        set.show(1, c.last_x, c.last_y, c.last_frame);
        const QImage frame = patterned_image(800, 600, 6);
        const QImage shown = patterned_image(800, 600, 3);
        fill_box(set.work, frame);
        fill_box(set.ascreen, shown);
        set.sprites.place_sprite(1, c.x, c.y, c.frame);

        set.sprites.present_frame(set.ascreen, set.work);
        const QRect both = set.ink_at(c.last_frame, c.last_at.x(), c.last_at.y()) |
                           set.ink_at(c.frame, c.now_at.x(), c.now_at.y());
        EXPECT_EQ(set.ascreen.Image(), with_copy(shown, frame, both));
        EXPECT_EQ(set.sprites.slot(1).last_x, c.x);
        EXPECT_EQ(set.sprites.slot(1).last_frame, c.frame);
    }
}

TEST(SpritePresent, CopiesTheUnionOfOldAndNewCellsOnePixelLarger) {
    struct Case {
        const char* what;
        double last_x, last_y;
        int last_frame;
        double x, y;
        int frame;
        QRect copied;
    };
    const Case cases[] = {
        // 152.2 + 1 wide rounds to 153; same row: 150 + 1 high.
        {"moving right", 100, 200, 1, 102.2, 200, 2, QRect(100, 200, 153, 151)},
        // Left 299.5 rounds to 300; 152.5 + 1 to 154; top 300, 150.5 + 1 to 152.
        {"moving left", 302, 300, 7, 299.5, 300.5, 8, QRect(300, 300, 154, 152)},
        // A launch far from the last shown place spans both.
        {"launched far away", 600, 400, 5, -149, 40, 1, QRect(-149, 40, 900, 511)},
        // A slot never shown spans to the origin.
        {"first flight", 0, 0, 0, 300, 200, 1, QRect(0, 0, 451, 351)},
        {"standing still", 42.5, 17.5, 9, 42.5, 17.5, 10, QRect(42, 18, 151, 151)},
    };
    const QImage frame = patterned_image(800, 600, 1);
    const QImage shown = patterned_image(800, 600, 3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PictureBox work;
        PictureBox ascreen;
        fill_box(work, frame);
        fill_box(ascreen, shown);
        Sprites sprites;
        sprites.init_sprites(800, 600, 2);
        SpriteRecord& s = sprites.slot(1);
        s.last_x = c.last_x;
        s.last_y = c.last_y;
        s.last_frame = c.last_frame;
        sprites.place_sprite(1, c.x, c.y, c.frame);
        // A free slot is neither presented nor updated.
        SpriteRecord& idle = sprites.slot(2);
        idle.x = 500;
        idle.frame = 3;
        idle.last_x = 5;
        idle.last_frame = 4;

        sprites.present_frame(ascreen, work);
        EXPECT_EQ(ascreen.Image(), with_copy(shown, frame, c.copied));
        EXPECT_EQ(s.needs_erase, 1);
        EXPECT_EQ(s.last_x, c.x);
        EXPECT_EQ(s.last_y, c.y);
        EXPECT_EQ(s.last_frame, c.frame);
        EXPECT_EQ(idle.needs_erase, 0);
        EXPECT_EQ(idle.last_x, 5.0);
        EXPECT_EQ(idle.last_frame, 4);
    }
}

}  // namespace
}  // namespace wm
