#include "tests/saver/saver_fixture.h"

#include "pack/pack_writer.h"
#include "platform/run_random.h"
#include "platform/run_temp_folder.h"
#include "sprites/sheet_layout.h"
#include "tests/imaging/jpeg_maker.h"

#include <QDir>
#include <QImage>
#include <QPainter>

#include <cstdlib>

namespace wm::test {

QColor pack_picture_colour(int n) {
    return QColor::fromHsv((n * 36) % 360, 200, 100 + n * 10);
}

QByteArray test_song(int n) {
    return QByteArrayLiteral("MThd song ") + QByteArray::number(n);
}

void write_test_pack(const QString& folder, bool sheets) {
    QDir().mkpath(folder);
    QStringList sources;
    for (int n = 1; n <= 10; ++n) {
        const QString path = folder + QStringLiteral("scene%1.jpg").arg(n);
        const QRgb rgb = pack_picture_colour(n).rgb();
        write_file(path, make_jpeg(160, 90, [rgb](int, int) { return rgb; }));
        sources << path;
    }
    if (sheets) {
        // Each cell: a white 20 x 20 bird in its middle on black; the mask
        // is its negative.
        QImage sheet(kSheetWidth, kSheetHeight, QImage::Format_RGB32);
        QImage mask(kSheetWidth, kSheetHeight, QImage::Format_RGB32);
        sheet.fill(Qt::black);
        mask.fill(Qt::white);
        for (int cell = 1; cell <= kSheetCells; ++cell) {
            const QRect body = sheet_cell(cell).adjusted(65, 65, -65, -65);
            QPainter(&sheet).fillRect(body, Qt::white);
            QPainter(&mask).fillRect(body, Qt::black);
        }
        sheet.save(folder + QStringLiteral("bird_sprite.png"));
        mask.save(folder + QStringLiteral("bird_mask.png"));
        sources << folder + QStringLiteral("bird_sprite.png")
                << folder + QStringLiteral("bird_mask.png");
        // The spare picture, and four songs whose bytes tell them apart.
        sources << folder + QStringLiteral("scene1.jpg");
        for (int n = 1; n <= 4; ++n) {
            const QString song = folder + QStringLiteral("song%1.mid").arg(n);
            write_file(song, test_song(n));
            sources << song;
        }
    }
    QString problem;
    EXPECT_TRUE(make_pack_file(folder, QStringLiteral("images"), sources, &problem))
        << problem.toStdString();
}

SaverRun::SaverRun() {
    seed_run_random(3);
    state.run.install_path = home.path() + QStringLiteral("/install/");
    write_test_pack(state.run.install_path);
    state.settings.scale_background = 0;
    state.settings.mute_audio = 1;
    state.settings.show_time = 0;
    state.settings.scene_duration = 10;
    apply_default_captions(state.settings);
}

void SaverRun::TearDown() {
    engine.reset();
    remove_run_temp_folder();
}

SaverEngine& SaverRun::start(std::uint32_t at_tick, QSize window, double pixel_ratio) {
    host = std::make_unique<VirtualHost>(at_tick);
    hooks.host = host.get();
    engine = std::make_unique<SaverEngine>(*host, state, hooks);
    engine->set_pixel_ratio(pixel_ratio);
    engine->init_saver(window);
    return *engine;
}

void SaverRun::key_at(std::uint32_t tick) {
    host->at(tick, [this] { engine->exit_rules().key_press(); });
}

bool SaverRun::stage_shows(int x, int y, const QColor& colour) const {
    const QRgb got = engine->pictures().ascreen.Image().pixel(x, y);
    return std::abs(qRed(got) - colour.red()) <= 8 && std::abs(qGreen(got) - colour.green()) <= 8 &&
           std::abs(qBlue(got) - colour.blue()) <= 8;
}

}  // namespace wm::test
