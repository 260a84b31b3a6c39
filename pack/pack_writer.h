#pragma once
// Writes a pack from a list of source files.
//
// A pack is two files that only make sense together, so they are replaced as
// one (names in pack_commit.h):
//
//   1. With the pack's folder locked against a second writer, a write first
//      completes an earlier write that was stopped after creating its commit
//      marker (steps 4 to 6), or removes the pending files of one stopped
//      before that.
//   2. The new data file and the new index are written under their pending
//      names and flushed to the disk (fsync).
//   3. The empty commit marker is created and the folder flushed: from here on
//      the new pair is the pack.
//   4. The pending data file is renamed over the data file,
//   5. then the pending index over the index, and the folder is flushed.
//   6. The marker is removed and the folder flushed again.
//
// A failure up to step 3 removes the pending files (and a marker of its own);
// so does a failure of the rename in step 4, which nothing has replaced yet.
// The old pack then stays as it was. A later failure leaves the new pair as
// the pack, with the marker, for the next write to complete.
//
// A reader takes the pack's files by the rule of pack_commit.h. Stopped at any
// instant, even between the two renames, a write therefore leaves the old pair
// (before step 3) or the new pair (from step 3 on) as the pack, whole, and the
// next write completes or discards it in step 1. Stored packs are the same two
// files as ever; only a stopped write leaves pending files or the marker.

#include <QString>
#include <QStringList>

#include <functional>

namespace wm {

// The steps of a write after which make_pack_file() calls its hook.
enum class PackWriteStep {
    ChunkWritten,   // one chunk of member bytes is in the pending data file
    FilesWritten,   // both pending files are complete and on the disk
    MarkerCreated,  // step 3: the new pair is the pack
    DataRenamed,    // step 4 (also when step 1 completes a stopped write)
    IndexRenamed,   // step 5 (likewise)
    MarkerRemoved,  // step 6 (likewise): nothing of the write is pending
};

// Lets tests stop a write at a chosen step (e.g. kill the process there).
using PackWriteHook = std::function<void(PackWriteStep)>;

// Writes folder + base_name + ".icf" and ".img" from `sources` (full paths, in
// member order) as described above. A failed write leaves any earlier pack as
// it was and no files of its own. Fails (with a problem text when asked) for a
// missing, unreadable, special or too large source, a source name holding a
// line break, a folder that cannot be written or is full (the system's reason
// is given), or a folder in which another pack is being written.
bool make_pack_file(const QString& folder, const QString& base_name, const QStringList& sources,
                    QString* problem = nullptr, const PackWriteHook& hook = {});

}  // namespace wm
