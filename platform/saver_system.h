#pragma once
// The system services the full-screen saver window relies on: the desktop's
// screen-saver password switch, the platform family, telling the system that
// a saver runs, the password check before the saver ends, and the pointer's
// display count.
//
// The saver talks to them through SaverSystem so that tests can substitute a
// fake; LinuxSaverSystem is the program's own.

#include "platform/cursor_display_count.h"

#include <QString>

#include <cstdint>

class QWidget;

namespace wm {

// The platform code of the family whose screen-saver host asks for the
// password itself after the saver has ended.
inline constexpr std::int32_t kPlatformNt = 2;

class SaverSystem {
  public:
    virtual ~SaverSystem();

    // The desktop's screen-saver password switch, 0 when off.
    virtual std::int16_t use_password() = 0;
    // The platform code; kPlatformNt means the host asks for the password.
    virtual std::int32_t platform_id() = 0;
    // Tells the system that a screen saver starts or stops running.
    virtual void set_screen_saver_running(bool running) = 0;
    // Asks the user for the screen-saver password over `window`; true when
    // the saver may end.
    virtual bool verify_password(QWidget* window) = 0;
    // Adds one to the pointer's display count (show) or takes one away
    // (hide) and returns the new count; the pointer is hidden below 0.
    virtual int show_cursor(bool show) = 0;
};

// On Linux the screen-saver host (xscreensaver, the desktop's locker) owns the
// password: the platform reports the family whose host asks for it, so the
// saver never needs to tell the system it runs or to check a password itself.
class LinuxSaverSystem : public SaverSystem {
  public:
    // Reads "ScreenSaveUsePassword" under HKEY_CURRENT_USER "Control
    // Panel\Desktop" from the registry stand-in, as password_switch_value()
    // interprets it.
    std::int16_t use_password() override;
    std::int32_t platform_id() override { return kPlatformNt; }
    void set_screen_saver_running(bool) override {}
    bool verify_password(QWidget*) override { return true; }
    int show_cursor(bool show) override { return cursor_.change(show); }

  private:
    CursorDisplayCount cursor_;
};

// The password switch's text read as a decimal number: blanks around it are
// allowed, a fraction is rounded half to even, the result is held to the
// 16-bit range, and empty or unreadable text gives 0.
std::int16_t password_switch_value(const QString& text);

// Hides the pointer: takes the display count down until it is below -5.
void hide_cursor(SaverSystem& system);
// Shows the pointer: raises the display count until it is 6 or more.
void restore_cursor(SaverSystem& system);

}  // namespace wm
