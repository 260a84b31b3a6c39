#pragma once
// What the picture and music selection windows share: browsing for files,
// the list of chosen files (List2) with its add and remove buttons, and the
// "&Ok" that commits the list to the settings record while "&Cancel" (the
// close box, Escape) leaves the record as it was. Either way the folder
// browsed last is remembered for the run.

#include "config_ui/browsing_lists.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QComboBox;
class QListWidget;
class QPushButton;

namespace wm {

// A custom list of the settings record: its count and its paths at
// positions 1..count (element 0 unused).
struct CustomList {
    int& total;
    std::vector<QString>& paths;
};

// The entries a window shows for a stored list: positions 1..total, held to
// the paths there are.
QStringList entries_of(const CustomList& list);

// Stores `entries` as the list: the count, and the paths at 1..count.
void commit_entries(const QStringList& entries, CustomList list);

// The form's controls the shared behaviour works on.
struct CustomFilesControls {
    QComboBox* drives;          // Drive1
    QListWidget* folders;       // Dir1
    QListWidget* files;         // File1
    QListWidget* chosen;        // List2
    QPushButton* add_selected;  // Command1
    QPushButton* add_all;       // Command2
    QPushButton* remove;        // Command5
    QPushButton* ok;            // Command3
    QPushButton* cancel;        // Command6
};

class CustomFilesDialog : public QDialog {
    Q_OBJECT

  public:
    ~CustomFilesDialog() override;

    // The file, folder and drive lists.
    BrowsingLists& browsing() { return *browsing_; }

    // Ends the window. Accepted (Ok) stores the list; rejected leaves it.
    // However the window ends, closing() runs and the folder is remembered.
    void done(int result) override;

  protected:
    // `list` and `folder` belong to the caller and outlive the window;
    // `volumes` null means the machine's own.
    CustomFilesDialog(CustomList list, QString& folder, const VolumeSource* volumes,
                      QWidget* parent);

    // Called by the window's constructor once its form is set up: connects
    // the buttons, fills List2 from the record and starts browsing in the
    // remembered folder.
    void attach(const CustomFilesControls& controls, const QString& patterns);

    // Runs once as the window ends, before the folder is remembered.
    virtual void closing() {}

  private:
    void add_files(const QStringList& paths);
    void remove_selected();

    CustomList list_;
    QString& folder_;
    const VolumeSource& volumes_;
    CustomFilesControls controls_{};
    BrowsingLists* browsing_ = nullptr;
};

}  // namespace wm
