#pragma once
// The options window: every option of the settings record. Each control
// writes its setting the moment it changes; there is no cancel, and closing
// the window (however it closes) saves the record. The two option groups
// open the picture and music selection windows, and fall back to the
// built-in media when the user leaves the list empty.

#include "config_ui/configuration_context.h"

#include <QDialog>

#include <memory>

class QRadioButton;

namespace Ui {
class OptionsDialog;
}

namespace wm {

class OptionsDialog : public QDialog {
    Q_OBJECT

  public:
    explicit OptionsDialog(ConfigurationContext context, QWidget* parent = nullptr);
    ~OptionsDialog() override;

    // Saves the settings, however the window ends.
    void done(int result) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    enum class Media { Music, Pictures };

    void fill_controls();
    void show_frame_rate(int value);
    void option_chosen(Media media, int option);
    void open_selection(Media media);
    QRadioButton* option(Media media, int index) const;

    std::unique_ptr<Ui::OptionsDialog> ui_;
    ConfigurationContext context_;
    bool loading_ = true;
    bool music_window_open_ = false;
    bool picture_window_open_ = false;
};

}  // namespace wm
