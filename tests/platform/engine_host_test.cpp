#include "platform/engine_host.h"
#include "platform/qt_engine_host.h"

#include "tests/support/virtual_host.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace wm {
namespace {

TEST(TickBefore, ComparesAcrossTheWrap) {
    EXPECT_TRUE(tick_before(1, 2));
    EXPECT_FALSE(tick_before(2, 1));
    EXPECT_FALSE(tick_before(7, 7));
    EXPECT_TRUE(tick_before(0xFFFFFFF0u, 0x10u));
    EXPECT_FALSE(tick_before(0x10u, 0xFFFFFFF0u));
    EXPECT_TRUE(tick_before(0x7FFFFFFFu, 0x80000000u));
}

TEST(WaitUntil, EndsExactlyAtItsTickOnTheVirtualClock) {
    test::VirtualHost host(1000);
    wait_until(host, 1250);
    EXPECT_EQ(host.now(), 1250u);
    EXPECT_EQ(host.yields(), 1u);  // nothing to handle: one sleep

    wait_until(host, 1200);  // already passed: no yield at all
    EXPECT_EQ(host.now(), 1250u);
    EXPECT_EQ(host.yields(), 1u);

    // Events on the way wake the wait, which then sleeps on to its tick.
    int events = 0;
    host.at(1300, [&] { ++events; });
    host.at(1400, [&] { ++events; });
    wait_until(host, 1500);
    EXPECT_EQ(events, 2);
    EXPECT_EQ(host.now(), 1500u);
    EXPECT_EQ(host.yields(), 4u);
}

TEST(WaitUntil, StopsAtTheEventThatAsksForIt) {
    test::VirtualHost host(0);
    bool stop = false;
    int polls = 0;
    host.at(100, [] {});
    host.at(300, [&] { stop = true; });
    wait_until(host, 2000, [&] {
        ++polls;
        return stop;
    });
    EXPECT_EQ(host.now(), 300u);
    EXPECT_EQ(polls, 2);
    EXPECT_EQ(host.pending(), 0u);
}

TEST(WaitUntil, CrossesTheWrapOfTheTickCounter) {
    test::VirtualHost host(0xFFFFFF00u);
    bool woke = false;
    host.at(0x20u, [&] { woke = true; });  // after the wrap, not in the past
    wait_until(host, 0x100u);
    EXPECT_TRUE(woke);
    EXPECT_EQ(host.now(), 0x100u);

    // A tick just before the wrap, seen from just after it, has passed.
    test::VirtualHost late(0x10u);
    wait_until(late, 0xFFFFFFF0u);
    EXPECT_EQ(late.now(), 0x10u);
    EXPECT_EQ(late.yields(), 0u);
}

TEST(VirtualHost, RunsActionsByTimeThenByOrderAdded) {
    test::VirtualHost host(50);
    std::string log;
    host.at(200, [&] { log += 'c'; });
    host.at(100, [&] { log += 'a'; });
    host.at(100, [&] { log += 'b'; });
    host.at(10, [&] { log += 'p'; });  // in the past: due at once
    host.yield_until(1000);
    EXPECT_EQ(log, "p");
    EXPECT_EQ(host.now(), 50u);
    host.yield_until(1000);
    EXPECT_EQ(log, "pab");
    EXPECT_EQ(host.now(), 100u);
    host.yield_until(150);  // nothing due before the wait's end
    EXPECT_EQ(log, "pab");
    EXPECT_EQ(host.now(), 150u);
    host.yield_until(1000);
    EXPECT_EQ(log, "pabc");
    EXPECT_EQ(host.now(), 200u);
    EXPECT_EQ(host.pending(), 0u);
    EXPECT_EQ(host.yields(), 4u);
}

TEST(VirtualHost, ActionsAddedByActionsWaitForTheNextYield) {
    test::VirtualHost host(0);
    std::string log;
    host.at(10, [&] {
        log += 'a';
        host.at(0, [&] { log += 'n'; });  // already due, but not in this pass
        host.at(40, [&] { log += 'l'; });
        host.advance(5);  // work inside the event takes time
    });
    host.at(10, [&] { log += 'b'; });
    host.yield_until(100);
    EXPECT_EQ(log, "ab");
    EXPECT_EQ(host.now(), 15u);
    host.yield_once();
    EXPECT_EQ(log, "abn");
    host.yield_until(100);
    EXPECT_EQ(log, "abnl");
    EXPECT_EQ(host.now(), 40u);
}

TEST(VirtualHost, YieldOnceCostsItsTimeAndRunsWhatComesDue) {
    test::VirtualHost host(0xFFFFFFFEu);
    host.set_yield_cost(1);
    int fired = 0;
    host.at(1, [&] { ++fired; });
    for (int i = 0; i < 3; ++i) {
        host.yield_once();
    }
    EXPECT_EQ(fired, 0);  // runs at the start of a yield, so not yet
    EXPECT_EQ(host.now(), 1u);
    host.yield_once();
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(host.now(), 2u);
    EXPECT_EQ(host.yields(), 4u);
}

// The Qt host runs on real time: these cases check what happens, never how
// long it takes. Each wait aims far ahead, so a host that slept through an
// event instead of returning is caught by the tick it ends at.
constexpr std::uint32_t far_ahead = 60'000;

TEST(QtEngineHost, ReturnsOnEventsAndOnPassedTicks) {
    QtEngineHost host;
    const std::uint32_t start = host.tick_count();

    bool posted = false;
    QObject target;
    QMetaObject::invokeMethod(
        &target, [&] { posted = true; }, Qt::QueuedConnection);
    host.yield_until(start + far_ahead);
    EXPECT_TRUE(posted);

    // Nothing pending: sleeps until the timer's event arrives.
    bool timed = false;
    QTimer::singleShot(20, &target, [&] { timed = true; });
    while (!timed && tick_before(host.tick_count(), start + far_ahead)) {
        host.yield_until(start + far_ahead);
    }
    EXPECT_TRUE(timed);

    // A tick already passed; the guard only ends a wait that went wrong.
    bool guard = false;
    QTimer::singleShot(far_ahead / 2, &target, [&] { guard = true; });
    host.yield_until(host.tick_count() - 1000);
    host.yield_until(host.tick_count());
    EXPECT_FALSE(guard);
    EXPECT_TRUE(tick_before(host.tick_count(), start + far_ahead));
    EXPECT_FALSE(tick_before(host.tick_count(), start));  // the clock never runs back
}

TEST(QtEngineHost, WaitsReachTheirTickOrStop) {
    QtEngineHost host;
    const std::uint32_t tick = host.tick_count() + 30;
    wait_until(host, tick);
    EXPECT_FALSE(tick_before(host.tick_count(), tick));

    QObject target;
    bool stop = false;
    QTimer::singleShot(20, &target, [&] { stop = true; });
    const std::uint32_t end = host.tick_count() + far_ahead;
    wait_until(host, end, [&] { return stop; });
    EXPECT_TRUE(stop);
    EXPECT_TRUE(tick_before(host.tick_count(), end));
}

TEST(QtEngineHost, FreesObjectsDeletedLaterWhileItRuns) {
    QtEngineHost host;
    QPointer<QObject> doomed = new QObject;
    doomed->deleteLater();
    host.yield_once();
    EXPECT_TRUE(doomed.isNull());

    doomed = new QObject;
    doomed->deleteLater();
    host.yield_until(host.tick_count() + 10);
    EXPECT_TRUE(doomed.isNull());
}

}  // namespace
}  // namespace wm
