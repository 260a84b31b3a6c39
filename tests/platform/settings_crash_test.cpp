// A settings save killed at any instant leaves the file as one save or the
// other left it, whole; a save that meets a full disk fails with the system's
// reason and leaves the file as it was. The saves run in fork()ed children.

#include "platform/settings_store.h"
#include "tests/support/forked_child.h"
#include "tests/support/test_support.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <random>
#include <thread>

#include <sys/resource.h>

namespace wm {
namespace {

using test::ChildEnd;
using test::ForkedChild;
using test::read_file;

const QString kSection = QStringLiteral("Options");

// The values of one save: the same keys each time with values (and lengths)
// of their own, so that the file after a save is one known text.
SettingValues values_of(int seed, int count) {
    SettingValues values;
    for (int i = 1; i <= count; ++i) {
        values.emplace_back(
            QStringLiteral("caption%1").arg(i),
            QStringLiteral("Merry Christmas %1, ").arg(seed).repeated(1 + (i + seed) % 5));
    }
    return values;
}

class SettingsCrash : public ::testing::Test {
  protected:
    QString file() const { return home_.config_home() + QStringLiteral("/crash/settings.ini"); }

    bool save(const SettingValues& values, QString* error = nullptr) const {
        IniSettingsStore store(file(), {});
        return store.write(kSection, values, error);
    }

    // Empty when the file reads back as exactly `values`.
    QString differences(const SettingValues& values) const {
        const IniSettingsStore store(file(), {});
        for (const auto& [key, value] : values) {
            if (store.read(kSection, key) != value) {
                return key + QStringLiteral(" reads otherwise");
            }
        }
        return QString();
    }

    QStringList files_in_folder() const {
        return QDir(QFileInfo(file()).absolutePath()).entryList(QDir::Files | QDir::Hidden);
    }

    test::ScratchHome home_;
};

TEST_F(SettingsCrash, ASaveKilledAtAnyInstantLeavesOneWholeDocument) {
    // About 30 KB each: more than one write of a buffered file.
    const SettingValues first = values_of(1, 400);
    const SettingValues second = values_of(2, 400);
    ASSERT_TRUE(save(first));
    const QByteArray first_text = read_file(file());
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(save(second));
    const auto one_save = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - started);
    const QByteArray second_text = read_file(file());
    ASSERT_NE(first_text, second_text);
    ASSERT_GT(first_text.size(), 20000);

    // The kills are spread over about three saves, however fast this machine is.
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE(testing::Message() << "random seed " << seed);
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::int64_t> delay(
        0, std::max<std::int64_t>(3 * one_save.count(), 3000));
    constexpr int kRounds = 80;
    for (int round = 0; round < kRounds; ++round) {
        ForkedChild child([&](QByteArray& report) {
            for (int i = 0;; ++i) {
                QString error;
                if (!save(i % 2 == 0 ? first : second, &error)) {
                    report = error.toUtf8();
                    return 1;
                }
            }
        });
        ASSERT_TRUE(child.started());
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        const ChildEnd end = child.kill();
        ASSERT_EQ(end.signal, SIGKILL) << "round " << round << ": " << end.report.toStdString();
        const QByteArray text = read_file(file());
        ASSERT_TRUE(text == first_text || text == second_text)
            << "round " << round << ": a file of " << text.size() << " bytes";
        ASSERT_EQ(differences(text == first_text ? first : second), QString()) << "round " << round;
    }
    // What the kills left beside the file (informative only).
    RecordProperty("files_in_the_settings_folder", static_cast<int>(files_in_folder().size()));
}

TEST_F(SettingsCrash, ASaveThatMeetsAFullDiskFailsWithItsReasonAndKeepsTheFile) {
    constexpr rlim_t kRoom = 1000;
    // A document that fits one write buffer, and one that does not.
    for (const int count : {20, 400}) {
        SCOPED_TRACE(testing::Message() << count << " values");
        ASSERT_TRUE(QFile::remove(file()) || !QFileInfo::exists(file()));
        ASSERT_TRUE(save(values_of(1, 10)));
        const QByteArray before = read_file(file());
        ASSERT_LT(before.size(), static_cast<qsizetype>(kRoom));
        const SettingValues larger = values_of(2, count);
        ForkedChild child([&](QByteArray& report) {
            if (!test::limit_file_size(kRoom)) {
                report = "setrlimit failed";
                return 2;
            }
            QString error;
            const bool saved = save(larger, &error);
            report = error.toUtf8();
            return saved ? 1 : 0;
        });
        const ChildEnd end = child.wait();
        ASSERT_TRUE(end.exited) << "signal " << end.signal;
        ASSERT_NE(end.exit_code, 2) << end.report.toStdString();
        EXPECT_EQ(end.exit_code, 0) << "the save reported success";
        const QString error = QString::fromUtf8(end.report);
        EXPECT_TRUE(error.contains(qt_error_string(EFBIG))) << "error: " << error.toStdString();
        EXPECT_EQ(read_file(file()).size(), before.size());
        EXPECT_EQ(read_file(file()), before);
        EXPECT_EQ(files_in_folder(), QStringList{QStringLiteral("settings.ini")});
    }
}

}  // namespace
}  // namespace wm
