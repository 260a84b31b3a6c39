// The real executable, started as a host would start it.

#include "tests/support/test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace wm {
namespace {

struct ProgramRun {
    int exit_code = -1;
    QString err;
    QString out;
};

class ProgramTest : public ::testing::Test {
  protected:
    ProgramRun run(const QStringList& args) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home_.config_home());
        env.insert(QStringLiteral("XDG_CONFIG_DIRS"), home_.system_config());
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(WM_PROGRAM), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardError()),
                QString::fromLocal8Bit(p.readAllStandardOutput())};
    }
    void install_system_wide(const QByteArray& path) {
        const QString file =
            home_.system_config() + QStringLiteral("/Quillory Wintermere/settings.ini");
        QDir().mkpath(QFileInfo(file).absolutePath());
        ASSERT_TRUE(test::write_file(file, "[Config]\ninstall_path=" + path + "\n"));
    }
    test::ScratchHome home_;
};

TEST_F(ProgramTest, WithoutAnInstallPathEveryModeReportsItAndEnds) {
    for (const QStringList& args :
         {QStringList{}, QStringList{QStringLiteral("/s")}, QStringList{QStringLiteral("/m")},
          QStringList{QStringLiteral("/a"), QStringLiteral("1")}}) {
        const ProgramRun r = run(args);
        EXPECT_EQ(r.exit_code, 1);
        EXPECT_EQ(
            r.err.trimmed(),
            QStringLiteral(
                "Wintermere: Install path error! Please uninstall, then Reinstall this program!"));
    }
    EXPECT_TRUE(QDir(home_.config_home()).isEmpty());
}

TEST_F(ProgramTest, AHostsCommandLineThatCannotBeUsedIsAOneLineErrorWithStatusTwo) {
    install_system_wide("/opt/wintermere");
    struct Case {
        QStringList args;
        const char* error;
    };
    for (const Case& c :
         {Case{{QStringLiteral("--bogus")}, "unknown option \"--bogus\""},
          Case{{QStringLiteral("--window-id"), QStringLiteral("0xZZ")},
               "--window-id: \"0xZZ\" is not a window id"},
          Case{{QStringLiteral("-root"), QStringLiteral("-birds"), QStringLiteral("99")},
               "-birds: 99 is outside the range 0..20"}}) {
        const ProgramRun r = run(c.args);
        EXPECT_EQ(r.exit_code, 2) << c.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("wintermere: ") + QLatin1String(c.error)))
            << r.err.toStdString();
        EXPECT_EQ(r.err.count(QLatin1Char('\n')), 1) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    // The Windows-style switches keep their rules: "-s" ends silently.
    const ProgramRun quiet = run({QStringLiteral("-s")});
    EXPECT_EQ(quiet.exit_code, 0);
    EXPECT_TRUE(quiet.err.isEmpty()) << quiet.err.toStdString();
}

TEST_F(ProgramTest, WindowsWithoutADisplaySaySoAndFail) {
    install_system_wide("/opt/wintermere");
    struct Case {
        QStringList args;
        const char* window;
    };
    for (const Case& c : {Case{{}, "the configuration window"},
                          Case{{QStringLiteral("/c")}, "the configuration window"},
                          Case{{QStringLiteral("/C:1234")}, "the configuration window"},
                          Case{{QStringLiteral("/m")}, "the pack builder"},
                          Case{{QStringLiteral("/M")}, "the pack builder"},
                          Case{{QStringLiteral("/p"), QStringLiteral("123")}, "the preview (/p)"},
                          Case{{QStringLiteral("--window-id"), QStringLiteral("0x400001")},
                               "the saver in a host's window"}}) {
        const ProgramRun r = run(c.args);
        EXPECT_EQ(r.exit_code, 2) << c.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(r.err, QStringLiteral("wintermere: %1 needs a display (none was found)\n")
                             .arg(QLatin1String(c.window)));
    }
    EXPECT_TRUE(QDir(home_.config_home()).isEmpty());
}

TEST_F(ProgramTest, PasswordChangeAndUnknownSwitchesEndAtOnceQuietly) {
    install_system_wide("/opt/wintermere");
    for (const QStringList& args :
         {QStringList{QStringLiteral("/a"), QStringLiteral("42")},
          QStringList{QStringLiteral("-s")}, QStringList{QStringLiteral("s")}}) {
        const ProgramRun r = run(args);
        EXPECT_EQ(r.exit_code, 0);
        EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_TRUE(QDir(home_.config_home()).isEmpty());
}

}  // namespace
}  // namespace wm
