#pragma once
// Reads a pack's index into a member table.
//
// The index comes from disk and is checked as such: an index that cannot be
// trusted whole leaves the table empty and says why, so that no caller ever
// sizes memory or seeks by a broken count or size.

#include "pack/pack_table.h"

#include <QByteArray>
#include <QString>

namespace wm {

enum class IndexLoad { Loaded, Missing, Malformed };

// Fills pack_count, pack_names and pack_sizes from the text of an index (CR LF
// or LF line ends; names are taken whole). On a malformed text the table is
// left empty and false is returned with a problem text when asked.
bool parse_pack_index(const QByteArray& text, PackTable& table, QString* problem = nullptr);

// Reads base_path + ".icf" into the table (temp_folder is left alone). An
// index that is absent, unreadable or of 0 or 1 byte is Missing: the table
// stays empty and no problem is reported.
IndexLoad load_pack_index(PackTable& table, const QString& base_path, QString* problem = nullptr);

// The saver's start: points temp_folder at the run's private folder, then
// loads the index. Always true; whether members were found shows in
// pack_count, and a malformed index also in `problem`.
bool read_pack_index(PackTable& table, const QString& base_path, QString* problem = nullptr);

}  // namespace wm
