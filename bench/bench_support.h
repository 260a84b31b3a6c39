#pragma once
// What the benchmarks share: photo-like JPEG files made once per run, a
// host whose waits end at once, and a main with a GUI application.

#include "platform/engine_host.h"

#include <cstdint>
#include <string>

namespace wm::bench {

struct Picture {
    int width;
    int height;
    std::string path;
};

// Picture 0 is 1920 x 1080, picture 1 is 4000 x 3000, picture 2 is 6000 x
// 4000 (a 24-megapixel camera's): smooth colour
// gradients with grain, quality 90, 4:2:0, fixed seed. They live in a
// temporary folder until the program ends.
const Picture& picture(std::int64_t index);

// A host whose every wait ends at once: what remains is the engine's own
// work. Its clock moves only when a wait asks it to.
class InstantHost : public EngineHost {
  public:
    std::uint32_t tick_count() override { return now_; }
    void yield_once() override {}
    void yield_until(std::uint32_t tick) override { now_ = tick; }

  private:
    std::uint32_t now_ = 0;
};

// Runs the benchmarks named on the command line inside an offscreen GUI
// application (text, pictures and widgets need one; no window is shown).
int run_gui_benchmarks(int argc, char** argv);

}  // namespace wm::bench
