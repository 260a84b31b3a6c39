#pragma once
// The about window: the product's name, what it does, its version and
// rights line, and a button that opens the product's home page.

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class AboutDialog;
}

namespace wm {

// "Version: " and the three numbers as plain decimal digits, e.g.
// "Version: 2.0.2".
QString version_line(int major, int minor, int revision);
// The version line of this program, as the build declares its version.
QString version_line();

// The rights line of a year, with the maker's name.
QString rights_line(int year);

class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(QWidget* parent = nullptr);
    ~AboutDialog() override;

  private:
    std::unique_ptr<Ui::AboutDialog> ui_;
};

}  // namespace wm
