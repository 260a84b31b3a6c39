#pragma once
// The X11 window another program hands us to draw in.
//
// Screen-saver hosts on Linux start a saver with the number of an X11 window
// of theirs: the small preview area of a settings dialog, or the full-screen
// window on one monitor. These helpers tell whether that window exists and
// how big it is, put one of our widgets inside it, and watch it for resizes
// and for its end.
//
// The query and the watch each use an X11 connection of their own to
// $DISPLAY, so that nothing here waits on Qt's connection or disturbs the
// host: event masks are kept per client, and selecting events on the host's
// window from our connection changes nothing for the host.

#include <QObject>
#include <QPoint>
#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace wm {

// Exit status of a mode that runs in a host's window when that window is 0
// or not a window, or went away before ours showed in it. A one-line message
// naming the window goes to standard error, and no window of ours is shown.
inline constexpr int kExitNoHostWindow = 3;

struct HostWindowInfo {
    QSize size;            // in device pixels
    QPoint root_position;  // its top-left corner on the root window: which monitor it is on
    bool is_root = false;  // the screen's root window itself
};

// The window `id` as it is now. Nullopt, with a one-line reason in *problem
// (when given), for id 0, when there is no X11 display, when `id` names no
// window ("window 0x… does not exist"), and for a window that cannot show
// anything (an input-only one). The root window counts as a window.
std::optional<HostWindowInfo> query_host_window(std::uint32_t id, QString* problem);

// How often a HostWindowWatch asks after its windows, besides the events.
inline constexpr int kHostWindowPollMs = 100;

// Watches a host's window, and any windows added with also_watch(), from the
// event loop. It learns of changes from the events it selects
// (StructureNotify: resizes, destruction) and, as a safety net, asks for
// every window's geometry every kHostWindowPollMs; an answer that has not
// come yet is waited for at the next tick, so the watch never blocks.
//
// `on_resized` gets the host window's size in device pixels each time it
// differs from the last size known (`known_size`, or else the first one the
// watch sees). `on_gone` is called once, when any watched window is
// destroyed or found not to exist, or when the connection to the display
// breaks (also when it cannot be made at all; then from the event loop,
// after the constructor); nothing is reported after it. The callbacks must
// not destroy the watch.
class HostWindowWatch : public QObject {
  public:
    using Resized = std::function<void(QSize device_size)>;
    using Gone = std::function<void()>;

    HostWindowWatch(std::uint32_t host, Resized on_resized, Gone on_gone,
                    std::optional<QSize> known_size = std::nullopt, QObject* parent = nullptr);
    ~HostWindowWatch() override;
    HostWindowWatch(const HostWindowWatch&) = delete;
    HostWindowWatch& operator=(const HostWindowWatch&) = delete;

    // Adds a window whose destruction also counts as the end (our own window
    // inside the host's, which the host may destroy by itself).
    void also_watch(std::uint32_t id);

    // True once `on_gone` has been called.
    bool is_gone() const;

  private:
    struct State;

    void watch_window(std::uint32_t id);
    void service();
    void poll();
    void read_events();
    void collect_answers();
    void size_seen(QSize size);
    void declare_gone();

    std::unique_ptr<State> state_;
};

// Makes `widget`'s native window a child of the host window, at its top-left
// corner and covering it. The widget must be a window of its own that has
// not been shown: its native window is made here, unmapped, and moved into
// the host's window before anything can show it, so that it never appears
// as a top-level window; the move is checked with the server before this
// returns. The caller shows it afterwards. Works on Qt's xcb platform only;
// false, with a one-line reason in *problem (when given), elsewhere, when
// the host window is not a window (see query_host_window()) and when the
// move failed (the host went meanwhile): a widget that did not go in must
// not be shown. The window that stands for the host goes when the widget's
// native window goes.
bool embed_in_host_window(QWidget& widget, std::uint32_t host, QString* problem);

// Resizes an embedded widget to cover a host window of `device_size` device
// pixels: that size in Qt's logical pixels (device pixels divided by the
// window's device pixel ratio, rounded up), at the host's top-left corner.
void cover_host_window(QWidget& widget, QSize device_size);

}  // namespace wm
