// The folder picker: what it gives back however it ends, where it starts,
// and making new folders in it.

#include "config_ui/folder_picker_dialog.h"

#include "config_ui/folder_listing.h"
#include "platform/app_paths.h"
#include "startup/startup.h"
#include "tests/support/fake_volumes.h"
#include "tests/support/test_support.h"
#include "tests/support/window_support.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace wm {
namespace {

using test::ControlRow;

const QString kTitle = QStringLiteral("Choose a folder");

QString label_text(const QWidget* window) {
    return window->findChild<QLabel*>(QStringLiteral("Label1"))->text();
}

void press(QWidget* window, const char* button) {
    auto* control = window->findChild<QPushButton*>(QString::fromLatin1(button));
    ASSERT_NE(control, nullptr) << button;
    QTest::mouseClick(control, Qt::LeftButton);
}

// Clicks the folder list's entry for the subfolder `name`.
void click_folder_entry(QWidget* window, const QString& name) {
    auto* folders = test::control<QListWidget>(*window, "Dir1");
    test::click_item(*folders, test::item_named(*folders, name, Qt::MatchEndsWith));
}

class FolderPickerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(QDir(root_).mkpath(QStringLiteral("alpha")));
        ASSERT_TRUE(QDir(root_).mkpath(QStringLiteral("beta")));
        test::write_file_in(dir_, QStringLiteral("notes.txt"), "n");
        test::write_file_in(dir_, QStringLiteral("README"), "r");
        run_.picker_folder = root_;
    }

    QString folder(const QString& name) const { return root_ + name + QLatin1Char('/'); }
    QStringList root_entries() const {
        return QDir(root_).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    }
    // Picks with `answer` working the picker; gives what the picker returned.
    QString pick(const test::ModalAnswerer::Answer& answer) {
        test::ModalAnswerer answerer(answer);
        const QString chosen = pick_folder(run_, kTitle, nullptr, &volumes_);
        EXPECT_EQ(answerer.titles(), QStringList{kTitle});
        return chosen;
    }

    QTemporaryDir dir_;
    QString root_ = with_trailing_separator(dir_.path());
    test::FakeVolumes volumes_{{{root_, QStringLiteral("Scratch")}}};
    RunValues run_;
    test::MessageCapture messages_;
};

TEST_F(FolderPickerTest, ShowsEveryControlOfItsTable) {
    FolderPickerDialog picker(run_, kTitle, nullptr, &volumes_);
    EXPECT_EQ(picker.objectName(), QStringLiteral("frm_getfolder"));
    EXPECT_EQ(picker.windowTitle(), kTitle);
    test::expect_controls(picker, {
                                      {"Drive1", "QComboBox", {}, {}},
                                      {"Dir1", "QListWidget", {}, {}},
                                      {"file1", "QListWidget", {}, {}},
                                      {"Label2", "QLabel", QStringLiteral("Look In:"), {}},
                                      {"Label1", "QLabel", root_, {}},
                                      {"Command1", "QPushButton", QStringLiteral("Ok"), {}},
                                      {"Command2", "QPushButton", QStringLiteral("Cancel"), {}},
                                      {"Command3", "QPushButton", QStringLiteral("New Folder"),
                                       QStringLiteral("Click here to create a new folder")},
                                  });
    EXPECT_TRUE(picker.findChild<QPushButton*>(QStringLiteral("Command1"))->isDefault());
    // Every file shows, also one without a dot in its name.
    auto* files = picker.findChild<QListWidget*>(QStringLiteral("file1"));
    ASSERT_EQ(files->count(), 2);
    EXPECT_EQ(files->item(0)->text(), QStringLiteral("notes.txt"));
    EXPECT_EQ(files->item(1)->text(), QStringLiteral("README"));
}

TEST_F(FolderPickerTest, OkGivesTheFolderShownEndingInASeparator) {
    QString shown;
    const QString chosen = pick([&](QWidget* picker) {
        click_folder_entry(picker, QStringLiteral("alpha"));
        shown = label_text(picker);
        press(picker, "Command1");
    });
    EXPECT_EQ(chosen, folder(QStringLiteral("alpha")));
    EXPECT_EQ(chosen, shown);
    EXPECT_EQ(run_.picker_folder, folder(QStringLiteral("alpha")));
}

TEST_F(FolderPickerTest, EnterOpensAFolderEntryAndElsewherePressesOk) {
    FolderPickerDialog picker(run_, kTitle, nullptr, &volumes_);
    picker.show();
    auto* folders = picker.findChild<QListWidget*>(QStringLiteral("Dir1"));
    folders->setFocus();
    folders->setCurrentItem(folders->findItems(QStringLiteral("alpha"), Qt::MatchEndsWith).at(0));
    QTest::keyClick(folders, Qt::Key_Return);
    EXPECT_TRUE(picker.isVisible());
    EXPECT_EQ(picker.browsing().folder(), folder(QStringLiteral("alpha")));

    QTest::keyClick(&picker, Qt::Key_Return);
    EXPECT_EQ(picker.result(), QDialog::Accepted);
    EXPECT_EQ(picker.chosen_folder(), folder(QStringLiteral("alpha")));
}

TEST_F(FolderPickerTest, CancelGivesNothingButTheFolderIsRemembered) {
    const QString chosen = pick([&](QWidget* picker) {
        click_folder_entry(picker, QStringLiteral("beta"));
        press(picker, "Command2");
    });
    EXPECT_TRUE(chosen.isEmpty());
    EXPECT_EQ(run_.picker_folder, folder(QStringLiteral("beta")));

    QString shown;
    pick([&](QWidget* picker) {
        shown = label_text(picker);
        press(picker, "Command2");
    });
    EXPECT_EQ(shown, folder(QStringLiteral("beta")));
}

TEST_F(FolderPickerTest, TheCloseBoxAndEscapeCancel) {
    const QString closed = pick([&](QWidget* picker) {
        click_folder_entry(picker, QStringLiteral("alpha"));
        picker->close();
    });
    EXPECT_TRUE(closed.isEmpty());
    EXPECT_EQ(run_.picker_folder, folder(QStringLiteral("alpha")));

    const QString escaped = pick([&](QWidget* picker) {
        // (this one opens in alpha, where the closed one was left)
        ASSERT_TRUE(qobject_cast<FolderPickerDialog*>(picker)->browsing().open_folder(
            folder(QStringLiteral("beta"))));
        QWidget* focus = picker->focusWidget();
        QTest::keyClick(focus != nullptr ? focus : picker, Qt::Key_Escape);
    });
    EXPECT_TRUE(escaped.isEmpty());
    EXPECT_EQ(run_.picker_folder, folder(QStringLiteral("beta")));
}

TEST_F(FolderPickerTest, ADriveThatIsNotReadyLeavesThePickerWhereItWas) {
    volumes_.set({{root_, QStringLiteral("Scratch")},
                  {root_ + QStringLiteral("unplugged/"), QStringLiteral("Unplugged")}});
    FolderPickerDialog picker(run_, kTitle, nullptr, &volumes_);
    picker.show();
    click_folder_entry(&picker, QStringLiteral("beta"));
    ASSERT_EQ(picker.browsing().folder(), folder(QStringLiteral("beta")));
    auto* drives = test::control<QComboBox>(picker, "Drive1");
    drives->setCurrentIndex(1);
    emit drives->activated(1);
    EXPECT_EQ(picker.browsing().folder(), folder(QStringLiteral("beta")));
    EXPECT_EQ(run_.picker_folder, folder(QStringLiteral("beta")));
    EXPECT_TRUE(messages_.messages().empty());
}

TEST_F(FolderPickerTest, AFolderThatHasGoneOpensTheProgramsFolder) {
    run_.picker_folder = folder(QStringLiteral("gone"));
    FolderPickerDialog picker(run_, kTitle, nullptr, &volumes_);
    EXPECT_EQ(label_text(&picker), program_folder());
    EXPECT_EQ(run_.picker_folder, program_folder());
    picker.reject();
    EXPECT_EQ(run_.picker_folder, program_folder());
}

class PickerNewFolderTest : public FolderPickerTest {
  protected:
    void SetUp() override {
        FolderPickerTest::SetUp();
        picker_ = std::make_unique<FolderPickerDialog>(run_, kTitle, nullptr, &volumes_);
        picker_->show();
    }
    // Clicks "New Folder" and answers its input box with `answer`; gives the
    // title, prompt and proposed text the box had.
    QStringList new_folder(const test::ModalAnswerer::Answer& answer) {
        QStringList seen;
        test::ModalAnswerer answerer(
            [&](QWidget* modal) {
                if (const auto* input = qobject_cast<QInputDialog*>(modal)) {
                    seen = {input->windowTitle(), input->labelText(), input->textValue()};
                }
                answer(modal);
            },
            picker_.get());
        press(picker_.get(), "Command3");
        EXPECT_EQ(answerer.titles().size(), 1);
        return seen;
    }

    std::unique_ptr<FolderPickerDialog> picker_;
};

TEST_F(PickerNewFolderTest, MakesTheFolderAndOpensItOnceOnly) {
    const QStringList seen = new_folder(test::press_ok);
    EXPECT_EQ(seen, (QStringList{QStringLiteral("Create new folder"),
                                 QStringLiteral("Please enter a name for the new folder:"),
                                 QStringLiteral("New Folder")}));
    EXPECT_TRUE(QFileInfo(root_ + QStringLiteral("New Folder")).isDir());
    EXPECT_EQ(picker_->browsing().folder(), folder(QStringLiteral("New Folder")));
    EXPECT_EQ(label_text(picker_.get()), folder(QStringLiteral("New Folder")));
    EXPECT_EQ(run_.picker_folder, folder(QStringLiteral("New Folder")));
    EXPECT_TRUE(messages_.messages().empty());

    // The same name again in the same folder fails, and the folder stays.
    ASSERT_TRUE(picker_->browsing().open_folder(root_));
    new_folder(test::press_ok);
    ASSERT_EQ(messages_.messages().size(), 1U);
    EXPECT_EQ(messages_.messages()[0].caption, QStringLiteral("Folder Error!"));
    EXPECT_EQ(messages_.messages()[0].text, QStringLiteral("Error trying to create folder!"));
    EXPECT_EQ(picker_->browsing().folder(), root_);
    EXPECT_EQ(run_.picker_folder, root_);

    // Blanks around a name are dropped.
    new_folder(test::type_and_accept(QStringLiteral("  Snow  ")));
    EXPECT_TRUE(QFileInfo(root_ + QStringLiteral("Snow")).isDir());
    EXPECT_EQ(picker_->browsing().folder(), folder(QStringLiteral("Snow")));
}

TEST_F(PickerNewFolderTest, ABlankOrCancelledNameMakesNothingAndSaysNothing) {
    const QStringList before = root_entries();
    new_folder(test::type_and_accept(QStringLiteral("   ")));
    new_folder(test::reject);
    EXPECT_EQ(root_entries(), before);
    EXPECT_TRUE(messages_.messages().empty());
    EXPECT_EQ(picker_->browsing().folder(), root_);
}

TEST_F(PickerNewFolderTest, NamesThatAreNotOneFoldersNameAreRefused) {
    const QStringList before = root_entries();
    const QStringList names{QStringLiteral("alpha/inner"), QStringLiteral("."),
                            QStringLiteral(".."), QStringLiteral(" .. ")};
    for (const QString& name : names) {
        new_folder(test::type_and_accept(name));
    }
    EXPECT_EQ(messages_.texts(),
              QStringList(names.size(), QStringLiteral("Error trying to create folder!")));
    EXPECT_FALSE(QFileInfo::exists(root_ + QStringLiteral("alpha/inner")));
    EXPECT_EQ(root_entries(), before);
    EXPECT_EQ(picker_->browsing().folder(), root_);
}

}  // namespace
}  // namespace wm
