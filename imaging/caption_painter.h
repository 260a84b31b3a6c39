#pragma once
// Greeting captions painted into a picture box, white (or a colour) over a
// small black shadow.

#include <QColor>
#include <QString>

namespace wm {

class PictureBox;

// How the scene's caption looks. Position 0 .. 8 places it: 0 top left,
// 1 middle left, 2 bottom left, 3 .. 5 the same on the right, 6 .. 8 the
// same centred across; 7 is the middle of the picture. Any other position
// puts the caption at the top-left corner.
struct CaptionStyle {
    QString text;
    int position = 7;
    QString font_name = QStringLiteral("Arial");
    double font_size = 0.0;  // points; 0 keeps the box's size
    QColor colour;           // black or invalid: white
    bool bold = false;
    bool italic = false;
};

// The caption's top-left corner in a box of w x h units for a caption of
// tw x th units (the same units). Positions 2, 5 and 8 leave one unit free
// below the caption.
struct CaptionPlace {
    double x = 0.0;
    double y = 0.0;
};
CaptionPlace caption_place(int position, double w, double h, double tw, double th);

// Paints the caption onto the scene being composed (`box` in pixel units):
// the shadow printed at (x, y), (x, y + 1), (x + 1, y + 1) and (x + 2, y + 2),
// then the face at (x, y). A font name of one character is ignored.
void paint_caption(PictureBox& box, const CaptionStyle& style);

// The same for any box in its own units: nothing for an empty caption or a
// position below 0; a font name of one character is used; the shadow's
// offsets stay 1 and 2 pixels whatever the box's units (in twips, the box's
// twips per pixel across and down). The one unit free below a caption at the
// bottom stays one unit of the box.
void draw_caption(PictureBox& target, const CaptionStyle& style);

}  // namespace wm
