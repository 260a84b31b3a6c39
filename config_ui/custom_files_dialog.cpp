#include "config_ui/custom_files_dialog.h"

#include "startup/saver_settings.h"

#include <QListWidget>
#include <QPushButton>

namespace wm {

QStringList entries_of(const CustomList& list) {
    const int count = list_in_use(list.total, list.paths);
    QStringList entries;
    entries.reserve(count);
    for (int k = 1; k <= count; ++k) {
        entries.append(list.paths[static_cast<std::size_t>(k)]);
    }
    return entries;
}

void commit_entries(const QStringList& entries, CustomList list) {
    list.total = static_cast<int>(entries.size());
    list.paths.assign(1, QString());
    list.paths.insert(list.paths.end(), entries.begin(), entries.end());
}

CustomFilesDialog::CustomFilesDialog(CustomList list, QString& folder, const VolumeSource* volumes,
                                     QWidget* parent)
    : QDialog(parent), list_(list), folder_(folder), volumes_(volumes_or_system(volumes)) {}

CustomFilesDialog::~CustomFilesDialog() = default;

void CustomFilesDialog::attach(const CustomFilesControls& controls, const QString& patterns) {
    controls_ = controls;
    browsing_ = new BrowsingLists(controls.drives, controls.folders, controls.files, patterns,
                                  volumes_, this);
    connect(controls.add_selected, &QPushButton::clicked, this,
            [this] { add_files(browsing_->selected_file_paths()); });
    connect(controls.add_all, &QPushButton::clicked, this,
            [this] { add_files(browsing_->all_file_paths()); });
    connect(controls.remove, &QPushButton::clicked, this, &CustomFilesDialog::remove_selected);
    connect(controls.ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(controls.cancel, &QPushButton::clicked, this, &QDialog::reject);

    controls.chosen->addItems(entries_of(list_));
    browsing_->start(folder_);
}

void CustomFilesDialog::done(int result) {
    if (result == QDialog::Accepted) {
        QStringList entries;
        entries.reserve(controls_.chosen->count());
        for (int row = 0; row < controls_.chosen->count(); ++row) {
            entries.append(controls_.chosen->item(row)->text());
        }
        commit_entries(entries, list_);
    }
    closing();
    folder_ = browsing_->folder();
    QDialog::done(result);
}

void CustomFilesDialog::add_files(const QStringList& paths) {
    controls_.chosen->addItems(paths);
    if (!paths.isEmpty()) {
        controls_.chosen->scrollToBottom();
    }
}

void CustomFilesDialog::remove_selected() {
    QListWidget* chosen = controls_.chosen;
    for (int row = chosen->count() - 1; row >= 0; --row) {
        if (chosen->item(row)->isSelected()) {
            delete chosen->takeItem(row);
        }
    }
    chosen->clearSelection();
}

}  // namespace wm
