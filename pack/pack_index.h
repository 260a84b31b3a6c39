#pragma once
// Reads a pack's index into a member table.
//
// The index comes from disk and is checked as such: an index that cannot be
// trusted whole leaves the table empty and says why, so that no caller ever
// sizes memory or seeks by a broken count or size.
//
// The index is only trusted together with its data file: the data file must
// hold exactly the bytes the index lists, or the two are not one pack (an
// index left over a newer data file, a data file cut short) and the index is
// refused as Malformed. Both files are taken by the rule of pack_commit.h, so
// that a pack whose write was stopped reads as the old pack or the new one,
// never as a mix, and without write access to its folder.

#include "pack/pack_table.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace wm {

enum class IndexLoad { Loaded, Missing, Malformed };

// Fills pack_count, pack_names and pack_sizes from the text of an index (CR LF
// or LF line ends; names are taken whole). On a malformed text the table is
// left empty and false is returned with a problem text when asked.
bool parse_pack_index(const QByteArray& text, PackTable& table, QString* problem = nullptr);

// Reads the pack's index (base_path + ".icf", see above) into the table
// (temp_folder is left alone). An index that is absent, unreadable or of 0 or
// 1 byte is Missing: the table stays empty and no problem is reported. A
// malformed index, or one whose data file is absent or not of the size it
// lists, is Malformed.
IndexLoad load_pack_index(PackTable& table, const QString& base_path, QString* problem = nullptr);

// The bytes the table's members take together: the size its data file must
// have. nullopt for a table that no index gives (a negative size, a count
// beyond its lists).
std::optional<qint64> listed_bytes(const PackTable& table);

// True when a data file of `data_size` bytes belongs to the table; otherwise
// false with a problem text naming data_path.
bool data_size_matches(const PackTable& table, const QString& data_path, qint64 data_size,
                       QString* problem = nullptr);

// The saver's start: points temp_folder at the run's private folder, then
// loads the index. Always true; whether members were found shows in
// pack_count, and a malformed index also in `problem`.
bool read_pack_index(PackTable& table, const QString& base_path, QString* problem = nullptr);

}  // namespace wm
