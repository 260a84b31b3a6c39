#include "platform/version.h"
#include "tests/pack/pack_fixture.h"
#include "tests/support/forked_child.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <functional>

#include <sys/resource.h>

namespace wm::test {
namespace {

struct ToolRun {
    int exit_code = -1;
    QByteArray out;
    QByteArray err;
};

class PackTool : public PackTest {
  protected:
    // `in_child` (when given) runs in the tool's process before it starts;
    // `output_file` (when given) takes its standard output.
    static ToolRun run(const QStringList& arguments, const std::function<void()>& in_child = {},
                       const QString& output_file = {}) {
        QProcess process;
        if (in_child) {
            process.setChildProcessModifier(in_child);
        }
        if (!output_file.isEmpty()) {
            process.setStandardOutputFile(output_file);
        }
        process.start(QStringLiteral(WM_PACK_TOOL), arguments);
        // A generous bound only so that a hanging tool fails the test instead of the run.
        EXPECT_TRUE(process.waitForFinished(120000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        return {process.exitCode(), process.readAllStandardOutput(),
                process.readAllStandardError()};
    }

    // The tool failed with one message naming `fragment`.
    static void expect_failure(const ToolRun& result, const QByteArray& fragment, int code = 1) {
        EXPECT_EQ(result.exit_code, code);
        EXPECT_TRUE(result.err.contains(fragment)) << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty()) << result.out.toStdString();
    }

    QString out_path() const { return home_.path() + QStringLiteral("/out.bin"); }
};

TEST_F(PackTool, CreatesListsAndExtractsAPack) {
    QDir().mkpath(pack_folder());
    const QByteArray b = pattern_bytes(70000, 2);
    const ToolRun created =
        run({QStringLiteral("create"), pack_folder(), source(QStringLiteral("a.jpg"), "0123456789"),
             source(QStringLiteral("b.mid"), b),
             source(QStringLiteral("Snow, at night.wav"), pattern_bytes(3, 3))});
    EXPECT_EQ(created.exit_code, 0) << created.err.toStdString();
    EXPECT_EQ(read_file(base() + kDataSuffix).size(), 70013);

    const ToolRun listed = run({QStringLiteral("list"), pack_folder()});
    EXPECT_EQ(listed.exit_code, 0) << listed.err.toStdString();
    EXPECT_EQ(listed.out, "a.jpg\t10\nb.mid\t70000\nSnow, at night.wav\t3\n");

    const ToolRun extracted =
        run({QStringLiteral("extract"), pack_folder(), QStringLiteral("2"), out_path()});
    EXPECT_EQ(extracted.exit_code, 0) << extracted.err.toStdString();
    EXPECT_EQ(read_file(out_path()), b);
}

TEST_F(PackTool, ReportsEveryFailureWithAStatus) {
    expect_failure(run({QStringLiteral("list"), pack_folder()}), "no pack index");

    pack_of({source(QStringLiteral("a.jpg"), pattern_bytes(10, 1))});
    const QByteArray index = read_file(base() + kIndexSuffix);
    expect_failure(run({QStringLiteral("create"), pack_folder(),
                        sources_folder() + QStringLiteral("missing.jpg")}),
                   "missing.jpg");
    EXPECT_EQ(read_file(base() + kIndexSuffix), index);

    for (const char* number : {"0", "2", "x", "-1"}) {
        expect_failure(run({QStringLiteral("extract"), pack_folder(), QString::fromLatin1(number),
                            out_path()}),
                       "member");
    }
    expect_failure(run({QStringLiteral("extract"), pack_folder(), QStringLiteral("1"),
                        home_.path() + QStringLiteral("/no/such/folder/out.bin")}),
                   "cannot write");
    EXPECT_FALSE(QFileInfo::exists(out_path()));
    expect_failure(
        run({QStringLiteral("extract"), pack_folder(), QStringLiteral("1"), base() + kDataSuffix}),
        "file of the pack");
    EXPECT_EQ(read_file(base() + kDataSuffix), pattern_bytes(10, 1));

    ASSERT_TRUE(write_file(base() + kIndexSuffix, "W\r\nQ\r\nA\r\n-3\r\n"));
    expect_failure(run({QStringLiteral("list"), pack_folder()}), "negative");
}

TEST_F(PackTool, RefusesAnIndexOverADataFileOfAnotherPack) {
    pack_of({source(QStringLiteral("a.jpg"), pattern_bytes(10, 1)),
             source(QStringLiteral("b.mid"), pattern_bytes(20, 2))});
    // The data file of a later pack under the index of this one.
    ASSERT_TRUE(write_file(base() + kDataSuffix, pattern_bytes(31, 3)));
    expect_failure(run({QStringLiteral("list"), pack_folder()}), "not one pack");
    expect_failure(run({QStringLiteral("extract"), pack_folder(), QStringLiteral("1"), out_path()}),
                   "the data file " + (base() + kDataSuffix).toUtf8() +
                       " holds 31 bytes but the index "
                       "lists 30");
    EXPECT_FALSE(QFileInfo::exists(out_path()));
}

TEST_F(PackTool, ReportsAFullDiskWithTheSystemsReasonAndKeepsTheOldPack) {
    pack_of({source(QStringLiteral("a.jpg"), pattern_bytes(10, 1))});
    const QByteArray index = read_file(base() + kIndexSuffix);
    const QByteArray data = read_file(base() + kDataSuffix);
    const ToolRun created = run({QStringLiteral("create"), pack_folder(),
                                 source(QStringLiteral("big.jpg"), pattern_bytes(200000, 2))},
                                [] {
                                    // Files of the tool end at 100000 bytes, as on a full disk.
                                    limit_file_size(100000);
                                });
    expect_failure(created, qt_error_string(EFBIG).toUtf8());
    EXPECT_FALSE(created.err.contains("Unknown error")) << created.err.toStdString();
    EXPECT_EQ(read_file(base() + kIndexSuffix), index);
    EXPECT_EQ(read_file(base() + kDataSuffix), data);
    EXPECT_EQ(entries(pack_folder()),
              (QStringList{QStringLiteral("images.icf"), QStringLiteral("images.img")}));
}

TEST_F(PackTool, ShowsUsageForWrongArguments) {
    for (const QStringList& arguments :
         {QStringList{}, QStringList{QStringLiteral("create"), pack_folder()},
          QStringList{QStringLiteral("unpack"), pack_folder()}, QStringList{QStringLiteral("-h")},
          QStringList{QStringLiteral("--")},
          QStringList{QStringLiteral("list"), QStringLiteral("--")}}) {
        expect_failure(run(arguments), "usage:", 2);
    }
}

TEST_F(PackTool, AnswersHelpAndVersionOnStandardOutputWhereverTheyStand) {
    const ToolRun help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();
    // The usage of wrong arguments, and more.
    const ToolRun usage = run({});
    EXPECT_TRUE(help.out.startsWith(usage.err)) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains("wintermere-pack(1)")) << help.out.toStdString();
    const QList<QByteArray> lines = help.out.split('\n');
    EXPECT_LE(lines.size(), 41);
    for (const QByteArray& line : lines) {
        EXPECT_LT(line.size(), 80) << line.toStdString();
    }

    const QByteArray version = QByteArrayLiteral("wintermere-pack ") + kVersionText + '\n';
    struct Case {
        QStringList arguments;
        const QByteArray& out;
    };
    for (const Case& c :
         {Case{{QStringLiteral("--version")}, version},
          Case{{QStringLiteral("list"), pack_folder(), QStringLiteral("--help")}, help.out},
          Case{{QStringLiteral("--bogus"), QStringLiteral("--version")}, version},
          Case{{QStringLiteral("--version"), QStringLiteral("--help")}, help.out},
          Case{{QStringLiteral("extract"), QStringLiteral("--version"), QStringLiteral("--help")},
               help.out}}) {
        const ToolRun r = run(c.arguments);
        const std::string line = c.arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(r.exit_code, 0) << line;
        EXPECT_TRUE(r.err.isEmpty()) << line << ": " << r.err.toStdString();
        EXPECT_EQ(r.out, c.out) << line;
    }
    EXPECT_FALSE(QFileInfo::exists(pack_folder()));
}

TEST_F(PackTool, AnUnknownOptionIsOneLineAndAPointerToTheHelp) {
    struct Case {
        QStringList arguments;
        const char* unknown;  // the first one
    };
    for (const Case& c :
         {Case{{QStringLiteral("--bogus")}, "--bogus"},
          Case{{QStringLiteral("list"), pack_folder(), QStringLiteral("--bogus")}, "--bogus"},
          Case{{QStringLiteral("--force"), QStringLiteral("--bogus")}, "--force"},
          Case{{QStringLiteral("--help=me")}, "--help=me"}}) {
        const ToolRun r = run(c.arguments);
        EXPECT_EQ(r.exit_code, 2);
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        EXPECT_EQ(r.err, QByteArrayLiteral("wintermere-pack: unknown option \"") + c.unknown +
                             "\"\nTry \"wintermere-pack --help\" for the options.\n")
            << r.err.toStdString();
    }
    // What the user typed stays inside the error's one line.
    const ToolRun broken = run({QStringLiteral("--a\nb\x1b")});
    EXPECT_EQ(broken.exit_code, 2);
    EXPECT_EQ(broken.err,
              "wintermere-pack: unknown option \"--a\\nb\\x1b\"\n"
              "Try \"wintermere-pack --help\" for the options.\n");
}

TEST_F(PackTool, ALoneDoubleDashEndsTheOptions) {
    QDir().mkpath(pack_folder());
    const QString odd = source(QStringLiteral("--odd.jpg"), "0123");
    ASSERT_EQ(run({QStringLiteral("create"), QStringLiteral("--"), pack_folder(), odd}).exit_code,
              0);
    const ToolRun listed = run({QStringLiteral("--"), QStringLiteral("list"), pack_folder()});
    EXPECT_EQ(listed.exit_code, 0) << listed.err.toStdString();
    EXPECT_EQ(listed.out, "--odd.jpg\t4\n");
    // After it, "--help" and "--x" are names: a folder that holds no pack.
    expect_failure(run({QStringLiteral("list"), QStringLiteral("--"), QStringLiteral("--help")}),
                   "no pack index at --help");
    expect_failure(run({QStringLiteral("list"), QStringLiteral("--"), QStringLiteral("--x")}),
                   "no pack index at --x");
}

TEST_F(PackTool, AnAnswerThatCannotBeWrittenFails) {
    for (const char* option : {"--help", "--version"}) {
        const ToolRun r = run({QString::fromLatin1(option)}, {}, QStringLiteral("/dev/full"));
        EXPECT_EQ(r.exit_code, 1) << option;
        EXPECT_EQ(r.err, "wintermere-pack: cannot write to standard output: " +
                             qt_error_string(ENOSPC).toUtf8() + '\n')
            << option;
    }
}

}  // namespace
}  // namespace wm::test
