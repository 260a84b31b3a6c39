// What the browsing windows cost a person waiting for them: listing a folder
// of 5,000 files into the drive, folder and file lists, and decoding a
// camera's photograph for the preview.

#include "bench/bench_support.h"
#include "config_ui/browsing_lists.h"
#include "config_ui/picture_preview.h"

#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A folder of `count` pictures (empty files: listing never reads them) and a
// few files the patterns leave out.
const QTemporaryDir& big_folder() {
    static QTemporaryDir dir;
    static const bool made = [] {
        for (int i = 0; i < 5000; ++i) {
            QFile(dir.filePath(QStringLiteral("IMG_%1.JPG").arg(i, 4, 10, QLatin1Char('0'))))
                .open(QIODevice::WriteOnly);
        }
        for (int i = 0; i < 50; ++i) {
            QFile(dir.filePath(QStringLiteral("notes %1.txt").arg(i))).open(QIODevice::WriteOnly);
        }
        return true;
    }();
    (void)made;
    return dir;
}

class OneVolume : public wm::VolumeSource {
  public:
    std::vector<wm::Volume> volumes() const override {
        return {{QStringLiteral("/"), QStringLiteral("/")}};
    }
};

// The file names alone: reading the folder, matching and sorting.
void BM_MatchingFileNames(benchmark::State& state) {
    const QString folder = big_folder().path();
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            wm::matching_file_names(folder, QStringLiteral("*.gif;*.bmp;*.jpg")));
    }
}

// Opening the folder in the three lists, as a click on it does.
void BM_OpenFolderInTheLists(benchmark::State& state) {
    QComboBox drives;
    QListWidget folders;
    QListWidget files;
    const OneVolume volume;
    wm::BrowsingLists lists(&drives, &folders, &files, QStringLiteral("*.gif;*.bmp;*.jpg"), volume);
    lists.start(QStringLiteral("/"));
    const QString folder = big_folder().path();
    for (auto _ : state) {
        lists.open_folder(folder);
        benchmark::DoNotOptimize(files.count());
    }
    state.counters["files"] = files.count();
}

// A photograph decoded for a 640 x 480 preview box (argument: 1 is 12
// megapixels, 2 is 24).
void BM_PreviewPicture(benchmark::State& state) {
    const wm::bench::Picture& p = wm::bench::picture(state.range(0));
    const QString path = QString::fromStdString(p.path);
    for (auto _ : state) {
        benchmark::DoNotOptimize(wm::load_preview_picture(path, {640, 480}));
    }
    state.SetLabel(std::to_string(p.width) + " x " + std::to_string(p.height));
}

BENCHMARK(BM_MatchingFileNames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenFolderInTheLists)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PreviewPicture)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    return wm::bench::run_gui_benchmarks(argc, argv);
}
