#pragma once
// Writes a pack from a list of source files.

#include <QString>
#include <QStringList>

namespace wm {

// Writes folder + base_name + ".icf" and ".img" from `sources` (full paths, in
// member order). Both files are written beside their targets under temporary
// names and take the place of an existing pack only once both are complete,
// so a failed write leaves any earlier pack as it was and no partial files.
// Fails (with a problem text when asked) for a missing, unreadable, special or
// too large source, a source name holding a line break, or a folder that
// cannot be written.
bool make_pack_file(const QString& folder, const QString& base_name, const QStringList& sources,
                    QString* problem = nullptr);

}  // namespace wm
