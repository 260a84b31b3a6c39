// A host's window made by this test on its own X11 connection, as another
// program's would be. Runs on a virtual X display with Qt on xcb.

#include "platform/host_window.h"

#include "tests/support/test_support.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QThread>
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

// Runs the event loop until `done` or `ms` have passed; gives `done()`.
bool wait_until(const std::function<bool()>& done, int ms = 5000) {
    const QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

// Lets a little time pass with the event loop running.
void run_events_for(int ms) {
    wait_until([] { return false; }, ms);
}

class HostWindowTest : public ::testing::Test {
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

    xcb_window_t make_window(xcb_window_t parent, QRect where, bool map = true,
                             std::uint16_t window_class = XCB_WINDOW_CLASS_INPUT_OUTPUT) {
        const xcb_window_t w = xcb_generate_id(c_);
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, w, parent, static_cast<std::int16_t>(where.x()),
                          static_cast<std::int16_t>(where.y()),
                          static_cast<std::uint16_t>(where.width()),
                          static_cast<std::uint16_t>(where.height()), 0, window_class,
                          screen_->root_visual, 0, nullptr);
        if (map) {
            xcb_map_window(c_, w);
        }
        sync();
        return w;
    }
    void resize(xcb_window_t w, int width, int height) {
        const std::uint32_t size[] = {static_cast<std::uint32_t>(width),
                                      static_cast<std::uint32_t>(height)};
        xcb_configure_window(c_, w, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
        sync();
    }
    void move(xcb_window_t w, int x, int y) {
        const std::uint32_t at[] = {static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y)};
        xcb_configure_window(c_, w, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, at);
        sync();
    }
    void destroy(xcb_window_t w) {
        xcb_destroy_window(c_, w);
        sync();
    }
    // Makes sure the server has carried out every request so far.
    void sync() { std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }

    xcb_window_t parent_of(xcb_window_t w) {
        auto* tree = xcb_query_tree_reply(c_, xcb_query_tree(c_, w), nullptr);
        const xcb_window_t parent = tree != nullptr ? tree->parent : 0;
        std::free(tree);
        return parent;
    }
    QRect geometry_of(xcb_window_t w) {
        auto* g = xcb_get_geometry_reply(c_, xcb_get_geometry(c_, w), nullptr);
        const QRect r = g != nullptr ? QRect(g->x, g->y, g->width, g->height) : QRect();
        std::free(g);
        return r;
    }
    bool viewable(xcb_window_t w) {
        auto* a = xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, w), nullptr);
        const bool shown = a != nullptr && a->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(a);
        return shown;
    }
    // The root's children that are mapped: what shows as top-level windows.
    std::set<xcb_window_t> mapped_top_level() {
        std::set<xcb_window_t> mapped;
        auto* tree = xcb_query_tree_reply(c_, xcb_query_tree(c_, screen_->root), nullptr);
        if (tree == nullptr) {
            return mapped;
        }
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
            if (viewable(children[i])) {
                mapped.insert(children[i]);
            }
        }
        std::free(tree);
        return mapped;
    }
    // From now on, every window mapped on the root reaches this connection.
    void listen_to_root() {
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c_, screen_->root, XCB_CW_EVENT_MASK, &mask);
        sync();
    }
    // The windows mapped as children of the root since listen_to_root().
    std::vector<xcb_window_t> mapped_on_root() {
        sync();
        std::vector<xcb_window_t> mapped;
        while (xcb_generic_event_t* event = xcb_poll_for_event(c_)) {
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
                if (map->event == screen_->root) {
                    mapped.push_back(map->window);
                }
            }
            std::free(event);
        }
        return mapped;
    }

    xcb_connection_t* c_ = nullptr;
    xcb_screen_t* screen_ = nullptr;
};

// --- query_host_window ----------------------------------------------------

TEST_F(HostWindowTest, QueryGivesTheSizeAndWhereTheWindowIsOnTheRoot) {
    const xcb_window_t host = make_window(screen_->root, QRect(30, 40, 160, 120));
    QString problem;
    std::optional<HostWindowInfo> info = query_host_window(host, &problem);
    ASSERT_TRUE(info.has_value()) << problem.toStdString();
    EXPECT_EQ(info->size, QSize(160, 120));
    EXPECT_EQ(info->root_position, QPoint(30, 40));

    // A window inside another: its position on the root, not in its parent.
    const xcb_window_t inner = make_window(host, QRect(5, 6, 20, 10));
    info = query_host_window(inner, &problem);
    ASSERT_TRUE(info.has_value()) << problem.toStdString();
    EXPECT_EQ(info->size, QSize(20, 10));
    EXPECT_EQ(info->root_position, QPoint(35, 46));

    // Unmapped windows count too, and so does the root window.
    const xcb_window_t hidden = make_window(screen_->root, QRect(300, 200, 64, 48), false);
    info = query_host_window(hidden, nullptr);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->root_position, QPoint(300, 200));
    info = query_host_window(screen_->root, &problem);
    ASSERT_TRUE(info.has_value()) << problem.toStdString();
    EXPECT_EQ(info->size, QSize(screen_->width_in_pixels, screen_->height_in_pixels));
    EXPECT_EQ(info->root_position, QPoint(0, 0));
}

TEST_F(HostWindowTest, QueryOfWhatIsNoWindowSaysWhy) {
    QString problem;
    EXPECT_FALSE(query_host_window(0, &problem).has_value());
    EXPECT_EQ(problem, QStringLiteral("0 is not a window number"));

    // An id of ours that names nothing yet, and one no client has.
    const xcb_window_t unused = xcb_generate_id(c_);
    EXPECT_FALSE(query_host_window(unused, &problem).has_value());
    EXPECT_EQ(problem, QStringLiteral("window 0x%1 does not exist").arg(unused, 0, 16));
    EXPECT_FALSE(query_host_window(0x1fff0000u, &problem).has_value());
    EXPECT_EQ(problem, QStringLiteral("window 0x1fff0000 does not exist"));

    // A destroyed window.
    const xcb_window_t gone = make_window(screen_->root, QRect(0, 0, 10, 10));
    destroy(gone);
    EXPECT_FALSE(query_host_window(gone, &problem).has_value());
    EXPECT_EQ(problem, QStringLiteral("window 0x%1 does not exist").arg(gone, 0, 16));

    // A pixmap has a size but is no window.
    const xcb_pixmap_t pixmap = xcb_generate_id(c_);
    xcb_create_pixmap(c_, screen_->root_depth, pixmap, screen_->root, 16, 16);
    sync();
    EXPECT_FALSE(query_host_window(pixmap, &problem).has_value());
    EXPECT_EQ(problem, QStringLiteral("0x%1 is not a window").arg(pixmap, 0, 16));

    // An input-only window cannot hold a picture.
    const xcb_window_t input_only =
        make_window(screen_->root, QRect(0, 0, 10, 10), true, XCB_WINDOW_CLASS_INPUT_ONLY);
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
    EXPECT_TRUE(wait_until([&gone] { return gone > 0; }));
    EXPECT_TRUE(watch.is_gone());
    run_events_for(250);
    EXPECT_EQ(gone, 1);
}

// --- HostWindowWatch --------------------------------------------------------

TEST_F(HostWindowTest, WatchReportsEachNewSizeAndTheEndOnce) {
    const xcb_window_t host = make_window(screen_->root, QRect(10, 10, 200, 150));
    std::vector<QSize> sizes;
    int gone = 0;
    HostWindowWatch watch(
        host, [&sizes](QSize size) { sizes.push_back(size); }, [&gone] { ++gone; });
    run_events_for(250);  // its first answers: the size it starts from
    EXPECT_TRUE(sizes.empty());

    resize(host, 320, 240);
    ASSERT_TRUE(wait_until([&sizes] { return !sizes.empty(); }));
    EXPECT_EQ(sizes, std::vector<QSize>{QSize(320, 240)});

    // Moving is no resize, nor is a configuration that keeps the size.
    move(host, 50, 60);
    resize(host, 320, 240);
    run_events_for(250);
    EXPECT_EQ(sizes.size(), 1u);
    resize(host, 100, 80);
    ASSERT_TRUE(wait_until([&sizes] { return sizes.size() == 2; }));
    EXPECT_EQ(sizes.back(), QSize(100, 80));
    EXPECT_EQ(gone, 0);
    EXPECT_FALSE(watch.is_gone());

    destroy(host);
    ASSERT_TRUE(wait_until([&gone] { return gone > 0; }));
    EXPECT_TRUE(watch.is_gone());
    run_events_for(250);
    EXPECT_EQ(gone, 1);
    EXPECT_EQ(sizes.size(), 2u);
}

TEST_F(HostWindowTest, WatchStartsFromAKnownSizeWhenGivenOne) {
    const xcb_window_t host = make_window(screen_->root, QRect(10, 10, 200, 150));
    std::vector<QSize> sizes;
    // The host grew between the caller's look and the watch's start.
    HostWindowWatch watch(
        host, [&sizes](QSize size) { sizes.push_back(size); }, nullptr, QSize(150, 100));
    ASSERT_TRUE(wait_until([&sizes] { return !sizes.empty(); }));
    EXPECT_EQ(sizes, std::vector<QSize>{QSize(200, 150)});
}

TEST_F(HostWindowTest, TheEndOfAnAlsoWatchedWindowCountsAsTheEnd) {
    const xcb_window_t host = make_window(screen_->root, QRect(10, 10, 200, 150));
    const xcb_window_t ours = make_window(host, QRect(0, 0, 200, 150));
    int gone = 0;
    HostWindowWatch watch(host, nullptr, [&gone] { ++gone; });
    watch.also_watch(ours);
    run_events_for(250);
    EXPECT_EQ(gone, 0);

    destroy(ours);
    ASSERT_TRUE(wait_until([&gone] { return gone > 0; }));
    EXPECT_EQ(parent_of(host), screen_->root);  // the host itself is still there
    destroy(host);
    run_events_for(250);
    EXPECT_EQ(gone, 1);
}

TEST_F(HostWindowTest, WatchOfWhatIsNoWindowEndsAtOnce) {
    for (const bool host_missing : {true, false}) {
        const xcb_window_t host = make_window(screen_->root, QRect(10, 10, 50, 50));
        const xcb_window_t missing = xcb_generate_id(c_);
        int gone = 0;
        HostWindowWatch watch(host_missing ? missing : host, nullptr, [&gone] { ++gone; });
        if (!host_missing) {
            watch.also_watch(missing);
        }
        EXPECT_TRUE(wait_until([&gone] { return gone > 0; })) << host_missing;
        run_events_for(250);
        EXPECT_EQ(gone, 1);
        destroy(host);
    }
}

TEST_F(HostWindowTest, WatchKeepsTheEventLoopRunningWhileTheServerDoesNotAnswerIt) {
    const xcb_window_t host = make_window(screen_->root, QRect(10, 10, 50, 50));
    int gone = 0;
    HostWindowWatch watch(host, nullptr, [&gone] { ++gone; });
    run_events_for(150);

    // While this connection holds the server, no other client's request is
    // answered: the watch's questions wait, the event loop must not. Should
    // the loop block all the same, a helper lets the server go after 3 s,
    // so that the case fails instead of hanging.
    xcb_grab_server(c_);
    sync();
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::atomic<bool> rescued{false};
    std::thread rescuer([&] {
        std::unique_lock lock(mutex);
        if (!done.wait_for(lock, std::chrono::seconds(3), [&finished] { return finished; })) {
            rescued = true;
            xcb_ungrab_server(c_);
            xcb_flush(c_);
        }
    });
    int ticks = 0;
    QTimer counter;
    QObject::connect(&counter, &QTimer::timeout, [&ticks] { ++ticks; });
    counter.start(20);
    run_events_for(600);
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
    xcb_destroy_window(c_, host);
    xcb_ungrab_server(c_);
    sync();
    EXPECT_TRUE(wait_until([&gone] { return gone > 0; }));
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
    const xcb_window_t host = make_window(screen_->root, QRect(100, 100, 152, 112));
    const std::set<xcb_window_t> top_level_before = mapped_top_level();
    listen_to_root();

    auto widget = std::make_unique<QWidget>();
    QString problem;
    ASSERT_TRUE(embed_in_host_window(*widget, host, &problem)) << problem.toStdString();
    widget->show();
    const auto ours = static_cast<xcb_window_t>(widget->winId());
    ASSERT_TRUE(wait_until([&] { return viewable(ours); }));
    run_events_for(100);

    EXPECT_EQ(parent_of(ours), host);
    EXPECT_EQ(geometry_of(ours), QRect(0, 0, 152, 112));
    EXPECT_EQ(widget->size(), QSize(152, 112));
    EXPECT_TRUE(mapped_on_root().empty());
    EXPECT_EQ(mapped_top_level(), top_level_before);

    // Following the host's new size.
    resize(host, 300, 200);
    cover_host_window(*widget, QSize(300, 200));
    EXPECT_TRUE(wait_until([&] { return geometry_of(ours) == QRect(0, 0, 300, 200); }));

    widget.reset();
    EXPECT_TRUE(wait_until([&] { return parent_of(ours) == 0; }));  // ours went with the widget
    EXPECT_EQ(parent_of(host), screen_->root);
    EXPECT_TRUE(mapped_on_root().empty());
}

TEST_F(EmbedTest, AWidgetThatCannotGoInsideStaysWithoutAWindow) {
    QString problem;
    QWidget no_host;
    EXPECT_FALSE(embed_in_host_window(no_host, xcb_generate_id(c_), &problem));
    EXPECT_TRUE(problem.endsWith(QStringLiteral(" does not exist"))) << problem.toStdString();
    EXPECT_EQ(no_host.internalWinId(), 0u);
    EXPECT_FALSE(embed_in_host_window(no_host, 0, &problem));
    EXPECT_EQ(problem, QStringLiteral("0 is not a window number"));
    EXPECT_EQ(no_host.internalWinId(), 0u);

    const xcb_window_t host = make_window(screen_->root, QRect(0, 0, 40, 30));
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
