#pragma once
// Owners for what libxcb hands out: replies (freed with free()) and
// connections (closed with xcb_disconnect()).

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace wm {

struct XcbFree {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, XcbFree>;

struct XcbDisconnect {
    void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
};
using XcbConnection = std::unique_ptr<xcb_connection_t, XcbDisconnect>;

}  // namespace wm
