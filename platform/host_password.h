#pragma once
// The screen-saver host's password services.

#include <QString>

#include <cstdint>

namespace wm {

// Asks the host to let the user change the screen-saver password, with the
// host's window as parent. On Linux the screen locker (xscreensaver, the
// desktop's own locker) owns the password and offers no such dialog to a
// saver, so this returns at once; callers do not use any result.
void change_host_password(const QString& provider, std::int32_t host_window);

}  // namespace wm
