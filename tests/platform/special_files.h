#pragma once
// Special files put where a settings file belongs: a named pipe (opening it
// waits for a writer) and a link to /dev/zero (bytes without end). Readers
// must refuse both without waiting or reading, and savers must leave them be.

#include "tests/support/hostile_files.h"

#include <QFile>
#include <QFileInfo>
#include <QString>

#include <atomic>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace wm::test {

enum class SpecialFile { kNamedPipe, kLinkToDevZero };
inline constexpr SpecialFile kSpecialFiles[] = {SpecialFile::kNamedPipe,
                                                SpecialFile::kLinkToDevZero};

inline const char* name_of(SpecialFile kind) {
    return kind == SpecialFile::kNamedPipe ? "a named pipe" : "a link to /dev/zero";
}

inline bool make_special_file(SpecialFile kind, const QString& path) {
    return kind == SpecialFile::kNamedPipe ? make_fifo(path)
                                           : QFile::link(QStringLiteral("/dev/zero"), path);
}

// True while the special file is still at `path`, as it was made.
inline bool special_file_still_there(SpecialFile kind, const QString& path) {
    if (kind == SpecialFile::kLinkToDevZero) {
        const QFileInfo link(path);
        return link.isSymLink() && link.symLinkTarget() == QStringLiteral("/dev/zero");
    }
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode);
}

// While it lives, a reader stuck opening or reading the named pipe at `path`
// is let go (a writer comes and goes), so that a reader that waits on the
// pipe fails its test instead of hanging it.
class PipeReleaser {
  public:
    explicit PipeReleaser(const QString& path)
        : path_(QFile::encodeName(path)), thread_([this] { release_readers(); }) {}
    ~PipeReleaser() {
        done_.store(true);
        thread_.join();
    }
    PipeReleaser(const PipeReleaser&) = delete;
    PipeReleaser& operator=(const PipeReleaser&) = delete;

  private:
    void release_readers() {
        while (!done_.load()) {
            // Opening for writing without waiting succeeds only when a
            // reader has the pipe open; closing it again gives that reader
            // the end of the file.
            const int fd = ::open(path_.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    QByteArray path_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

}  // namespace wm::test
