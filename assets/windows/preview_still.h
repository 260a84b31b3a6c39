#pragma once
// The still of the host's preview area, in full colour before it is brought
// down to 256 colours (the tests compare the two).

#include <QImage>
#include <QSize>

namespace wm::media {

inline constexpr QSize kPreviewSize{150, 112};

// The saver in miniature at kPreviewSize, QImage::Format_RGB32: a scene on
// an 800 x 600 stage with its caption and birds drawn as the saver draws
// them, shrunk in linear light.
QImage paint_preview_full_colour();

}  // namespace wm::media
