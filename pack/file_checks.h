#pragma once
// The pack's two small path rules.

#include <QString>

namespace wm {

// True only for a readable regular file longer than 1 byte: absent, unreadable,
// special files, folders and files of 0 or 1 byte all count as missing.
bool file_exists(const QString& path);

// The text after the last separator of `path`; the whole path when it has
// none; empty for an empty path.
QString file_name_part(const QString& path);

}  // namespace wm
