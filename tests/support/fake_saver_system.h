#pragma once
// A SaverSystem for tests: answers from its fields, keeps its own pointer
// display count, and records every call in order.

#include "platform/saver_system.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

namespace wm::test {

class FakeSaverSystem : public SaverSystem {
  public:
    std::int16_t use_password() override;
    std::int32_t platform_id() override;
    void set_screen_saver_running(bool running) override;
    // The next scripted answer, or `default_verify_answer` once they run out.
    bool verify_password(QWidget* window) override;
    int show_cursor(bool show) override;

    // Answers.
    std::int16_t password_switch = 0;
    std::int32_t platform = kPlatformNt;
    std::deque<bool> verify_answers;
    bool default_verify_answer = true;

    // What happened.
    int cursor_count = 0;
    // Every call in order: "use_password", "platform_id",
    // "set_screen_saver_running(true)", "verify_password", "show_cursor(false)".
    QStringList calls;
    std::vector<bool> running_reports;     // arguments of set_screen_saver_running
    std::vector<QWidget*> verify_windows;  // windows passed to verify_password

    // How many recorded calls equal `call`.
    int count(const QString& call) const { return static_cast<int>(calls.count(call)); }
};

}  // namespace wm::test
