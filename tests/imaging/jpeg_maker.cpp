#include "tests/imaging/jpeg_maker.h"

#include <turbojpeg.h>

#include <memory>
#include <vector>

namespace wm::test {

QByteArray make_jpeg(int width, int height, const std::function<QRgb(int x, int y)>& pixel,
                     bool grey, int quality, bool progressive) {
    const int channels = grey ? 1 : 3;
    std::vector<unsigned char> rgb;
    rgb.reserve(static_cast<std::size_t>(width * height * channels));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const QRgb p = pixel(x, y);
            rgb.push_back(static_cast<unsigned char>(qRed(p)));
            if (!grey) {
                rgb.push_back(static_cast<unsigned char>(qGreen(p)));
                rgb.push_back(static_cast<unsigned char>(qBlue(p)));
            }
        }
    }
    const std::unique_ptr<void, int (*)(tjhandle)> handle(tjInitCompress(), tjDestroy);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    QByteArray jpeg;
    if (tjCompress2(handle.get(), rgb.data(), width, 0, height, grey ? TJPF_GRAY : TJPF_RGB, &out,
                    &size, grey ? TJSAMP_GRAY : TJSAMP_444, quality,
                    progressive ? TJFLAG_PROGRESSIVE : 0) == 0) {
        jpeg = QByteArray(reinterpret_cast<const char*>(out), static_cast<qsizetype>(size));
    }
    tjFree(out);
    return jpeg;
}

QByteArray make_empty_scans(int width, int height, int ac_scans, int components) {
    const auto byte = [](int value) { return static_cast<char>(value & 0xFF); };
    QByteArray jpeg("\xFF\xD8", 2);
    // One quantisation table of ones.
    jpeg.append("\xFF\xDB\x00\x43\x00", 5).append(QByteArray(64, '\x01'));
    // SOF2: precision, height, width, then per component: id, sampling 1 x 1, table 0.
    jpeg.append("\xFF\xC2", 2).append(byte(0)).append(byte(8 + 3 * components)).append(byte(8));
    jpeg.append(byte(height >> 8))
        .append(byte(height))
        .append(byte(width >> 8))
        .append(byte(width));
    jpeg.append(byte(components));
    for (int c = 1; c <= components; ++c) {
        jpeg.append(byte(c)).append(byte(0x11)).append(byte(0));
    }
    // A DC and an AC Huffman table, each of one one-bit code.
    for (const int table : {0x00, 0x10}) {
        jpeg.append("\xFF\xC4\x00\x14", 4).append(byte(table)).append(byte(1));
        jpeg.append(QByteArray(15, '\0')).append(byte(0));
    }
    // The DC scan of every component, then AC scans of the first.
    jpeg.append("\xFF\xDA", 2).append(byte(0)).append(byte(6 + 2 * components));
    jpeg.append(byte(components));
    for (int c = 1; c <= components; ++c) {
        jpeg.append(byte(c)).append(byte(0));
    }
    jpeg.append(QByteArray("\x00\x00\x00", 3));
    for (int i = 0; i < ac_scans; ++i) {
        jpeg.append(QByteArray("\xFF\xDA\x00\x08\x01\x01\x00\x01\x3F\x00", 10));
    }
    return jpeg.append("\xFF\xD9", 2);
}

qsizetype find_marker(const QByteArray& jpeg, unsigned char code) {
    const char marker[] = {'\xff', static_cast<char>(code)};
    return jpeg.indexOf(QByteArray(marker, 2));
}

}  // namespace wm::test
