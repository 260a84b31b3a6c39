#include "imaging/jpeg_reader.h"

#include "platform/error_text.h"
#include "platform/messages.h"
#include "platform/regular_file.h"

#include <QtGlobal>

#include <turbojpeg.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace wm {
namespace {

struct TjDestroy {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using TjHandle = std::unique_ptr<void, TjDestroy>;

// The code told when the decoder cannot start.
constexpr int kNoDecoderCode = -1;

// 96 dots per inch as dots per metre, the resolution a picture box gives its
// rasters: a picture that has it already goes into a box without a copy.
constexpr int kImageDotsPerMetre = 3780;

// What the markers of a JPEG file say about the decoder's work: its
// components' 8 x 8 blocks, and how many blocks its scans cover in all (each
// scan walks over every block of the components it names).
struct ScanWork {
    // Decoded through a coefficient buffer of the whole picture: progressive,
    // or sequential with its components in scans of their own.
    bool buffered = false;
    std::int64_t scans = 0;
    std::int64_t blocks = 0;          // of every component
    std::int64_t scanned_blocks = 0;  // summed over the scans
};

// A component of the frame: its id and its blocks.
struct FrameComponent {
    int id = 0;
    std::int64_t blocks = 0;
};

bool is_frame_marker(unsigned code) {
    // SOF0 .. SOF15, less DHT (C4), JPG (C8) and DAC (CC).
    return code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
}

bool is_restart_marker(unsigned code) {
    return code >= 0xD0 && code <= 0xD7;
}

std::int64_t ceil_div(std::int64_t a, std::int64_t b) {
    return (a + b - 1) / b;
}

// The components of a frame header's body with their blocks, padded as the
// decoder pads them (to whole sampling units). None for a header that is too
// short or has sampling factors outside 1 .. 4, which the decoder refuses.
std::vector<FrameComponent> frame_components(const unsigned char* body, std::size_t length) {
    if (length < 6) {
        return {};
    }
    const std::int64_t height = (body[1] << 8) | body[2];
    const std::int64_t width = (body[3] << 8) | body[4];
    const std::size_t count = body[5];
    if (count == 0 || length < 6 + 3 * count) {
        return {};
    }
    const auto sampling = [&](std::size_t c) {
        return std::pair<int, int>(body[6 + 3 * c + 1] >> 4, body[6 + 3 * c + 1] & 0x0F);
    };
    int h_max = 1;
    int v_max = 1;
    for (std::size_t c = 0; c < count; ++c) {
        const auto [h, v] = sampling(c);
        if (h < 1 || h > 4 || v < 1 || v > 4) {
            return {};
        }
        h_max = std::max(h_max, h);
        v_max = std::max(v_max, v);
    }
    std::vector<FrameComponent> components;
    for (std::size_t c = 0; c < count; ++c) {
        const auto [h, v] = sampling(c);
        const std::int64_t across = ceil_div(ceil_div(width * h, h_max), 8);
        const std::int64_t down = ceil_div(ceil_div(height * v, v_max), 8);
        components.push_back({body[6 + 3 * c], ceil_div(across, h) * h * ceil_div(down, v) * v});
    }
    return components;
}

// The blocks a scan header's body names: those of its components.
std::int64_t scan_blocks(const unsigned char* body, std::size_t length,
                         const std::vector<FrameComponent>& components) {
    if (length < 1) {
        return 0;
    }
    const std::size_t count = body[0];
    std::int64_t blocks = 0;
    for (std::size_t c = 0; c < count && 1 + 2 * c < length; ++c) {
        for (const FrameComponent& component : components) {
            if (component.id == body[1 + 2 * c]) {
                blocks += component.blocks;
                break;
            }
        }
    }
    return blocks;
}

// Walks the markers of `data` (a JPEG file whose header the decoder has
// read) as the decoder would, without decoding: the first frame header, and
// every scan. Linear in the file's size whatever its bytes are.
ScanWork scan_work(const unsigned char* data, std::size_t size) {
    ScanWork work;
    std::optional<std::vector<FrameComponent>> frame;
    std::size_t at = 2;  // after the start of image
    while (at < size) {
        if (data[at] != 0xFF) {
            ++at;  // stray bytes between markers: the decoder skips them too
            continue;
        }
        while (at < size && data[at] == 0xFF) {
            ++at;  // fill bytes
        }
        if (at >= size) {
            break;
        }
        const unsigned code = data[at++];
        if (code == 0x00 || code == 0x01 || is_restart_marker(code)) {
            continue;  // no length follows
        }
        if (code == 0xD9 || at + 2 > size) {
            break;  // end of image
        }
        const std::size_t length = (static_cast<std::size_t>(data[at]) << 8) | data[at + 1];
        if (length < 2) {
            break;
        }
        const unsigned char* body = data + at + 2;
        const std::size_t body_length = std::min(length - 2, size - at - 2);
        if (is_frame_marker(code) && !frame) {
            frame = frame_components(body, body_length);
            work.buffered = code == 0xC2 || code == 0xC6 || code == 0xCA || code == 0xCE;
            for (const FrameComponent& component : *frame) {
                work.blocks += component.blocks;
            }
        }
        if (code == 0xDA) {
            if (work.scans == 0 && frame && body_length >= 1 && body[0] < frame->size()) {
                work.buffered = true;
            }
            ++work.scans;
            if (frame) {
                work.scanned_blocks += scan_blocks(body, body_length, *frame);
            }
        }
        at += length;
        if (code != 0xDA) {
            continue;
        }
        // The scan's coded data runs to the next marker that is no restart;
        // 0xFF 0x00 stands for a data byte 0xFF.
        while (at + 1 < size) {
            if (data[at] == 0xFF) {
                const unsigned next = data[at + 1];
                if (next == 0xFF) {
                    ++at;
                    continue;
                }
                if (next != 0x00 && !is_restart_marker(next)) {
                    break;
                }
                at += 2;
                continue;
            }
            ++at;
        }
    }
    return work;
}

// The decoded size for a picture of width x height: the smallest scale the
// decoder offers that is still at least the scale that fits the picture
// into `fit_into`. Full size without an area, or when the fit enlarges.
QSize decoded_size(int width, int height, const QSize& fit_into) {
    const QSize full(width, height);
    if (!fit_into.isValid() || fit_into.isEmpty()) {
        return full;
    }
    const double fit = std::min(static_cast<double>(fit_into.width()) / width,
                                static_cast<double>(fit_into.height()) / height);
    int count = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&count);
    QSize best = full;
    for (int i = 0; factors != nullptr && i < count; ++i) {
        const tjscalingfactor f = factors[i];
        if (f.num <= 0 || f.denom <= 0 || f.num >= f.denom ||
            static_cast<double>(f.num) / f.denom < fit) {
            continue;
        }
        const QSize scaled(TJSCALED(width, f), TJSCALED(height, f));
        if (scaled.width() * std::int64_t{scaled.height()} <
            best.width() * std::int64_t{best.height()}) {
            best = scaled;
        }
    }
    return best;
}

QString decoder_reason(tjhandle handle) {
    return QString::fromUtf8(tjGetErrorStr2(handle));
}

// The rows a decode fills, and how the decoder writes them.
struct DecodeRows {
    unsigned char* bits = nullptr;
    int pitch = 0;
    int pixel_format = TJPF_BGR;
    int flags = 0;
};

// Where a decode goes: `make` gives the rows for the decoded size (nothing
// when there is no memory for them), `clear` empties the target.
struct DecodeTarget {
    std::function<std::optional<DecodeRows>(const QSize&)> make;
    std::function<void()> clear;
};

JpegOutcome decode_with(tjhandle handle, const DecodeTarget& target, const QByteArray& bytes,
                        const QSize& fit_into, QString* detail) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto size = static_cast<unsigned long>(bytes.size());
    // A damaged header can report success and leave the size untouched.
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colourspace = 0;
    if (bytes.isEmpty() ||
        tjDecompressHeader3(handle, data, size, &width, &height, &subsampling, &colourspace) != 0 ||
        width <= 0 || height <= 0) {
        set_error(detail,
                  bytes.isEmpty() ? QStringLiteral("the file is empty") : decoder_reason(handle));
        return JpegOutcome::kUnreadableFile;
    }

    // The decoder's work follows the picture's full size, whatever the scale
    // it is decoded at: refused before anything is allocated for it.
    if (!cDIBSection::within_limits(width, height)) {
        target.clear();
        set_error(detail,
                  QStringLiteral("the picture claims %1 x %2 pixels").arg(width).arg(height));
        return JpegOutcome::kTooLarge;
    }
    const ScanWork work = scan_work(data, bytes.size());
    // A picture decoded through a coefficient buffer of its full size needs
    // 64 coefficients of 2 bytes per block.
    if (work.buffered && work.blocks * 128 > cDIBSection::kMaxImageBytes) {
        target.clear();
        set_error(detail,
                  QStringLiteral("decoding its %1 x %2 pixels in scans takes too much memory")
                      .arg(width)
                      .arg(height));
        return JpegOutcome::kTooLarge;
    }
    if (work.scanned_blocks > kMaxScanBlocks) {
        target.clear();
        set_error(detail, QStringLiteral("%1 scans are too many for %2 x %3 pixels")
                              .arg(work.scans)
                              .arg(width)
                              .arg(height));
        return JpegOutcome::kUnreadableData;
    }

    const QSize decoded = decoded_size(width, height, fit_into);
    const std::optional<DecodeRows> rows = target.make(decoded);
    if (!rows) {
        set_error(detail, QStringLiteral("no memory for %1 x %2 pixels")
                              .arg(decoded.width())
                              .arg(decoded.height()));
        return JpegOutcome::kTooLarge;
    }
    // TJFLAG_LIMITSCANS: past 500 scans the decoder stops with an error.
    if (tjDecompress2(handle, data, size, rows->bits, decoded.width(), rows->pitch,
                      decoded.height(), rows->pixel_format, rows->flags | TJFLAG_LIMITSCANS) != 0) {
        // A warning means the decoder recovered and filled the whole picture.
        if (tjGetErrorCode(handle) != TJERR_WARNING) {
            set_error(detail, decoder_reason(handle));
            return JpegOutcome::kUnreadableData;
        }
        set_error(detail, decoder_reason(handle));
    }
    return JpegOutcome::kDecoded;
}

// A surface as a decode's target: bottom row first, three bytes a pixel.
DecodeTarget surface_target(cDIBSection& surface) {
    return {[&surface](const QSize& size) -> std::optional<DecodeRows> {
                if (!surface.Create(size.width(), size.height())) {
                    return std::nullopt;
                }
                return DecodeRows{surface.DIBSectionBitsPtr(), surface.BytesPerScanLine(), TJPF_BGR,
                                  TJFLAG_BOTTOMUP};
            },
            [&surface] { surface.ClearUp(); }};
}

}  // namespace

QString jpeg_message(JpegOutcome outcome) {
    switch (outcome) {
        case JpegOutcome::kNoDecoder:
            return QStringLiteral("Failed to initialise the IJL library: ") +
                   QString::number(kNoDecoderCode);
        case JpegOutcome::kUnreadableFile:
            return QStringLiteral("Failed to read JPG");
        case JpegOutcome::kUnreadableData:
            return QStringLiteral("Cannot read Image Data from file.");
        case JpegOutcome::kDecoded:
        case JpegOutcome::kTooLarge:
            break;
    }
    return {};
}

JpegOutcome decode_jpeg(cDIBSection& surface, const QByteArray& bytes, const QSize& fit_into,
                        QString* detail) {
    const TjHandle handle(tjInitDecompress());
    if (!handle) {
        set_error(detail, decoder_reason(nullptr));
        return JpegOutcome::kNoDecoder;
    }
    return decode_with(handle.get(), surface_target(surface), bytes, fit_into, detail);
}

JpegOutcome decode_jpeg_image(QImage& image, const QByteArray& bytes, const QSize& fit_into,
                              QString* detail) {
    const TjHandle handle(tjInitDecompress());
    if (!handle) {
        set_error(detail, decoder_reason(nullptr));
        return JpegOutcome::kNoDecoder;
    }
    // Blue, green, red and a fourth byte the decoder sets to 0xFF: the bytes
    // of Format_RGB32, top row first.
    const DecodeTarget target{
        [&image](const QSize& size) -> std::optional<DecodeRows> {
            image = QImage(size, QImage::Format_RGB32);
            if (image.isNull()) {
                return std::nullopt;
            }
            image.setDotsPerMeterX(kImageDotsPerMetre);
            image.setDotsPerMeterY(kImageDotsPerMetre);
            return DecodeRows{image.bits(), static_cast<int>(image.bytesPerLine()), TJPF_BGRX, 0};
        },
        [&image] { image = QImage(); }};
    return decode_with(handle.get(), target, bytes, fit_into, detail);
}

bool load_jpeg(cDIBSection& surface, const QString& file, const JpegOptions& options) {
    JpegOutcome outcome = JpegOutcome::kNoDecoder;
    QString detail;
    if (const TjHandle handle(tjInitDecompress()); !handle) {
        detail = decoder_reason(nullptr);
    } else if (const std::optional<QByteArray> bytes =
                   read_regular_file(file, kMaxJpegFileBytes, &detail)) {
        outcome =
            decode_with(handle.get(), surface_target(surface), *bytes, options.fit_into, &detail);
    } else {
        outcome = JpegOutcome::kUnreadableFile;
    }
    if (!detail.isEmpty()) {  // a failure, or damage the decoder recovered from
        qWarning("load_jpeg: %s: %s", qPrintable(file), qPrintable(detail));
    }
    const QString message = jpeg_message(outcome);
    if (message.isEmpty()) {
        return outcome == JpegOutcome::kDecoded;
    }
    if (options.report) {
        options.report(message);
    } else {
        show_message(kProductName, message, MessageIcon::Exclamation);
    }
    return false;
}

}  // namespace wm
