#include "platform/registry.h"

#include "tests/platform/special_files.h"
#include "tests/support/test_support.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace wm {
namespace {

constexpr auto kUser = static_cast<std::uint32_t>(RootKey::CurrentUser);
const QString kDesktop = QStringLiteral("Control Panel\\Desktop");

class RegistryTest : public ::testing::Test {
  protected:
    test::ScratchHome home_;
    Registry registry_;
};

TEST_F(RegistryTest, NumbersReadAsAtLeastThreeDigits) {
    ASSERT_TRUE(registry_.write_dword(kUser, kDesktop, QStringLiteral("ScreenSaveUsePassword"), 1));
    ASSERT_TRUE(registry_.write_dword(kUser, kDesktop, QStringLiteral("Big"), 4294967295u));
    EXPECT_EQ(registry_.read_string(kUser, kDesktop, QStringLiteral("ScreenSaveUsePassword")),
              QStringLiteral("001"));
    EXPECT_EQ(registry_.read_string(kUser, kDesktop, QStringLiteral("Big")),
              QStringLiteral("4294967295"));
}

TEST_F(RegistryTest, StringsReadWithoutTheirTerminatingNul) {
    registry_.write_string(kUser, kDesktop, QStringLiteral("WithNul"),
                           QStringLiteral("1") + QChar(0));
    EXPECT_TRUE(write_registry_string(kUser, kDesktop, QStringLiteral("TileWallpaper"),
                                      QStringLiteral("2")));
    EXPECT_EQ(read_registry_string(kUser, kDesktop, QStringLiteral("WithNul")),
              QStringLiteral("1"));
    // Written without a NUL, one character is stored and read back whole.
    EXPECT_TRUE(test::read_file(registry_.file()).contains("TileWallpaper=REG_SZ:2\n"));
    EXPECT_EQ(read_registry_string(kUser, kDesktop, QStringLiteral("TileWallpaper")),
              QStringLiteral("2"));
    // Key paths match regardless of letter case.
    EXPECT_EQ(read_registry_string(kUser, QStringLiteral("control panel\\DESKTOP"),
                                   QStringLiteral("TileWallpaper")),
              QStringLiteral("2"));
}

TEST_F(RegistryTest, EveryFailureReadsAsEmptyText) {
    registry_.write_string(kUser, kDesktop, QStringLiteral("Present"), QStringLiteral("x"));
    EXPECT_EQ(registry_.read_string(kUser, kDesktop, QStringLiteral("Absent")), QString());
    EXPECT_EQ(
        registry_.read_string(kUser, QStringLiteral("No\\Such\\Key"), QStringLiteral("Present")),
        QString());
    EXPECT_EQ(registry_.read_string(static_cast<std::uint32_t>(RootKey::LocalMachine), kDesktop,
                                    QStringLiteral("Present")),
              QString());
    // Only the predefined root keys open.
    EXPECT_EQ(registry_.read_string(0x80000007u, kDesktop, QStringLiteral("Present")), QString());
    EXPECT_EQ(registry_.read_string(0x7fffffffu, kDesktop, QStringLiteral("Present")), QString());
    EXPECT_FALSE(
        registry_.write_string(0x12345u, kDesktop, QStringLiteral("Nowhere"), QStringLiteral("x")));
    EXPECT_FALSE(test::read_file(registry_.file()).contains("Nowhere"));

    // Names the store cannot hold are refused rather than bending its file.
    const QByteArray before = test::read_file(registry_.file());
    EXPECT_FALSE(
        registry_.write_dword(kUser, QStringLiteral("Evil]\n[Injected"), QStringLiteral("v"), 1));
    EXPECT_FALSE(
        registry_.write_dword(kUser, QStringLiteral("Line\nBreak"), QStringLiteral("v"), 1));
    for (const char* name : {"", " padded", "a=b", "[x", "; note", "two\nlines"}) {
        EXPECT_FALSE(registry_.write_dword(kUser, kDesktop, QString::fromLatin1(name), 1)) << name;
        EXPECT_EQ(registry_.read_string(kUser, kDesktop, QString::fromLatin1(name)), QString());
    }
    EXPECT_EQ(test::read_file(registry_.file()), before);
}

TEST_F(RegistryTest, DataLongerThanTheBufferReadsAsEmpty) {
    registry_.write_string(kUser, kDesktop, QStringLiteral("Fits"), QString(255, QLatin1Char('a')));
    registry_.write_string(kUser, kDesktop, QStringLiteral("FitsWithNul"),
                           QString(254, QLatin1Char('a')) + QChar(0));
    registry_.write_string(kUser, kDesktop, QStringLiteral("TooLong"),
                           QString(256, QLatin1Char('a')));
    EXPECT_EQ(registry_.read_string(kUser, kDesktop, QStringLiteral("Fits")).size(), 255);
    EXPECT_EQ(registry_.read_string(kUser, kDesktop, QStringLiteral("FitsWithNul")).size(), 254);
    EXPECT_EQ(registry_.read_string(kUser, kDesktop, QStringLiteral("TooLong")), QString());
}

TEST_F(RegistryTest, ASpecialFileReadsAsEmptyAndIsNeverReplaced) {
    // The wallpaper's values are read and written as the saver ends: a store
    // that waited on a pipe or read a device without end would keep it from
    // ever ending.
    QDir().mkpath(QFileInfo(registry_.file()).absolutePath());
    for (const test::SpecialFile kind : test::kSpecialFiles) {
        SCOPED_TRACE(test::name_of(kind));
        QFile::remove(registry_.file());
        ASSERT_TRUE(test::make_special_file(kind, registry_.file()));
        const test::PipeReleaser pipe(registry_.file());
        EXPECT_EQ(registry_.read_string(kUser, kDesktop, QStringLiteral("TileWallpaper")),
                  QString());
        EXPECT_FALSE(registry_.write_string(kUser, kDesktop, QStringLiteral("TileWallpaper"),
                                            QStringLiteral("0")));
        EXPECT_FALSE(write_registry_string(kUser, kDesktop, QStringLiteral("WallpaperStyle"),
                                           QStringLiteral("2")));
        EXPECT_TRUE(test::special_file_still_there(kind, registry_.file()));
    }
}

}  // namespace
}  // namespace wm
