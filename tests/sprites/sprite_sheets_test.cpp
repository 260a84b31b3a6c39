// Loading the sprite and mask sheets from a pack.

#include "sprites/sprite_sheets.h"
#include "imaging/picture_box.h"
#include "tests/pack/pack_fixture.h"
#include "tests/sprites/sprite_boxes.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace wm::test {
namespace {

QByteArray png_bytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, "PNG"));
    return bytes;
}

class SpriteSheets : public PackTest {
  protected:
    // A pack whose members 1 .. 10 are filler and whose 11th and 12th are
    // given; `members` says how many of all that go in.
    PackTable sheets_pack(const QByteArray& colour, const QByteArray& cutout, int members = 12) {
        QStringList sources;
        for (int i = 1; i <= 10; ++i) {
            sources << source(QStringLiteral("scene%1.jpg").arg(i), pattern_bytes(100 + i, i));
        }
        sources << source(QStringLiteral("sprites.png"), colour);
        sources << source(QStringLiteral("masks.png"), cutout);
        return pack_of(sources.mid(0, members));
    }

    // Boxes holding something, to see them emptied.
    void fill_both() {
        sprite_.set_pixel_size(30, 20);
        mask_.set_pixel_size(30, 20);
    }
    void expect_both_empty() const {
        EXPECT_EQ(sprite_.pixel_size(), QSize(0, 0));
        EXPECT_EQ(mask_.pixel_size(), QSize(0, 0));
        EXPECT_TRUE(sprite_.Picture().isNull());
        EXPECT_TRUE(mask_.Picture().isNull());
    }

    PictureBox sprite_;
    PictureBox mask_;
};

TEST_F(SpriteSheets, LoadsBothSheetsAtTheirOwnSizes) {
    // Both members end in "png", so they are extracted to the same file in
    // turn: each must be read before the next replaces it.
    const QImage colour = patterned_image(90, 120, 1);
    const QImage cutout = patterned_image(60, 40, 2);
    const PackTable pack = sheets_pack(png_bytes(colour), png_bytes(cutout));
    ASSERT_EQ(pack.pack_count, 12);

    EXPECT_TRUE(load_sprite_sheets(pack, base(), sprite_, mask_));
    EXPECT_EQ(sprite_.Image(), colour);
    EXPECT_EQ(mask_.Image(), cutout);
}

TEST_F(SpriteSheets, AnySheetThatCannotBeReadEmptiesBoth) {
    const QByteArray good = png_bytes(patterned_image(30, 30, 1));
    {
        SCOPED_TRACE("broken mask");
        const PackTable pack = sheets_pack(good, QByteArray("\x89PNG\r\n\x1a\n broken", 16));
        fill_both();
        EXPECT_FALSE(load_sprite_sheets(pack, base(), sprite_, mask_));
        expect_both_empty();
    }
    {
        SCOPED_TRACE("broken colour sheet");
        const PackTable pack = sheets_pack(pattern_bytes(500, 3), good);
        fill_both();
        EXPECT_FALSE(load_sprite_sheets(pack, base(), sprite_, mask_));
        expect_both_empty();
    }
    {
        SCOPED_TRACE("no mask member");
        const PackTable pack = sheets_pack(good, good, 11);
        ASSERT_EQ(pack.pack_count, 11);
        fill_both();
        EXPECT_FALSE(load_sprite_sheets(pack, base(), sprite_, mask_));
        expect_both_empty();
    }
    {
        SCOPED_TRACE("no pack");
        fill_both();
        EXPECT_FALSE(load_sprite_sheets(PackTable{}, base(), sprite_, mask_));
        expect_both_empty();
    }
}

}  // namespace
}  // namespace wm::test
