#include "platform/run_temp_folder.h"

#include "tests/support/test_support.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace wm {
namespace {

TEST(RunTempFolder, IsPrivateToTheRunAndGoesAwayWithItsFiles) {
    test::ScratchHome home;
    const QString folder = run_temp_folder();
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_TRUE(folder.startsWith(home.runtime() + QLatin1Char('/')));
    EXPECT_TRUE(folder.endsWith(QLatin1Char('/')));
    EXPECT_EQ(run_temp_folder(), folder);  // one folder for the whole run

    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    ASSERT_TRUE(test::write_file(folder + QStringLiteral("img_xyz.jpg"), "data"));
    remove_run_temp_folder();
    EXPECT_FALSE(QFileInfo::exists(folder));
    remove_run_temp_folder();  // a second removal is harmless

    const QString next = run_temp_folder();
    EXPECT_FALSE(next.isEmpty());
    EXPECT_NE(next, folder);
    remove_run_temp_folder();
}

TEST(RunTempFolder, UsesTheSystemTempFolderWithoutARuntimeFolder) {
    test::EnvGuard no_runtime("XDG_RUNTIME_DIR", std::nullopt);
    const QString folder = run_temp_folder();
    EXPECT_TRUE(folder.startsWith(QDir::tempPath()));
    remove_run_temp_folder();
}

TEST(RunTempFolder, GoesAwayAtOnceWithSystemCallsAlone) {
    test::ScratchHome home;
    const QString folder = run_temp_folder();
    ASSERT_FALSE(folder.isEmpty());
    for (const char* name : {"img_xyz.jpg", "img_xyz.png", "img_xyz.mid", ".hidden"}) {
        ASSERT_TRUE(test::write_file(folder + QString::fromLatin1(name), "data"));
    }
    remove_run_temp_folder_at_once();
    EXPECT_FALSE(QFileInfo::exists(folder));
    remove_run_temp_folder_at_once();  // a second removal is harmless

    // A new folder comes next; removing the old one again never touches it.
    const QString next = run_temp_folder();
    ASSERT_FALSE(next.isEmpty());
    EXPECT_NE(next, folder);
    remove_run_temp_folder();
    EXPECT_FALSE(QFileInfo::exists(next));
    const QString third = run_temp_folder();
    remove_run_temp_folder_at_once();
    EXPECT_FALSE(QFileInfo::exists(third));
    // Once the folder has gone the ordinary way, there is nothing left to remove.
    const QString fourth = run_temp_folder();
    remove_run_temp_folder();
    ASSERT_TRUE(QDir().mkpath(fourth));
    remove_run_temp_folder_at_once();
    EXPECT_TRUE(QFileInfo(fourth).isDir());
    QDir().rmdir(fourth);
}

}  // namespace
}  // namespace wm
