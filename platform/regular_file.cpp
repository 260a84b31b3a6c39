#include "platform/regular_file.h"

#include "platform/error_text.h"

#include <QFile>
#include <QtGlobal>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace wm {
namespace {

// How much more is asked of read() at a time once the file is longer than
// its size said.
constexpr qint64 kReadStep = 64 * 1024;

QString too_large(qint64 max_bytes) {
    return QStringLiteral("larger than %1 bytes").arg(max_bytes);
}

QString system_error() {
    return qt_error_string(errno);
}

// The rule for what stat() or fstat() found.
bool acceptable(const struct stat& info, qint64 max_bytes, QString* problem) {
    if (!S_ISREG(info.st_mode)) {
        set_error(problem, not_regular_reason(info.st_mode));
        return false;
    }
    if (info.st_size > std::max<qint64>(max_bytes, 0)) {
        set_error(problem, too_large(max_bytes));
        return false;
    }
    return true;
}

bool stat_path(const QString& path, const QByteArray& name, qint64 max_bytes, QString* problem) {
    if (path.isEmpty()) {
        set_error(problem, QStringLiteral("no file name"));
        return false;
    }
    struct stat info {};
    if (::stat(name.constData(), &info) != 0) {
        set_error(problem, system_error());
        return false;
    }
    return acceptable(info, max_bytes, problem);
}

// Opens a checked file without waiting; -1 on failure. `size` receives the
// size fstat() gives.
int open_checked(const QString& path, qint64 max_bytes, qint64* size, QString* problem) {
    const QByteArray name = QFile::encodeName(path);
    // A special file is never opened at all: opening some devices acts.
    if (!stat_path(path, name, max_bytes, problem)) {
        return -1;
    }
    int fd = -1;
    do {
        fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        set_error(problem, system_error());
        return -1;
    }
    // What was opened counts, not what the path named a moment before.
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        set_error(problem, system_error());
        ::close(fd);
        return -1;
    }
    if (!acceptable(info, max_bytes, problem)) {
        ::close(fd);
        return -1;
    }
    *size = info.st_size;
    return fd;
}

}  // namespace

QString not_regular_reason(mode_t mode) {
    if (S_ISLNK(mode)) {
        return QStringLiteral("a symbolic link, not a regular file");
    }
    if (S_ISDIR(mode)) {
        return QStringLiteral("a folder, not a regular file");
    }
    if (S_ISFIFO(mode)) {
        return QStringLiteral("a named pipe, not a regular file");
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return QStringLiteral("a device, not a regular file");
    }
    if (S_ISSOCK(mode)) {
        return QStringLiteral("a socket, not a regular file");
    }
    return QStringLiteral("not a regular file");
}

bool is_regular_file(const QString& path, qint64 max_bytes, QString* problem) {
    return stat_path(path, QFile::encodeName(path), max_bytes, problem);
}

int open_regular_file(const QString& path, qint64 max_bytes, QString* problem) {
    qint64 size = 0;
    const int fd = open_checked(path, max_bytes, &size, problem);
    if (fd >= 0) {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0) {
            ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
        }
    }
    return fd;
}

bool open_regular_file(QFile& file, const QString& path, qint64 max_bytes, QString* problem) {
    const int fd = open_regular_file(path, max_bytes, problem);
    if (fd < 0) {
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        set_error(problem, file.errorString());
        ::close(fd);
        return false;
    }
    return true;
}

std::optional<QByteArray> read_regular_file(const QString& path, qint64 max_bytes,
                                            QString* problem) {
    max_bytes = std::max<qint64>(max_bytes, 0);
    qint64 size = 0;
    const int fd = open_checked(path, max_bytes, &size, problem);
    if (fd < 0) {
        return std::nullopt;
    }
    QByteArray bytes;
    bytes.resize(static_cast<qsizetype>(size));
    qint64 got = 0;
    bool failed = false;
    for (;;) {
        if (got == bytes.size()) {
            if (got > max_bytes) {
                break;  // grown past the limit while being read
            }
            // One byte past the size at least, to see the end of the file.
            bytes.resize(static_cast<qsizetype>(got + std::min(kReadStep, max_bytes + 1 - got)));
        }
        const ssize_t n =
            ::read(fd, bytes.data() + got, static_cast<std::size_t>(bytes.size() - got));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            set_error(problem, system_error());
            failed = true;
            break;
        }
        if (n == 0) {
            break;
        }
        got += n;
    }
    ::close(fd);
    if (failed) {
        return std::nullopt;
    }
    if (got > max_bytes) {
        set_error(problem, too_large(max_bytes));
        return std::nullopt;
    }
    bytes.truncate(static_cast<qsizetype>(got));
    return bytes;
}

}  // namespace wm
