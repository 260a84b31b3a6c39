#include "tests/support/x_test_client.h"

#include <QtGlobal>

#include <cstring>

namespace wm::test {

XTestClient::XTestClient() {
    connect(nullptr);
}

XTestClient::XTestClient(const QString& display_name) {
    if (!display_name.isEmpty()) {
        connect(display_name.toLocal8Bit().constData());
    }
}

void XTestClient::connect(const char* display_name) {
    int screen_number = 0;
    connection_.reset(xcb_connect(display_name, &screen_number));
    if (xcb_connection_has_error(connection_.get()) != 0) {
        return;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_.get()));
    for (int i = 0; i < screen_number && screens.rem > 0; ++i) {
        xcb_screen_next(&screens);
    }
    if (screens.rem > 0) {
        screen_ = screens.data;
    }
}

bool XTestClient::ok() const {
    return screen_ != nullptr && xcb_connection_has_error(connection_.get()) == 0;
}

void XTestClient::sync() {
    if (ok()) {
        const XcbReply<xcb_get_input_focus_reply_t> reply(
            xcb_get_input_focus_reply(connection(), xcb_get_input_focus(connection()), nullptr));
    }
}

xcb_window_t XTestClient::make_window(xcb_window_t parent, const QRect& geometry,
                                      const XWindowOptions& options) {
    if (!ok()) {
        return 0;
    }
    xcb_connection_t* c = connection();
    const xcb_window_t window = xcb_generate_id(c);
    const std::uint32_t background = options.background.value_or(0);
    const std::uint32_t value_mask = options.background ? std::uint32_t{XCB_CW_BACK_PIXEL} : 0;
    xcb_create_window(
        c, XCB_COPY_FROM_PARENT, window, parent, static_cast<std::int16_t>(geometry.x()),
        static_cast<std::int16_t>(geometry.y()), static_cast<std::uint16_t>(geometry.width()),
        static_cast<std::uint16_t>(geometry.height()), 0, options.window_class,
        screen_->root_visual, value_mask, options.background ? &background : nullptr);
    if (options.map) {
        xcb_map_window(c, window);
    }
    sync();
    return window;
}

void XTestClient::resize(xcb_window_t window, int width, int height) {
    if (!ok()) {
        return;
    }
    const std::uint32_t size[] = {static_cast<std::uint32_t>(width),
                                  static_cast<std::uint32_t>(height)};
    xcb_configure_window(connection(), window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         size);
    sync();
}

void XTestClient::move_pointer(int x, int y) {
    if (!ok()) {
        return;
    }
    xcb_warp_pointer(connection(), XCB_NONE, root(), 0, 0, 0, 0, static_cast<std::int16_t>(x),
                     static_cast<std::int16_t>(y));
    sync();
}

void XTestClient::move(xcb_window_t window, int x, int y) {
    if (!ok()) {
        return;
    }
    const std::uint32_t at[] = {static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y)};
    xcb_configure_window(connection(), window, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, at);
    sync();
}

void XTestClient::destroy(xcb_window_t window) {
    if (!ok()) {
        return;
    }
    xcb_destroy_window(connection(), window);
    sync();
}

void XTestClient::set_text(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                           const QByteArray& text) {
    if (!ok()) {
        return;
    }
    xcb_change_property(connection(), XCB_PROP_MODE_REPLACE, window, property, type, 8,
                        static_cast<std::uint32_t>(text.size()), text.constData());
    sync();
}

xcb_pixmap_t XTestClient::make_pixmap() {
    if (!ok()) {
        return 0;
    }
    const xcb_pixmap_t pixmap = xcb_generate_id(connection());
    xcb_create_pixmap(connection(), screen_->root_depth, pixmap, screen_->root, 16, 16);
    sync();
    return pixmap;
}

std::uint32_t XTestClient::unused_id() {
    return ok() ? xcb_generate_id(connection()) : 0;
}

xcb_atom_t XTestClient::atom(const char* name) {
    if (!ok()) {
        return XCB_ATOM_NONE;
    }
    const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection(),
        xcb_intern_atom(connection(), 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

void XTestClient::listen_to_root() {
    if (!ok()) {
        return;
    }
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection(), screen_->root, XCB_CW_EVENT_MASK, &mask);
    sync();
}

QRect XTestClient::geometry_of(xcb_window_t window) {
    if (!ok()) {
        return {};
    }
    const XcbReply<xcb_get_geometry_reply_t> g(
        xcb_get_geometry_reply(connection(), xcb_get_geometry(connection(), window), nullptr));
    return g ? QRect(g->x, g->y, g->width, g->height) : QRect();
}

xcb_window_t XTestClient::parent_of(xcb_window_t window) {
    if (!ok()) {
        return 0;
    }
    const XcbReply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection(), xcb_query_tree(connection(), window), nullptr));
    return tree ? tree->parent : 0;
}

std::vector<xcb_window_t> XTestClient::children_of(xcb_window_t window) {
    if (!ok()) {
        return {};
    }
    const XcbReply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection(), xcb_query_tree(connection(), window), nullptr));
    if (!tree) {
        return {};
    }
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    return std::vector<xcb_window_t>(children,
                                     children + xcb_query_tree_children_length(tree.get()));
}

bool XTestClient::viewable(xcb_window_t window) {
    if (!ok()) {
        return false;
    }
    const XcbReply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        connection(), xcb_get_window_attributes(connection(), window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

QImage XTestClient::pixels_of(xcb_window_t window) {
    const QRect area = geometry_of(window);
    if (area.isEmpty()) {
        return {};
    }
    const XcbReply<xcb_get_image_reply_t> image(
        xcb_get_image_reply(connection(),
                            xcb_get_image(connection(), XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                          static_cast<std::uint16_t>(area.width()),
                                          static_cast<std::uint16_t>(area.height()), ~0u),
                            nullptr));
    const auto bytes = static_cast<qsizetype>(area.width()) * area.height() * 4;
    if (!image || image->depth != 24 || xcb_get_image_data_length(image.get()) < bytes) {
        return {};
    }
    QImage picture(area.size(), QImage::Format_RGB32);
    for (int y = 0; y < area.height(); ++y) {
        std::memcpy(picture.scanLine(y), xcb_get_image_data(image.get()) + y * area.width() * 4,
                    static_cast<std::size_t>(area.width()) * 4);
    }
    // The byte above the colours is whatever the server keeps there.
    for (int y = 0; y < area.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < area.width(); ++x) {
            row[x] |= 0xff000000u;
        }
    }
    return picture;
}

void XDisplayTest::SetUp() {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        GTEST_SKIP() << "needs an X display";
    }
    ASSERT_TRUE(x_.ok()) << "no connection to the X display";
}

}  // namespace wm::test
