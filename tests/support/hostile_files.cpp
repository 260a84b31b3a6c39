#include "tests/support/hostile_files.h"

#include <QBuffer>
#include <QColor>
#include <QFile>

#include <sys/stat.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

namespace wm::test {
namespace {

void put_be16(QByteArray& bytes, qsizetype at, int value) {
    bytes[at] = static_cast<char>((value >> 8) & 0xff);
    bytes[at + 1] = static_cast<char>(value & 0xff);
}

void put_be32(QByteArray& bytes, qsizetype at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<char>((value >> (24 - 8 * i)) & 0xff);
    }
}

void append_le16(QByteArray& bytes, std::uint32_t value) {
    bytes.append(static_cast<char>(value & 0xff));
    bytes.append(static_cast<char>((value >> 8) & 0xff));
}

void append_le32(QByteArray& bytes, std::uint32_t value) {
    append_le16(bytes, value & 0xffff);
    append_le16(bytes, value >> 16);
}

std::uint32_t crc32(const QByteArray& bytes) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) != 0 ? 0xedb88320U ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xffffffffU;
    for (const char byte : bytes) {
        c = table[(c ^ static_cast<std::uint8_t>(byte)) & 0xff] ^ (c >> 8);
    }
    return c ^ 0xffffffffU;
}

QByteArray encoded(const QImage& picture, const char* format, int quality = -1) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format, quality);
    return bytes;
}

}  // namespace

QImage colourful_picture(int width, int height, int hue) {
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const QColor colour =
                QColor::fromHsv((hue + x * 120 / std::max(width, 1)) % 360,
                                64 + y * 191 / std::max(height, 1), 96 + (x + y) % 160);
            row[x] = colour.rgb();
        }
    }
    return picture;
}

QByteArray jpeg_bytes(const QImage& picture, int quality) {
    return encoded(picture, "JPEG", quality);
}

QByteArray jpeg_claiming(int width, int height) {
    QByteArray bytes = jpeg_bytes(colourful_picture(16, 16, 0));
    // The frame header: FF C0, its length, the precision, then height and width.
    const qsizetype frame = bytes.indexOf(QByteArray("\xff\xc0", 2));
    if (frame >= 0) {
        put_be16(bytes, frame + 5, height);
        put_be16(bytes, frame + 7, width);
    }
    return bytes;
}

QByteArray png_claiming(int width, int height) {
    QByteArray bytes = encoded(colourful_picture(4, 4, 200), "PNG");
    // Signature (8), then the IHDR chunk: length (4), type (4), width, height ...
    constexpr qsizetype kType = 12;
    constexpr qsizetype kDataBytes = 13;
    put_be32(bytes, kType + 4, static_cast<std::uint32_t>(width));
    put_be32(bytes, kType + 8, static_cast<std::uint32_t>(height));
    put_be32(bytes, kType + 4 + kDataBytes, crc32(bytes.mid(kType, 4 + kDataBytes)));
    return bytes;
}

QByteArray broken_gif() {
    QByteArray bytes("GIF89a");
    append_le16(bytes, 16);  // logical screen
    append_le16(bytes, 16);
    bytes.append('\x80');  // a global colour table of two entries
    bytes.append('\0');
    bytes.append('\0');
    bytes.append(QByteArray("\x00\x00\x00\xff\xff\xff", 6));
    bytes.append('\x2c');  // the image: at 0, 0, 16 x 16, no local table
    append_le16(bytes, 0);
    append_le16(bytes, 0);
    append_le16(bytes, 16);
    append_le16(bytes, 16);
    bytes.append('\0');
    bytes.append('\x02');  // minimum code size, then codes that are no LZW stream
    bytes.append('\x0a');
    bytes.append(QByteArray(10, '\xff'));
    bytes.append('\0');
    bytes.append('\x3b');
    return bytes;
}

QByteArray bmp_with_negative_height() {
    constexpr std::uint32_t kHeaders = 14 + 40;
    QByteArray bytes("BM");
    append_le32(bytes, kHeaders + 64);
    append_le32(bytes, 0);
    append_le32(bytes, kHeaders);
    append_le32(bytes, 40);
    append_le32(bytes, 16);  // width
    append_le32(bytes, static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::min()));
    append_le16(bytes, 1);   // planes
    append_le16(bytes, 24);  // bits per pixel
    for (int field = 0; field < 6; ++field) {
        append_le32(bytes, 0);  // no compression, sizes and colours left to the reader
    }
    bytes.append(QByteArray(64, '\x40'));
    return bytes;
}

QByteArray wave_claiming_gigabytes() {
    constexpr int kRate = 22050;
    QByteArray bytes("RIFF");
    append_le32(bytes, 0xfffffff0U);
    bytes.append("WAVEfmt ");
    append_le32(bytes, 16);
    append_le16(bytes, 1);  // PCM, mono, 16-bit
    append_le16(bytes, 1);
    append_le32(bytes, kRate);
    append_le32(bytes, kRate * 2);
    append_le16(bytes, 2);
    append_le16(bytes, 16);
    bytes.append("data");
    append_le32(bytes, 0xffffff00U);
    for (int n = 0; n < kRate / 10; ++n) {
        const double sample = 8000.0 * std::sin(2.0 * 3.14159265358979 * 440.0 * n / kRate);
        append_le16(bytes, static_cast<std::uint16_t>(static_cast<std::int16_t>(sample)));
    }
    return bytes;
}

bool make_fifo(const QString& path) {
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

}  // namespace wm::test
