#include "platform/x11_shm_surface.h"

#include "platform/xcb_handles.h"

#include <QtGui/qguiapplication_platform.h>
#include <QGuiApplication>
#include <QSysInfo>

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <sys/mman.h>
#include <unistd.h>

#include <limits>
#include <optional>

namespace wm {
namespace {

// X11 coordinates and sizes are 16-bit; a raster is kept within them and
// within a size any screen needs (2^27 pixels, 512 MiB).
constexpr int kMaxSide = std::numeric_limits<std::int16_t>::max();
constexpr std::int64_t kMaxPixels = std::int64_t{1} << 27;

// Memory shared with the server: a memory file mapped here, unmapped when
// its last holder (the surface or a raster handed out) lets go.
struct Mapping {
    uchar* data = nullptr;
    std::size_t bytes = 0;
    Mapping() = default;
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    ~Mapping() {
        if (data != nullptr) {
            munmap(data, bytes);
        }
    }
};

void release_mapping(void* holder) {
    delete static_cast<std::shared_ptr<Mapping>*>(holder);
}

bool fail(QString* why, const QString& reason) {
    if (why != nullptr) {
        *why = reason;
    }
    return false;
}

// Qt's connection to the display, where it is on X11.
xcb_connection_t* qt_connection() {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    return x11 != nullptr ? x11->connection() : nullptr;
}

QString window_name(std::uint32_t window) {
    return QStringLiteral("X11 window 0x%1").arg(window, 0, 16);
}

// The window's pixels are 32-bit RGB in the host's byte order, as a
// QImage::Format_RGB32 raster holds them.
bool pixels_are_rgb32(xcb_connection_t* c, std::uint32_t window, std::uint8_t depth,
                      xcb_visualid_t visual, QString* why) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    const std::uint8_t host_order = QSysInfo::ByteOrder == QSysInfo::LittleEndian
                                        ? XCB_IMAGE_ORDER_LSB_FIRST
                                        : XCB_IMAGE_ORDER_MSB_FIRST;
    if (setup->image_byte_order != host_order) {
        return fail(why, QStringLiteral("the display keeps pixels in the other byte order"));
    }
    int bits_per_pixel = 0;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem > 0; xcb_format_next(&f)) {
        if (f.data->depth == depth) {
            bits_per_pixel = f.data->bits_per_pixel;
        }
    }
    const xcb_visualtype_t* type = nullptr;
    for (auto s = xcb_setup_roots_iterator(setup); s.rem > 0 && type == nullptr;
         xcb_screen_next(&s)) {
        for (auto d = xcb_screen_allowed_depths_iterator(s.data); d.rem > 0 && type == nullptr;
             xcb_depth_next(&d)) {
            for (auto v = xcb_depth_visuals_iterator(d.data); v.rem > 0; xcb_visualtype_next(&v)) {
                if (v.data->visual_id == visual) {
                    type = v.data;
                    break;
                }
            }
        }
    }
    const bool rgb32 = (depth == 24 || depth == 32) && bits_per_pixel == 32 && type != nullptr &&
                       type->_class == XCB_VISUAL_CLASS_TRUE_COLOR && type->red_mask == 0xff0000 &&
                       type->green_mask == 0xff00 && type->blue_mask == 0xff;
    if (!rgb32) {
        return fail(why,
                    window_name(window) +
                        QStringLiteral(" does not keep 32-bit RGB pixels (depth %1)").arg(depth));
    }
    return true;
}

}  // namespace

struct X11ShmSurface::Segment {
    std::shared_ptr<Mapping> memory;
    xcb_shm_seg_t id = 0;
    QSize size;  // of the raster handed out last
};

struct X11ShmSurface::Shared {
    xcb_connection_t* connection = nullptr;
    xcb_window_t window = 0;
    xcb_gcontext_t gc = 0;
    std::uint8_t depth = 0;
    Segment segment;
    // The reply that marks the server's reading of the last put.
    std::optional<xcb_get_input_focus_cookie_t> marker;

    // A new segment of `bytes`, attached to the server; none when the
    // memory or the server refuses.
    std::optional<Segment> attach(std::size_t bytes) const;
    void detach(const Segment& old) const;
};

std::optional<X11ShmSurface::Segment> X11ShmSurface::Shared::attach(std::size_t bytes) const {
    const int fd = memfd_create("wintermere-pixels", MFD_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    auto memory = std::make_shared<Mapping>();
    if (ftruncate(fd, static_cast<off_t>(bytes)) != 0) {
        close(fd);
        return std::nullopt;
    }
    void* data = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (data == MAP_FAILED) {
        close(fd);
        return std::nullopt;
    }
    memory->data = static_cast<uchar*>(data);
    memory->bytes = bytes;
    Segment fresh;
    fresh.id = xcb_generate_id(connection);
    // libxcb closes the descriptor once it has passed it on.
    const xcb_void_cookie_t cookie = xcb_shm_attach_fd_checked(connection, fresh.id, fd, 1);
    if (XcbReply<xcb_generic_error_t> error(xcb_request_check(connection, cookie)); error) {
        return std::nullopt;
    }
    fresh.memory = std::move(memory);
    return fresh;
}

void X11ShmSurface::Shared::detach(const Segment& old) const {
    if (old.memory != nullptr) {
        xcb_shm_detach(connection, old.id);
    }
}

bool X11ShmSurface::display_allows(QString* why) {
    xcb_connection_t* c = qt_connection();
    if (c == nullptr) {
        return fail(why, QStringLiteral("the application is not on an X11 display"));
    }
    if (qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        return fail(
            why, QStringLiteral("shared memory with the display is turned off (QT_XCB_NO_MITSHM)"));
    }
    // Qt asked for the extension as it connected: the answer is at hand.
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_shm_id);
    if (extension == nullptr || extension->present == 0) {
        return fail(why, QStringLiteral("the display has no MIT-SHM"));
    }
    return true;
}

std::unique_ptr<X11ShmSurface> X11ShmSurface::open(std::uint32_t window, QString* why) {
    if (!display_allows(why)) {
        return nullptr;
    }
    xcb_connection_t* c = qt_connection();
    // The three questions go out together: one round trip.
    const xcb_shm_query_version_cookie_t version_asked = xcb_shm_query_version(c);
    const xcb_get_window_attributes_cookie_t attributes_asked =
        xcb_get_window_attributes(c, window);
    const xcb_get_geometry_cookie_t geometry_asked = xcb_get_geometry(c, window);
    const XcbReply<xcb_shm_query_version_reply_t> version(
        xcb_shm_query_version_reply(c, version_asked, nullptr));
    const XcbReply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, attributes_asked, nullptr));
    const XcbReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(c, geometry_asked, nullptr));
    if (version == nullptr || version->major_version < 1 ||
        (version->major_version == 1 && version->minor_version < 2)) {
        fail(why, QStringLiteral("the display's MIT-SHM cannot take memory files (before 1.2)"));
        return nullptr;
    }
    if (attributes == nullptr || geometry == nullptr) {
        fail(why, window_name(window) + QStringLiteral(" does not exist"));
        return nullptr;
    }
    if (attributes->_class != XCB_WINDOW_CLASS_INPUT_OUTPUT) {
        fail(why, window_name(window) + QStringLiteral(" shows no pixels"));
        return nullptr;
    }
    if (!pixels_are_rgb32(c, window, geometry->depth, attributes->visual, why)) {
        return nullptr;
    }
    auto shared = std::make_unique<Shared>();
    shared->connection = c;
    shared->window = window;
    shared->depth = geometry->depth;
    shared->gc = xcb_generate_id(c);
    // Puts that fall on hidden parts of the window are simply lost: the
    // window's owner repaints those when they are exposed.
    const std::uint32_t no_exposures[] = {0};
    xcb_create_gc(c, shared->gc, window, XCB_GC_GRAPHICS_EXPOSURES, no_exposures);
    return std::unique_ptr<X11ShmSurface>(new X11ShmSurface(std::move(shared)));
}

X11ShmSurface::X11ShmSurface(std::unique_ptr<Shared> shared) : shared_(std::move(shared)) {}

X11ShmSurface::~X11ShmSurface() {
    // The connection goes with the application; without one there is
    // nothing left to tell the server.
    if (qGuiApp == nullptr) {
        return;
    }
    xcb_connection_t* c = shared_->connection;
    if (shared_->marker) {
        xcb_discard_reply(c, shared_->marker->sequence);
    }
    shared_->detach(shared_->segment);
    xcb_free_gc(c, shared_->gc);
    xcb_flush(c);
}

QImage X11ShmSurface::raster(QSize size) {
    if (size.isEmpty() || size.width() > kMaxSide || size.height() > kMaxSide ||
        std::int64_t{size.width()} * size.height() > kMaxPixels) {
        return {};
    }
    const std::size_t bytes = std::size_t{4} * static_cast<std::size_t>(size.width()) *
                              static_cast<std::size_t>(size.height());
    // The server has read the memory before it is handed out again.
    settle();
    Segment& current = shared_->segment;
    // Memory no raster uses any more is used again; memory a raster still
    // uses stays that raster's.
    const bool reusable = current.memory != nullptr && current.memory.use_count() == 1 &&
                          current.memory->bytes >= bytes;
    if (!reusable) {
        std::optional<Segment> fresh = shared_->attach(bytes);
        if (!fresh) {
            return {};
        }
        shared_->detach(current);
        current = std::move(*fresh);
    }
    current.size = size;
    return QImage(current.memory->data, size.width(), size.height(), 4 * size.width(),
                  QImage::Format_RGB32, release_mapping,
                  new std::shared_ptr<Mapping>(current.memory));
}

bool X11ShmSurface::holds(const QImage& image) const {
    const Segment& current = shared_->segment;
    return current.memory != nullptr && image.constBits() == current.memory->data &&
           image.size() == current.size && image.format() == QImage::Format_RGB32 &&
           image.bytesPerLine() == 4 * current.size.width();
}

bool X11ShmSurface::put(const QImage& image, const QRegion& area, QPoint to) {
    if (!holds(image)) {
        return false;
    }
    settle();
    xcb_connection_t* c = shared_->connection;
    const QRect window_range(
        QPoint(std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::min()),
        QPoint(kMaxSide, kMaxSide));
    bool sent = false;
    for (const QRect& rect : area) {
        const QRect source = rect & image.rect() & window_range.translated(-to);
        if (source.isEmpty()) {
            continue;
        }
        const QPoint target = source.topLeft() + to;
        xcb_shm_put_image(
            c, shared_->window, shared_->gc, static_cast<std::uint16_t>(image.width()),
            static_cast<std::uint16_t>(image.height()), static_cast<std::uint16_t>(source.x()),
            static_cast<std::uint16_t>(source.y()), static_cast<std::uint16_t>(source.width()),
            static_cast<std::uint16_t>(source.height()), static_cast<std::int16_t>(target.x()),
            static_cast<std::int16_t>(target.y()), shared_->depth, XCB_IMAGE_FORMAT_Z_PIXMAP, 0,
            shared_->segment.id, 0);
        sent = true;
    }
    if (sent) {
        shared_->marker = xcb_get_input_focus(c);
        xcb_flush(c);
    }
    return true;
}

void X11ShmSurface::settle() {
    if (shared_->marker) {
        const XcbReply<xcb_get_input_focus_reply_t> reply(
            xcb_get_input_focus_reply(shared_->connection, *shared_->marker, nullptr));
        shared_->marker.reset();
    }
}

std::uint32_t X11ShmSurface::window() const {
    return shared_->window;
}

}  // namespace wm
