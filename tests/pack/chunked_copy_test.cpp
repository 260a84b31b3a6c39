#include "pack/chunked_copy.h"
#include "tests/pack/pack_fixture.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <vector>

namespace wm::test {
namespace {

using Plan = std::vector<qint64>;

TEST(ChunkPlan, FullChunksThenTheRemainder) {
    EXPECT_EQ(chunk_plan(0), Plan{});
    EXPECT_EQ(chunk_plan(1), Plan{1});
    EXPECT_EQ(chunk_plan(10), Plan{10});
    EXPECT_EQ(chunk_plan(59999), Plan{59999});
    EXPECT_EQ(chunk_plan(60000), Plan{60000});
    EXPECT_EQ(chunk_plan(60001), (Plan{60000, 1}));
    EXPECT_EQ(chunk_plan(70000), (Plan{60000, 10000}));
    EXPECT_EQ(chunk_plan(120000), (Plan{60000, 60000}));
    EXPECT_EQ(chunk_plan(-5), Plan{});
}

// Copies `length` bytes from the middle of `input` and returns what arrived.
QByteArray copied(const QByteArray& input, qint64 start, qint64 length, bool* ok) {
    QByteArray in_bytes = input;
    QBuffer from(&in_bytes);
    from.open(QIODevice::ReadOnly);
    from.seek(start);
    QByteArray out_bytes = "head";
    QBuffer to(&out_bytes);
    to.open(QIODevice::WriteOnly | QIODevice::Append);
    *ok = copy_chunked(from, to, length);
    return out_bytes.mid(4);
}

TEST(CopyChunked, CopiesExactlyTheAskedBytesAtTheCurrentPositions) {
    const QByteArray input = pattern_bytes(130001, 1);
    for (const qint64 length :
         {qint64{0}, qint64{1}, qint64{60000}, qint64{60001}, qint64{120000}}) {
        bool ok = false;
        const QByteArray out = copied(input, 7, length, &ok);
        EXPECT_TRUE(ok) << length;
        EXPECT_EQ(out, input.mid(7, length)) << length;
    }
}

TEST(CopyChunked, FailsWhenTheInputEndsEarlyOrTheLengthIsNegative) {
    const QByteArray input = pattern_bytes(70000, 2);
    bool ok = true;
    copied(input, 10, 70000, &ok);
    EXPECT_FALSE(ok);
    copied(input, 0, -1, &ok);
    EXPECT_FALSE(ok);
}

TEST(CopyChunked, ReportsAFailingWrite) {
    QByteArray in_bytes = pattern_bytes(100, 3);
    QBuffer from(&in_bytes);
    from.open(QIODevice::ReadOnly);
    QByteArray out_bytes;
    QBuffer to(&out_bytes);
    to.open(QIODevice::ReadOnly);  // every write fails
    QString problem;
    EXPECT_FALSE(copy_chunked(from, to, 100, &problem));
    EXPECT_FALSE(problem.isEmpty());
}

}  // namespace
}  // namespace wm::test
