#include "platform/termination_signals.h"

#include "platform/run_temp_folder.h"
#include "tests/platform/child_process_folder.h"
#include "tests/support/test_support.h"

#include <QCoreApplication>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <pthread.h>

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

// Long enough that no test here ever meets it, unless it means to.
constexpr int kNoWatchdogMs = 600000;

// Puts a handler of the test's own in place for every signal the object
// takes, and the process's own handlers back afterwards.
class TerminationSignalsTest : public ::testing::Test {
  protected:
    TerminationSignalsTest() {
        struct sigaction action {};
        action.sa_handler = previous_handler;
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < kTerminationSignals.size(); ++i) {
            sigaction(kTerminationSignals[i], &action, &saved_[i]);
        }
        g_previous_handler_saw = 0;
    }
    ~TerminationSignalsTest() override {
        for (std::size_t i = 0; i < kTerminationSignals.size(); ++i) {
            sigaction(kTerminationSignals[i], &saved_[i], nullptr);
        }
    }

    static void set_handler(int signal_number, void (*handler)(int)) {
        struct sigaction action {};
        action.sa_handler = handler;
        sigemptyset(&action.sa_mask);
        sigaction(signal_number, &action, nullptr);
    }

    std::array<struct sigaction, kTerminationSignals.size()> saved_{};
};

TEST_F(TerminationSignalsTest, SignalsArriveAsCallsFromTheEventLoop) {
    std::vector<int> seen;
    {
        TerminationSignals watch([&seen](int signal_number) { seen.push_back(signal_number); },
                                 nullptr, kNoWatchdogMs);
        ASSERT_TRUE(watch.active());

        ASSERT_EQ(std::raise(SIGTERM), 0);
        // The handler only noted it; the call waits for the event loop.
        EXPECT_TRUE(seen.empty());
        process_until(seen, 1);
        EXPECT_EQ(seen, std::vector<int>{SIGTERM});

        for (const int signal_number : {SIGINT, SIGHUP, SIGQUIT, SIGTERM}) {
            ASSERT_EQ(std::raise(signal_number), 0);
        }
        process_until(seen, 5);
        EXPECT_EQ(seen, (std::vector<int>{SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGTERM}));
        EXPECT_EQ(g_previous_handler_saw, 0);
    }

    // Gone: the handlers that were in place get the signals again.
    for (const int signal_number : kTerminationSignals) {
        ASSERT_EQ(std::raise(signal_number), 0);
        EXPECT_EQ(g_previous_handler_saw, signal_number);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(seen.size(), 5u);
}

TEST_F(TerminationSignalsTest, OneWatchAtATimeAndNoStaleSignals) {
    std::vector<int> first_seen;
    std::vector<int> second_seen;
    {
        TerminationSignals first([&first_seen](int s) { first_seen.push_back(s); }, nullptr,
                                 kNoWatchdogMs);
        TerminationSignals second([&second_seen](int s) { second_seen.push_back(s); }, nullptr,
                                  kNoWatchdogMs);
        EXPECT_TRUE(first.active());
        EXPECT_FALSE(second.active());
        ASSERT_EQ(std::raise(SIGTERM), 0);
        // Not yet delivered when the watch goes: it is dropped with it.
    }
    EXPECT_EQ(g_previous_handler_saw, 0);

    std::vector<int> later_seen;
    TerminationSignals later([&later_seen](int s) { later_seen.push_back(s); }, nullptr,
                             kNoWatchdogMs);
    ASSERT_TRUE(later.active());
    ASSERT_EQ(std::raise(SIGINT), 0);
    process_until(later_seen, 1);
    EXPECT_EQ(later_seen, std::vector<int>{SIGINT});
    EXPECT_TRUE(first_seen.empty());
    EXPECT_TRUE(second_seen.empty());
}

TEST_F(TerminationSignalsTest, WhatTheStarterIgnoredStaysIgnoredButSigtermIsTaken) {
    // As nohup leaves SIGHUP, and a shell's background job SIGINT and SIGQUIT.
    for (const int signal_number : kTerminationSignals) {
        set_handler(signal_number, SIG_IGN);
    }
    std::vector<int> seen;
    {
        TerminationSignals watch([&seen](int s) { seen.push_back(s); }, nullptr, kNoWatchdogMs);
        ASSERT_TRUE(watch.active());
        for (const int signal_number : {SIGHUP, SIGINT, SIGQUIT, SIGTERM}) {
            ASSERT_EQ(std::raise(signal_number), 0);
        }
        process_until(seen, 1);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        EXPECT_EQ(seen, std::vector<int>{SIGTERM});
    }
    for (const int signal_number : kTerminationSignals) {
        struct sigaction now {};
        sigaction(signal_number, nullptr, &now);
        EXPECT_EQ(now.sa_handler, SIG_IGN) << signal_number;
    }
}

TEST_F(TerminationSignalsTest, ASignalMaskInheritedFromTheStarterDoesNotHoldThemBack) {
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    sigset_t before;
    ASSERT_EQ(pthread_sigmask(SIG_BLOCK, &blocked, &before), 0);
    std::vector<int> seen;
    {
        TerminationSignals watch([&seen](int s) { seen.push_back(s); }, nullptr, kNoWatchdogMs);
        ASSERT_TRUE(watch.active());
        sigset_t now;
        ASSERT_EQ(pthread_sigmask(SIG_BLOCK, nullptr, &now), 0);
        EXPECT_EQ(sigismember(&now, SIGTERM), 0);
        ASSERT_EQ(std::raise(SIGTERM), 0);
        process_until(seen, 1);
        EXPECT_EQ(seen, std::vector<int>{SIGTERM});
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

// A run whose shutdown never ends: the signal arrives, and the thread that
// should handle it never comes back to its event loop. The watchdog's last
// resort removes the run's temporary folder, and the process ends with the
// status that tells of the signal.
[[noreturn]] void hang_after(int signal_number, const QString& runtime) {
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    const QString folder = run_temp_folder();
    test::write_file(folder + QStringLiteral("img_xyz.jpg"), "member");
    const TerminationSignals watch([](int) {}, remove_run_temp_folder_at_once, 100);
    std::raise(signal_number);
    // Should the watchdog fail, the child ends with a status no case expects.
    std::this_thread::sleep_for(std::chrono::seconds(60));
    std::_Exit(99);
}

TEST_F(TerminationSignalsTest, AShutdownThatHangsIsCutShortAndCleanedUp) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct Case {
        int signal_number;
        int status;
    };
    // The statuses a run stopped by each signal ends with.
    for (const Case c : {Case{SIGTERM, 0}, Case{SIGINT, 0}, Case{SIGHUP, 128 + SIGHUP},
                         Case{SIGQUIT, 128 + SIGQUIT}}) {
        SCOPED_TRACE(c.signal_number);
        EXPECT_EQ(termination_exit_status(c.signal_number), c.status);
        const test::ChildProcessFolder runtime;
        ASSERT_FALSE(runtime.path().isEmpty());
        EXPECT_EXIT(hang_after(c.signal_number, runtime.path()),
                    ::testing::ExitedWithCode(c.status), "");
        EXPECT_TRUE(runtime.entries().isEmpty()) << runtime.entries().join(u' ').toStdString();
    }
}

TEST_F(TerminationSignalsTest, TheWatchdogLetsARunThatEndedInTimeGo) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto end_in_time = [] {
        std::vector<int> seen;
        {
            const TerminationSignals watch([&seen](int s) { seen.push_back(s); }, nullptr, 60000);
            std::raise(SIGHUP);
            process_until(seen, 1);
        }
        // The object joined its watchdog as it went: had the watchdog ended
        // the process instead, the status would be 129.
        std::_Exit(seen == std::vector<int>{SIGHUP} ? 7 : 8);
    };
    EXPECT_EXIT(end_in_time(), ::testing::ExitedWithCode(7), "");
}

}  // namespace
}  // namespace wm
