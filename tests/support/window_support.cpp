#include "tests/support/window_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QInputDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <QWidget>

#include <QTest>

#include <gtest/gtest.h>

namespace wm::test {
namespace {

constexpr int kPollMs = 25;

// A control's caption: a button's or label's text, a frame's title, or a
// window's title.
QString caption_of(const QObject& control) {
    for (const char* property : {"text", "title"}) {
        const QVariant value = control.property(property);
        if (value.isValid()) {
            return value.toString();
        }
    }
    if (const auto* widget = qobject_cast<const QWidget*>(&control); widget && widget->isWindow()) {
        return widget->windowTitle();
    }
    return {};
}

}  // namespace

void expect_controls(const QWidget& window, const std::vector<ControlRow>& rows) {
    QSet<QString> names;
    for (const QObject* child : window.findChildren<QObject*>()) {
        const QString name = child->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) {
            continue;  // Qt's own inner parts
        }
        EXPECT_FALSE(names.contains(name)) << "two controls are named " << name.toStdString();
        names.insert(name);
    }
    for (const ControlRow& row : rows) {
        SCOPED_TRACE(row.name);
        const auto* control = window.findChild<QWidget*>(QString::fromLatin1(row.name));
        ASSERT_NE(control, nullptr) << "no control " << row.name;
        EXPECT_TRUE(control->inherits(row.kind))
            << row.name << " is a " << control->metaObject()->className() << ", not a " << row.kind;
        if (!row.text.isNull()) {
            EXPECT_EQ(caption_of(*control), row.text);
        }
        EXPECT_EQ(control->toolTip(), row.tooltip);
    }
}

void click_item(QListWidget& list, QListWidgetItem* item) {
    ASSERT_NE(item, nullptr);
    list.scrollToItem(item);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(item).center());
}

void double_click_item(QListWidget& list, QListWidgetItem* item) {
    click_item(list, item);
    ASSERT_NE(item, nullptr);
    const QPoint at = list.visualItemRect(item).center();
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, at);
}

QListWidgetItem* item_named(const QListWidget& list, const QString& text, Qt::MatchFlags match) {
    const QList<QListWidgetItem*> found = list.findItems(text, match);
    EXPECT_EQ(found.size(), 1) << "entries \"" << text.toStdString() << "\": " << found.size();
    return found.size() == 1 ? found.first() : nullptr;
}

ModalAnswerer::ModalAnswerer(Answer answer, const QWidget* ignored, int deadline_ms)
    : answer_(std::move(answer)), ignored_(ignored), deadline_ms_(deadline_ms), timer_(new QTimer) {
    QObject::connect(timer_, &QTimer::timeout, [this] { poll(); });
    timer_->start(kPollMs);
}

ModalAnswerer::~ModalAnswerer() {
    delete timer_;
}

void ModalAnswerer::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == ignored_ || !modal->isVisible()) {
        current_ = nullptr;
        waited_ms_ = 0;
        return;
    }
    if (modal != current_) {
        current_ = modal;
        waited_ms_ = 0;
        titles_.append(modal->windowTitle());
        if (const auto* box = qobject_cast<QMessageBox*>(modal)) {
            texts_.append(box->text());
        }
        answer_(modal);
        return;
    }
    waited_ms_ += kPollMs;
    if (waited_ms_ >= deadline_ms_) {
        ++unanswered_;
        ADD_FAILURE() << "a modal window was left open: " << modal->windowTitle().toStdString();
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
    }
}

void press_ok(QWidget* modal) {
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        QAbstractButton* ok = box->button(QMessageBox::Ok);
        if (ok == nullptr) {
            ok = box->defaultButton();
        }
        if (ok != nullptr) {
            ok->click();
        } else {
            box->accept();
        }
        return;
    }
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->accept();
    }
}

ModalAnswerer::Answer type_and_accept(const QString& text) {
    return [text](QWidget* modal) {
        if (auto* input = qobject_cast<QInputDialog*>(modal)) {
            input->setTextValue(text);
            input->accept();
            return;
        }
        press_ok(modal);
    };
}

void reject(QWidget* modal) {
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->reject();
    } else {
        modal->close();
    }
}

}  // namespace wm::test
