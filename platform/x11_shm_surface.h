#pragma once
// X11ShmSurface: pixels that an X11 window is given straight from memory it
// shares with the X server (MIT-SHM), instead of through a toolkit's
// painting. A frame that changes a few small rectangles then costs the
// server one request a rectangle, reading the pixels where they lie, and
// costs this program no copy and no wait for the server.
//
// The surface hands out a raster (QImage::Format_RGB32) that lives in the
// shared memory; whoever draws there puts rectangles of it onto the window.
// The memory stays valid as long as any QImage uses it, even after the
// surface has gone; only the server's view of it ends with the surface. A
// raster that has been copied on writing (a QImage detaches when another
// one shares its pixels) no longer lies in the shared memory: holds() says
// so, and such an image is not put.
//
// Each put is followed by a request whose reply marks the point where the
// server has read it; the next put first takes that reply, so the server
// is never more than one put behind and the program never waits for a
// round trip that has not long since come back.
//
// Only windows whose pixels are 32-bit RGB (depth 24 or 32, 8 bits a
// colour, the host's byte order) on a server with MIT-SHM 1.2 (memory passed
// as a file descriptor) qualify; open() says why another does not, and the
// caller shows the window as it otherwise would. QT_XCB_NO_MITSHM, Qt's own
// switch for shared memory, turns the surface off as well.

#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QSize>
#include <QString>

#include <cstdint>
#include <memory>

namespace wm {

class X11ShmSurface {
  public:
    // A surface for the X11 window `window` on the application's own
    // connection to the display (Qt on xcb); null, with the reason in
    // `why`, when there is none or the window or server does not qualify.
    static std::unique_ptr<X11ShmSurface> open(std::uint32_t window, QString* why = nullptr);

    // False, with the reason in `why`, when no window of the application's
    // display can have a surface: the application is not on X11, or the
    // display shares no memory (open() asks the rest of the server and the
    // window). Asks the server nothing.
    static bool display_allows(QString* why = nullptr);

    ~X11ShmSurface();
    X11ShmSurface(const X11ShmSurface&) = delete;
    X11ShmSurface& operator=(const X11ShmSurface&) = delete;

    // A raster of `size` (pixels undefined) in memory the server shares,
    // to draw in and put; a null image when the size is empty or too large
    // or the memory is refused. A raster from an earlier call that is no
    // longer used is replaced; one still in use keeps its memory.
    QImage raster(QSize size);

    // True when `image`'s pixels are those of the surface's current raster.
    bool holds(const QImage& image) const;

    // Puts the rectangles of `area` (pixels of `image`, cut to it) onto the
    // window with their top-left corner at `to` in the window. False, and
    // nothing put, when `image` is not the surface's raster.
    bool put(const QImage& image, const QRegion& area, QPoint to);

    // Returns once the server has read everything put so far.
    void settle();

    // The window the surface puts on.
    std::uint32_t window() const;

  private:
    struct Shared;
    struct Segment;
    explicit X11ShmSurface(std::unique_ptr<Shared> shared);

    std::unique_ptr<Shared> shared_;
};

}  // namespace wm
