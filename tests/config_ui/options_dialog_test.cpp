// The options window: every control with its caption, range and tooltip,
// each writing its setting at once; the selection windows opened by the
// option groups with the fall-back to the built-in media; the test run; and
// the settings saved however the window closes.

#include "config_ui/options_dialog.h"

#include "tests/config_ui/configuration_fixture.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

#include <memory>

namespace wm {
namespace {

class OptionsTest : public test::ConfigurationTest {
  protected:
    OptionsDialog& open() {
        dialog = std::make_unique<OptionsDialog>(context());
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return *dialog;
    }
    template <class T>
    T* control(const char* name) {
        return test::control<T>(*dialog, name);
    }
    void click(const char* name) {
        auto* button = control<QAbstractButton>(name);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
    }

    std::unique_ptr<OptionsDialog> dialog;
};

TEST_F(OptionsTest, EveryControlHasItsCaptionAndTooltip) {
    open();
    EXPECT_EQ(dialog->objectName(), QStringLiteral("frmOptions"));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Wintermere - Configuration"));
    const auto s = [](const char* text) { return QString::fromUtf8(text); };
    test::expect_controls(
        *dialog,
        {
            {"Frame1", "QGroupBox", s("Audio Properties"), {}},
            {"Option1_0", "QRadioButton", s("Use Original Included Music"),
             s("Use the original included music files for this screen saver")},
            {"Option1_1", "QRadioButton", s("Select Music Files From Your System"),
             s("Select a custom list of music files from your system to play during the screen "
               "saver")},
            {"Check1", "QCheckBox", s("Play Music Files In A Random Order"),
             s("Check this box to play the music fles in a random order during the screen saver")},
            {"Check2", "QCheckBox", s("Mute All Audio"),
             s("Check this box to turn all audio OFF during the screen saver")},
            {"Command1", "QPushButton", s("&Device Types"),
             s("Click here to edit the MCI Device Type Names for your audio files")},
            {"Frame2", "QGroupBox", s("Target Frame Rate Of Animation"), {}},
            {"Label2", "QLabel", s("Slower"), {}},
            {"Label3", "QLabel", s("Faster"), {}},
            {"Label4",
             "QLabel",
             s("If the animation appears jerky or too fast, you can fine tune the frame rate so "
               "it runs at a constant speed."),
             {}},
            {"HScroll1", "QScrollBar", {}, {}},
            {"Label1", "QLabel", s("30 Frames Per Second"), {}},
            {"Frame3", "QGroupBox", s("Mouse Sensitivity To Exit"), {}},
            {"Label5", "QLabel", s("More Sensitive"), {}},
            {"Label6", "QLabel", s("Less Sensitive"), {}},
            {"Label7",
             "QLabel",
             s("You can adjust how sensitive your mouse moves will be to cause the screen saver "
               "to exit."),
             {}},
            {"HScroll2", "QScrollBar", {}, {}},
            {"Frame4", "QGroupBox", s("Scene Properties"), {}},
            {"Check3", "QCheckBox", s("Turn Off Animated Objects"),
             s("Check this box to display the scene images only. (No animated objects)")},
            {"Label8", "QLabel", s("How Long To Display Each Scene?"), {}},
            {"Label9", "QLabel", s("Shorter"), {}},
            {"Label10", "QLabel", s("Longer"), {}},
            {"HScroll3", "QScrollBar", {}, {}},
            {"Label11", "QLabel", s("How Many Animated Objects?"), {}},
            {"Label12", "QLabel", s("Less"), {}},
            {"Label13", "QLabel", s("More"), {}},
            {"HScroll4", "QScrollBar", {}, {}},
            {"Frame5", "QGroupBox", s("Image Properties"), {}},
            {"Check4", "QCheckBox", s("Scale Images To Full Screen"),
             s("Check this box to stretch the background images to full screen")},
            {"Option2_0", "QRadioButton", s("Use Original Included Images"),
             s("Use the original included images with this screen saver")},
            {"Option2_1", "QRadioButton", s("Select Images From Your System"),
             s("Select a custom list of image files from your system to display during the "
               "screen saver")},
            {"Check5", "QCheckBox", s("Display Images In A Random Order"),
             s("Check this box to display the image fles in a random order during the screen "
               "saver")},
            {"Check6", "QCheckBox", s("Show Time Of Day"),
             s("Check this box to display the time of day during the screen saver")},
            {"Check7", "QCheckBox", s("Save As Wallpaper When Exiting"),
             s("Check this box to save the screen saver image as wallpaper when exiting the "
               "screen saver")},
            {"Check8", "QCheckBox", s("Turn Off Captions"),
             s("Check this box to turn off captions")},
            {"Command2", "QPushButton", s("Edit &Captions"),
             s("Click here to edit the captions that appear over each scene")},
            {"Command3", "QPushButton", s("&Preview"), s("Click here to preview the screen saver")},
            {"Command4", "QPushButton", s("&Ok"), s("Click here to exit this screen")},
        });
    struct Bar {
        const char* name;
        int low, high, small, large;
    };
    for (const Bar& b : {Bar{"HScroll1", 10, 60, 5, 10}, Bar{"HScroll2", 2, 50, 2, 5},
                         Bar{"HScroll3", 10, 180, 5, 10}, Bar{"HScroll4", 1, 20, 1, 10}}) {
        SCOPED_TRACE(b.name);
        const auto* bar = control<QScrollBar>(b.name);
        EXPECT_EQ(bar->minimum(), b.low);
        EXPECT_EQ(bar->maximum(), b.high);
        EXPECT_EQ(bar->singleStep(), b.small);
        EXPECT_EQ(bar->pageStep(), b.large);
        EXPECT_EQ(bar->orientation(), Qt::Horizontal);
    }
    EXPECT_TRUE(control<QPushButton>("Command4")->isDefault());
}

TEST_F(OptionsTest, OpensOnTheSettingsWithoutOpeningTheSelectionWindows) {
    state.settings.custom_music_flag = 1;
    state.settings.custom_picture_flag = 1;
    state.settings.frame_rate = 10;  // the bar's own first value
    state.settings.scene_duration = 45;
    state.settings.mute_audio = 1;
    state.settings.show_time = 0;
    test::ModalAnswerer answerer(test::reject);
    open();
    QTest::qWait(100);
    EXPECT_TRUE(answerer.titles().isEmpty());
    EXPECT_TRUE(control<QRadioButton>("Option1_1")->isChecked());
    EXPECT_TRUE(control<QRadioButton>("Option2_1")->isChecked());
    EXPECT_EQ(control<QLabel>("Label1")->text(), QStringLiteral("10 Frames Per Second"));
    EXPECT_EQ(control<QScrollBar>("HScroll3")->value(), 45);
    EXPECT_TRUE(control<QCheckBox>("Check2")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("Check6")->isChecked());
}

TEST_F(OptionsTest, EveryControlWritesItsSettingTheMomentItChanges) {
    open();
    SaverSettings& s = state.settings;
    const std::pair<const char*, int*> boxes[] = {
        {"Check1", &s.random_music},     {"Check2", &s.mute_audio},      {"Check3", &s.objects_off},
        {"Check4", &s.scale_background}, {"Check5", &s.random_pictures}, {"Check6", &s.show_time},
        {"Check7", &s.save_wallpaper},   {"Check8", &s.captions_off}};
    for (const auto& [name, setting] : boxes) {
        SCOPED_TRACE(name);
        const int before = *setting;
        click(name);
        EXPECT_EQ(*setting, 1 - before);
        click(name);
        EXPECT_EQ(*setting, before);
    }
    auto* rate = control<QScrollBar>("HScroll1");
    rate->triggerAction(QAbstractSlider::SliderPageStepAdd);  // a click in the track
    EXPECT_EQ(s.frame_rate, 40);
    EXPECT_EQ(control<QLabel>("Label1")->text(), QStringLiteral("40 Frames Per Second"));
    rate->setSliderDown(true);  // dragging the thumb
    rate->setSliderPosition(55);
    EXPECT_EQ(s.frame_rate, 55);
    rate->setSliderDown(false);
    control<QScrollBar>("HScroll2")->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(s.mouse_sensitivity, 5);
    control<QScrollBar>("HScroll4")->setValue(20);
    EXPECT_EQ(s.sprite_active, 20);
    control<QScrollBar>("HScroll3")->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(s.scene_duration, 180);
}

TEST_F(OptionsTest, AStoredValueBeyondABarsEndsOpensAtTheNearerEndUntilMoved) {
    state.settings.frame_rate = 100;  // a hand-edited or older store
    state.settings.sprite_active = 0;
    open();
    EXPECT_EQ(control<QScrollBar>("HScroll1")->value(), 60);
    EXPECT_EQ(control<QScrollBar>("HScroll4")->value(), 1);
    EXPECT_EQ(state.settings.frame_rate, 100);
    EXPECT_EQ(state.settings.sprite_active, 0);
    control<QScrollBar>("HScroll1")->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(state.settings.frame_rate, 55);
}

// Answers the selection window with its list emptied, or left as it is,
// then "&Ok".
test::ModalAnswerer::Answer close_selection(bool empty_it) {
    return [empty_it](QWidget* modal) {
        if (empty_it) {
            if (auto* list = modal->findChild<QListWidget*>(QStringLiteral("List2"))) {
                list->clear();
            }
        }
        if (auto* ok = modal->findChild<QPushButton*>(QStringLiteral("Command3"))) {
            ok->click();
        } else {
            test::reject(modal);
        }
    };
}

TEST_F(OptionsTest, AnEmptyPictureListFallsBackToTheBuiltInImages) {
    open();
    test::ModalAnswerer answerer(close_selection(true), dialog.get());
    click("Option2_1");
    EXPECT_EQ(answerer.titles(), QStringList{QStringLiteral("Wintermere - Picture Selection")});
    EXPECT_TRUE(control<QRadioButton>("Option2_0")->isChecked());
    EXPECT_EQ(state.settings.custom_picture_flag, 0);
}

TEST_F(OptionsTest, AMusicListKeepsTheChoiceAndADoubleClickOpensItAgain) {
    state.settings.custom_audio_files_total = 1;
    state.settings.custom_audio_paths = {QString(), QStringLiteral("/music/carol.mid")};
    open();
    test::ModalAnswerer answerer(close_selection(false), dialog.get());
    click("Option1_1");
    EXPECT_EQ(answerer.titles(), QStringList{QStringLiteral("Wintermere - Music Selection")});
    EXPECT_TRUE(control<QRadioButton>("Option1_1")->isChecked());
    EXPECT_EQ(state.settings.custom_music_flag, 1);
    QTest::mouseDClick(control<QRadioButton>("Option1_1"), Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(answerer.titles().size(), 2);
    // On the built-in choice a double click opens nothing.
    click("Option1_0");
    EXPECT_EQ(state.settings.custom_music_flag, 0);
    QTest::mouseDClick(control<QRadioButton>("Option1_0"), Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(answerer.titles().size(), 2);
    EXPECT_EQ(answerer.unanswered(), 0);
}

TEST_F(OptionsTest, DeviceTypesAndEditCaptionsOpenTheirWindows) {
    open();
    test::ModalAnswerer answerer(test::reject, dialog.get());
    click("Command1");
    click("Command2");
    EXPECT_EQ(answerer.titles(), (QStringList{QStringLiteral("Audio Device Types"),
                                              QStringLiteral("Wintermere - Edit Captions")}));
}

TEST_F(OptionsTest, TabRunsDownTheLeftColumnThenTheRight) {
    open();
    dialog->activateWindow();
    control<QPushButton>("Command1")->setFocus();
    QStringList chain;
    for (int step = 0; step < 12; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        chain << QApplication::focusWidget()->objectName();
    }
    // The options of a group are one stop: the chosen one.
    EXPECT_EQ(chain,
              (QStringList{
                  QStringLiteral("HScroll1"), QStringLiteral("HScroll2"), QStringLiteral("Check3"),
                  QStringLiteral("HScroll3"), QStringLiteral("HScroll4"), QStringLiteral("Check4"),
                  QStringLiteral("Option2_0"), QStringLiteral("Check5"), QStringLiteral("Check6"),
                  QStringLiteral("Check7"), QStringLiteral("Check8"), QStringLiteral("Command2")}));
}

TEST_F(OptionsTest, PreviewSavesFirstAndRunsTheSaverAsATest) {
    open();
    control<QScrollBar>("HScroll1")->setValue(45);
    click("Command3");
    click("Command3");  // several in a row
    ASSERT_EQ(test_run.settings.size(), 2u);
    EXPECT_EQ(test_run.stored_frame_rate[0], QStringLiteral("45"));
    EXPECT_EQ(test_run.settings[0].frame_rate, 45);
    EXPECT_TRUE(test_run.as_test[0]);
    EXPECT_FALSE(state.run.config_preview);
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(OptionsTest, EveryWayOfClosingSavesTheSettings) {
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        open();
        control<QScrollBar>("HScroll3")->setValue(30 + 10 * way);
        if (way == 0) {
            click("Command4");
        } else if (way == 1) {
            QTest::keyClick(dialog.get(), Qt::Key_Escape);
        } else {
            dialog->close();
        }
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(stored("scene_duration"), QString::number(30 + 10 * way));
    }
}

TEST_F(OptionsTest, AStoreThatCannotBeWrittenIsToldAndTheSettingsStay) {
    ASSERT_TRUE(test::write_file(home.path() + QStringLiteral("/blocked"), "x"));
    IniSettingsStore blocked(home.path() + QStringLiteral("/blocked/settings.ini"), {});
    dialog = std::make_unique<OptionsDialog>(
        ConfigurationContext{state, blocked, test_run, &volumes, nullptr});
    dialog->show();
    control<QScrollBar>("HScroll3")->setValue(77);
    dialog->close();
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(
        messages.texts().first().startsWith(QStringLiteral("Your settings could not be saved")));
    EXPECT_EQ(state.settings.scene_duration, 77);
}

}  // namespace
}  // namespace wm
