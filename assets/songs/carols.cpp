#include "assets/songs/carols.h"

namespace wm::media {

// Until the songs are written.
QByteArray jingle_bells_midi() {
    return "MThd";
}
QByteArray deck_the_halls_midi() {
    return "MThd";
}
QByteArray merry_christmas_midi() {
    return "MThd";
}
QByteArray silent_night_midi() {
    return "MThd";
}

}  // namespace wm::media
