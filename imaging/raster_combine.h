#pragma once
// The pixel combination of each raster operation, for the copy loops of every
// raster type.

#include "imaging/raster_op.h"

#include <QRgb>

#include <utility>

namespace wm {

// Calls fn with the pixel combination of a raster operation (source,
// destination -> result, on 0xffRRGGBB values); false for an operation we do
// not know. Each operation gets its own instantiation of fn, so the
// combination inlines into the caller's loop.
template <typename Fn>
bool with_combine(RasterOp rop, Fn&& fn) {
    switch (rop) {
        case RasterOp::kSrcCopy:
            std::forward<Fn>(fn)([](QRgb s, QRgb) { return s; });
            return true;
        case RasterOp::kSrcAnd:
            std::forward<Fn>(fn)([](QRgb s, QRgb d) { return s & d; });
            return true;
        case RasterOp::kSrcPaint:
            std::forward<Fn>(fn)([](QRgb s, QRgb d) { return s | d; });
            return true;
    }
    return false;
}

}  // namespace wm
