#pragma once
// A review sheet of the built-in media: every picture at a glance, the wing
// cycle drawn onto a background the way the stage composes it, the window
// pictures and the program's icon at each size.

#include <QString>

namespace wm::media {

// Reads what `wintermere-media build` wrote into `media_folder` and writes
// the sheet as a PNG to `png`. False, with a problem text, when a file is
// missing or cannot be read, or the sheet cannot be written.
bool write_contact_sheet(const QString& media_folder, const QString& png, QString* problem);

}  // namespace wm::media
