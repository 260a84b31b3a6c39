// Loading the colour sheet and the mask sheet from the media pack.

#include "sprites/sprite_sheets.h"

#include "imaging/picture_box.h"
#include "imaging/picture_file.h"
#include "pack/pack_extract.h"
#include "pack/pack_table.h"

#include <QImage>

#include <optional>

namespace wm {
namespace {

// Extracts one member and reads it as a picture, with the checks every
// picture file gets; a null image on failure. Both sheets may be extracted
// to the same temporary file, so each is read before the next is extracted.
QImage read_member(const PackTable& pack, const QString& pack_base, int member) {
    const std::optional<QString> path = extract_member_path(pack, pack_base, member);
    if (!path) {
        return {};
    }
    return load_picture_file(*path, PictureFileOptions{}).value_or(QImage());
}

}  // namespace

bool load_sprite_sheets(const PackTable& pack, const QString& pack_base, PictureBox& sprite,
                        PictureBox& mask) {
    const QImage colour = read_member(pack, pack_base, kSpriteSheetMember);
    const QImage cutout =
        colour.isNull() ? QImage() : read_member(pack, pack_base, kMaskSheetMember);
    if (colour.isNull() || cutout.isNull()) {
        sprite.empty();
        mask.empty();
        return false;
    }
    sprite.load_picture(colour);
    mask.load_picture(cutout);
    return true;
}

}  // namespace wm
