#include "platform/saver_system.h"

#include "platform/number_text.h"
#include "platform/registry.h"

#include <algorithm>
#include <limits>

namespace wm {
namespace {

constexpr int kHiddenBelow = -5;
constexpr int kShownFrom = 6;

// Moves the display count one step at a time until `done` holds. A count that
// stops moving (it is held at the end of its range) ends the loop as well.
template <typename Done>
void step_cursor(SaverSystem& system, bool show, Done done) {
    int count = system.show_cursor(show);
    while (!done(count)) {
        const int next = system.show_cursor(show);
        if (next == count) {
            return;
        }
        count = next;
    }
}

}  // namespace

SaverSystem::~SaverSystem() = default;

std::int16_t LinuxSaverSystem::use_password() {
    return password_switch_value(
        read_registry_string(static_cast<std::uint32_t>(RootKey::CurrentUser), kDesktopKeyPath,
                             QStringLiteral("ScreenSaveUsePassword")));
}

std::int16_t password_switch_value(const QString& text) {
    return static_cast<std::int16_t>(std::clamp(parse_whole_number(text).value_or(0),
                                                int{std::numeric_limits<std::int16_t>::min()},
                                                int{std::numeric_limits<std::int16_t>::max()}));
}

void hide_cursor(SaverSystem& system) {
    step_cursor(system, false, [](int count) { return count < kHiddenBelow; });
}

void restore_cursor(SaverSystem& system) {
    step_cursor(system, true, [](int count) { return count >= kShownFrom; });
}

}  // namespace wm
