#pragma once
// Photo-like JPEG files for the benchmarks, made once per run.

#include <cstdint>
#include <string>

namespace wm::bench {

struct Picture {
    int width;
    int height;
    std::string path;
};

// Picture 0 is 1920 x 1080, picture 1 is 4000 x 3000: smooth colour
// gradients with grain, quality 90, 4:2:0, fixed seed. They live in a
// temporary folder until the program ends.
const Picture& picture(std::int64_t index);

}  // namespace wm::bench
