// The drive, folder and file lists of the browsing windows, kept in step: a
// click opens a folder, a drive that cannot be opened sends the lists back,
// and a click or a keyboard move on a file reports it once.

#include "config_ui/browsing_lists.h"

#include "platform/app_paths.h"
#include "tests/support/fake_volumes.h"
#include "tests/support/test_support.h"
#include "tests/support/window_support.h"

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

namespace wm {
namespace {

QStringList texts_of(const QListWidget& list) {
    QStringList texts;
    for (int row = 0; row < list.count(); ++row) {
        texts.append(list.item(row)->text().trimmed());
    }
    return texts;
}

class BrowsingListsTest : public testing::Test {
  protected:
    BrowsingListsTest() {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(drives);
        layout->addWidget(folders);
        layout->addWidget(files);
        files->setSelectionMode(QAbstractItemView::ExtendedSelection);
        root = with_trailing_separator(dir.path());
        QDir(root).mkpath(QStringLiteral("Winter/Deep"));
        QDir(root).mkpath(QStringLiteral("Summer"));
        for (const char* name : {"b.jpg", "A.JPG", "song.mid"}) {
            test::write_file_in(dir, QString::fromLatin1(name), "x");
        }
        volumes.set({{QStringLiteral("/"), QStringLiteral("/")},
                     {root, QStringLiteral("Scratch")},
                     {root + QStringLiteral("unplugged/"), QStringLiteral("Unplugged")}});
        window.resize(400, 600);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    static void click(QListWidget* list, int row) { test::click_item(*list, list->item(row)); }

    QTemporaryDir dir;
    QString root;
    test::FakeVolumes volumes;
    QWidget window;
    QComboBox* drives = new QComboBox(&window);
    QListWidget* folders = new QListWidget(&window);
    QListWidget* files = new QListWidget(&window);
    BrowsingLists lists{drives, folders, files, QStringLiteral("*.jpg;*.gif"), volumes};
};

TEST_F(BrowsingListsTest, StartShowsThePathTheSubfoldersAndTheMatchingFiles) {
    EXPECT_EQ(lists.start(root), root);
    EXPECT_EQ(lists.folder(), root);
    EXPECT_EQ(texts_of(*files), (QStringList{QStringLiteral("A.JPG"), QStringLiteral("b.jpg")}));
    EXPECT_EQ(lists.all_file_paths(),
              (QStringList{root + QStringLiteral("A.JPG"), root + QStringLiteral("b.jpg")}));
    // The folder list: the path from the root down, the current folder
    // chosen, then its subfolders.
    const QStringList chain = folder_chain(root);
    const QStringList shown = texts_of(*folders);
    ASSERT_EQ(shown.size(), chain.size() + 2);
    EXPECT_EQ(shown.first(), QStringLiteral("/"));
    EXPECT_EQ(shown.at(chain.size() - 1), QDir(root).dirName());
    EXPECT_EQ(shown.mid(chain.size()),
              (QStringList{QStringLiteral("Summer"), QStringLiteral("Winter")}));
    EXPECT_EQ(folders->currentRow(), chain.size() - 1);
    EXPECT_EQ(drives->currentText(), QStringLiteral("Scratch"));
    EXPECT_EQ(drives->count(), 3);
}

TEST_F(BrowsingListsTest, OneClickOpensAFolderAndTheShownOneChangesNothing) {
    lists.start(root);
    QSignalSpy changed(&lists, &BrowsingLists::folder_changed);
    const int winter = static_cast<int>(folder_chain(root).size()) + 1;
    click(folders, winter);
    EXPECT_EQ(lists.folder(), root + QStringLiteral("Winter/"));
    EXPECT_TRUE(files->count() == 0);
    EXPECT_EQ(texts_of(*folders).last(), QStringLiteral("Deep"));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toString(), root + QStringLiteral("Winter/"));

    click(folders, folders->currentRow());  // the folder already shown
    EXPECT_EQ(changed.count(), 1);
    click(folders, folders->currentRow() - 1);  // one up
    EXPECT_EQ(lists.folder(), root);
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(BrowsingListsTest, ADriveThatCannotBeOpenedSendsTheListsBackToTheStart) {
    const QString start = root + QStringLiteral("Winter/");
    lists.start(start);
    QDir(root).mkdir(QStringLiteral("unplugged"));
    drives->setCurrentIndex(2);
    emit drives->activated(2);  // a drive whose folder opens
    EXPECT_EQ(lists.folder(), root + QStringLiteral("unplugged/"));
    QDir(root).rmdir(QStringLiteral("unplugged"));
    drives->setCurrentIndex(2);
    emit drives->activated(2);  // the medium has gone since
    EXPECT_EQ(lists.folder(), start);
    EXPECT_EQ(drives->currentText(), QStringLiteral("Scratch"));
    EXPECT_EQ(texts_of(*folders).last(), QStringLiteral("Deep"));
}

TEST_F(BrowsingListsTest, AFileIsReportedOncePerClickAndPerKeyboardMove) {
    lists.start(root);
    QSignalSpy clicked(&lists, &BrowsingLists::file_clicked);
    QSignalSpy doubled(&lists, &BrowsingLists::file_double_clicked);
    click(files, 1);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toString(), root + QStringLiteral("b.jpg"));
    QTest::keyClick(files, Qt::Key_Up);
    ASSERT_EQ(clicked.count(), 2);
    EXPECT_EQ(clicked.at(1).at(0).toString(), root + QStringLiteral("A.JPG"));
    QTest::keyClick(files, Qt::Key_Up);  // already at the top: nothing moves
    EXPECT_EQ(clicked.count(), 2);
    test::double_click_item(*files, files->item(1));
    ASSERT_EQ(doubled.count(), 1);
    EXPECT_EQ(doubled.at(0).at(0).toString(), root + QStringLiteral("b.jpg"));
}

TEST_F(BrowsingListsTest, EnterActsOnTheListAndNeverReachesTheDefaultButton) {
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* drive_list = new QComboBox;
    auto* folder_list = new QListWidget;
    auto* file_list = new QListWidget;
    auto* ok = new QPushButton(QStringLiteral("&Ok"));
    for (QWidget* w : {static_cast<QWidget*>(drive_list), static_cast<QWidget*>(folder_list),
                       static_cast<QWidget*>(file_list), static_cast<QWidget*>(ok)}) {
        layout->addWidget(w);
    }
    ok->setDefault(true);
    QSignalSpy pressed(ok, &QPushButton::clicked);
    BrowsingLists in_dialog(drive_list, folder_list, file_list, QStringLiteral("*.jpg"), volumes);
    dialog.show();
    in_dialog.start(root);
    QSignalSpy doubled(&in_dialog, &BrowsingLists::file_double_clicked);

    folder_list->setFocus();
    folder_list->setCurrentRow(folder_list->count() - 1);  // "Winter"
    QTest::keyClick(folder_list, Qt::Key_Return);
    EXPECT_EQ(in_dialog.folder(), root + QStringLiteral("Winter/"));
    folder_list->setCurrentRow(folder_list->currentRow() - 1);
    QTest::keyClick(folder_list, Qt::Key_Enter);
    EXPECT_EQ(in_dialog.folder(), root);
    file_list->setFocus();
    file_list->setCurrentRow(0);
    QTest::keyClick(file_list, Qt::Key_Return);
    ASSERT_EQ(doubled.count(), 1);
    EXPECT_EQ(doubled.at(0).at(0).toString(), root + QStringLiteral("A.JPG"));
    EXPECT_EQ(pressed.count(), 0);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(BrowsingListsTest, SelectedFilesComeInListOrder) {
    lists.start(root);
    files->item(1)->setSelected(true);
    files->item(0)->setSelected(true);
    EXPECT_EQ(lists.selected_file_paths(),
              (QStringList{root + QStringLiteral("A.JPG"), root + QStringLiteral("b.jpg")}));
}

TEST_F(BrowsingListsTest, AFolderOfFiveThousandFilesListsThemAll) {
    const QString big = root + QStringLiteral("big/");
    QDir().mkdir(big);
    for (int i = 0; i < 5000; ++i) {
        QFile file(big + QStringLiteral("photo %1.JPG").arg(i));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(lists.open_folder(big));
    ASSERT_EQ(files->count(), 5000);
    EXPECT_EQ(files->item(0)->text(), QStringLiteral("photo 0.JPG"));
    EXPECT_EQ(files->item(4999)->text(), QStringLiteral("photo 4999.JPG"));
}

TEST_F(BrowsingListsTest, AFolderThatCannotBeOpenedLeavesTheListsAsTheyWere) {
    lists.start(root);
    EXPECT_FALSE(lists.open_folder(root + QStringLiteral("missing/")));
    EXPECT_FALSE(lists.open_folder(root + QStringLiteral("b.jpg")));
    EXPECT_EQ(lists.folder(), root);
    EXPECT_EQ(files->count(), 2);
}

}  // namespace
}  // namespace wm
