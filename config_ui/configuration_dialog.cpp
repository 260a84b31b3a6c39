#include "config_ui/configuration_dialog.h"

#include "assets/window_assets.h"
#include "config_ui/about_dialog.h"
#include "config_ui/options_dialog.h"
#include "config_ui/test_run.h"
#include "config_ui/web_pages.h"
#include "config_ui/welcome_dialog.h"
#include "startup/saver_settings.h"
#include "startup/startup.h"
#include "ui_configuration_dialog.h"

#include <QPixmap>
#include <QTimer>

namespace wm {

ConfigurationDialog::ConfigurationDialog(ConfigurationContext context, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ConfigurationDialog>()), context_(context) {
    ui_->setupUi(this);
    ui_->Image1->setPixmap(window_pixmap(WindowPicture::Configuration, devicePixelRatioF()));

    connect(ui_->Command1, &QPushButton::clicked, this, [this] {
        AboutDialog window(this);
        window.exec();
    });
    connect(ui_->Command2, &QPushButton::clicked, this, [this] {
        OptionsDialog window(context_, this);
        window.exec();
    });
    connect(ui_->Command3, &QPushButton::clicked, this,
            [this] { start_test_run(context_.state, context_.store, context_.test_run); });
    connect(ui_->Command4, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->Command5, &QPushButton::clicked, this,
            [] { open_web_page(maker_catalogue_page()); });
}

ConfigurationDialog::~ConfigurationDialog() = default;

void ConfigurationDialog::done(int result) {
    const bool saved = save_settings(context_.state.settings, context_.store);
    if (!saved && !save_failed_) {
        save_failed_ = true;  // told; the window stays for another try
        return;
    }
    // Saved, or told twice: the user has chosen to leave all the same.
    save_failed_ = false;
    QDialog::done(result);
}

void ConfigurationDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (context_.state.settings.welcome == 1 && !welcome_shown_) {
        welcome_shown_ = true;
        // Once this window is on the screen, above it.
        QTimer::singleShot(0, this, &ConfigurationDialog::offer_welcome);
    }
}

void ConfigurationDialog::offer_welcome() {
    WelcomeDialog window(context_.state.settings, context_.store, this);
    window.exec();
}

}  // namespace wm
