#include "platform/ini_document.h"

#include <gtest/gtest.h>

namespace wm {
namespace {

QString reread(const QString& value) {
    IniDocument doc = IniDocument::parse(QByteArray());
    doc.set_value(QStringLiteral("Options"), QStringLiteral("caption1"), value);
    return IniDocument::parse(doc.serialize())
        .value(QStringLiteral("Options"), QStringLiteral("caption1"))
        .value_or(QStringLiteral("<missing>"));
}

TEST(IniDocument, EveryTextRoundTripsExactly) {
    const QString samples[] = {
        QString(),
        QStringLiteral("Merry Christmas"),
        QStringLiteral("Snow, ice; and \"quotes\""),
        QStringLiteral("a=b=c"),
        QStringLiteral("  leading and trailing blanks  "),
        QStringLiteral("\ttab first"),
        QStringLiteral("\"starts with a quote"),
        QStringLiteral("ends with a quote\""),
        QStringLiteral("\"fully quoted\""),
        QStringLiteral("C:\\Windows\\back\\slashes\\"),
        QStringLiteral("Frohe Weihnachten – Joyeux Noël – メリークリスマス ❄"),
        QStringLiteral("two\nlines\r\nand a \x01 control"),
        QStringLiteral("; looks like a comment"),
        QStringLiteral("[Looks like a section]"),
        QString(QChar(0)) + QStringLiteral("nul inside") + QChar(0),
    };
    for (const QString& sample : samples) {
        EXPECT_EQ(reread(sample), sample) << sample.toStdString();
    }
}

TEST(IniDocument, HandWrittenPlainLinesReadAsWritten) {
    const QByteArray text =
        "\xEF\xBB\xBF; written by hand\r\n"
        "[options]\r\n"
        "caption1=Hello, world; \"friends\"\r\n"
        "  caption2 =   spaced out   \r\n"
        "# another comment\n"
        "caption3=\"quoted\"\n"
        "caption4=\"half\" quoted\"\n"
        "caption5=\n"
        "not an entry\n"
        "=no key\n"
        "caption1=second copy is ignored\n";
    const IniDocument doc = IniDocument::parse(text);
    const QString options = QStringLiteral("Options");
    EXPECT_EQ(doc.value(options, QStringLiteral("caption1")),
              QStringLiteral("Hello, world; \"friends\""));
    EXPECT_EQ(doc.value(options, QStringLiteral("CAPTION2")), QStringLiteral("spaced out"));
    EXPECT_EQ(doc.value(options, QStringLiteral("caption3")), QStringLiteral("quoted"));
    EXPECT_EQ(doc.value(options, QStringLiteral("caption4")), QStringLiteral("\"half\" quoted\""));
    EXPECT_EQ(doc.value(options, QStringLiteral("caption5")), QString());
    EXPECT_FALSE(doc.value(options, QStringLiteral("caption6")).has_value());
    EXPECT_FALSE(doc.value(QStringLiteral("Config"), QStringLiteral("caption1")).has_value());
    EXPECT_EQ(doc.keys(options).size(), 6);  // caption1 twice
}

TEST(IniDocument, ChangesKeepEveryOtherLineInPlace) {
    const QByteArray text =
        "; my notes\n"
        "[Config]\n"
        "install_path=/opt/wintermere/\n"
        "\n"
        "[Options]\n"
        "frame_rate=30\n"
        "; keep me\n"
        "unknown_key=kept\n"
        "\n";
    IniDocument doc = IniDocument::parse(text);
    doc.set_value(QStringLiteral("options"), QStringLiteral("FRAME_RATE"), QStringLiteral("60"));
    doc.set_value(QStringLiteral("Options"), QStringLiteral("show_time"), QStringLiteral("0"));
    doc.set_value(QStringLiteral("Config"), QStringLiteral("extra"), QStringLiteral("x"));
    doc.set_value(QStringLiteral("New"), QStringLiteral("k"), QStringLiteral(" v "));
    EXPECT_EQ(doc.serialize(), QByteArray("; my notes\n"
                                          "[Config]\n"
                                          "install_path=/opt/wintermere/\n"
                                          "extra=x\n"
                                          "\n"
                                          "[Options]\n"
                                          "FRAME_RATE=60\n"
                                          "; keep me\n"
                                          "unknown_key=kept\n"
                                          "show_time=0\n"
                                          "\n"
                                          "[New]\n"
                                          "k=\" v \"\n"));
    // Lookups after inserts still find every key.
    EXPECT_EQ(doc.value(QStringLiteral("Options"), QStringLiteral("unknown_key")),
              QStringLiteral("kept"));
    EXPECT_EQ(doc.value(QStringLiteral("Options"), QStringLiteral("show_time")),
              QStringLiteral("0"));
}

TEST(IniDocument, SectionsMayCarryCommentsAndStandMoreThanOnce) {
    const QByteArray text =
        "[Options] ; my own settings\n"
        "frame_rate=45\n"
        "[Config]\n"
        "install_path=/opt/wm/\n"
        "[options]\n"
        "frame_rate=12\n"
        "show_time=0\n"
        "[not a header] trailing text\n";
    IniDocument doc = IniDocument::parse(text);
    const QString options = QStringLiteral("Options");
    EXPECT_EQ(doc.value(options, QStringLiteral("frame_rate")), QStringLiteral("45"));
    EXPECT_EQ(doc.value(options, QStringLiteral("show_time")), QStringLiteral("0"));
    EXPECT_EQ(doc.keys(options),
              (QStringList{QStringLiteral("frame_rate"), QStringLiteral("frame_rate"),
                           QStringLiteral("show_time")}));
    EXPECT_FALSE(doc.has_section(QStringLiteral("not a header")));

    doc.set_value(options, QStringLiteral("show_time"), QStringLiteral("1"));
    doc.set_value(options, QStringLiteral("sprite_active"), QStringLiteral("3"));
    const QByteArray out = doc.serialize();
    EXPECT_EQ(out.count("[Options]") + out.count("[options]"), 2);  // no third block
    EXPECT_TRUE(out.contains("show_time=1\n"));
    EXPECT_TRUE(out.startsWith("[Options] ; my own settings\nframe_rate=45\nsprite_active=3\n"));
}

}  // namespace
}  // namespace wm
