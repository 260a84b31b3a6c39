#include "pack/pack_index.h"

#include "pack/file_checks.h"
#include "pack/pack_commit.h"
#include "pack/pack_format.h"
#include "platform/error_text.h"
#include "platform/regular_file.h"
#include "platform/run_temp_folder.h"

#include <QFile>
#include <QFileInfo>

#include <limits>
#include <optional>

namespace wm {
namespace {

// Hands out the lines of a text one at a time without copying it into a list.
class LineReader {
  public:
    explicit LineReader(const QByteArray& text) : text_(text) {}

    // Lines in the whole text; a last line without a line end counts too.
    qint64 total_lines() const {
        return text_.count('\n') + ((text_.isEmpty() || text_.endsWith('\n')) ? 0 : 1);
    }

    // The next line without its LF or CR LF; the 1-based number of the line
    // last returned is in number().
    QByteArray next() {
        qsizetype end = text_.indexOf('\n', position_);
        if (end < 0) {
            end = text_.size();
        }
        QByteArray line = text_.mid(position_, end - position_);
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        position_ = end + 1;
        ++number_;
        return line;
    }

    int number() const { return number_; }

  private:
    const QByteArray& text_;
    qsizetype position_ = 0;
    int number_ = 0;
};

// A stored line as the user may see it in a message: short and printable.
QString shown(const QByteArray& line) {
    constexpr qsizetype kShownLength = 40;
    QString text = QString::fromUtf8(line.left(kShownLength));
    if (line.size() > kShownLength) {
        text += QStringLiteral("...");
    }
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// A count or size line: decimal digits giving a 32-bit signed value of at least 0.
std::optional<qint32> stored_number(const QByteArray& line, int line_number, const QString& what,
                                    QString* problem) {
    bool ok = false;
    const qint64 value = line.trimmed().toLongLong(&ok, 10);
    QString fault;
    if (!ok) {
        fault = QStringLiteral("is not a number");
    } else if (value < 0) {
        fault = QStringLiteral("is negative");
    } else if (value > std::numeric_limits<qint32>::max()) {
        fault = QStringLiteral("is larger than %1").arg(std::numeric_limits<qint32>::max());
    } else {
        return static_cast<qint32>(value);
    }
    set_error(problem,
              QStringLiteral("line %1: %2 %3 %4").arg(line_number).arg(what, shown(line), fault));
    return std::nullopt;
}

void clear_members(PackTable& table) {
    table.pack_count = 0;
    table.pack_names.clear();
    table.pack_sizes.clear();
}

bool fill_members(LineReader& lines, PackTable& table, QString* problem) {
    constexpr int kHeaderLines = 3;
    const qint64 total = lines.total_lines();
    if (total <= kHeaderLines) {
        set_error(problem, QStringLiteral("the index ends before its member count"));
        return false;
    }
    for (int i = 0; i < kHeaderLines; ++i) {
        lines.next();
    }
    const QByteArray count_line = lines.next();
    const std::optional<qint32> count =
        stored_number(count_line, lines.number(), QStringLiteral("member count"), problem);
    if (!count) {
        return false;
    }
    // Checked before anything is sized by the count.
    const qint64 member_lines = total - lines.number();
    if (*count > member_lines / 2) {
        set_error(problem, QStringLiteral("the index lists %1 members but holds lines for only %2")
                               .arg(*count)
                               .arg(member_lines / 2));
        return false;
    }
    table.pack_names.assign(1, QString());
    table.pack_sizes.assign(1, 0);
    table.pack_names.reserve(static_cast<std::size_t>(*count) + 1);
    table.pack_sizes.reserve(static_cast<std::size_t>(*count) + 1);
    for (int i = 1; i <= *count; ++i) {
        table.pack_names.push_back(QString::fromUtf8(lines.next()));
        const QByteArray size_line = lines.next();
        const std::optional<qint32> size = stored_number(
            size_line, lines.number(), QStringLiteral("size of member %1").arg(i), problem);
        if (!size) {
            return false;
        }
        table.pack_sizes.push_back(*size);
    }
    table.pack_count = *count;
    return true;
}

}  // namespace

bool parse_pack_index(const QByteArray& text, PackTable& table, QString* problem) {
    clear_members(table);
    LineReader lines(text);
    if (!fill_members(lines, table, problem)) {
        clear_members(table);
        return false;
    }
    return true;
}

std::optional<qint64> listed_bytes(const PackTable& table) {
    if (table.pack_count == 0) {
        return 0;
    }
    if (table.pack_count < 0 ||
        static_cast<std::size_t>(table.pack_count) >= table.pack_sizes.size()) {
        return std::nullopt;
    }
    qint64 total = 0;
    for (int i = 1; i <= table.pack_count; ++i) {
        const qint32 size = table.pack_sizes[static_cast<std::size_t>(i)];
        if (size < 0) {
            return std::nullopt;
        }
        total += size;
    }
    return total;
}

bool data_size_matches(const PackTable& table, const QString& data_path, qint64 data_size,
                       QString* problem) {
    const std::optional<qint64> listed = listed_bytes(table);
    if (!listed) {
        set_error(problem, QStringLiteral("the member table lists no valid sizes"));
        return false;
    }
    if (*listed == data_size) {
        return true;
    }
    set_error(problem, QStringLiteral("the data file %1 holds %2 bytes but the index lists %3: "
                                      "the two files are not one pack")
                           .arg(data_path)
                           .arg(data_size)
                           .arg(*listed));
    return false;
}

IndexLoad load_pack_index(PackTable& table, const QString& base_path, QString* problem) {
    clear_members(table);
    const QString path = current_pack_file(base_path, kIndexSuffix);
    if (!file_exists(path)) {
        return IndexLoad::Missing;
    }
    if (QFileInfo(path).size() > kMaxIndexBytes) {
        set_error(problem, QStringLiteral("the index is larger than %1 bytes").arg(kMaxIndexBytes));
        return IndexLoad::Malformed;
    }
    // Read as every outside file is: a pipe put in its place since the check
    // above is refused, not waited on.
    QString why;
    const std::optional<QByteArray> text = read_regular_file(path, kMaxIndexBytes, &why);
    if (!text) {
        set_error(problem, QStringLiteral("cannot read the index %1: %2").arg(path, why));
        return IndexLoad::Malformed;
    }
    if (!parse_pack_index(*text, table, problem)) {
        return IndexLoad::Malformed;
    }
    const QFileInfo data(current_pack_file(base_path, kDataSuffix));
    why.clear();
    if (!data.isFile()) {
        why = QStringLiteral("there is no data file %1").arg(data.filePath());
    } else if (data_size_matches(table, data.filePath(), data.size(), &why)) {
        return IndexLoad::Loaded;
    }
    clear_members(table);
    set_error(problem, why);
    return IndexLoad::Malformed;
}

bool read_pack_index(PackTable& table, const QString& base_path, QString* problem) {
    table.temp_folder = run_temp_folder();
    load_pack_index(table, base_path, problem);
    return true;
}

}  // namespace wm
