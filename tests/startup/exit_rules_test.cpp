// Which input ends the saver, and when.

#include "startup/exit_rules.h"
#include "imaging/transition.h"
#include "tests/support/virtual_host.h"

#include <gtest/gtest.h>

namespace wm {
namespace {

class ExitRulesTest : public testing::Test {
  protected:
    void SetUp() override {
        flags.saver_running = true;
        flags.keep_running = true;
    }

    bool ended() const { return !flags.keep_running && transitions.abort_transition(); }

    test::VirtualHost host{5000};
    Transitions transitions{host};
    SaverFlags flags;
    ExitRules rules{host, flags, transitions, 7};
};

TEST_F(ExitRulesTest, AnyKeyOrButtonEndsTheSaver) {
    rules.key_press();
    EXPECT_TRUE(ended());

    SetUp();
    transitions.set_abort_transition(false);
    rules.mouse_down();
    EXPECT_TRUE(ended());
}

TEST_F(ExitRulesTest, InputBeforeOrAfterTheLoopIsIgnored) {
    flags.saver_running = false;
    rules.key_press();
    rules.mouse_down();
    for (int i = 0; i < 20; ++i) {
        rules.mouse_move();
    }
    EXPECT_TRUE(flags.keep_running);
    EXPECT_FALSE(transitions.abort_transition());
    EXPECT_EQ(rules.mouse_move_count(), 0);
}

TEST_F(ExitRulesTest, TheEighthMoveWithinTenSecondsEnds) {
    for (int i = 0; i < 7; ++i) {
        rules.mouse_move();
        host.advance(1000);
    }
    EXPECT_TRUE(flags.keep_running);
    EXPECT_EQ(rules.mouse_move_count(), 7);
    rules.mouse_move();
    EXPECT_TRUE(ended());
    EXPECT_EQ(rules.mouse_move_count(), 0);
}

TEST_F(ExitRulesTest, AnExpiredWindowStillCountsTheMoveThatFindsIt) {
    for (int i = 0; i < 7; ++i) {
        rules.mouse_move();
    }
    host.advance(kMouseWindowMs + 1);
    rules.mouse_move();  // the eighth, though the window has expired
    EXPECT_TRUE(ended());

    // A window that expires resets the count for the moves after it.
    SetUp();
    rules.mouse_move();
    rules.mouse_move();
    host.advance(kMouseWindowMs + 1);
    rules.mouse_move();  // third in the old window; closes it
    EXPECT_EQ(rules.mouse_move_count(), 0);
    for (int i = 0; i < 7; ++i) {
        rules.mouse_move();
    }
    EXPECT_TRUE(flags.keep_running);
}

TEST_F(ExitRulesTest, TheWindowExpiresAcrossTheClockWrap) {
    test::VirtualHost late(0xFFFFF000u);
    ExitRules wrapping(late, flags, transitions, 7);
    wrapping.mouse_move();
    late.advance(kMouseWindowMs + 1);  // now past the wrap
    wrapping.mouse_move();
    EXPECT_EQ(wrapping.mouse_move_count(), 0);
    EXPECT_TRUE(flags.keep_running);
}

TEST_F(ExitRulesTest, CloseRequests) {
    // While the loop runs: refused, the loop asked to end, the effect left alone.
    rules.mouse_move();
    EXPECT_FALSE(rules.close_request());
    EXPECT_FALSE(flags.keep_running);
    EXPECT_FALSE(transitions.abort_transition());
    EXPECT_EQ(rules.mouse_move_count(), 0);

    // While starting: kept for the loop.
    flags = {};
    flags.starting = true;
    EXPECT_FALSE(rules.close_request());
    EXPECT_TRUE(flags.close_pending);

    // Afterwards: the window may close.
    flags = {};
    EXPECT_TRUE(rules.close_request());
}

TEST_F(ExitRulesTest, TheHostStopsLikeAKeyOrIsKeptWhileStarting) {
    rules.host_stop();
    EXPECT_TRUE(ended());
    EXPECT_TRUE(flags.stopped_by_host);

    flags = {};
    flags.starting = true;
    rules.host_stop();
    EXPECT_TRUE(flags.close_pending);
    EXPECT_TRUE(flags.stopped_by_host);
}

}  // namespace
}  // namespace wm
