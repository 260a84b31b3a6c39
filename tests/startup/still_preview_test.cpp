// The still preview in this test process, in a host window that the test
// makes on its own X11 connection as a screen-saver host would. The preview
// runs its own event loop; the test acts from timers inside it. Runs on a
// virtual X display with Qt on xcb.

#include "startup/still_preview.h"

#include "assets/window_assets.h"
#include "tests/support/test_support.h"
#include "tests/support/x_test_client.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <QTimer>

#include <xcb/xcb.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>

namespace wm {
namespace {

// What the process writes on standard error while it lives.
class StderrCapture {
  public:
    StderrCapture() {
        std::fflush(stderr);
        file_ = std::tmpfile();
        saved_ = ::dup(STDERR_FILENO);
        if (file_ != nullptr && saved_ >= 0) {
            ::dup2(::fileno(file_), STDERR_FILENO);
        }
    }
    ~StderrCapture() {
        std::fflush(stderr);
        if (saved_ >= 0) {
            ::dup2(saved_, STDERR_FILENO);
            ::close(saved_);
        }
        if (file_ != nullptr) {
            std::fclose(file_);
        }
    }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    QString text() const {
        std::fflush(stderr);
        QFile file;
        if (file_ == nullptr || !file.open(::fileno(file_), QIODevice::ReadOnly)) {
            return {};
        }
        file.seek(0);
        return QString::fromLocal8Bit(file.readAll());
    }

  private:
    std::FILE* file_ = nullptr;
    int saved_ = -1;
};

class StillPreviewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("DISPLAY")) {
            GTEST_SKIP() << "needs an X display";
        }
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"))
            << "these cases show real windows: run them with QT_QPA_PLATFORM=xcb";
        ASSERT_TRUE(x_.ok()) << "no connection to the X display";
        still_ = window_picture(WindowPicture::Preview).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(still_.size(), QSize(150, 112));
        x_.listen_to_root();
    }

    // A mapped top-level window of the test's, as a host's preview area.
    xcb_window_t make_host(int width, int height) {
        const xcb_window_t w =
            x_.make_window(x_.root(), QRect(200, 150, width, height),
                           test::XWindowOptions().with_background(x_.screen()->white_pixel));
        hosts_.push_back(w);
        return w;
    }
    bool exists(xcb_window_t w) { return x_.geometry_of(w).isValid(); }
    // The preview's window inside the host's: its one child, 0 before it came.
    xcb_window_t child_of(xcb_window_t host) {
        const std::vector<xcb_window_t> children = x_.children_of(host);
        return children.size() == 1 ? children.front() : 0;
    }
    // What the host window shows, including our window inside it.
    QImage image_of(xcb_window_t w) {
        const QRect r = x_.geometry_of(w);
        auto* reply =
            xcb_get_image_reply(x_.connection(),
                                xcb_get_image(x_.connection(), XCB_IMAGE_FORMAT_Z_PIXMAP, w, 0, 0,
                                              static_cast<std::uint16_t>(r.width()),
                                              static_cast<std::uint16_t>(r.height()), ~0u),
                                nullptr);
        if (reply == nullptr) {
            return {};
        }
        QImage image(r.size(), QImage::Format_RGB32);
        if (xcb_get_image_data_length(reply) == r.width() * r.height() * 4) {
            std::memcpy(image.bits(), xcb_get_image_data(reply),
                        static_cast<std::size_t>(r.width() * r.height() * 4));
        }
        std::free(reply);
        return image;
    }
    // The still at the top-left corner at its own size, black everywhere else.
    bool shows_still(const QImage& shown) {
        if (shown.width() < still_.width() || shown.height() < still_.height()) {
            return false;
        }
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                const QRgb want =
                    x < still_.width() && y < still_.height() ? still_.pixel(x, y) & 0xffffffu : 0u;
                if ((shown.pixel(x, y) & 0xffffffu) != want) {
                    return false;
                }
            }
        }
        return true;
    }
    // Windows the root received as children, and those mapped on it, since
    // SetUp(), other than the hosts.
    void read_root_events(std::vector<xcb_window_t>& created, std::vector<xcb_window_t>& mapped) {
        x_.sync();
        while (xcb_generic_event_t* event = xcb_poll_for_event(x_.connection())) {
            const int type = event->response_type & 0x7f;
            if (type == XCB_CREATE_NOTIFY) {
                const auto* e = reinterpret_cast<xcb_create_notify_event_t*>(event);
                if (e->parent == x_.root() && !is_host(e->window)) {
                    created.push_back(e->window);
                }
            } else if (type == XCB_MAP_NOTIFY) {
                const auto* e = reinterpret_cast<xcb_map_notify_event_t*>(event);
                if (e->event == x_.root() && !is_host(e->window)) {
                    mapped.push_back(e->window);
                }
            }
            std::free(event);
        }
    }
    bool is_host(xcb_window_t w) const {
        return std::find(hosts_.begin(), hosts_.end(), w) != hosts_.end();
    }
    void expect_nothing_mapped_on_root() {
        std::vector<xcb_window_t> created;
        std::vector<xcb_window_t> mapped;
        read_root_events(created, mapped);
        EXPECT_TRUE(mapped.empty()) << mapped.size() << " windows of ours showed as top-level";
    }

    // Runs the preview of `id`; while it runs, calls each stage every 20 ms
    // until it returns true, then goes on to the next. A preview still
    // running after 20 s is stopped with SIGTERM and counts as a failure.
    int run_preview(std::int32_t id, std::vector<std::function<bool()>> stages) {
        std::size_t at = 0;
        QTimer driver;
        driver.setInterval(20);
        QObject::connect(&driver, &QTimer::timeout, [&] {
            if (at < stages.size() && stages[at]()) {
                ++at;
            }
        });
        bool overdue = false;
        QTimer bound;
        bound.setSingleShot(true);
        QObject::connect(&bound, &QTimer::timeout, [&overdue] {
            overdue = true;
            std::raise(SIGTERM);
        });
        driver.start();
        bound.start(20000);
        const int status = run_still_preview(id);
        EXPECT_FALSE(overdue) << "the preview did not end; stage " << at << " of " << stages.size();
        EXPECT_EQ(at, stages.size()) << "the preview ended early";
        // Whatever the preview left to delete later goes now.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return status;
    }

    test::XTestClient x_;
    QImage still_;
    std::vector<xcb_window_t> hosts_;
};

TEST_F(StillPreviewTest, ShowsTheStillCoveringTheHostFollowsItsSizeAndEndsWithIt) {
    const xcb_window_t host = make_host(152, 112);
    xcb_window_t ours = 0;
    QElapsedTimer since_destroyed;
    QString shown_as;
    const int status = run_preview(
        static_cast<std::int32_t>(host),
        {[&] {
             ours = child_of(host);
             return ours != 0 && x_.viewable(ours) && shows_still(image_of(host));
         },
         [&] {
             EXPECT_EQ(x_.geometry_of(ours), QRect(0, 0, 152, 112));
             x_.resize(host, 220, 160);
             return true;
         },
         [&] {
             return x_.geometry_of(ours) == QRect(0, 0, 220, 160) && shows_still(image_of(host));
         },
         [&] {
             x_.destroy(host);
             since_destroyed.start();
             return true;
         }});
    const qint64 ended_ms = since_destroyed.elapsed();
    EXPECT_EQ(status, 0);
    // 200 ms in an ordinary build; the sanitizers' build gets more room.
    EXPECT_LT(ended_ms, 1000);
    std::cout << "[ figure   ] the preview ended " << ended_ms
              << " ms after its host window was destroyed\n";
    expect_nothing_mapped_on_root();
}

TEST_F(StillPreviewTest, EndsWhenTheHostDestroysOurWindow) {
    const xcb_window_t host = make_host(152, 112);
    xcb_window_t ours = 0;
    const int status =
        run_preview(static_cast<std::int32_t>(host), {[&] {
                                                          ours = child_of(host);
                                                          return ours != 0 && x_.viewable(ours);
                                                      },
                                                      [&] {
                                                          x_.destroy(ours);
                                                          return true;
                                                      }});
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(exists(host));
    EXPECT_EQ(child_of(host), 0u);
    expect_nothing_mapped_on_root();
}

TEST_F(StillPreviewTest, TheHostsCloseMessageTakesThePictureBackAndEndsAtTheNextTick) {
    const xcb_window_t host = make_host(152, 112);
    xcb_window_t ours = 0;
    const int status =
        run_preview(static_cast<std::int32_t>(host),
                    {[&] {
                         ours = child_of(host);
                         return ours != 0 && x_.viewable(ours);
                     },
                     [&] {
                         xcb_client_message_event_t close{};
                         close.response_type = XCB_CLIENT_MESSAGE;
                         close.format = 32;
                         close.window = ours;
                         close.type = x_.atom("WM_PROTOCOLS");
                         close.data.data32[0] = x_.atom("WM_DELETE_WINDOW");
                         close.data.data32[1] = XCB_CURRENT_TIME;
                         xcb_send_event(x_.connection(), 0, ours, XCB_EVENT_MASK_NO_EVENT,
                                        reinterpret_cast<const char*>(&close));
                         x_.sync();
                         return true;
                     }});
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(exists(host));
    expect_nothing_mapped_on_root();
}

TEST_F(StillPreviewTest, StopSignalsEndItWithTheirStatus) {
    struct Case {
        int signal_number;
        int status;
    };
    for (const Case& c : {Case{SIGTERM, 0}, Case{SIGINT, 0}, Case{SIGHUP, 128 + SIGHUP}}) {
        const xcb_window_t host = make_host(160, 120);
        const int status = run_preview(static_cast<std::int32_t>(host),
                                       {[&] {
                                            const xcb_window_t ours = child_of(host);
                                            return ours != 0 && x_.viewable(ours);
                                        },
                                        [&c] {
                                            std::raise(c.signal_number);
                                            return true;
                                        }});
        EXPECT_EQ(status, c.status) << "signal " << c.signal_number;
        EXPECT_TRUE(exists(host));
        x_.destroy(host);
    }
    expect_nothing_mapped_on_root();
}

TEST_F(StillPreviewTest, WhatIsNoWindowEndsAtOnceWithAMessageAndNoWindowOfOurs) {
    const xcb_pixmap_t pixmap = x_.make_pixmap();
    const xcb_window_t unused = x_.unused_id();
    struct Case {
        std::int32_t id;
        QString why;
    };
    const auto hex = [](std::uint32_t id) { return QString::number(id, 16); };
    for (const Case& c : {Case{0, QStringLiteral("no window was given")},
                          Case{12345, QStringLiteral("window 0x3039 does not exist")},
                          Case{static_cast<std::int32_t>(unused),
                               QStringLiteral("window 0x%1 does not exist").arg(hex(unused))},
                          Case{-5, QStringLiteral("window 0xfffffffb does not exist")},
                          Case{static_cast<std::int32_t>(pixmap),
                               QStringLiteral("0x%1 is not a window").arg(hex(pixmap))}}) {
        const StderrCapture err;
        QElapsedTimer took;
        took.start();
        EXPECT_EQ(run_still_preview(c.id), kExitNoHostWindow);
        EXPECT_LT(took.elapsed(), 1000);
        EXPECT_EQ(err.text(),
                  QStringLiteral("wintermere: the preview's host window %1 is not a window (%2)\n")
                      .arg(c.id)
                      .arg(c.why));
    }
    std::vector<xcb_window_t> created;
    std::vector<xcb_window_t> mapped;
    read_root_events(created, mapped);
    EXPECT_TRUE(created.empty());
    EXPECT_TRUE(mapped.empty());
}

// The program itself, started with "/p N" as a host starts it.
TEST_F(StillPreviewTest, TheProgramShowsTheStillInTheHostsWindowAndEndsWhenItGoes) {
    test::ScratchHome home;
    const QString settings =
        home.system_config() + QStringLiteral("/Quillory Wintermere/settings.ini");
    QDir().mkpath(QFileInfo(settings).absolutePath());
    ASSERT_TRUE(test::write_file(settings, "[Config]\ninstall_path=/nowhere\n"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));  // the program chooses xcb itself

    const xcb_window_t host = make_host(152, 112);
    QProcess preview;
    preview.setProcessEnvironment(env);
    preview.start(QStringLiteral(WM_PROGRAM), {QStringLiteral("/p"), QString::number(host)});
    ASSERT_TRUE(preview.waitForStarted());
    QElapsedTimer waited;
    waited.start();
    while (!shows_still(image_of(host)) && waited.elapsed() < 20000 &&
           preview.state() == QProcess::Running) {
        QThread::msleep(50);
    }
    ASSERT_TRUE(shows_still(image_of(host))) << preview.readAllStandardError().toStdString();

    QElapsedTimer took;
    x_.destroy(host);
    took.start();
    ASSERT_TRUE(preview.waitForFinished(10000));
    std::cout << "[ figure ] the preview ended " << took.elapsed()
              << " ms after its host's window went\n";
    EXPECT_EQ(preview.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(preview.exitCode(), 0) << preview.readAllStandardError().toStdString();
    expect_nothing_mapped_on_root();

    // No window at all: the message, status 3, at once.
    QProcess none;
    none.setProcessEnvironment(env);
    none.start(QStringLiteral(WM_PROGRAM), {QStringLiteral("/p"), QStringLiteral("0")});
    ASSERT_TRUE(none.waitForFinished(10000));
    EXPECT_EQ(none.exitCode(), kExitNoHostWindow);
    EXPECT_EQ(
        QString::fromLocal8Bit(none.readAllStandardError()),
        QStringLiteral(
            "wintermere: the preview's host window 0 is not a window (no window was given)\n"));
}

}  // namespace
}  // namespace wm
