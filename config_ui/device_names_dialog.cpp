#include "config_ui/device_names_dialog.h"

#include "startup/saver_settings.h"
#include "ui_device_names_dialog.h"

#include <QLineEdit>
#include <QPushButton>

namespace wm {

DeviceNamesDialog::DeviceNamesDialog(SaverSettings& settings, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::DeviceNamesDialog>()), settings_(settings) {
    ui_->setupUi(this);
    ui_->Text1->setText(settings_.midi_devicename);
    ui_->Text2->setText(settings_.wav_devicename);
    ui_->Text3->setText(settings_.mp3_devicename);

    // textChanged, not textEdited: "&Defaults" fills the boxes and the
    // record follows them the same way as it follows typing.
    connect(ui_->Text1, &QLineEdit::textChanged, this,
            [this](const QString& text) { settings_.midi_devicename = text; });
    connect(ui_->Text2, &QLineEdit::textChanged, this,
            [this](const QString& text) { settings_.wav_devicename = text; });
    connect(ui_->Text3, &QLineEdit::textChanged, this,
            [this](const QString& text) { settings_.mp3_devicename = text; });
    connect(ui_->Command1, &QPushButton::clicked, this, &DeviceNamesDialog::restore_defaults);
    connect(ui_->Command2, &QPushButton::clicked, this, &QDialog::accept);
}

DeviceNamesDialog::~DeviceNamesDialog() = default;

void DeviceNamesDialog::restore_defaults() {
    const SaverSettings defaults;
    ui_->Text1->setText(defaults.midi_devicename);
    ui_->Text2->setText(defaults.wav_devicename);
    ui_->Text3->setText(defaults.mp3_devicename);
    // A box that shows the name already emits nothing; the record gets it anyway.
    settings_.midi_devicename = defaults.midi_devicename;
    settings_.wav_devicename = defaults.wav_devicename;
    settings_.mp3_devicename = defaults.mp3_devicename;
}

}  // namespace wm
