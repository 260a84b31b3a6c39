// The welcome window: its controls, and the "welcome" setting it saves by
// itself however it closes, in the record and in the settings file, without
// disturbing anything else in that file, or telling the user when the file
// cannot be written.

#include "config_ui/welcome_dialog.h"

#include "assets/window_assets.h"
#include "platform/settings_store.h"
#include "startup/saver_settings.h"
#include "tests/support/test_support.h"
#include "tests/support/window_support.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace wm {
namespace {

// A settings file as a user might leave it: comments, both sections, keys
// of ours and one of nobody's.
const QByteArray kSettingsFile =
    "; edited by hand\n"
    "[Config]\n"
    "install_path=/opt/wintermere/\n"
    "\n"
    "[Options]\n"
    "# the frame rate I like\n"
    "frame_rate=45\n"
    "welcome=@\n"
    "wav_devicename=My Wave = loud\n"
    "someone_elses_key=kept\n";

QByteArray settings_file_with(char welcome) {
    QByteArray text = kSettingsFile;
    return text.replace('@', welcome);
}

enum class Closing { ContinueButton, CloseBox, Escape };

class WelcomeTest : public testing::Test {
  protected:
    QString settings_path() const {
        return home.config_home() + QStringLiteral("/Quillory Wintermere/settings.ini");
    }

    void write_settings(char welcome) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(settings_path()).absolutePath()));
        ASSERT_TRUE(test::write_file(settings_path(), settings_file_with(welcome)));
    }

    void open() {
        store = std::make_unique<IniSettingsStore>();
        settings = load_settings(*store);
        dialog = std::make_unique<WelcomeDialog>(settings, *store);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }

    QCheckBox* check_box() { return dialog->findChild<QCheckBox*>(QStringLiteral("Check1")); }

    void close_by(Closing way) {
        switch (way) {
            case Closing::ContinueButton:
                QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Command1")),
                                  Qt::LeftButton);
                break;
            case Closing::CloseBox:
                dialog->close();  // the close event the window system sends
                break;
            case Closing::Escape:
                QTest::keyClick(dialog.get(), Qt::Key_Escape);
                break;
        }
        EXPECT_FALSE(dialog->isVisible());
    }

    // Unticks the box and continues on a store that cannot be written.
    void expect_reported_and_kept() {
        test::MessageCapture messages;
        open();
        check_box()->setChecked(false);
        close_by(Closing::ContinueButton);
        EXPECT_EQ(settings.welcome, 0);
        ASSERT_EQ(messages.messages().size(), 1u);
        const Message shown = messages.messages()[0];
        EXPECT_EQ(shown.caption, QStringLiteral("Wintermere"));
        EXPECT_TRUE(shown.text.startsWith(QStringLiteral("Your settings could not be saved: ")))
            << shown.text.toStdString();
        // The same report as a save of the whole record on the same store.
        messages.clear();
        EXPECT_FALSE(save_settings(settings, *store));
        ASSERT_EQ(messages.messages().size(), 1u);
        EXPECT_EQ(messages.messages()[0].text, shown.text);
    }

    test::ScratchHome home;
    std::unique_ptr<IniSettingsStore> store;
    SaverSettings settings;
    std::unique_ptr<WelcomeDialog> dialog;
};

TEST_F(WelcomeTest, ShowsEveryControlWithTheBoxTicked) {
    write_settings('0');
    open();
    EXPECT_EQ(dialog->objectName(), QStringLiteral("frm_welcome"));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Welcome To Wintermere"));
    test::expect_controls(
        *dialog,
        {
            {"Picture1", "QLabel", {}, {}},
            {"Label4", "QLabel", {}, {}},
            {"Label4_2",
             "QLabel",
             QStringLiteral(
                 "This screen saver has several features that you can customize. Including the "
                 "ability to add your own pictures, add your own music files, display custom "
                 "captions, change how long each scene is displayed, change the speed of the "
                 "animation, and more! Click on More Options from the configuration screen to "
                 "edit these settings."),
             {}},
            {"Label2", "QLabel", QStringLiteral("Click on \"More Options\""), {}},
            {"Check1", "QCheckBox", QStringLiteral("Display This Screen Next Time"), {}},
            {"Command1", "QPushButton", QStringLiteral("&Continue..."), {}},
        });
    EXPECT_TRUE(dialog->findChild<QLabel*>(QStringLiteral("Label4"))
                    ->text()
                    .contains(QLatin1String("screen saver")));
    EXPECT_TRUE(check_box()->isChecked());
    EXPECT_TRUE(dialog->findChild<QPushButton*>(QStringLiteral("Command1"))->isDefault());
    const QPixmap shown = dialog->findChild<QLabel*>(QStringLiteral("Picture1"))->pixmap();
    EXPECT_FALSE(shown.isNull());
    // At its window size, whatever the display's density.
    EXPECT_EQ(shown.deviceIndependentSize().toSize(),
              window_picture(WindowPicture::Welcome).size() / kWindowPictureScale);
}

TEST_F(WelcomeTest, EveryWayOfClosingSavesTheBoxAloneAtOnce) {
    for (const Closing way : {Closing::ContinueButton, Closing::CloseBox, Closing::Escape}) {
        for (const bool ticked : {false, true}) {
            SCOPED_TRACE(testing::Message() << "closing " << static_cast<int>(way)
                                            << (ticked ? ", ticked" : ", unticked"));
            // The file starts with the other value, so that the write shows.
            write_settings(ticked ? '0' : '1');
            test::MessageCapture messages;
            open();
            check_box()->setChecked(ticked);
            close_by(way);

            const char expected = ticked ? '1' : '0';
            EXPECT_EQ(settings.welcome, ticked ? 1 : 0);
            // Byte for byte the file as it was, but for the one value.
            EXPECT_EQ(test::read_file(settings_path()), settings_file_with(expected));
            EXPECT_TRUE(messages.messages().empty());
            EXPECT_EQ(load_settings(IniSettingsStore()).welcome, ticked ? 1 : 0);
        }
    }
}

// Where the settings file should be there is a folder: a file that cannot
// be read is never written over.
TEST_F(WelcomeTest, ASettingsPathThatIsAFolderIsReportedAndTheRecordKeepsTheValue) {
    ASSERT_TRUE(QDir().mkpath(settings_path()));
    expect_reported_and_kept();
}

// A file stands where the settings folder should be made.
TEST_F(WelcomeTest, ASettingsFolderThatCannotBeMadeIsReportedAndTheRecordKeepsTheValue) {
    ASSERT_TRUE(QDir().mkpath(home.config_home()));
    ASSERT_TRUE(test::write_file(QFileInfo(settings_path()).absolutePath(), "not a folder"));
    expect_reported_and_kept();
}

}  // namespace
}  // namespace wm
