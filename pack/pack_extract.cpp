#include "pack/pack_extract.h"

#include "pack/chunked_copy.h"
#include "pack/pack_format.h"
#include "platform/app_paths.h"
#include "platform/error_text.h"
#include "platform/run_temp_folder.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

// Opens the data file positioned at the member's first byte.
bool open_member(QFile& data, const MemberSpan& span, int position, QString* problem) {
    if (!QFileInfo(data.fileName()).isFile() || !data.open(QIODevice::ReadOnly)) {
        set_error(problem, QStringLiteral("cannot read the data file %1").arg(data.fileName()));
        return false;
    }
    if (span.offset + span.size > data.size()) {
        set_error(problem,
                  QStringLiteral("member %1 reaches past the end of the data file %2 (%3 bytes "
                                 "needed, %4 present)")
                      .arg(position)
                      .arg(data.fileName())
                      .arg(span.offset + span.size)
                      .arg(data.size()));
        return false;
    }
    if (!data.seek(span.offset)) {
        set_error(problem, QStringLiteral("cannot seek in the data file %1").arg(data.fileName()));
        return false;
    }
    return true;
}

// True when `path` names one of the pack's own two files (through any link).
bool is_pack_file(const QString& base_path, const QString& path) {
    const QString target = QFileInfo(path).canonicalFilePath();
    return !target.isEmpty() && (target == QFileInfo(base_path + kDataSuffix).canonicalFilePath() ||
                                 target == QFileInfo(base_path + kIndexSuffix).canonicalFilePath());
}

}  // namespace

QString temp_member_path(const PackTable& table, int position) {
    return checked_temp_path(table, position, nullptr).value_or(QString());
}

bool copy_member(const PackTable& table, const QString& base_path, int position,
                 const QString& out_path, QString* problem) {
    const std::optional<MemberSpan> span = member_span(table, position, problem);
    if (!span) {
        return false;
    }
    if (is_pack_file(base_path, out_path)) {
        set_error(problem, QStringLiteral("%1 is a file of the pack itself").arg(out_path));
        return false;
    }
    QFile data(base_path + kDataSuffix);
    if (!open_member(data, *span, position, problem)) {
        return false;
    }
    QSaveFile out(out_path);
    if (!out.open(QIODevice::WriteOnly)) {
        set_error(problem, QStringLiteral("cannot write %1: %2").arg(out_path, out.errorString()));
        return false;
    }
    QString why;
    if (!copy_chunked(data, out, span->size, &why)) {
        set_error(problem, QStringLiteral("copying member %1: %2").arg(position).arg(why));
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
    // An earlier member's file goes first, so a failure leaves nothing at the path.
    QFile::remove(*target);
    if (!copy_member(table, base_path, position, *target, problem)) {
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
