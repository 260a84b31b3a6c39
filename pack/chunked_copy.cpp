#include "pack/chunked_copy.h"

#include "platform/error_text.h"
#include "platform/write_all.h"

#include <QByteArray>

namespace wm {
namespace {

qint64 first_chunk(qint64 length) {
    return length < kCopyChunkBytes ? length : kCopyChunkBytes;
}

// Calls step(chunk) for each chunk of `length` bytes: full chunks while a full
// one fits, then what is left. Stops early (returning false) when a step fails.
template <typename Step>
bool for_each_chunk(qint64 length, Step step) {
    qint64 chunk = first_chunk(length);
    for (qint64 done = 0; done < length; done += chunk) {
        if (done + chunk > length) {
            chunk = length - done;
        }
        if (!step(done, chunk)) {
            return false;
        }
    }
    return true;
}

// Reads exactly `count` bytes into `buffer`; a single read may return fewer.
bool read_exactly(QIODevice& from, char* buffer, qint64 count) {
    qint64 got = 0;
    while (got < count) {
        const qint64 n = from.read(buffer + got, count - got);
        if (n <= 0) {
            return false;
        }
        got += n;
    }
    return true;
}

}  // namespace

std::vector<qint64> chunk_plan(qint64 length) {
    std::vector<qint64> plan;
    for_each_chunk(length, [&plan](qint64, qint64 chunk) {
        plan.push_back(chunk);
        return true;
    });
    return plan;
}

bool copy_chunked(QIODevice& from, QIODevice& to, qint64 length, QString* problem,
                  const std::function<void()>& after_chunk) {
    if (length < 0) {
        set_error(problem, QStringLiteral("cannot copy a negative number of bytes"));
        return false;
    }
    QByteArray buffer(first_chunk(length), Qt::Uninitialized);
    return for_each_chunk(length, [&](qint64 done, qint64 chunk) {
        if (!read_exactly(from, buffer.data(), chunk)) {
            set_error(problem, QStringLiteral("the input ended or failed within bytes %1 to %2 "
                                              "of %3")
                                   .arg(done)
                                   .arg(done + chunk)
                                   .arg(length));
            return false;
        }
        QString why;
        if (!write_all(to, buffer.constData(), chunk, &why)) {
            set_error(problem, QStringLiteral("writing failed: %1").arg(why));
            return false;
        }
        if (after_chunk) {
            after_chunk();
        }
        return true;
    });
}

}  // namespace wm
