#include "platform/host_window.h"

#include "platform/xcb_handles.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMetaObject>
#include <QRect>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>
#include <xcb/xcbext.h>  // xcb_poll_for_reply

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace wm {
namespace {

using Connection = XcbConnection;

// The X11 error codes that say a window id names nothing (a drawable for
// requests that take pixmaps too).
constexpr std::uint8_t kBadWindow = 3;
constexpr std::uint8_t kBadDrawable = 9;

void set_problem(QString* problem, const QString& text) {
    if (problem != nullptr) {
        *problem = text;
    }
}

QString hex_id(std::uint32_t id) {
    return QStringLiteral("0x") + QString::number(id, 16);
}

// A connection to $DISPLAY, or null with the reason in *problem.
Connection connect_display(QString* problem) {
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty()) {
        set_problem(problem, QStringLiteral("no X11 display"));
        return nullptr;
    }
    Connection c(xcb_connect(nullptr, nullptr));
    if (xcb_connection_has_error(c.get()) != 0) {
        set_problem(
            problem,
            QStringLiteral("no X11 display at \"%1\"").arg(QString::fromLocal8Bit(display)));
        return nullptr;
    }
    return c;
}

// What a failed request about window `id` says, as one line.
QString failure_text(std::uint32_t id, const xcb_generic_error_t* error) {
    if (error == nullptr) {
        return QStringLiteral("the X11 connection broke while asking about window %1")
            .arg(hex_id(id));
    }
    if (error->error_code == kBadWindow || error->error_code == kBadDrawable) {
        return QStringLiteral("window %1 does not exist").arg(hex_id(id));
    }
    return QStringLiteral("window %1 could not be asked about (X11 error %2)")
        .arg(hex_id(id))
        .arg(error->error_code);
}

std::optional<HostWindowInfo> ask_about(xcb_connection_t* c, std::uint32_t id, QString* problem) {
    // All three questions go at once; their answers come in order.
    const xcb_get_geometry_cookie_t geometry_cookie = xcb_get_geometry(c, id);
    const xcb_get_window_attributes_cookie_t attributes_cookie = xcb_get_window_attributes(c, id);

    xcb_generic_error_t* raw_error = nullptr;
    XcbReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(c, geometry_cookie, &raw_error));
    XcbReply<xcb_generic_error_t> geometry_error(raw_error);
    raw_error = nullptr;
    XcbReply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, attributes_cookie, &raw_error));
    XcbReply<xcb_generic_error_t> attributes_error(raw_error);
    if (!geometry) {
        set_problem(problem, failure_text(id, geometry_error.get()));
        return std::nullopt;
    }
    if (!attributes) {
        // A pixmap has a geometry but is no window.
        if (attributes_error && attributes_error->error_code == kBadWindow) {
            set_problem(problem, QStringLiteral("%1 is not a window").arg(hex_id(id)));
        } else {
            set_problem(problem, failure_text(id, attributes_error.get()));
        }
        return std::nullopt;
    }
    if (attributes->_class == XCB_WINDOW_CLASS_INPUT_ONLY) {
        set_problem(
            problem,
            QStringLiteral("window %1 is input-only and cannot show anything").arg(hex_id(id)));
        return std::nullopt;
    }

    raw_error = nullptr;
    XcbReply<xcb_translate_coordinates_reply_t> position(xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, id, geometry->root, 0, 0), &raw_error));
    XcbReply<xcb_generic_error_t> position_error(raw_error);
    if (!position) {
        set_problem(problem, failure_text(id, position_error.get()));
        return std::nullopt;
    }
    return HostWindowInfo{QSize(geometry->width, geometry->height),
                          QPoint(position->dst_x, position->dst_y), id == geometry->root};
}

}  // namespace

std::optional<HostWindowInfo> query_host_window(std::uint32_t id, QString* problem) {
    if (id == 0) {
        set_problem(problem, QStringLiteral("0 is not a window number"));
        return std::nullopt;
    }
    const Connection c = connect_display(problem);
    if (!c) {
        return std::nullopt;
    }
    return ask_about(c.get(), id, problem);
}

// ---------------------------------------------------------------------------

struct HostWindowWatch::State {
    // A geometry question whose answer has not been read yet.
    struct Pending {
        xcb_window_t window;
        unsigned int sequence;
    };

    // Destroyed in reverse order: the timer and the notifier before the
    // connection whose descriptor the notifier watches.
    Connection connection;
    std::unique_ptr<QSocketNotifier> notifier;
    std::unique_ptr<QTimer> timer;

    xcb_window_t host = 0;
    std::vector<xcb_window_t> windows;  // the host's first
    std::vector<Pending> pending;
    std::optional<QSize> size;
    Resized on_resized;
    Gone on_gone;
    bool gone = false;

    bool watched(xcb_window_t window) const {
        return std::find(windows.begin(), windows.end(), window) != windows.end();
    }
    bool asking(xcb_window_t window) const {
        return std::any_of(pending.begin(), pending.end(),
                           [window](const Pending& p) { return p.window == window; });
    }
    void ask_geometry(xcb_window_t window) {
        pending.push_back({window, xcb_get_geometry(connection.get(), window).sequence});
    }
};

HostWindowWatch::HostWindowWatch(std::uint32_t host, Resized on_resized, Gone on_gone,
                                 std::optional<QSize> known_size, QObject* parent)
    : QObject(parent), state_(std::make_unique<State>()) {
    state_->host = host;
    state_->size = known_size;
    state_->on_resized = std::move(on_resized);
    state_->on_gone = std::move(on_gone);

    state_->connection = connect_display(nullptr);
    if (!state_->connection) {
        // Told from the event loop: the caller has no watch to look at yet.
        QMetaObject::invokeMethod(
            this, [this] { declare_gone(); }, Qt::QueuedConnection);
        return;
    }
    state_->notifier = std::make_unique<QSocketNotifier>(
        xcb_get_file_descriptor(state_->connection.get()), QSocketNotifier::Read);
    QObject::connect(state_->notifier.get(), &QSocketNotifier::activated, this,
                     [this] { service(); });
    state_->timer = std::make_unique<QTimer>();
    state_->timer->setInterval(kHostWindowPollMs);
    QObject::connect(state_->timer.get(), &QTimer::timeout, this, [this] { poll(); });
    state_->timer->start();
    watch_window(host);
}

HostWindowWatch::~HostWindowWatch() = default;

void HostWindowWatch::also_watch(std::uint32_t id) {
    if (!state_->gone && state_->connection) {
        watch_window(id);
    }
}

bool HostWindowWatch::is_gone() const {
    return state_->gone;
}

void HostWindowWatch::watch_window(std::uint32_t id) {
    xcb_connection_t* c = state_->connection.get();
    state_->windows.push_back(id);
    // A window that is already gone answers with an error event here, and
    // with an error to the geometry question.
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, id, XCB_CW_EVENT_MASK, &mask);
    state_->ask_geometry(id);
    xcb_flush(c);
}

void HostWindowWatch::service() {
    read_events();
    collect_answers();
    // Looking for answers may have read events from the connection as well.
    read_events();
}

void HostWindowWatch::poll() {
    service();
    if (state_->gone) {
        return;
    }
    // One question at a time per window: a server that is slow to answer
    // gets no pile of them.
    const std::vector<xcb_window_t> windows = state_->windows;
    for (const xcb_window_t window : windows) {
        if (!state_->asking(window)) {
            state_->ask_geometry(window);
        }
    }
    xcb_flush(state_->connection.get());
}

void HostWindowWatch::read_events() {
    xcb_connection_t* c = state_->connection.get();
    while (!state_->gone) {
        XcbReply<xcb_generic_event_t> event(xcb_poll_for_event(c));
        if (!event) {
            break;
        }
        switch (event->response_type & 0x7f) {
            case 0: {
                const auto* error = reinterpret_cast<const xcb_generic_error_t*>(event.get());
                if ((error->error_code == kBadWindow || error->error_code == kBadDrawable) &&
                    state_->watched(error->resource_id)) {
                    declare_gone();
                }
                break;
            }
            case XCB_DESTROY_NOTIFY: {
                const auto* destroyed =
                    reinterpret_cast<const xcb_destroy_notify_event_t*>(event.get());
                if (state_->watched(destroyed->window)) {
                    declare_gone();
                }
                break;
            }
            case XCB_CONFIGURE_NOTIFY: {
                const auto* configured =
                    reinterpret_cast<const xcb_configure_notify_event_t*>(event.get());
                if (configured->window == state_->host) {
                    size_seen(QSize(configured->width, configured->height));
                }
                break;
            }
            default:
                break;
        }
    }
    if (!state_->gone && xcb_connection_has_error(c) != 0) {
        declare_gone();
    }
}

void HostWindowWatch::collect_answers() {
    struct Answer {
        xcb_window_t window;
        std::optional<QSize> size;  // nullopt: the window is gone
    };
    std::vector<Answer> answers;
    xcb_connection_t* c = state_->connection.get();
    for (auto it = state_->pending.begin(); it != state_->pending.end();) {
        void* reply = nullptr;
        xcb_generic_error_t* raw_error = nullptr;
        if (xcb_poll_for_reply(c, it->sequence, &reply, &raw_error) == 0) {
            ++it;  // not answered yet
            continue;
        }
        XcbReply<xcb_get_geometry_reply_t> geometry(static_cast<xcb_get_geometry_reply_t*>(reply));
        XcbReply<xcb_generic_error_t> error(raw_error);
        if (geometry) {
            answers.push_back({it->window, QSize(geometry->width, geometry->height)});
        } else if (!error || error->error_code == kBadWindow || error->error_code == kBadDrawable) {
            // No answer at all: the connection broke.
            answers.push_back({it->window, std::nullopt});
        }
        it = state_->pending.erase(it);
    }
    // The callbacks run after the list is settled: they may add windows.
    for (const Answer& answer : answers) {
        if (state_->gone) {
            return;
        }
        if (!answer.size) {
            declare_gone();
        } else if (answer.window == state_->host) {
            size_seen(*answer.size);
        }
    }
}

void HostWindowWatch::size_seen(QSize size) {
    const bool first = !state_->size;
    if (!first && *state_->size == size) {
        return;
    }
    state_->size = size;
    if (!first && state_->on_resized) {
        state_->on_resized(size);
    }
}

void HostWindowWatch::declare_gone() {
    if (state_->gone) {
        return;
    }
    state_->gone = true;
    if (state_->timer) {
        state_->timer->stop();
    }
    if (state_->notifier) {
        state_->notifier->setEnabled(false);
    }
    if (state_->on_gone) {
        state_->on_gone();
    }
}

// ---------------------------------------------------------------------------

bool embed_in_host_window(QWidget& widget, std::uint32_t host, QString* problem) {
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("xcb")) {
        set_problem(problem,
                    QStringLiteral("showing inside another program's window needs Qt's xcb "
                                   "platform (this one is \"%1\")")
                        .arg(platform));
        return false;
    }
    if (!widget.isWindow()) {
        set_problem(problem, QStringLiteral("only a window of its own can go into another "
                                            "program's window"));
        return false;
    }
    if (widget.isVisible()) {
        set_problem(problem, QStringLiteral("a window already shown cannot go into another "
                                            "program's window"));
        return false;
    }
    const std::optional<HostWindowInfo> found = query_host_window(host, problem);
    if (!found) {
        return false;
    }

    // The native window is made now, unmapped, as a child of the root
    // window; it is moved into the host's before anything maps it.
    widget.setAttribute(Qt::WA_NativeWindow);
    widget.winId();
    QWindow* own = widget.windowHandle();
    QWindow* foreign = QWindow::fromWinId(static_cast<WId>(host));
    if (own == nullptr || foreign == nullptr) {
        delete foreign;
        set_problem(
            problem,
            QStringLiteral("no native window could be made for window %1").arg(hex_id(host)));
        return false;
    }
    // The window standing for the host becomes the QObject parent of ours,
    // which its destructor would delete: it goes only after ours has gone,
    // and at the latest with the application.
    foreign->QObject::setParent(QCoreApplication::instance());
    QObject::connect(own, &QObject::destroyed, foreign, &QObject::deleteLater);
    own->setParent(foreign);
    // Asked on Qt's own connection, the answer comes after the move is done:
    // a host that went meanwhile, or that the server refused to take our
    // window into, leaves ours outside, and it must not be shown then.
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* qt = x11 != nullptr ? x11->connection() : nullptr;
    if (qt == nullptr) {
        set_problem(problem, QStringLiteral("Qt's X11 connection is not available"));
        return false;
    }
    XcbReply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(
        qt, xcb_query_tree(qt, static_cast<xcb_window_t>(widget.winId())), nullptr));
    if (own->parent() != foreign || !tree || tree->parent != host) {
        set_problem(problem,
                    QStringLiteral("our window could not go into window %1").arg(hex_id(host)));
        return false;
    }
    cover_host_window(widget, found->size);
    return true;
}

void cover_host_window(QWidget& widget, QSize device_size) {
    const QWindow* own = widget.windowHandle();
    const qreal ratio = own != nullptr ? own->devicePixelRatio() : widget.devicePixelRatioF();
    const auto logical = [ratio](int pixels) {
        return static_cast<int>(std::ceil(pixels / (ratio > 0.0 ? ratio : 1.0)));
    };
    widget.setGeometry(QRect(0, 0, logical(device_size.width()), logical(device_size.height())));
}

}  // namespace wm
