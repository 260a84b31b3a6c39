#include "pack/chunked_copy.h"
#include "platform/write_all.h"
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

// A file that takes at most `room` bytes in all, a few at a time, as a file
// system does when it fills up: a write that meets the end stores what fits,
// the next one fails with the reason.
class FillingDevice : public QIODevice {
  public:
    explicit FillingDevice(qint64 room) : room_(room) { open(QIODevice::WriteOnly); }
    QByteArray stored;

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override {
        const qint64 n = qMin(qMin(length, qint64{7000}), room_ - stored.size());
        if (n <= 0) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        stored.append(data, n);
        return n;
    }

  private:
    qint64 room_;
};

TEST(CopyChunked, WritesTheRestAfterShortWritesAndGivesTheReasonOfTheOneThatFails) {
    const QByteArray bytes = pattern_bytes(20000, 4);
    FillingDevice roomy(100000);
    EXPECT_TRUE(write_all(roomy, bytes));
    EXPECT_EQ(roomy.stored, bytes);

    QByteArray in_bytes = pattern_bytes(130000, 5);
    QBuffer from(&in_bytes);
    from.open(QIODevice::ReadOnly);
    FillingDevice full(90000);
    QString problem;
    int chunks = 0;
    EXPECT_FALSE(copy_chunked(from, full, 130000, &problem, [&chunks] { ++chunks; }));
    EXPECT_EQ(problem, QStringLiteral("writing failed: No space left on device"));
    EXPECT_EQ(full.stored, in_bytes.left(90000));
    EXPECT_EQ(chunks, 1);
}

}  // namespace
}  // namespace wm::test
