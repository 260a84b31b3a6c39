#include "tests/pack/pack_fixture.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace wm::test {
namespace {

class PackIndex : public PackTest {
  protected:
    void SetUp() override { QDir().mkpath(pack_folder()); }

    void write_index(const QByteArray& text) const {
        ASSERT_TRUE(write_file(base() + kIndexSuffix, text));
    }

    void write_data(qsizetype size) const {
        ASSERT_TRUE(write_file(base() + kDataSuffix, pattern_bytes(size, 1)));
    }

    // A table holding members before each read, so that emptying shows.
    static PackTable filled_table() {
        PackTable table;
        table.pack_count = 1;
        table.pack_names = {QString(), QStringLiteral("stale.jpg")};
        table.pack_sizes = {0, 5};
        return table;
    }
};

TEST_F(PackIndex, ReadsBackWhatTheWriterWrote) {
    const PackTable table = pack_of({source(QStringLiteral("a.jpg"), pattern_bytes(10, 1)),
                                     source(QStringLiteral(" Snow, at night .mid"), QByteArray()),
                                     source(QStringLiteral("b.mid"), pattern_bytes(70000, 2))});
    ASSERT_EQ(table.pack_count, 3);
    EXPECT_EQ(table.pack_names, (std::vector<QString>{QString(), QStringLiteral("a.jpg"),
                                                      QStringLiteral(" Snow, at night .mid"),
                                                      QStringLiteral("b.mid")}));
    EXPECT_EQ(table.pack_sizes, (std::vector<qint32>{0, 10, 0, 70000}));
    EXPECT_EQ(table.temp_folder, run_temp_folder());
}

TEST_F(PackIndex, AcceptsPlainLineEndsAndAMissingLastLineEnd) {
    write_index("W\nQ\nhttp://x\n2\nfirst, one.jpg\n12\nlast.wav\n0");
    write_data(12);
    PackTable table = filled_table();
    QString problem;
    EXPECT_EQ(load_pack_index(table, base(), &problem), IndexLoad::Loaded);
    ASSERT_EQ(table.pack_count, 2);
    EXPECT_EQ(table.pack_names[1], QStringLiteral("first, one.jpg"));
    EXPECT_EQ(table.pack_names[2], QStringLiteral("last.wav"));
    EXPECT_EQ(table.pack_sizes[1], 12);
    EXPECT_EQ(table.pack_sizes[2], 0);
    EXPECT_TRUE(problem.isEmpty());
}

TEST_F(PackIndex, AnIndexOfAtMostOneByteCountsAsMissing) {
    for (const QByteArray& text : {QByteArray(), QByteArray("2")}) {
        write_index(text);
        PackTable table = filled_table();
        QString problem;
        EXPECT_TRUE(read_pack_index(table, base(), &problem));
        EXPECT_EQ(table.pack_count, 0);
        EXPECT_TRUE(table.pack_names.empty());
        EXPECT_TRUE(problem.isEmpty());
        EXPECT_FALSE(table.temp_folder.isEmpty());
    }
    ASSERT_TRUE(QFile::remove(base() + kIndexSuffix));
    PackTable table = filled_table();
    EXPECT_EQ(load_pack_index(table, base()), IndexLoad::Missing);
    EXPECT_EQ(table.pack_count, 0);
}

TEST_F(PackIndex, AMalformedIndexGivesAnEmptyTableAndSaysWhy) {
    const QByteArray head = "Wintermere\r\nQuillory\r\nhttp://x\r\n";
    const std::vector<std::pair<QByteArray, QString>> cases = {
        {head + "-1\r\n", QStringLiteral("negative")},
        {head + "two\r\na.jpg\r\n1\r\n", QStringLiteral("not a number")},
        {head + "3\r\na.jpg\r\n1\r\nb.jpg\r\n2\r\n", QStringLiteral("only 2")},
        {head + "2000000000\r\na.jpg\r\n1\r\n", QStringLiteral("only 1")},
        {head + "99999999999999999999\r\n", QStringLiteral("member count")},
        {head + "1\r\na.jpg\r\nten\r\n", QStringLiteral("not a number")},
        {head + "1\r\na.jpg\r\n-10\r\n", QStringLiteral("negative")},
        {head + "1\r\na.jpg\r\n3000000000\r\n", QStringLiteral("larger than 2147483647")},
        {head + "2\r\na.jpg\r\n1\r\nb.jpg\r\n\r\n", QStringLiteral("line 8")},
        {"Wintermere\r\nQuillory\r\n", QStringLiteral("member count")},
    };
    for (const auto& [text, fragment] : cases) {
        write_index(text);
        PackTable table = filled_table();
        QString problem;
        EXPECT_TRUE(read_pack_index(table, base(), &problem));
        EXPECT_EQ(table.pack_count, 0) << text.toStdString();
        EXPECT_TRUE(table.pack_names.empty() && table.pack_sizes.empty()) << text.toStdString();
        EXPECT_TRUE(problem.contains(fragment))
            << text.toStdString() << " -> " << problem.toStdString();
        EXPECT_EQ(load_pack_index(table, base()), IndexLoad::Malformed);
    }
}

TEST_F(PackIndex, RefusesAnIndexAboveTheSizeLimit) {
    QByteArray text = "W\r\nQ\r\nA\r\n0\r\n";
    text += QByteArray(kMaxIndexBytes - text.size(), '\n');
    write_index(text);
    write_data(0);
    PackTable table;
    EXPECT_EQ(load_pack_index(table, base()), IndexLoad::Loaded);

    write_index(text + '\n');
    QString problem;
    EXPECT_EQ(load_pack_index(table, base(), &problem), IndexLoad::Malformed);
    EXPECT_TRUE(problem.contains(QStringLiteral("larger than"))) << problem.toStdString();
}

TEST_F(PackIndex, IsReadOnlyWithTheDataFileItDescribes) {
    write_index("W\r\nQ\r\nA\r\n2\r\na.jpg\r\n10\r\nb.mid\r\n20\r\n");
    const auto refused = [this](const char* fragment) {
        PackTable table = filled_table();
        QString problem;
        EXPECT_EQ(load_pack_index(table, base(), &problem), IndexLoad::Malformed) << fragment;
        EXPECT_EQ(table.pack_count, 0);
        EXPECT_TRUE(table.pack_names.empty() && table.pack_sizes.empty());
        EXPECT_TRUE(problem.contains(QString::fromUtf8(fragment))) << problem.toStdString();
    };
    refused("there is no data file");
    ASSERT_TRUE(QDir().mkpath(base() + kDataSuffix));
    refused("there is no data file");
    ASSERT_TRUE(QDir().rmdir(base() + kDataSuffix));
    write_data(29);
    refused("holds 29 bytes but the index lists 30");
    write_data(31);
    refused("holds 31 bytes but the index lists 30");

    write_data(30);
    PackTable table;
    QString problem;
    EXPECT_EQ(load_pack_index(table, base(), &problem), IndexLoad::Loaded) << problem.toStdString();
    EXPECT_EQ(table.pack_count, 2);
}

TEST_F(PackIndex, ListedBytesAreTheSumOfAReadTablesSizes) {
    PackTable table = filled_table();
    EXPECT_EQ(listed_bytes(table), 5);
    table.pack_sizes = {0, 5, 2147483647, 2147483647};
    table.pack_count = 3;
    EXPECT_EQ(listed_bytes(table), qint64{5} + 2 * qint64{2147483647});
    table.pack_count = 4;
    EXPECT_EQ(listed_bytes(table), std::nullopt);
    table.pack_count = 3;
    table.pack_sizes[2] = -1;
    EXPECT_EQ(listed_bytes(table), std::nullopt);
    EXPECT_FALSE(data_size_matches(table, QStringLiteral("d.img"), 0));
    EXPECT_EQ(listed_bytes(PackTable{}), 0);
}

}  // namespace
}  // namespace wm::test
