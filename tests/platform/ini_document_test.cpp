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

TEST(IniDocument, EveryMixOfLineEndsReadsAsAPersonReadsIt) {
    // LF, CR LF, runs of CRs before LF (a file converted twice) and lone CRs
    // (old Mac files, or a stray one) each end one line.
    const QByteArray text =
        "; notes\r\r\n"
        "[Options]\r\r\n"
        "frame_rate=45\r\r\r\n"
        "caption1=Snow\r\n"
        "caption2=Ice\r"
        "caption3=Frost\n"
        "\r"
        "caption4=Sleet\r\r"
        "caption5=Hail";
    const IniDocument doc = IniDocument::parse(text);
    const QString options = QStringLiteral("Options");
    EXPECT_EQ(doc.value(options, QStringLiteral("frame_rate")), QStringLiteral("45"));
    EXPECT_EQ(doc.value(options, QStringLiteral("caption1")), QStringLiteral("Snow"));
    EXPECT_EQ(doc.value(options, QStringLiteral("caption2")), QStringLiteral("Ice"));
    EXPECT_EQ(doc.value(options, QStringLiteral("caption3")), QStringLiteral("Frost"));
    EXPECT_EQ(doc.value(options, QStringLiteral("caption4")), QStringLiteral("Sleet"));
    EXPECT_EQ(doc.value(options, QStringLiteral("caption5")), QStringLiteral("Hail"));
    EXPECT_EQ(doc.keys(options).size(), 6);
    // Written back with LF alone, line for line; a blank line stays blank.
    EXPECT_EQ(doc.serialize(), QByteArray("; notes\n[Options]\nframe_rate=45\ncaption1=Snow\n"
                                          "caption2=Ice\ncaption3=Frost\n\ncaption4=Sleet\n\n"
                                          "caption5=Hail\n"));
}

TEST(IniDocument, SavesIntoAFileWithDoubledCarriageReturnsAreNeverLost) {
    // A header ending in CR CR LF once read as no header at all: every save
    // added another [Options] block, and the next read found the old one.
    QByteArray file =
        "[Config]\r\r\ninstall_path=/opt/wm/\r\r\n"
        "[Options]\r\r\nframe_rate=45\r\r\ncaption1=Snow\r\r\n";
    const QString options = QStringLiteral("Options");
    for (const QString& rate : {QStringLiteral("50"), QStringLiteral("12"), QStringLiteral("60")}) {
        IniDocument doc = IniDocument::parse(file);
        ASSERT_TRUE(doc.set_value(options, QStringLiteral("frame_rate"), rate));
        ASSERT_TRUE(doc.set_value(options, QStringLiteral("show_time"), QStringLiteral("0")));
        file = doc.serialize();
        const IniDocument again = IniDocument::parse(file);
        EXPECT_EQ(again.value(options, QStringLiteral("frame_rate")), rate);
        EXPECT_EQ(again.value(options, QStringLiteral("show_time")), QStringLiteral("0"));
        // Another key keeps its exact value: no stray CR joins or leaves it.
        EXPECT_EQ(again.value(options, QStringLiteral("caption1")), QStringLiteral("Snow"));
        EXPECT_EQ(again.value(QStringLiteral("Config"), QStringLiteral("install_path")),
                  QStringLiteral("/opt/wm/"));
    }
    EXPECT_EQ(file.count("[Options]"), 1);
    EXPECT_EQ(file.count("frame_rate="), 1);
    EXPECT_FALSE(file.contains('\r'));
}

TEST(IniDocument, AFileOpeningWithSeveralByteOrderMarksReadsTheSameAfterEverySave) {
    // Three marks once left the first header unread: "[Config]" was no header
    // until a save and a read had dropped enough of them, and its keys moved.
    const QByteArray bom = "\xEF\xBB\xBF";
    for (const int marks : {1, 2, 3, 5}) {
        QByteArray file = bom.repeated(marks) + "[Config]\r\ninstall_path=/opt/wm/\r\n";
        for (int save = 0; save < 3; ++save) {
            IniDocument doc = IniDocument::parse(file);
            EXPECT_EQ(doc.value(QStringLiteral("Config"), QStringLiteral("install_path")),
                      QStringLiteral("/opt/wm/"))
                << marks << " marks, save " << save;
            ASSERT_TRUE(doc.set_value(QStringLiteral("Options"), QStringLiteral("frame_rate"),
                                      QString::number(40 + save)));
            file = doc.serialize();
        }
        EXPECT_EQ(file, QByteArray("[Config]\ninstall_path=/opt/wm/\n[Options]\nframe_rate=42\n"))
            << marks << " marks";
    }
}

TEST(IniDocument, LinesItDoesNotChangeKeepTheirBytes) {
    // Bytes that are not UTF-8 (a file written in Latin-1) in other lines
    // survive a change elsewhere exactly.
    const QByteArray text =
        "; caf\xE9 notes\n"
        "[Options]\n"
        "caption1=No\xEBl\n"
        "frame_rate=30\n";
    IniDocument doc = IniDocument::parse(text);
    ASSERT_TRUE(doc.set_value(QStringLiteral("Options"), QStringLiteral("frame_rate"),
                              QStringLiteral("45")));
    EXPECT_EQ(doc.serialize(),
              QByteArray("; caf\xE9 notes\n[Options]\ncaption1=No\xEBl\nframe_rate=45\n"));
}

TEST(IniDocument, NamesThatWouldNotReadBackAreRefusedAndChangeNothing) {
    const QByteArray text = "[Options]\nframe_rate=30\n";
    IniDocument doc = IniDocument::parse(text);
    const QString options = QStringLiteral("Options");
    for (const QString& key :
         {QString(), QStringLiteral("two\nlines"), QStringLiteral("cr\rkey"), QStringLiteral("a=b"),
          QStringLiteral(" padded"), QStringLiteral("; note"), QStringLiteral("# note"),
          QStringLiteral("[x] = y")}) {
        EXPECT_FALSE(doc.set_value(options, key, QStringLiteral("1"))) << key.toStdString();
    }
    for (const QString& section : {QStringLiteral("New\n[Options]"), QStringLiteral("x\ny"),
                                   QStringLiteral(" padded"), QStringLiteral("cr\r")}) {
        EXPECT_FALSE(doc.set_value(section, QStringLiteral("k"), QStringLiteral("1")))
            << section.toStdString();
        EXPECT_FALSE(doc.has_section(section)) << section.toStdString();
    }
    EXPECT_EQ(doc.serialize(), text);
    // Values of any text are fine: they are quoted when they must be.
    EXPECT_TRUE(doc.set_value(options, QStringLiteral("caption1"), QStringLiteral("a\nb\r")));
    EXPECT_EQ(IniDocument::parse(doc.serialize()).value(options, QStringLiteral("caption1")),
              QStringLiteral("a\nb\r"));
}

TEST(IniDocument, ManySectionsAndRepeatedBlocksKeepTheFirstOccurrence) {
    // Thousands of sections, and the same section standing again and again,
    // with letter case varying: the first occurrence of a key counts, new
    // keys go to the first block, and the keys list every block in order.
    QByteArray text;
    for (int i = 0; i < 3000; ++i) {
        text += "[s" + QByteArray::number(i) + "]\nk=" + QByteArray::number(i) + "\n";
        if (i % 1000 == 0) {
            text += (i == 0 ? "[Options]\n" : "[OPTIONS]\n");
            text += "frame_rate=" + QByteArray::number(10 + i) + "\n\n";
        }
    }
    IniDocument doc = IniDocument::parse(text);
    const QString options = QStringLiteral("options");
    EXPECT_EQ(doc.value(options, QStringLiteral("FRAME_RATE")), QStringLiteral("10"));
    EXPECT_EQ(doc.value(QStringLiteral("S2999"), QStringLiteral("k")), QStringLiteral("2999"));
    EXPECT_EQ(doc.keys(options).size(), 3);
    ASSERT_TRUE(doc.set_value(options, QStringLiteral("frame_rate"), QStringLiteral("33")));
    ASSERT_TRUE(doc.set_value(options, QStringLiteral("show_time"), QStringLiteral("0")));
    const QByteArray out = doc.serialize();
    EXPECT_TRUE(out.startsWith("[s0]\nk=0\n[Options]\nframe_rate=33\nshow_time=0\n\n[s1]\n"));
    EXPECT_TRUE(out.contains("[OPTIONS]\nframe_rate=1010\n"));
    const IniDocument again = IniDocument::parse(out);
    EXPECT_EQ(again.value(options, QStringLiteral("frame_rate")), QStringLiteral("33"));
    EXPECT_EQ(again.value(options, QStringLiteral("show_time")), QStringLiteral("0"));
}

}  // namespace
}  // namespace wm
