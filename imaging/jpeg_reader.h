#pragma once
// Decoding a JPEG file into a pixel surface.

#include "imaging/dib_section.h"

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

// Re-creates `surface` at the picture's size (see JpegOptions::fit_into)
// and decodes `file` into it,
// upright (bottom row first in memory), grey pictures as three equal channels.
// True when the picture was decoded. Failures are told through
// `options.report` (the user, when it is empty):
//  - the decoder cannot start: "Failed to initialise the IJL library: " + code;
//  - the file is missing, unreadable, too large or has no readable JPEG header
//    (surface unchanged): "Failed to read JPG";
//  - the image data cannot be decoded (surface created, zero where nothing was
//    decoded): "Cannot read Image Data from file.".
// A picture too large for a surface ends without a message, surface empty.
// Damage the decoder recovers from (a truncated file, stray bytes) counts as
// decoded: the rows it could not read are filled in grey.
bool load_jpeg(cDIBSection& surface, const QString& file, const JpegOptions& options = {});

}  // namespace wm
