#include "config_ui/folder_picker_dialog.h"

#include "platform/app_paths.h"
#include "platform/messages.h"
#include "startup/startup.h"
#include "ui_folder_picker_dialog.h"

#include <QDir>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>

namespace wm {
namespace {

// The file list is there for orientation and shows every file.
const QString kEveryFile = QStringLiteral("*.*");

const QString kNewFolderTitle = QStringLiteral("Create new folder");
const QString kNewFolderPrompt = QStringLiteral("Please enter a name for the new folder:");
const QString kNewFolderProposal = QStringLiteral("New Folder");
const QString kFolderErrorCaption = QStringLiteral("Folder Error!");
const QString kFolderErrorText = QStringLiteral("Error trying to create folder!");

}  // namespace

NewFolderOutcome create_new_folder(const QString& parent, const QString& name, QString* created) {
    const QString folder_name = name.trimmed();
    if (folder_name.isEmpty()) {
        return NewFolderOutcome::NoName;
    }
    if (folder_name == QLatin1String(".") || folder_name == QLatin1String("..") ||
        folder_name.contains(kPathSeparator) || folder_name.contains(QChar(u'\0'))) {
        return NewFolderOutcome::Failed;
    }
    const QString path = path_in_folder(parent, folder_name);
    // mkdir fails for a name that exists already, as a folder or as a file.
    if (!QDir().mkdir(path)) {
        return NewFolderOutcome::Failed;
    }
    if (created != nullptr) {
        *created = with_trailing_separator(path);
    }
    return NewFolderOutcome::Created;
}

FolderPickerDialog::FolderPickerDialog(RunValues& run, const QString& title, QWidget* parent,
                                       const VolumeSource* volumes)
    : QDialog(parent), ui_(std::make_unique<Ui::FolderPickerDialog>()), run_(run) {
    ui_->setupUi(this);
    setWindowTitle(title);
    browsing_ = new BrowsingLists(ui_->Drive1, ui_->Dir1, ui_->file1, kEveryFile,
                                  volumes_or_system(volumes), this);
    connect(browsing_, &BrowsingLists::folder_changed, this, &FolderPickerDialog::show_folder);
    connect(ui_->Command1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->Command2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->Command3, &QPushButton::clicked, this, &FolderPickerDialog::make_new_folder);

    show_folder(browsing_->start(run_.picker_folder));
    ui_->Dir1->setFocus();
}

FolderPickerDialog::~FolderPickerDialog() = default;

void FolderPickerDialog::done(int result) {
    chosen_ =
        result == QDialog::Accepted ? with_trailing_separator(browsing_->folder()) : QString();
    run_.picker_folder = browsing_->folder();
    QDialog::done(result);
}

void FolderPickerDialog::show_folder(const QString& folder) {
    ui_->Label1->setText(QDir::toNativeSeparators(folder));
    run_.picker_folder = folder;
    // The picker's remembered folder is the one shown: a drive that is not
    // ready leaves the user there.
    browsing_->set_return_folder(folder);
}

void FolderPickerDialog::make_new_folder() {
    bool answered = false;
    const QString name = QInputDialog::getText(this, kNewFolderTitle, kNewFolderPrompt,
                                               QLineEdit::Normal, kNewFolderProposal, &answered);
    if (!answered) {
        return;
    }
    QString created;
    switch (create_new_folder(browsing_->folder(), name, &created)) {
        case NewFolderOutcome::NoName:
            return;
        case NewFolderOutcome::Failed:
            show_message(kFolderErrorCaption, kFolderErrorText, MessageIcon::None);
            return;
        case NewFolderOutcome::Created:
            browsing_->open_folder(created);
            return;
    }
}

QString pick_folder(RunValues& run, const QString& title, QWidget* parent,
                    const VolumeSource* volumes) {
    FolderPickerDialog picker(run, title, parent, volumes);
    picker.exec();
    return picker.chosen_folder();
}

}  // namespace wm
