// What starting a song costs the user-interface thread: "Open" of each of the
// pack's songs (a MIDI file read and a FluidSynth synthesiser made with the
// General MIDI sound font), and "Play" followed by "Stop". The music plays on
// SDL's dummy driver, so nothing is heard; the sound device is opened before
// the timing starts.
//
// The saver reads each song ahead on a worker thread: the check that starts
// it then pays only for "Open" of a song read ahead, the song's end for the
// "Close" of the one before, and the end or the start for the prepare call
// itself. BM_OpenUnprepared and BM_OpenPrepared time the same "Open" (with no
// song loaded before it) without and with the song read ahead.

#include "audio/media_control.h"
#include "audio/mixer_backend.h"
#include "bench/bench_support.h"
#include "pack/pack_extract.h"
#include "pack/pack_index.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <thread>

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

// A control with the Sequencer device type and pack song `member` as its
// file, opened once so that the sound device is open; false (the state told
// why) when that fails.
bool open_once(benchmark::State& state, wm::MediaControl& control, int member) {
    control.set_device_type(QStringLiteral("Sequencer"));
    control.set_file_name(pack_song(member));
    if (!control.command(QStringLiteral("Open"))) {
        state.SkipWithError(qPrintable(control.error()));
        return false;
    }
    return true;
}

// Events run meanwhile: the first song of a process waits for the sound
// system, whose loading ends through the event queue.
void wait_until_prepared(const wm::MixerBackend& backend) {
    while (!backend.prepared_ready()) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void BM_OpenUnprepared(benchmark::State& state) {
    wm::MixerBackend backend;
    wm::MediaControl control(backend);
    if (!open_once(state, control, static_cast<int>(state.range(0)))) {
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        control.command(QStringLiteral("Close"));
        state.ResumeTiming();
        control.command(QStringLiteral("Open"));
    }
}
BENCHMARK(BM_OpenUnprepared)->DenseRange(14, 17)->Unit(benchmark::kMillisecond);

void BM_OpenPrepared(benchmark::State& state) {
    wm::MixerBackend backend;
    wm::MediaControl control(backend);
    if (!open_once(state, control, static_cast<int>(state.range(0)))) {
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        control.command(QStringLiteral("Close"));
        control.prepare(control.file_name(), control.device_type());
        wait_until_prepared(backend);
        state.ResumeTiming();
        control.command(QStringLiteral("Open"));
    }
    if (backend.loads_taken_ahead() != static_cast<std::uint64_t>(state.iterations())) {
        state.SkipWithError("an Open did not take the song read ahead");
    }
}
// (A fixed count: the untimed reading ahead takes far longer than the Open.)
BENCHMARK(BM_OpenPrepared)->DenseRange(14, 17)->Iterations(40)->Unit(benchmark::kMicrosecond);

// What the song's end pays: the synthesiser of the song that ended goes.
void BM_CloseSong(benchmark::State& state) {
    wm::MixerBackend backend;
    wm::MediaControl control(backend);
    if (!open_once(state, control, 14)) {
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        control.command(QStringLiteral("Open"));
        state.ResumeTiming();
        control.command(QStringLiteral("Close"));
    }
}
BENCHMARK(BM_CloseSong)->Unit(benchmark::kMillisecond);

// The prepare call itself: the file looked at, the worker started.
void BM_PrepareCall(benchmark::State& state) {
    wm::MixerBackend backend;
    wm::MediaControl control(backend);
    if (!open_once(state, control, 14)) {
        return;
    }
    control.command(QStringLiteral("Close"));
    for (auto _ : state) {
        control.prepare(control.file_name(), control.device_type());
        state.PauseTiming();
        wait_until_prepared(backend);
        control.discard_prepared();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PrepareCall)->Iterations(40)->Unit(benchmark::kMicrosecond);

// A line of /proc/self/status ("VmRSS", "VmHWM") in megabytes.
double status_mb(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0.0;
    }
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(prefix)) {
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toDouble() / 1000.0;
        }
    }
    return 0.0;
}

// Song after song as the saver plays them, range(1) songs in all, each
// closed at its end and the next one then read ahead (range(0) 1) or opened on
// the spot (0): the resident memory the sound device and the songs have added
// since before the first (run one case alone to see its peak as well). One
// iteration is the whole run.
void BM_SongAfterSong(benchmark::State& state) {
    const bool ahead = state.range(0) == 1;
    const double before = status_mb("VmRSS");
    wm::MixerBackend backend;
    wm::MediaControl control(backend);
    control.set_device_type(QStringLiteral("Sequencer"));
    for (auto _ : state) {
        for (std::int64_t song = 0; song < state.range(1); ++song) {
            control.command(QStringLiteral("Close"));
            control.set_file_name(pack_song(14 + static_cast<int>(song % 4)));
            if (ahead) {
                control.prepare(control.file_name(), control.device_type());
                wait_until_prepared(backend);
            }
            if (!control.command(QStringLiteral("Open"))) {
                state.SkipWithError(qPrintable(control.error()));
                return;
            }
            control.command(QStringLiteral("Play"));
            control.command(QStringLiteral("Stop"));
        }
    }
    state.counters["rss_growth_MB"] = status_mb("VmRSS") - before;
    state.counters["peak_MB"] = status_mb("VmHWM");
}
BENCHMARK(BM_SongAfterSong)
    ->ArgsProduct({{0, 1}, {4, 60}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

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
