#include "tests/pack/pack_fixture.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <climits>

#include <sys/stat.h>

namespace wm::test {
namespace {

class PackExtract : public PackTest {
  protected:
    // The index of a pack whose data file holds `data`, listing the given lines
    // after the count.
    void write_pack(const QByteArray& member_lines, int count, const QByteArray& data) {
        QDir().mkpath(pack_folder());
        ASSERT_TRUE(
            write_file(base() + kIndexSuffix,
                       "W\r\nQ\r\nA\r\n" + QByteArray::number(count) + "\r\n" + member_lines));
        ASSERT_TRUE(write_file(base() + kDataSuffix, data));
    }

    // Every extraction failure must leave the temporary folder empty and
    // nothing beside it.
    void expect_nothing_written(const PackTable& table) const {
        EXPECT_EQ(entries(table.temp_folder), QStringList{});
        EXPECT_EQ(entries(home_.runtime()), QStringList{QDir(table.temp_folder).dirName()});
        EXPECT_EQ(entries(pack_folder()),
                  (QStringList{QStringLiteral("images.icf"), QStringLiteral("images.img")}));
    }
};

TEST_F(PackExtract, CopiesEachMemberToItsTemporaryFile) {
    const QByteArray a = pattern_bytes(10, 1);
    const QByteArray b = pattern_bytes(70000, 2);
    const QByteArray c = pattern_bytes(60001, 3);
    const PackTable table = pack_of(
        {source(QStringLiteral("a.jpg"), a), source(QStringLiteral("b.mid"), b),
         source(QStringLiteral("empty.wav"), QByteArray()), source(QStringLiteral("c.GIF"), c)});
    ASSERT_EQ(table.pack_count, 4);

    const QString folder = table.temp_folder;
    EXPECT_EQ(extract_member(table, base(), 2), folder + QStringLiteral("img_xyz.mid"));
    EXPECT_EQ(read_file(folder + QStringLiteral("img_xyz.mid")), b);
    EXPECT_EQ(extract_member(table, base(), 1), folder + QStringLiteral("img_xyz.jpg"));
    EXPECT_EQ(read_file(folder + QStringLiteral("img_xyz.jpg")), a);
    EXPECT_EQ(extract_member(table, base(), 4), folder + QStringLiteral("img_xyz.GIF"));
    EXPECT_EQ(read_file(folder + QStringLiteral("img_xyz.GIF")), c);

    const std::optional<QString> empty = extract_member_path(table, base(), 3);
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(*empty, folder + QStringLiteral("img_xyz.wav"));
    EXPECT_TRUE(QFileInfo(*empty).isFile());
    EXPECT_EQ(QFileInfo(*empty).size(), 0);
}

TEST_F(PackExtract, ShortNamesAreUsedWholeAndLikeEndingsShareOneFile) {
    const PackTable table = pack_of({source(QStringLiteral("ab"), pattern_bytes(4, 1)),
                                     source(QStringLiteral("x"), pattern_bytes(5, 2)),
                                     source(QStringLiteral("one.jpg"), pattern_bytes(70000, 3)),
                                     source(QStringLiteral("two.jpg"), pattern_bytes(6, 4))});
    EXPECT_EQ(temp_member_path(table, 1), table.temp_folder + QStringLiteral("img_xyz.ab"));
    EXPECT_EQ(temp_member_path(table, 2), table.temp_folder + QStringLiteral("img_xyz.x"));

    const QString first = extract_member(table, base(), 3);
    const QString second = extract_member(table, base(), 4);
    EXPECT_EQ(first, second);
    EXPECT_EQ(read_file(second), pattern_bytes(6, 4));
}

TEST_F(PackExtract, PositionsOutsideTheTableAndBrokenTablesGiveFalse) {
    const PackTable table = pack_of({source(QStringLiteral("a.jpg"), pattern_bytes(10, 1)),
                                     source(QStringLiteral("b.jpg"), pattern_bytes(20, 2))});
    for (const int position : {0, -1, 3, INT_MAX, INT_MIN}) {
        EXPECT_EQ(extract_member(table, base(), position), kExtractFailed) << position;
        EXPECT_FALSE(extract_member_path(table, base(), position).has_value());
    }
    PackTable unread;
    EXPECT_EQ(extract_member(unread, base(), 1), kExtractFailed);
    unread.temp_folder = table.temp_folder;
    EXPECT_EQ(extract_member(unread, base(), 1), kExtractFailed);

    // A count that runs ahead of its lists is refused, not followed.
    PackTable inconsistent = table;
    inconsistent.pack_count = 5;
    EXPECT_EQ(extract_member(inconsistent, base(), 3), kExtractFailed);
    for (const std::size_t negative : {1u, 2u}) {
        PackTable broken = table;
        broken.pack_sizes[negative] = -1;
        EXPECT_EQ(extract_member(broken, base(), 2), kExtractFailed) << negative;
    }
    expect_nothing_written(table);
}

TEST_F(PackExtract, ADataFileThatIsNotTheTablesGivesNoMember) {
    const PackTable table = pack_of({source(QStringLiteral("a.jpg"), pattern_bytes(10, 1)),
                                     source(QStringLiteral("b.mid"), pattern_bytes(70000, 2))});
    ASSERT_EQ(table.pack_count, 2);
    // Cut short, or grown (another pack's data file): even the members that
    // would still lie inside it are not this table's.
    for (const qsizetype size : {qsizetype{70009}, qsizetype{70011}}) {
        ASSERT_TRUE(write_file(base() + kDataSuffix, pattern_bytes(size, 3)));
        for (int position = 1; position <= 2; ++position) {
            QString problem;
            EXPECT_FALSE(extract_member_path(table, base(), position, &problem).has_value());
            EXPECT_TRUE(problem.contains(QStringLiteral("not one pack"))) << problem.toStdString();
        }
        expect_nothing_written(table);
    }

    ASSERT_TRUE(QFile::remove(base() + kDataSuffix));
    EXPECT_EQ(extract_member(table, base(), 1), kExtractFailed);
    EXPECT_FALSE(QFileInfo::exists(table.temp_folder + QStringLiteral("img_xyz.jpg")));
}

TEST_F(PackExtract, NamesThatWouldLeaveTheTemporaryFolderGiveFalse) {
    QByteArray nul_name("x.j\0g\r\n1\r\n", 11);
    write_pack("../a/b\r\n1\r\nup/..\r\n1\r\n/\r\n1\r\n" + nul_name, 4, "abcd");
    PackTable table;
    read_pack_index(table, base());
    ASSERT_EQ(table.pack_count, 4);
    for (int position = 1; position <= 4; ++position) {
        QString problem;
        EXPECT_FALSE(extract_member_path(table, base(), position, &problem).has_value());
        EXPECT_TRUE(temp_member_path(table, position).isEmpty());
        EXPECT_TRUE(problem.contains(QStringLiteral("separator"))) << problem.toStdString();
    }
    expect_nothing_written(table);
}

TEST_F(PackExtract, TheTemporaryFolderIsPrivateAndDeletedAtTheEnd) {
    PackTable table = pack_of({source(QStringLiteral("a.jpg"), pattern_bytes(10, 1))});
    const QString folder = table.temp_folder;
    ASSERT_TRUE(folder.endsWith(QLatin1Char('/')));
    EXPECT_TRUE(folder.startsWith(home_.runtime()));
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    const QString extracted = extract_member(table, base(), 1);
    ASSERT_NE(extracted, kExtractFailed);

    delete_temp_files(table);
    EXPECT_FALSE(QFileInfo::exists(extracted));
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_EQ(extract_member(table, base(), 1), kExtractFailed);
    delete_temp_files(table);  // a second call finds nothing and does no harm
}

}  // namespace
}  // namespace wm::test
