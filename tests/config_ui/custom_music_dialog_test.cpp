// The music selection window: its controls, the files it lists, the list it
// commits on "&Ok" and leaves alone otherwise, and the previews a click
// plays: on a recording sound system (which file, which decoder), and on the
// real one through SDL's disk driver, where every way of closing the window
// must silence it.

#include "config_ui/custom_music_dialog.h"

#include "platform/app_paths.h"
#include "startup/saver_settings.h"
#include "startup/startup.h"
#include "tests/audio/sound_files.h"
#include "tests/support/fake_audio_backend.h"
#include "tests/support/fake_volumes.h"
#include "tests/support/test_support.h"
#include "tests/support/warning_log.h"
#include "tests/support/window_support.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMetaObject>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

namespace wm {
namespace {

using test::EnvGuard;
using test::WarningLog;

// SDL's disk driver writes 2048 frames of 4 bytes at a time.
constexpr qint64 kDeviceBufferBytes = 2048 * 4;

class CustomMusicTest : public testing::Test {
  protected:
    CustomMusicTest() {
        root = with_trailing_separator(dir.path());
        songs = root + QStringLiteral("songs/");
        QDir(root).mkpath(QStringLiteral("songs"));
        for (const char* name : {"SONG.MID", "carol.rmi", "Tone.Wav", "bells.mp3", "tune.ogg",
                                 "notes.txt", "long.midi"}) {
            test::write_file_in(dir, QStringLiteral("songs/") + QLatin1String(name), "MThd");
        }
        volumes.set({{root, QStringLiteral("Scratch")}});
        run.music_folder = songs;
        settings.custom_audio_files_total = 2;
        settings.custom_audio_paths = {QString(), QStringLiteral("/old/one.mid"),
                                       QStringLiteral("/old/two.wav")};
    }

    // A window on `audio`, or on the real sound system when null.
    CustomMusicDialog& open(AudioBackend* audio) {
        dialog.reset();  // its sound system goes first
        dialog = std::make_unique<CustomMusicDialog>(settings, run, nullptr, audio, &volumes);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return *dialog;
    }
    CustomMusicDialog& open() { return open(&fake); }

    template <class T>
    T* control(const char* name) {
        return test::control<T>(*dialog, name);
    }
    QListWidget* files() { return control<QListWidget>("File1"); }
    QListWidget* chosen() { return control<QListWidget>("List2"); }
    void press(const char* name) { control<QPushButton>(name)->click(); }

    static void click(QListWidget* list, const QString& text, bool twice = false) {
        click(list, test::item_named(*list, text), twice);
    }
    static void click(QListWidget* list, QListWidgetItem* item, bool twice = false) {
        if (twice) {
            test::double_click_item(*list, item);
        } else {
            test::click_item(*list, item);
        }
    }

    static QStringList texts(const QListWidget* list) {
        QStringList all;
        for (int row = 0; row < list->count(); ++row) {
            all.append(list->item(row)->text());
        }
        return all;
    }

    QStringList stored() const {
        QStringList paths;
        for (int k = 1; k <= settings.custom_audio_files_total; ++k) {
            paths.append(settings.custom_audio_paths.at(static_cast<std::size_t>(k)));
        }
        return paths;
    }

    QTemporaryDir dir;
    QString root;
    QString songs;
    test::FakeVolumes volumes;
    test::FakeAudioBackend fake;
    SaverSettings settings;
    RunValues run;
    std::unique_ptr<CustomMusicDialog> dialog;
};

TEST_F(CustomMusicTest, EveryControlHasItsCaptionAndTooltip) {
    open();
    EXPECT_EQ(dialog->objectName(), QStringLiteral("frm_custommusic"));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Wintermere - Music Selection"));
    test::expect_controls(
        *dialog,
        {
            {"Frame2", "QGroupBox", QStringLiteral("Select Music Files From Your System"), {}},
            {"Drive1", "QComboBox", {}, QStringLiteral("Select a storage device to browse")},
            {"Dir1",
             "QListWidget",
             {},
             QStringLiteral("Select a folder to view the music files available")},
            {"File1", "QListWidget", {}, QStringLiteral("Click on a music file to preview it")},
            {"Label1", "QLabel", QStringLiteral("Click On A Music File To Preview It"), {}},
            {"Command1", "QPushButton", QStringLiteral("Add &Selected File(s)"),
             QStringLiteral("Add the music files that are currently selected")},
            {"Command2", "QPushButton", QStringLiteral("Add &All File(s)"),
             QStringLiteral("Add all music files from this directory")},
            {"Frame1", "QGroupBox", QStringLiteral("Music Files To Play During Screen Saver"), {}},
            {"List2", "QListWidget", {}, {}},
            {"Command5", "QPushButton", QStringLiteral("&Remove Selected File(s)"),
             QStringLiteral("Removes the selected file(s) from your music list")},
            {"Command3", "QPushButton", QStringLiteral("&Ok"),
             QStringLiteral("Save your music list and exit")},
            {"Command6", "QPushButton", QStringLiteral("&Cancel"),
             QStringLiteral("Exit without saving any changes to your music list")},
        });
    EXPECT_EQ(files()->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(chosen()->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_TRUE(control<QPushButton>("Command3")->isDefault());
}

TEST_F(CustomMusicTest, ListsMidRmiWavAndMp3FilesInAnyLetterCase) {
    open();
    QStringList listed = texts(files());
    listed.sort(Qt::CaseInsensitive);
    EXPECT_EQ(listed, (QStringList{QStringLiteral("bells.mp3"), QStringLiteral("carol.rmi"),
                                   QStringLiteral("SONG.MID"), QStringLiteral("Tone.Wav")}));
    EXPECT_EQ(texts(chosen()),
              (QStringList{QStringLiteral("/old/one.mid"), QStringLiteral("/old/two.wav")}));
}

TEST_F(CustomMusicTest, AClickPlaysTheFileAndTheNextClickTheNext) {
    // The user's own device names choose the decoder.
    settings.midi_devicename = QStringLiteral("MPEGVideo");
    settings.custom_audio_paths[2] = songs + QStringLiteral("Tone.Wav");
    open();

    click(files(), QStringLiteral("Tone.Wav"));
    ASSERT_EQ(fake.loads.size(), 1U);
    EXPECT_EQ(fake.loads.back().file, songs + QStringLiteral("Tone.Wav"));
    EXPECT_EQ(fake.loads.back().decoder, Decoder::Wave);
    EXPECT_TRUE(fake.playing);

    click(files(), QStringLiteral("SONG.MID"));
    ASSERT_EQ(fake.loads.size(), 2U);
    EXPECT_EQ(fake.loaded, songs + QStringLiteral("SONG.MID"));
    EXPECT_EQ(fake.loads.back().decoder, Decoder::Any);
    EXPECT_EQ(fake.plays, 2);
    EXPECT_EQ(dialog->music_control().mode(), kModePlaying);

    // A double click on a chosen file plays it.
    click(chosen(), songs + QStringLiteral("Tone.Wav"), true);
    EXPECT_EQ(fake.loaded, songs + QStringLiteral("Tone.Wav"));
    EXPECT_TRUE(fake.playing);
    EXPECT_EQ(chosen()->count(), 2) << "playing changes no list";
}

TEST_F(CustomMusicTest, AFileClickedWhileAnotherOpensIsTheOnePlaying) {
    open();
    const QString first = songs + QStringLiteral("SONG.MID");
    const QString second = songs + QStringLiteral("bells.mp3");
    // Opening the first lets events run, and the second click among them.
    QMetaObject::invokeMethod(
        dialog.get(), [&] { emit dialog->browsing().file_clicked(second); }, Qt::QueuedConnection);
    emit dialog->browsing().file_clicked(first);
    EXPECT_EQ(fake.files(), (QStringList{first, second}));
    EXPECT_EQ(fake.loaded, second);
    EXPECT_TRUE(fake.playing);
}

TEST_F(CustomMusicTest, AWindowClosedWhileAFileOpensStaysSilent) {
    open();
    QMetaObject::invokeMethod(dialog.get(), &QDialog::reject, Qt::QueuedConnection);
    emit dialog->browsing().file_clicked(songs + QStringLiteral("SONG.MID"));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(fake.playing);
    EXPECT_EQ(dialog->music_control().mode(), kModeNotReady);
    // Nor does a click reaching the closed window play.
    emit dialog->browsing().file_clicked(songs + QStringLiteral("bells.mp3"));
    EXPECT_FALSE(fake.playing);
}

TEST_F(CustomMusicTest, OkStoresTheListInOrderAndTheFolderBrowsedLast) {
    open();
    click(files(), QStringLiteral("bells.mp3"));
    ASSERT_TRUE(fake.playing);
    files()->clearSelection();
    files()->item(3)->setSelected(true);
    files()->item(1)->setSelected(true);
    press("Command1");  // the selected ones, in list order
    press("Command2");
    press("Command2");  // all of them again, though listed already
    const QStringList all = dialog->browsing().all_file_paths();
    ASSERT_EQ(all.size(), 4);
    QListWidget* folders = control<QListWidget>("Dir1");
    click(folders, folders->item(folders->currentRow() - 1));  // the folder above
    EXPECT_EQ(dialog->browsing().folder(), root);

    press("Command3");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(settings.custom_audio_files_total, 2 + 2 + 4 + 4);
    EXPECT_EQ(stored(), QStringList({QStringLiteral("/old/one.mid"), QStringLiteral("/old/two.wav"),
                                     all.at(1), all.at(3)}) +
                            all + all);
    EXPECT_EQ(run.music_folder, root);
    EXPECT_FALSE(fake.playing) << "Ok stops the preview";
}

TEST_F(CustomMusicTest, RemovingTakesExactlyTheSelectedEntriesAndOkWithNoneLeftStoresNone) {
    const QString a = QStringLiteral("/m/a.mid");
    const QString b = QStringLiteral("/m/b.wav");
    settings.custom_audio_files_total = 5;
    settings.custom_audio_paths = {QString(), a, b, a, QStringLiteral("/m/c.mp3"), a};
    open();
    for (int row : {0, 3, 4}) {
        chosen()->item(row)->setSelected(true);
    }
    press("Command5");
    EXPECT_EQ(texts(chosen()), (QStringList{b, a}));
    EXPECT_TRUE(chosen()->selectedItems().isEmpty());

    chosen()->selectAll();
    press("Command5");
    press("Command3");
    EXPECT_EQ(settings.custom_audio_files_total, 0);
    EXPECT_EQ(list_in_use(settings.custom_audio_files_total, settings.custom_audio_paths), 0);
}

TEST_F(CustomMusicTest, CancelAfterChangesLeavesTheStoredList) {
    const QStringList before = stored();
    open();
    press("Command2");
    chosen()->item(0)->setSelected(true);
    press("Command5");
    dialog->browsing().open_folder(root);
    press("Command6");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(stored(), before);
    EXPECT_EQ(run.music_folder, root) << "the folder is remembered all the same";
}

// The window on the real sound system, which writes to a file in real time.
class CustomMusicSoundTest : public CustomMusicTest {
  protected:
    // Listens to a fresh device file from the next window opened on.
    QString listen(const QString& name) {
        output = dir.filePath(name);
        disk_file.reset();  // it puts back what was there before it
        disk_file = std::make_unique<EnvGuard>("SDL_DISKAUDIOFILE", output);
        return output;
    }

    qint64 loud(qint64 from = 0) const { return test::loud_samples(output, from); }
    qint64 written() const { return QFile(output).size(); }

    EnvGuard driver{"SDL_AUDIODRIVER", QStringLiteral("disk")};
    EnvGuard real_time{"SDL_DISKAUDIODELAY", std::nullopt};
    std::unique_ptr<EnvGuard> disk_file;
    QString output;
};

TEST_F(CustomMusicSoundTest, EveryWayOfClosingSilencesThePreview) {
    test::write_file_in(dir, QStringLiteral("songs/long.wav"), test::wave_tone(30.0, 330.0));
    const std::vector<const char*> ways = {"Ok", "Cancel", "close box", "Escape"};
    for (const char* way : ways) {
        SCOPED_TRACE(way);
        dialog.reset();
        listen(QString::fromLatin1(way) + QStringLiteral(".raw"));
        open(nullptr);
        click(files(), QStringLiteral("long.wav"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return loud() > 4 * kDeviceBufferBytes / 2; }, 10000))
            << "the preview sounds";
        ASSERT_EQ(dialog->music_control().mode(), kModePlaying);

        if (way == ways[0]) {
            press("Command3");
        } else if (way == ways[1]) {
            press("Command6");
        } else if (way == ways[2]) {
            dialog->close();
        } else {
            QWidget* focus = dialog->focusWidget();
            QTest::keyClick(focus != nullptr ? focus : dialog.get(), Qt::Key_Escape);
        }
        const qint64 closed_at = written();
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->music_control().mode(), kModeNotReady);
        // The device writes on while the window lives: silence, after the
        // buffer it had in hand.
        ASSERT_TRUE(QTest::qWaitFor([&] { return written() > closed_at + 16 * kDeviceBufferBytes; },
                                    10000));
        EXPECT_EQ(loud(closed_at + 2 * kDeviceBufferBytes), 0);
    }
}

TEST_F(CustomMusicSoundTest, AFileThatCannotBePlayedIsLoggedOnceAndTheNextStillPlays) {
    test::write_file_in(dir, QStringLiteral("songs/garbage.mid"), QByteArray(4000, '\x5a'));
    test::write_file_in(dir, QStringLiteral("songs/tone.wav"), test::wave_tone(2.0, 440.0));
    listen(QStringLiteral("device.raw"));
    const WarningLog log;
    open(nullptr);
    click(files(), QStringLiteral("garbage.mid"));
    click(files(), QStringLiteral("garbage.mid"));
    EXPECT_EQ(log.count_naming(QStringLiteral("garbage.mid")), 1);
    EXPECT_EQ(dialog->music_control().mode(), kModeNotReady);

    click(files(), QStringLiteral("tone.wav"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return loud() > 4 * kDeviceBufferBytes / 2; }, 10000));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(chosen()->count(), 2);
}

}  // namespace
}  // namespace wm
