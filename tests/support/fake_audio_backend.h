#pragma once
// A sound system for tests: records what it is asked to read ahead, load and
// play, fails where told to, and ends the song when the test says so.

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
        // Whether the same file had been read ahead with the same decoder.
        bool prepared = false;
    };

    bool load(const QString& file, Decoder decoder, QString* problem) override {
        unload();
        QFile in(file);
        const bool prepared = !prepares.empty() && pending_ && prepares.back().file == file &&
                              prepares.back().decoder == decoder;
        pending_ = false;
        loads.push_back(
            {file, decoder, in.open(QIODevice::ReadOnly) ? in.read(64) : QByteArray(), prepared});
        calls << QStringLiteral("load ") + file;
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
        calls << QStringLiteral("play ") + loaded;
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
        if (!loaded.isEmpty()) {
            calls << QStringLiteral("unload ") + loaded;
        }
        loaded.clear();
    }

    // Read ahead: recorded, and taken by the next load of the same file and
    // decoder. Whether that load fails is decided as for any load.
    void prepare(const QString& file, Decoder decoder) override {
        QFile in(file);
        prepares.push_back(
            {file, decoder, in.open(QIODevice::ReadOnly) ? in.read(64) : QByteArray(), true});
        pending_ = true;
        calls << QStringLiteral("prepare ") + file;
    }

    void discard_prepared() override {
        if (pending_) {
            calls << QStringLiteral("discard ") + prepares.back().file;
        }
        pending_ = false;
    }

    // Whether a song read ahead waits for its load.
    bool prepare_pending() const { return pending_; }

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
    std::vector<Load> prepares;
    // "prepare F", "load F", "play F", "unload F", "discard F", in order.
    QStringList calls;
    QString loaded;
    bool playing = false;
    int plays = 0;

  private:
    std::function<void()> finished_;
    bool pending_ = false;
};

}  // namespace wm::test
