#pragma once
// The leading byte by which the picture targets choose how a file is read,
// shared by the targets and by the seed maker that writes their corpora.

#include <QByteArray>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>

namespace wm::fuzz {

// imaging_jpeg_fuzz: the first byte, modulo the table's size, picks the area
// the picture is decoded for; an invalid size decodes at full size.
inline const std::array<QSize, 8> kJpegFitAreas{QSize(),         QSize(),       QSize(1, 1),
                                                QSize(3, 2),     QSize(64, 48), QSize(160, 120),
                                                QSize(640, 480), QSize(1, 4000)};
inline constexpr char kJpegWholeSize = 0;
inline constexpr char kJpegSmallFit = 4;
inline constexpr char kJpegLargeFit = 6;

// imaging_picture_fuzz: bits 0-1 of the first byte pick the file name's
// ending, bit 2 a decoding area (from bits 4-5), bit 3 whether the picture's
// orientation tag is applied, bit 6 whether it is scaled to exactly the fit;
// the rest of the input is the file.
enum class PictureKind : std::uint8_t { Jpeg = 0, Png = 1, Bmp = 2, Gif = 3 };

struct PictureChoice {
    QString suffix;
    QSize fit_into;  // invalid: whole size
    bool exact_fit = false;
    bool oriented = false;
};

inline PictureChoice picture_choice(std::uint8_t selector) {
    static const std::array<QString, 4> suffixes{QStringLiteral(".jpg"), QStringLiteral(".png"),
                                                 QStringLiteral(".bmp"), QStringLiteral(".gif")};
    static const std::array<QSize, 4> areas{QSize(1, 1), QSize(64, 48), QSize(160, 120),
                                            QSize(640, 480)};
    PictureChoice choice;
    choice.suffix = suffixes[selector & 3];
    if ((selector & 4) != 0) {
        choice.fit_into = areas[(selector >> 4) & 3];
    }
    choice.oriented = (selector & 8) != 0;
    choice.exact_fit = (selector & 64) != 0;
    return choice;
}

// The selector of a picture of `kind`, read whole or (`fitted`) for the
// 64 x 48 area, scaled to exactly that fit with `exact`.
inline QByteArray picture_selector(PictureKind kind, bool fitted, bool exact, bool oriented) {
    const int bits = static_cast<int>(kind) | (fitted ? 4 | (1 << 4) : 0) | (exact ? 64 : 0) |
                     (oriented ? 8 : 0);
    return QByteArray(1, static_cast<char>(bits));
}

}  // namespace wm::fuzz
