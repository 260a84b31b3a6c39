// The pack builder window: the pack list and its buttons, the preview, and
// the pack it writes into the folder chosen in the folder picker.

#include "pack/pack_builder_dialog.h"

#include "config_ui/browsing_lists.h"
#include "config_ui/folder_listing.h"
#include "config_ui/folder_picker_dialog.h"
#include "config_ui/preview_box.h"
#include "pack/pack_format.h"
#include "pack/pack_index.h"
#include "platform/app_paths.h"
#include "startup/startup.h"
#include "tests/support/fake_volumes.h"
#include "tests/support/test_support.h"
#include "tests/support/window_support.h"

#include <QDir>
#include <QFile>
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

QImage plain_picture(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(QColor(40, 90, 160));
    return picture;
}

class PackBuilderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        for (const QString& folder : {pictures_, out_, other_}) {
            ASSERT_TRUE(QDir().mkpath(folder));
        }
        ASSERT_TRUE(plain_picture(400, 100).save(pictures_ + QStringLiteral("wide.jpg"), "JPG"));
        ASSERT_TRUE(plain_picture(60, 240).save(pictures_ + QStringLiteral("tall.bmp"), "BMP"));
        write(QStringLiteral("song.mid"), QByteArray("MThd\0\0\0\6\0\0\0\1\0\x60", 14));
        write(QStringLiteral("chime.rmi"), QByteArray("RIFF\4\0\0\0RMID", 12));
        write(QStringLiteral("tune.wav"), QByteArray("RIFF\4\0\0\0WAVE", 12));
        write(QStringLiteral("broken.jpg"), "this is no picture at all");
        write(QStringLiteral("notes.txt"), "not for a pack");
        run_.picture_folder = pictures_;
        run_.picker_folder = root_;
    }

    void write(const QString& name, const QByteArray& bytes) {
        ASSERT_TRUE(test::write_file(pictures_ + name, bytes)) << name.toStdString();
    }
    QString picture_path(const QString& name) const { return pictures_ + name; }

    std::unique_ptr<PackBuilderDialog> open_builder() {
        auto builder = std::make_unique<PackBuilderDialog>(run_, nullptr, &volumes_);
        builder->resize(1040, 560);
        builder->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(builder.get()));
        return builder;
    }

    static QListWidget* list(QWidget& window, const char* name) {
        return window.findChild<QListWidget*>(QString::fromLatin1(name));
    }
    static QString count_text(QWidget& window) {
        return window.findChild<QLabel*>(QStringLiteral("Label1"))->text();
    }
    static void press(QWidget& window, const char* button) {
        auto* control = window.findChild<QPushButton*>(QString::fromLatin1(button));
        ASSERT_NE(control, nullptr) << button;
        QTest::mouseClick(control, Qt::LeftButton);
    }
    static void click_file(QWidget& window, const QString& name, bool double_click = false) {
        QListWidget* files = list(window, "File1");
        QListWidgetItem* item = test::item_named(*files, name);
        if (double_click) {
            test::double_click_item(*files, item);
        } else {
            test::click_item(*files, item);
        }
    }
    // Clicks the file, then "&Add This File".
    static void add(QWidget& window, const QString& name) {
        click_file(window, name);
        press(window, "Command1");
    }
    // A picker answer: browse to `folder` and press Ok.
    static test::ModalAnswerer::Answer choose(const QString& folder) {
        return [folder](QWidget* modal) {
            auto* picker = qobject_cast<FolderPickerDialog*>(modal);
            ASSERT_NE(picker, nullptr) << modal->metaObject()->className();
            ASSERT_TRUE(picker->browsing().open_folder(folder));
            press(*picker, "Command1");
        };
    }

    QTemporaryDir dir_;
    QString root_ = with_trailing_separator(dir_.path());
    QString pictures_ = root_ + QStringLiteral("pictures/");
    QString out_ = root_ + QStringLiteral("out/");
    QString other_ = root_ + QStringLiteral("other/");
    test::FakeVolumes volumes_{{{root_, QStringLiteral("Scratch")}}};
    RunValues run_;
    test::MessageCapture messages_;
};

TEST_F(PackBuilderTest, ShowsEveryControlOfItsTable) {
    const auto builder = open_builder();
    EXPECT_EQ(builder->objectName(), QStringLiteral("frmMakeFiles"));
    EXPECT_EQ(builder->windowTitle(), QStringLiteral("Select A Graphic"));
    test::expect_controls(*builder,
                          {
                              {"Drive1", "QComboBox", {}, {}},
                              {"Dir1", "QListWidget", {}, {}},
                              {"File1", "QListWidget", {}, {}},
                              {"List1", "QListWidget", {}, {}},
                              {"Label1", "QLabel", QStringLiteral("Total Files: 0"), {}},
                              {"destination_image", "wm::PreviewBox", {}, {}},
                              {"source_image", "wm::PreviewBox", {}, {}},
                              {"Command1", "QPushButton", QStringLiteral("&Add This File"), {}},
                              {"Command2", "QPushButton", QStringLiteral("&Remove File"), {}},
                              {"Command3", "QPushButton", QStringLiteral("Move File &Up"), {}},
                              {"Command4", "QPushButton", QStringLiteral("Move File &Down"), {}},
                              {"Command5", "QPushButton", QStringLiteral("&Create File!"), {}},
                          });
    EXPECT_TRUE(builder->findChild<QWidget*>(QStringLiteral("destination_image"))->isVisible());
    EXPECT_FALSE(builder->findChild<QWidget*>(QStringLiteral("source_image"))->isVisible());
    // Pictures and sounds of the pack's kinds, nothing else.
    QStringList shown;
    for (int row = 0; row < list(*builder, "File1")->count(); ++row) {
        shown.append(list(*builder, "File1")->item(row)->text());
    }
    EXPECT_EQ(shown, (QStringList{"broken.jpg", "chime.rmi", "song.mid", "tall.bmp", "tune.wav",
                                  "wide.jpg"}));
    EXPECT_EQ(list(*builder, "List1")->count(), 0);
}

TEST_F(PackBuilderTest, AddingAndRemovingKeepTheCount) {
    const auto builder = open_builder();
    press(*builder, "Command1");  // no file chosen yet
    EXPECT_EQ(builder->pack_list(), QStringList{});

    add(*builder, QStringLiteral("wide.jpg"));
    EXPECT_EQ(count_text(*builder), QStringLiteral("Total Files: 1"));
    // A double click adds, every time.
    click_file(*builder, QStringLiteral("song.mid"), true);
    click_file(*builder, QStringLiteral("song.mid"), true);
    EXPECT_EQ(builder->pack_list(), (QStringList{picture_path("wide.jpg"), picture_path("song.mid"),
                                                 picture_path("song.mid")}));
    EXPECT_EQ(count_text(*builder), QStringLiteral("Total Files: 3"));

    list(*builder, "List1")->setCurrentRow(0);
    press(*builder, "Command2");
    EXPECT_EQ(builder->pack_list(),
              (QStringList{picture_path("song.mid"), picture_path("song.mid")}));
    EXPECT_EQ(count_text(*builder), QStringLiteral("Total Files: 2"));

    list(*builder, "List1")->clearSelection();
    press(*builder, "Command2");
    EXPECT_EQ(builder->pack_list().size(), 2);
    EXPECT_EQ(count_text(*builder), QStringLiteral("Total Files: 2"));
}

TEST_F(PackBuilderTest, EntriesMoveUpAndDownWithinTheList) {
    const auto builder = open_builder();
    for (const char* name : {"wide.jpg", "tall.bmp", "song.mid"}) {
        add(*builder, QString::fromLatin1(name));
    }
    const QStringList added = builder->pack_list();
    QListWidget* entries = list(*builder, "List1");

    entries->setCurrentRow(0);
    press(*builder, "Command3");  // the first cannot go up
    entries->setCurrentRow(2);
    press(*builder, "Command4");  // nor the last down
    EXPECT_EQ(builder->pack_list(), added);
    EXPECT_EQ(entries->currentRow(), 2);

    press(*builder, "Command3");
    EXPECT_EQ(builder->pack_list(), (QStringList{picture_path("wide.jpg"), picture_path("song.mid"),
                                                 picture_path("tall.bmp")}));
    entries->setCurrentRow(0);
    press(*builder, "Command4");
    EXPECT_EQ(builder->pack_list(), (QStringList{picture_path("song.mid"), picture_path("wide.jpg"),
                                                 picture_path("tall.bmp")}));
    // The moved entry stays selected, so it can move on.
    EXPECT_EQ(entries->currentRow(), 1);
    EXPECT_TRUE(entries->item(1)->isSelected());
}

TEST_F(PackBuilderTest, PicturesArePreviewedFittedAndCentred) {
    const auto builder = open_builder();
    const PreviewBox& preview = builder->preview();
    const double box_width = preview.width();
    const double box_height = preview.height();

    click_file(*builder, QStringLiteral("wide.jpg"));
    ASSERT_TRUE(preview.has_picture());
    Placement p = preview.placement();
    EXPECT_DOUBLE_EQ(p.left, 0.0);
    EXPECT_DOUBLE_EQ(p.width, box_width);
    EXPECT_NEAR(p.height, box_width / 4.0, 1.0);
    EXPECT_GT(p.top, 0.0);
    EXPECT_NEAR(p.top + p.height / 2.0, box_height / 2.0, 0.5);

    click_file(*builder, QStringLiteral("tall.bmp"));
    ASSERT_TRUE(preview.has_picture());
    p = preview.placement();
    EXPECT_DOUBLE_EQ(p.top, 0.0);
    EXPECT_DOUBLE_EQ(p.height, box_height);
    EXPECT_NEAR(p.width, box_height / 4.0, 1.0);
    EXPECT_GT(p.left, 0.0);
    EXPECT_NEAR(p.left + p.width / 2.0, box_width / 2.0, 0.5);

    // Sounds only become the file to add; the picture stays.
    const QImage shown = preview.picture();
    for (const char* sound : {"tune.wav", "song.mid", "chime.rmi"}) {
        click_file(*builder, QString::fromLatin1(sound));
        EXPECT_EQ(builder->selected_file(), picture_path(QString::fromLatin1(sound)));
        EXPECT_EQ(preview.picture().cacheKey(), shown.cacheKey()) << sound;
    }
}

TEST_F(PackBuilderTest, APictureThatCannotBeReadEmptiesThePreviewOnly) {
    const auto builder = open_builder();
    click_file(*builder, QStringLiteral("wide.jpg"));
    ASSERT_TRUE(builder->preview().has_picture());

    click_file(*builder, QStringLiteral("broken.jpg"));
    EXPECT_FALSE(builder->preview().has_picture());
    EXPECT_EQ(builder->selected_file(), picture_path("broken.jpg"));
    EXPECT_TRUE(builder->isVisible());
    EXPECT_TRUE(messages_.messages().empty());

    click_file(*builder, QStringLiteral("tall.bmp"));
    EXPECT_TRUE(builder->preview().has_picture());
}

TEST_F(PackBuilderTest, CreatingWithAnEmptyListShowsNoPicker) {
    const auto builder = open_builder();
    test::ModalAnswerer answerer(test::reject, builder.get());
    press(*builder, "Command5");
    EXPECT_TRUE(answerer.titles().isEmpty());
    EXPECT_TRUE(QDir(out_).isEmpty());
    EXPECT_TRUE(messages_.messages().empty());
}

TEST_F(PackBuilderTest, WritesTheListInItsOrderIntoTheChosenFolder) {
    const auto builder = open_builder();
    for (const char* name : {"tall.bmp", "song.mid", "wide.jpg", "tall.bmp"}) {
        click_file(*builder, QString::fromLatin1(name), true);
    }
    {
        // Cancelling the picker writes nothing.
        test::ModalAnswerer answerer(test::reject, builder.get());
        press(*builder, "Command5");
        EXPECT_EQ(answerer.titles(), QStringList{QStringLiteral("Select Destination Folder")});
        EXPECT_TRUE(QDir(out_).isEmpty());
    }
    test::ModalAnswerer answerer(choose(out_), builder.get());
    press(*builder, "Command5");
    EXPECT_EQ(answerer.titles(), QStringList{QStringLiteral("Select Destination Folder")});
    EXPECT_TRUE(messages_.messages().empty());
    EXPECT_EQ(run_.picker_folder, out_);

    PackTable table;
    ASSERT_EQ(load_pack_index(table, out_ + kPackBaseName), IndexLoad::Loaded);
    EXPECT_EQ(std::vector<QString>(table.pack_names.begin() + 1, table.pack_names.end()),
              (std::vector<QString>{"tall.bmp", "song.mid", "wide.jpg", "tall.bmp"}));
    QByteArray expected;
    for (const QString& source : builder->pack_list()) {
        expected += test::read_file(source);
    }
    EXPECT_EQ(test::read_file(out_ + kPackBaseName + kDataSuffix), expected);
    EXPECT_EQ(builder->pack_list().size(), 4);
}

TEST_F(PackBuilderTest, AFailedWriteSaysSoAndKeepsTheList) {
    const auto builder = open_builder();
    add(*builder, QStringLiteral("wide.jpg"));
    add(*builder, QStringLiteral("song.mid"));
    ASSERT_TRUE(QFile::remove(picture_path("song.mid")));  // gone before the pack is written

    test::ModalAnswerer answerer(choose(out_), builder.get());
    press(*builder, "Command5");
    ASSERT_EQ(messages_.messages().size(), 1U);
    EXPECT_EQ(messages_.messages()[0].caption, QStringLiteral("Wintermere"));
    EXPECT_EQ(messages_.messages()[0].text, QStringLiteral("Error making image file!"));
    EXPECT_EQ(builder->pack_list(),
              (QStringList{picture_path("wide.jpg"), picture_path("song.mid")}));
    EXPECT_FALSE(QFileInfo::exists(out_ + kPackBaseName + kIndexSuffix));
}

TEST_F(PackBuilderTest, TheFolderBrowsedLastIsRememberedHoweverTheWindowCloses) {
    {
        const auto builder = open_builder();
        ASSERT_TRUE(builder->browsing().open_folder(other_));
        builder->close();
        EXPECT_EQ(run_.picture_folder, other_);
    }
    {
        const auto builder = open_builder();
        EXPECT_EQ(builder->browsing().folder(), other_);
        ASSERT_TRUE(builder->browsing().open_folder(pictures_));
        QWidget* focus = builder->focusWidget();
        QTest::keyClick(focus != nullptr ? focus : builder.get(), Qt::Key_Escape);
        EXPECT_FALSE(builder->isVisible());
        EXPECT_EQ(run_.picture_folder, pictures_);
    }
    // A folder that has gone: browsing starts in the program's folder.
    run_.picture_folder = root_ + QStringLiteral("gone/");
    const auto builder = open_builder();
    EXPECT_EQ(builder->browsing().folder(), program_folder());
}

}  // namespace
}  // namespace wm
