// The configuration window: its picture and buttons, the welcome window once
// per opening, the windows and pages it opens, the test run, and the
// settings saved as it closes.

#include "config_ui/configuration_dialog.h"

#include "config_ui/web_pages.h"
#include "tests/config_ui/configuration_fixture.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QUrl>

#include <memory>

namespace wm {
namespace {

class ConfigurationWindowTest : public test::ConfigurationTest {
  protected:
    ConfigurationWindowTest() {
        previous_opener = set_web_page_opener([this](const QUrl& page) {
            opened.append(page);
            return browser_works;
        });
    }
    ~ConfigurationWindowTest() override { set_web_page_opener(previous_opener); }

    ConfigurationDialog& open() {
        dialog = std::make_unique<ConfigurationDialog>(context());
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return *dialog;
    }
    QPushButton* button(const char* name) {
        auto* found = dialog->findChild<QPushButton*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    std::unique_ptr<ConfigurationDialog> dialog;
    WebPageOpener previous_opener;
    QList<QUrl> opened;
    bool browser_works = true;
};

TEST_F(ConfigurationWindowTest, ShowsItsPictureAndTheButtonsInTheirOrder) {
    open();
    EXPECT_EQ(dialog->objectName(), QStringLiteral("frmConfiguration"));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Wintermere - Configuration"));
    test::expect_controls(
        *dialog,
        {{"Image1", "QLabel", {}, {}},
         {"Command1", "QPushButton", QStringLiteral("&About"),
          QStringLiteral("Click here to learn more about this screen saver.")},
         {"Command2", "QPushButton", QStringLiteral("More &Options"),
          QStringLiteral("Click here to learn how to customize this screen saver!")},
         {"Command3", "QPushButton", QStringLiteral("&Preview"),
          QStringLiteral("Click here to preview this screen saver!")},
         {"Command4", "QPushButton", QStringLiteral("&Exit"),
          QStringLiteral("Click here to exit this confiuration screen.")},
         {"Command5", "QPushButton", QStringLiteral("&More Holiday Titles Here"),
          QStringLiteral("Click here to learn about more Holiday oriented software titles.")}});
    const auto* image = dialog->findChild<QLabel*>(QStringLiteral("Image1"));
    ASSERT_NE(image, nullptr);
    EXPECT_FALSE(image->pixmap().isNull());
    // Left to right, in this order.
    int left = -1;
    for (const char* name : {"Command1", "Command2", "Command3", "Command4", "Command5"}) {
        const int x = button(name)->mapTo(dialog.get(), QPoint(0, 0)).x();
        EXPECT_GT(x, left) << name;
        left = x;
    }
}

TEST_F(ConfigurationWindowTest, TheWelcomeWindowGreetsOncePerOpening) {
    state.settings.welcome = 1;
    test::ModalAnswerer answerer(test::press_ok);
    open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return answerer.titles().size() == 1; }, 5000));
    EXPECT_EQ(answerer.titles().first(), QStringLiteral("Welcome To Wintermere"));
    // Shown and activated again: no second greeting.
    dialog->hide();
    dialog->show();
    dialog->activateWindow();
    QTest::qWait(200);
    EXPECT_EQ(answerer.titles().size(), 1);
    // A new opening greets again while "welcome" is still 1.
    open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return answerer.titles().size() == 2; }, 5000));
}

TEST_F(ConfigurationWindowTest, WithoutWelcomeNothingGreets) {
    test::ModalAnswerer answerer(test::press_ok);
    open();
    QTest::qWait(200);
    EXPECT_TRUE(answerer.titles().isEmpty());
}

TEST_F(ConfigurationWindowTest, AboutAndMoreOptionsOpenTheirWindows) {
    open();
    test::ModalAnswerer answerer(test::reject, dialog.get());
    button("Command1")->click();
    button("Command2")->click();
    EXPECT_EQ(answerer.titles(), (QStringList{QStringLiteral("About... Wintermere"),
                                              QStringLiteral("Wintermere - Configuration")}));
}

TEST_F(ConfigurationWindowTest, TheCataloguePageOpensOrTheUserIsTold) {
    open();
    button("Command5")->click();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first(), maker_catalogue_page());
    EXPECT_TRUE(messages.messages().empty());
    browser_works = false;
    button("Command5")->click();
    EXPECT_EQ(messages.texts(),
              QStringList{QStringLiteral("Shell Execute Error. (No default browser?)")});
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(ConfigurationWindowTest, PreviewSavesFirstAndRunsAsATest) {
    state.settings.frame_rate = 25;
    open();
    button("Command3")->click();
    ASSERT_EQ(test_run.settings.size(), 1u);
    EXPECT_EQ(test_run.stored_frame_rate[0], QStringLiteral("25"));
    EXPECT_TRUE(test_run.as_test[0]);
    EXPECT_FALSE(state.run.config_preview);
}

TEST_F(ConfigurationWindowTest, ClosingSavesTheSettings) {
    state.settings.sprite_active = 13;
    open();
    button("Command4")->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(stored("sprite_active"), QStringLiteral("13"));
    state.settings.sprite_active = 14;
    open();
    dialog->close();  // the close box
    EXPECT_EQ(stored("sprite_active"), QStringLiteral("14"));
    state.settings.sprite_active = 15;
    open();
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(stored("sprite_active"), QStringLiteral("15"));
}

TEST_F(ConfigurationWindowTest, ASaveThatFailsKeepsTheWindowOpenOnce) {
    ASSERT_TRUE(test::write_file(home.path() + QStringLiteral("/blocked"), "x"));
    IniSettingsStore blocked(home.path() + QStringLiteral("/blocked/settings.ini"), {});
    dialog = std::make_unique<ConfigurationDialog>(
        ConfigurationContext{state, blocked, test_run, &volumes, nullptr});
    dialog->show();
    dialog->findChild<QPushButton*>(QStringLiteral("Command4"))->click();
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(
        messages.texts().first().startsWith(QStringLiteral("Your settings could not be saved")));
    dialog->findChild<QPushButton*>(QStringLiteral("Command4"))->click();
    EXPECT_FALSE(dialog->isVisible());  // told twice: the user chose to leave
    EXPECT_EQ(messages.messages().size(), 2u);
    // The next opening starts afresh: a failure keeps it open once again.
    dialog->show();
    dialog->findChild<QPushButton*>(QStringLiteral("Command4"))->click();
    EXPECT_TRUE(dialog->isVisible());
}

}  // namespace
}  // namespace wm
