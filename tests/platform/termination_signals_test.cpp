#include "platform/termination_signals.h"

#include <QCoreApplication>

#include <csignal>
#include <vector>

#include <gtest/gtest.h>

namespace wm {
namespace {

volatile std::sig_atomic_t g_previous_handler_saw = 0;

extern "C" void previous_handler(int signal_number) {
    g_previous_handler_saw = signal_number;
}

// Runs events until `seen` has `count` entries, or gives up after a bounded
// number of rounds.
void process_until(const std::vector<int>& seen, std::size_t count) {
    for (int round = 0; round < 200 && seen.size() < count; ++round) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

// Puts a handler of the test's own in place for both signals, and the
// process's own handlers back afterwards.
class TerminationSignalsTest : public ::testing::Test {
  protected:
    TerminationSignalsTest() {
        struct sigaction action {};
        action.sa_handler = previous_handler;
        sigemptyset(&action.sa_mask);
        sigaction(SIGTERM, &action, &saved_term_);
        sigaction(SIGINT, &action, &saved_int_);
        g_previous_handler_saw = 0;
    }
    ~TerminationSignalsTest() override {
        sigaction(SIGTERM, &saved_term_, nullptr);
        sigaction(SIGINT, &saved_int_, nullptr);
    }

    struct sigaction saved_term_ {};
    struct sigaction saved_int_ {};
};

TEST_F(TerminationSignalsTest, SignalsArriveAsCallsFromTheEventLoop) {
    std::vector<int> seen;
    {
        TerminationSignals watch([&seen](int signal_number) { seen.push_back(signal_number); });
        ASSERT_TRUE(watch.active());

        ASSERT_EQ(std::raise(SIGTERM), 0);
        // The handler only noted it; the call waits for the event loop.
        EXPECT_TRUE(seen.empty());
        process_until(seen, 1);
        EXPECT_EQ(seen, std::vector<int>{SIGTERM});

        ASSERT_EQ(std::raise(SIGINT), 0);
        ASSERT_EQ(std::raise(SIGTERM), 0);
        process_until(seen, 3);
        EXPECT_EQ(seen, (std::vector<int>{SIGTERM, SIGINT, SIGTERM}));
        EXPECT_EQ(g_previous_handler_saw, 0);
    }

    // Gone: the handlers that were in place get the signals again.
    ASSERT_EQ(std::raise(SIGTERM), 0);
    EXPECT_EQ(g_previous_handler_saw, SIGTERM);
    ASSERT_EQ(std::raise(SIGINT), 0);
    EXPECT_EQ(g_previous_handler_saw, SIGINT);
    QCoreApplication::processEvents();
    EXPECT_EQ(seen.size(), 3u);
}

TEST_F(TerminationSignalsTest, OneWatchAtATimeAndNoStaleSignals) {
    std::vector<int> first_seen;
    std::vector<int> second_seen;
    {
        TerminationSignals first([&first_seen](int s) { first_seen.push_back(s); });
        TerminationSignals second([&second_seen](int s) { second_seen.push_back(s); });
        EXPECT_TRUE(first.active());
        EXPECT_FALSE(second.active());
        ASSERT_EQ(std::raise(SIGTERM), 0);
        // Not yet delivered when the watch goes: it is dropped with it.
    }
    EXPECT_EQ(g_previous_handler_saw, 0);

    std::vector<int> later_seen;
    TerminationSignals later([&later_seen](int s) { later_seen.push_back(s); });
    ASSERT_TRUE(later.active());
    ASSERT_EQ(std::raise(SIGINT), 0);
    process_until(later_seen, 1);
    EXPECT_EQ(later_seen, std::vector<int>{SIGINT});
    EXPECT_TRUE(first_seen.empty());
    EXPECT_TRUE(second_seen.empty());
}

}  // namespace
}  // namespace wm
