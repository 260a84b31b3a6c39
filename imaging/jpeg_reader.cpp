#include "imaging/jpeg_reader.h"

#include "platform/messages.h"

#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

#include <turbojpeg.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>

namespace wm {
namespace {

struct TjDestroy {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using TjHandle = std::unique_ptr<void, TjDestroy>;

struct FileBytes {
    std::unique_ptr<unsigned char[]> data;
    unsigned long size = 0;
};

void tell(const JpegReport& report, const QString& text) {
    if (report) {
        report(text);
    } else {
        show_message(kProductName, text, MessageIcon::Exclamation);
    }
}

void note_decoder_reason(const QString& file, tjhandle handle) {
    qWarning("load_jpeg: %s: %s", qPrintable(file), tjGetErrorStr2(handle));
}

// The whole of a regular file of 1 .. kMaxJpegFileBytes bytes. Devices and
// pipes are refused: they have no size to bound the read.
std::optional<FileBytes> read_jpeg_file(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return std::nullopt;
    }
    const qint64 size = file.size();
    if (size <= 0 || size > kMaxJpegFileBytes) {
        return std::nullopt;
    }
    FileBytes bytes{std::make_unique_for_overwrite<unsigned char[]>(static_cast<std::size_t>(size)),
                    0};
    qint64 got = 0;
    while (got < size) {
        const qint64 n = file.read(reinterpret_cast<char*>(bytes.data.get()) + got, size - got);
        if (n <= 0) {
            break;  // the file shrank or failed: decode what arrived
        }
        got += n;
    }
    if (got == 0) {
        return std::nullopt;
    }
    bytes.size = static_cast<unsigned long>(got);
    return bytes;
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

}  // namespace

bool load_jpeg(cDIBSection& surface, const QString& file, const JpegOptions& options) {
    const JpegReport& report = options.report;
    const TjHandle handle(tjInitDecompress());
    if (!handle) {
        note_decoder_reason(file, nullptr);
        tell(report,
             QStringLiteral("Failed to initialise the IJL library: ") + QString::number(-1));
        return false;
    }

    const std::optional<FileBytes> jpeg = read_jpeg_file(file);
    // A damaged header can report success and leave the size untouched.
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colourspace = 0;
    if (!jpeg ||
        tjDecompressHeader3(handle.get(), jpeg->data.get(), jpeg->size, &width, &height,
                            &subsampling, &colourspace) != 0 ||
        width <= 0 || height <= 0) {
        tell(report, QStringLiteral("Failed to read JPG"));
        return false;
    }

    const QSize size = decoded_size(width, height, options.fit_into);
    if (!surface.Create(size.width(), size.height())) {
        return false;
    }

    if (tjDecompress2(handle.get(), jpeg->data.get(), jpeg->size, surface.DIBSectionBitsPtr(),
                      size.width(), surface.BytesPerScanLine(), size.height(), TJPF_BGR,
                      TJFLAG_BOTTOMUP) != 0) {
        note_decoder_reason(file, handle.get());
        // A warning means the decoder recovered and filled the whole picture.
        if (tjGetErrorCode(handle.get()) != TJERR_WARNING) {
            tell(report, QStringLiteral("Cannot read Image Data from file."));
            return false;
        }
    }
    return true;
}

}  // namespace wm
