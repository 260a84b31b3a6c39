#pragma once
// The captions editor: the list of greeting captions the saver shows over
// its pictures, and their colour, size, boldness, slant and order, with a
// preview of the look. It edits the settings record in place (there is no
// cancel): the look is stored the moment a control changes, the list when
// the window closes, however it closes.

#include "config_ui/caption_list.h"

#include <QDialog>

#include <memory>

namespace Ui {
class CaptionsDialog;
}

namespace wm {

class CaptionsDialog : public QDialog {
    Q_OBJECT

  public:
    // `settings` belongs to the caller and outlives the window.
    explicit CaptionsDialog(SaverSettings& settings, QWidget* parent = nullptr);
    ~CaptionsDialog() override;

    // Ends the window: the list becomes the record's captions. A window
    // destroyed while open (with its parent) stores it as well.
    void done(int result) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // "&Add": the typed text joins the list, or the user is told it is full.
    void add_caption();
    // "&Remove": the selected entry leaves the list.
    void remove_caption();
    // The list replaces the record's captions.
    void store_list();
    // Draws "Example" in the record's look, centred in the preview area.
    void preview();

    SaverSettings& settings_;
    CaptionList list_;
    std::unique_ptr<Ui::CaptionsDialog> ui_;
};

}  // namespace wm
