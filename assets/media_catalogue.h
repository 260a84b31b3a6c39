#pragma once
// Every generated media file: the members of the built-in pack in the order
// of their roles, and the window pictures.

#include <QByteArray>
#include <QSize>
#include <QString>

#include <functional>
#include <vector>

namespace wm::media {

// Size of the pack's background pictures.
inline constexpr QSize kBackgroundSize{1920, 1080};
// Number of background pictures at the head of the pack.
inline constexpr int kBackgroundCount = 10;

struct MediaItem {
    QString name;                      // file name, as stored in the pack
    std::function<QByteArray()> make;  // the file's bytes; empty on failure
};

// Members 1-17: ten backgrounds (JPEG), the sprite sheet and its mask (PNG),
// the title card (JPEG) and four songs (MIDI).
std::vector<MediaItem> pack_members();

// The window pictures, each under the name the windows load it by.
std::vector<MediaItem> window_pictures();

}  // namespace wm::media
