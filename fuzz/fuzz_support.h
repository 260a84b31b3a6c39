#pragma once
// What every fuzz target shares: quiet Qt output, a private
// scratch folder, whole-file writes, the check that turns a broken promise
// into a crash libFuzzer keeps, and the input format of several files in one.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace wm::fuzz {

// Once per process, from LLVMFuzzerInitialize: drops Qt's warnings, so that
// the output holds libFuzzer's figures and findings only. A fatal Qt message
// still ends the run as a crash.
void quiet_output();

// A folder of this process's own below the system temp folder ($TMPDIR),
// removed at exit; it ends in a separator.
const QString& scratch_folder();

// Replaces the file at `path` with `bytes`; a failed write ends the run,
// since the target could not test what it meant to.
void write_file(const QString& path, const QByteArray& bytes);

// The whole file, or an empty array when it cannot be read.
QByteArray read_file(const QString& path);

// Reports a broken promise of the code under test and aborts, which
// libFuzzer records as a crash with the input that caused it.
[[noreturn]] void fail(const char* what, const QString& detail = QString());

inline void check(bool holds, const char* what, const QString& detail = QString()) {
    if (!holds) {
        fail(what, detail);
    }
}

// The fuzzer's bytes as a QByteArray.
inline QByteArray input_bytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Several files in one input: each but the last is a 2-byte little-endian
// length followed by that many bytes (cut short where the input ends); the
// last takes the rest. Inputs are split the same way however they mutate.
std::vector<QByteArray> split_parts(const QByteArray& input, int parts);
QByteArray join_parts(const std::vector<QByteArray>& parts);

}  // namespace wm::fuzz
