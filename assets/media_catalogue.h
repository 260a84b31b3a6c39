#pragma once
// Every generated media file: the members of the built-in pack in the order
// of their roles, the window pictures and the program's icons.

#include <QByteArray>
#include <QSize>
#include <QString>

#include <functional>
#include <vector>

namespace wm::media {

// Size of the pack's background pictures.
inline constexpr QSize kBackgroundSize{1920, 1080};
// Positions of the members, from 1: the backgrounds head the pack.
inline constexpr int kBackgroundCount = 10;
inline constexpr int kSpriteMember = 11;
inline constexpr int kMaskMember = 12;
inline constexpr int kTitleCardMember = 13;
inline constexpr int kFirstSongMember = 14;
inline constexpr int kSongCount = 4;
inline constexpr int kMemberCount = kFirstSongMember + kSongCount - 1;
// Size of the title card.
inline constexpr QSize kTitleCardSize{800, 600};

struct MediaItem {
    QString name;                      // file name, as stored in the pack
    std::function<QByteArray()> make;  // the file's bytes; empty on failure
};

// Members 1-17 at the positions above: ten backgrounds (JPEG), the sprite
// sheet and its mask (PNG), the title card (JPEG) and four songs (MIDI).
std::vector<MediaItem> pack_members();
// The item at pack position `position` (1..kMemberCount) of `members`.
const MediaItem& member_at(const std::vector<MediaItem>& members, int position);

// The window pictures, each under the name the windows load it by.
std::vector<MediaItem> window_pictures();

// The program's icon at each of its sizes (PNG with alpha), smallest first,
// named "wintermere-SIZE.png".
std::vector<MediaItem> app_icons();

}  // namespace wm::media
