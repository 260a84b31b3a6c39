#pragma once
// The music selection window (frm_custommusic): the user's own songs for the
// saver to play instead of the built-in ones.
//
// Besides what every selection window does (see custom_files_dialog.h), a
// click on a file plays it at once on the window's own multimedia control,
// with the same play and stop the saver uses: a click on another file plays
// that one instead, and a double click on a chosen file plays it. However
// the window closes (Ok, Cancel, the close box, Escape) the sound stops with
// it. A file that cannot be played is logged once and changes nothing else.

#include "audio/media_control.h"
#include "audio/music_player.h"
#include "config_ui/custom_files_dialog.h"
#include "platform/qt_engine_host.h"

#include <QString>

#include <memory>
#include <optional>

namespace Ui {
class CustomMusicDialog;
}

namespace wm {

class AudioBackend;
struct RunValues;
struct SaverSettings;

// The files the music window lists.
inline const QString kMusicFilePatterns = QStringLiteral("*.mid;*.rmi;*.wav;*.mp3");

class CustomMusicDialog : public CustomFilesDialog {
    Q_OBJECT

  public:
    // Edits the custom music list of `settings` (on Ok) and remembers the
    // folder browsed last in `run.music_folder`; both outlive the window.
    // `audio`: where the previews play (it must outlive the window); the
    // program's sound device when null. `volumes`: the drive list's source,
    // the machine's own when null.
    CustomMusicDialog(SaverSettings& settings, RunValues& run, QWidget* parent = nullptr,
                      AudioBackend* audio = nullptr, const VolumeSource* volumes = nullptr);
    ~CustomMusicDialog() override;

    // The control the previews play on.
    const MediaControl& music_control() const { return control_; }

  protected:
    void closing() override;

  private:
    // Plays `path` as the preview, unless the window is closing or closed.
    void preview(const QString& path);

    std::unique_ptr<Ui::CustomMusicDialog> ui_;
    QtEngineHost host_;
    std::unique_ptr<AudioBackend> own_audio_;
    MediaControl control_;
    MusicPlayer player_;
    // Playing a file lets events run, and so other clicks: the file clicked
    // meanwhile, played once the running play is done.
    std::optional<QString> next_preview_;
    bool previewing_ = false;
    bool closing_ = false;
};

}  // namespace wm
