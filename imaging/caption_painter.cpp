#include "imaging/caption_painter.h"

#include "imaging/picture_box.h"

namespace wm {
namespace {

// What differs between the two ways of painting a caption.
struct CaptionRules {
    qsizetype shortest_font_name;  // names shorter than this are ignored
    double shadow_x;               // one pixel across, in the box's units
    double shadow_y;               // one pixel down, in the box's units
};

QColor face_colour(const QColor& colour) {
    // Black (and no colour at all) would vanish into the shadow: white instead.
    if (!colour.isValid() || (colour.rgb() & 0xFFFFFFu) == 0) {
        return Qt::white;
    }
    return colour;
}

void print_at(PictureBox& box, const QString& text, double x, double y) {
    box.set_current_position(x, y);
    box.Print(text);
}

void paint(PictureBox& box, const CaptionStyle& style, const CaptionRules& rules) {
    if (style.font_name.size() >= rules.shortest_font_name) {
        box.set_font_name(style.font_name);
    }
    if (style.font_size > 0.0) {
        box.set_font_size(style.font_size);
    }
    box.set_font_bold(style.bold);
    box.set_font_italic(style.italic);

    const CaptionPlace at = caption_place(style.position, box.ScaleWidth(), box.ScaleHeight(),
                                          box.TextWidth(style.text), box.TextHeight(style.text));
    const double dx = rules.shadow_x;
    const double dy = rules.shadow_y;
    box.set_fore_colour(Qt::black);
    print_at(box, style.text, at.x, at.y);
    print_at(box, style.text, at.x, at.y + dy);
    print_at(box, style.text, at.x + dx, at.y + dy);
    print_at(box, style.text, at.x + 2.0 * dx, at.y + 2.0 * dy);
    box.set_fore_colour(face_colour(style.colour));
    print_at(box, style.text, at.x, at.y);
}

}  // namespace

CaptionPlace caption_place(int position, double w, double h, double tw, double th) {
    if (position < 0 || position > 8) {
        return {};
    }
    const int column = position / 3;  // 0 left, 1 right, 2 centred
    const int row = position % 3;     // 0 top, 1 middle, 2 bottom
    CaptionPlace at;
    if (column == 1) {
        at.x = w - tw;
    } else if (column == 2) {
        at.x = w / 2.0 - tw / 2.0;
    }
    if (row == 1) {
        at.y = h / 2.0 - th / 2.0;
    } else if (row == 2) {
        at.y = h - th - 1.0;
    }
    return at;
}

void paint_caption(PictureBox& box, const CaptionStyle& style) {
    paint(box, style, CaptionRules{2, 1.0, 1.0});
}

void draw_caption(PictureBox& target, const CaptionStyle& style) {
    if (style.text.isEmpty() || style.position < 0) {
        return;
    }
    paint(target, style, CaptionRules{1, target.from_pixels_x(1), target.from_pixels_y(1)});
}

}  // namespace wm
