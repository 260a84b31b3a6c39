#include "platform/app_paths.h"

#include "tests/support/test_support.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace wm {
namespace {

TEST(AppPaths, FoldersFollowTheDesktopsVariablesWithTheirDefaults) {
    test::ScratchHome home;
    EXPECT_EQ(user_config_folder(), home.config_home() + QStringLiteral("/Quillory Wintermere/"));
    EXPECT_EQ(system_config_folders(),
              QStringList{home.system_config() + QStringLiteral("/Quillory Wintermere/")});
    {
        test::EnvGuard several("XDG_CONFIG_DIRS",
                               QStringLiteral("/etc/xdg/xdg-gnome:relative:/etc/xdg/"));
        EXPECT_EQ(system_config_folders(),
                  (QStringList{QStringLiteral("/etc/xdg/xdg-gnome/Quillory Wintermere/"),
                               QStringLiteral("/etc/xdg/Quillory Wintermere/")}));
    }
    {
        test::EnvGuard unset_home("XDG_CONFIG_HOME", std::nullopt);
        test::EnvGuard unset_dirs("XDG_CONFIG_DIRS", QString());
        EXPECT_EQ(user_config_folder(),
                  QDir::homePath() + QStringLiteral("/.config/Quillory Wintermere/"));
        EXPECT_EQ(system_config_folders(), QStringList{default_system_config_folder()});
        EXPECT_EQ(default_system_config_folder(), QStringLiteral("/etc/xdg/Quillory Wintermere/"));
    }
}

TEST(AppPaths, TheWindowsFolderPersistsInTheUsersDataFolder) {
    test::ScratchHome home;
    const QString expected = home.data_home() + QStringLiteral("/Quillory Wintermere/");
    ASSERT_FALSE(QFileInfo::exists(expected));
    EXPECT_EQ(windows_folder(), expected);
    EXPECT_TRUE(QFileInfo(expected).isDir());

    // A data folder that cannot be made gives empty text, not a bad path.
    ASSERT_TRUE(test::write_file(home.path() + QStringLiteral("/file"), "x"));
    test::EnvGuard blocked("XDG_DATA_HOME", home.path() + QStringLiteral("/file"));
    EXPECT_EQ(windows_folder(), QString());
}

TEST(AppPaths, FolderPathsEndInOneSeparator) {
    EXPECT_EQ(with_trailing_separator(QStringLiteral("/opt/wm")), QStringLiteral("/opt/wm/"));
    EXPECT_EQ(with_trailing_separator(QStringLiteral("/opt/wm/")), QStringLiteral("/opt/wm/"));
    EXPECT_EQ(with_trailing_separator(QString()), QString());
}

}  // namespace
}  // namespace wm
