#pragma once
// The fixed facts of the media pack's two files.
//
// A pack is an index file (text lines, CR LF) and a data file (the members'
// bytes back to back) that share one base path. The index holds three
// identification lines, the member count, then one name line and one size
// line per member. Only a write that was stopped leaves other files beside
// them (pending files, a commit marker: pack_commit.h).

#include <QString>
#include <QtGlobal>

#include <limits>

namespace wm {

// Extensions appended to a pack's base path.
inline const QString kIndexSuffix = QStringLiteral(".icf");
inline const QString kDataSuffix = QStringLiteral(".img");

// Base name of the saver's own pack and of every pack the builder writes.
inline const QString kPackBaseName = QStringLiteral("images");

// The three identification lines at the head of every index; readers skip them.
inline const QString kPackProductLine = QStringLiteral("Wintermere");
inline const QString kPackMakerLine = QStringLiteral("Quillory");
inline const QString kPackMakerAddress = QStringLiteral("https://www.quillory.example/wintermere");

// Sizes are stored as 32-bit signed numbers.
inline constexpr qint64 kMaxMemberBytes = std::numeric_limits<qint32>::max();

// The reader refuses larger index files; tens of thousands of members still fit.
inline constexpr qint64 kMaxIndexBytes = 1024 * 1024;

}  // namespace wm
