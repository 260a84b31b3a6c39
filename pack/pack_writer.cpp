#include "pack/pack_writer.h"

#include "pack/chunked_copy.h"
#include "pack/file_checks.h"
#include "pack/pack_format.h"
#include "platform/app_paths.h"
#include "platform/error_text.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>
#include <vector>

namespace wm {
namespace {

struct Source {
    QString path;
    QString name;
    qint64 size = 0;
};

// Everything that can be known about the sources is checked before any file is
// touched: the index must list exactly what the data file will hold.
std::optional<std::vector<Source>> checked_sources(const QStringList& paths, QString* problem) {
    std::vector<Source> sources;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (!info.isFile() || !info.isReadable()) {
            set_error(problem, QStringLiteral("%1 is missing or not a readable file").arg(path));
            return std::nullopt;
        }
        if (info.size() > kMaxMemberBytes) {
            set_error(problem,
                      QStringLiteral("%1 is larger than %2 bytes").arg(path).arg(kMaxMemberBytes));
            return std::nullopt;
        }
        const QString name = file_name_part(path);
        // One name per line: a line break would shift every line after it.
        if (name.contains(QLatin1Char('\n')) || name.contains(QLatin1Char('\r'))) {
            set_error(problem, QStringLiteral("the name of %1 holds a line break").arg(path));
            return std::nullopt;
        }
        sources.push_back({path, name, info.size()});
    }
    return sources;
}

QByteArray index_text(const std::vector<Source>& sources) {
    QStringList lines{kPackProductLine, kPackMakerLine, kPackMakerAddress,
                      QString::number(sources.size())};
    for (const Source& source : sources) {
        lines << source.name << QString::number(source.size);
    }
    QByteArray text;
    for (const QString& line : lines) {
        text += line.toUtf8() + QByteArrayLiteral("\r\n");
    }
    return text;
}

bool copy_sources(const std::vector<Source>& sources, QIODevice& data, QString* problem) {
    for (const Source& source : sources) {
        QFile input(source.path);
        if (!input.open(QIODevice::ReadOnly)) {
            set_error(problem,
                      QStringLiteral("cannot read %1: %2").arg(source.path, input.errorString()));
            return false;
        }
        QString why;
        if (!copy_chunked(input, data, source.size, &why)) {
            set_error(problem, QStringLiteral("copying %1: %2").arg(source.path, why));
            return false;
        }
    }
    return true;
}

bool open_for_writing(QSaveFile& file, QString* problem) {
    if (file.open(QIODevice::WriteOnly)) {
        return true;
    }
    set_error(problem,
              QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString()));
    return false;
}

bool finish(QSaveFile& file, QString* problem) {
    if (file.commit()) {
        return true;
    }
    set_error(problem,
              QStringLiteral("cannot complete %1: %2").arg(file.fileName(), file.errorString()));
    return false;
}

}  // namespace

bool make_pack_file(const QString& folder, const QString& base_name, const QStringList& sources,
                    QString* problem) {
    if (folder.isEmpty() || base_name.isEmpty()) {
        set_error(problem, QStringLiteral("no folder or no base name given for the pack"));
        return false;
    }
    const std::optional<std::vector<Source>> checked = checked_sources(sources, problem);
    if (!checked) {
        return false;
    }
    const QString base = with_trailing_separator(folder) + base_name;
    // Until commit() the new bytes go to temporary files beside the targets; an
    // uncommitted QSaveFile removes its temporary file when it goes away.
    QSaveFile index(base + kIndexSuffix);
    QSaveFile data(base + kDataSuffix);
    if (!open_for_writing(index, problem) || !open_for_writing(data, problem)) {
        return false;
    }
    const QByteArray text = index_text(*checked);
    if (index.write(text) != text.size()) {
        set_error(problem,
                  QStringLiteral("cannot write %1: %2").arg(index.fileName(), index.errorString()));
        return false;
    }
    if (!copy_sources(*checked, data, problem)) {
        return false;
    }
    // Both files must be complete before the first one takes the old one's place.
    if (!index.flush() || !data.flush()) {
        set_error(problem, QStringLiteral("cannot write the pack into %1").arg(folder));
        return false;
    }
    return finish(data, problem) && finish(index, problem);
}

}  // namespace wm
