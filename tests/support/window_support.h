#pragma once
// Helpers for the tests of windows: checking a window's control table, and
// answering the modal boxes a window opens.

#include <QString>
#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

class QListWidget;
class QListWidgetItem;
class QTimer;

namespace wm::test {

// One control of a window's table: its objectName, the class it is (or
// derives from), its caption (a button's or label's text, a frame's title;
// null for none) and its tooltip (empty for none).
struct ControlRow {
    const char* name;
    const char* kind;
    QString text;
    QString tooltip;
};

// Expects every row's control in `window` with exactly that kind, caption
// and tooltip, and no two of the window's children sharing an objectName.
void expect_controls(const QWidget& window, const std::vector<ControlRow>& rows);

// The control of `window` named `name`; a missing one fails the case.
template <class T = QWidget>
T* control(const QWidget& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << "no control " << name;
    return found;
}

// Clicks an entry of a list with the mouse, as a person does; a double
// click is what the window system delivers: a click, then a second press
// that comes as a double click, and its release.
void click_item(QListWidget& list, QListWidgetItem* item);
void double_click_item(QListWidget& list, QListWidgetItem* item);
// The entry whose text is exactly `text` (a missing or repeated one fails
// the case and gives null).
QListWidgetItem* item_named(const QListWidget& list, const QString& text,
                            Qt::MatchFlags match = Qt::MatchExactly);

// Answers modal windows while it lives: every 25 ms it looks at the active
// modal window and, when it is not `ignored` (the window under test, say),
// hands it to `answer`, which closes it. A modal window still open after
// `deadline_ms` is rejected and counted as unanswered, so that a forgotten
// box fails the case instead of hanging it.
class ModalAnswerer {
  public:
    using Answer = std::function<void(QWidget* modal)>;
    explicit ModalAnswerer(Answer answer, const QWidget* ignored = nullptr,
                           int deadline_ms = 10000);
    ~ModalAnswerer();
    ModalAnswerer(const ModalAnswerer&) = delete;
    ModalAnswerer& operator=(const ModalAnswerer&) = delete;

    // Window titles of the modal windows answered, in order.
    const QStringList& titles() const { return titles_; }
    // The texts of the message boxes answered, in order.
    const QStringList& texts() const { return texts_; }
    int unanswered() const { return unanswered_; }

  private:
    void poll();

    Answer answer_;
    const QWidget* ignored_;
    int deadline_ms_;
    QTimer* timer_;
    QWidget* current_ = nullptr;
    int waited_ms_ = 0;
    QStringList titles_;
    QStringList texts_;
    int unanswered_ = 0;
};

// Answers: press a message box's OK (or the default button); accept an
// input box with `text`; reject whatever it is.
void press_ok(QWidget* modal);
ModalAnswerer::Answer type_and_accept(const QString& text);
void reject(QWidget* modal);

}  // namespace wm::test
