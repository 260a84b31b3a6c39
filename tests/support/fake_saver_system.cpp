#include "tests/support/fake_saver_system.h"

namespace wm::test {
namespace {
QString flag_text(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}
}  // namespace

std::int16_t FakeSaverSystem::use_password() {
    calls << QStringLiteral("use_password");
    return password_switch;
}

std::int32_t FakeSaverSystem::platform_id() {
    calls << QStringLiteral("platform_id");
    return platform;
}

void FakeSaverSystem::set_screen_saver_running(bool running) {
    calls << QStringLiteral("set_screen_saver_running(%1)").arg(flag_text(running));
    running_reports.push_back(running);
}

bool FakeSaverSystem::verify_password(QWidget* window) {
    calls << QStringLiteral("verify_password");
    verify_windows.push_back(window);
    if (verify_answers.empty()) {
        return default_verify_answer;
    }
    const bool answer = verify_answers.front();
    verify_answers.pop_front();
    return answer;
}

int FakeSaverSystem::show_cursor(bool show) {
    calls << QStringLiteral("show_cursor(%1)").arg(flag_text(show));
    cursor_count += show ? 1 : -1;
    return cursor_count;
}

}  // namespace wm::test
