#include "pack/pack_extract.h"

#include "pack/chunked_copy.h"
#include "pack/pack_commit.h"
#include "pack/pack_format.h"
#include "pack/pack_index.h"
#include "platform/app_paths.h"
#include "platform/error_text.h"
#include "platform/regular_file.h"
#include "platform/run_temp_folder.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <limits>

namespace wm {
namespace {

// Extracted members all share this name, told apart only by the last three
// characters of their stored names.
const QString kTempMemberStem = QStringLiteral("img_xyz.");
constexpr qsizetype kTempSuffixLength = 3;

struct MemberSpan {
    qint64 offset = 0;
    qint64 size = 0;
};

bool in_table(const PackTable& table, int position) {
    return position >= 1 && position <= table.pack_count &&
           static_cast<std::size_t>(position) < table.pack_names.size() &&
           static_cast<std::size_t>(position) < table.pack_sizes.size();
}

QString no_member_text(const PackTable& table, int position) {
    return QStringLiteral("there is no member %1 (the pack holds %2)")
        .arg(position)
        .arg(qMax(table.pack_count, 0));
}

// The temporary path of a member, refused when it could lead out of temp_folder.
std::optional<QString> checked_temp_path(const PackTable& table, int position, QString* problem) {
    if (table.temp_folder.isEmpty()) {
        set_error(problem, QStringLiteral("there is no folder for extracted members"));
        return std::nullopt;
    }
    if (!in_table(table, position)) {
        set_error(problem, no_member_text(table, position));
        return std::nullopt;
    }
    const QString suffix =
        table.pack_names[static_cast<std::size_t>(position)].right(kTempSuffixLength);
    if (suffix.contains(kPathSeparator) || suffix.contains(QChar::Null)) {
        set_error(problem, QStringLiteral("the name of member %1 ends in a folder separator or NUL")
                               .arg(position));
        return std::nullopt;
    }
    return with_trailing_separator(table.temp_folder) + kTempMemberStem + suffix;
}

// Where member `position` lies in the data file: the sum of the sizes before it.
std::optional<MemberSpan> member_span(const PackTable& table, int position, QString* problem) {
    if (!in_table(table, position)) {
        set_error(problem, no_member_text(table, position));
        return std::nullopt;
    }
    MemberSpan span;
    for (int j = 1; j <= position; ++j) {
        const qint64 size = table.pack_sizes[static_cast<std::size_t>(j)];
        if (size < 0) {
            set_error(problem, QStringLiteral("member %1 has a negative size").arg(j));
            return std::nullopt;
        }
        if (j < position) {
            span.offset += size;
        } else {
            span.size = size;
        }
    }
    return span;
}

// Opens the data file positioned at the member's first byte, once it is known
// to be the table's: a data file of another size holds other members.
bool open_member(QFile& data, const QString& path, const PackTable& table, const MemberSpan& span,
                 QString* problem) {
    QString why;
    if (!open_regular_file(data, path, std::numeric_limits<qint64>::max(), &why)) {
        set_error(problem, QStringLiteral("cannot read the data file %1: %2").arg(path, why));
        return false;
    }
    if (!data_size_matches(table, path, data.size(), problem)) {
        return false;
    }
    if (!data.seek(span.offset)) {
        set_error(problem, QStringLiteral("cannot seek in the data file %1").arg(path));
        return false;
    }
    return true;
}

// True when `path` names one of the pack's own files (through any link),
// pending ones included.
bool is_pack_file(const QString& base_path, const QString& path) {
    const QString target = QFileInfo(path).canonicalFilePath();
    if (target.isEmpty()) {
        return false;
    }
    for (const QString& suffix : {kDataSuffix, kIndexSuffix}) {
        const QString own = base_path + suffix;
        for (const QString& file : {own, pending_pack_file(own)}) {
            if (target == QFileInfo(file).canonicalFilePath()) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

QString temp_member_path(const PackTable& table, int position) {
    return checked_temp_path(table, position, nullptr).value_or(QString());
}

namespace {

// Copies member `position` into `out`, already open for writing.
bool copy_member_bytes(const PackTable& table, const QString& base_path, int position,
                       QIODevice& out, QString* problem) {
    const std::optional<MemberSpan> span = member_span(table, position, problem);
    if (!span) {
        return false;
    }
    QFile data;
    if (!open_member(data, current_pack_file(base_path, kDataSuffix), table, *span, problem)) {
        return false;
    }
    QString why;
    if (!copy_chunked(data, out, span->size, &why)) {
        set_error(problem, QStringLiteral("copying member %1: %2").arg(position).arg(why));
        return false;
    }
    return true;
}

}  // namespace

bool copy_member(const PackTable& table, const QString& base_path, int position,
                 const QString& out_path, QString* problem) {
    if (!member_span(table, position, problem)) {
        return false;
    }
    if (is_pack_file(base_path, out_path)) {
        set_error(problem, QStringLiteral("%1 is a file of the pack itself").arg(out_path));
        return false;
    }
    QSaveFile out(out_path);
    // Unbuffered, so that a failing write reports its own reason (write_all).
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        set_error(problem, QStringLiteral("cannot write %1: %2").arg(out_path, out.errorString()));
        return false;
    }
    if (!copy_member_bytes(table, base_path, position, out, problem)) {
        return false;
    }
    if (!out.commit()) {
        set_error(problem,
                  QStringLiteral("cannot complete %1: %2").arg(out_path, out.errorString()));
        return false;
    }
    return true;
}

std::optional<QString> extract_member_path(const PackTable& table, const QString& base_path,
                                           int position, QString* problem) {
    const std::optional<QString> target = checked_temp_path(table, position, problem);
    if (!target) {
        return std::nullopt;
    }
    if (is_pack_file(base_path, *target)) {
        set_error(problem, QStringLiteral("%1 is a file of the pack itself").arg(*target));
        return std::nullopt;
    }
    // An earlier member's file goes first, so a failure leaves nothing at the path.
    QFile::remove(*target);
    // The run's private folder is gone when the run ends, so its files need
    // no sync to disk (which a scene change every few seconds would pay for):
    // the copy is only made whole under another name before it takes the path.
    QFile out(*target + QLatin1Char('~'));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        set_error(problem,
                  QStringLiteral("cannot write %1: %2").arg(out.fileName(), out.errorString()));
        return std::nullopt;
    }
    if (!copy_member_bytes(table, base_path, position, out, problem)) {
        out.remove();
        return std::nullopt;
    }
    out.close();
    if (!out.rename(*target)) {
        set_error(problem,
                  QStringLiteral("cannot complete %1: %2").arg(*target, out.errorString()));
        out.remove();
        return std::nullopt;
    }
    return target;
}

QString extract_member(const PackTable& table, const QString& base_path, int position) {
    return extract_member_path(table, base_path, position).value_or(kExtractFailed);
}

void delete_temp_files(PackTable& table) {
    remove_run_temp_folder();
    table.temp_folder.clear();
}

}  // namespace wm
