#pragma once
// A client of an X display of the tests' own, acting as another program
// does: it makes, resizes, moves and destroys windows and asks the server
// about them, on a connection of its own, apart from Qt's.
//
// Every request that changes something is followed by a round trip, so
// that once a call returns the server has carried it out and its events
// have reached this connection.

#include "platform/xcb_handles.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>

#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace wm::test {

// How make_window() makes a window: XWindowOptions() for a mapped
// input-output window without a background, or changed step by step, as in
// XWindowOptions().unmapped().with_background(pixel).
struct XWindowOptions {
    // Made but not mapped (shown).
    XWindowOptions& unmapped() {
        map = false;
        return *this;
    }
    // A window that takes input and shows nothing (and so can have no
    // background).
    XWindowOptions& input_only() {
        window_class = XCB_WINDOW_CLASS_INPUT_ONLY;
        return *this;
    }
    // A solid background of this pixel value, instead of none (where the
    // parent shows through until something draws).
    XWindowOptions& with_background(std::uint32_t pixel) {
        background = pixel;
        return *this;
    }

    bool map = true;
    std::uint16_t window_class = XCB_WINDOW_CLASS_INPUT_OUTPUT;
    std::optional<std::uint32_t> background;
};

class XTestClient {
  public:
    // On the display that $DISPLAY names.
    XTestClient();
    // On the display `display_name` (":N") names; an empty name gives no
    // connection, never the one of $DISPLAY.
    explicit XTestClient(const QString& display_name);
    XTestClient(const XTestClient&) = delete;
    XTestClient& operator=(const XTestClient&) = delete;

    // Connected, with the screen the display name asks for, and no error on
    // the connection since. When false, every question below has an empty
    // answer (0, an empty rectangle or list, false) and requests do nothing.
    bool ok() const;
    xcb_connection_t* connection() const { return connection_.get(); }
    const xcb_screen_t* screen() const { return screen_; }
    xcb_window_t root() const { return screen_ != nullptr ? screen_->root : 0; }

    // A round trip: the server has carried out every request sent so far.
    void sync();

    // A window of `geometry` (relative to `parent`), without a border, of
    // the root's visual.
    xcb_window_t make_window(xcb_window_t parent, const QRect& geometry,
                             const XWindowOptions& options = {});
    void resize(xcb_window_t window, int width, int height);
    void move(xcb_window_t window, int x, int y);
    void destroy(xcb_window_t window);
    // Moves the pointer to (x, y) on the root window, as the user's mouse
    // would, with the motion events that go with it.
    void move_pointer(int x, int y);
    // Sets a text property (8-bit items) of `window`: a title, say, as
    // WM_NAME of type STRING or _NET_WM_NAME of type UTF8_STRING.
    void set_text(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                  const QByteArray& text);
    // A pixmap of 16 x 16 pixels: an id of a drawable that is no window.
    xcb_pixmap_t make_pixmap();
    // An id of this client's that names nothing (yet).
    std::uint32_t unused_id();
    // The atom of `name`, made when there is none yet; XCB_ATOM_NONE when
    // the server does not answer.
    xcb_atom_t atom(const char* name);
    // From now on, the root's SubstructureNotify events (its children made,
    // mapped, configured, destroyed) reach this connection.
    void listen_to_root();

    // Position in its parent and size; an empty rectangle when `window` is
    // no window (any more).
    QRect geometry_of(xcb_window_t window);
    // 0 when `window` is the root or no window.
    xcb_window_t parent_of(xcb_window_t window);
    // The children of `window`, lowest first; none when it is no window.
    std::vector<xcb_window_t> children_of(xcb_window_t window);
    // Mapped, and so are all its ancestors.
    bool viewable(xcb_window_t window);
    // What the window shows (of a depth of 24 bits, 32 a pixel, as on the
    // tests' displays), as an RGB32 picture of its size; a null picture
    // when it is no such window.
    QImage pixels_of(xcb_window_t window);

  private:
    void connect(const char* display_name);

    XcbConnection connection_;
    const xcb_screen_t* screen_ = nullptr;
};

// A case on an X display of the tests' own: skipped where $DISPLAY names
// none, failed where it cannot be reached; `x_` is a client of it.
class XDisplayTest : public ::testing::Test {
  protected:
    void SetUp() override;

    XTestClient x_;
};

}  // namespace wm::test
