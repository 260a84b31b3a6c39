#pragma once
// The pictures stored with the windows, and the pack's title card.

#include <QImage>
#include <QSize>

namespace wm::media {

// The still shown in the host's preview area: 150 x 112, 256 colours
// (QImage::Format_Indexed8).
QImage paint_preview_still();
// The pictures of the configuration, about and welcome windows.
QImage paint_configuration_picture();
QImage paint_about_picture();
QImage paint_welcome_picture();
// The border pieces: 80 x 80, 8 x 8 pieces at the places the stage reads them
// (edges at (8,0) top, (8,72) bottom, (0,8) left, (72,64) right; corners at
// (0,0), (72,0), (72,72), (0,72)).
QImage paint_border_pieces();
// A picture carried in the pack that nothing reads: the product's title card.
QImage paint_title_card(QSize size);

}  // namespace wm::media
