#pragma once
// The device type names window: the names of the multimedia device types
// with which MIDI, wave and MP3 files are opened. Every change goes into the
// settings record at once (there is no cancel); the options window saves it.

#include <QDialog>

#include <memory>

namespace Ui {
class DeviceNamesDialog;
}

namespace wm {

struct SaverSettings;

class DeviceNamesDialog : public QDialog {
    Q_OBJECT

  public:
    explicit DeviceNamesDialog(SaverSettings& settings, QWidget* parent = nullptr);
    ~DeviceNamesDialog() override;

  private:
    // Puts the three built-in names in the boxes, and so in the record.
    void restore_defaults();

    std::unique_ptr<Ui::DeviceNamesDialog> ui_;
    SaverSettings& settings_;
};

}  // namespace wm
