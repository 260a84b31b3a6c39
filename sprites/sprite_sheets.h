#pragma once
// The sprite sheets: the colour sheet and its mask, from the media pack.

#include <QString>

namespace wm {

class PictureBox;
struct PackTable;

// Pack members holding the colour sheet and the mask sheet.
inline constexpr int kSpriteSheetMember = 11;
inline constexpr int kMaskSheetMember = 12;

// Loads the colour sheet into `sprite` and the mask sheet into `mask`, each
// at its own size, from the pack at `pack_base` (its path without
// extension). False, with both boxes emptied, when either cannot be
// extracted or read: the saver then shows no sprites.
bool load_sprite_sheets(const PackTable& pack, const QString& pack_base, PictureBox& sprite,
                        PictureBox& mask);

}  // namespace wm
