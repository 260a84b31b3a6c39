// One frame of the birds on a full-HD stage: restore the last cells, move
// and draw 20 sprites through their masks, present what changed. Beside it,
// the plain memory copies of as many rectangles of the same size, the floor
// any frame could reach.

#include "bench/bench_support.h"
#include "imaging/picture_box.h"
#include "platform/rounding.h"
#include "sprites/sheet_layout.h"
#include "sprites/sprites.h"

#include <QImage>
#include <QPainter>
#include <QRegion>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kStageWidth = 1920;
constexpr int kStageHeight = 1080;
constexpr int kSprites = 20;
// Per sprite and frame: one restore, two masked-draw copies, one present.
constexpr int kCopiesPerSprite = 4;

// A scene: smooth colour ramps, as a photograph would be.
QImage scene_picture() {
    QImage image(kStageWidth, kStageHeight, QImage::Format_RGB32);
    for (int y = 0; y < kStageHeight; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kStageWidth; ++x) {
            row[x] = qRgb(x * 255 / kStageWidth, y * 255 / kStageHeight, (x + y) & 0xff);
        }
    }
    return image;
}

// Sheets with a bird-sized body and wings in every cell: black on white in
// the mask, coloured on black in the colour sheet.
void paint_sheets(QImage& colour, QImage& mask) {
    colour = QImage(wm::kSheetWidth, wm::kSheetHeight, QImage::Format_RGB32);
    mask = QImage(wm::kSheetWidth, wm::kSheetHeight, QImage::Format_RGB32);
    colour.fill(Qt::black);
    mask.fill(Qt::white);
    QPainter c(&colour);
    QPainter m(&mask);
    for (int n = 1; n <= wm::kSheetCells; ++n) {
        const QRect cell = wm::sheet_cell(n);
        const int lift = (n % wm::kFlapCells) * 3;
        const QRect body = cell.adjusted(35, 60, -35, -55);
        const QRect wings = cell.adjusted(10, 20 + lift % 40, -10, -90 + lift % 40);
        c.setBrush(QColor(90 + n, 70, 40));
        c.setPen(Qt::NoPen);
        c.drawEllipse(body);
        c.drawEllipse(wings);
        m.setBrush(Qt::black);
        m.setPen(Qt::NoPen);
        m.drawEllipse(body);
        m.drawEllipse(wings);
    }
}

struct FrameStage {
    FrameStage() {
        const QImage scene = scene_picture();
        main.load_picture(scene);
        work.load_picture(scene);
        ascreen.load_picture(scene);
        QImage colour;
        QImage cutout;
        paint_sheets(colour, cutout);
        sprite.load_picture(colour);
        mask.load_picture(cutout);
        // Twenty birds spread over the stage at fractional places, flying
        // both ways at the spawner's speeds and bobbing as it makes them.
        sprites.init_sprites(kStageWidth, kStageHeight, kSprites);
        for (int n = 1; n <= kSprites; ++n) {
            const bool rightwards = n % 2 == 0;
            const double x = std::fmod(n * 181.3, kStageWidth - 150.0);
            const double y = 20.0 + (n * 97 % (kStageHeight - 200)) + 0.5;
            sprites.set_animation(n, rightwards ? 1 : 2, 0);
            sprites.place_sprite(n, x, y, 1);
            const double speed = sprites.speed_x(11 + n);
            sprites.set_motion(n, rightwards ? speed : -speed, 0, 0, 0, sprites.speed_y(1) / 4,
                               sprites.speed_y(10), -150, -150, kStageWidth + 150,
                               kStageHeight + 150);
        }
    }

    // Keeps all twenty on the stage: a bird at the far edge comes back in
    // at the near one, as the next launch would.
    void wrap_round() {
        for (int n = 1; n <= kSprites; ++n) {
            wm::SpriteRecord& s = sprites.slot(n);
            if (s.vx > 0 && s.x > kStageWidth - 150) {
                s.x -= kStageWidth - 150;
            } else if (s.vx < 0 && s.x < 0) {
                s.x += kStageWidth - 150;
            }
        }
    }

    wm::bench::InstantHost host;
    wm::PictureBox main;
    wm::PictureBox work;
    wm::PictureBox ascreen;
    wm::PictureBox sprite;
    wm::PictureBox mask;
    wm::Sprites sprites;
};

// Writes over more memory than any cache holds, untimed, so that the next
// frame starts with cold caches, as the saver's largely are after it slept
// 33 ms. The scrub's dirty lines are written back during the frame, which
// makes the figure somewhat pessimistic.
void scrub_caches(benchmark::State& state) {
    static std::vector<unsigned char> scrub(64u << 20);
    state.PauseTiming();
    std::memset(scrub.data(), static_cast<int>(state.iterations() & 0xff), scrub.size());
    benchmark::DoNotOptimize(scrub.data());
    benchmark::ClobberMemory();
    state.ResumeTiming();
}

// The frame as the saver draws it (first argument 1): composed on the
// visible stage itself, with nothing to copy at the end; or (0) in a frame
// buffer of its own, then presented on the stage. With the second argument
// 1, every frame starts with cold caches.
void BM_SpriteFrame(benchmark::State& state) {
    const bool on_stage = state.range(0) != 0;
    const bool cold = state.range(1) != 0;
    FrameStage stage;
    wm::PictureBox& frame = on_stage ? stage.ascreen : stage.work;
    for (auto _ : state) {
        if (cold) {
            scrub_caches(state);
        }
        stage.sprites.erase_sprites(frame, stage.main);
        stage.sprites.update_sprites(frame, stage.sprite, stage.mask, stage.host);
        stage.sprites.present_frame(stage.ascreen, frame);
        stage.wrap_round();
        benchmark::ClobberMemory();
    }
    if (stage.sprites.count_active_sprites() != kSprites) {
        state.SkipWithError("sprites left the stage");
    }
    state.SetLabel(std::string(on_stage ? "20 sprites on 1920x1080, on the stage"
                                        : "20 sprites on 1920x1080, through a frame buffer") +
                   (cold ? ", cold caches" : ""));
}

// The same frame with whole cells restored and presented, as frames were
// drawn before the sheets' ink bounded both.
void BM_SpriteFrameWholeCells(benchmark::State& state) {
    FrameStage stage;
    const auto placed = [](double x, double y) {
        return QRect(wm::round_to_int(x), wm::round_to_int(y), wm::kCellSize, wm::kCellSize);
    };
    for (auto _ : state) {
        for (int n = 1; n <= kSprites; ++n) {
            const wm::SpriteRecord& s = stage.sprites.slot(n);
            const QRect last = placed(s.last_x, s.last_y);
            wm::box_blt(stage.work, last.x(), last.y(), last.width(), last.height(), stage.main,
                        last.x(), last.y(), wm::RasterOp::kSrcCopy);
        }
        stage.sprites.update_sprites(stage.work, stage.sprite, stage.mask, stage.host);
        for (int n = 1; n <= kSprites; ++n) {
            wm::SpriteRecord& s = stage.sprites.slot(n);
            const QRect both = (placed(s.last_x, s.last_y) | placed(s.x, s.y)).adjusted(0, 0, 1, 1);
            wm::box_blt(stage.ascreen, both.x(), both.y(), both.width(), both.height(), stage.work,
                        both.x(), both.y(), wm::RasterOp::kSrcCopy);
            s.last_x = s.x;
            s.last_y = s.y;
            s.last_frame = s.frame;
        }
        stage.wrap_round();
        benchmark::ClobberMemory();
    }
    state.SetLabel("20 sprites on 1920x1080, whole cells");
}

// Painting what a frame changed into a window's backing store: the stage's
// twenty presented rectangles drawn by Qt's raster engine in one piece
// each, and in the bands of 64 rows the stage's widget gives it. The
// process's processor time counts the engine's pool threads too; between
// frames the process sleeps as the saver does (the pool's threads with it).
void BM_PaintFrameRects(benchmark::State& state) {
    const bool banded = state.range(0) != 0;
    const FrameStage stage;
    QImage store(kStageWidth, kStageHeight, QImage::Format_RGB32);
    store.fill(Qt::black);
    std::vector<QRect> rects;
    for (int n = 1; n <= kSprites; ++n) {
        const wm::SpriteRecord& s = stage.sprites.slot(n);
        rects.emplace_back(std::clamp(static_cast<int>(s.x), 0, kStageWidth - 160),
                           std::clamp(static_cast<int>(s.y), 0, kStageHeight - 160), 160, 160);
    }
    // A widget's painter is clipped to the region being repainted.
    QRegion due;
    for (const QRect& r : rects) {
        due += r;
    }
    const QImage& shown = stage.ascreen.Image();
    for (auto _ : state) {
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        state.ResumeTiming();
        QPainter painter(&store);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setClipRegion(due);
        for (const QRect& r : rects) {
            if (!banded) {
                painter.drawImage(r.topLeft(), shown, r);
                continue;
            }
            for (int top = r.top(); top <= r.bottom(); top += 64) {
                const QRect band(r.left(), top, r.width(), std::min(64, r.bottom() + 1 - top));
                painter.drawImage(band.topLeft(), shown, band);
            }
        }
    }
    state.SetLabel(banded ? "20 rects of 160x160, bands of 64 rows" : "20 rects of 160x160, whole");
}

void BM_MemcpyRects(benchmark::State& state) {
    const FrameStage stage;
    const qsizetype stride = qsizetype{kStageWidth} * 4;
    std::vector<std::uint8_t> from(static_cast<std::size_t>(stride * kStageHeight), 1);
    std::vector<std::uint8_t> to(from.size(), 2);
    // The places of the birds, whole pixels, kept on the stage.
    std::vector<QPoint> places;
    for (int n = 1; n <= kSprites; ++n) {
        const wm::SpriteRecord& s = stage.sprites.slot(n);
        places.emplace_back(std::clamp(static_cast<int>(s.x), 0, kStageWidth - 150),
                            std::clamp(static_cast<int>(s.y), 0, kStageHeight - 150));
    }
    for (auto _ : state) {
        for (int copy = 0; copy < kCopiesPerSprite; ++copy) {
            for (const QPoint& p : places) {
                for (int row = 0; row < 150; ++row) {
                    const qsizetype at = (p.y() + row) * stride + qsizetype{p.x()} * 4;
                    std::memcpy(to.data() + at, from.data() + at, 150 * 4);
                }
            }
        }
        benchmark::ClobberMemory();
    }
    state.SetLabel("80 copies of 150x150x4 bytes");
}

BENCHMARK(BM_SpriteFrame)->Args({0, 0})->Args({1, 0})->Args({1, 1})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SpriteFrameWholeCells)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintFrameRects)
    ->Arg(0)
    ->Arg(1)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemcpyRects)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    return wm::bench::run_gui_benchmarks(argc, argv);
}
