#pragma once
// The names a pack's files carry while a write of them is committed, and which
// of them hold the pack at any instant.
//
// A write first puts both new files beside the pack under pending names
// ("images.icf.pending", "images.img.pending"), complete and on disk, then
// creates the empty commit marker "images.commit". The marker's creation is
// the instant the new pair becomes the pack. After it the pending data file
// and then the pending index are renamed over the old files, and the marker is
// removed last (pack_writer.h gives every step).
//
// So while a marker exists each file of the pack is its pending file when that
// still exists (not renamed yet) and the file of its own name once it has been
// renamed. Without a marker the pack is the pair of its own names, and pending
// files are the remains of a write that never committed: nothing reads them.

#include <QString>

namespace wm {

// The path a pack file (base path + suffix) has before it takes its place.
QString pending_pack_file(const QString& file_path);

// The commit marker of the pack at base_path (its path without extension).
QString commit_marker_path(const QString& base_path);

// The file that holds the pack's index (suffix kIndexSuffix) or data
// (kDataSuffix) now, by the rule above. Reading it needs no write access.
QString current_pack_file(const QString& base_path, const QString& suffix);

}  // namespace wm
