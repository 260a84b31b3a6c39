#include "startup/saver_settings.h"

#include "platform/settings_store.h"
#include "tests/support/test_support.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

#include <gtest/gtest.h>

namespace wm {
namespace {

// A store that counts the look-ups made through it.
class CountingStore : public SettingsStore {
  public:
    explicit CountingStore(const SettingsStore& inner) : inner_(inner) {}
    std::optional<QString> read(const QString& section, const QString& key) const override {
        ++reads;
        return inner_.read(section, key);
    }
    QStringList keys(const QString& section) const override { return inner_.keys(section); }
    bool write(const QString&, const SettingValues&, QString*) override { return false; }

    mutable int reads = 0;

  private:
    const SettingsStore& inner_;
};

class SaverSettingsTest : public ::testing::Test {
  protected:
    QString user_file() const {
        return home_.config_home() + QStringLiteral("/Quillory Wintermere/settings.ini");
    }
    // A store whose user file holds exactly these lines.
    IniSettingsStore store_with(const QByteArray& lines) {
        QDir().mkpath(QFileInfo(user_file()).absolutePath());
        EXPECT_TRUE(test::write_file(user_file(), lines));
        return IniSettingsStore();
    }
    test::ScratchHome home_;
};

TEST_F(SaverSettingsTest, AFreshStoreGivesEveryDefault) {
    const SaverSettings s = load_settings(IniSettingsStore());
    EXPECT_EQ(s.sprite_active, 8);
    EXPECT_EQ(s.frame_rate, 30);
    EXPECT_EQ(s.mouse_sensitivity, 7);
    EXPECT_EQ(s.scene_duration, 20);
    EXPECT_EQ(s.scale_background, 1);
    EXPECT_EQ(s.show_time, 1);
    EXPECT_EQ(s.welcome, 1);
    EXPECT_EQ(s.mute_audio + s.random_music + s.custom_music_flag + s.random_pictures +
                  s.custom_picture_flag + s.save_wallpaper + s.objects_off,
              0);
    EXPECT_EQ(s.captions_color, 15);
    EXPECT_EQ(s.captions_size, 30);
    EXPECT_EQ(s.captions_bold, 1);
    EXPECT_EQ(s.captions_italic, 1);
    EXPECT_EQ(s.captions_random + s.captions_off, 0);
    EXPECT_EQ(s.wav_devicename, QStringLiteral("WaveAudio"));
    EXPECT_EQ(s.midi_devicename, QStringLiteral("Sequencer"));
    EXPECT_EQ(s.mp3_devicename, QStringLiteral("MPEGVideo"));
    EXPECT_EQ(s.custom_audio_files_total, 0);
    EXPECT_EQ(s.custom_picture_files_total, 0);
    ASSERT_EQ(s.captions_total, 5);
    EXPECT_EQ(s.captions[1], QStringLiteral("Merry Christmas"));
    EXPECT_EQ(s.captions[2], QStringLiteral("You can edit these captions!"));
    EXPECT_EQ(s.captions[3], QStringLiteral("Have A Safe Holiday Season"));
    EXPECT_EQ(s.captions[4], QStringLiteral("Happy New Year!"));
    EXPECT_EQ(s.captions[5], QStringLiteral("Have You Been Good?"));
    EXPECT_EQ(s.captions.size(), 501u);
}

TEST_F(SaverSettingsTest, CountsDecideHowManyEntriesAreRead) {
    const SaverSettings s = load_settings(
        store_with("[Options]\ncaptions_total=3\ncaption1=one\ncaption2=two\ncaption3=three\n"
                   "caption4=four\ncaption5=five\n"
                   "custom_audio_files_total=3\ncustom_audio_paths1=/m/a.mid\ncustom_audio_paths3=/"
                   "m/c.wav\n"));
    ASSERT_EQ(s.captions_total, 3);
    EXPECT_EQ(s.captions[3], QStringLiteral("three"));
    EXPECT_EQ(s.captions[4], QString());
    ASSERT_EQ(s.custom_audio_files_total, 3);
    ASSERT_EQ(s.custom_audio_paths.size(), 4u);
    EXPECT_EQ(s.custom_audio_paths[1], QStringLiteral("/m/a.mid"));
    EXPECT_EQ(s.custom_audio_paths[2], QString());  // a missing position reads as empty
    EXPECT_EQ(s.custom_audio_paths[3], QStringLiteral("/m/c.wav"));

    const SaverSettings none =
        load_settings(store_with("[Options]\ncaptions_total=0\ncaption1=x\n"));
    EXPECT_EQ(none.captions_total, 0);  // an emptied list stays empty
    EXPECT_EQ(none.captions[1], QString());
}

TEST_F(SaverSettingsTest, LoweringACountKeepsTheOldKeysButLoadsNoMore) {
    IniSettingsStore store;
    SaverSettings s = load_settings(store);
    s.captions_total = 10;
    for (int n = 1; n <= 10; ++n) {
        s.captions[static_cast<size_t>(n)] = QStringLiteral("caption number %1").arg(n);
    }
    ASSERT_TRUE(save_settings(s, store));
    s.captions_total = 4;
    ASSERT_TRUE(save_settings(s, store));

    const IniSettingsStore reread;
    EXPECT_EQ(reread.read(kOptionsSection, QStringLiteral("caption10")),
              QStringLiteral("caption number 10"));
    const SaverSettings loaded = load_settings(reread);
    EXPECT_EQ(loaded.captions_total, 4);
    EXPECT_EQ(loaded.captions[4], QStringLiteral("caption number 4"));
    EXPECT_EQ(loaded.captions[5], QString());
}

TEST_F(SaverSettingsTest, EverySettingRoundTripsThroughSaveAndLoad) {
    IniSettingsStore store;
    SaverSettings s;
    s.sprite_active = 20;
    s.frame_rate = 60;
    s.mute_audio = 1;
    s.random_music = 1;
    s.custom_music_flag = 1;
    s.random_pictures = 1;
    s.custom_picture_flag = 1;
    s.save_wallpaper = 1;
    s.mouse_sensitivity = 50;
    s.scene_duration = 180;
    s.objects_off = 1;
    s.scale_background = 0;
    s.show_time = 0;
    s.wav_devicename = QStringLiteral(" Wave, Audio ");
    s.midi_devicename = QStringLiteral("Séquenceur");
    s.mp3_devicename = QStringLiteral("\"MPEG\"=Video;");
    s.custom_audio_files_total = 2;
    s.custom_audio_paths = {QString(), QStringLiteral("/home/me/Music/Jingle, Bells.mid"),
                            QStringLiteral("/home/me/Music/  spaced  .wav ")};
    s.custom_picture_files_total = 1;
    s.custom_picture_paths = {QString(), QStringLiteral("/home/me/Bilder/Schnee=weiß;1.jpg")};
    s.captions_color = 0;
    s.captions_size = 80;
    s.captions_bold = 0;
    s.captions_italic = 0;
    s.captions_random = 1;
    s.captions_off = 1;
    s.captions_total = 3;
    s.captions[1] = QStringLiteral("  Frohe Weihnachten!  ");
    s.captions[2] = QStringLiteral("\"Ho, ho; ho\" = Santa");
    s.captions[3] = QStringLiteral("メリークリスマス ❄");
    ASSERT_TRUE(save_settings(s, store));

    const SaverSettings l = load_settings(IniSettingsStore());
    EXPECT_EQ(l.sprite_active, 20);
    EXPECT_EQ(l.frame_rate, 60);
    EXPECT_EQ(l.mute_audio + l.random_music + l.custom_music_flag + l.random_pictures +
                  l.custom_picture_flag + l.save_wallpaper + l.objects_off,
              7);
    EXPECT_EQ(l.mouse_sensitivity, 50);
    EXPECT_EQ(l.scene_duration, 180);
    EXPECT_EQ(l.scale_background, 0);
    EXPECT_EQ(l.show_time, 0);
    EXPECT_EQ(l.wav_devicename, s.wav_devicename);
    EXPECT_EQ(l.midi_devicename, s.midi_devicename);
    EXPECT_EQ(l.mp3_devicename, s.mp3_devicename);
    EXPECT_EQ(l.custom_audio_paths, s.custom_audio_paths);
    EXPECT_EQ(l.custom_picture_paths, s.custom_picture_paths);
    EXPECT_EQ(l.captions_color, 0);
    EXPECT_EQ(l.captions_size, 80);
    EXPECT_EQ(l.captions_bold + l.captions_italic, 0);
    EXPECT_EQ(l.captions_random + l.captions_off, 2);
    EXPECT_EQ(l.captions, s.captions);
}

TEST_F(SaverSettingsTest, SavingWritesTheKeysInOrderAndLeavesWelcomeAndInstallPathAlone) {
    IniSettingsStore store = store_with("[Config]\ninstall_path=/opt/wm/\n[Options]\nwelcome=0\n");
    SaverSettings s = load_settings(store);
    s.welcome = 1;
    s.custom_audio_files_total = 1;
    s.custom_audio_paths = {QString(), QStringLiteral("/a.mid")};
    s.captions_total = 1;
    ASSERT_TRUE(save_settings(s, store));

    const QByteArray written = test::read_file(user_file());
    EXPECT_TRUE(written.startsWith("[Config]\ninstall_path=/opt/wm/\n[Options]\nwelcome=0\n"));
    const char* order[] = {"frame_rate=",
                           "mute_audio=",
                           "random_music=",
                           "random_pictures=",
                           "custom_music_flag=",
                           "custom_picture_flag=",
                           "save_wallpaper=",
                           "mouse_sensitivity=",
                           "scene_duration=",
                           "objects_off=",
                           "scale_background=",
                           "sprite_active=",
                           "show_time=",
                           "wav_devicename=",
                           "midi_devicename=",
                           "mp3_devicename=",
                           "custom_audio_files_total=1",
                           "custom_audio_paths1=/a.mid",
                           "custom_picture_files_total=0",
                           "captions_color=",
                           "captions_size=",
                           "captions_bold=",
                           "captions_italic=",
                           "captions_random=",
                           "captions_off=",
                           "captions_total=1",
                           "caption1=Merry Christmas"};
    qsizetype last = -1;
    for (const char* key : order) {
        const qsizetype at = written.indexOf(QByteArray("\n") + key);
        EXPECT_GT(at, last) << key;
        last = at;
    }
    EXPECT_FALSE(written.contains("caption2="));
    EXPECT_EQ(written.count("welcome="), 1);
}

TEST_F(SaverSettingsTest, StoredValuesOutsideTheirRangesAreBroughtBackIntoThem) {
    const SaverSettings low = load_settings(store_with(
        "[Options]\nframe_rate=-5\nscene_duration=0\nmouse_sensitivity=-100\nsprite_active=0\n"
        "captions_size=1\ncaptions_color=-1\n"));
    EXPECT_EQ(low.frame_rate, 10);
    EXPECT_EQ(low.scene_duration, 10);
    EXPECT_EQ(low.mouse_sensitivity, 2);
    EXPECT_EQ(low.sprite_active, 1);
    EXPECT_EQ(low.captions_size, 8);
    EXPECT_EQ(low.captions_color, 0);

    const SaverSettings high = load_settings(store_with(
        "[Options]\nframe_rate=99999999999999\nscene_duration=100000\nmouse_sensitivity=51\n"
        "sprite_active=21\ncaptions_size=500\ncaptions_color=16\ncaptions_total=900\n"));
    EXPECT_EQ(high.frame_rate, 60);
    EXPECT_EQ(high.scene_duration, 180);
    EXPECT_EQ(high.mouse_sensitivity, 50);
    EXPECT_EQ(high.sprite_active, 20);
    EXPECT_EQ(high.captions_size, 80);
    EXPECT_EQ(high.captions_color, 15);
    EXPECT_EQ(high.captions_total, 500);
    EXPECT_EQ(high.captions.size(), 501u);
}

TEST_F(SaverSettingsTest, UnusableTextTakesTheDefault) {
    const SaverSettings s = load_settings(store_with(
        "[Options]\nframe_rate=fast\nscene_duration=\nshow_time=7\nobjects_off=-1\n"
        "mute_audio=yes\nsprite_active= 12 \nmouse_sensitivity=9.5\ncaptions_total=lots\n"
        "custom_audio_files_total=many\n"));
    EXPECT_EQ(s.frame_rate, 30);
    EXPECT_EQ(s.scene_duration, 20);
    EXPECT_EQ(s.show_time, 7);  // a flag keeps its number: only 1 counts as set
    EXPECT_EQ(s.objects_off, -1);
    EXPECT_EQ(s.mute_audio, 0);
    EXPECT_EQ(s.sprite_active, 12);
    EXPECT_EQ(s.mouse_sensitivity, 10);  // 9.5 rounds half to even
    EXPECT_EQ(s.captions_total, 5);      // unusable: the defaults
    EXPECT_EQ(s.custom_audio_files_total, 0);
}

TEST_F(SaverSettingsTest, AnAbsurdCountNeverAllocatesForEntriesThatDoNotExist) {
    const SaverSettings s = load_settings(store_with(
        "[Options]\ncustom_picture_files_total=2000000000\ncustom_picture_paths1=/p/one.jpg\n"
        "custom_picture_paths2=/p/two.jpg\ncustom_picture_paths02=/p/ignored.jpg\n"
        "custom_picture_paths1999999999=/p/far.jpg\n"
        "custom_audio_files_total=-3\ncaptions_total=-7\n"));
    ASSERT_EQ(s.custom_picture_files_total, 2);
    ASSERT_EQ(s.custom_picture_paths.size(), 3u);
    EXPECT_EQ(s.custom_picture_paths[2], QStringLiteral("/p/two.jpg"));
    EXPECT_EQ(s.custom_audio_files_total, 0);
    EXPECT_EQ(s.captions_total, 5);
}

TEST_F(SaverSettingsTest, AStoreThatCannotBeWrittenIsReportedAndTheSettingsKept) {
    const QString blocked = home_.path() + QStringLiteral("/blocked");
    ASSERT_TRUE(test::write_file(blocked, "x"));
    IniSettingsStore store(blocked + QStringLiteral("/settings.ini"), {});
    SaverSettings s;
    s.frame_rate = 44;
    test::MessageCapture messages;
    EXPECT_FALSE(save_settings(s, store));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].caption, QStringLiteral("Wintermere"));
    EXPECT_TRUE(
        messages.messages()[0].text.startsWith(QStringLiteral("Your settings could not be saved")));
    EXPECT_EQ(s.frame_rate, 44);
}

TEST_F(SaverSettingsTest, APathologicalFileLoadsAsWritten) {
    // The largest counts there may be, a thousand small sections around the
    // few entries there are, entries in several [Options] blocks (the first
    // occurrence counts, whatever the letter case), entries past the count,
    // and the system's copy beneath: every entry where it belongs, looked up
    // once for each key the files hold, however large the counts.
    QByteArray text =
        "[Options]\ncustom_audio_files_total=100000\ncustom_picture_files_total=100000\n"
        "captions_total=500\ncustom_audio_paths1=/m/first.mid\n";
    for (int i = 0; i < 1000; ++i) {
        text += "[section" + QByteArray::number(i) + "]\nk=v\n";
        if (i == 500) {
            text +=
                "[options]\nCUSTOM_AUDIO_PATHS1=/m/second.mid\ncustom_audio_paths100000=/m/"
                "last.mid\nCaption500=last caption\ncustom_picture_paths100001=/p/past.jpg\n"
                "custom_picture_paths050=/p/not-a-position.jpg\n";
        }
    }
    QDir().mkpath(home_.system_config() + QStringLiteral("/Quillory Wintermere"));
    ASSERT_TRUE(test::write_file(
        home_.system_config() + QStringLiteral("/Quillory Wintermere/settings.ini"),
        "[Options]\ncustom_picture_paths99999=/p/system.jpg\ncustom_audio_paths1=/m/system.mid\n"));
    const IniSettingsStore store = store_with(text);
    const CountingStore counting(store);
    const SaverSettings s = load_settings(counting);
    // The options themselves and the dozen list entries stored, not a
    // look-up for every position up to the counts.
    EXPECT_LE(counting.reads, 100);
    ASSERT_EQ(s.custom_audio_files_total, 100000);
    ASSERT_EQ(s.custom_audio_paths.size(), 100001u);
    EXPECT_EQ(s.custom_audio_paths[1], QStringLiteral("/m/first.mid"));
    EXPECT_EQ(s.custom_audio_paths[2], QString());
    EXPECT_EQ(s.custom_audio_paths[100000], QStringLiteral("/m/last.mid"));
    ASSERT_EQ(s.custom_picture_files_total, 100000);
    ASSERT_EQ(s.custom_picture_paths.size(), 100001u);
    EXPECT_EQ(s.custom_picture_paths[99999], QStringLiteral("/p/system.jpg"));
    EXPECT_EQ(s.custom_picture_paths[50], QString());
    const auto stored = std::count_if(s.custom_picture_paths.begin(), s.custom_picture_paths.end(),
                                      [](const QString& path) { return !path.isEmpty(); });
    EXPECT_EQ(stored, 1);
    ASSERT_EQ(s.captions_total, 500);
    EXPECT_EQ(s.captions[500], QStringLiteral("last caption"));
    EXPECT_EQ(s.captions[1], QString());
}

TEST_F(SaverSettingsTest, SettingsSavedIntoAFileWithMixedLineEndsAreReadBack) {
    // A hand-edited file that went through text-mode conversions: every
    // kind of line end, a value followed by a stray CR.
    IniSettingsStore store = store_with(
        "[Config]\r\r\ninstall_path=/opt/wm/\r\n"
        "[Options]\r\r\nframe_rate=45\rcaption1=Snow\r\r\ncaptions_total=1\n");
    SaverSettings s = load_settings(store);
    EXPECT_EQ(s.frame_rate, 45);
    ASSERT_EQ(s.captions_total, 1);
    EXPECT_EQ(s.captions[1], QStringLiteral("Snow"));
    for (const int rate : {50, 12, 60}) {
        s.frame_rate = rate;
        ASSERT_TRUE(save_settings(s, store));
        const SaverSettings loaded = load_settings(IniSettingsStore());
        EXPECT_EQ(loaded.frame_rate, rate);
        EXPECT_EQ(loaded.captions[1], QStringLiteral("Snow"));
    }
    EXPECT_EQ(test::read_file(user_file()).count("[Options]"), 1);
    EXPECT_EQ(IniSettingsStore().read(kConfigSection, QStringLiteral("install_path")),
              QStringLiteral("/opt/wm/"));
}

TEST(CaptionPalette, HoldsTheSixteenColours) {
    EXPECT_EQ(caption_color(0), QColor(0, 0, 0));
    EXPECT_EQ(caption_color(1), QColor(0, 0, 128));
    EXPECT_EQ(caption_color(6), QColor(128, 128, 0));
    EXPECT_EQ(caption_color(7), QColor(192, 192, 192));
    EXPECT_EQ(caption_color(8), QColor(128, 128, 128));
    EXPECT_EQ(caption_color(11), QColor(0, 255, 255));
    EXPECT_EQ(caption_color(15), QColor(255, 255, 255));
    EXPECT_EQ(caption_color(99), QColor(255, 255, 255));
}

}  // namespace
}  // namespace wm
