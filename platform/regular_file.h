#pragma once
// Opening a file that a user, a setting or a list names, when only a plain
// file will do.
//
// Such a path may name anything: a folder, a named pipe (whose opening or
// reading waits for a writer that never comes), a device such as /dev/zero
// (endless bytes) or a link to one of them. Only a regular file, reached
// through any links, of a bounded size is opened, and it is opened without
// waiting (O_NONBLOCK), so that a pipe put in its place between the check
// and the opening is refused instead of stopping the program.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>

#include <sys/types.h>

namespace wm {

// The reasons given in *problem describe the file without naming it (the
// caller names it): the system's words ("No such file or directory",
// "Permission denied"), "a named pipe, not a regular file" (a folder, a
// device ...), "larger than N bytes", or "no file name" for an empty path.

// True for a regular file (symlinks followed) of 0 .. max_bytes bytes;
// otherwise false with the reason in *problem (when given).
bool is_regular_file(const QString& path, qint64 max_bytes, QString* problem = nullptr);

// The whole file, read after the opened file itself (fstat) has been found
// regular and no larger than max_bytes. Opened with O_NONBLOCK | O_CLOEXEC,
// so opening never waits. A file that grows past max_bytes while it is read
// is refused; one that shrinks gives what it still holds. nullopt, with the
// reason in *problem, for everything else.
std::optional<QByteArray> read_regular_file(const QString& path, qint64 max_bytes,
                                            QString* problem = nullptr);

// A descriptor for reading the regular file `path` of 0 .. max_bytes bytes,
// opened as read_regular_file() opens it (and put back into blocking mode,
// which for a regular file changes nothing), for readers that stream a file
// rather than read it whole. The caller closes it. -1, with the reason in
// *problem, when the path is no such file or cannot be opened.
int open_regular_file(const QString& path, qint64 max_bytes, QString* problem = nullptr);

// open_regular_file() into `file`, which takes the descriptor (read-only,
// closed with the file). False, with the reason in *problem, as above.
bool open_regular_file(QFile& file, const QString& path, qint64 max_bytes,
                       QString* problem = nullptr);

// Why a file of type `mode` (st_mode from stat(), lstat() or fstat()) that
// is not a regular file will not do, in the words the functions above give:
// "a folder, not a regular file", "a named pipe, ...", "a device, ..." (a
// character or block device), "a socket, ...", "a symbolic link, ..."
// (which only callers of lstat() see), or "not a regular file" for any
// other kind.
QString not_regular_reason(mode_t mode);

}  // namespace wm
