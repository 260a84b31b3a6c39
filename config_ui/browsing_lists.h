#pragma once
// The drive, folder and file lists of a browsing window (Drive1, Dir1 and
// File1 of its form), kept in step with one another.
//
// - The drive list holds the recognisable volumes (see folder_listing.h);
//   choosing one opens its root. A drive that cannot be opened sends all
//   three lists back to the window's start folder, without a message.
// - The folder list shows the current folder's path, from the root down, and
//   below it the current folder's subfolders; one click (or Enter) on any
//   entry opens that folder.
// - The file list shows the current folder's files that match the window's
//   patterns. A mouse click on a file, or a move to it with the keyboard,
//   reports it as clicked; a double click, or Enter, reports it as
//   double-clicked. Enter on either list goes no further, so it never
//   presses the window's default button as well.
//
// The lists are filled synchronously: a folder of thousands of files lists
// at once, without thumbnails or icons per file.

#include "config_ui/folder_listing.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <vector>

class QComboBox;
class QEvent;
class QListWidget;
class QListWidgetItem;

namespace wm {

class BrowsingLists : public QObject {
    Q_OBJECT

  public:
    // The three widgets belong to the window's form and outlive this object;
    // `patterns` filters the file list ("*.gif;*.bmp;*.jpg", "*.*").
    BrowsingLists(QComboBox* drives, QListWidget* folders, QListWidget* files, QString patterns,
                  const VolumeSource& volumes, QObject* parent = nullptr);
    ~BrowsingLists() override;

    // Fills the drive list and opens the start folder for `remembered` (see
    // start_folder()); that folder is where a failed drive returns to.
    // Gives the folder opened.
    QString start(const QString& remembered);

    // Where a drive that cannot be opened sends the lists back to, from now
    // on (a window whose remembered folder follows the browsing moves it).
    void set_return_folder(const QString& folder) { start_folder_ = folder; }

    // Opens `folder` in the three lists. False, with the lists unchanged,
    // when it cannot be opened. Opening the folder already shown refills the
    // lists but reports no change.
    bool open_folder(const QString& folder);

    // The file list's folder, ending in the path separator.
    const QString& folder() const { return folder_; }
    // The file list's names, in their order, and paths built from them.
    const QStringList& file_names() const { return file_names_; }
    QString file_path(int row) const;
    QStringList all_file_paths() const;
    // The selected files, in list order.
    QStringList selected_file_paths() const;

    // Fills the drive list again (a medium may have come or gone).
    void refresh_drives();

  signals:
    // The file list shows another folder (a drive, a folder entry, or
    // open_folder()).
    void folder_changed(const QString& folder);
    // A file was clicked, or reached with the keyboard: its full path.
    void file_clicked(const QString& path);
    // A file was double-clicked: its full path.
    void file_double_clicked(const QString& path);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void drive_chosen(int index);
    void folder_entry_chosen(QListWidgetItem* item);
    void file_item_clicked(QListWidgetItem* item);
    void file_item_current(QListWidgetItem* current);
    void fill_folder_list();
    void fill_file_list();
    void show_drive_of(const QString& folder);

    QComboBox* drives_;
    QListWidget* folders_;
    QListWidget* files_;
    QString patterns_;
    const VolumeSource& volumes_;
    std::vector<Volume> drive_list_;
    QString start_folder_;
    QString folder_;
    QStringList file_names_;
    // Set while the file list handles a key, so that a move of its current
    // item by the keyboard counts as a click and one by the mouse does not
    // count twice.
    bool keyboard_move_ = false;
};

}  // namespace wm
