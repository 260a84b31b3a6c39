#include "platform/run_temp_folder.h"

#include "platform/app_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QtGlobal>

#include <sys/stat.h>
#include <cstdlib>

namespace wm {
namespace {

QString& current_folder() {
    static QString folder;
    return folder;
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
    return folder;
}

void remove_run_temp_folder() {
    QString& folder = current_folder();
    if (!folder.isEmpty()) {
        QDir(folder).removeRecursively();
        folder.clear();
    }
}

}  // namespace wm
