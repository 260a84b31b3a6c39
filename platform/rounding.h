#pragma once
// Rounding of reals to whole numbers: to the nearest, halves to the even
// neighbour (2.5 -> 2, 3.5 -> 4), as every conversion of a real to a
// coordinate, size or count in this program does.

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <limits>

namespace wm {

inline double round_half_even(double value) {
    // nearbyint follows the current rounding mode, which this program never
    // changes from the default round-to-nearest-even.
    return std::nearbyint(value);
}

inline float round_half_even(float value) {
    return std::nearbyint(value);
}

// A real as a whole int: rounded half to even, held at the ends of int's
// range, and 0 for not-a-number.
inline int round_to_int(double value) {
    const double rounded = round_half_even(value);
    if (std::isnan(rounded)) {
        return 0;
    }
    return static_cast<int>(std::clamp(rounded, double{std::numeric_limits<int>::min()},
                                       double{std::numeric_limits<int>::max()}));
}

}  // namespace wm
