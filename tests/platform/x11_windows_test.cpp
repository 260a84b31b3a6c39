// Runs on a virtual X display (the test is started through xvfb-run).

#include "platform/x11_windows.h"

#include "tests/support/test_support.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

namespace wm {
namespace {

class X11WindowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("DISPLAY")) {
            GTEST_SKIP() << "needs an X display";
        }
        c_ = xcb_connect(nullptr, nullptr);
        ASSERT_EQ(xcb_connection_has_error(c_), 0);
        screen_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
    }
    void TearDown() override {
        if (c_ != nullptr) {
            xcb_disconnect(c_);
        }
    }

    xcb_window_t make_window(xcb_window_t parent) {
        const xcb_window_t w = xcb_generate_id(c_);
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, w, parent, 0, 0, 50, 50, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual, 0, nullptr);
        return w;
    }
    void set_text(xcb_window_t w, xcb_atom_t property, xcb_atom_t type, const QByteArray& text) {
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, property, type, 8,
                            static_cast<std::uint32_t>(text.size()), text.constData());
        xcb_flush(c_);
    }
    xcb_atom_t atom(const char* name) {
        auto* reply = xcb_intern_atom_reply(
            c_, xcb_intern_atom(c_, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr);
        const xcb_atom_t a = reply->atom;
        std::free(reply);
        return a;
    }

    xcb_connection_t* c_ = nullptr;
    xcb_screen_t* screen_ = nullptr;
};

TEST_F(X11WindowsTest, FindsATopLevelWindowByItsExactTitle) {
    EXPECT_TRUE(x11_display_reachable());
    EXPECT_FALSE(saver_window_exists(QStringLiteral("Screen Saver Main Form")));

    const xcb_window_t w = make_window(screen_->root);
    set_text(w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, "Screen Saver Main Form");
    EXPECT_TRUE(saver_window_exists(QStringLiteral("Screen Saver Main Form")));
    EXPECT_FALSE(saver_window_exists(QStringLiteral("Screen Saver Main")));
    EXPECT_FALSE(saver_window_exists(QStringLiteral("screen saver main form")));

    xcb_destroy_window(c_, w);
    xcb_flush(c_);
    EXPECT_FALSE(saver_window_exists(QStringLiteral("Screen Saver Main Form")));
}

TEST_F(X11WindowsTest, FindsClientWindowsInsideWindowManagerFramesAndUtf8Titles) {
    const xcb_window_t frame = make_window(screen_->root);
    const xcb_window_t client = make_window(frame);
    set_text(client, atom("_NET_WM_NAME"), atom("UTF8_STRING"),
             QStringLiteral("Schnee ❄").toUtf8());
    EXPECT_TRUE(saver_window_exists(QStringLiteral("Schnee ❄")));

    // Deeper windows are parts of other windows, not top-level ones.
    const xcb_window_t inner = make_window(client);
    set_text(inner, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, "Deep inside");
    EXPECT_FALSE(saver_window_exists(QStringLiteral("Deep inside")));
    xcb_destroy_window(c_, frame);
    xcb_flush(c_);
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
