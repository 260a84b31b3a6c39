#include "pack/pack_writer.h"

#include "pack/chunked_copy.h"
#include "pack/file_checks.h"
#include "pack/pack_commit.h"
#include "pack/pack_format.h"
#include "platform/app_paths.h"
#include "platform/error_text.h"
#include "platform/regular_file.h"
#include "platform/write_all.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace wm {
namespace {

struct Source {
    QString path;
    QString name;
    qint64 size = 0;
};

// The five names a write of one pack uses.
struct PackPaths {
    explicit PackPaths(const QString& base)
        : index(base + kIndexSuffix),
          data(base + kDataSuffix),
          pending_index(pending_pack_file(index)),
          pending_data(pending_pack_file(data)),
          marker(commit_marker_path(base)) {}

    QString index;
    QString data;
    QString pending_index;
    QString pending_data;
    QString marker;
};

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

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

bool copy_sources(const std::vector<Source>& sources, QIODevice& data,
                  const std::function<void()>& after_chunk, QString* problem) {
    for (const Source& source : sources) {
        QFile input;
        QString reason;
        if (!open_regular_file(input, source.path, kMaxMemberBytes, &reason)) {
            set_error(problem, QStringLiteral("cannot read %1: %2").arg(source.path, reason));
            return false;
        }
        QString why;
        if (!copy_chunked(input, data, source.size, &why, after_chunk)) {
            set_error(problem, QStringLiteral("copying %1: %2").arg(source.path, why));
            return false;
        }
    }
    return true;
}

// The folder of the pack, open while the write runs: locked, so that two writes
// into one folder never take each other's pending files, and flushed to the
// disk between the steps whose order must survive a power cut.
class PackFolder {
  public:
    PackFolder() = default;
    ~PackFolder() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    PackFolder(const PackFolder&) = delete;
    PackFolder& operator=(const PackFolder&) = delete;

    bool open(const QString& path, QString* problem) {
        path_ = path;
        fd_ = ::open(native(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ < 0) {
            set_error(
                problem,
                QStringLiteral("cannot open the folder %1: %2").arg(path, qt_error_string(errno)));
            return false;
        }
        // A file system without locks (some network ones) is written unlocked.
        if (::flock(fd_, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
            set_error(problem, QStringLiteral("another pack is being written into %1").arg(path));
            return false;
        }
        return true;
    }

    // Makes the folder's changes so far durable. A file system that cannot
    // flush a folder (EINVAL) orders its changes itself.
    bool sync(QString* problem) const {
        if (::fsync(fd_) == 0 || errno == EINVAL) {
            return true;
        }
        set_error(problem, QStringLiteral("cannot flush the folder %1 to the disk: %2")
                               .arg(path_, qt_error_string(errno)));
        return false;
    }

  private:
    QString path_;
    int fd_ = -1;
};

// Removes a file; one that is not there is gone already.
bool remove_file(const QString& path, QString* problem) {
    if (::unlink(native(path).constData()) == 0 || errno == ENOENT) {
        return true;
    }
    set_error(problem, QStringLiteral("cannot remove %1: %2").arg(path, qt_error_string(errno)));
    return false;
}

void remove_pending_files(const PackPaths& paths) {
    remove_file(paths.pending_data, nullptr);
    remove_file(paths.pending_index, nullptr);
}

bool present(const QString& path) {
    return QFileInfo::exists(path);
}

// Renames a pending file over its target, when it has not been renamed yet.
bool put_in_place(const QString& pending, const QString& target, QString* problem) {
    if (!present(pending) ||
        ::rename(native(pending).constData(), native(target).constData()) == 0) {
        return true;
    }
    set_error(problem,
              QStringLiteral("cannot put %1 in place: %2").arg(target, qt_error_string(errno)));
    return false;
}

// Writes one pending file whole with `fill` and flushes it to the disk. It
// takes the permissions of the file it is to replace.
bool write_pending(const QString& path, const QString& target,
                   const std::function<bool(QFile&, QString*)>& fill, QString* problem) {
    QFile file(path);
    // Unbuffered, so that a failing write reports its own reason (write_all).
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
        set_error(problem, QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
        return false;
    }
    struct stat old {};
    if (::stat(native(target).constData(), &old) == 0) {
        // A file system without modes keeps its own: no reason to fail the write.
        ::fchmod(file.handle(), old.st_mode & 07777);
    }
    if (!fill(file, problem)) {
        return false;
    }
    if (::fsync(file.handle()) != 0) {
        set_error(problem, QStringLiteral("cannot write %1: %2").arg(path, qt_error_string(errno)));
        return false;
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        set_error(problem, QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

bool write_pending_files(const PackPaths& paths, const std::vector<Source>& sources,
                         const QByteArray& index, const PackWriteHook& hook, QString* problem) {
    const std::function<void()> after_chunk = [&hook] { hook(PackWriteStep::ChunkWritten); };
    return write_pending(
               paths.pending_data, paths.data,
               [&](QFile& file, QString* why) {
                   return copy_sources(sources, file, after_chunk, why);
               },
               problem) &&
           write_pending(
               paths.pending_index, paths.index,
               [&](QFile& file, QString* why) {
                   QString reason;
                   if (write_all(file, index, &reason)) {
                       return true;
                   }
                   set_error(why, QStringLiteral("%1: %2").arg(file.fileName(), reason));
                   return false;
               },
               problem);
}

bool create_marker(const QString& path, QString* problem) {
    const int fd = ::open(native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        set_error(problem,
                  QStringLiteral("cannot create %1: %2").arg(path, qt_error_string(errno)));
        return false;
    }
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    const int sync_error = errno;
    ::close(fd);
    if (!synced) {
        set_error(problem,
                  QStringLiteral("cannot create %1: %2").arg(path, qt_error_string(sync_error)));
        remove_file(path, nullptr);
    }
    return synced;
}

// Steps 4 to 6 of a committed write (pack_writer.h). When the first rename
// fails and `may_withdraw` is set, the write is withdrawn instead: the marker
// goes, and with it the new pair, which nothing has replaced yet.
bool complete_commit(const PackPaths& paths, const PackFolder& folder, const PackWriteHook& hook,
                     bool may_withdraw, QString* problem) {
    if (!put_in_place(paths.pending_data, paths.data, problem)) {
        if (may_withdraw && remove_file(paths.marker, nullptr)) {
            folder.sync(nullptr);
            remove_pending_files(paths);
        }
        return false;
    }
    hook(PackWriteStep::DataRenamed);
    if (!put_in_place(paths.pending_index, paths.index, problem)) {
        // The marker stays: the new pair is the pack, and the next write finishes it.
        return false;
    }
    hook(PackWriteStep::IndexRenamed);
    if (!folder.sync(problem) || !remove_file(paths.marker, problem)) {
        return false;
    }
    if (!folder.sync(problem)) {
        return false;
    }
    hook(PackWriteStep::MarkerRemoved);
    return true;
}

// Step 1: completes a write that was stopped after its marker, or clears away
// the pending files of one stopped before it.
bool settle_earlier_write(const PackPaths& paths, const PackFolder& folder,
                          const PackWriteHook& hook, QString* problem) {
    if (!present(paths.marker)) {
        remove_pending_files(paths);
        return true;
    }
    QString why;
    if (complete_commit(paths, folder, hook, false, &why)) {
        return true;
    }
    set_error(problem,
              QStringLiteral("cannot complete the interrupted write of the pack (%1)").arg(why));
    return false;
}

}  // namespace

bool make_pack_file(const QString& folder, const QString& base_name, const QStringList& sources,
                    QString* problem, const PackWriteHook& hook) {
    if (folder.isEmpty() || base_name.isEmpty()) {
        set_error(problem, QStringLiteral("no folder or no base name given for the pack"));
        return false;
    }
    const PackWriteHook step = hook ? hook : [](PackWriteStep) {};
    PackFolder place;
    if (!place.open(folder, problem)) {
        return false;
    }
    const PackPaths paths(with_trailing_separator(folder) + base_name);
    if (!settle_earlier_write(paths, place, step, problem)) {
        return false;
    }
    // Checked after step 1: a source may be the pack's own data file.
    const std::optional<std::vector<Source>> checked = checked_sources(sources, problem);
    if (!checked) {
        return false;
    }
    const QByteArray index = index_text(*checked);
    if (index.size() > kMaxIndexBytes) {
        set_error(problem, QStringLiteral("the index of %1 members would be larger than the %2 "
                                          "bytes a reader accepts")
                               .arg(checked->size())
                               .arg(kMaxIndexBytes));
        return false;
    }
    if (!write_pending_files(paths, *checked, index, step, problem)) {
        remove_pending_files(paths);
        return false;
    }
    step(PackWriteStep::FilesWritten);
    if (!create_marker(paths.marker, problem)) {
        remove_pending_files(paths);
        return false;
    }
    if (!place.sync(problem)) {
        remove_file(paths.marker, nullptr);
        remove_pending_files(paths);
        return false;
    }
    step(PackWriteStep::MarkerCreated);
    return complete_commit(paths, place, step, true, problem);
}

}  // namespace wm
