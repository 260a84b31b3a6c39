#pragma once
// The welcome window: greets the user, tells what can be customised, and
// lets the user turn the greeting off for later runs. However it closes, the
// state of its check box becomes the "welcome" setting, which the window
// saves by itself at once.

#include <QDialog>

#include <memory>

namespace Ui {
class WelcomeDialog;
}

namespace wm {

class SettingsStore;
struct SaverSettings;

class WelcomeDialog : public QDialog {
    Q_OBJECT

  public:
    WelcomeDialog(SaverSettings& settings, SettingsStore& store, QWidget* parent = nullptr);
    ~WelcomeDialog() override;

    // Stores the check box in settings.welcome and writes that one key to the
    // store (a failure is reported to the user; the record keeps the value).
    void done(int result) override;

  private:
    std::unique_ptr<Ui::WelcomeDialog> ui_;
    SaverSettings& settings_;
    SettingsStore& store_;
};

}  // namespace wm
