#include "config_ui/browsing_lists.h"

#include "platform/app_paths.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStyle>

namespace wm {
namespace {

constexpr int kPathRole = Qt::UserRole;

// Enter on a list acts on its current entry and goes no further: the
// window's default button must not take it as well.
bool entered(QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

BrowsingLists::BrowsingLists(QComboBox* drives, QListWidget* folders, QListWidget* files,
                             QString patterns, const VolumeSource& volumes, QObject* parent)
    : QObject(parent),
      drives_(drives),
      folders_(folders),
      files_(files),
      patterns_(std::move(patterns)),
      volumes_(volumes) {
    // Names are set once; the lists never sort or guess sizes themselves.
    files_->setUniformItemSizes(true);
    folders_->setUniformItemSizes(true);
    connect(drives_, &QComboBox::activated, this, &BrowsingLists::drive_chosen);
    connect(folders_, &QListWidget::itemClicked, this, &BrowsingLists::folder_entry_chosen);
    connect(files_, &QListWidget::itemClicked, this, &BrowsingLists::file_item_clicked);
    connect(files_, &QListWidget::currentItemChanged, this, &BrowsingLists::file_item_current);
    connect(files_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        emit file_double_clicked(path_in_folder(folder_, item->text()));
    });
    files_->installEventFilter(this);
    folders_->installEventFilter(this);
}

// Qt drops the event filter by itself, whichever of the two goes first.
BrowsingLists::~BrowsingLists() = default;

QString BrowsingLists::start(const QString& remembered) {
    refresh_drives();
    start_folder_ = start_folder(remembered);
    open_folder(start_folder_);
    return folder_;
}

void BrowsingLists::refresh_drives() {
    drive_list_ = volumes_.volumes();
    const QSignalBlocker block(drives_);
    drives_->clear();
    const QIcon icon = drives_->style()->standardIcon(QStyle::SP_DriveHDIcon);
    for (const Volume& volume : drive_list_) {
        drives_->addItem(icon, volume.label, volume.root);
    }
    show_drive_of(folder_);
}

bool BrowsingLists::open_folder(const QString& folder) {
    if (!folder_can_be_opened(folder)) {
        return false;
    }
    const QString opened = with_trailing_separator(QDir::cleanPath(folder));
    const bool changed = opened != folder_;
    folder_ = opened;
    show_drive_of(folder_);
    fill_folder_list();
    fill_file_list();
    if (changed) {
        emit folder_changed(folder_);
    }
    return true;
}

QString BrowsingLists::file_path(int row) const {
    return row >= 0 && row < file_names_.size() ? path_in_folder(folder_, file_names_.at(row))
                                                : QString();
}

QStringList BrowsingLists::all_file_paths() const {
    QStringList paths;
    paths.reserve(file_names_.size());
    for (const QString& name : file_names_) {
        paths.append(path_in_folder(folder_, name));
    }
    return paths;
}

QStringList BrowsingLists::selected_file_paths() const {
    QStringList paths;
    for (int row = 0; row < files_->count(); ++row) {
        if (files_->item(row)->isSelected()) {
            paths.append(file_path(row));
        }
    }
    return paths;
}

bool BrowsingLists::eventFilter(QObject* watched, QEvent* event) {
    if (watched == folders_ && entered(event)) {
        folder_entry_chosen(folders_->currentItem());
        return true;
    }
    if (watched == files_ && entered(event)) {
        if (QListWidgetItem* item = files_->currentItem()) {
            emit file_double_clicked(path_in_folder(folder_, item->text()));
        }
        return true;
    }
    if (watched == files_) {
        switch (event->type()) {
            case QEvent::KeyPress:
                keyboard_move_ = true;
                break;
            case QEvent::KeyRelease:
            case QEvent::MouseButtonPress:
            case QEvent::FocusOut:
                keyboard_move_ = false;
                break;
            default:
                break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void BrowsingLists::drive_chosen(int index) {
    const QString root = drives_->itemData(index).toString();
    if (!open_folder(root)) {
        // A drive that is not ready: back to where the window started.
        if (!open_folder(start_folder_)) {
            show_drive_of(folder_);
        }
    }
}

void BrowsingLists::folder_entry_chosen(QListWidgetItem* item) {
    if (item != nullptr) {
        open_folder(item->data(kPathRole).toString());
    }
}

void BrowsingLists::file_item_clicked(QListWidgetItem* item) {
    if (item != nullptr) {
        emit file_clicked(path_in_folder(folder_, item->text()));
    }
}

void BrowsingLists::file_item_current(QListWidgetItem* current) {
    if (keyboard_move_ && current != nullptr) {
        emit file_clicked(path_in_folder(folder_, current->text()));
    }
}

void BrowsingLists::fill_folder_list() {
    const QSignalBlocker block(folders_);
    folders_->clear();
    QStyle* style = folders_->style();
    const QIcon open_icon = style->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed_icon = style->standardIcon(QStyle::SP_DirClosedIcon);
    const auto indent = [](qsizetype depth) { return QString(depth * 2, QLatin1Char(' ')); };

    QStringList chain = folder_chain(folder_);
    std::reverse(chain.begin(), chain.end());
    for (qsizetype depth = 0; depth < chain.size(); ++depth) {
        const QString& path = chain.at(depth);
        const QString name = depth == 0 ? path : QDir(path).dirName();  // the root shows as "/"
        auto* item = new QListWidgetItem(open_icon, indent(depth) + name, folders_);
        item->setData(kPathRole, path);
        item->setToolTip(path);
    }
    QListWidgetItem* current = folders_->item(folders_->count() - 1);
    const QString inner = indent(chain.size());
    for (const QString& name : subfolder_names(folder_)) {
        auto* item = new QListWidgetItem(closed_icon, inner + name, folders_);
        item->setData(kPathRole, path_in_folder(folder_, name));
    }
    folders_->setCurrentItem(current);
    folders_->scrollToItem(current);
}

void BrowsingLists::fill_file_list() {
    const QSignalBlocker block(files_);
    files_->clear();
    file_names_ = matching_file_names(folder_, patterns_);
    files_->addItems(file_names_);
    files_->scrollToTop();
}

void BrowsingLists::show_drive_of(const QString& folder) {
    const int index = volume_holding(drive_list_, folder);
    const QSignalBlocker block(drives_);
    drives_->setCurrentIndex(index);
}

}  // namespace wm
