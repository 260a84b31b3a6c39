// Fuzzes load_jpeg on a file of fuzzed bytes. The input's first byte chooses
// the area the picture is decoded for (none, or one of a few sizes, so that
// the decoder's reduced scales are taken too); the rest is the file.
//
// Besides "no crash, no hang, no huge allocation" it holds load_jpeg to its
// contract: a decoded picture comes without a message on a live surface
// within the surface limits; a failure says why in one message, or leaves
// the surface empty; an unreadable header leaves the surface as it was; and
// decode_jpeg, the saver's way to the same decoder, decodes the same bytes to
// the same outcome and picture.

#include "fuzz/fuzz_support.h"
#include "fuzz/message_count.h"
#include "fuzz/seed_format.h"
#include "imaging/jpeg_reader.h"

#include <QSize>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using wm::fuzz::check;

// The picture on the surface before the load: 2 x 2 with marked bytes.
constexpr int kBeforeSide = 2;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    wm::fuzz::quiet_output();
    wm::fuzz::count_messages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t length) {
    if (length == 0) {
        return 0;
    }
    const QSize fit = wm::fuzz::kJpegFitAreas[bytes[0] % wm::fuzz::kJpegFitAreas.size()];
    const QString path = wm::fuzz::scratch_folder() + QStringLiteral("picture.jpg");
    const QByteArray file = wm::fuzz::input_bytes(bytes + 1, length - 1);
    wm::fuzz::write_file(path, file);

    wm::cDIBSection surface;
    check(surface.Create(kBeforeSide, kBeforeSide), "cannot make the surface");
    const std::size_t before_bytes =
        static_cast<std::size_t>(surface.BytesPerScanLine()) * kBeforeSide;
    std::memset(surface.DIBSectionBitsPtr(), 0x5a, before_bytes);

    std::vector<QString> reports;
    wm::JpegOptions options;
    options.fit_into = fit;
    options.report = [&reports](const QString& text) { reports.push_back(text); };
    const bool decoded = wm::load_jpeg(surface, path, options);
    const QString detail = QStringLiteral("fit %1 x %2, surface %3 x %4, %5 messages: %6")
                               .arg(fit.width())
                               .arg(fit.height())
                               .arg(surface.width())
                               .arg(surface.height())
                               .arg(reports.size())
                               .arg(reports.empty() ? QString() : reports.front());

    check(wm::fuzz::messages_shown() == 0, "load_jpeg showed a message box", detail);
    check(reports.size() <= 1, "one load told more than one message", detail);

    // The same bytes decoded in memory, as the saver's picture loader does.
    wm::cDIBSection same;
    const wm::JpegOutcome outcome = wm::decode_jpeg(same, file, fit);
    check((outcome == wm::JpegOutcome::kDecoded) == decoded,
          "decode_jpeg and load_jpeg disagree on the same bytes", detail);
    check(wm::jpeg_message(outcome) == (reports.empty() ? QString() : reports.front()),
          "decode_jpeg's outcome is told otherwise by load_jpeg", detail);
    if (decoded) {
        const std::size_t decoded_bytes =
            static_cast<std::size_t>(surface.BytesPerScanLine()) * surface.height();
        check(same.width() == surface.width() && same.height() == surface.height() &&
                  std::memcmp(same.DIBSectionBitsPtr(), surface.DIBSectionBitsPtr(),
                              decoded_bytes) == 0,
              "decode_jpeg and load_jpeg decode the same bytes to different pictures", detail);
    }

    const bool live = surface.DIBSectionBitsPtr() != nullptr;
    if (decoded) {
        check(reports.empty(), "a decoded picture came with a message", detail);
        check(live && surface.width() > 0 && surface.height() > 0,
              "a decoded picture left no surface", detail);
        check(wm::cDIBSection::within_limits(surface.width(), surface.height()),
              "a decoded picture is beyond the surface limits", detail);
        return 0;
    }
    check(!reports.empty() || !live, "a failure without a message left a surface", detail);
    if (!reports.empty() && reports.front() == QStringLiteral("Failed to read JPG")) {
        check(live && surface.width() == kBeforeSide && surface.height() == kBeforeSide,
              "an unreadable header changed the surface", detail);
        const std::uint8_t* bits = surface.DIBSectionBitsPtr();
        for (std::size_t i = 0; i < before_bytes; ++i) {
            check(bits[i] == 0x5a, "an unreadable header changed the surface's bytes", detail);
        }
    }
    return 0;
}
