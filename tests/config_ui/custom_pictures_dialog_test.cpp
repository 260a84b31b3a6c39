// The picture selection window: its controls, the chosen list committed on
// "&Ok" and left alone otherwise, and the preview of a clicked picture.

#include "config_ui/custom_pictures_dialog.h"

#include "config_ui/preview_box.h"
#include "platform/app_paths.h"
#include "startup/saver_settings.h"
#include "startup/startup.h"
#include "tests/support/fake_volumes.h"
#include "tests/support/test_support.h"
#include "tests/support/window_support.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace wm {
namespace {

class CustomPicturesTest : public testing::Test {
  protected:
    CustomPicturesTest() {
        root = with_trailing_separator(dir.path());
        QDir(root).mkpath(QStringLiteral("photos"));
        QDir(root).mkpath(QStringLiteral("empty"));
        photos = root + QStringLiteral("photos/");
        save(photos + QStringLiteral("landscape.jpg"), 400, 200);
        save(photos + QStringLiteral("PORTRAIT.JPG"), 200, 400);
        save(photos + QStringLiteral("scan.bmp"), 300, 300);
        test::write_file_in(dir, QStringLiteral("photos/broken.jpg"), QByteArray(100, 'x'));
        test::write_file_in(dir, QStringLiteral("photos/song.mid"), "MThd");
        volumes.set({{root, QStringLiteral("Scratch")}});
        run.picture_folder = photos;
        settings.custom_picture_files_total = 2;
        settings.custom_picture_paths = {QString(), QStringLiteral("/old/one.jpg"),
                                         QStringLiteral("/old/two.jpg")};
    }

    static void save(const QString& path, int width, int height) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        EXPECT_TRUE(image.save(path));
    }

    CustomPicturesDialog& open() {
        dialog = std::make_unique<CustomPicturesDialog>(settings, run, nullptr, &volumes);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return *dialog;
    }

    template <class T>
    T* control(const char* name) {
        return test::control<T>(*dialog, name);
    }

    QListWidget* files() { return control<QListWidget>("File1"); }
    QListWidget* chosen() { return control<QListWidget>("List2"); }
    void press(const char* name) { control<QPushButton>(name)->click(); }

    void click_file(const QString& name) {
        test::click_item(*files(), test::item_named(*files(), name));
    }

    QStringList chosen_texts() {
        QStringList texts;
        for (int row = 0; row < chosen()->count(); ++row) {
            texts.append(chosen()->item(row)->text());
        }
        return texts;
    }

    std::vector<QString> stored() const {
        return {settings.custom_picture_paths.begin() + 1,
                settings.custom_picture_paths.begin() + 1 + settings.custom_picture_files_total};
    }

    QTemporaryDir dir;
    QString root;
    QString photos;
    test::FakeVolumes volumes;
    SaverSettings settings;
    RunValues run;
    std::unique_ptr<CustomPicturesDialog> dialog;
};

TEST_F(CustomPicturesTest, EveryControlHasItsCaptionAndTooltip) {
    open();
    EXPECT_EQ(dialog->objectName(), QStringLiteral("frm_custompictures"));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Wintermere - Picture Selection"));
    using test::ControlRow;
    test::expect_controls(
        *dialog,
        {
            {"Frame2", "QGroupBox", QStringLiteral("Select Picture Files From Your System"), {}},
            {"Drive1", "QComboBox", {}, QStringLiteral("Select a storage device to browse")},
            {"Dir1",
             "QListWidget",
             {},
             QStringLiteral("Select a folder to view the music files available")},
            {"File1", "QListWidget", {}, QStringLiteral("Click on a picture file to preview it")},
            {"Label1", "QLabel", QStringLiteral("Click On A Picture File To Preview It"), {}},
            {"destination_image", "wm::PreviewBox", {}, {}},
            {"source_image", "wm::PreviewBox", {}, {}},
            {"Command1", "QPushButton", QStringLiteral("Add &Selected File(s)"),
             QStringLiteral("Add the picture files that are currently selected")},
            {"Command2", "QPushButton", QStringLiteral("Add &All File(s)"),
             QStringLiteral("Add all picture files from this directory")},
            {"Frame1",
             "QGroupBox",
             QStringLiteral("Custom Picture Files To Show During Screen Saver"),
             {}},
            {"List2", "QListWidget", {}, {}},
            {"Command5", "QPushButton", QStringLiteral("&Remove Selected File(s)"),
             QStringLiteral("Removes the selected file(s) from your picture list")},
            {"Command3", "QPushButton", QStringLiteral("&Ok"),
             QStringLiteral("Save your picture list and exit")},
            {"Command6", "QPushButton", QStringLiteral("&Cancel"),
             QStringLiteral("Exit without saving any changes to your picture list")},
        });
    EXPECT_EQ(files()->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(chosen()->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_TRUE(control<QPushButton>("Command3")->isDefault());
    EXPECT_FALSE(control<PreviewBox>("source_image")->isVisible());
}

TEST_F(CustomPicturesTest, OpensOnTheStoredListInTheRememberedFolder) {
    settings.custom_picture_files_total = 5;  // more than the paths held
    open();
    EXPECT_EQ(chosen_texts(),
              (QStringList{QStringLiteral("/old/one.jpg"), QStringLiteral("/old/two.jpg")}));
    EXPECT_EQ(dialog->browsing().folder(), photos);
    EXPECT_EQ(dialog->browsing().file_names(),
              (QStringList{QStringLiteral("broken.jpg"), QStringLiteral("landscape.jpg"),
                           QStringLiteral("PORTRAIT.JPG"), QStringLiteral("scan.bmp")}));
}

TEST_F(CustomPicturesTest, AStaleFolderOpensThePrograms) {
    run.picture_folder = root + QStringLiteral("unplugged/");
    open();
    EXPECT_EQ(dialog->browsing().folder(), program_folder());
    dialog->reject();
    EXPECT_EQ(run.picture_folder, program_folder());
}

TEST_F(CustomPicturesTest, OkStoresTheListInOrderAndRemembersTheFolder) {
    open();
    files()->item(3)->setSelected(true);
    files()->item(1)->setSelected(true);
    press("Command1");  // the selected ones, in list order
    press("Command2");  // all four, though two are listed already
    EXPECT_EQ(chosen()->count(), 2 + 2 + 4);
    dialog->browsing().open_folder(root + QStringLiteral("empty/"));
    press("Command2");  // nothing to add in an empty folder
    press("Command1");
    EXPECT_EQ(chosen()->count(), 8);
    press("Command3");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(stored(),
              (std::vector<QString>{
                  QStringLiteral("/old/one.jpg"), QStringLiteral("/old/two.jpg"),
                  photos + QStringLiteral("landscape.jpg"), photos + QStringLiteral("scan.bmp"),
                  photos + QStringLiteral("broken.jpg"), photos + QStringLiteral("landscape.jpg"),
                  photos + QStringLiteral("PORTRAIT.JPG"), photos + QStringLiteral("scan.bmp")}));
    EXPECT_EQ(run.picture_folder, root + QStringLiteral("empty/"));
}

TEST_F(CustomPicturesTest, RemovingTakesExactlyTheSelectedEntries) {
    open();
    press("Command2");
    ASSERT_EQ(chosen()->count(), 6);
    for (int row : {0, 2, 5}) {
        chosen()->item(row)->setSelected(true);
    }
    press("Command5");
    EXPECT_EQ(chosen_texts(),
              (QStringList{QStringLiteral("/old/two.jpg"), photos + QStringLiteral("landscape.jpg"),
                           photos + QStringLiteral("PORTRAIT.JPG")}));
    EXPECT_TRUE(chosen()->selectedItems().isEmpty());
    press("Command5");  // nothing selected: nothing goes
    EXPECT_EQ(chosen()->count(), 3);
}

TEST_F(CustomPicturesTest, OkWithAnEmptyListStoresACountOfNothing) {
    open();
    chosen()->selectAll();
    press("Command5");
    press("Command3");
    EXPECT_EQ(settings.custom_picture_files_total, 0);
    EXPECT_EQ(list_in_use(settings.custom_picture_files_total, settings.custom_picture_paths), 0);
}

TEST_F(CustomPicturesTest, CancelEscapeAndTheCloseBoxLeaveTheStoredList) {
    const std::vector<QString> before = {QStringLiteral("/old/one.jpg"),
                                         QStringLiteral("/old/two.jpg")};
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        open();
        press("Command2");
        chosen()->item(0)->setSelected(true);
        press("Command5");
        dialog->browsing().open_folder(root);
        if (way == 0) {
            press("Command6");
        } else if (way == 1) {
            QTest::keyClick(dialog.get(), Qt::Key_Escape);
        } else {
            dialog->close();
        }
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), QDialog::Rejected);
        EXPECT_EQ(stored(), before);
        EXPECT_EQ(run.picture_folder, root);  // the folder is remembered all the same
        run.picture_folder = photos;
    }
}

TEST_F(CustomPicturesTest, AClickedPictureFillsThePreviewTheWayItIsShaped) {
    open();
    dialog->resize(1000, 700);
    auto* preview = control<PreviewBox>("destination_image");
    preview->setFixedSize(320, 240);
    QTest::qWait(10);

    click_file(QStringLiteral("landscape.jpg"));  // 2:1, fills the width, centred vertically
    ASSERT_TRUE(preview->has_picture());
    const Placement wide = preview->placement();
    EXPECT_NEAR(wide.width, 320, 0.5);
    EXPECT_NEAR(wide.height, 160, 0.5);
    EXPECT_NEAR(wide.top, 40, 0.5);

    click_file(QStringLiteral("PORTRAIT.JPG"));  // 1:2, fills the height, centred across
    const Placement tall = preview->placement();
    EXPECT_NEAR(tall.height, 240, 0.5);
    EXPECT_NEAR(tall.width, 120, 0.5);
    EXPECT_NEAR(tall.left, 100, 0.5);

    // A file that is no picture empties the preview; nothing is shown, and
    // the window goes on.
    test::MessageCapture messages;
    click_file(QStringLiteral("broken.jpg"));
    EXPECT_FALSE(preview->has_picture());
    EXPECT_TRUE(messages.messages().empty());
    click_file(QStringLiteral("scan.bmp"));
    EXPECT_TRUE(preview->has_picture());
}

TEST_F(CustomPicturesTest, ADoubleClickOnAChosenEntryPreviewsIt) {
    settings.custom_picture_paths[1] = photos + QStringLiteral("PORTRAIT.JPG");
    open();
    test::double_click_item(*chosen(), chosen()->item(0));
    const auto* preview = control<PreviewBox>("destination_image");
    ASSERT_TRUE(preview->has_picture());
    EXPECT_LT(preview->picture().width(), preview->picture().height());
}

TEST_F(CustomPicturesTest, ChangingFolderEmptiesThePreviewAndTheSameFolderKeepsIt) {
    open();
    const auto* preview = control<PreviewBox>("destination_image");
    click_file(QStringLiteral("landscape.jpg"));
    ASSERT_TRUE(preview->has_picture());
    auto* folders = control<QListWidget>("Dir1");
    test::click_item(*folders, folders->currentItem());
    EXPECT_TRUE(preview->has_picture());
    test::click_item(*folders, folders->item(folders->currentRow() - 1));
    EXPECT_EQ(dialog->browsing().folder(), root);
    EXPECT_FALSE(preview->has_picture());
}

}  // namespace
}  // namespace wm
