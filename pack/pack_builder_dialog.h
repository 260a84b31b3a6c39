#pragma once
// The pack builder window (the "/m" mode): the user browses for pictures and
// sounds, previews the pictures, arranges the files in member order in the
// pack list, and writes them as the pack "images" into a folder chosen in
// the folder picker. The list is never stored; the folder browsed last is
// remembered for the run however the window closes.

#include <QDialog>
#include <QString>
#include <QStringList>

#include <memory>

namespace Ui {
class PackBuilderDialog;
}

namespace wm {

class BrowsingLists;
class PreviewBox;
class VolumeSource;
struct RunValues;

// True when the builder treats `path` as a sound (its name ends in MID, RMI
// or WAV, in any letter case): sounds are added without a preview.
bool is_sound_file_name(const QString& path);

class PackBuilderDialog : public QDialog {
    Q_OBJECT

  public:
    // Browsing starts in run.picture_folder; the destination is chosen in a
    // folder picker that starts in run.picker_folder. `volumes` null means
    // the machine's own drives.
    explicit PackBuilderDialog(RunValues& run, QWidget* parent = nullptr,
                               const VolumeSource* volumes = nullptr);
    ~PackBuilderDialog() override;

    BrowsingLists& browsing() { return *browsing_; }
    // The pack list's paths, in member order.
    QStringList pack_list() const;
    // The file clicked last (or reached with the keyboard).
    const QString& selected_file() const { return selected_file_; }
    const PreviewBox& preview() const;

    // However the window ends, the folder browsed last is remembered.
    void done(int result) override;

  private:
    void file_clicked(const QString& path);
    void add_file(const QString& path);
    void add_selected_file();
    void remove_selected_entry();
    void move_selected_entry(int step);
    void create_pack();
    void show_count();
    int selected_entry() const;

    std::unique_ptr<Ui::PackBuilderDialog> ui_;
    RunValues& run_;
    const VolumeSource& volumes_;
    BrowsingLists* browsing_ = nullptr;
    QString selected_file_;
};

}  // namespace wm
