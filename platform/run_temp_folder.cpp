#include "platform/run_temp_folder.h"

#include "platform/app_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QtGlobal>

#include <atomic>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace wm {
namespace {

QString& current_folder() {
    static QString folder;
    return folder;
}

// The folder's path as bytes for remove_run_temp_folder_at_once(): a plain
// buffer that nothing ever destroys, valid while `g_at_once_set` holds.
char g_at_once_path[PATH_MAX];
std::atomic<bool> g_at_once_set{false};

void remember_for_removal_at_once(const QByteArray& path) {
    g_at_once_set.store(false);
    if (path.size() < static_cast<qsizetype>(sizeof g_at_once_path)) {
        std::memcpy(g_at_once_path, path.constData(), static_cast<std::size_t>(path.size()) + 1);
        g_at_once_set.store(true);
    }
}

// Unlinks every entry of the open folder `dir`; true when a pass found none left.
bool unlink_entries(int dir) {
    alignas(struct dirent64) char buffer[4096];
    bool empty = true;
    ::lseek(dir, 0, SEEK_SET);
    for (;;) {
        const ssize_t got = ::getdents64(dir, buffer, sizeof buffer);
        if (got <= 0) {
            return empty;
        }
        for (ssize_t at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const struct dirent64*>(buffer + at);
            at += entry->d_reclen;
            const char* name = entry->d_name;
            if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) {
                continue;
            }
            empty = false;
            if (::unlinkat(dir, name, 0) != 0) {
                ::unlinkat(dir, name, AT_REMOVEDIR);
            }
        }
    }
}

QString base_folder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir() && QFileInfo(runtime).isWritable()) {
        return runtime;
    }
    return QDir::tempPath();
}

}  // namespace

QString run_temp_folder() {
    QString& folder = current_folder();
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
        return folder;
    }
    QByteArray pattern = QFile::encodeName(with_trailing_separator(base_folder())) +
                         QByteArrayLiteral("wintermere-XXXXXX");
    // mkdtemp creates the folder with mode 0700 and a name no one else holds.
    if (::mkdtemp(pattern.data()) == nullptr) {
        folder.clear();
        return folder;
    }
    folder = with_trailing_separator(QFile::decodeName(pattern));
    remember_for_removal_at_once(pattern);
    return folder;
}

void remove_run_temp_folder() {
    QString& folder = current_folder();
    if (!folder.isEmpty()) {
        QDir(folder).removeRecursively();
        folder.clear();
    }
    // Only now: a last resort that comes while the folder is being removed
    // still finds it to remove (removing the same entries twice is harmless).
    g_at_once_set.store(false);
}

void remove_run_temp_folder_at_once() {
    if (!g_at_once_set.exchange(false)) {
        return;
    }
    const int dir = ::open(g_at_once_path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir >= 0) {
        // Entries unlinked while the folder is read may hide others from the
        // same pass; a few passes see the folder empty.
        for (int pass = 0; pass < 8 && !unlink_entries(dir); ++pass) {
        }
        ::close(dir);
    }
    ::rmdir(g_at_once_path);
}

}  // namespace wm
