#pragma once
// Rounding of reals to whole numbers: to the nearest, halves to the even
// neighbour (2.5 -> 2, 3.5 -> 4), as every conversion of a real to a
// coordinate, size or count in this program does.

#include <cfenv>
#include <cmath>

namespace wm {

inline double round_half_even(double value) {
    // nearbyint follows the current rounding mode, which this program never
    // changes from the default round-to-nearest-even.
    return std::nearbyint(value);
}

inline float round_half_even(float value) {
    return std::nearbyint(value);
}

}  // namespace wm
