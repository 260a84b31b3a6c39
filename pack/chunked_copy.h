#pragma once
// The one way member bytes move between files: in chunks of at most
// kCopyChunkBytes, so that no member is ever held whole in memory.

#include <QIODevice>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <vector>

namespace wm {

inline constexpr qint64 kCopyChunkBytes = 60000;

// The sizes of the chunks that copy `length` bytes, in order: full chunks of
// kCopyChunkBytes, then the remainder. Empty for a length of 0 or less.
std::vector<qint64> chunk_plan(qint64 length);

// Copies exactly `length` bytes from the current position of `from` to the
// current position of `to`, following chunk_plan(), and calls after_chunk
// (when given) once each chunk has been written. False (with a problem text
// when asked) when the input ends early or a read or write fails.
bool copy_chunked(QIODevice& from, QIODevice& to, qint64 length, QString* problem = nullptr,
                  const std::function<void()>& after_chunk = {});

}  // namespace wm
