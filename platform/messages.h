#pragma once
// Modal messages to the user.
//
// Every message the program shows goes through show_message(), so that the
// whole program reports in one way: a modal box when a graphical application
// is running, one line on standard error otherwise. Tests install a handler
// to see the messages instead.

#include <QString>

#include <functional>

namespace wm {

enum class MessageIcon { None, Information, Exclamation, Critical };

struct Message {
    QString caption;
    QString text;
    MessageIcon icon = MessageIcon::None;
};

using MessageHandler = std::function<void(const Message&)>;

// The product's name, the caption of its message boxes.
inline const QString kProductName = QStringLiteral("Wintermere");

// Shows a message with an OK button and returns when the user has answered it.
void show_message(const QString& caption, const QString& text, MessageIcon icon);

// Writes "wintermere: TEXT" as one line on standard error: how the program
// reports what ends a mode where no window may show it.
void print_error(const QString& text);

// Replaces the way messages are shown; returns the handler that was in place
// (empty for the built-in one). Pass an empty handler to restore the default.
MessageHandler set_message_handler(MessageHandler handler);

}  // namespace wm
