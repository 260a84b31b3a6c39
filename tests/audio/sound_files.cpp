#include "tests/audio/sound_files.h"

#include <QDataStream>
#include <QIODevice>
#include <QtEndian>

#include <cmath>
#include <numbers>
#include <vector>

namespace wm::test {
namespace {

// Appends bits to a byte array, most significant first.
class BitWriter {
  public:
    void put(unsigned value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            bits_.push_back(((value >> i) & 1U) != 0);
        }
    }
    QByteArray bytes() const {
        QByteArray out((static_cast<qsizetype>(bits_.size()) + 7) / 8, '\0');
        for (std::size_t i = 0; i < bits_.size(); ++i) {
            if (bits_[i]) {
                out[static_cast<qsizetype>(i / 8)] |= static_cast<char>(0x80 >> (i % 8));
            }
        }
        return out;
    }

  private:
    std::vector<bool> bits_;
};

QByteArray little_endian(quint32 value) {
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

}  // namespace

QByteArray wave_tone(double seconds, double hertz) {
    constexpr quint32 kRate = 22050;
    const auto samples = static_cast<quint32>(seconds * kRate);
    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + samples * 2);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << kRate << quint32(kRate * 2) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(samples * 2);
    for (quint32 i = 0; i < samples; ++i) {
        const double phase = 2.0 * std::numbers::pi * hertz * i / kRate;
        out << static_cast<qint16>(std::lround(12000.0 * std::sin(phase)));
    }
    return file;
}

QByteArray midi_note() {
    // Format 0, one track, 96 ticks a quarter note (half a second at the
    // default tempo).
    const QByteArray header("MThd\0\0\0\x06\0\0\0\x01\0\x60", 14);
    const QByteArray events(
        "\0\xC0\0"          // piano
        "\0\x90\x3C\x64"    // middle C on
        "\x60\x80\x3C\x40"  // off a quarter note later
        "\0\xFF\x2F\0",     // end of track
        15);
    QByteArray track("MTrk\0\0\0", 7);
    track.append(static_cast<char>(events.size()));
    return header + track + events;
}

QByteArray rmi_file(const QByteArray& midi) {
    QByteArray data("data");
    data += little_endian(static_cast<quint32>(midi.size())) + midi;
    if (midi.size() % 2 != 0) {
        data += '\0';
    }
    return QByteArray("RIFF") + little_endian(static_cast<quint32>(4 + data.size())) + "RMID" +
           data;
}

QByteArray mp3_tone(double seconds) {
    // 1152 samples a frame at 48 kHz; 144 * 64000 / 48000 = 192 bytes a frame.
    constexpr int kFrameBytes = 192;
    const int frames = static_cast<int>(std::ceil(seconds * 48000.0 / 1152.0));
    // Sync, MPEG-1, Layer III, no CRC; 64 kbit/s, 48 kHz, no padding; mono.
    const QByteArray header("\xFF\xFB\x54\xC0", 4);
    QByteArray file;
    for (int frame = 0; frame < frames; ++frame) {
        BitWriter side;
        side.put(0, 9);  // main data begins in this frame
        side.put(0, 5);  // private bits
        side.put(0, 4);  // no scale factors shared between granules
        for (int granule = 0; granule < 2; ++granule) {
            side.put(8, 12);   // scale factor and Huffman bits: the 8 below
            side.put(6, 9);    // big values: six pairs, lines 0 .. 11
            side.put(200, 8);  // global gain: 2^((200 - 210) / 4)
            side.put(0, 4);    // scale factors take no bits
            side.put(0, 1);    // long blocks
            side.put(1, 5);    // region 0 coded with table 1 ...
            side.put(0, 5);    // ... regions 1 and 2 are empty
            side.put(0, 5);
            side.put(2, 4);  // region 0: scale factor bands 0 .. 2 (lines 0 .. 11)
            side.put(0, 3);
            side.put(0, 3);  // no pre-emphasis, scale factor scale 0, count1 table A
        }
        BitWriter main;
        for (int granule = 0; granule < 2; ++granule) {
            for (int pair = 0; pair < 5; ++pair) {
                main.put(0b1, 1);  // (0, 0)
            }
            main.put(0b01, 2);  // (1, 0): line 10 is 1 ...
            main.put(0, 1);     // ... and positive
        }
        QByteArray bytes = header + side.bytes() + main.bytes();
        bytes.resize(kFrameBytes, '\0');
        file += bytes;
    }
    return file;
}

}  // namespace wm::test
