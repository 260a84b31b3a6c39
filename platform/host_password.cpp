#include "platform/host_password.h"

namespace wm {

void change_host_password(const QString& provider, std::int32_t host_window) {
    // Nothing to call on this desktop: the locker changes passwords itself.
    (void)provider;
    (void)host_window;
}

}  // namespace wm
