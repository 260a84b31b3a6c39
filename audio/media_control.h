#pragma once
// The multimedia control of the windows that play music.
//
// It works like the system's own: set the switches, the device type and the
// file name, then give commands by name ("Open", "Play", "Stop", "Close").
// Songs play without holding the window up; when one ends by itself the mode
// turns to stopped and, with notify on, the status event runs on the
// user-interface thread.

#include "audio/audio_backend.h"

#include <QString>

#include <functional>
#include <memory>

namespace wm {

// The modes a control reports, in the system's numbering.
inline constexpr int kModeNotReady = 524;  // no device open
inline constexpr int kModeStopped = 525;   // open, not playing (also after a song's end)
inline constexpr int kModePlaying = 526;

class MediaControl {
  public:
    // `backend` serves this control alone and outlives it.
    explicit MediaControl(AudioBackend& backend);
    // Closes the device: no song outlives its control, nor one read ahead.
    ~MediaControl();
    MediaControl(const MediaControl&) = delete;
    MediaControl& operator=(const MediaControl&) = delete;

    // Runs the command `name`, in any case:
    // - "Open": opens file_name() with the device of device_type(), closing
    //   a device open before. Fails for an unknown device type, a file the
    //   device cannot read, no sound device, or a device another control
    //   holds when either of the two is not shareable.
    // - "Play": plays the open song from its start. With wait on, returns
    //   only once the control no longer plays: the song has ended, or an
    //   event stopped or closed it (events keep running meanwhile).
    // - "Stop": silences the song; the device stays open.
    // - "Close": stops and closes the device.
    // True when the command succeeded; otherwise error() says why and the
    // mode is unchanged (a failed "Open" leaves the device closed).
    bool command(const QString& name);

    // Notify: report a song's end through the status event.
    void set_notify(bool on) { notify_ = on; }
    bool notify() const { return notify_; }
    // Wait: "Play" returns only once the song is over.
    void set_wait(bool on) { wait_ = on; }
    bool wait() const { return wait_; }
    // Shareable: other controls may hold the device at the same time.
    void set_shareable(bool on) { shareable_ = on; }
    bool shareable() const { return shareable_; }

    // Read by "Open": "WaveAudio", "Sequencer" or "MPEGVideo" (any case).
    void set_device_type(const QString& name) { device_type_ = name; }
    const QString& device_type() const { return device_type_; }
    void set_file_name(const QString& path) { file_name_ = path; }
    const QString& file_name() const { return file_name_; }

    int mode() const { return mode_; }
    // Why the last failed command failed; empty after one that succeeded.
    const QString& error() const { return error_; }
    // True from a song's end by itself until the next command: the stopped
    // mode then means the song is over, not that a command stopped it.
    bool song_over() const { return song_over_; }

    // Has the sound system read `path` ahead for an "Open" of it with the
    // device of `device_type` to come, so that the Open is quick. Touches
    // neither the switches, the mode nor an open song. Nothing happens for a
    // device type that names no device or an empty path (the Open says so);
    // whatever goes wrong reading it, the Open reports.
    void prepare(const QString& path, const QString& device_type);
    // Forgets the song read ahead, when it is not needed after all.
    void discard_prepared() { backend_.discard_prepared(); }

    // The status event: runs after the mode has changed, on the
    // user-interface thread. A song's end raises it only with notify on.
    void set_status_handler(std::function<void()> handler) { status_handler_ = std::move(handler); }

  private:
    bool open();
    bool play();
    bool stop();
    bool close();
    bool fail(const QString& problem);
    void set_mode(int mode, bool report);
    void song_ended();
    bool in_use_by_another() const;

    AudioBackend& backend_;
    bool notify_ = false;
    bool wait_ = false;
    bool shareable_ = false;
    // Whether the device was opened shareable (the switch may change since).
    bool opened_shareable_ = false;
    QString device_type_;
    QString file_name_;
    QString error_;
    int mode_ = kModeNotReady;
    bool song_over_ = false;
    std::function<void()> status_handler_;
    // False once the control is gone; shared with the commands running when
    // a status handler ends it, which then return without touching it.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace wm
