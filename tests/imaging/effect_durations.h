#pragma once
// How long each effect takes on an 800 x 600 stage: the sum of its waits.
// 1-4: strips of 8 or 6 pixels; 5-6: two at a time; 7-8: steps of 7 rows;
// 9-10: steps of 10 columns; 11-14: two passes of 101 strips at 8 ms;
// 15: 1600 blocks; 16-19: ten steps of bands; 20: 40 growing boxes.

#include <cstdint>

namespace wm::test {

inline constexpr std::uint32_t kEffectMs800x600[21] = {0,    2020, 2020, 2020, 2020, 1020, 1020,
                                                       1720, 1720, 1620, 1620, 1616, 1616, 1616,
                                                       1616, 1600, 300,  300,  300,  300,  1000};

}  // namespace wm::test
