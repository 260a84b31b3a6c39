#include "config_ui/about_dialog.h"

#include "assets/window_assets.h"
#include "config_ui/web_pages.h"
#include "platform/version.h"
#include "ui_about_dialog.h"

#include <QDate>
#include <QPixmap>
#include <QPushButton>

namespace wm {

QString version_line(int major, int minor, int revision) {
    return QStringLiteral("Version: %1.%2.%3")
        .arg(QString::number(major), QString::number(minor), QString::number(revision));
}

QString version_line() {
    return version_line(kVersionMajor, kVersionMinor, kVersionRevision);
}

QString rights_line(int year) {
    return QStringLiteral("Copyright \u00a9 %1 %2. All rights reserved.")
        .arg(QString::number(year), kMakerName);
}

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::AboutDialog>()) {
    ui_->setupUi(this);
    ui_->Picture1->setPixmap(window_pixmap(WindowPicture::About, devicePixelRatioF()));
    ui_->Label3->setText(version_line());
    ui_->Label1->setText(rights_line(QDate::currentDate().year()));

    // A page that cannot be opened is reported by open_web_page; the window
    // stays open either way.
    connect(ui_->Command2, &QPushButton::clicked, this, [] { open_web_page(product_page()); });
    connect(ui_->Command1, &QPushButton::clicked, this, &QDialog::accept);
}

AboutDialog::~AboutDialog() = default;

}  // namespace wm
