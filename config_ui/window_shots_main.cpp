// wintermere-window-shots: renders every window of the program into PNG
// files, so that a person can review them all at once.
//
//   wintermere-window-shots OUT_DIR
//
// Each window opens on a sample folder of pictures and songs that the tool
// paints and writes into OUT_DIR/samples, with a few entries already chosen
// and a picture previewed, as a user would see it mid-way. Run it on a
// display (scripts/window-shots.sh uses a virtual one): the pictures are the
// windows as that display's style and fonts draw them.

#include "config_ui/about_dialog.h"
#include "config_ui/captions_dialog.h"
#include "config_ui/configuration_dialog.h"
#include "config_ui/custom_music_dialog.h"
#include "config_ui/custom_pictures_dialog.h"
#include "config_ui/device_names_dialog.h"
#include "config_ui/folder_picker_dialog.h"
#include "config_ui/options_dialog.h"
#include "config_ui/test_run.h"
#include "config_ui/welcome_dialog.h"
#include "pack/pack_builder_dialog.h"
#include "platform/app_paths.h"
#include "platform/settings_store.h"
#include "startup/saver_settings.h"
#include "startup/startup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLinearGradient>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

// A winter-ish picture: a sky gradient over a snowfield, with a sun.
void paint_sample_picture(const QString& path, int width, int height, QColor sky) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 0, height);
    gradient.setColorAt(0.0, sky.darker(160));
    gradient.setColorAt(0.6, sky.lighter(130));
    gradient.setColorAt(0.61, QColor(236, 242, 250));
    gradient.setColorAt(1.0, QColor(200, 214, 232));
    painter.fillRect(image.rect(), gradient);
    painter.setBrush(QColor(255, 236, 190));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(width * 0.7, height * 0.3), height * 0.08, height * 0.08);
    painter.end();
    image.save(path);
}

// A short wave file: one second of a quiet tone.
void write_sample_wave(const QString& path) {
    constexpr int rate = 22050;
    QByteArray samples;
    for (int i = 0; i < rate; ++i) {
        const auto value = static_cast<qint16>(3000.0 * std::sin(2.0 * M_PI * 440.0 * i / rate));
        samples.append(static_cast<char>(value & 0xFF)).append(static_cast<char>(value >> 8));
    }
    const auto le32 = [](quint32 v) {
        QByteArray b(4, '\0');
        for (int i = 0; i < 4; ++i) {
            b[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
        }
        return b;
    };
    QByteArray wave = "RIFF" + le32(36 + static_cast<quint32>(samples.size())) + "WAVEfmt " +
                      le32(16) + QByteArray("\x01\x00\x01\x00", 4) + le32(rate) + le32(rate * 2) +
                      QByteArray("\x02\x00\x10\x00", 4) + "data" +
                      le32(static_cast<quint32>(samples.size())) + samples;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(wave);
    }
}

// A one-note Standard MIDI File.
void write_sample_midi(const QString& path) {
    const QByteArray track("\x00\x90\x3C\x60\x83\x60\x80\x3C\x00\x00\xFF\x2F\x00", 13);
    QByteArray midi("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x01\xE0MTrk\x00\x00\x00", 21);
    midi.append(static_cast<char>(track.size())).append(track);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(midi);
    }
}

QString make_samples(const QString& folder) {
    const QString root = wm::with_trailing_separator(folder);
    QDir().mkpath(root + QStringLiteral("Holiday photos"));
    QDir().mkpath(root + QStringLiteral("Carols"));
    const QString photos = root + QStringLiteral("Holiday photos/");
    const QColor skies[] = {QColor(70, 110, 190), QColor(150, 90, 140), QColor(60, 140, 170),
                            QColor(200, 120, 80)};
    const char* names[] = {"frozen pond.jpg", "Lantern walk.JPG", "snow forest.bmp",
                           "sunset sledging.jpg"};
    for (int i = 0; i < 4; ++i) {
        paint_sample_picture(photos + QString::fromLatin1(names[i]), 1600, 1000, skies[i]);
    }
    paint_sample_picture(photos + QStringLiteral("tall tree.jpg"), 800, 1200, skies[2]);
    const QString carols = root + QStringLiteral("Carols/");
    write_sample_wave(carols + QStringLiteral("bells.wav"));
    write_sample_midi(carols + QStringLiteral("deck the halls.mid"));
    write_sample_midi(carols + QStringLiteral("Silent Night.MID"));
    write_sample_wave(photos + QStringLiteral("Sleigh ride.wav"));
    return root;
}

// Clicks the file `name` in the window's file list, as a person would.
void click_file(QWidget& window, const char* list_name, const QString& name) {
    auto* list = window.findChild<QListWidget*>(QString::fromLatin1(list_name));
    if (list == nullptr) {
        return;
    }
    const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
    if (!found.isEmpty()) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(found.first()).center());
    }
}

bool save_shot(QWidget& window, const QString& file) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "window-shots: %s was never shown\n", qPrintable(file));
        return false;
    }
    QTest::qWait(200);
    const QPixmap shot = window.grab();
    if (!shot.save(file)) {
        std::fprintf(stderr, "window-shots: cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s (%d x %d)\n", qPrintable(file), shot.width(), shot.height());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: wintermere-window-shots OUT_DIR\n");
        return 2;
    }
    const QString out = wm::with_trailing_separator(QString::fromLocal8Bit(argv[1]));
    const QString samples = make_samples(out + QStringLiteral("samples"));
    const QString photos = samples + QStringLiteral("Holiday photos/");
    const QString carols = samples + QStringLiteral("Carols/");

    wm::SaverSettings settings;
    settings.custom_picture_files_total = 2;
    settings.custom_picture_paths = {QString(), photos + QStringLiteral("frozen pond.jpg"),
                                     photos + QStringLiteral("snow forest.bmp")};
    settings.custom_audio_files_total = 1;
    settings.custom_audio_paths = {QString(), carols + QStringLiteral("bells.wav")};
    wm::RunValues run;
    run.install_path = samples;
    run.picture_folder = photos;
    run.music_folder = carols;
    run.picker_folder = samples;

    wm::apply_default_captions(settings);
    wm::RunState state{run, settings};
    // Nothing the windows save reaches the user's own settings: the store
    // is a file among the samples.
    wm::IniSettingsStore store(samples + QStringLiteral("settings.ini"), {});
    wm::DesktopTestRun test_run;
    const wm::ConfigurationContext context{state, store, test_run};

    bool all = true;
    const auto shot = [&](QWidget& window, const char* name) {
        all = save_shot(window, out + QString::fromLatin1(name) + QStringLiteral(".png")) && all;
    };
    {
        state.settings.welcome = 0;  // the welcome window has a shot of its own
        wm::ConfigurationDialog window(context);
        shot(window, "frmConfiguration");
    }
    {
        wm::OptionsDialog window(context);
        shot(window, "frmOptions");
    }
    {
        wm::CaptionsDialog window(state.settings);
        shot(window, "frm_captions");
    }
    {
        wm::DeviceNamesDialog window(state.settings);
        shot(window, "frm_devicenames");
    }
    {
        wm::AboutDialog window;
        shot(window, "frm_about");
    }
    {
        wm::WelcomeDialog window(state.settings, store);
        shot(window, "frm_welcome");
    }
    {
        wm::CustomPicturesDialog window(state.settings, state.run);
        window.resize(window.sizeHint().expandedTo(QSize(980, 640)));
        window.show();
        click_file(window, "File1", QStringLiteral("Lantern walk.JPG"));
        shot(window, "frm_custompictures");
    }
    {
        // Nothing plays: the shot needs no sound.
        wm::CustomMusicDialog window(state.settings, state.run);
        window.resize(window.sizeHint().expandedTo(QSize(820, 560)));
        shot(window, "frm_custommusic");
    }
    {
        wm::FolderPickerDialog window(state.run, QStringLiteral("Select Destination Folder"));
        shot(window, "frm_getfolder");
    }
    {
        wm::PackBuilderDialog window(state.run);
        window.resize(window.sizeHint().expandedTo(QSize(980, 640)));
        window.show();
        click_file(window, "File1", QStringLiteral("frozen pond.jpg"));
        if (auto* add = window.findChild<QPushButton*>(QStringLiteral("Command1"))) {
            add->click();
        }
        click_file(window, "File1", QStringLiteral("tall tree.jpg"));
        if (auto* add = window.findChild<QPushButton*>(QStringLiteral("Command1"))) {
            add->click();
        }
        shot(window, "frmMakeFiles");
    }
    return all ? 0 : 1;
}
