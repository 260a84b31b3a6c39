#include "tests/imaging/jpeg_maker.h"

#include <turbojpeg.h>

#include <memory>
#include <vector>

namespace wm::test {

QByteArray make_jpeg(int width, int height, const std::function<QRgb(int x, int y)>& pixel,
                     bool grey, int quality) {
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
                    &size, grey ? TJSAMP_GRAY : TJSAMP_444, quality, 0) == 0) {
        jpeg = QByteArray(reinterpret_cast<const char*>(out), static_cast<qsizetype>(size));
    }
    tjFree(out);
    return jpeg;
}

qsizetype find_marker(const QByteArray& jpeg, unsigned char code) {
    const char marker[] = {'\xff', static_cast<char>(code)};
    return jpeg.indexOf(QByteArray(marker, 2));
}

}  // namespace wm::test
