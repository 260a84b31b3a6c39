#include "audio/midi_unwrap.h"

#include <QtEndian>

namespace wm {

QByteArray standard_midi_file(const QByteArray& file) {
    if (file.startsWith("MThd")) {
        return file;
    }
    if (!file.startsWith("RIFF") || file.mid(8, 4) != "RMID") {
        return {};
    }
    qsizetype at = 12;
    while (at + 8 <= file.size()) {
        const auto* size_bytes = reinterpret_cast<const uchar*>(file.constData() + at + 4);
        const qint64 size = qFromLittleEndian<quint32>(size_bytes);
        if (file.mid(at, 4) == "data") {
            const QByteArray data = file.mid(at + 8, size);
            return data.startsWith("MThd") ? data : QByteArray();
        }
        at += 8 + size + (size % 2);  // chunks are padded to even lengths
    }
    return {};
}

}  // namespace wm
