#include "config_ui/welcome_dialog.h"

#include "assets/window_assets.h"
#include "startup/saver_settings.h"
#include "ui_welcome_dialog.h"

#include <QCheckBox>
#include <QPixmap>
#include <QPushButton>

namespace wm {

WelcomeDialog::WelcomeDialog(SaverSettings& settings, SettingsStore& store, QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::WelcomeDialog>()),
      settings_(settings),
      store_(store) {
    ui_->setupUi(this);
    ui_->Picture1->setPixmap(window_pixmap(WindowPicture::Welcome, devicePixelRatioF()));
    // Whatever the setting was, the box opens ticked: the user was just
    // greeted, and unticking it is how the greeting is turned off.
    ui_->Check1->setChecked(true);
    connect(ui_->Command1, &QPushButton::clicked, this, &QDialog::accept);
}

WelcomeDialog::~WelcomeDialog() = default;

void WelcomeDialog::done(int result) {
    settings_.welcome = ui_->Check1->isChecked() ? 1 : 0;
    save_welcome(settings_, store_);
    QDialog::done(result);
}

}  // namespace wm
