#include "platform/x11_windows.h"

#include "platform/xcb_handles.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace wm {
namespace {

xcb_atom_t intern(xcb_connection_t* c, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(c, 1, static_cast<std::uint16_t>(std::strlen(name)), name);
    XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookie, nullptr));
    if (!reply) {
        return XCB_ATOM_NONE;
    }
    return reply->atom;
}

std::vector<xcb_window_t> children_of(xcb_connection_t* c, xcb_window_t window) {
    XcbReply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
    if (!tree) {
        return {};
    }
    const xcb_window_t* first = xcb_query_tree_children(tree.get());
    return std::vector<xcb_window_t>(first, first + xcb_query_tree_children_length(tree.get()));
}

// The titles a window carries: the UTF-8 _NET_WM_NAME and the classic WM_NAME.
bool has_title(xcb_connection_t* c, xcb_window_t window, xcb_atom_t net_wm_name,
               xcb_atom_t utf8_string, const QByteArray& utf8, const QByteArray& latin1) {
    const xcb_get_property_cookie_t net =
        xcb_get_property(c, 0, window, net_wm_name, utf8_string, 0, 1024);
    const xcb_get_property_cookie_t classic =
        xcb_get_property(c, 0, window, XCB_ATOM_WM_NAME, XCB_ATOM_ANY, 0, 1024);
    bool found = false;
    for (auto [cookie, wanted] : {std::pair{net, &utf8}, std::pair{classic, &latin1}}) {
        XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(c, cookie, nullptr));
        if (!reply || reply->format != 8) {
            continue;
        }
        const auto length = xcb_get_property_value_length(reply.get());
        const char* value = static_cast<const char*>(xcb_get_property_value(reply.get()));
        found = found || QByteArray(value, length) == *wanted;
    }
    return found;
}

}  // namespace

bool saver_window_exists(const QString& title) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        return false;
    }
    XcbConnection connection(xcb_connect(nullptr, nullptr));
    xcb_connection_t* c = connection.get();
    if (xcb_connection_has_error(c) != 0) {
        return false;
    }
    const xcb_atom_t net_wm_name = intern(c, "_NET_WM_NAME");
    const xcb_atom_t utf8_string = intern(c, "UTF8_STRING");
    const QByteArray utf8 = title.toUtf8();
    const QByteArray latin1 = title.toLatin1();

    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (; screens.rem > 0; xcb_screen_next(&screens)) {
        for (xcb_window_t top : children_of(c, screens.data->root)) {
            if (has_title(c, top, net_wm_name, utf8_string, utf8, latin1)) {
                return true;
            }
            // A window manager puts each client window inside a frame of its own.
            for (xcb_window_t client : children_of(c, top)) {
                if (has_title(c, client, net_wm_name, utf8_string, utf8, latin1)) {
                    return true;
                }
            }
        }
    }
    return false;
}

}  // namespace wm

namespace wm {

bool x11_display_reachable() {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        return false;
    }
    XcbConnection connection(xcb_connect(nullptr, nullptr));
    return xcb_connection_has_error(connection.get()) == 0;
}

bool x11_connection_broken() {
    const auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (gui == nullptr) {
        return false;
    }
    const auto* x11 = gui->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    return connection != nullptr && xcb_connection_has_error(connection) != 0;
}

}  // namespace wm
