#pragma once
// Decoding a JPEG file into a pixel surface.

#include "imaging/dib_section.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>

namespace wm {

// Where load_jpeg's messages go: by default to the user, as a modal box
// with the product's name and an exclamation icon.
using JpegReport = std::function<void(const QString& text)>;

struct JpegOptions {
    JpegReport report;
    // When valid: the picture is only ever shown shrunk to fit this area with
    // its aspect ratio kept. It is then decoded at the smallest of the
    // decoder's reduced scales (7/8, 3/4 ... 1/8) that still covers that fit
    // both ways, which saves most of the time and memory a big photograph
    // costs; the surface then has the reduced size.
    QSize fit_into;
};

// Largest JPEG file load_jpeg reads; larger files are refused like unreadable ones.
inline constexpr std::int64_t kMaxJpegFileBytes = std::int64_t{256} << 20;

// Most 8 x 8 blocks the scans of one picture may cover in all (each scan
// counts the blocks of the components it holds): as many as 32 scans of one
// component of the largest picture a surface holds. A progressive picture is
// decoded scan by scan, each walking over its components' whole coefficient
// buffer, so a few kilobytes of empty scans under a large header would cost
// the decoder seconds; real photographs have about ten scans (a colour one
// covers its three components about four times over).
inline constexpr std::int64_t kMaxScanBlocks = 32 * (cDIBSection::kMaxImageBytes / 3 / 64);

// How a decode ended (decode_jpeg).
enum class JpegOutcome {
    kDecoded,         // the surface holds the picture
    kNoDecoder,       // the decoder cannot start (surface unchanged)
    kUnreadableFile,  // no readable JPEG header (surface unchanged)
    kUnreadableData,  // the image data cannot be decoded (see load_jpeg)
    kTooLarge,        // the picture, or the decoder's work for it, is beyond the
                      // surface limits (surface empty)
};

// Re-creates `surface` at the picture's size (see JpegOptions::fit_into)
// and decodes `file` into it,
// upright (bottom row first in memory), grey pictures as three equal channels.
// True when the picture was decoded. Failures are told through
// `options.report` (the user, when it is empty):
//  - the decoder cannot start: "Failed to initialise the IJL library: " + code;
//  - the file is missing, not a regular file (a folder, a pipe, a device, a
//    link to one), too large or has no readable JPEG header (surface
//    unchanged): "Failed to read JPG";
//  - the image data cannot be decoded (surface created, zero where nothing was
//    decoded), or has more scans than the decoder takes (more than 500, or
//    more than kMaxScanBlocks allows for its size; then refused before
//    decoding, surface empty): "Cannot read Image Data from file.".
// A picture whose full size is beyond the surface limits
// (cDIBSection::within_limits), at whatever scale it would be decoded, or
// whose decoding in scans (a progressive picture, or one whose components
// come in scans of their own) would need a coefficient buffer of its full
// size larger than cDIBSection::kMaxImageBytes, ends without a message
// before anything is decoded, surface empty.
// Damage the decoder recovers from (a truncated file, stray bytes) counts as
// decoded: the rows it could not read are filled in grey.
bool load_jpeg(cDIBSection& surface, const QString& file, const JpegOptions& options = {});

// Decodes the JPEG file held in `bytes` as load_jpeg decodes a file, with
// the same limits and surface rules, telling nobody: the outcome, with the
// decoder's own account of a failure in *detail when asked.
JpegOutcome decode_jpeg(cDIBSection& surface, const QByteArray& bytes, const QSize& fit_into = {},
                        QString* detail = nullptr);

// Decodes as decode_jpeg does, with the same limits and outcomes, straight
// into `image` (Format_RGB32, top row first, 96 dpi) instead of a surface:
// no second copy of the pixels. `image` is null where decode_jpeg leaves the
// surface empty, and unchanged where it leaves the surface unchanged.
JpegOutcome decode_jpeg_image(QImage& image, const QByteArray& bytes, const QSize& fit_into = {},
                              QString* detail = nullptr);

// The text load_jpeg tells for an outcome; empty for kDecoded and kTooLarge.
QString jpeg_message(JpegOutcome outcome);

}  // namespace wm
