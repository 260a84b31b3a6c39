#include "audio/media_control.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>
#include <vector>

namespace wm {
namespace {

// The controls that have a device open, in the order they opened it. Only
// the user-interface thread opens and closes devices.
std::vector<const MediaControl*>& open_controls() {
    static std::vector<const MediaControl*> controls;
    return controls;
}

}  // namespace

MediaControl::MediaControl(AudioBackend& backend) : backend_(backend) {}

MediaControl::~MediaControl() {
    *alive_ = false;
    // Whoever handles the status may be going too.
    status_handler_ = nullptr;
    close();
    backend_.discard_prepared();
}

bool MediaControl::command(const QString& name) {
    error_.clear();
    song_over_ = false;
    const QString command = name.trimmed().toLower();
    if (command == QLatin1String("open")) {
        return open();
    }
    if (command == QLatin1String("play")) {
        return play();
    }
    if (command == QLatin1String("stop")) {
        return stop();
    }
    if (command == QLatin1String("close")) {
        return close();
    }
    return fail(QStringLiteral("The command \"%1\" is not known.").arg(name));
}

bool MediaControl::fail(const QString& problem) {
    error_ = problem;
    return false;
}

bool MediaControl::open() {
    const std::shared_ptr<bool> alive = alive_;
    close();
    if (!*alive) {
        return false;  // the status handler ended this control
    }
    const std::optional<Decoder> decoder = decoder_for_device(device_type_);
    if (!decoder) {
        return fail(QStringLiteral("There is no device of the type \"%1\".").arg(device_type_));
    }
    if (file_name_.isEmpty()) {
        return fail(QStringLiteral("No file name is set."));
    }
    if (in_use_by_another()) {
        return fail(QStringLiteral("The device is in use by another window."));
    }
    QString problem;
    if (!backend_.load(file_name_, *decoder, &problem)) {
        return fail(problem);
    }
    opened_shareable_ = shareable_;
    open_controls().push_back(this);
    set_mode(kModeStopped, true);
    return true;
}

void MediaControl::prepare(const QString& path, const QString& device_type) {
    const std::optional<Decoder> decoder = decoder_for_device(device_type);
    if (decoder && !path.isEmpty()) {
        backend_.prepare(path, *decoder);
    }
}

bool MediaControl::in_use_by_another() const {
    return std::any_of(open_controls().begin(), open_controls().end(),
                       [this](const MediaControl* other) {
                           return other != this && (!shareable_ || !other->opened_shareable_);
                       });
}

bool MediaControl::play() {
    if (mode_ == kModeNotReady) {
        return fail(QStringLiteral("No device is open."));
    }
    QString problem;
    if (!backend_.play([this] { song_ended(); }, &problem)) {
        return fail(problem);
    }
    const std::shared_ptr<bool> alive = alive_;
    set_mode(kModePlaying, true);
    // Events go on meanwhile; the wait ends once the control no longer
    // plays, whatever stopped it.
    while (*alive && wait_ && mode_ == kModePlaying) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

bool MediaControl::stop() {
    if (mode_ == kModeNotReady) {
        return true;
    }
    backend_.stop();
    set_mode(kModeStopped, true);
    return true;
}

bool MediaControl::close() {
    if (mode_ == kModeNotReady) {
        return true;
    }
    backend_.unload();
    auto& controls = open_controls();
    controls.erase(std::remove(controls.begin(), controls.end(), this), controls.end());
    set_mode(kModeNotReady, true);
    return true;
}

void MediaControl::song_ended() {
    if (mode_ == kModePlaying) {
        song_over_ = true;
        set_mode(kModeStopped, notify_);
    }
}

void MediaControl::set_mode(int mode, bool report) {
    if (mode == mode_) {
        return;
    }
    mode_ = mode;
    if (report && status_handler_) {
        // Called last and from a copy: the handler may do anything, even
        // replace itself or end this control.
        const std::function<void()> handler = status_handler_;
        handler();
    }
}

}  // namespace wm
