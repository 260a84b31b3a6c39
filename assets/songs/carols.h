#pragma once
// The four built-in songs, written as Standard MIDI Files from the note
// tables of public-domain carols.

#include <QByteArray>

namespace wm::media {

QByteArray jingle_bells_midi();
QByteArray deck_the_halls_midi();
QByteArray merry_christmas_midi();
QByteArray silent_night_midi();

}  // namespace wm::media
