#pragma once
// Collects the warnings the program logs (qWarning, which goes to standard
// error) while it lives, instead of printing them.

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace wm::test {

class WarningLog {
  public:
    WarningLog() : previous_(qInstallMessageHandler(&WarningLog::handle)) { current_ = this; }
    ~WarningLog() {
        qInstallMessageHandler(previous_);
        current_ = nullptr;
    }
    WarningLog(const WarningLog&) = delete;
    WarningLog& operator=(const WarningLog&) = delete;

    const QStringList& lines() const { return lines_; }
    // How many of the lines contain `text`.
    qsizetype count_naming(const QString& text) const { return lines_.filter(text).size(); }
    void clear() { lines_.clear(); }

  private:
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& line) {
        if (type == QtWarningMsg && current_ != nullptr) {
            current_->lines_.append(line);
        }
    }

    static inline WarningLog* current_ = nullptr;
    QtMessageHandler previous_;
    QStringList lines_;
};

}  // namespace wm::test
