// load_jpeg against a bare TurboJPEG decode of the same file.
//
// Both read the file into memory, read the header and decode into a buffer
// with the surface's row pitch, pixel format and bottom-up order; the
// difference is what the wrapper costs on top of the decoder.

#include "imaging/jpeg_reader.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <cstdio>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Picture {
    int width;
    int height;
    std::string path;
};

// A photo-like picture: smooth colour gradients with grain, fixed seed.
std::vector<unsigned char> photo_pixels(int width, int height) {
    std::mt19937 random(20240601);
    std::normal_distribution<float> grain(0.0f, 6.0f);
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3);
    std::size_t i = 0;
    for (int y = 0; y < height; ++y) {
        const float fy = static_cast<float>(y) / static_cast<float>(height);
        for (int x = 0; x < width; ++x) {
            const float fx = static_cast<float>(x) / static_cast<float>(width);
            const float base[3] = {40.0f + 180.0f * fy, 90.0f + 120.0f * fx * fy,
                                   220.0f - 150.0f * fx};
            for (const float b : base) {
                const float v = b + grain(random);
                rgb[i++] = static_cast<unsigned char>(v < 0.0f ? 0.0f : (v > 255.0f ? 255.0f : v));
            }
        }
    }
    return rgb;
}

void write_jpeg(const Picture& picture) {
    const std::vector<unsigned char> rgb = photo_pixels(picture.width, picture.height);
    const std::unique_ptr<void, int (*)(tjhandle)> handle(tjInitCompress(), tjDestroy);
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    if (tjCompress2(handle.get(), rgb.data(), picture.width, 0, picture.height, TJPF_RGB, &jpeg,
                    &size, TJSAMP_420, 90, 0) != 0) {
        throw std::runtime_error(tjGetErrorStr2(handle.get()));
    }
    std::FILE* file = std::fopen(picture.path.c_str(), "wb");
    const bool written = file != nullptr && std::fwrite(jpeg, 1, size, file) == size;
    if (file != nullptr) {
        std::fclose(file);
    }
    tjFree(jpeg);
    if (!written) {
        throw std::runtime_error("cannot write " + picture.path);
    }
}

// The two pictures, made once on first use in a folder that lives for the run.
const Picture& picture(std::int64_t index) {
    static QTemporaryDir dir;
    static const std::vector<Picture> pictures = [] {
        std::vector<Picture> made{{1920, 1080, dir.filePath("hd.jpg").toStdString()},
                                  {4000, 3000, dir.filePath("12mp.jpg").toStdString()}};
        for (const Picture& p : made) {
            write_jpeg(p);
        }
        return made;
    }();
    return pictures.at(static_cast<std::size_t>(index));
}

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
