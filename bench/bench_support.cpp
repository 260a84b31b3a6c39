#include "bench/bench_support.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <turbojpeg.h>

#include <cstdio>
#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

namespace wm::bench {
namespace {

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

}  // namespace

const Picture& picture(std::int64_t index) {
    static QTemporaryDir dir;
    static const std::vector<Picture> pictures = [] {
        std::vector<Picture> made{{1920, 1080, dir.filePath("hd.jpg").toStdString()},
                                  {4000, 3000, dir.filePath("12mp.jpg").toStdString()},
                                  {6000, 4000, dir.filePath("24mp.jpg").toStdString()}};
        for (const Picture& p : made) {
            write_jpeg(p);
        }
        return made;
    }();
    return pictures.at(static_cast<std::size_t>(index));
}

int run_gui_benchmarks(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace wm::bench
