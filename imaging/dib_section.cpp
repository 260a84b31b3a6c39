#include "imaging/dib_section.h"

#include "platform/messages.h"
#include "platform/rounding.h"
#include "platform/run_random.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>

#include <atomic>
#include <cmath>
#include <cstdlib>

namespace wm {
namespace {

// Opaque, never-zero ids for the context and the bitmap of a live surface.
cDIBSection::Handle next_handle() {
    static std::atomic<cDIBSection::Handle> last{0};
    return ++last;
}

std::uint8_t random_byte() {
    // Round half to even, as every real-to-integer conversion of the program.
    return static_cast<std::uint8_t>(round_half_even(next_random() * 255.0));
}

}  // namespace

void cDIBSection::FreeBits::operator()(std::uint8_t* bits) const {
    std::free(bits);
}

cDIBSection::~cDIBSection() {
    ClearUp();
}

bool cDIBSection::Create(int width, int height) {
    ClearUp();
    header_ = DibHeader{};
    hdc_ = next_handle();
    Handle dib = 0;
    if (!CreateDIB(width, height, dib)) {
        hdc_ = 0;
        header_ = DibHeader{};
        return false;
    }
    hdib_ = dib;
    return true;
}

// Fills the header and makes the zero-filled bits. Sizes are checked against
// the limits in 64 bits before anything is allocated.
bool cDIBSection::CreateDIB(int width, int height, Handle& dib) {
    dib = 0;
    if (!within_limits(width, height)) {
        return false;
    }
    const std::int64_t image_size = bytes_per_scan_line(width) * height;
    header_.width = width;
    header_.height = height;
    header_.image_size = static_cast<std::uint32_t>(image_size);
    // calloc: large blocks come zeroed from the system without a second pass.
    bits_.reset(static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(image_size), 1)));
    if (!bits_) {
        return false;
    }
    dib = next_handle();
    return true;
}

void cDIBSection::ClearUp() {
    bits_.reset();
    hdc_ = 0;
    hdib_ = 0;
}

void cDIBSection::RandomiseBits(bool gray) {
    if (!bits_) {
        return;
    }
    const std::int64_t stride = bytes_per_scan_line(header_.width);
    const int w = header_.width;
    const int h = header_.height;
    if (gray) {
        for (int y = 0; y < h; ++y) {
            std::uint8_t* row = bits_.get() + y * stride;
            for (int x = 0; x < w * 3; x += 3) {
                const std::uint8_t v = random_byte();
                row[x] = v;
                row[x + 1] = v;
                row[x + 2] = v;
            }
        }
        return;
    }
    // Column by column, each column bottom to top: the order of the draws.
    for (int x = 0; x < w * 3; x += 3) {
        for (int y = 0; y < h; ++y) {
            std::uint8_t* pixel = bits_.get() + y * stride + x;
            pixel[0] = 0;
            pixel[1] = random_byte();
            pixel[2] = random_byte();
        }
    }
}

bool cDIBSection::CopyToClipboard(bool as_dib) const {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return false;
    }
    if (as_dib) {
        show_message(kProductName,
                     QStringLiteral("I don't know how to put a DIB on the clipboard! Copy as "
                                    "bitmap instead!!!"),
                     MessageIcon::None);
        return false;
    }
    const QImage image = to_qimage(*this);
    if (image.isNull()) {
        return false;
    }
    QGuiApplication::clipboard()->setImage(image);
    return true;
}

QImage to_qimage(const cDIBSection& surface) {
    if (surface.DIBSectionBitsPtr() == nullptr) {
        return QImage();
    }
    QImage image(surface.width(), surface.height(), QImage::Format_RGB32);
    if (image.isNull()) {
        return image;
    }
    surface.PaintPicture(image, 0, 0, -1, -1, 0, 0);
    return image;
}

}  // namespace wm
