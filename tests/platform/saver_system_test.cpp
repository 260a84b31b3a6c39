#include "platform/saver_system.h"

#include "platform/registry.h"

#include "tests/support/fake_saver_system.h"
#include "tests/support/test_support.h"

#include <QCursor>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace wm {
namespace {

constexpr auto kUser = static_cast<std::uint32_t>(RootKey::CurrentUser);

bool pointer_blank() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor != nullptr && cursor->shape() == Qt::BlankCursor;
}

TEST(CursorDisplayCount, BlankOnlyBelowZeroWithOneOverrideAtMost) {
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    {
        CursorDisplayCount count;
        EXPECT_EQ(count.change(true), 1);
        EXPECT_EQ(count.change(false), 0);
        EXPECT_FALSE(pointer_blank());
        EXPECT_EQ(count.change(false), -1);
        EXPECT_TRUE(pointer_blank());
        EXPECT_EQ(count.change(false), -2);
        EXPECT_EQ(count.change(true), -1);
        EXPECT_TRUE(pointer_blank());
        EXPECT_EQ(count.change(true), 0);
        // One pop brought the stack back: only one override was ever pushed.
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        count.change(false);
        EXPECT_TRUE(count.blanking());
    }
    // A counter that goes while the pointer is hidden gives it back.
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(SaverSystem, HideAndRestoreLoopsReachTheirCounts) {
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    {
        LinuxSaverSystem system;
        hide_cursor(system);
        EXPECT_EQ(system.show_cursor(true), -5);  // hiding stopped at -6
        system.show_cursor(false);
        EXPECT_TRUE(pointer_blank());
        restore_cursor(system);
        EXPECT_EQ(system.show_cursor(false), 5);  // restoring stopped at 6
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        // Hiding again from 5 goes all the way down; the stack stays balanced.
        hide_cursor(system);
        EXPECT_EQ(system.show_cursor(true), -5);
        EXPECT_TRUE(pointer_blank());
        system.show_cursor(false);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // The loops count calls exactly as the saver's start and end expect.
    test::FakeSaverSystem fake;
    hide_cursor(fake);
    EXPECT_EQ(fake.cursor_count, -6);
    EXPECT_EQ(fake.count(QStringLiteral("show_cursor(false)")), 6);
    restore_cursor(fake);
    EXPECT_EQ(fake.cursor_count, 6);
    EXPECT_EQ(fake.count(QStringLiteral("show_cursor(true)")), 12);
}

TEST(SaverSystem, LoopsEndWhenTheCountStopsMoving) {
    // A count that never moves (held at the end of its range) ends the loop.
    class Stuck : public test::FakeSaverSystem {
        int show_cursor(bool show) override {
            test::FakeSaverSystem::show_cursor(show);
            return 0;
        }
    } stuck;
    hide_cursor(stuck);
    restore_cursor(stuck);
    EXPECT_EQ(stuck.calls.size(), 4);
}

TEST(SaverSystem, PasswordSwitchReadsAsARoundedDecimal) {
    EXPECT_EQ(password_switch_value(QStringLiteral("1")), 1);
    EXPECT_EQ(password_switch_value(QStringLiteral("")), 0);
    EXPECT_EQ(password_switch_value(QStringLiteral("0")), 0);
    EXPECT_EQ(password_switch_value(QStringLiteral("2.5")), 2);
    EXPECT_EQ(password_switch_value(QStringLiteral("3.5")), 4);
    EXPECT_EQ(password_switch_value(QStringLiteral(" 001 ")), 1);
    EXPECT_EQ(password_switch_value(QStringLiteral("-1")), -1);
    EXPECT_EQ(password_switch_value(QStringLiteral("junk")), 0);
    EXPECT_EQ(password_switch_value(QStringLiteral("1x")), 0);
    EXPECT_EQ(password_switch_value(QStringLiteral("nan")), 0);
    EXPECT_EQ(password_switch_value(QStringLiteral("40000")), 32767);
    EXPECT_EQ(password_switch_value(QStringLiteral("-1e9")), -32768);
}

TEST(SaverSystem, LinuxAnswersFromTheDesktopValuesAndTheHost) {
    test::ScratchHome home;
    LinuxSaverSystem system;
    EXPECT_EQ(system.use_password(), 0);  // absent value
    Registry registry;
    ASSERT_TRUE(registry.write_string(
        kUser, kDesktopKeyPath, QStringLiteral("ScreenSaveUsePassword"), QStringLiteral("2.5")));
    EXPECT_EQ(system.use_password(), 2);
    ASSERT_TRUE(
        registry.write_dword(kUser, kDesktopKeyPath, QStringLiteral("ScreenSaveUsePassword"), 1));
    EXPECT_EQ(system.use_password(), 1);

    // The host asks for the password itself.
    EXPECT_EQ(system.platform_id(), kPlatformNt);
    EXPECT_TRUE(system.verify_password(nullptr));
}

TEST(FakeSaverSystem, ScriptedAnswersThenTheDefault) {
    test::FakeSaverSystem fake;
    fake.verify_answers = {false, true};
    fake.default_verify_answer = false;
    EXPECT_FALSE(fake.verify_password(nullptr));
    EXPECT_TRUE(fake.verify_password(nullptr));
    EXPECT_FALSE(fake.verify_password(nullptr));
    fake.set_screen_saver_running(true);
    EXPECT_EQ(fake.calls,
              (QStringList{QStringLiteral("verify_password"), QStringLiteral("verify_password"),
                           QStringLiteral("verify_password"),
                           QStringLiteral("set_screen_saver_running(true)")}));
    EXPECT_EQ(fake.running_reports, std::vector<bool>{true});
}

}  // namespace
}  // namespace wm
