#include "platform/engine_host.h"
#include "platform/qt_engine_host.h"

#include "tests/support/virtual_host.h"

#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>

namespace wm {
namespace {

TEST(WaitUntil, EndsAtItsTickOrItsStopAcrossTheWrap) {
    EXPECT_TRUE(tick_before(0xFFFFFFF0u, 0x10u));
    EXPECT_FALSE(tick_before(0x10u, 0xFFFFFFF0u));
    EXPECT_FALSE(tick_before(7, 7));

    // Events on the way wake the wait, which then sleeps on to its tick,
    // past the wrap of the counter.
    test::VirtualHost host(0xFFFFFF00u);
    int events = 0;
    host.at(0x20u, [&] { ++events; });
    wait_until(host, 0x100u);
    EXPECT_EQ(events, 1);
    EXPECT_EQ(host.now(), 0x100u);
    EXPECT_EQ(host.yields(), 2u);
    wait_until(host, 0xFFFFFFF0u);  // before the wrap: passed, no yield
    EXPECT_EQ(host.yields(), 2u);

    bool stop = false;
    host.at(0x150u, [] {});
    host.at(0x300u, [&] { stop = true; });
    wait_until(host, 0x2000u, [&] { return stop; });
    EXPECT_EQ(host.now(), 0x300u);
}

TEST(VirtualHost, RunsActionsByTimeThenByOrderAdded) {
    test::VirtualHost host(50);
    std::string log;
    host.at(200, [&] { log += 'c'; });
    host.at(100, [&] { log += 'a'; });
    host.at(100, [&] {
        log += 'b';
        host.at(0, [&] { log += 'n'; });  // due already, but not in this pass
        host.advance(5);                  // work inside the event takes time
    });
    host.at(10, [&] { log += 'p'; });  // in the past: due at once
    host.yield_until(1000);
    EXPECT_EQ(log, "p");
    EXPECT_EQ(host.now(), 50u);
    host.yield_until(1000);
    EXPECT_EQ(log, "pab");
    EXPECT_EQ(host.now(), 105u);
    host.yield_until(150);
    EXPECT_EQ(log, "pabn");
    EXPECT_EQ(host.now(), 105u);
    host.yield_until(150);  // nothing due before the wait's end
    EXPECT_EQ(host.now(), 150u);
    host.yield_until(1000);
    EXPECT_EQ(log, "pabnc");
    EXPECT_EQ(host.pending(), 0u);
    EXPECT_EQ(host.yields(), 5u);
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
    EXPECT_EQ(host.yields(), 4u);
}

// The Qt host runs on real time: these cases check what happens, never how
// long it takes. Each wait aims far ahead, so a host that slept through an
// event instead of returning is caught by the tick it ends at.
constexpr std::uint32_t far_ahead = 60'000;

TEST(QtEngineHost, ReturnsOnEventsAndOnPassedTicks) {
    QtEngineHost host;
    QObject target;
    const std::uint32_t start = host.tick_count();
    bool posted = false;
    QMetaObject::invokeMethod(
        &target, [&] { posted = true; }, Qt::QueuedConnection);
    host.yield_until(start + far_ahead);
    EXPECT_TRUE(posted);

    // A tick already passed; the guard only ends a wait that went wrong.
    bool guard = false;
    QTimer::singleShot(far_ahead / 2, &target, [&] { guard = true; });
    host.yield_until(host.tick_count() - 1000);
    host.yield_until(host.tick_count());
    EXPECT_FALSE(guard);
    EXPECT_FALSE(tick_before(host.tick_count(), start));  // the clock never runs back

    QPointer<QObject> doomed = new QObject;
    doomed->deleteLater();
    host.yield_once();
    EXPECT_TRUE(doomed.isNull());
}

TEST(QtEngineHost, WaitsReachTheirTickOrStop) {
    QtEngineHost host;
    const std::uint32_t tick = host.tick_count() + 30;
    wait_until(host, tick);
    EXPECT_FALSE(tick_before(host.tick_count(), tick));

    // Nothing pending: the wait sleeps until the timer's event arrives.
    QObject target;
    bool stop = false;
    QTimer::singleShot(20, &target, [&] { stop = true; });
    const std::uint32_t end = host.tick_count() + far_ahead;
    wait_until(host, end, [&] { return stop; });
    EXPECT_TRUE(stop);
    EXPECT_TRUE(tick_before(host.tick_count(), end));
}

}  // namespace
}  // namespace wm
