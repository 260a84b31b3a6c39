#include "startup/host_options.h"

#include "tests/support/test_support.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <set>
#include <vector>

namespace wm {
namespace {

QStringList list(std::initializer_list<const char*> words) {
    QStringList result;
    for (const char* word : words) {
        result << QString::fromUtf8(word);
    }
    return result;
}

QString describe(const QStringList& arguments) {
    return arguments.join(QLatin1Char(' '));
}

// ---- Which command lines are the hosts' ----------------------------------

TEST(HostCommandLine, WindowsSwitchesAndStrayWordsStayWithTheSwitchCode) {
    const std::vector<QStringList> lines = {
        {},
        list({"/s"}),
        list({"/S"}),
        list({"-s"}),
        list({"s"}),
        list({"-S"}),
        list({"/c:1234"}),
        list({"/p", "1234"}),
        list({"/a", "77"}),
        list({"/m"}),
        list({"-"}),
        list({"-fps"}),   // a one-dash option that is not ours
        list({"-ROOT"}),  // options are spelt in lower case
        list({"/s", "--root"}),
        list({"root"}),
    };
    for (const QStringList& line : lines) {
        const HostCommandLine parsed = parse_host_command_line(line, QStringLiteral("0x2e00007"));
        EXPECT_EQ(parsed.kind, HostCommandLine::Kind::Windows) << describe(line).toStdString();
        EXPECT_TRUE(parsed.error.isEmpty()) << describe(line).toStdString();
        EXPECT_EQ(parsed.options.window, 0u) << describe(line).toStdString();
    }
}

TEST(HostCommandLine, FrameTimesAfterAWindowsSwitchAreStillRead) {
    const QString env;
    HostCommandLine parsed =
        parse_host_command_line(list({"/s", "--frame-times", "/tmp/frames.txt"}), env);
    EXPECT_EQ(parsed.kind, HostCommandLine::Kind::Windows);
    EXPECT_EQ(parsed.options.frame_times, QStringLiteral("/tmp/frames.txt"));

    parsed = parse_host_command_line(list({"/s", "--frame-times=/tmp/f"}), env);
    EXPECT_EQ(parsed.kind, HostCommandLine::Kind::Windows);
    EXPECT_EQ(parsed.options.frame_times, QStringLiteral("/tmp/f"));

    // Without its file the diagnostic is simply off, as before.
    parsed = parse_host_command_line(list({"/s", "--frame-times"}), env);
    EXPECT_EQ(parsed.kind, HostCommandLine::Kind::Windows);
    EXPECT_TRUE(parsed.options.frame_times.isEmpty());

    parsed = parse_host_command_line(list({"/s"}), env);
    EXPECT_TRUE(parsed.options.frame_times.isEmpty());
}

// ---- --help and --version -------------------------------------------------

TEST(HostCommandLine, HelpAndVersionWinOverEverythingElseOnAHostsLine) {
    using Kind = HostCommandLine::Kind;
    struct Case {
        QStringList arguments;
        const char* environment;
        Kind kind;
    };
    const char* w = "0x2e00007";
    const Case cases[] = {
        {list({"--help"}), "", Kind::Help},
        {list({"--version"}), "", Kind::Version},
        {list({"--root", "--birds", "5", "--help"}), w, Kind::Help},
        // What would be an error on its own: an unknown option, a value out
        // of range, a bad window id, --root without a window, a lone "--".
        {list({"--bogus", "--help"}), w, Kind::Help},
        {list({"--root", "--birds", "99", "--version"}), w, Kind::Version},
        {list({"--window-id", "0xZZ", "--help"}), w, Kind::Help},
        {list({"--root", "--version"}), "", Kind::Version},
        {list({"--root", "--help"}), "garbage", Kind::Help},
        {list({"--", "--version"}), w, Kind::Version},
        {list({"--root", "extra", "--help"}), w, Kind::Help},
        // Not taken as the value of the option before it.
        {list({"--root", "--frame-times", "--help"}), w, Kind::Help},
        {list({"--birds", "--version"}), w, Kind::Version},
        // A line that is a host's by a one-dash option of ours.
        {list({"-root", "--version"}), w, Kind::Version},
        // --help over --version, in either order.
        {list({"--version", "--help"}), w, Kind::Help},
        {list({"--help", "--version"}), w, Kind::Help},
    };
    for (const Case& c : cases) {
        const std::string line = describe(c.arguments).toStdString();
        const HostCommandLine parsed =
            parse_host_command_line(c.arguments, QString::fromUtf8(c.environment));
        EXPECT_EQ(parsed.kind, c.kind) << line << ": " << parsed.error.toStdString();
        EXPECT_TRUE(parsed.error.isEmpty()) << line;
        EXPECT_EQ(parsed.options.window, 0u) << line;
    }
}

TEST(HostCommandLine, HelpAndVersionAreOnlyTheTwoDashWordsOfAHostsLine) {
    const QString w = QStringLiteral("0x2e00007");
    // The switches keep their rules: these lines are not a host's.
    for (const QStringList& line :
         {list({"-h"}), list({"-help"}), list({"-H"}), list({"-version"}), list({"-v"}),
          list({"help"}), list({"/?"}), list({"/s", "--help"}), list({"/c", "--version"}),
          list({"-s", "--help"})}) {
        const HostCommandLine parsed = parse_host_command_line(line, w);
        EXPECT_EQ(parsed.kind, HostCommandLine::Kind::Windows) << describe(line).toStdString();
    }
    // On a host's line other spellings are errors like any other.
    struct Case {
        QStringList arguments;
        const char* error;
    };
    const Case cases[] = {
        {list({"--root", "-help"}), "unknown option \"-help\""},
        {list({"--root", "-h"}), "unknown option \"-h\""},
        {list({"--root", "-version"}), "unknown option \"-version\""},
        {list({"--HELP"}), "unknown option \"--HELP\""},
        {list({"--root", "--helps"}), "unknown option \"--helps\""},
        {list({"--help=yes"}), "--help takes no value"},
        {list({"--root", "--version="}), "--version takes no value"},
    };
    for (const Case& c : cases) {
        const HostCommandLine parsed = parse_host_command_line(c.arguments, w);
        EXPECT_EQ(parsed.kind, HostCommandLine::Kind::Error) << describe(c.arguments).toStdString();
        EXPECT_EQ(parsed.error, QString::fromUtf8(c.error)) << describe(c.arguments).toStdString();
    }
}

// ---- The window ------------------------------------------------------------

TEST(HostCommandLine, WindowIdsAreHexOrDecimalThirtyTwoBitsAndNotZero) {
    struct Case {
        const char* text;
        std::optional<std::uint32_t> expected;
    };
    const Case cases[] = {
        {"0x2e00007", 0x2e00007u},
        {"0X2E00007", 0x2e00007u},
        {"0x00000001", 1u},
        {"0xffffffff", 0xffffffffu},
        {"48234503", 48234503u},
        {"0048234503", 48234503u},  // leading zeros are still decimal
        {"4294967295", 0xffffffffu},
        {"1", 1u},
        {"0", std::nullopt},
        {"0x0", std::nullopt},
        {"0x", std::nullopt},
        {"", std::nullopt},
        {"0x100000000", std::nullopt},
        {"4294967296", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"-5", std::nullopt},
        {"+5", std::nullopt},
        {" 12", std::nullopt},
        {"12 ", std::nullopt},
        {"0x1g", std::nullopt},
        {"1e3", std::nullopt},
        {"12abc", std::nullopt},
        {"0xx1", std::nullopt},
        {"\xd9\xa3", std::nullopt},  // an Arabic-Indic digit three
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parse_window_id(QString::fromUtf8(c.text)), c.expected) << c.text;
    }
}

TEST(HostCommandLine, WindowIdWinsOverRootAndTheEnvironment) {
    struct Case {
        QStringList arguments;
        const char* environment;
        std::uint32_t window;
    };
    const Case cases[] = {
        {list({"--root"}), "0x2e00007", 0x2e00007u},
        {list({"-root"}), "48234503", 48234503u},
        {list({"--root", "--window-id", "0x1234"}), "0x99", 0x1234u},
        {list({"--window-id", "0x1234", "--root"}), "0x99", 0x1234u},
        {list({"--root", "--window-id", "0x1234"}), "not a number", 0x1234u},
        {list({"--root", "--window-id", "0x1234"}), "", 0x1234u},
        {list({"--window-id", "77"}), "", 77u},
        {list({"--window-id=0x10"}), "0x99", 16u},
        {list({"-window-id", "0x10"}), "", 16u},
        {list({"-window-id=4660"}), "", 0x1234u},
        {list({"--window-id", "5", "--window-id", "6"}), "", 6u},  // the last one counts
    };
    for (const Case& c : cases) {
        const HostCommandLine parsed =
            parse_host_command_line(c.arguments, QString::fromUtf8(c.environment));
        ASSERT_EQ(parsed.kind, HostCommandLine::Kind::Hack)
            << describe(c.arguments).toStdString() << ": " << parsed.error.toStdString();
        EXPECT_EQ(parsed.options.window, c.window) << describe(c.arguments).toStdString();
        // XScreenSaver's settings dialog names its preview with --window-id.
        EXPECT_EQ(parsed.options.preview,
                  c.arguments.join(QString()).contains(QStringLiteral("window-id")))
            << describe(c.arguments).toStdString();
    }
}

// ---- Options ---------------------------------------------------------------

TEST(HostCommandLine, OptionsTakeOneDashOrTwoAndValuesAfterABlankOrAnEqualsSign) {
    const HostCommandLine parsed = parse_host_command_line(
        list({"--root", "--scene-duration", "60", "-frame-rate=45", "--birds=0", "-no-captions",
              "--no-clock", "-framed", "--mute", "-frame-times", "/tmp/frames"}),
        QStringLiteral("0x2e00007"));
    ASSERT_EQ(parsed.kind, HostCommandLine::Kind::Hack) << parsed.error.toStdString();
    const HostOptions& o = parsed.options;
    EXPECT_EQ(o.window, 0x2e00007u);
    EXPECT_EQ(o.scene_duration, 60);
    EXPECT_EQ(o.frame_rate, 45);
    EXPECT_EQ(o.birds, 0);
    EXPECT_EQ(o.captions, false);
    EXPECT_EQ(o.clock, false);
    EXPECT_EQ(o.fill_screen, false);
    EXPECT_EQ(o.mute, true);
    EXPECT_EQ(o.frame_times, QStringLiteral("/tmp/frames"));

    const HostCommandLine other =
        parse_host_command_line(list({"-birds", "20", "-clock", "-fill-screen", "-window-id", "9",
                                      "--scene-duration=180", "--frame-rate", "+10"}),
                                QString());
    ASSERT_EQ(other.kind, HostCommandLine::Kind::Hack) << other.error.toStdString();
    EXPECT_EQ(other.options.window, 9u);
    EXPECT_EQ(other.options.birds, 20);
    EXPECT_EQ(other.options.clock, true);
    EXPECT_EQ(other.options.fill_screen, true);
    EXPECT_EQ(other.options.scene_duration, 180);
    EXPECT_EQ(other.options.frame_rate, 10);
    EXPECT_FALSE(other.options.captions.has_value());
    EXPECT_FALSE(other.options.mute.has_value());
}

TEST(HostCommandLine, OptionsNotGivenStayUnsetAndTheLastOfAPairCounts) {
    const QString env = QStringLiteral("0x2e00007");
    HostCommandLine parsed = parse_host_command_line(list({"--root"}), env);
    ASSERT_EQ(parsed.kind, HostCommandLine::Kind::Hack);
    EXPECT_FALSE(parsed.options.scene_duration || parsed.options.frame_rate ||
                 parsed.options.birds || parsed.options.captions || parsed.options.clock ||
                 parsed.options.fill_screen || parsed.options.mute);
    EXPECT_TRUE(parsed.options.frame_times.isEmpty());

    parsed = parse_host_command_line(list({"--root", "--clock", "--no-clock", "--framed",
                                           "--fill-screen", "--birds", "3", "--birds", "9"}),
                                     env);
    ASSERT_EQ(parsed.kind, HostCommandLine::Kind::Hack);
    EXPECT_EQ(parsed.options.clock, false);
    EXPECT_EQ(parsed.options.fill_screen, true);
    EXPECT_EQ(parsed.options.birds, 9);
}

TEST(HostCommandLine, ErrorsAreOneLineAndNameWhatWasWrong) {
    struct Case {
        QStringList arguments;
        const char* environment;
        std::vector<const char*> mentions;
    };
    const char* w = "0x2e00007";
    const Case cases[] = {
        {list({"--bogus", "--root"}), w, {"unknown option \"--bogus\""}},
        {list({"--root", "-fps"}), w, {"unknown option \"-fps\""}},
        {list({"--root", "--ROOT"}), w, {"unknown option \"--ROOT\""}},
        {list({"---root"}), w, {"unknown option \"---root\""}},
        {list({"--root", "--birds-count=4"}), w, {"unknown option \"--birds-count\""}},
        {list({"--"}), w, {"unexpected argument \"--\""}},
        {list({"--root", "extra"}), w, {"unexpected argument \"extra\""}},
        {list({"--root", "/s"}), w, {"unexpected argument \"/s\""}},
        {list({"--root=yes"}), w, {"--root takes no value"}},
        {list({"--root", "--mute=1"}), w, {"--mute takes no value"}},
        {list({"--root", "--birds"}), w, {"--birds needs a value", "0..20"}},
        {list({"--root", "--birds", "--mute"}), w, {"--birds needs a value"}},
        {list({"--root", "--birds", "-root"}), w, {"--birds needs a value"}},
        {list({"--root", "--birds="}), w, {"--birds needs a value"}},
        {list({"--root", "-frame-rate"}), w, {"-frame-rate needs a value", "10..60"}},
        {list({"--root", "--frame-times"}), w, {"--frame-times needs a value"}},
        {list({"--root", "--frame-times", "--mute"}), w, {"--frame-times needs a value"}},
        {list({"--root", "--window-id"}), w, {"--window-id needs a value"}},
        {list({"--root", "--scene-duration", "abc"}),
         w,
         {"--scene-duration", "\"abc\" is not a whole number", "10..180"}},
        {list({"--root", "--scene-duration", "20.5"}), w, {"\"20.5\" is not a whole number"}},
        {list({"--root", "--scene-duration", " 20"}), w, {"\" 20\" is not a whole number"}},
        {list({"--root", "--scene-duration", "2e1"}), w, {"\"2e1\" is not a whole number"}},
        {list({"--root", "--scene-duration", "9"}), w, {"9 is outside the range 10..180"}},
        {list({"--root", "--scene-duration", "181"}), w, {"181 is outside the range 10..180"}},
        {list({"--root", "--frame-rate=9"}), w, {"--frame-rate", "9 is outside", "10..60"}},
        {list({"--root", "--frame-rate", "61"}), w, {"61 is outside the range 10..60"}},
        {list({"--root", "--birds", "21"}), w, {"--birds", "21 is outside the range 0..20"}},
        {list({"--root", "--birds", "-1"}), w, {"-1 is outside the range 0..20"}},
        {list({"--root", "--birds", "99999999999999999999"}),
         w,
         {"99999999999999999999 is outside the range 0..20"}},
        {list({"--root", "--birds", "-99999999999999999999"}), w, {"is outside the range 0..20"}},
        {list({"--window-id", "0"}), w, {"--window-id", "\"0\" is not a window id"}},
        {list({"--window-id", "0x"}), w, {"\"0x\" is not a window id"}},
        {list({"--window-id=0x100000000"}), w, {"\"0x100000000\" is not a window id"}},
        {list({"--window-id", "-5"}), w, {"\"-5\" is not a window id"}},
        {list({"--root", "--window-id", "0xZZ"}), w, {"\"0xZZ\" is not a window id"}},
        {list({"--root"}),
         "",
         {"--root", "$XSCREENSAVER_WINDOW", "host sets", "not set", "--window-id"}},
        {list({"-root", "--birds", "4"}), "", {"$XSCREENSAVER_WINDOW", "not set"}},
        {list({"--root"}), "garbage", {"$XSCREENSAVER_WINDOW is \"garbage\"", "not a window id"}},
        {list({"--root"}), "0", {"$XSCREENSAVER_WINDOW is \"0\"", "not a window id"}},
        {list({"--birds", "5"}), w, {"no window", "--root", "--window-id"}},
        {list({"-mute"}), w, {"no window", "--root", "--window-id"}},
        {list({"--frame-times", "/tmp/f"}), w, {"no window"}},
        // What the host passed is shown with its line breaks and control
        // characters escaped, so that the error stays one line.
        {list({"--\n"}), w, {"unknown option \"--\\n\""}},
        {list({"--root", "--birds", "4\n2\t\x1b"}), w, {"\"4\\n2\\t\\x1b\""}},
        {list({"--root"}), "0x1\r", {"\"0x1\\x0d\""}},
    };
    for (const Case& c : cases) {
        const std::string line = describe(c.arguments).toStdString();
        const HostCommandLine parsed =
            parse_host_command_line(c.arguments, QString::fromUtf8(c.environment));
        ASSERT_EQ(parsed.kind, HostCommandLine::Kind::Error) << line;
        EXPECT_FALSE(parsed.error.isEmpty()) << line;
        EXPECT_FALSE(parsed.error.contains(QLatin1Char('\n'))) << line;
        for (const char* mention : c.mentions) {
            EXPECT_TRUE(parsed.error.contains(QString::fromUtf8(mention)))
                << line << ": \"" << parsed.error.toStdString() << "\" lacks \"" << mention << "\"";
        }
    }
}

// ---- Applying the options ----------------------------------------------------

// Every number of the settings record and the texts next to them: two
// records that agree here agree in everything the host options could touch.
std::vector<QString> fields(const SaverSettings& s) {
    std::vector<QString> out;
    for (int n : {s.sprite_active,
                  s.frame_rate,
                  s.mute_audio,
                  s.random_music,
                  s.custom_music_flag,
                  s.random_pictures,
                  s.custom_picture_flag,
                  s.save_wallpaper,
                  s.mouse_sensitivity,
                  s.scene_duration,
                  s.objects_off,
                  s.scale_background,
                  s.show_time,
                  s.welcome,
                  s.custom_audio_files_total,
                  s.custom_picture_files_total,
                  s.captions_color,
                  s.captions_size,
                  s.captions_bold,
                  s.captions_italic,
                  s.captions_random,
                  s.captions_off,
                  s.captions_total}) {
        out.push_back(QString::number(n));
    }
    out.push_back(s.wav_devicename);
    out.push_back(s.midi_devicename);
    out.push_back(s.mp3_devicename);
    return out;
}

// A record unlike the defaults in everything the options set.
SaverSettings contrary_settings() {
    SaverSettings s;
    s.sprite_active = 3;
    s.objects_off = 1;
    s.frame_rate = 15;
    s.scene_duration = 90;
    s.captions_off = 1;
    s.show_time = 0;
    s.scale_background = 0;
    s.mute_audio = 1;
    s.mouse_sensitivity = 12;
    return s;
}

TEST(HostOptionsApply, NoOptionsLeaveTheSettingsAsTheyAre) {
    for (const SaverSettings& before : {SaverSettings{}, contrary_settings()}) {
        SaverSettings after = before;
        apply_host_options(HostOptions{}, after);
        EXPECT_EQ(fields(after), fields(before));
    }
}

TEST(HostOptionsApply, EachOptionSetsItsSettingAndNothingElse) {
    struct Case {
        const char* what;
        HostOptions options;
        void (*expect)(SaverSettings& expected);
    };
    auto with = [](auto set) {
        HostOptions o;
        set(o);
        return o;
    };
    const Case cases[] = {
        {"scene duration", with([](HostOptions& o) { o.scene_duration = 45; }),
         [](SaverSettings& e) { e.scene_duration = 45; }},
        {"frame rate", with([](HostOptions& o) { o.frame_rate = 55; }),
         [](SaverSettings& e) { e.frame_rate = 55; }},
        // No birds switches them off and keeps the stored number for later.
        {"no birds", with([](HostOptions& o) { o.birds = 0; }),
         [](SaverSettings& e) { e.objects_off = 1; }},
        {"twelve birds", with([](HostOptions& o) { o.birds = 12; }),
         [](SaverSettings& e) {
             e.objects_off = 0;
             e.sprite_active = 12;
         }},
        {"no captions", with([](HostOptions& o) { o.captions = false; }),
         [](SaverSettings& e) { e.captions_off = 1; }},
        {"captions", with([](HostOptions& o) { o.captions = true; }),
         [](SaverSettings& e) { e.captions_off = 0; }},
        {"clock", with([](HostOptions& o) { o.clock = true; }),
         [](SaverSettings& e) { e.show_time = 1; }},
        {"no clock", with([](HostOptions& o) { o.clock = false; }),
         [](SaverSettings& e) { e.show_time = 0; }},
        {"fill screen", with([](HostOptions& o) { o.fill_screen = true; }),
         [](SaverSettings& e) { e.scale_background = 1; }},
        {"framed", with([](HostOptions& o) { o.fill_screen = false; }),
         [](SaverSettings& e) { e.scale_background = 0; }},
        {"mute", with([](HostOptions& o) { o.mute = true; }),
         [](SaverSettings& e) { e.mute_audio = 1; }},
        {"window and frame times are not settings", with([](HostOptions& o) {
             o.window = 77;
             o.frame_times = QStringLiteral("/tmp/f");
         }),
         [](SaverSettings&) {}},
    };
    for (const Case& c : cases) {
        for (const SaverSettings& before : {SaverSettings{}, contrary_settings()}) {
            SaverSettings after = before;
            apply_host_options(c.options, after);
            SaverSettings expected = before;
            c.expect(expected);
            EXPECT_EQ(fields(after), fields(expected)) << c.what;
        }
    }
}

TEST(HostOptionsUsage, ListsEveryOptionOnItsOwnLineAndEachParses) {
    const QStringList lines = host_options_usage().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    std::set<QString> named;
    for (const QString& line : lines) {
        const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        ASSERT_GE(words.size(), 2) << line.toStdString();
        ASSERT_TRUE(words.at(0).startsWith(QLatin1String("--"))) << line.toStdString();
        EXPECT_TRUE(named.insert(words.at(0)).second) << "listed twice: " << line.toStdString();

        // The option with a value of the kind its usage names parses.
        QStringList arguments = {QStringLiteral("--window-id"), QStringLiteral("1"), words.at(0)};
        if (words.at(1) == QLatin1String("N")) {
            const QRegularExpressionMatch range =
                QRegularExpression(QStringLiteral("\\((\\d+)\\.\\.(\\d+)\\)")).match(line);
            ASSERT_TRUE(range.hasMatch()) << "no range: " << line.toStdString();
            arguments << range.captured(1) << range.captured(2);
            arguments.insert(4, words.at(0));
        } else if (words.at(1) == QLatin1String("ID")) {
            arguments << QStringLiteral("0x2e00007");
        } else if (words.at(1) == QLatin1String("FILE")) {
            arguments << QStringLiteral("/tmp/f");
        }
        const HostCommandLine parsed = parse_host_command_line(arguments, QString());
        EXPECT_EQ(parsed.kind, HostCommandLine::Kind::Hack)
            << describe(arguments).toStdString() << ": " << parsed.error.toStdString();
    }
    for (const char* option :
         {"--root", "--window-id", "--scene-duration", "--frame-rate", "--birds", "--no-captions",
          "--clock", "--no-clock", "--fill-screen", "--framed", "--mute", "--frame-times"}) {
        EXPECT_EQ(named.count(QString::fromLatin1(option)), 1u) << option;
    }
    EXPECT_EQ(named.size(), 12u);
}

// ---- The XScreenSaver settings file ----------------------------------------

struct XmlNumber {
    QString id;
    QString arg;
    int low = 0;
    int high = 0;
    int default_value = 0;
};
struct XmlBoolean {
    QString id;
    QString arg_set;
};
struct XmlOption {
    QString id;
    QString arg_set;  // empty for the option that leaves the setting alone
};
struct XmlSelect {
    QString id;
    std::vector<XmlOption> options;
};
struct HostXml {
    QString name;
    QString label;
    QStringList command;
    QString description;
    std::vector<XmlNumber> numbers;
    std::vector<XmlBoolean> booleans;
    std::vector<XmlSelect> selects;
};

// A whole number as the dialogs read one: digits and an optional sign, no
// decimal point (a point would make the slider a real-valued one).
std::optional<int> xml_integer(const QXmlStreamAttributes& attributes, const char* name) {
    const QString text = attributes.value(QLatin1String(name)).toString();
    if (!QRegularExpression(QStringLiteral("^-?\\d+$")).match(text).hasMatch()) {
        return std::nullopt;
    }
    return text.toInt();
}

QString required(const QXmlStreamAttributes& attributes, const char* name, const QString& where) {
    const QString value = attributes.value(QLatin1String(name)).toString().trimmed();
    EXPECT_FALSE(value.isEmpty()) << where.toStdString() << " lacks " << name;
    return value;
}

// Reads the file, failing the test on anything the xfce4-screensaver dialog
// cannot show: it handles integer sliders (and spin buttons) with low and high
// labels, booleans with arg-set (arg-unset would be passed as if set) and
// selects, besides the command and the description.
HostXml read_host_xml() {
    HostXml xml;
    QFile file(QStringLiteral(WM_HOST_XML));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << WM_HOST_XML;
    QXmlStreamReader reader(&file);
    if (!reader.readNextStartElement() || reader.name() != QLatin1String("screensaver")) {
        ADD_FAILURE() << "the root element is not <screensaver>";
        return xml;
    }
    xml.name = reader.attributes().value(QLatin1String("name")).toString();
    xml.label = reader.attributes().value(QLatin1String("_label")).toString();
    while (reader.readNextStartElement()) {
        const QString tag = reader.name().toString();
        const QXmlStreamAttributes a = reader.attributes();
        const QString where =
            QStringLiteral("<%1 id=\"%2\">").arg(tag, a.value(QLatin1String("id")).toString());
        for (const char* refused : {"arg-unset", "convert"}) {
            EXPECT_FALSE(a.hasAttribute(QLatin1String(refused)))
                << where.toStdString() << " has " << refused;
        }
        if (tag == QLatin1String("command")) {
            xml.command << required(a, "arg", where).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            reader.skipCurrentElement();
        } else if (tag == QLatin1String("number")) {
            const QString type = a.value(QLatin1String("type")).toString();
            EXPECT_TRUE(type == QLatin1String("slider") || type == QLatin1String("spinbutton"))
                << where.toStdString() << " type " << type.toStdString();
            XmlNumber number;
            number.id = required(a, "id", where);
            number.arg = required(a, "arg", where);
            EXPECT_EQ(number.arg.count(QLatin1Char('%')), 1) << where.toStdString();
            required(a, "_label", where);
            required(a, "_low-label", where);
            required(a, "_high-label", where);
            const std::optional<int> low = xml_integer(a, "low");
            const std::optional<int> high = xml_integer(a, "high");
            const std::optional<int> value = xml_integer(a, "default");
            EXPECT_TRUE(low && high && value) << where.toStdString() << ": integers";
            number.low = low.value_or(0);
            number.high = high.value_or(0);
            number.default_value = value.value_or(0);
            EXPECT_TRUE(number.low <= number.default_value && number.default_value <= number.high)
                << where.toStdString();
            xml.numbers.push_back(number);
            reader.skipCurrentElement();
        } else if (tag == QLatin1String("boolean")) {
            XmlBoolean boolean{required(a, "id", where), required(a, "arg-set", where)};
            required(a, "_label", where);
            xml.booleans.push_back(boolean);
            reader.skipCurrentElement();
        } else if (tag == QLatin1String("select")) {
            XmlSelect select;
            select.id = required(a, "id", where);
            while (reader.readNextStartElement()) {
                const QXmlStreamAttributes o = reader.attributes();
                const QString at = where + QStringLiteral(" <%1 id=\"%2\">")
                                               .arg(reader.name().toString(),
                                                    o.value(QLatin1String("id")).toString());
                EXPECT_TRUE(reader.name() == QLatin1String("option")) << at.toStdString();
                XmlOption option{required(o, "id", at),
                                 o.value(QLatin1String("arg-set")).toString()};
                required(o, "_label", at);
                select.options.push_back(option);
                reader.skipCurrentElement();
            }
            const auto plain =
                std::count_if(select.options.begin(), select.options.end(),
                              [](const XmlOption& option) { return option.arg_set.isEmpty(); });
            EXPECT_EQ(plain, 1) << where.toStdString() << ": one option must add nothing";
            EXPECT_GE(select.options.size(), 2u) << where.toStdString();
            xml.selects.push_back(select);
        } else if (tag == QLatin1String("_description")) {
            xml.description = reader.readElementText().trimmed();
        } else {
            ADD_FAILURE() << "an element the hosts' dialogs cannot all show: "
                          << where.toStdString();
            reader.skipCurrentElement();
        }
    }
    EXPECT_FALSE(reader.hasError())
        << reader.errorString().toStdString() << " at line " << reader.lineNumber();
    return xml;
}

// The setting each control of the file names, read the way the control shows it.
struct NamedSetting {
    const char* id;
    int (*read)(const SaverSettings&);
};
const NamedSetting kNamedSettings[] = {
    {"scene-duration", [](const SaverSettings& s) { return s.scene_duration; }},
    {"frame-rate", [](const SaverSettings& s) { return s.frame_rate; }},
    {"birds", [](const SaverSettings& s) { return s.objects_off == 1 ? 0 : s.sprite_active; }},
    {"no-captions", [](const SaverSettings& s) { return s.captions_off; }},
    {"clock", [](const SaverSettings& s) { return s.show_time; }},
    {"scale", [](const SaverSettings& s) { return s.scale_background; }},
    {"mute", [](const SaverSettings& s) { return s.mute_audio; }},
};

const NamedSetting* named_setting(const QString& id) {
    for (const NamedSetting& named : kNamedSettings) {
        if (id == QLatin1String(named.id)) {
            return &named;
        }
    }
    ADD_FAILURE() << "a control for no known setting: " << id.toStdString();
    return nullptr;
}

// The options of an arg (with "%" filled in) on XScreenSaver's own command
// line: the file's command, then the arg.
HostCommandLine parse_arg(const HostXml& xml, const QString& arg) {
    return parse_host_command_line(xml.command + arg.split(QLatin1Char(' '), Qt::SkipEmptyParts),
                                   QStringLiteral("0x2e00007"));
}

// Applies `arg` to the defaults and to a contrary record: the setting the
// control names must come out the same from both (the option decides it,
// whatever was stored) and nothing else may change. Gives the setting's value.
std::optional<int> apply_arg(const HostXml& xml, const NamedSetting& named, const QString& arg) {
    const HostCommandLine parsed = parse_arg(xml, arg);
    if (parsed.kind != HostCommandLine::Kind::Hack) {
        ADD_FAILURE() << arg.toStdString() << ": " << parsed.error.toStdString();
        return std::nullopt;
    }
    std::optional<int> value;
    for (const SaverSettings& before : {SaverSettings{}, contrary_settings()}) {
        SaverSettings after = before;
        apply_host_options(parsed.options, after);
        const int shown = named.read(after);
        if (value) {
            EXPECT_EQ(shown, *value) << arg.toStdString() << " depends on the stored settings";
        }
        value = shown;
        // Put the named setting back by applying the stored value's option:
        // what is left must be the record as it was.
        HostOptions undo;
        const int stored = named.read(before);
        const QString id = QLatin1String(named.id);
        if (id == QLatin1String("scene-duration")) {
            undo.scene_duration = stored;
        } else if (id == QLatin1String("frame-rate")) {
            undo.frame_rate = stored;
        } else if (id == QLatin1String("birds")) {
            after.sprite_active = before.sprite_active;
            after.objects_off = before.objects_off;
        } else if (id == QLatin1String("no-captions")) {
            undo.captions = stored == 0;
        } else if (id == QLatin1String("clock")) {
            undo.clock = stored == 1;
        } else if (id == QLatin1String("scale")) {
            undo.fill_screen = stored == 1;
        } else if (id == QLatin1String("mute")) {
            undo.mute = stored == 1;
        }
        apply_host_options(undo, after);
        EXPECT_EQ(fields(after), fields(before)) << arg.toStdString() << " changed more";
    }
    return value;
}

TEST(HostXml, IsTheWintermereScreensaverWithTheRootCommand) {
    const HostXml xml = read_host_xml();
    EXPECT_EQ(xml.name, QStringLiteral("wintermere"));
    EXPECT_EQ(xml.label, QStringLiteral("Wintermere"));
    EXPECT_EQ(xml.command, QStringList{QStringLiteral("--root")});
    EXPECT_FALSE(xml.description.isEmpty());

    // The command alone is a host's command line, for the host's window.
    const HostCommandLine parsed =
        parse_host_command_line(xml.command, QStringLiteral("0x2e00007"));
    ASSERT_EQ(parsed.kind, HostCommandLine::Kind::Hack) << parsed.error.toStdString();
    EXPECT_EQ(parsed.options.window, 0x2e00007u);

    // Every control names a setting, and every setting the options reach has one.
    std::set<QString> ids;
    for (const XmlNumber& number : xml.numbers) {
        ids.insert(number.id);
    }
    for (const XmlBoolean& boolean : xml.booleans) {
        ids.insert(boolean.id);
    }
    for (const XmlSelect& select : xml.selects) {
        ids.insert(select.id);
    }
    std::set<QString> expected;
    for (const NamedSetting& named : kNamedSettings) {
        expected.insert(QLatin1String(named.id));
    }
    EXPECT_EQ(ids, expected);
}

TEST(HostXml, NumberDefaultsAreTheBuiltInDefaults) {
    // The settings dialog leaves a default value off the command line, so the
    // value it shows as the default must be the one the saver uses without it.
    const HostXml xml = read_host_xml();
    ASSERT_FALSE(xml.numbers.empty());
    for (const XmlNumber& number : xml.numbers) {
        const NamedSetting* named = named_setting(number.id);
        ASSERT_NE(named, nullptr);
        EXPECT_EQ(number.default_value, named->read(SaverSettings{})) << number.id.toStdString();
    }
}

TEST(HostXml, EverySliderValueParsesAndSetsItsSetting) {
    const HostXml xml = read_host_xml();
    for (const XmlNumber& number : xml.numbers) {
        const NamedSetting* named = named_setting(number.id);
        ASSERT_NE(named, nullptr);
        for (int value : {number.low, number.default_value, number.high}) {
            const QString arg =
                QString(number.arg).replace(QLatin1Char('%'), QString::number(value));
            EXPECT_EQ(apply_arg(xml, *named, arg), value) << arg.toStdString();
        }
        // At the default the run is what it would be without the option.
        const HostCommandLine at_default = parse_arg(
            xml,
            QString(number.arg).replace(QLatin1Char('%'), QString::number(number.default_value)));
        SaverSettings settings;
        apply_host_options(at_default.options, settings);
        EXPECT_EQ(fields(settings), fields(SaverSettings{})) << number.id.toStdString();

        // The slider's ends are the option's: one step beyond is refused, naming them.
        const QString range = QStringLiteral("%1..%2").arg(number.low).arg(number.high);
        for (int beyond : {number.low - 1, number.high + 1}) {
            const QString arg =
                QString(number.arg).replace(QLatin1Char('%'), QString::number(beyond));
            const HostCommandLine refused = parse_arg(xml, arg);
            EXPECT_EQ(refused.kind, HostCommandLine::Kind::Error) << arg.toStdString();
            EXPECT_TRUE(refused.error.contains(range))
                << arg.toStdString() << ": " << refused.error.toStdString();
        }
    }
}

TEST(HostXml, EveryCheckboxAndMenuChoiceParsesAndSetsItsSetting) {
    const HostXml xml = read_host_xml();
    ASSERT_FALSE(xml.booleans.empty());
    ASSERT_FALSE(xml.selects.empty());
    for (const XmlBoolean& boolean : xml.booleans) {
        const NamedSetting* named = named_setting(boolean.id);
        ASSERT_NE(named, nullptr);
        // An unchecked box adds nothing, so checking it must change the defaults.
        const std::optional<int> value = apply_arg(xml, *named, boolean.arg_set);
        EXPECT_NE(value, named->read(SaverSettings{})) << boolean.arg_set.toStdString();
    }
    for (const XmlSelect& select : xml.selects) {
        const NamedSetting* named = named_setting(select.id);
        ASSERT_NE(named, nullptr);
        std::set<int> chosen;
        for (const XmlOption& option : select.options) {
            if (option.arg_set.isEmpty()) {
                continue;
            }
            const std::optional<int> value = apply_arg(xml, *named, option.arg_set);
            ASSERT_TRUE(value.has_value()) << option.arg_set.toStdString();
            EXPECT_TRUE(chosen.insert(*value).second)
                << select.id.toStdString() << ": two choices give " << *value;
        }
    }
}

TEST(HostXml, AWholeDialogCommandLineParsesAndAPreviewWindowWins) {
    // Every control away from its default, as XScreenSaver writes the line,
    // then the preview's "--window-id" that its settings dialog adds.
    const HostXml xml = read_host_xml();
    QStringList line = xml.command;
    for (const XmlNumber& number : xml.numbers) {
        const int value = number.default_value == number.low ? number.high : number.low;
        line << QString(number.arg)
                    .replace(QLatin1Char('%'), QString::number(value))
                    .split(QLatin1Char(' '));
    }
    for (const XmlBoolean& boolean : xml.booleans) {
        line << boolean.arg_set.split(QLatin1Char(' '));
    }
    for (const XmlSelect& select : xml.selects) {
        line << select.options.back().arg_set.split(QLatin1Char(' '));
    }
    HostCommandLine parsed = parse_host_command_line(line, QStringLiteral("0x2e00007"));
    ASSERT_EQ(parsed.kind, HostCommandLine::Kind::Hack)
        << describe(line).toStdString() << ": " << parsed.error.toStdString();
    EXPECT_EQ(parsed.options.window, 0x2e00007u);

    line << QStringLiteral("--window-id") << QStringLiteral("0x3400002");
    parsed = parse_host_command_line(line, QStringLiteral("0x2e00007"));
    ASSERT_EQ(parsed.kind, HostCommandLine::Kind::Hack) << parsed.error.toStdString();
    EXPECT_EQ(parsed.options.window, 0x3400002u);
}

TEST(HostXml, IsWellFormedForXmllint) {
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (xmllint.isEmpty()) {
        GTEST_SKIP() << "xmllint is not installed";
    }
    QProcess lint;
    lint.start(xmllint, {QStringLiteral("--noout"), QStringLiteral(WM_HOST_XML)});
    ASSERT_TRUE(lint.waitForFinished(30000));
    EXPECT_EQ(lint.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(lint.exitCode(), 0) << lint.readAllStandardError().toStdString();
}

}  // namespace
}  // namespace wm
