#pragma once
// A scratch place for pack tests: a private home (so the run's temporary
// folder lands inside it), a folder for source files and one for packs.

#include "pack/pack_files.h"
#include "platform/run_temp_folder.h"
#include "tests/support/test_support.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace wm::test {

// `size` bytes that differ from those of another seed, so that swapped or
// shifted members show.
inline QByteArray pattern_bytes(qsizetype size, int seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 7 + seed * 31 + i / 251) & 0xff);
    }
    return bytes;
}

class PackTest : public ::testing::Test {
  protected:
    void TearDown() override { remove_run_temp_folder(); }

    QString sources_folder() const { return home_.path() + QStringLiteral("/sources/"); }
    QString pack_folder() const { return home_.path() + QStringLiteral("/pack/"); }
    QString base() const { return pack_folder() + kPackBaseName; }

    // Writes a source file with the given name and contents; returns its full path.
    QString source(const QString& name, const QByteArray& bytes) const {
        QDir().mkpath(sources_folder());
        const QString path = sources_folder() + name;
        EXPECT_TRUE(write_file(path, bytes)) << path.toStdString();
        return path;
    }

    // Writes a pack of the given sources into pack_folder() and reads its index back.
    PackTable pack_of(const QStringList& sources) {
        QDir().mkpath(pack_folder());
        QString problem;
        EXPECT_TRUE(make_pack_file(pack_folder(), kPackBaseName, sources, &problem))
            << problem.toStdString();
        PackTable table;
        read_pack_index(table, base(), &problem);
        EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
        return table;
    }

    // The names in a folder, sorted.
    static QStringList entries(const QString& folder) {
        return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                      QDir::Name);
    }

    ScratchHome home_;
};

}  // namespace wm::test
