#pragma once
// The sprite sheets: the colour sheet and its mask, from the media pack.

#include <QImage>
#include <QString>

#include <memory>
#include <optional>

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

// load_sprite_sheets() in two halves, so that the decoding of the sheets
// runs on a worker thread while the caller goes on: the constructor
// extracts and reads both members on the calling thread (they may share a
// temporary file with a picture the caller extracts next) and starts the
// decoding; finish() waits for it and fills the boxes as
// load_sprite_sheets() does.
class SpriteSheetLoad {
  public:
    SpriteSheetLoad(const PackTable& pack, const QString& pack_base);
    // Waits for the worker, if finish() has not.
    ~SpriteSheetLoad();
    SpriteSheetLoad(const SpriteSheetLoad&) = delete;
    SpriteSheetLoad& operator=(const SpriteSheetLoad&) = delete;

    bool finish(PictureBox& sprite, PictureBox& mask);

  private:
    struct Job;
    std::unique_ptr<Job> job_;
};

}  // namespace wm
