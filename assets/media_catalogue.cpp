#include "assets/media_catalogue.h"

#include "assets/bird/bird_sheet.h"
#include "assets/icon/app_icon.h"
#include "assets/kit/image_files.h"
#include "assets/scenes/scenes.h"
#include "assets/songs/carols.h"
#include "assets/window_assets.h"
#include "assets/windows/window_pictures.h"

#include <memory>

namespace wm::media {

namespace {

// High enough that skies keep their dither, low enough for a compact pack.
constexpr int kJpegQuality = 90;

MediaItem background(const char* name, QImage (*paint)(QSize)) {
    return {QString::fromLatin1(name),
            [paint] { return encode_jpeg(paint(kBackgroundSize), kJpegQuality); }};
}

}  // namespace

std::vector<MediaItem> pack_members() {
    // The sprite and mask are painted together; both items share one painting.
    auto sheets = std::make_shared<BirdSheets>();
    const auto painted = [sheets]() -> const BirdSheets& {
        if (sheets->sprite.isNull()) {
            *sheets = paint_bird_sheets();
        }
        return *sheets;
    };
    return {
        background("snowy_village.jpg", paint_snowy_village),
        background("pine_forest_dusk.jpg", paint_pine_forest_dusk),
        background("frozen_lake.jpg", paint_frozen_lake),
        background("northern_lights.jpg", paint_northern_lights),
        background("snowman_garden.jpg", paint_snowman_garden),
        background("chimney_cabin.jpg", paint_chimney_cabin),
        background("starry_church.jpg", paint_starry_church),
        background("snowfield_sunrise.jpg", paint_snowfield_sunrise),
        background("town_square_tree.jpg", paint_town_square_tree),
        background("moonlit_peaks.jpg", paint_moonlit_peaks),
        {QStringLiteral("bird_sprite.png"), [painted] { return encode_png(painted().sprite); }},
        {QStringLiteral("bird_mask.png"), [painted] { return encode_png(painted().mask); }},
        {QStringLiteral("title_card.jpg"),
         [] { return encode_jpeg(paint_title_card(kTitleCardSize), kJpegQuality); }},
        {QStringLiteral("jingle_bells.mid"), jingle_bells_midi},
        {QStringLiteral("deck_the_halls.mid"), deck_the_halls_midi},
        {QStringLiteral("merry_christmas.mid"), merry_christmas_midi},
        {QStringLiteral("silent_night.mid"), silent_night_midi},
    };
}

const MediaItem& member_at(const std::vector<MediaItem>& members, int position) {
    return members.at(static_cast<std::size_t>(position - 1));
}

std::vector<MediaItem> window_pictures() {
    std::vector<MediaItem> items;
    for (const WindowPicture which : kAllWindowPictures) {
        const QString name = window_picture_name(which);
        items.push_back({name, [which] {
                             switch (which) {
                                 case WindowPicture::Preview:
                                     return encode_bmp(paint_preview_still());
                                 case WindowPicture::Configuration:
                                     return encode_png(paint_configuration_picture());
                                 case WindowPicture::About:
                                     return encode_png(paint_about_picture());
                                 case WindowPicture::Welcome:
                                     return encode_png(paint_welcome_picture());
                                 case WindowPicture::Border:
                                     return encode_png(paint_border_pieces());
                             }
                             return QByteArray();
                         }});
    }
    return items;
}

std::vector<MediaItem> app_icons() {
    std::vector<MediaItem> items;
    for (const int size : kAppIconSizes) {
        items.push_back({QStringLiteral("wintermere-%1.png").arg(size),
                         [size] { return encode_png(paint_app_icon(size)); }});
    }
    return items;
}

}  // namespace wm::media
