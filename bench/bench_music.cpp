// What starting a song costs the user-interface thread: "Open" of each of the
// pack's songs (a MIDI file read and a FluidSynth synthesiser made with the
// General MIDI sound font), and "Play" followed by "Stop". The music plays on
// SDL's dummy driver, so nothing is heard; the sound device is opened before
// the timing starts.

#include "audio/media_control.h"
#include "audio/mixer_backend.h"
#include "bench/bench_support.h"
#include "pack/pack_extract.h"
#include "pack/pack_index.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <optional>

namespace {

// The pack's song `member` (14 .. 17), extracted once into a folder that
// lives until the program ends.
QString pack_song(int member) {
    static QTemporaryDir folder;
    wm::PackTable pack;
    const QString base = QStringLiteral(WM_MEDIA_DIR "/pack/images");
    if (wm::load_pack_index(pack, base) != wm::IndexLoad::Loaded) {
        return {};
    }
    pack.temp_folder = folder.path() + QStringLiteral("/song%1/").arg(member);
    QDir().mkpath(pack.temp_folder);
    return wm::extract_member_path(pack, base, member).value_or(QString());
}

void BM_OpenPackSong(benchmark::State& state) {
    const QString song = pack_song(static_cast<int>(state.range(0)));
    wm::MixerBackend backend;
    wm::MediaControl control(backend);
    control.set_device_type(QStringLiteral("Sequencer"));
    control.set_file_name(song);
    if (!control.command(QStringLiteral("Open"))) {
        state.SkipWithError(qPrintable(control.error()));
        return;
    }
    for (auto _ : state) {
        control.command(QStringLiteral("Open"));
    }
}
BENCHMARK(BM_OpenPackSong)->DenseRange(14, 17)->Unit(benchmark::kMillisecond);

void BM_PlayAndStop(benchmark::State& state) {
    wm::MixerBackend backend;
    wm::MediaControl control(backend);
    control.set_device_type(QStringLiteral("Sequencer"));
    control.set_file_name(pack_song(14));
    if (!control.command(QStringLiteral("Open"))) {
        state.SkipWithError(qPrintable(control.error()));
        return;
    }
    for (auto _ : state) {
        control.command(QStringLiteral("Play"));
        control.command(QStringLiteral("Stop"));
    }
}
BENCHMARK(BM_PlayAndStop)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    // Timing, not listening.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    return wm::bench::run_gui_benchmarks(argc, argv);
}
