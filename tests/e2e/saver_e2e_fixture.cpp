#include "tests/e2e/saver_e2e_fixture.h"

#include "tests/e2e/screen_stats.h"

#include <QDir>
#include <QDirIterator>

#include <algorithm>

namespace wm::e2e {

QStringList everything_in(const QString& folder) {
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        found << QDir(folder).relativeFilePath(it.next());
    }
    return found;
}

void SaverE2eTest::SetUp() {
    ASSERT_TRUE(display_.error().isEmpty()) << text(display_.error());
    QString error;
    ASSERT_TRUE(saver_.install(&error)) << text(error);
}

void SaverE2eTest::set_options(const SettingValues& own) {
    SettingValues values = {{QStringLiteral("mute_audio"), QStringLiteral("1")},
                            {QStringLiteral("show_time"), QStringLiteral("0")},
                            {QStringLiteral("objects_off"), QStringLiteral("1")}};
    for (const auto& [key, value] : own) {
        auto same = std::find_if(values.begin(), values.end(),
                                 [&key](const auto& v) { return v.first == key; });
        if (same != values.end()) {
            same->second = value;
        } else {
            values.emplace_back(key, value);
        }
    }
    QString error;
    ASSERT_TRUE(saver_.set_options(values, &error)) << text(error);
}

void SaverE2eTest::start_saver(SaverProcess& run, QImage* shot, const QRect& stage) {
    ASSERT_TRUE(run.start({QStringLiteral("/s")})) << text(run.report());
    const bool shown = poll_until(kFirstPictureMs, [&] {
        if (!run.running()) {
            return true;  // reported below
        }
        if (display_.windows_titled(kTitle).isEmpty()) {
            return false;
        }
        *shot = display_.screenshot();
        return !shot->isNull() && distinct_colours(*shot, stage) > kPictureColours;
    });
    ASSERT_TRUE(run.running()) << "the saver ended before showing a picture: "
                               << text(run.report());
    ASSERT_TRUE(shown) << "no window titled \"" << text(kTitle) << "\" with a picture within "
                       << kFirstPictureMs / 1000
                       << " s (windows: " << display_.windows_titled(kTitle).size() << "); "
                       << text(run.report());
}

void SaverE2eTest::end_by_input(SaverProcess& run, const QStringList& input) {
    ASSERT_TRUE(display_.xdotool(input)) << "xdotool " << text(input.join(QLatin1Char(' ')));
    EXPECT_TRUE(run.wait_for_end(kEndMs))
        << "xdotool " << text(input.join(QLatin1Char(' '))) << " did not end the saver within "
        << kEndMs / 1000 << " s";
    EXPECT_TRUE(run.ended_cleanly()) << text(run.report());
}

QStringList SaverE2eTest::own_run_files() const {
    QStringList own;
    const QString base = saver_.runtime_folder();
    for (const QString& entry : everything_in(base)) {
        if (entry.startsWith(QStringLiteral("wintermere-"))) {
            own << entry;
        }
    }
    return own;
}

}  // namespace wm::e2e
