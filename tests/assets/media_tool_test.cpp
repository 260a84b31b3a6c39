// The media generator's command line: what it makes on request, and how it
// refuses what it cannot do.

#include "tests/support/test_support.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace wm::test {
namespace {

const QString kMediaDir = QStringLiteral(WM_MEDIA_DIR);

struct ToolRun {
    int exit_code = -1;
    QByteArray err;
};

ToolRun run_tool(const QStringList& arguments) {
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral(WM_MEDIA_TOOL), arguments);
    // A generous bound only so that a hanging tool fails the test instead of the run.
    EXPECT_TRUE(tool.waitForFinished(300000));
    EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
    return {tool.exitCode(), tool.readAllStandardError()};
}

TEST(MediaTool, RendersOneFileByItsNameAndWritesAContactSheet) {
    QTemporaryDir out;
    const QString song = out.path() + QStringLiteral("/song.mid");
    ASSERT_EQ(
        run_tool({QStringLiteral("render"), QStringLiteral("silent_night.mid"), song}).exit_code,
        0);
    EXPECT_EQ(read_file(song), read_file(kMediaDir + QStringLiteral("/members/silent_night.mid")));
    const QString icon = out.path() + QStringLiteral("/icon.png");
    ASSERT_EQ(
        run_tool({QStringLiteral("render"), QStringLiteral("wintermere-48.png"), icon}).exit_code,
        0);
    EXPECT_EQ(read_file(icon), read_file(kMediaDir + QStringLiteral("/icons/wintermere-48.png")));

    const QString sheet = out.path() + QStringLiteral("/sheet.png");
    const ToolRun run = run_tool({QStringLiteral("contact-sheet"), kMediaDir, sheet});
    ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
    const QImage picture(sheet);
    EXPECT_GT(picture.width(), 1000);
    EXPECT_GT(picture.height(), 1000);
}

TEST(MediaTool, RefusesWhatItCannotDoWithAClearMessage) {
    QTemporaryDir out;
    for (const QStringList& wrong :
         {QStringList{}, QStringList{QStringLiteral("build")},
          QStringList{QStringLiteral("render"), QStringLiteral("about.png")},
          QStringList{QStringLiteral("paint"), out.path()}}) {
        const ToolRun run = run_tool(wrong);
        EXPECT_EQ(run.exit_code, 2) << wrong.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(run.err.contains("usage:"));
    }

    ToolRun run = run_tool({QStringLiteral("render"), QStringLiteral("no_such.jpg"),
                            out.path() + QStringLiteral("/x")});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(run.err.contains("no media file is called no_such.jpg")) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(out.path() + QStringLiteral("/x")));

    // A folder that cannot be made: below a plain file.
    ASSERT_TRUE(write_file(out.path() + QStringLiteral("/plain"), "x"));
    run = run_tool({QStringLiteral("build"), out.path() + QStringLiteral("/plain/media")});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(run.err.contains("cannot create")) << run.err.toStdString();

    // A contact sheet of a folder the generator never filled, or filled with junk.
    const QString sheet = out.path() + QStringLiteral("/sheet.png");
    run = run_tool({QStringLiteral("contact-sheet"), out.path(), sheet});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(run.err.contains("missing")) << run.err.toStdString();
    ASSERT_TRUE(QDir(out.path()).mkpath(QStringLiteral("members")));
    ASSERT_TRUE(write_file(out.path() + QStringLiteral("/members/snowy_village.jpg"), "junk"));
    run = run_tool({QStringLiteral("contact-sheet"), out.path(), sheet});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(run.err.contains("cannot read")) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(sheet));
}

}  // namespace
}  // namespace wm::test
