#pragma once
// Copies single members out of a pack.
//
// Members are found by position (1-based) in a table filled by
// read_pack_index(). Every failure is refused before anything is written:
// positions outside the table, negative sizes, a data file that is not of the
// size the table lists (so not the one the table was read with: no member of
// it is handed out), and names whose tail would lead out of temp_folder. The
// data file is taken by the rule of pack_commit.h, as the index was.

#include "pack/pack_table.h"

#include <QString>

#include <optional>

namespace wm {

// What extract_member() returns in place of a path when it fails.
inline const QString kExtractFailed = QStringLiteral("False");

// Where member `position` is extracted to: temp_folder + "img_xyz." + the last
// three characters of the member's name (the whole name when it is shorter).
// Members whose names end alike share the path. Empty when the table has no
// such member, has no temp_folder, or the name's tail holds a separator or NUL.
QString temp_member_path(const PackTable& table, int position);

// Copies member `position` of the pack at base_path (path without extension)
// to out_path. out_path is replaced only once the copy is complete; on failure
// nothing is left behind and `problem` says why. The pack's own files are never
// written over.
bool copy_member(const PackTable& table, const QString& base_path, int position,
                 const QString& out_path, QString* problem = nullptr);

// Extracts member `position` to temp_member_path(), replacing an earlier file
// there, and returns that path; nullopt (with a problem text when asked) on
// failure, when no file is left at the path. Callers use this rather than
// comparing extract_member()'s text.
std::optional<QString> extract_member_path(const PackTable& table, const QString& base_path,
                                           int position, QString* problem = nullptr);

// extract_member_path() as a text: the path, or kExtractFailed.
QString extract_member(const PackTable& table, const QString& base_path, int position);

// Removes the run's private temporary folder with every extracted member in it
// and forgets it in the table, so later extractions fail instead of writing
// elsewhere. Errors are ignored.
void delete_temp_files(PackTable& table);

}  // namespace wm
