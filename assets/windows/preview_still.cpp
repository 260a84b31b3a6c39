#include "assets/windows/preview_still.h"

#include "assets/bird/bird_sheet.h"
#include "assets/scenes/scenes.h"
#include "assets/windows/palette_quantiser.h"
#include "assets/windows/resample.h"
#include "assets/windows/window_pictures.h"
#include "startup/saver_settings.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

namespace wm::media {

namespace {

// The stage the miniature shows, as the saver sets it up without scaling.
constexpr QSize kStage{800, 600};

// The scene filling the stage: its middle cut to the stage's shape, shrunk.
QImage stage_background() {
    const QImage scene = paint_snowy_village(QSize(1920, 1080));
    const int width = scene.height() * kStage.width() / kStage.height();
    const QImage middle = scene.copy((scene.width() - width) / 2, 0, width, scene.height());
    return resample_linear_light(middle, kStage);
}

// The first caption of a fresh installation in its default style (white,
// bold, italic, 30 points at 96 dpi), centred over a black shadow, the way
// the saver letters it.
void paint_caption(QImage& stage) {
    SaverSettings settings;
    apply_default_captions(settings);
    const QString caption = settings.captions[1];
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(settings.captions_size * 96 / 72);
    font.setBold(settings.captions_bold == 1);
    font.setItalic(settings.captions_italic == 1);
    // Unhinted outlines: the desktop's hinting settings must not change the picture.
    font.setHintingPreference(QFont::PreferNoHinting);
    const QFontMetrics metrics(font);
    const int x = (stage.width() - metrics.horizontalAdvance(caption)) / 2;
    const int y = (stage.height() - metrics.height()) / 2 + metrics.ascent();
    QPainter painter(&stage);
    painter.setFont(font);
    painter.setPen(Qt::black);
    for (const QPoint offset : {QPoint(0, 0), QPoint(0, 1), QPoint(1, 1), QPoint(2, 2)}) {
        painter.drawText(QPoint(x, y) + offset, caption);
    }
    painter.setPen(caption_color(settings.captions_color));
    painter.drawText(QPoint(x, y), caption);
}

// Birds drawn as the saver draws them: AND the mask cell, OR the sprite cell.
void paint_birds(QImage& stage) {
    const BirdSheets sheets = paint_bird_sheets();
    struct Flight {
        int cell;
        QPoint at;
    };
    // Two birds flying right with their wings at different beats, one flying
    // left, all in the sky and clear of the caption.
    const Flight flights[] = {{4, QPoint(60, 50)}, {17, QPoint(250, 120)}, {33, QPoint(580, 70)}};
    QPainter painter(&stage);
    for (const Flight& flight : flights) {
        draw_bird_cell(painter, flight.at, sheets, flight.cell);
    }
}

}  // namespace

QImage paint_preview_full_colour() {
    QImage stage = stage_background();
    paint_caption(stage);
    paint_birds(stage);
    return resample_linear_light(stage, kPreviewSize);
}

QImage paint_preview_still() {
    return quantise_to_indexed(paint_preview_full_colour(), 256);
}

}  // namespace wm::media
