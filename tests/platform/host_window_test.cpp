// A host's window made by this test on its own X11 connection, as another
// program's would be. Runs on a virtual X display with Qt on xcb.

#include "platform/host_window.h"

#include "tests/support/test_support.h"
#include "tests/support/x_test_client.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>

#include <xcb/xcb.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace wm {
namespace {

class HostWindowTest : public test::XDisplayTest {
  protected:
    // The root's children that are mapped: what shows as top-level windows.
    std::set<xcb_window_t> mapped_top_level() {
        std::set<xcb_window_t> mapped;
        for (const xcb_window_t child : x_.children_of(x_.root())) {
            if (x_.viewable(child)) {
                mapped.insert(child);
            }
        }
        return mapped;
    }
    // The windows mapped as children of the root since x_.listen_to_root().
    std::vector<xcb_window_t> mapped_on_root() {
        x_.sync();
        std::vector<xcb_window_t> mapped;
        while (xcb_generic_event_t* event = xcb_poll_for_event(x_.connection())) {
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
                if (map->event == x_.root()) {
                    mapped.push_back(map->window);
                }
            }
            std::free(event);
        }
        return mapped;
    }
};

// --- query_host_window ----------------------------------------------------

TEST_F(HostWindowTest, QueryGivesTheSizeAndWhereTheWindowIsOnTheRoot) {
    const xcb_window_t host = x_.make_window(x_.root(), QRect(30, 40, 160, 120));
    QString problem;
    std::optional<HostWindowInfo> info = query_host_window(host, &problem);
    ASSERT_TRUE(info.has_value()) << problem.toStdString();
    EXPECT_EQ(info->size, QSize(160, 120));
    EXPECT_EQ(info->root_position, QPoint(30, 40));

    // A window inside another: its position on the root, not in its parent.
    const xcb_window_t inner = x_.make_window(host, QRect(5, 6, 20, 10));
    info = query_host_window(inner, &problem);
    ASSERT_TRUE(info.has_value()) << problem.toStdString();
    EXPECT_EQ(info->size, QSize(20, 10));
    EXPECT_EQ(info->root_position, QPoint(35, 46));

    // Unmapped windows count too, and so does the root window.
    const xcb_window_t hidden =
        x_.make_window(x_.root(), QRect(300, 200, 64, 48), test::XWindowOptions().unmapped());
    info = query_host_window(hidden, nullptr);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->root_position, QPoint(300, 200));
    info = query_host_window(x_.root(), &problem);
    ASSERT_TRUE(info.has_value()) << problem.toStdString();
    EXPECT_EQ(info->size, QSize(x_.screen()->width_in_pixels, x_.screen()->height_in_pixels));
    EXPECT_EQ(info->root_position, QPoint(0, 0));
}

TEST_F(HostWindowTest, QueryOfWhatIsNoWindowSaysWhy) {
    QString problem;
    EXPECT_FALSE(query_host_window(0, &problem).has_value());
    EXPECT_EQ(problem, QStringLiteral("0 is not a window number"));

    // An id of ours that names nothing yet, and one no client has.
    const xcb_window_t unused = x_.unused_id();
    EXPECT_FALSE(query_host_window(unused, &problem).has_value());
    EXPECT_EQ(problem, QStringLiteral("window 0x%1 does not exist").arg(unused, 0, 16));
    EXPECT_FALSE(query_host_window(0x1fff0000u, &problem).has_value());
    EXPECT_EQ(problem, QStringLiteral("window 0x1fff0000 does not exist"));

    // A destroyed window.
    const xcb_window_t gone = x_.make_window(x_.root(), QRect(0, 0, 10, 10));
    x_.destroy(gone);
    EXPECT_FALSE(query_host_window(gone, &problem).has_value());
    EXPECT_EQ(problem, QStringLiteral("window 0x%1 does not exist").arg(gone, 0, 16));

    // A pixmap has a size but is no window.
    const xcb_pixmap_t pixmap = x_.make_pixmap();
    EXPECT_FALSE(query_host_window(pixmap, &problem).has_value());
    EXPECT_EQ(problem, QStringLiteral("0x%1 is not a window").arg(pixmap, 0, 16));

    // An input-only window cannot hold a picture.
    const xcb_window_t input_only =
        x_.make_window(x_.root(), QRect(0, 0, 10, 10), test::XWindowOptions().input_only());
    EXPECT_FALSE(query_host_window(input_only, &problem).has_value());
    EXPECT_EQ(problem, QStringLiteral("window 0x%1 is input-only and cannot show anything")
                           .arg(input_only, 0, 16));
}

TEST(HostWindowWithoutDisplay, QueryAndWatchSaySo) {
    QString problem;
    {
        test::EnvGuard no_display("DISPLAY", std::nullopt);
        EXPECT_FALSE(query_host_window(0x200001, &problem).has_value());
        EXPECT_EQ(problem, QStringLiteral("no X11 display"));
    }
    test::EnvGuard bad_display("DISPLAY", QStringLiteral(":987"));
    EXPECT_FALSE(query_host_window(0x200001, &problem).has_value());
    EXPECT_EQ(problem, QStringLiteral("no X11 display at \":987\""));

    // A watch without a display is gone at once, told from the event loop.
    int gone = 0;
    HostWindowWatch watch(0x200001, nullptr, [&gone] { ++gone; });
    EXPECT_EQ(gone, 0);
    EXPECT_TRUE(test::run_events_until([&gone] { return gone > 0; }));
    EXPECT_TRUE(watch.is_gone());
    test::run_events_for(250);
    EXPECT_EQ(gone, 1);
}

// --- HostWindowWatch --------------------------------------------------------

TEST_F(HostWindowTest, WatchReportsEachNewSizeAndTheEndOnce) {
    const xcb_window_t host = x_.make_window(x_.root(), QRect(10, 10, 200, 150));
    std::vector<QSize> sizes;
    int gone = 0;
    HostWindowWatch watch(
        host, [&sizes](QSize size) { sizes.push_back(size); }, [&gone] { ++gone; });
    test::run_events_for(250);  // its first answers: the size it starts from
    EXPECT_TRUE(sizes.empty());

    x_.resize(host, 320, 240);
    ASSERT_TRUE(test::run_events_until([&sizes] { return !sizes.empty(); }));
    EXPECT_EQ(sizes, std::vector<QSize>{QSize(320, 240)});

    // Moving is no resize, nor is a configuration that keeps the size.
    x_.move(host, 50, 60);
    x_.resize(host, 320, 240);
    test::run_events_for(250);
    EXPECT_EQ(sizes.size(), 1u);
    x_.resize(host, 100, 80);
    ASSERT_TRUE(test::run_events_until([&sizes] { return sizes.size() == 2; }));
    EXPECT_EQ(sizes.back(), QSize(100, 80));
    EXPECT_EQ(gone, 0);
    EXPECT_FALSE(watch.is_gone());

    x_.destroy(host);
    ASSERT_TRUE(test::run_events_until([&gone] { return gone > 0; }));
    EXPECT_TRUE(watch.is_gone());
    test::run_events_for(250);
    EXPECT_EQ(gone, 1);
    EXPECT_EQ(sizes.size(), 2u);
}

TEST_F(HostWindowTest, WatchStartsFromAKnownSizeWhenGivenOne) {
    const xcb_window_t host = x_.make_window(x_.root(), QRect(10, 10, 200, 150));
    std::vector<QSize> sizes;
    // The host grew between the caller's look and the watch's start.
    HostWindowWatch watch(
        host, [&sizes](QSize size) { sizes.push_back(size); }, nullptr, QSize(150, 100));
    ASSERT_TRUE(test::run_events_until([&sizes] { return !sizes.empty(); }));
    EXPECT_EQ(sizes, std::vector<QSize>{QSize(200, 150)});
}

TEST_F(HostWindowTest, TheEndOfAnAlsoWatchedWindowCountsAsTheEnd) {
    const xcb_window_t host = x_.make_window(x_.root(), QRect(10, 10, 200, 150));
    const xcb_window_t ours = x_.make_window(host, QRect(0, 0, 200, 150));
    int gone = 0;
    HostWindowWatch watch(host, nullptr, [&gone] { ++gone; });
    watch.also_watch(ours);
    test::run_events_for(250);
    EXPECT_EQ(gone, 0);

    x_.destroy(ours);
    ASSERT_TRUE(test::run_events_until([&gone] { return gone > 0; }));
    EXPECT_EQ(x_.parent_of(host), x_.root());  // the host itself is still there
    x_.destroy(host);
    test::run_events_for(250);
    EXPECT_EQ(gone, 1);
}

TEST_F(HostWindowTest, WatchOfWhatIsNoWindowEndsAtOnce) {
    for (const bool host_missing : {true, false}) {
        const xcb_window_t host = x_.make_window(x_.root(), QRect(10, 10, 50, 50));
        const xcb_window_t missing = x_.unused_id();
        int gone = 0;
        HostWindowWatch watch(host_missing ? missing : host, nullptr, [&gone] { ++gone; });
        if (!host_missing) {
            watch.also_watch(missing);
        }
        EXPECT_TRUE(test::run_events_until([&gone] { return gone > 0; })) << host_missing;
        test::run_events_for(250);
        EXPECT_EQ(gone, 1);
        x_.destroy(host);
    }
}

TEST_F(HostWindowTest, WatchKeepsTheEventLoopRunningWhileTheServerDoesNotAnswerIt) {
    const xcb_window_t host = x_.make_window(x_.root(), QRect(10, 10, 50, 50));
    int gone = 0;
    HostWindowWatch watch(host, nullptr, [&gone] { ++gone; });
    test::run_events_for(150);

    // While this connection holds the server, no other client's request is
    // answered: the watch's questions wait, the event loop must not. Should
    // the loop block all the same, a helper lets the server go after 3 s,
    // so that the case fails instead of hanging.
    xcb_grab_server(x_.connection());
    x_.sync();
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::atomic<bool> rescued{false};
    std::thread rescuer([&] {
        std::unique_lock lock(mutex);
        if (!done.wait_for(lock, std::chrono::seconds(3), [&finished] { return finished; })) {
            rescued = true;
            xcb_ungrab_server(x_.connection());
            xcb_flush(x_.connection());
        }
    });
    int ticks = 0;
    QTimer counter;
    QObject::connect(&counter, &QTimer::timeout, [&ticks] { ++ticks; });
    counter.start(20);
    test::run_events_for(600);
    {
        const std::lock_guard lock(mutex);
        finished = true;
    }
    done.notify_one();
    rescuer.join();
    EXPECT_FALSE(rescued) << "the event loop waited for the server";
    EXPECT_GE(ticks, 5);
    EXPECT_EQ(gone, 0);

    // The end that happened meanwhile is seen once the server answers again.
    xcb_destroy_window(x_.connection(), host);
    xcb_ungrab_server(x_.connection());
    x_.sync();
    EXPECT_TRUE(test::run_events_until([&gone] { return gone > 0; }));
}

// --- embed_in_host_window ---------------------------------------------------

class EmbedTest : public HostWindowTest {
  protected:
    void SetUp() override {
        HostWindowTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"))
            << "these cases show real windows: run them with QT_QPA_PLATFORM=xcb";
    }
    void TearDown() override {
        // The window standing for the host goes after ours.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        HostWindowTest::TearDown();
    }
};

TEST_F(EmbedTest, TheWidgetGoesInsideTheHostAtItsSizeAndNeverShowsOnTheRoot) {
    const xcb_window_t host = x_.make_window(x_.root(), QRect(100, 100, 152, 112));
    const std::set<xcb_window_t> top_level_before = mapped_top_level();
    x_.listen_to_root();

    auto widget = std::make_unique<QWidget>();
    QString problem;
    ASSERT_TRUE(embed_in_host_window(*widget, host, &problem)) << problem.toStdString();
    widget->show();
    const auto ours = static_cast<xcb_window_t>(widget->winId());
    ASSERT_TRUE(test::run_events_until([&] { return x_.viewable(ours); }));
    test::run_events_for(100);

    EXPECT_EQ(x_.parent_of(ours), host);
    EXPECT_EQ(x_.geometry_of(ours), QRect(0, 0, 152, 112));
    EXPECT_EQ(widget->size(), QSize(152, 112));
    EXPECT_TRUE(mapped_on_root().empty());
    EXPECT_EQ(mapped_top_level(), top_level_before);

    // Following the host's new size.
    x_.resize(host, 300, 200);
    cover_host_window(*widget, QSize(300, 200));
    EXPECT_TRUE(
        test::run_events_until([&] { return x_.geometry_of(ours) == QRect(0, 0, 300, 200); }));

    widget.reset();
    EXPECT_TRUE(test::run_events_until(
        [&] { return x_.parent_of(ours) == 0; }));  // ours went with the widget
    EXPECT_EQ(x_.parent_of(host), x_.root());
    EXPECT_TRUE(mapped_on_root().empty());
}

TEST_F(EmbedTest, AWidgetThatCannotGoInsideStaysWithoutAWindow) {
    QString problem;
    QWidget no_host;
    EXPECT_FALSE(embed_in_host_window(no_host, x_.unused_id(), &problem));
    EXPECT_TRUE(problem.endsWith(QStringLiteral(" does not exist"))) << problem.toStdString();
    EXPECT_EQ(no_host.internalWinId(), 0u);
    EXPECT_FALSE(embed_in_host_window(no_host, 0, &problem));
    EXPECT_EQ(problem, QStringLiteral("0 is not a window number"));
    EXPECT_EQ(no_host.internalWinId(), 0u);

    const xcb_window_t host = x_.make_window(x_.root(), QRect(0, 0, 40, 30));
    QWidget parent;
    auto* child = new QWidget(&parent);
    EXPECT_FALSE(embed_in_host_window(*child, host, &problem));
    EXPECT_EQ(problem,
              QStringLiteral("only a window of its own can go into another program's window"));

    QWidget shown;
    shown.resize(20, 20);
    shown.show();
    EXPECT_FALSE(embed_in_host_window(shown, host, &problem));
    EXPECT_EQ(problem,
              QStringLiteral("a window already shown cannot go into another program's window"));
}

}  // namespace
}  // namespace wm
