#pragma once
// Writing every byte to a file, with the system's reason when it cannot.

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace wm {

// Writes all `count` bytes to `to`. A write that stores only some of them is no
// failure by itself (a file system stores what fits); the write of the rest
// then fails with the system's reason ("File too large", "No space left on
// device"), which *reason receives (when given). The device should be
// unbuffered (open a file with QIODevice::Unbuffered): a buffered file
// learns of a full disk only when it is flushed, and Qt's buffered files
// then lose the reason, or take a short write for a whole one.
bool write_all(QIODevice& to, const char* bytes, qint64 count, QString* reason = nullptr);
inline bool write_all(QIODevice& to, const QByteArray& bytes, QString* reason = nullptr) {
    return write_all(to, bytes.constData(), bytes.size(), reason);
}

}  // namespace wm
