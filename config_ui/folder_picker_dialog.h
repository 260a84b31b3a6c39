#pragma once
// The folder picker: the caller gives a title, the user browses to a folder
// (and may create a new one there), and the chosen folder comes back, or an
// empty text when the user cancelled. However the window ends (Ok, Cancel,
// the close box, Escape), the folder browsed last is remembered for the run
// and the next picker opens there.

#include "config_ui/browsing_lists.h"

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class FolderPickerDialog;
}

namespace wm {

struct RunValues;

// What a request for a new folder came to.
enum class NewFolderOutcome {
    Created,  // the folder exists now
    NoName,   // the name was empty or blank: nothing to do
    Failed,   // not one folder's name, or the folder could not be made
};

// Makes the folder `name` (leading and trailing blanks removed) inside
// `parent`. A name that is not a single folder's name ("." or "..", one
// holding a separator or a NUL) fails like one that exists already, is too
// long, or lies on a medium that cannot be written. On success `created`
// (when given) receives the new folder's path, ending in the separator.
NewFolderOutcome create_new_folder(const QString& parent, const QString& name,
                                   QString* created = nullptr);

class FolderPickerDialog : public QDialog {
    Q_OBJECT

  public:
    // Starts in run.picker_folder (see start_folder() for one that has gone)
    // and keeps run.picker_folder on the folder shown. `volumes` null means
    // the machine's own drives.
    FolderPickerDialog(RunValues& run, const QString& title, QWidget* parent = nullptr,
                       const VolumeSource* volumes = nullptr);
    ~FolderPickerDialog() override;

    BrowsingLists& browsing() { return *browsing_; }

    // The folder chosen with Ok, ending in the separator; empty until then,
    // and after any other ending.
    const QString& chosen_folder() const { return chosen_; }

    void done(int result) override;

  private:
    void show_folder(const QString& folder);
    void make_new_folder();

    std::unique_ptr<Ui::FolderPickerDialog> ui_;
    RunValues& run_;
    BrowsingLists* browsing_ = nullptr;
    QString chosen_;
};

// Shows the picker modally with `title` and gives the folder chosen, ending
// in the separator, or an empty text when the user cancelled or closed it.
QString pick_folder(RunValues& run, const QString& title, QWidget* parent,
                    const VolumeSource* volumes = nullptr);

}  // namespace wm
