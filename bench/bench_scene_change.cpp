// One scene change on a full-HD stage, without the effect's waits: decode a
// 12-megapixel JPEG, fit it, caption it and paint the new frame. Also the
// copying of the slowest effects on the same stage, their waits skipped.

#include "bench/bench_support.h"
#include "imaging/picture_box.h"
#include "imaging/transition.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

struct Stage {
    Stage() {
        ascreen.set_pixel_size(1920, 1080);
        ascreen.Cls();
    }
    wm::bench::InstantHost host;
    wm::Transitions transitions{host};
    wm::PictureBox work;
    wm::PictureBox ascreen;
    wm::PictureBox main;
};

const wm::CaptionStyle kCaption{QStringLiteral("Merry Christmas"),
                                7,
                                QStringLiteral("Arial"),
                                30.0,
                                QColor(Qt::white),
                                true,
                                true};

void BM_SceneChange(benchmark::State& state) {
    const wm::bench::Picture& p = wm::bench::picture(state.range(0));
    const QString file = QString::fromStdString(p.path);
    Stage stage;
    for (auto _ : state) {
        const wm::SceneOutcome outcome = stage.transitions.transition_to_picture(
            file, stage.work, stage.ascreen, stage.main, wm::kNoEffect, 1, kCaption);
        if (outcome != wm::SceneOutcome::kShown) {
            state.SkipWithError("the picture was not shown");
            break;
        }
    }
    state.SetLabel(std::to_string(p.width) + "x" + std::to_string(p.height) + " on 1920x1080");
}

void BM_EffectCopies(benchmark::State& state) {
    const int effect = static_cast<int>(state.range(0));
    Stage stage;
    stage.main.set_pixel_size(1920, 1080);
    stage.main.Cls();
    stage.transitions.shuffle_dissolve_order();
    const wm::EffectPlan plan =
        wm::effect_plan(effect, stage.ascreen.pixel_size(), stage.transitions.dissolve_order());
    for (auto _ : state) {
        stage.transitions.play_effect(plan, stage.main, stage.ascreen);
    }
    state.SetLabel(wm::effect_name(effect));
}

BENCHMARK(BM_SceneChange)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EffectCopies)
    ->Arg(1)
    ->Arg(7)
    ->Arg(15)
    ->Arg(18)
    ->Arg(20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    return wm::bench::run_gui_benchmarks(argc, argv);
}
