#pragma once
// Raster operations of a rectangle copy, with the platform's ternary codes.

#include <cstdint>

namespace wm {

enum class RasterOp : std::uint32_t {
    kSrcCopy = 0x00CC0020,   // destination = source
    kSrcAnd = 0x008800C6,    // destination = source AND destination
    kSrcPaint = 0x00EE0086,  // destination = source OR destination
};

}  // namespace wm
