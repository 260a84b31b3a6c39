#include "platform/messages.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QWidget>

#include <cstdio>
#include <utility>

namespace wm {
namespace {

MessageHandler& current_handler() {
    static MessageHandler handler;
    return handler;
}

// A box can only be answered on a real display; on the offscreen or minimal
// platforms (or with no application at all) a modal box would wait forever.
bool can_show_box() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return false;
    }
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

QMessageBox::Icon box_icon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

void default_show(const Message& message) {
    if (!can_show_box()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(message.caption), qPrintable(message.text));
        return;
    }
    // A message raised while the full-screen saver runs must not hide behind
    // its topmost window, nor be answered blind: it belongs to the window in
    // front, stays on top, and shows the pointer while it waits.
    QMessageBox box(box_icon(message.icon), message.caption, message.text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    QGuiApplication::restoreOverrideCursor();
}

}  // namespace

void show_message(const QString& caption, const QString& text, MessageIcon icon) {
    const Message message{caption, text, icon};
    if (current_handler()) {
        current_handler()(message);
    } else {
        default_show(message);
    }
}

MessageHandler set_message_handler(MessageHandler handler) {
    return std::exchange(current_handler(), std::move(handler));
}

void print_error(const QString& text) {
    std::fprintf(stderr, "wintermere: %s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

}  // namespace wm
