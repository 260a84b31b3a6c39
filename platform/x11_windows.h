#pragma once
// Questions about other programs' windows on the desktop.

#include <QString>

namespace wm {

// True when a top-level window whose title is exactly `title` exists on the
// X11 display named by $DISPLAY. Windows that a window manager has
// reparented into its frames count as top-level. False when there is no X11
// display.
bool saver_window_exists(const QString& title);

}  // namespace wm

namespace wm {

// True when $DISPLAY names an X11 display that accepts a connection.
bool x11_display_reachable();

// True when this program's windows are on an X11 display whose connection
// has broken (the X server went away). Qt's platform plugin ends the
// process with status 1 as soon as its event loop notices; false on any
// other platform (offscreen, Wayland) and while the connection is sound.
bool x11_connection_broken();

}  // namespace wm
