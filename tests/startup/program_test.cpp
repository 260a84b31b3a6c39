// The real executable, started as a host would start it.

#include "platform/version.h"
#include "startup/host_options.h"
#include "tests/support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

namespace wm {
namespace {

struct ProgramRun {
    int exit_code = -1;
    QString err;
    QString out;
};

class ProgramTest : public ::testing::Test {
  protected:
    // `output_file` (when given) takes the program's standard output.
    ProgramRun run(const QStringList& args, const QString& output_file = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home_.config_home());
        env.insert(QStringLiteral("XDG_CONFIG_DIRS"), home_.system_config());
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        QProcess p;
        p.setProcessEnvironment(env);
        if (!output_file.isEmpty()) {
            p.setStandardOutputFile(output_file);
        }
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
        // The error's line, then one that points to the help.
        const QStringList lines = r.err.split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), 3) << r.err.toStdString();
        EXPECT_TRUE(lines[0].startsWith(QStringLiteral("wintermere: ") + QLatin1String(c.error)))
            << r.err.toStdString();
        EXPECT_EQ(lines[1], QStringLiteral("Try \"wintermere --help\" for the options."));
        EXPECT_TRUE(lines[2].isEmpty()) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    // A line break the host passed stays inside the error's one line.
    const ProgramRun broken = run({QStringLiteral("--root"), QStringLiteral("--a\nb")});
    EXPECT_EQ(broken.exit_code, 2);
    EXPECT_EQ(broken.err, QStringLiteral("wintermere: unknown option \"--a\\nb\"\n"
                                         "Try \"wintermere --help\" for the options.\n"));
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
          QStringList{QStringLiteral("-s")}, QStringList{QStringLiteral("s")},
          // One dash asks for no help: these are switches like any other.
          QStringList{QStringLiteral("-h")}, QStringList{QStringLiteral("-help")},
          QStringList{QStringLiteral("-version")}}) {
        const ProgramRun r = run(args);
        EXPECT_EQ(r.exit_code, 0);
        EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_TRUE(QDir(home_.config_home()).isEmpty());
}

// The option names of the host options' usage ("--birds", ...).
QStringList host_option_names() {
    QStringList names;
    for (const QString& line : host_options_usage().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        names << line.trimmed().section(QLatin1Char(' '), 0, 0);
    }
    return names;
}

TEST_F(ProgramTest, HelpGoesToStandardOutputWithoutADisplayOrAnInstall) {
    // No display, no install_path: help needs neither.
    const ProgramRun r = run({QStringLiteral("--help")});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("usage: wintermere "))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("wintermere(1)"))) << r.out.toStdString();

    // It lists every host option as the usage of the options has it, and
    // each switch.
    const QStringList usage = host_options_usage().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_FALSE(usage.isEmpty());
    const QStringList lines = r.out.split(QLatin1Char('\n'));
    for (const QString& line : usage) {
        EXPECT_TRUE(lines.contains(line)) << line.toStdString();
    }
    for (const char* entry : {"/c", "/s", "/p N", "/a N", "/m", "--help", "--version"}) {
        const QRegularExpression listed(QStringLiteral("^  (\\(nothing\\), )?%1 ")
                                            .arg(QRegularExpression::escape(QLatin1String(entry))),
                                        QRegularExpression::MultilineOption);
        EXPECT_TRUE(r.out.contains(listed)) << entry;
    }

    // It fits a terminal.
    EXPECT_LE(lines.size(), 41);
    for (const QString& line : lines) {
        EXPECT_LT(line.size(), 80) << line.toStdString();
    }

    EXPECT_TRUE(QDir(home_.config_home()).isEmpty());
}

TEST_F(ProgramTest, HelpWinsOverAnythingOnAHostsLineAndVersionOverAllButHelp) {
    const QString help = run({QStringLiteral("--help")}).out;
    const QString version =
        QStringLiteral("wintermere ") + QLatin1String(kVersionText) + QLatin1Char('\n');
    struct Case {
        QStringList args;
        const QString& out;
    };
    for (const Case& c :
         {Case{{QStringLiteral("--version")}, version},
          Case{{QStringLiteral("--root"), QStringLiteral("--bogus"), QStringLiteral("--help")},
               help},
          Case{{QStringLiteral("--version"), QStringLiteral("--help")}, help},
          Case{{QStringLiteral("--window-id"), QStringLiteral("0xZZ"), QStringLiteral("--version")},
               version},
          Case{{QStringLiteral("-root"), QStringLiteral("--birds"), QStringLiteral("99"),
                QStringLiteral("--version")},
               version}}) {
        const ProgramRun r = run(c.args);
        const std::string line = c.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(r.exit_code, 0) << line;
        EXPECT_TRUE(r.err.isEmpty()) << line << ": " << r.err.toStdString();
        EXPECT_EQ(r.out, c.out) << line;
    }
}

TEST_F(ProgramTest, AnAnswerThatCannotBeWrittenFails) {
    for (const char* option : {"--help", "--version"}) {
        const ProgramRun r = run({QString::fromLatin1(option)}, QStringLiteral("/dev/full"));
        EXPECT_EQ(r.exit_code, 1) << option;
        EXPECT_EQ(r.err, QStringLiteral("wintermere: cannot write to standard output: %1\n")
                             .arg(qt_error_string(ENOSPC)))
            << option;
    }
}

TEST(ManualPage, CarriesTheVersionAndEveryHostOption) {
    // The build writes the page beside the program.
    QFile page(QFileInfo(QStringLiteral(WM_PROGRAM)).absolutePath() +
               QStringLiteral("/wintermere.1"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << page.fileName().toStdString();
    const QStringList lines = QString::fromUtf8(page.readAll()).split(QLatin1Char('\n'));
    const auto title = std::find_if(lines.begin(), lines.end(), [](const QString& line) {
        return line.startsWith(QLatin1String(".TH "));
    });
    ASSERT_NE(title, lines.end());
    EXPECT_TRUE(title->startsWith(QLatin1String(".TH WINTERMERE 1 "))) << title->toStdString();
    EXPECT_TRUE(title->contains(QStringLiteral("\"wintermere %1\"").arg(kVersionText)))
        << title->toStdString();

    // Each option heads an entry of HACK OPTIONS, written with roff's minus signs.
    QStringList tags;
    bool in_options = false;
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].startsWith(QLatin1String(".SH "))) {
            in_options = lines[i] == QLatin1String(".SH \"HACK OPTIONS\"");
        } else if (in_options && lines[i] == QLatin1String(".TP")) {
            tags << lines[i + 1];
        }
    }
    const QStringList names = host_option_names()
                              << QStringLiteral("--help") << QStringLiteral("--version");
    for (QString name : names) {
        name.replace(QLatin1Char('-'), QLatin1String("\\-"));
        const QRegularExpression heads(QRegularExpression::escape(name) +
                                       QStringLiteral("($|[ \"])"));
        EXPECT_TRUE(std::any_of(tags.begin(), tags.end(), [&](const QString& tag) {
            return tag.contains(heads);
        })) << name.toStdString();
    }
}

}  // namespace
}  // namespace wm
