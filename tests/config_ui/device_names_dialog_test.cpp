// The device type names window: its controls, the record following every
// keystroke (an emptied box included), and "&Defaults" taking effect at once.

#include "config_ui/device_names_dialog.h"

#include "startup/saver_settings.h"
#include "tests/support/window_support.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <utility>

namespace wm {
namespace {

class DeviceNamesTest : public testing::Test {
  protected:
    DeviceNamesTest() {
        settings.midi_devicename = QStringLiteral("Synth");
        settings.wav_devicename = QString();
        settings.mp3_devicename = QStringLiteral("Decoder");
        dialog = std::make_unique<DeviceNamesDialog>(settings);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }

    template <class T = QLineEdit>
    T* control(const char* name) {
        return test::control<T>(*dialog, name);
    }

    SaverSettings settings;
    std::unique_ptr<DeviceNamesDialog> dialog;
};

TEST_F(DeviceNamesTest, ShowsEveryControlWithTheRecordsNames) {
    EXPECT_EQ(dialog->objectName(), QStringLiteral("frm_devicenames"));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Audio Device Types"));
    test::expect_controls(
        *dialog,
        {
            {"Label1", "QLabel", QStringLiteral("Midi  Music File (*.mid, *.rmi)"), {}},
            {"Label2", "QLabel", QStringLiteral("Wav Files (*.wav)"), {}},
            {"Label3", "QLabel", QStringLiteral("MP3 Music Files (*.mp3)"), {}},
            {"Label4",
             "QLabel",
             QStringLiteral("These are the \"DeviceType\" internal names used by the multimedia "
                            "settings in your computer. If you are not sure what the internal "
                            "device type name is, please contact your computer maker."),
             {}},
            {"Text1", "QLineEdit", QStringLiteral("Synth"), {}},
            {"Text2", "QLineEdit", QString(""), {}},
            {"Text3", "QLineEdit", QStringLiteral("Decoder"), {}},
            {"Command1", "QPushButton", QStringLiteral("&Defaults"), {}},
            {"Command2", "QPushButton", QStringLiteral("&Ok"), {}},
        });
    EXPECT_TRUE(control<QLabel>("Label4")->wordWrap());
    EXPECT_EQ(control<QLabel>("Label1")->buddy(), control("Text1"));
    EXPECT_EQ(control<QLabel>("Label2")->buddy(), control("Text2"));
    EXPECT_EQ(control<QLabel>("Label3")->buddy(), control("Text3"));
    EXPECT_TRUE(control<QPushButton>("Command2")->isDefault());
}

TEST_F(DeviceNamesTest, EveryKeystrokeReachesTheRecordDownToAnEmptyName) {
    const std::pair<const char*, QString SaverSettings::*> boxes[] = {
        {"Text1", &SaverSettings::midi_devicename},
        {"Text2", &SaverSettings::wav_devicename},
        {"Text3", &SaverSettings::mp3_devicename}};
    for (const auto& [name, setting] : boxes) {
        SCOPED_TRACE(name);
        QLineEdit* box = control(name);
        box->setFocus();
        QString expected = settings.*setting;
        for (const QChar c : QStringLiteral("Dev 9")) {
            QTest::keyClicks(box, QString(c));
            expected += c;
            EXPECT_EQ(settings.*setting, expected);
        }
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        EXPECT_EQ(settings.*setting, QString());
    }
}

TEST_F(DeviceNamesTest, DefaultsTakeEffectAtOnceAndEnterIsOk) {
    QTest::mouseClick(control<QPushButton>("Command1"), Qt::LeftButton);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(settings.midi_devicename, QStringLiteral("Sequencer"));
    EXPECT_EQ(settings.wav_devicename, QStringLiteral("WaveAudio"));
    EXPECT_EQ(settings.mp3_devicename, QStringLiteral("MPEGVideo"));
    EXPECT_EQ(control("Text1")->text(), QStringLiteral("Sequencer"));
    EXPECT_EQ(control("Text2")->text(), QStringLiteral("WaveAudio"));
    EXPECT_EQ(control("Text3")->text(), QStringLiteral("MPEGVideo"));

    // Enter in a box is "&Ok", the default button, not "&Defaults" again.
    control("Text2")->setFocus();
    QTest::keyClicks(control("Text2"), QStringLiteral("2"));
    QTest::keyClick(control("Text2"), Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(settings.wav_devicename, QStringLiteral("WaveAudio2"));
}

}  // namespace
}  // namespace wm
