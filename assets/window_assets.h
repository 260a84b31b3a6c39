#pragma once
// The pictures stored with the windows, compiled as Qt resources into the
// library wm_assets that the windows link.

#include <QImage>
#include <QString>

namespace wm {

enum class WindowPicture {
    Preview,        // the still of the host's preview area, 150 x 112, 256 colours
    Configuration,  // the configuration window's picture
    About,          // the about window's picture
    Welcome,        // the welcome window's picture
    Border,         // the border pieces framing the stage
};

inline constexpr WindowPicture kAllWindowPictures[] = {
    WindowPicture::Preview, WindowPicture::Configuration, WindowPicture::About,
    WindowPicture::Welcome, WindowPicture::Border};

// The file name the picture is generated and stored under.
inline QString window_picture_name(WindowPicture which) {
    switch (which) {
        case WindowPicture::Preview:
            return QStringLiteral("preview.bmp");
        case WindowPicture::Configuration:
            return QStringLiteral("configuration.png");
        case WindowPicture::About:
            return QStringLiteral("about.png");
        case WindowPicture::Welcome:
            return QStringLiteral("welcome.png");
        case WindowPicture::Border:
            return QStringLiteral("border.png");
    }
    return {};
}

// The picture as stored; a null image only if the program was built without it.
QImage window_picture(WindowPicture which);

}  // namespace wm
