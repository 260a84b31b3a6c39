#pragma once
// A sound system for tests: records what it is asked to load and play, fails
// where told to, and ends the song when the test says so.

#include "audio/audio_backend.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QMetaObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

namespace wm::test {

class FakeAudioBackend : public AudioBackend {
  public:
    struct Load {
        QString file;
        Decoder decoder;
        QByteArray bytes;  // the file's first bytes, when it exists
    };

    bool load(const QString& file, Decoder decoder, QString* problem) override {
        unload();
        QFile in(file);
        loads.push_back({file, decoder, in.open(QIODevice::ReadOnly) ? in.read(64) : QByteArray()});
        if (!device_present) {
            *problem = QStringLiteral("no sound device");
            return false;
        }
        if (unreadable.contains(file)) {
            *problem = QStringLiteral("unreadable");
            return false;
        }
        loaded = file;
        return true;
    }

    bool play(std::function<void()> finished, QString* problem) override {
        if (loaded.isEmpty() || refuse_play) {
            *problem = QStringLiteral("cannot play");
            return false;
        }
        ++plays;
        playing = true;
        finished_ = std::move(finished);
        return true;
    }

    void stop() override {
        playing = false;
        finished_ = nullptr;
    }

    void unload() override {
        stop();
        loaded.clear();
    }

    // The song ends by itself (the caller stands for the event queue).
    void end_song() {
        if (!playing) {
            return;
        }
        playing = false;
        const std::function<void()> finished = std::exchange(finished_, nullptr);
        finished();
    }

    // The song's end is posted to the event queue, as the real device posts it.
    void end_song_later() {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [this] { end_song(); }, Qt::QueuedConnection);
    }

    // The files asked for, in order.
    QStringList files() const {
        QStringList names;
        for (const Load& load : loads) {
            names << load.file;
        }
        return names;
    }

    // What fails.
    bool device_present = true;
    QSet<QString> unreadable;
    bool refuse_play = false;

    // What happened.
    std::vector<Load> loads;
    QString loaded;
    bool playing = false;
    int plays = 0;

  private:
    std::function<void()> finished_;
};

}  // namespace wm::test
