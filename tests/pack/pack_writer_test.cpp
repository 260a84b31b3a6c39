#include "tests/pack/pack_fixture.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace wm::test {
namespace {

class PackWriter : public PackTest {
  protected:
    QByteArray index_bytes() const { return read_file(base() + kIndexSuffix); }
    QByteArray data_bytes() const { return read_file(base() + kDataSuffix); }

    // Writes a good pack to be kept through a failing rebuild.
    void write_old_pack() {
        pack_of({source(QStringLiteral("old1.jpg"), pattern_bytes(500, 1)),
                 source(QStringLiteral("old2.wav"), pattern_bytes(61000, 2))});
        old_index_ = index_bytes();
        old_data_ = data_bytes();
        ASSERT_FALSE(old_index_.isEmpty());
        ASSERT_EQ(old_data_.size(), 61500);
    }

    // The old pack is byte for byte as it was, and nothing else is in its folder.
    void expect_old_pack_untouched() const {
        EXPECT_EQ(index_bytes(), old_index_);
        EXPECT_EQ(data_bytes(), old_data_);
        EXPECT_EQ(entries(pack_folder()),
                  (QStringList{QStringLiteral("images.icf"), QStringLiteral("images.img")}));
    }

    bool rebuild(const QStringList& sources, QString* problem) {
        return make_pack_file(pack_folder(), kPackBaseName, sources, problem);
    }

    QByteArray old_index_;
    QByteArray old_data_;
};

TEST_F(PackWriter, WritesTheIndexLinesAndTheMembersBackToBack) {
    const QByteArray a = pattern_bytes(10, 1);
    const QByteArray b = pattern_bytes(70000, 2);
    pack_of({source(QStringLiteral("a.jpg"), a), source(QStringLiteral("b.mid"), b)});

    const QByteArray expected_index = "Wintermere\r\nQuillory\r\n" + kPackMakerAddress.toUtf8() +
                                      "\r\n2\r\na.jpg\r\n10\r\nb.mid\r\n70000\r\n";
    EXPECT_EQ(index_bytes(), expected_index);
    EXPECT_EQ(index_bytes().count("\r\n"), 8);
    EXPECT_EQ(data_bytes().size(), 70010);
    EXPECT_EQ(data_bytes(), a + b);
}

TEST_F(PackWriter, KeepsNamesWithCommasAndSpacesWholeAndAZeroByteMemberTakesNoRoom) {
    const QByteArray first = pattern_bytes(3, 1);
    const QByteArray last = pattern_bytes(4, 2);
    pack_of({source(QStringLiteral("Snow, at night.jpg"), first),
             source(QStringLiteral("empty.wav"), QByteArray()), source(QStringLiteral("x"), last)});
    EXPECT_TRUE(
        index_bytes().contains("\r\nSnow, at night.jpg\r\n3\r\nempty.wav\r\n0\r\nx\r\n4\r\n"));
    EXPECT_EQ(data_bytes(), first + last);
}

TEST_F(PackWriter, RewritingReplacesBothFiles) {
    write_old_pack();
    const QByteArray only = pattern_bytes(20, 9);
    pack_of({source(QStringLiteral("new.gif"), only)});
    EXPECT_TRUE(index_bytes().endsWith("\r\n1\r\nnew.gif\r\n20\r\n"));
    EXPECT_EQ(data_bytes(), only);
    EXPECT_EQ(entries(pack_folder()),
              (QStringList{QStringLiteral("images.icf"), QStringLiteral("images.img")}));
}

TEST_F(PackWriter, AFailedRebuildLeavesTheOldPackAsItWas) {
    write_old_pack();
    const QString good = source(QStringLiteral("good.jpg"), pattern_bytes(70000, 3));
    const QString folder = sources_folder() + QStringLiteral("folder.jpg");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString fifo = sources_folder() + QStringLiteral("pipe.mid");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString with_break = source(QStringLiteral("two\nlines.jpg"), pattern_bytes(5, 4));

    for (const QString& bad :
         {sources_folder() + QStringLiteral("missing.jpg"), folder, fifo, with_break}) {
        QString problem;
        EXPECT_FALSE(rebuild({good, bad}, &problem)) << bad.toStdString();
        EXPECT_TRUE(problem.contains(bad)) << problem.toStdString();
        expect_old_pack_untouched();
    }
}

TEST_F(PackWriter, RefusesASourceTooLargeForASizeLine) {
    write_old_pack();
    const QString huge = source(QStringLiteral("huge.wav"), QByteArray());
    QFile file(huge);
    // A sparse file: no blocks are written for it.
    ASSERT_TRUE(file.resize(kMaxMemberBytes + 1));
    QString problem;
    EXPECT_FALSE(rebuild({huge}, &problem));
    EXPECT_TRUE(problem.contains(QStringLiteral("2147483647"))) << problem.toStdString();
    expect_old_pack_untouched();
    file.remove();
}

TEST_F(PackWriter, AnIrreplaceableDataFileKeepsTheOldIndex) {
    write_old_pack();
    // A folder standing where the data file goes cannot be replaced by a file.
    ASSERT_TRUE(QFile::remove(base() + kDataSuffix));
    ASSERT_TRUE(QDir().mkpath(base() + kDataSuffix));
    QString problem;
    EXPECT_FALSE(rebuild({source(QStringLiteral("n.jpg"), pattern_bytes(9, 5))}, &problem));
    EXPECT_FALSE(problem.isEmpty());
    EXPECT_EQ(index_bytes(), old_index_);
    EXPECT_EQ(entries(pack_folder()),
              (QStringList{QStringLiteral("images.icf"), QStringLiteral("images.img")}));
}

TEST_F(PackWriter, FailsForAFolderThatCannotBeWritten) {
    const QString source_path = source(QStringLiteral("a.jpg"), pattern_bytes(10, 1));
    EXPECT_FALSE(make_pack_file(home_.path() + QStringLiteral("/no/such/folder"), kPackBaseName,
                                {source_path}));
    EXPECT_FALSE(make_pack_file(QString(), kPackBaseName, {source_path}));
}

TEST_F(PackWriter, CanRebuildFromItsOwnDataFile) {
    write_old_pack();
    pack_of({base() + kDataSuffix});
    EXPECT_EQ(data_bytes(), old_data_);
    EXPECT_TRUE(index_bytes().endsWith("\r\n1\r\nimages.img\r\n61500\r\n"));
}

}  // namespace
}  // namespace wm::test
