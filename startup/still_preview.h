#pragma once
// The still preview ("/p N"): the host's small preview area shows the
// preview still, and nothing else happens.
//
// The host names an X11 window of its own (N, in decimal). A picture box
// holding the 150 x 112 still goes into that window as a child covering it:
// the still at its top-left corner at its own size, black where the window
// is larger. It follows the window's resizes and is watched ten times a
// second. The preview ends when the host's window is gone, when the host
// destroys our window inside it, or when the host asks our window to close
// (WM_DELETE_WINDOW: the picture leaves the host's window and the next tick
// ends the preview). SIGTERM and SIGINT end it too. No music is played and
// no setting is read or written.

#include "platform/host_window.h"

#include <cstdint>

namespace wm {

// Exit status when there is no X11 display to show the preview on (no
// display at all, or Qt runs on another platform than xcb): the program's
// status for a mode that needs a display it does not have.
inline constexpr int kExitPreviewNeedsX11 = 2;

// Runs the still preview in the host window `host_window` until it ends;
// gives the process's exit status: 0 when it ended as above (and for SIGTERM
// or SIGINT; see termination_exit_status() for the other signals),
// kExitNoHostWindow (platform/host_window.h) or kExitPreviewNeedsX11 when it could not start. Needs
// a QApplication.
int run_still_preview(std::int32_t host_window);

}  // namespace wm
