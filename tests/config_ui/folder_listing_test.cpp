// What the browsing windows list: the drives a person recognises, folders and
// the files matching a window's patterns, and where browsing starts.

#include "config_ui/folder_listing.h"

#include "platform/app_paths.h"
#include "tests/support/test_support.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace wm {
namespace {

QStringList roots_of(const std::vector<Volume>& volumes) {
    QStringList roots;
    for (const Volume& v : volumes) {
        roots.append(v.root);
    }
    return roots;
}

TEST(RecognisableVolumes, KeepsPeoplesDrivesAndLeavesOutTheSystemsOwn) {
    const QTemporaryDir home;
    const QTemporaryDir mnt;
    const std::vector<MountedVolume> mounts{
        {QStringLiteral("/proc"), "proc", "proc", {}},
        {QStringLiteral("/sys/fs/cgroup"), "cgroup", "cgroup2", {}},
        {QStringLiteral("/dev/shm"), "tmpfs", "tmpfs", {}},
        {QStringLiteral("/tmp"), "tmpfs", "TMPFS", {}},
        {QStringLiteral("/snap/core/123"), "/dev/loop3", "squashfs", {}},
        {QStringLiteral("/opt/image"), "/dev/loop7", "ext4", {}},
        {QStringLiteral("/run/user/1000"), "tmpfs", "tmpfs", {}},
        {QStringLiteral("/boot/efi"), "/dev/sda1", "vfat", {}},
        {QStringLiteral("/media/ann/3A4F-11C2"), "/dev/sdb1", "vfat", QStringLiteral("HOLIDAY")},
        {QStringLiteral("/run/media/ann/CAMERA"), "/dev/sdc1", "exfat", QStringLiteral("CAMERA")},
        {QStringLiteral("/mnt/nas"), "nas:/share", "nfs4", {}, true, false},  // not ready
        {QStringLiteral("/data"), "/dev/sda3", "ext4", {}, false, true},      // not valid
        {QStringLiteral("/"), "overlay", "overlay", {}},  // a container's root is still the root
        {QStringLiteral("/home"), "/dev/sda2", "ext4", {}},
        {QStringLiteral("/home/"), "/dev/sda2", "ext4", {}},  // the same root twice
    };
    const std::vector<Volume> volumes =
        recognisable_volumes(mounts, home.path(), {mnt.path(), QStringLiteral("/no/such/mnt")});
    // The two scratch folders (home and the extra one) sort by their names.
    QStringList scratch{with_trailing_separator(home.path()), with_trailing_separator(mnt.path())};
    scratch.sort();
    EXPECT_EQ(roots_of(volumes), (QStringList{QStringLiteral("/"), QStringLiteral("/home/"),
                                              QStringLiteral("/media/ann/3A4F-11C2/"),
                                              QStringLiteral("/run/media/ann/CAMERA/")} +
                                  scratch));
    EXPECT_EQ(volumes[0].label, QStringLiteral("/"));
    EXPECT_EQ(volumes[2].label, QStringLiteral("/media/ann/3A4F-11C2 [HOLIDAY]"));
    EXPECT_EQ(volumes[3].label, QStringLiteral("/run/media/ann/CAMERA"));
    const int home_entry = volume_holding(volumes, home.path());
    ASSERT_GE(home_entry, 0);
    EXPECT_TRUE(
        volumes[static_cast<std::size_t>(home_entry)].label.endsWith(QStringLiteral("[Home]")));
}

TEST(RecognisableVolumes, TheFolderOfAPathIsOnTheVolumeWithTheLongestRoot) {
    const std::vector<Volume> volumes{{QStringLiteral("/"), QStringLiteral("/")},
                                      {QStringLiteral("/home/"), QStringLiteral("/home")},
                                      {QStringLiteral("/home/ann/"), QStringLiteral("Home")}};
    EXPECT_EQ(volume_holding(volumes, QStringLiteral("/home/ann/Pictures/")), 2);
    EXPECT_EQ(volume_holding(volumes, QStringLiteral("/home/ann")), 2);
    EXPECT_EQ(volume_holding(volumes, QStringLiteral("/home/annie/")), 1);  // not a leading folder
    EXPECT_EQ(volume_holding(volumes, QStringLiteral("/etc/")), 0);
    EXPECT_EQ(volume_holding({}, QStringLiteral("/etc/")), -1);
}

TEST(FolderListing, FilesMatchThePatternsWhateverTheirLetterCase) {
    const QTemporaryDir dir;
    for (const char* name : {"b.jpg", "PHOTO.JPG", "a.Gif", "scan.bmp", "song.mid", "notes.txt",
                             "picture.jpeg", ".hidden.jpg", "photo 10.jpg", "photo 9.jpg"}) {
        test::write_file_in(dir, QString::fromLatin1(name), "x");
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.jpg")));  // a folder is no file
    EXPECT_EQ(matching_file_names(dir.path(), QStringLiteral("*.gif;*.bmp;*.jpg")),
              (QStringList{QStringLiteral("a.Gif"), QStringLiteral("b.jpg"),
                           QStringLiteral("photo 9.jpg"), QStringLiteral("photo 10.jpg"),
                           QStringLiteral("PHOTO.JPG"), QStringLiteral("scan.bmp")}));
    test::write_file_in(dir, QStringLiteral("README"), "x");
    EXPECT_EQ(matching_file_names(dir.path(), QStringLiteral("*.*")).size(), 10);
    EXPECT_TRUE(
        matching_file_names(dir.path() + QStringLiteral("/gone"), QStringLiteral("*.*")).isEmpty());
}

TEST(FolderListing, SubfoldersLeaveOutHiddenOnesAndFiles) {
    const QTemporaryDir dir;
    QDir root(dir.path());
    for (const char* name : {"Winter", "autumn", ".cache", "2024", "10 trips", "9 trips"}) {
        ASSERT_TRUE(root.mkdir(QString::fromLatin1(name)));
    }
    test::write_file_in(dir, QStringLiteral("file"), "x");
    EXPECT_EQ(
        subfolder_names(dir.path()),
        (QStringList{QStringLiteral("9 trips"), QStringLiteral("10 trips"), QStringLiteral("2024"),
                     QStringLiteral("autumn"), QStringLiteral("Winter")}));
}

TEST(FolderListing, AFolderChainRunsUpToTheRoot) {
    EXPECT_EQ(
        folder_chain(QStringLiteral("/home/ann/")),
        (QStringList{QStringLiteral("/home/ann/"), QStringLiteral("/home/"), QStringLiteral("/")}));
    EXPECT_EQ(folder_chain(QStringLiteral("/home//ann")),
              folder_chain(QStringLiteral("/home/ann")));
    EXPECT_EQ(folder_chain(QStringLiteral("/")), QStringList{QStringLiteral("/")});
}

TEST(FolderListing, BrowsingStartsInTheRememberedFolderOrTheProgramsOrHome) {
    const QTemporaryDir dir;
    EXPECT_EQ(start_folder(dir.path()), with_trailing_separator(dir.path()));
    // Gone, never set, or a file: the program's folder.
    const QString file = test::write_file_in(dir, QStringLiteral("f"), "x");
    for (const QString& stale : {dir.path() + QStringLiteral("/gone/"), QString(), file}) {
        EXPECT_EQ(start_folder(stale), program_folder());
    }
    // A folder that cannot be read is no place to start either.
    const QString locked = dir.path() + QStringLiteral("/locked");
    ASSERT_TRUE(QDir().mkdir(locked));
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::WriteOwner));
    if (!QFileInfo(locked).isReadable()) {  // root reads everything
        EXPECT_EQ(start_folder(locked), program_folder());
        EXPECT_FALSE(folder_can_be_opened(locked));
    }
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

}  // namespace
}  // namespace wm
