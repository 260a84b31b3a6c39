// Fuzzes the pack's index reader and member extraction with an index and a
// data file of fuzzed bytes (two parts of one input, see split_parts).
//
// Besides "no crash, no hang, no huge allocation" it holds the reader to its
// word: the table read from the file is the table parsed from its text, an
// index and a data file that agree are read, a member extracts exactly when
// it lies inside the data file under a usable name, its file then holds
// exactly its bytes, and a refused member leaves nothing behind.

#include "fuzz/fuzz_support.h"
#include "pack/pack_files.h"
#include "platform/app_paths.h"

#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>
#include <optional>

namespace {

using wm::fuzz::check;

QString tables_differ(const wm::PackTable& a, const wm::PackTable& b) {
    if (a.pack_count != b.pack_count) {
        return QStringLiteral("%1 members against %2").arg(a.pack_count).arg(b.pack_count);
    }
    for (int i = 1; i <= a.pack_count; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (a.pack_names[at] != b.pack_names[at] || a.pack_sizes[at] != b.pack_sizes[at]) {
            return QStringLiteral("member %1 differs").arg(i);
        }
    }
    return {};
}

// True when the last three characters of a name could lead out of a folder.
bool unusable_tail(const QString& name) {
    const QString tail = name.right(3);
    return tail.contains(wm::kPathSeparator) || tail.contains(QChar::Null);
}

void check_members(const wm::PackTable& table, const QString& base, const QByteArray& data) {
    qint64 offset = 0;
    for (int position = 1; position <= table.pack_count; ++position) {
        const auto at = static_cast<std::size_t>(position);
        const qint64 size = table.pack_sizes[at];
        check(size >= 0, "a negative member size was read");
        const bool inside = offset + size <= data.size();
        const bool expected = inside && !unusable_tail(table.pack_names[at]);
        QString problem;
        const std::optional<QString> path =
            wm::extract_member_path(table, base, position, &problem);
        const QString where = QStringLiteral("member %1 of %2 (size %3 at %4, data %5): %6")
                                  .arg(position)
                                  .arg(table.pack_count)
                                  .arg(size)
                                  .arg(offset)
                                  .arg(data.size())
                                  .arg(problem);
        check(path.has_value() == expected,
              expected ? "a member inside the data file was refused"
                       : "a member outside the data file or with an unusable name was extracted",
              where);
        const QString temp_path = wm::temp_member_path(table, position);
        if (path) {
            check(*path == temp_path, "extracted to another path than temp_member_path", where);
            check(wm::fuzz::read_file(*path) == data.mid(offset, size),
                  "the extracted file does not hold the member's bytes", where);
            QFile::remove(*path);
        } else {
            check(!problem.isEmpty(), "a refused member comes without a reason", where);
            check(temp_path.isEmpty() || !QFile::exists(temp_path),
                  "a refused member left a file behind", where);
        }
        offset += size;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    wm::fuzz::quiet_output();
    // The run's temporary folder lands below the scratch folder.
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(wm::fuzz::scratch_folder()));
    QDir().mkpath(wm::fuzz::scratch_folder() + QStringLiteral("pack"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t length) {
    const std::vector<QByteArray> parts =
        wm::fuzz::split_parts(wm::fuzz::input_bytes(bytes, length), 2);
    const QByteArray& index = parts[0];
    const QByteArray& data = parts[1];
    const QString base = wm::fuzz::scratch_folder() + QStringLiteral("pack/") + wm::kPackBaseName;
    wm::fuzz::write_file(base + wm::kIndexSuffix, index);
    wm::fuzz::write_file(base + wm::kDataSuffix, data);

    wm::PackTable parsed;
    QString parse_problem;
    const bool parsed_ok = wm::parse_pack_index(index, parsed, &parse_problem);
    check(parsed_ok || parsed.pack_count == 0, "a refused index left members in the table");
    check(parsed_ok || !parse_problem.isEmpty(), "a refused index comes without a reason");
    const std::size_t entries = parsed_ok ? static_cast<std::size_t>(parsed.pack_count) + 1 : 0;
    check(parsed.pack_names.size() == entries && parsed.pack_sizes.size() == entries,
          "the table's lists do not match its count");

    wm::PackTable table;
    QString problem;
    check(wm::read_pack_index(table, base, &problem), "read_pack_index returned false");
    check(!table.temp_folder.isEmpty(), "no temporary folder for the members");
    qint64 listed = 0;
    for (int i = 1; i <= parsed.pack_count; ++i) {
        listed += parsed.pack_sizes[static_cast<std::size_t>(i)];
    }
    // Two files of one pack (each more than a byte, as file_exists wants) are read.
    if (parsed_ok && index.size() > 1 && index.size() <= wm::kMaxIndexBytes &&
        listed == data.size() && data.size() > 1) {
        check(table.pack_count == parsed.pack_count, "a pack whose files agree was refused",
              problem);
    }
    if (table.pack_count > 0) {
        // The file may be refused for more than its text (a data file of
        // the wrong size), but what is read is what the text says.
        check(parsed_ok, "an index refused as text was read from its file", parse_problem);
        const QString differs = tables_differ(parsed, table);
        check(differs.isEmpty(), "the file's table differs from the text's", differs);
    }
    check_members(table, base, data);
    // Positions around the table are refused.
    for (const int position : {-1, 0, table.pack_count + 1}) {
        check(!wm::extract_member_path(table, base, position).has_value(),
              "a position outside the table was extracted");
    }
    check(wm::extract_member(table, base, 0) == wm::kExtractFailed,
          "extract_member of no member is not the failure text");

    wm::delete_temp_files(table);
    check(table.temp_folder.isEmpty(), "delete_temp_files kept the folder in the table");
    check(!wm::extract_member_path(table, base, 1).has_value(),
          "a member was extracted after delete_temp_files");
    return 0;
}
