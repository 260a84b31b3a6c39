// load_jpeg against a bare TurboJPEG decode of the same file.
//
// Both read the file into memory, read the header and decode into a buffer
// with the surface's row pitch, pixel format and bottom-up order; the
// difference is what the wrapper costs on top of the decoder.

#include "bench/bench_support.h"
#include "imaging/jpeg_reader.h"

#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using wm::bench::Picture;
using wm::bench::picture;

void label(benchmark::State& state, const Picture& p) {
    state.SetLabel(std::to_string(p.width) + "x" + std::to_string(p.height));
    state.counters["Mpixel/s"] = benchmark::Counter(
        static_cast<double>(p.width) * p.height * 1e-6 * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
}

void BM_LoadJpeg(benchmark::State& state) {
    const Picture& p = picture(state.range(0));
    const QString path = QString::fromStdString(p.path);
    wm::cDIBSection surface;
    for (auto _ : state) {
        if (!wm::load_jpeg(surface, path)) {
            state.SkipWithError("load_jpeg failed");
            break;
        }
        benchmark::DoNotOptimize(surface.DIBSectionBitsPtr());
    }
    label(state, p);
}

void BM_BareTurboJpeg(benchmark::State& state) {
    const Picture& p = picture(state.range(0));
    for (auto _ : state) {
        std::FILE* file = std::fopen(p.path.c_str(), "rb");
        if (file == nullptr) {
            state.SkipWithError("cannot open the picture");
            break;
        }
        std::fseek(file, 0, SEEK_END);
        const long size = std::ftell(file);
        std::fseek(file, 0, SEEK_SET);
        std::vector<unsigned char> jpeg(static_cast<std::size_t>(size));
        const std::size_t got = std::fread(jpeg.data(), 1, jpeg.size(), file);
        std::fclose(file);

        tjhandle handle = tjInitDecompress();
        int width = 0;
        int height = 0;
        int subsampling = 0;
        int colourspace = 0;
        tjDecompressHeader3(handle, jpeg.data(), got, &width, &height, &subsampling, &colourspace);
        const int pitch = (width * 3 + 3) & ~3;
        std::vector<unsigned char> pixels(static_cast<std::size_t>(pitch) * height);
        const int rc = tjDecompress2(handle, jpeg.data(), got, pixels.data(), width, pitch, height,
                                     TJPF_BGR, TJFLAG_BOTTOMUP);
        tjDestroy(handle);
        if (rc != 0) {
            state.SkipWithError("decode failed");
            break;
        }
        benchmark::DoNotOptimize(pixels.data());
    }
    label(state, p);
}

BENCHMARK(BM_LoadJpeg)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BareTurboJpeg)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
