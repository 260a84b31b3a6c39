#include "fuzz/fuzz_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace wm::fuzz {
namespace {

void drop_qt_message(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "Qt fatal message: %s\n", qPrintable(text));
        std::abort();
    }
}

constexpr qsizetype kLengthBytes = 2;

}  // namespace

void quiet_output() {
    qInstallMessageHandler(&drop_qt_message);
}

const QString& scratch_folder() {
    static const QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/wm-fuzz-XXXXXX"));
    static const QString path = dir.path() + QLatin1Char('/');
    if (!dir.isValid()) {
        fail("cannot make a scratch folder", dir.errorString());
    }
    return path;
}

void write_file(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush()) {
        fail("cannot write a scratch file", path + QStringLiteral(": ") + file.errorString());
    }
}

QByteArray read_file(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void fail(const char* what, const QString& detail) {
    std::fprintf(stderr, "\n==== fuzz check failed: %s\n", what);
    if (!detail.isEmpty()) {
        std::fprintf(stderr, "==== %s\n", qPrintable(detail));
    }
    std::fflush(stderr);
    std::abort();
}

std::vector<QByteArray> split_parts(const QByteArray& input, int parts) {
    std::vector<QByteArray> out;
    qsizetype at = 0;
    for (int i = 0; i + 1 < parts; ++i) {
        qsizetype length = 0;
        if (at + kLengthBytes <= input.size()) {
            length = static_cast<uchar>(input[at]) | (static_cast<uchar>(input[at + 1]) << 8);
            at += kLengthBytes;
        } else {
            at = input.size();
        }
        length = std::min(length, input.size() - at);
        out.push_back(input.mid(at, length));
        at += length;
    }
    out.push_back(input.mid(at));
    return out;
}

QByteArray join_parts(const std::vector<QByteArray>& parts) {
    QByteArray out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const QByteArray part = i + 1 < parts.size() ? parts[i].left(0xffff) : parts[i];
        if (i + 1 < parts.size()) {
            out += static_cast<char>(part.size() & 0xff);
            out += static_cast<char>((part.size() >> 8) & 0xff);
        }
        out += part;
    }
    return out;
}

}  // namespace wm::fuzz
