#pragma once
// The configuration window, where configuration mode starts: the program's
// picture and the buttons to the about window, the options, a test run, the
// maker's other titles, and the way out. The welcome window greets the user
// once per opening while "welcome" is 1. Closing the window saves the
// settings; when they cannot be saved the user is told and the window stays
// open for another try, and only a second close after a failed save leaves
// without them.

#include "config_ui/configuration_context.h"

#include <QDialog>

#include <memory>

namespace Ui {
class ConfigurationDialog;
}

namespace wm {

class ConfigurationDialog : public QDialog {
    Q_OBJECT

  public:
    explicit ConfigurationDialog(ConfigurationContext context, QWidget* parent = nullptr);
    ~ConfigurationDialog() override;

    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void offer_welcome();

    std::unique_ptr<Ui::ConfigurationDialog> ui_;
    ConfigurationContext context_;
    bool welcome_shown_ = false;
    bool save_failed_ = false;
};

}  // namespace wm
