#include "platform/settings_store.h"

#include "tests/platform/special_files.h"
#include "tests/support/test_support.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace wm {
namespace {

using test::read_file;
using test::write_file;

class SettingsStoreTest : public ::testing::Test {
  protected:
    QString user_file() const {
        return home_.config_home() + QStringLiteral("/Quillory Wintermere/settings.ini");
    }
    QString system_file() const {
        return home_.system_config() + QStringLiteral("/Quillory Wintermere/settings.ini");
    }
    test::ScratchHome home_;
};

TEST_F(SettingsStoreTest, ReadsTheUsersFileFirstThenTheSystemsCopy) {
    QDir().mkpath(QFileInfo(system_file()).absolutePath());
    ASSERT_TRUE(write_file(system_file(),
                           "[Config]\ninstall_path=/usr/share/wintermere/\n"
                           "[Options]\nframe_rate=20\nshow_time=0\n"));
    QDir().mkpath(QFileInfo(user_file()).absolutePath());
    ASSERT_TRUE(write_file(user_file(), "[Options]\nframe_rate=45\n"));

    const IniSettingsStore store;
    EXPECT_EQ(store.user_file(), user_file());
    EXPECT_EQ(
        get_setting(store, QStringLiteral("Config"), QStringLiteral("install_path"), QString()),
        QStringLiteral("/usr/share/wintermere/"));
    EXPECT_EQ(
        get_setting(store, QStringLiteral("Options"), QStringLiteral("frame_rate"), QString()),
        QStringLiteral("45"));
    EXPECT_EQ(get_setting(store, QStringLiteral("Options"), QStringLiteral("show_time"), QString()),
              QStringLiteral("0"));
    EXPECT_EQ(get_setting(store, QStringLiteral("Options"), QStringLiteral("absent"),
                          QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(store.keys(QStringLiteral("Options")).size(), 2);
}

TEST_F(SettingsStoreTest, WritesOnlyTheUsersFileAndKeepsWhatItDoesNotWrite) {
    QDir().mkpath(QFileInfo(user_file()).absolutePath());
    ASSERT_TRUE(
        write_file(user_file(), "[Config]\ninstall_path=/home/me/wm/\n[Options]\nmine=1\n"));
    IniSettingsStore store;
    QString error;
    ASSERT_TRUE(store.write(QStringLiteral("Options"),
                            {{QStringLiteral("frame_rate"), QStringLiteral("60")},
                             {QStringLiteral("caption1"), QStringLiteral(" a, b; \"c\" = d ")}},
                            &error))
        << error.toStdString();
    EXPECT_FALSE(QFile::exists(system_file()));

    const IniSettingsStore again;
    EXPECT_EQ(again.read(QStringLiteral("Config"), QStringLiteral("install_path")),
              QStringLiteral("/home/me/wm/"));
    EXPECT_EQ(again.read(QStringLiteral("Options"), QStringLiteral("mine")), QStringLiteral("1"));
    EXPECT_EQ(again.read(QStringLiteral("Options"), QStringLiteral("caption1")),
              QStringLiteral(" a, b; \"c\" = d "));
    // The write left nothing beside the file.
    EXPECT_EQ(QDir(QFileInfo(user_file()).absolutePath()).entryList(QDir::Files).size(), 1);
}

TEST_F(SettingsStoreTest, AFailedWriteChangesNothingAndSaysWhy) {
    // A settings folder that is a plain file cannot take a settings file.
    const QString blocked = home_.path() + QStringLiteral("/blocked");
    ASSERT_TRUE(write_file(blocked, "not a folder"));
    IniSettingsStore store(blocked + QStringLiteral("/settings.ini"), {});
    QString error;
    EXPECT_FALSE(store.write(QStringLiteral("Options"),
                             {{QStringLiteral("k"), QStringLiteral("v")}}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(store.read(QStringLiteral("Options"), QStringLiteral("k")).has_value());
    EXPECT_EQ(read_file(blocked), QByteArray("not a folder"));

    // An existing store that cannot be read is never written over.
    const QString folder_in_the_way = home_.path() + QStringLiteral("/dir.ini");
    QDir().mkpath(folder_in_the_way);
    IniSettingsStore unreadable(folder_in_the_way, {});
    error.clear();
    EXPECT_FALSE(unreadable.write(QStringLiteral("Options"),
                                  {{QStringLiteral("k"), QStringLiteral("v")}}, &error));
    EXPECT_TRUE(QFileInfo(folder_in_the_way).isDir());
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(SettingsStoreTest, SeesWhatAnotherCopySavedBeforeItWrites) {
    IniSettingsStore first;
    IniSettingsStore second;
    ASSERT_TRUE(first.write(QStringLiteral("Options"), {{QStringLiteral("a"), QStringLiteral("1")}},
                            nullptr));
    ASSERT_TRUE(second.write(QStringLiteral("Options"),
                             {{QStringLiteral("b"), QStringLiteral("2")}}, nullptr));
    const IniSettingsStore reader;
    EXPECT_EQ(reader.read(QStringLiteral("Options"), QStringLiteral("a")), QStringLiteral("1"));
    EXPECT_EQ(reader.read(QStringLiteral("Options"), QStringLiteral("b")), QStringLiteral("2"));
}

TEST_F(SettingsStoreTest, ASpecialFileReadsAsNoSettingsAndIsNeverReplaced) {
    QDir().mkpath(QFileInfo(user_file()).absolutePath());
    QDir().mkpath(QFileInfo(system_file()).absolutePath());
    for (const test::SpecialFile kind : test::kSpecialFiles) {
        SCOPED_TRACE(test::name_of(kind));
        QFile::remove(user_file());
        QFile::remove(system_file());
        ASSERT_TRUE(test::make_special_file(kind, user_file()));
        ASSERT_TRUE(test::make_special_file(kind, system_file()));
        const test::PipeReleaser user_pipe(user_file());
        const test::PipeReleaser system_pipe(system_file());

        IniSettingsStore store;
        EXPECT_FALSE(store.read(QStringLiteral("Config"), QStringLiteral("install_path")));
        EXPECT_TRUE(store.keys(QStringLiteral("Options")).isEmpty());
        QString error;
        EXPECT_FALSE(store.write(QStringLiteral("Options"),
                                 {{QStringLiteral("frame_rate"), QStringLiteral("60")}}, &error));
        EXPECT_EQ(error, QStringLiteral("cannot read %1, so it is left as it is").arg(user_file()));
        EXPECT_FALSE(store.read(QStringLiteral("Options"), QStringLiteral("frame_rate")));
        EXPECT_TRUE(test::special_file_still_there(kind, user_file()));
        EXPECT_TRUE(test::special_file_still_there(kind, system_file()));
    }
}

TEST_F(SettingsStoreTest, SavesIntoAFileWithDoubledCarriageReturnsReadBack) {
    // As a file edited on another system and copied back through a text-mode
    // transfer has it: every line end is CR CR LF.
    QDir().mkpath(QFileInfo(user_file()).absolutePath());
    ASSERT_TRUE(write_file(user_file(),
                           "[Config]\r\r\ninstall_path=/opt/wm/\r\r\n"
                           "[Options]\r\r\nframe_rate=45\r\r\n"));
    for (const char* rate : {"50", "12"}) {
        IniSettingsStore store;
        ASSERT_TRUE(store.write(QStringLiteral("Options"),
                                {{QStringLiteral("frame_rate"), QString::fromLatin1(rate)}},
                                nullptr));
        const IniSettingsStore reread;
        EXPECT_EQ(reread.read(QStringLiteral("Options"), QStringLiteral("frame_rate")),
                  QString::fromLatin1(rate));
        EXPECT_EQ(reread.read(QStringLiteral("Config"), QStringLiteral("install_path")),
                  QStringLiteral("/opt/wm/"));
    }
    EXPECT_EQ(read_file(user_file()).count("[Options]"), 1);
}

TEST_F(SettingsStoreTest, ASettingThatCannotBeStoredFailsTheWholeWrite) {
    QDir().mkpath(QFileInfo(user_file()).absolutePath());
    ASSERT_TRUE(write_file(user_file(), "[Options]\nframe_rate=30\n"));
    IniSettingsStore store;
    QString error;
    EXPECT_FALSE(store.write(QStringLiteral("Options"),
                             {{QStringLiteral("frame_rate"), QStringLiteral("60")},
                              {QStringLiteral("bad\nkey"), QStringLiteral("1")}},
                             &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(read_file(user_file()), QByteArray("[Options]\nframe_rate=30\n"));
    EXPECT_EQ(store.read(QStringLiteral("Options"), QStringLiteral("frame_rate")),
              QStringLiteral("30"));
}

}  // namespace
}  // namespace wm
