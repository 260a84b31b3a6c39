#pragma once
// Opening a user's picture file to show it: the one loader behind the
// saver's scenes and the preview windows, for pictures of every kind.
//
// A picture list may name anything: a folder, a pipe, a link to a device,
// a few hundred bytes whose header claims a picture of billions of pixels.
// The loader reads only a regular file of a bounded size, without waiting,
// measures the picture before it decodes a pixel, and refuses what no
// surface of ours would take. It shows no message and needs no engine host:
// every failure comes back as a text for the caller to log or show.

#include "imaging/jpeg_reader.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

namespace wm {

// Largest picture file read; larger files are refused unread.
inline constexpr qint64 kMaxPictureFileBytes = kMaxJpegFileBytes;

// The most Qt's image reader may allocate for one picture, in megabytes
// (QImageReader::setAllocationLimit, which is process-wide): the largest
// picture a surface holds, at 4 bytes a pixel.
inline constexpr int kReaderAllocationLimitMb =
    static_cast<int>((cDIBSection::kMaxImageBytes / 3 * 4 + (1 << 20) - 1) >> 20);

struct PictureFileOptions {
    // When valid and not empty: the picture is shown shrunk into this area
    // with its aspect ratio kept, so it need not be decoded larger than
    // that fit (see exact_fit). Otherwise it comes at its own size.
    QSize fit_into;
    // With fit_into: true gives the picture scaled to exactly the size that
    // fits (never larger than its own); false the cheapest decode that still
    // covers the fit: a JPEG at one of the decoder's reduced scales (as
    // JpegOptions::fit_into), other pictures at their own size.
    bool exact_fit = false;
    // Turns the picture as its orientation tag says, so that photographs
    // from cameras and phones show upright (fit_into applies to the turned
    // picture). Otherwise pictures show as stored, which is how the saver
    // shows them.
    bool apply_orientation = false;
};

// Reads the picture file `path`: only a regular file (links followed) of at
// most kMaxPictureFileBytes, read whole without blocking, then decoded by
// load_picture_data() with the path as its name. nullopt, with the reason in
// *problem when asked, for anything else.
std::optional<QImage> load_picture_file(const QString& path, const PictureFileOptions& options,
                                        QString* problem = nullptr);

// Decodes a picture file's bytes. `name` (a path or a file name) only
// chooses the decoder and is used in no other way:
//  - a JPEG (a name whose last three letters are "JPG" in any case, or bytes
//    that start as a JPEG does) goes through decode_jpeg(), with its limits
//    on size, memory and scans; the reason for a failure starts with the text
//    load_jpeg would tell ("Failed to read JPG", "Cannot read Image Data from
//    file.");
//  - other pictures go through Qt's image reader, the format told by the
//    bytes alone (bytes of no known kind are refused unread); the size
//    its header claims (a top-down bitmap's height counted by its magnitude)
//    must be known and within cDIBSection::within_limits before anything is
//    read, and the reader may allocate at most kReaderAllocationLimitMb.
// The result is never null. JPEG pictures come as Format_RGB32, others in
// the reader's format.
std::optional<QImage> load_picture_data(const QByteArray& bytes, const QString& name,
                                        const PictureFileOptions& options,
                                        QString* problem = nullptr);

}  // namespace wm
