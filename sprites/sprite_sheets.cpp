// Loading the colour sheet and the mask sheet from the media pack.

#include "sprites/sprite_sheets.h"

#include "imaging/picture_box.h"
#include "imaging/picture_file.h"
#include "pack/pack_extract.h"
#include "pack/pack_table.h"
#include "platform/regular_file.h"

#include <QByteArray>

#include <system_error>
#include <thread>

namespace wm {
namespace {

// Extracts one member and reads its bytes, with the checks every picture
// file gets; nothing on failure. Both sheets may be extracted to the same
// temporary file, so each is read before the next is extracted.
std::optional<QByteArray> read_member_bytes(const PackTable& pack, const QString& pack_base,
                                            int member, QString* name) {
    const std::optional<QString> path = extract_member_path(pack, pack_base, member);
    if (!path) {
        return std::nullopt;
    }
    *name = *path;
    return read_regular_file(*path, kMaxPictureFileBytes);
}

QImage decode(const std::optional<QByteArray>& bytes, const QString& name) {
    if (!bytes) {
        return {};
    }
    return load_picture_data(*bytes, name, PictureFileOptions{}).value_or(QImage());
}

bool fill_boxes(const QImage& colour, const QImage& cutout, PictureBox& sprite, PictureBox& mask) {
    if (colour.isNull() || cutout.isNull()) {
        sprite.empty();
        mask.empty();
        return false;
    }
    sprite.load_picture(colour);
    mask.load_picture(cutout);
    return true;
}

}  // namespace

bool load_sprite_sheets(const PackTable& pack, const QString& pack_base, PictureBox& sprite,
                        PictureBox& mask) {
    return SpriteSheetLoad(pack, pack_base).finish(sprite, mask);
}

// The bytes read and the pictures decoded from them. The worker writes the
// pictures; they are read only once it has been joined.
struct SpriteSheetLoad::Job {
    QString colour_name;
    QString cutout_name;
    std::optional<QByteArray> colour_bytes;
    std::optional<QByteArray> cutout_bytes;
    QImage colour;
    QImage cutout;
    std::thread worker;

    void decode_both() {
        colour = decode(colour_bytes, colour_name);
        cutout = colour.isNull() ? QImage() : decode(cutout_bytes, cutout_name);
    }
};

SpriteSheetLoad::SpriteSheetLoad(const PackTable& pack, const QString& pack_base)
    : job_(std::make_unique<Job>()) {
    Job& job = *job_;
    job.colour_bytes = read_member_bytes(pack, pack_base, kSpriteSheetMember, &job.colour_name);
    if (job.colour_bytes) {
        job.cutout_bytes = read_member_bytes(pack, pack_base, kMaskSheetMember, &job.cutout_name);
    }
    if (!job.colour_bytes || !job.cutout_bytes) {
        return;  // nothing to decode: finish() empties the boxes
    }
    try {
        job.worker = std::thread([&job] { job.decode_both(); });
    } catch (const std::system_error&) {
        job.decode_both();  // no thread to be had: decoded here and now
    }
}

SpriteSheetLoad::~SpriteSheetLoad() {
    if (job_->worker.joinable()) {
        job_->worker.join();
    }
}

bool SpriteSheetLoad::finish(PictureBox& sprite, PictureBox& mask) {
    if (job_->worker.joinable()) {
        job_->worker.join();
    }
    return fill_boxes(job_->colour, job_->cutout, sprite, mask);
}

}  // namespace wm
