#pragma once
// The pictures stored with the windows, compiled as Qt resources into the
// library wm_assets that the windows link.

#include <QImage>
#include <QPixmap>
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

// The pictures a window shows (configuration, about, welcome) are stored at
// this many times the size they take on a window, so that they stay sharp on
// a display of twice the density.
inline constexpr int kWindowPictureScale = 2;

// How many times its size on a window a picture is stored at.
inline int stored_scale(WindowPicture which) {
    switch (which) {
        case WindowPicture::Configuration:
        case WindowPicture::About:
        case WindowPicture::Welcome:
            return kWindowPictureScale;
        case WindowPicture::Preview:
        case WindowPicture::Border:
            break;
    }
    return 1;
}

// The picture as stored; a null image only if the program was built without it.
QImage window_picture(WindowPicture which);

// The picture for a window on a display of `device_pixel_ratio`: at its
// window size in the window's units, drawn from as many of its stored pixels
// as the display shows (smoothly resampled when that is not all of them).
QPixmap window_pixmap(WindowPicture which, qreal device_pixel_ratio);

}  // namespace wm
