// Runs on a virtual X display (the test is started through xvfb-run).

#include "platform/x11_windows.h"

#include "tests/support/test_support.h"
#include "tests/support/x_test_client.h"

#include <QRect>

#include <xcb/xcb.h>

#include <gtest/gtest.h>

namespace wm {
namespace {

class X11WindowsTest : public test::XDisplayTest {
  protected:
    // An unmapped window in `parent`: what is found is told by titles and
    // the tree of windows, not by what shows.
    xcb_window_t make_window(xcb_window_t parent) {
        return x_.make_window(parent, QRect(0, 0, 50, 50), test::XWindowOptions().unmapped());
    }
};

TEST_F(X11WindowsTest, FindsATopLevelWindowByItsExactTitle) {
    EXPECT_TRUE(x11_display_reachable());
    EXPECT_FALSE(saver_window_exists(QStringLiteral("Screen Saver Main Form")));

    const xcb_window_t w = make_window(x_.root());
    x_.set_text(w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, "Screen Saver Main Form");
    EXPECT_TRUE(saver_window_exists(QStringLiteral("Screen Saver Main Form")));
    EXPECT_FALSE(saver_window_exists(QStringLiteral("Screen Saver Main")));
    EXPECT_FALSE(saver_window_exists(QStringLiteral("screen saver main form")));

    x_.destroy(w);
    EXPECT_FALSE(saver_window_exists(QStringLiteral("Screen Saver Main Form")));
}

TEST_F(X11WindowsTest, FindsClientWindowsInsideWindowManagerFramesAndUtf8Titles) {
    const xcb_window_t frame = make_window(x_.root());
    const xcb_window_t client = make_window(frame);
    x_.set_text(client, x_.atom("_NET_WM_NAME"), x_.atom("UTF8_STRING"),
                QStringLiteral("Schnee ❄").toUtf8());
    EXPECT_TRUE(saver_window_exists(QStringLiteral("Schnee ❄")));

    // Deeper windows are parts of other windows, not top-level ones.
    const xcb_window_t inner = make_window(client);
    x_.set_text(inner, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, "Deep inside");
    EXPECT_FALSE(saver_window_exists(QStringLiteral("Deep inside")));
    x_.destroy(frame);
}

TEST(X11WindowsWithoutDisplay, AnswerFalse) {
    test::EnvGuard no_display("DISPLAY", std::nullopt);
    EXPECT_FALSE(x11_display_reachable());
    EXPECT_FALSE(saver_window_exists(QStringLiteral("Screen Saver Main Form")));
    test::EnvGuard bad_display("DISPLAY", QStringLiteral(":987"));
    EXPECT_FALSE(x11_display_reachable());
    EXPECT_FALSE(saver_window_exists(QStringLiteral("Screen Saver Main Form")));
}

}  // namespace
}  // namespace wm
