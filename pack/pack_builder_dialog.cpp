#include "pack/pack_builder_dialog.h"

#include "config_ui/browsing_lists.h"
#include "config_ui/folder_picker_dialog.h"
#include "config_ui/preview_box.h"
#include "pack/pack_format.h"
#include "pack/pack_writer.h"
#include "platform/messages.h"
#include "startup/startup.h"
#include "ui_pack_builder_dialog.h"

#include <QListWidget>
#include <QPushButton>

namespace wm {
namespace {

const QString kPackFilePatterns = QStringLiteral("*.bmp;*.gif;*.jpg;*.mid;*.rmi;*.wav");
const QString kDestinationTitle = QStringLiteral("Select Destination Folder");
const QString kWriteError = QStringLiteral("Error making image file!");

}  // namespace

bool is_sound_file_name(const QString& path) {
    if (path.size() <= 3) {
        return false;
    }
    const QString ending = path.right(3).toUpper();
    return ending == QLatin1String("MID") || ending == QLatin1String("RMI") ||
           ending == QLatin1String("WAV");
}

PackBuilderDialog::PackBuilderDialog(RunValues& run, QWidget* parent, const VolumeSource* volumes)
    : QDialog(parent),
      ui_(std::make_unique<Ui::PackBuilderDialog>()),
      run_(run),
      volumes_(volumes_or_system(volumes)) {
    ui_->setupUi(this);
    browsing_ =
        new BrowsingLists(ui_->Drive1, ui_->Dir1, ui_->File1, kPackFilePatterns, volumes_, this);
    connect(browsing_, &BrowsingLists::file_clicked, this, &PackBuilderDialog::file_clicked);
    connect(browsing_, &BrowsingLists::file_double_clicked, this, &PackBuilderDialog::add_file);
    connect(ui_->Command1, &QPushButton::clicked, this, &PackBuilderDialog::add_selected_file);
    connect(ui_->Command2, &QPushButton::clicked, this, &PackBuilderDialog::remove_selected_entry);
    connect(ui_->Command3, &QPushButton::clicked, this, [this] { move_selected_entry(-1); });
    connect(ui_->Command4, &QPushButton::clicked, this, [this] { move_selected_entry(1); });
    connect(ui_->Command5, &QPushButton::clicked, this, &PackBuilderDialog::create_pack);

    browsing_->start(run_.picture_folder);
    show_count();
}

PackBuilderDialog::~PackBuilderDialog() = default;

QStringList PackBuilderDialog::pack_list() const {
    QStringList paths;
    paths.reserve(ui_->List1->count());
    for (int row = 0; row < ui_->List1->count(); ++row) {
        paths.append(ui_->List1->item(row)->text());
    }
    return paths;
}

const PreviewBox& PackBuilderDialog::preview() const {
    return *ui_->destination_image;
}

void PackBuilderDialog::done(int result) {
    run_.picture_folder = browsing_->folder();
    QDialog::done(result);
}

void PackBuilderDialog::file_clicked(const QString& path) {
    selected_file_ = path;
    if (is_sound_file_name(path)) {
        return;  // sounds are neither previewed nor played
    }
    ui_->destination_image->show_file(path, *ui_->source_image);
}

void PackBuilderDialog::add_file(const QString& path) {
    ui_->List1->addItem(path);
    ui_->List1->scrollToBottom();
    show_count();
}

void PackBuilderDialog::add_selected_file() {
    for (const QString& path : browsing_->selected_file_paths()) {
        add_file(path);
    }
}

void PackBuilderDialog::remove_selected_entry() {
    const int row = selected_entry();
    if (row < 0) {
        return;
    }
    delete ui_->List1->takeItem(row);
    show_count();
}

void PackBuilderDialog::move_selected_entry(int step) {
    const int row = selected_entry();
    const int target = row + step;
    if (row < 0 || target < 0 || target >= ui_->List1->count()) {
        return;
    }
    QListWidgetItem* item = ui_->List1->takeItem(row);
    ui_->List1->insertItem(target, item);
    ui_->List1->setCurrentItem(item);
}

void PackBuilderDialog::create_pack() {
    const QStringList sources = pack_list();
    if (sources.isEmpty()) {
        return;
    }
    const QString folder = pick_folder(run_, kDestinationTitle, this, &volumes_);
    if (folder.isEmpty()) {
        return;
    }
    if (!make_pack_file(folder, kPackBaseName, sources)) {
        show_message(kProductName, kWriteError, MessageIcon::None);
    }
}

void PackBuilderDialog::show_count() {
    ui_->Label1->setText(QStringLiteral("Total Files: %1").arg(ui_->List1->count()));
}

int PackBuilderDialog::selected_entry() const {
    const QList<QListWidgetItem*> selected = ui_->List1->selectedItems();
    return selected.isEmpty() ? -1 : ui_->List1->row(selected.first());
}

}  // namespace wm
