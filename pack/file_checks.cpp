#include "pack/file_checks.h"

#include "platform/app_paths.h"

#include <QFileInfo>

namespace wm {

bool file_exists(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    const QFileInfo info(path);
    return info.isFile() && info.isReadable() && info.size() > 1;
}

QString file_name_part(const QString& path) {
    return path.mid(path.lastIndexOf(kPathSeparator) + 1);
}

}  // namespace wm
