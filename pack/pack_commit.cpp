#include "pack/pack_commit.h"

#include <QFileInfo>

namespace wm {

QString pending_pack_file(const QString& file_path) {
    return file_path + QStringLiteral(".pending");
}

QString commit_marker_path(const QString& base_path) {
    return base_path + QStringLiteral(".commit");
}

QString current_pack_file(const QString& base_path, const QString& suffix) {
    const QString path = base_path + suffix;
    if (QFileInfo::exists(commit_marker_path(base_path))) {
        const QString pending = pending_pack_file(path);
        if (QFileInfo::exists(pending)) {
            return pending;
        }
    }
    return path;
}

}  // namespace wm
