#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QThread>
#include <QtGlobal>

namespace wm::test {

MessageCapture::MessageCapture()
    : previous_(set_message_handler([this](const Message& m) { messages_.push_back(m); })) {}

MessageCapture::~MessageCapture() {
    set_message_handler(previous_);
}

QStringList MessageCapture::texts() const {
    QStringList out;
    for (const Message& m : messages_) {
        out << m.text;
    }
    return out;
}

EnvGuard::EnvGuard(const char* name, const std::optional<QString>& value) : name_(name) {
    if (qEnvironmentVariableIsSet(name)) {
        saved_ = qgetenv(name);
    }
    if (value) {
        qputenv(name, value->toUtf8());
    } else {
        qunsetenv(name);
    }
}

EnvGuard::~EnvGuard() {
    if (saved_) {
        qputenv(name_.constData(), *saved_);
    } else {
        qunsetenv(name_.constData());
    }
}

namespace {
QString scratch_sub(const QTemporaryDir& dir, const char* sub) {
    const QString path = dir.path() + QLatin1Char('/') + QLatin1String(sub);
    QDir().mkpath(path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}
}  // namespace

ScratchHome::ScratchHome()
    : config_home_("XDG_CONFIG_HOME", scratch_sub(dir_, "config")),
      config_dirs_("XDG_CONFIG_DIRS", scratch_sub(dir_, "etc-xdg")),
      data_home_("XDG_DATA_HOME", scratch_sub(dir_, "data")),
      runtime_("XDG_RUNTIME_DIR", scratch_sub(dir_, "run")) {}

QByteArray read_file(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QByteArray();
    }
    return file.readAll();
}

bool write_file(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    return file.write(bytes) == bytes.size();
}

qint64 loud_samples(const QString& raw_file, qint64 from) {
    const QByteArray bytes = read_file(raw_file).mid(from);
    qint64 loud = 0;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        qint16 sample = 0;
        std::memcpy(&sample, bytes.constData() + i, sizeof sample);
        loud += std::abs(sample) > kQuietSample ? 1 : 0;
    }
    return loud;
}

QString write_file_in(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    EXPECT_TRUE(write_file(path, bytes)) << "cannot write " << path.toStdString();
    return path;
}

bool run_events_until(const std::function<bool()>& done, int ms) {
    const QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

void run_events_for(int ms) {
    run_events_until([] { return false; }, ms);
}

}  // namespace wm::test
