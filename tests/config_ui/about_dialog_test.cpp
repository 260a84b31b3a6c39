// The about window: its controls, the version line from the version the
// build declares, the rights line of the current year, and the web site
// button with a browser that starts and with one that does not.

#include "config_ui/about_dialog.h"

#include "assets/window_assets.h"
#include "config_ui/web_pages.h"
#include "platform/version.h"
#include "tests/support/test_support.h"
#include "tests/support/window_support.h"

#include <QDate>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <vector>

namespace wm {
namespace {

// Stands in for the browser while it lives: the pages asked for are kept,
// never handed to a real browser.
class FakeBrowser {
  public:
    explicit FakeBrowser(bool starts)
        : previous_(set_web_page_opener([this, starts](const QUrl& page) {
              opened.push_back(page);
              return starts;
          })) {}
    ~FakeBrowser() { set_web_page_opener(previous_); }
    FakeBrowser(const FakeBrowser&) = delete;
    FakeBrowser& operator=(const FakeBrowser&) = delete;

    std::vector<QUrl> opened;

  private:
    WebPageOpener previous_;
};

QString label_text(const QWidget& window, const char* name) {
    return window.findChild<QLabel*>(QString::fromLatin1(name))->text();
}

TEST(AboutDialog, ShowsEveryControl) {
    FakeBrowser browser(true);
    AboutDialog dialog;
    EXPECT_EQ(dialog.objectName(), QStringLiteral("frm_about"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("About... Wintermere"));
    test::expect_controls(
        dialog,
        {
            {"Picture1", "QLabel", {}, {}},
            {"Label2", "QLabel", QStringLiteral("Welcome To: Wintermere"), {}},
            {"Label4", "QLabel", {}, {}},
            {"Label2_2", "QLabel", QStringLiteral("Extensive User Options!"), {}},
            {"Label4_2",
             "QLabel",
             QStringLiteral("This screen saver has several features that you can customize. "
                            "Including the ability to add your own pictures and music files, "
                            "change how long each scene is displayed, change the speed of the "
                            "animation, and more!"),
             {}},
            {"Label3", "QLabel", QStringLiteral("Version: 2.0.2"), {}},
            {"Label1", "QLabel", {}, {}},
            {"Command2", "QPushButton", QStringLiteral("Wintermere &Web Site"),
             QStringLiteral("Click here to visit the home page for this program!")},
            {"Command1", "QPushButton", QStringLiteral("&Ok"), {}},
        });
    EXPECT_TRUE(label_text(dialog, "Label4").contains(QLatin1String("screen saver")));
    // At its window size, whatever the display's density.
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("Picture1"))
                  ->pixmap()
                  .deviceIndependentSize()
                  .toSize(),
              window_picture(WindowPicture::About).size() / kWindowPictureScale);

    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("Command1"));
    EXPECT_TRUE(ok->isDefault());
    dialog.show();
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(browser.opened.empty());
}

TEST(AboutDialog, VersionAndRightsLines) {
    EXPECT_EQ(version_line(), QStringLiteral("Version: 2.0.2"));
    // Built from the three declared numbers, which agree with the declared text.
    EXPECT_EQ(version_line(), QStringLiteral("Version: ") + QLatin1String(kVersionText));
    EXPECT_EQ(version_line(10, 0, 12345), QStringLiteral("Version: 10.0.12345"));

    const int year_before = QDate::currentDate().year();
    AboutDialog dialog;
    const int year_after = QDate::currentDate().year();
    EXPECT_EQ(label_text(dialog, "Label3"), QStringLiteral("Version: 2.0.2"));
    const QString rights = label_text(dialog, "Label1");
    EXPECT_TRUE(rights.contains(QString::number(year_before)) ||
                rights.contains(QString::number(year_after)))
        << rights.toStdString();
    EXPECT_TRUE(rights.contains(QLatin1String("Quillory"))) << rights.toStdString();
}

TEST(AboutDialog, WebSiteButtonOpensTheProductPageAndReportsAFailure) {
    for (const bool starts : {false, true}) {
        SCOPED_TRACE(starts ? "browser starts" : "no browser");
        FakeBrowser browser(starts);
        test::MessageCapture messages;
        AboutDialog dialog;
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Command2")),
                          Qt::LeftButton);

        ASSERT_EQ(browser.opened.size(), 1u);
        EXPECT_EQ(browser.opened.front(), product_page());
        EXPECT_EQ(product_page().scheme(), QStringLiteral("https"));
        EXPECT_TRUE(dialog.isVisible());
        if (starts) {
            EXPECT_TRUE(messages.messages().empty());
        } else {
            ASSERT_EQ(messages.messages().size(), 1u);
            EXPECT_EQ(messages.messages()[0].caption, QStringLiteral("Wintermere"));
            EXPECT_EQ(messages.messages()[0].text,
                      QStringLiteral("Shell Execute Error. (No default browser?)"));
        }
    }
}

}  // namespace
}  // namespace wm
