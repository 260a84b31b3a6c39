#pragma once
// Helpers shared by the test programs.

#include "platform/messages.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <optional>
#include <ostream>
#include <vector>

// Texts in failure messages as text, not as a dump of their bytes.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace wm::test {

// Collects every message shown while it lives instead of showing it.
class MessageCapture {
  public:
    MessageCapture();
    ~MessageCapture();
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    const std::vector<Message>& messages() const { return messages_; }
    QStringList texts() const;
    void clear() { messages_.clear(); }

  private:
    std::vector<Message> messages_;
    MessageHandler previous_;
};

// Sets (or, with nullopt, unsets) an environment variable while it lives.
class EnvGuard {
  public:
    EnvGuard(const char* name, const std::optional<QString>& value);
    ~EnvGuard();
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;

  private:
    QByteArray name_;
    std::optional<QByteArray> saved_;
};

// A temporary home for one test: XDG_CONFIG_HOME, XDG_CONFIG_DIRS,
// XDG_DATA_HOME and XDG_RUNTIME_DIR all point into a fresh folder.
class ScratchHome {
  public:
    ScratchHome();
    QString path() const { return dir_.path(); }
    QString config_home() const { return dir_.path() + QStringLiteral("/config"); }
    QString system_config() const { return dir_.path() + QStringLiteral("/etc-xdg"); }
    QString data_home() const { return dir_.path() + QStringLiteral("/data"); }
    QString runtime() const { return dir_.path() + QStringLiteral("/run"); }

  private:
    QTemporaryDir dir_;
    EnvGuard config_home_;
    EnvGuard config_dirs_;
    EnvGuard data_home_;
    EnvGuard runtime_;
};

// Samples of a raw sound file (16-bit, native byte order, as SDL's disk
// driver writes them) from byte `from` on, and how many are louder than the
// quiet noise floor of any resampling: what counts as sound in the tests.
inline constexpr int kQuietSample = 200;
qint64 loud_samples(const QString& raw_file, qint64 from = 0);

// Runs the event loop until `done` or `ms` have passed; gives `done()`.
bool run_events_until(const std::function<bool()>& done, int ms = 5000);
// Lets `ms` pass with the event loop running.
void run_events_for(int ms);

// Whole-file helpers.
QByteArray read_file(const QString& path);
bool write_file(const QString& path, const QByteArray& bytes);
// Writes `bytes` to the file `name` in `dir` and gives its path; a failed
// write fails the test.
QString write_file_in(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes);

}  // namespace wm::test
